// Several instances of one plug-in in one GL context, as a host's layers and clips make them: many at
// once, frames interleaved, ended in any order, and FF_DEINITIALISE while some still live. Each must
// draw what it would draw alone.
#include "host/check/groups.h"

namespace ffglhost
{
namespace
{
const FrameSize kManySizes[] = { { 320, 180 }, { 333, 187 }, { 180, 320 }, { 256, 256 } };
const int kManySizeCount     = static_cast< int >( sizeof( kManySizes ) / sizeof( kManySizes[ 0 ] ) );

std::string Others( int count )
{
	return std::to_string( count ) + ( count == 1 ? " other" : " others" );
}

std::string FrameName( int frame, const CheckInstance& instance )
{
	return "frame " + std::to_string( frame + 1 ) + " of " + instance.name;
}

// Makes count instances, "instance 1" ..., at the sizes given in turn; false with *reason on a failure.
bool MakeInstances( LiveInstances& instances, int count, const FrameSize* sizes, int sizeCount, std::string* reason )
{
	for( int i = 0; i < count; ++i )
	{
		const FrameSize size = sizes[ i % sizeCount ];
		std::string why;
		if( !instances.Make( "instance " + std::to_string( i + 1 ), size.width, size.height, &why ) )
		{
			*reason = why + " while " + Others( i ) + " live";
			return false;
		}
	}
	return true;
}

CheckVerdict Many( CheckSession& session )
{
	const int count  = session.Plan().instances;
	const int frames = session.Plan().framesPerSize;
	LiveInstances instances( session );
	std::string reason;
	if( !MakeInstances( instances, count, kManySizes, kManySizeCount, &reason ) )
		return Fail( reason );
	bool repeated = false;
	for( size_t i = 0; i < instances.Size(); ++i )
		for( size_t j = 0; j < i; ++j )
			if( instances[ i ].id && instances[ i ].id == instances[ j ].id )
			{
				instances.Live( i ).Forget(); // ended through the first
				repeated = true;
			}
	if( repeated )
		return Fail( "FF_INSTANTIATE_GL answered the same instance twice" );
	FrameOutput output;
	for( int frame = 0; frame < frames; ++frame )
		for( int i = 0; i < count; ++i )
		{
			const FrameSize size    = kManySizes[ i % kManySizeCount ];
			CheckInstance& instance = instances[ static_cast< size_t >( i ) ];
			session.Frame( instance, PlainLayout( size.width, size.height ), frame, output );
			const std::string problem = session.FrameProblemOf( instance, output, kAnswered | kDrawn );
			if( !problem.empty() )
				return Fail( FrameName( frame, instance ) + " at " + SizeText( size.width, size.height ) + " beside " +
				             Others( count - 1 ) + ": " + problem );
		}
	instances.Clear();
	return Pass( std::to_string( count ) + " instances of different sizes in one context, " + std::to_string( frames ) +
	             " interleaved frames each" );
}

// Random parameter values from a seed of their own, so that a second instance can be given the same.
bool SetSeededValues( CheckSession& session, CheckInstance& instance, uint64_t seed, std::string* reason )
{
	CheckRandom dice( seed );
	return session.SetRandomValues( instance, dice, reason );
}

// One check, frames together then alone: the two halves share the pictures drawn, so they stay together.
CheckVerdict Interleaved( CheckSession& session )
{
	const int count = session.Plan().instances;
	const int steps = session.Plan().framesPerSize + 2;
	std::vector< uint64_t > seeds;
	for( int i = 0; i < count; ++i )
		seeds.push_back( session.Random().Next() );
	const FrameSize size = { kCheckWidth, kCheckHeight };
	LiveInstances instances( session );
	std::string reason;
	if( !MakeInstances( instances, count, &size, 1, &reason ) )
		return Fail( reason );
	std::vector< std::vector< Picture > > drawn( static_cast< size_t >( count ) );
	std::vector< int > order;
	for( int i = 0; i < count; ++i )
		order.push_back( i );
	FrameOutput output;
	const FrameLayout layout = PlainLayout( kCheckWidth, kCheckHeight );
	for( int step = 0; step < steps; ++step )
	{
		session.Random().Shuffle( order );
		for( int i : order )
		{
			CheckInstance& instance = instances[ static_cast< size_t >( i ) ];
			if( ( step == 0 || step == steps / 2 ) &&
			    !SetSeededValues( session, instance, seeds[ static_cast< size_t >( i ) ] + step, &reason ) )
				return Fail( instance.name + " " + reason );
			session.Frame( instance, layout, step, output );
			const std::string problem = session.FrameProblemOf( instance, output, kAnswered | kDrawn );
			if( !problem.empty() )
				return Fail( FrameName( step, instance ) + ": " + problem );
			drawn[ static_cast< size_t >( i ) ].push_back( output.picture );
		}
	}
	instances.Clear();
	if( !session.Unrepeatable().empty() )
		return Warn( std::to_string( count ) +
		             " instances with their own parameters, frames in shuffled order, every frame drawn" +
		             NotJudged( session, "each drew beside the others what it draws alone" ) );

	// Each sequence again, in an instance that is alone.
	for( int i = 0; i < count; ++i )
	{
		PictureDifference difference;
		const int frame = FirstFrameUnlikeLone( session, "instance " + std::to_string( i + 1 ), layout,
		                                        drawn[ static_cast< size_t >( i ) ],
		                                        &seeds[ static_cast< size_t >( i ) ], &difference, &reason );
		if( frame == -2 )
			return Fail( reason );
		if( frame >= 0 )
			return Fail( "instance " + std::to_string( i + 1 ) + " drew frame " + std::to_string( frame + 1 ) +
			             " differently beside " + Others( count - 1 ) + " than alone (" +
			             DescribeDifference( difference ) + "): instances share state they should not" );
	}
	return Pass( std::to_string( count ) +
	             " instances with their own parameters, frames in shuffled order, each drew what it draws alone" );
}

// One check from the instances made to its verdict: each end is followed by frames of those still live.
CheckVerdict DestroyOrder( CheckSession& session )
{
	const int count          = session.Plan().instances;
	const FrameSize size     = { kCheckWidth, kCheckHeight };
	const FrameLayout layout = PlainLayout( kCheckWidth, kCheckHeight );
	LiveInstances instances( session );
	std::string reason;
	if( !MakeInstances( instances, count, &size, 1, &reason ) )
		return Fail( reason );
	std::vector< Picture > drawn;
	std::vector< std::string > ended; // which instance ended before each step, for messages
	std::string lastEnded;            // the instance that ended last, for messages
	FrameOutput output;
	for( int step = 0; step < count; ++step )
	{
		for( size_t i = 0; i < instances.Size(); ++i )
		{
			session.Frame( instances[ i ], layout, step, output );
			const std::string problem = session.FrameProblemOf( instances[ i ], output, kAnswered | kDrawn );
			if( !problem.empty() )
				return Fail( FrameName( step, instances[ i ] ) +
				             ( lastEnded.empty() ? "" : " after " + lastEnded + " ended" ) + ": " + problem );
			if( i == 0 )
				drawn.push_back( output.picture );
			else if( session.Unrepeatable().empty() && ComparePictures( output.picture, drawn.back() ).maxStep > 1 )
				return Fail( FrameName( step, instances[ i ] ) + " differs from " + instances[ 0 ].name +
				             "'s though both were fed the same frames" +
				             ( lastEnded.empty() ? std::string() : ", after " + lastEnded + " ended" ) );
		}
		ended.push_back( lastEnded );
		if( instances.Size() > 1 )
		{
			const size_t victim =
			    static_cast< size_t >( session.Random().Below( static_cast< int >( instances.Size() ) ) );
			lastEnded = instances[ victim ].name;
			instances.EndAt( victim );
		}
	}
	instances.Clear();
	if( !session.Unrepeatable().empty() )
		return Warn( std::to_string( count ) + " instances ended one by one in random order, the others kept drawing" +
		             NotJudged( session, "ending one left the others' pictures as they were" ) );

	PictureDifference difference;
	const int step = FirstFrameUnlikeLone( session, "the instances", layout, drawn, nullptr, &difference, &reason );
	if( step == -2 )
		return Fail( reason );
	if( step >= 0 )
	{
		const std::string& gone = ended[ static_cast< size_t >( step ) ];
		return Fail( ( gone.empty() ? "before any instance ended, the instances"
		                            : "after " + gone + " ended, the instances left" ) +
		             std::string( " drew frame " ) + std::to_string( step + 1 ) +
		             " differently from an instance that lived alone (" + DescribeDifference( difference ) +
		             ( gone.empty() ? ")" : "): ending one instance disturbs the others" ) );
	}
	return Pass( std::to_string( count ) + " instances ended one by one in random order, the others unaffected" );
}

// One check in the order a host makes those calls; split, its steps would pass the instances around.
CheckVerdict DeinitialiseWhileLive( CheckSession& session )
{
	const FrameSize size     = { kCheckWidth, kCheckHeight };
	const FrameLayout layout = PlainLayout( kCheckWidth, kCheckHeight );
	const int frames         = 4;
	LiveInstances instances( session );
	std::string reason;
	if( !MakeInstances( instances, 2, &size, 1, &reason ) )
		return Fail( reason );
	std::vector< Picture > drawn[ 2 ];
	FrameOutput output;
	for( int frame = 0; frame < frames; ++frame )
	{
		if( frame == frames / 2 )
			session.Deinitialise();
		for( size_t i = 0; i < 2; ++i )
		{
			session.Frame( instances[ i ], layout, frame, output );
			const std::string problem = session.FrameProblemOf( instances[ i ], output, kAnswered | kDrawn );
			if( !problem.empty() )
				return Fail( FrameName( frame, instances[ i ] ) +
				             ( frame >= frames / 2 ? ", after FF_DEINITIALISE" : "" ) + ": " + problem );
			drawn[ i ].push_back( output.picture );
		}
	}
	if( session.Initialise() != FF_SUCCESS )
		return Fail( "FF_INITIALISE_V2 failed after FF_DEINITIALISE while instances lived" );
	LiveInstance late( session, "instance 3" );
	const bool made = late.Make( kCheckWidth, kCheckHeight, &reason );
	if( made )
		session.Frame( *late, layout, 0, output );
	instances.Clear();
	late.End();
	if( !made )
		return Fail( reason + " after FF_DEINITIALISE and FF_INITIALISE_V2" );
	const std::string problem = FrameProblem( output, kAnswered | kDrawn );
	if( !problem.empty() )
		return Fail( "a new instance after FF_DEINITIALISE and FF_INITIALISE_V2: " + problem );
	if( !session.Unrepeatable().empty() )
		return Warn( "FF_DEINITIALISE while 2 instances lived: they kept drawing, and a new one could be made" +
		             NotJudged( session, "they drew as before" ) );
	for( size_t i = 0; i < 2; ++i )
	{
		PictureDifference difference;
		const int frame = FirstFrameUnlikeLone( session, "instance " + std::to_string( i + 1 ), layout, drawn[ i ],
		                                        nullptr, &difference, &reason );
		if( frame == -2 )
			return Fail( reason );
		if( frame >= 0 )
			return Fail( "instance " + std::to_string( i + 1 ) + " drew frame " + std::to_string( frame + 1 ) +
			             ( frame >= frames / 2 ? ", after FF_DEINITIALISE," : "" ) +
			             " differently from a lone instance (" + DescribeDifference( difference ) + ")" );
	}
	return Pass( "FF_DEINITIALISE while 2 instances lived: they kept drawing as before, and a new one could be made" );
}
}

std::string NotJudged( const CheckSession& session, const std::string& what )
{
	return "; whether " + what + " cannot be judged: the effect does not draw twice alike (" + session.Unrepeatable() +
	       ")";
}

bool RunFreshInstance( CheckSession& session, const FrameRun& run, const std::string& name, FrameOutput* last,
                       std::string* reason )
{
	LiveInstance instance( session, name );
	if( !instance.Make( run.layout.width, run.layout.height, reason ) )
		return false;
	for( int frame = 0; frame < run.frames; ++frame )
	{
		session.Frame( *instance, run.layout, run.firstPicture + frame, *last );
		const std::string problem = FrameProblem( *last, run.demands );
		if( !problem.empty() )
		{
			*reason = FrameName( frame, *instance ) + " at " + SizeText( run.layout.width, run.layout.height ) + ": " +
			          problem;
			return false;
		}
	}
	return true;
}

int FirstFrameUnlikeLone( CheckSession& session, const std::string& drawer, const FrameLayout& layout,
                          const std::vector< Picture >& drawn, const uint64_t* seed, PictureDifference* difference,
                          std::string* reason )
{
	LiveInstance alone( session, "a lone instance" );
	if( !alone.Make( layout.width, layout.height, reason ) )
		return -2;
	const int frames = static_cast< int >( drawn.size() );
	FrameOutput output;
	for( int frame = 0; frame < frames; ++frame )
	{
		if( seed && ( frame == 0 || frame == frames / 2 ) )
			SetSeededValues( session, *alone, *seed + static_cast< uint64_t >( frame ), reason );
		session.Frame( *alone, layout, frame, output );
		*difference = ComparePictures( output.picture, drawn[ static_cast< size_t >( frame ) ] );
		if( difference->maxStep > 1 )
		{
			session.SavePictures( drawer, frame + 1, output.picture, drawn[ static_cast< size_t >( frame ) ] );
			return frame;
		}
	}
	return -1;
}

CheckGroup InstancesGroup()
{
	return {
		"instances",
		GroupStart::kPlugin,
		true,
		{ { "instances.many", "several instances of different sizes in one context", Many },
		  { "instances.interleaved", "instances with their own parameters, frames in shuffled order", Interleaved },
		  { "instances.destroy_order", "instances ended one by one in random order", DestroyOrder },
		  { "instances.deinitialise_while_live", "FF_DEINITIALISE while instances live", DeinitialiseWhileLive } }
	};
}
}
