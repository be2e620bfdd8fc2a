// Several instances of one plug-in in one GL context, as a host's layers and clips make them: many at
// once, frames interleaved, ended in any order, and FF_DEINITIALISE while some still live. Each must
// draw what it would draw alone.
#include "host/check/groups.h"

namespace ffglhost
{
namespace
{
const int kWidth             = 320;
const int kHeight            = 180;
const FrameSize kManySizes[] = { { 320, 180 }, { 333, 187 }, { 180, 320 }, { 256, 256 } };

std::string Others( int count )
{
	return std::to_string( count ) + ( count == 1 ? " other" : " others" );
}

std::string FrameName( int frame, const CheckInstance& instance )
{
	return "frame " + std::to_string( frame + 1 ) + " of " + instance.name;
}

void EndAll( CheckSession& session, std::vector< CheckInstance* >& instances )
{
	for( CheckInstance* instance : instances )
		session.Deinstantiate( *instance );
	instances.clear();
}

// Makes count instances at the sizes given in turn; false with *reason (and none left) on a failure.
bool MakeInstances( CheckSession& session, int count, const FrameSize* sizes, int sizeCount, const std::string& prefix,
                    std::vector< CheckInstance* >& instances, std::string* reason )
{
	for( int i = 0; i < count; ++i )
	{
		CheckInstance* instance = session.NewInstance( prefix + std::to_string( i + 1 ) );
		const FrameSize size    = sizes[ i % sizeCount ];
		std::string why;
		if( !session.Instantiate( *instance, size.width, size.height, &why ) )
		{
			*reason = why + " while " + Others( i ) + " live";
			EndAll( session, instances );
			return false;
		}
		instances.push_back( instance );
	}
	return true;
}

void Many( CheckSession& session )
{
	const char* check = "instances.many";
	session.Begin( check );
	const int count  = session.Plan().instances;
	const int frames = session.Plan().framesPerSize;
	std::vector< CheckInstance* > instances;
	std::string reason;
	if( !MakeInstances( session, count, kManySizes, 4, "instance ", instances, &reason ) )
	{
		session.Fail( check, reason );
		return;
	}
	for( size_t i = 0; i < instances.size(); ++i )
		for( size_t j = 0; j < i; ++j )
			if( instances[ i ]->id == instances[ j ]->id )
			{
				session.Fail( check, "FF_INSTANTIATE_GL answered the same instance twice" );
				instances.resize( i ); // the repeated one is ended through its first
				EndAll( session, instances );
				return;
			}
	FrameOutput output;
	for( int frame = 0; frame < frames; ++frame )
		for( int i = 0; i < count; ++i )
		{
			const FrameSize size = kManySizes[ i % 4 ];
			session.Frame( *instances[ i ], PlainLayout( size.width, size.height ), frame, output );
			const std::string problem = session.FrameProblemOf( check, *instances[ i ], output, kAnswered | kDrawn );
			if( !problem.empty() )
			{
				session.Fail( check, FrameName( frame, *instances[ i ] ) + " at " +
				                         SizeText( size.width, size.height ) + " beside " + Others( count - 1 ) + ": " +
				                         problem );
				EndAll( session, instances );
				return;
			}
		}
	EndAll( session, instances );
	session.Pass( check, std::to_string( count ) + " instances of different sizes in one context, " +
	                         std::to_string( frames ) + " interleaved frames each" );
}

// Random parameter values from a seed of their own, so that a second instance can be given the same.
bool SetSeededValues( CheckSession& session, CheckInstance& instance, uint64_t seed, std::string* reason )
{
	CheckRandom dice( seed );
	return session.SetRandomValues( instance, dice, reason );
}

// One check, frames together then alone: the two halves share the pictures drawn, so they stay together.
void Interleaved( CheckSession& session )
{
	const char* check = "instances.interleaved";
	session.Begin( check );
	const int count = session.Plan().instances;
	const int steps = session.Plan().framesPerSize + 2;
	std::vector< uint64_t > seeds;
	for( int i = 0; i < count; ++i )
		seeds.push_back( session.Random().Next() );
	const FrameSize size = { kWidth, kHeight };
	std::vector< CheckInstance* > instances;
	std::string reason;
	if( !MakeInstances( session, count, &size, 1, "instance ", instances, &reason ) )
	{
		session.Fail( check, reason );
		return;
	}
	std::vector< std::vector< Picture > > drawn( static_cast< size_t >( count ) );
	std::vector< int > order;
	for( int i = 0; i < count; ++i )
		order.push_back( i );
	FrameOutput output;
	const FrameLayout layout = PlainLayout( kWidth, kHeight );
	for( int step = 0; step < steps; ++step )
	{
		session.Random().Shuffle( order );
		for( int i : order )
		{
			CheckInstance& instance = *instances[ static_cast< size_t >( i ) ];
			if( ( step == 0 || step == steps / 2 ) &&
			    !SetSeededValues( session, instance, seeds[ i ] + step, &reason ) )
			{
				session.Fail( check, instance.name + " " + reason );
				EndAll( session, instances );
				return;
			}
			session.Frame( instance, layout, step, output );
			const std::string problem = session.FrameProblemOf( check, instance, output, kAnswered | kDrawn );
			if( !problem.empty() )
			{
				session.Fail( check, FrameName( step, instance ) + ": " + problem );
				EndAll( session, instances );
				return;
			}
			drawn[ static_cast< size_t >( i ) ].push_back( output.picture );
		}
	}
	EndAll( session, instances );

	// Each sequence again, in an instance that is alone.
	for( int i = 0; i < count; ++i )
	{
		PictureDifference difference;
		const int frame =
		    FirstFrameUnlikeLone( session, check, "instance " + std::to_string( i + 1 ), layout,
		                          drawn[ static_cast< size_t >( i ) ], &seeds[ i ], &difference, &reason );
		if( frame == -2 )
		{
			session.Fail( check, reason );
			return;
		}
		if( frame >= 0 )
		{
			session.Fail( check, "instance " + std::to_string( i + 1 ) + " drew frame " + std::to_string( frame + 1 ) +
			                         " differently beside " + Others( count - 1 ) + " than alone (" +
			                         DescribeDifference( difference ) + "): instances share state they should not" );
			return;
		}
	}
	session.Pass( check,
	              std::to_string( count ) +
	                  " instances with their own parameters, frames in shuffled order, each drew what it draws alone" );
}

// One check from the instances made to its verdict: each end is followed by frames of those still live.
void DestroyOrder( CheckSession& session )
{
	const char* check = "instances.destroy_order";
	session.Begin( check );
	const int count          = session.Plan().instances;
	const FrameSize size     = { kWidth, kHeight };
	const FrameLayout layout = PlainLayout( kWidth, kHeight );
	std::vector< CheckInstance* > instances;
	std::string reason;
	if( !MakeInstances( session, count, &size, 1, "instance ", instances, &reason ) )
	{
		session.Fail( check, reason );
		return;
	}
	std::vector< Picture > drawn;
	std::vector< std::string > ended; // which instance ended before each step, for messages
	std::string lastEnded;            // the instance that ended last, for messages
	FrameOutput output;
	for( int step = 0; step < count; ++step )
	{
		for( size_t i = 0; i < instances.size(); ++i )
		{
			session.Frame( *instances[ i ], layout, step, output );
			const std::string problem = session.FrameProblemOf( check, *instances[ i ], output, kAnswered | kDrawn );
			if( !problem.empty() )
			{
				session.Fail( check, FrameName( step, *instances[ i ] ) +
				                         ( lastEnded.empty() ? "" : " after " + lastEnded + " ended" ) + ": " +
				                         problem );
				EndAll( session, instances );
				return;
			}
			if( i == 0 )
				drawn.push_back( output.picture );
			else if( ComparePictures( output.picture, drawn.back() ).maxStep > 1 )
			{
				session.Fail( check, FrameName( step, *instances[ i ] ) + " differs from " + instances[ 0 ]->name +
				                         "'s though both were fed the same frames" +
				                         ( lastEnded.empty() ? std::string() : ", after " + lastEnded + " ended" ) );
				EndAll( session, instances );
				return;
			}
		}
		ended.push_back( lastEnded );
		if( instances.size() > 1 )
		{
			const size_t victim =
			    static_cast< size_t >( session.Random().Below( static_cast< int >( instances.size() ) ) );
			lastEnded = instances[ victim ]->name;
			session.Deinstantiate( *instances[ victim ] );
			instances.erase( instances.begin() + static_cast< long >( victim ) );
		}
	}
	EndAll( session, instances );

	PictureDifference difference;
	const int step =
	    FirstFrameUnlikeLone( session, check, "the instances", layout, drawn, nullptr, &difference, &reason );
	if( step != -1 )
	{
		const std::string& gone = step >= 0 ? ended[ static_cast< size_t >( step ) ] : std::string();
		session.Fail( check, step == -2 ? reason
		                                : ( gone.empty() ? "before any instance ended, the instances"
		                                                 : "after " + gone + " ended, the instances left" ) +
		                                      std::string( " drew frame " ) + std::to_string( step + 1 ) +
		                                      " differently from an instance that lived alone (" +
		                                      DescribeDifference( difference ) +
		                                      ( gone.empty() ? ")" : "): ending one instance disturbs the others" ) );
		return;
	}
	session.Pass( check,
	              std::to_string( count ) + " instances ended one by one in random order, the others unaffected" );
}

// One check in the order a host makes those calls; split, its steps would pass the instances around.
void DeinitialiseWhileLive( CheckSession& session )
{
	const char* check = "instances.deinitialise_while_live";
	session.Begin( check );
	const FrameSize size     = { kWidth, kHeight };
	const FrameLayout layout = PlainLayout( kWidth, kHeight );
	const int frames         = 4;
	std::vector< CheckInstance* > instances;
	std::string reason;
	if( !MakeInstances( session, 2, &size, 1, "instance ", instances, &reason ) )
	{
		session.Fail( check, reason );
		return;
	}
	std::vector< Picture > drawn[ 2 ];
	FrameOutput output;
	for( int frame = 0; frame < frames; ++frame )
	{
		if( frame == frames / 2 )
			session.Deinitialise();
		for( size_t i = 0; i < 2; ++i )
		{
			session.Frame( *instances[ i ], layout, frame, output );
			const std::string problem = session.FrameProblemOf( check, *instances[ i ], output, kAnswered | kDrawn );
			if( !problem.empty() )
			{
				session.Fail( check, FrameName( frame, *instances[ i ] ) +
				                         ( frame >= frames / 2 ? ", after FF_DEINITIALISE" : "" ) + ": " + problem );
				EndAll( session, instances );
				return;
			}
			drawn[ i ].push_back( output.picture );
		}
	}
	if( session.Initialise() != FF_SUCCESS )
	{
		session.Fail( check, "FF_INITIALISE_V2 failed after FF_DEINITIALISE while instances lived" );
		EndAll( session, instances );
		return;
	}
	CheckInstance* late = session.NewInstance( "instance 3" );
	const bool made     = session.Instantiate( *late, kWidth, kHeight, &reason );
	if( made )
		session.Frame( *late, layout, 0, output );
	EndAll( session, instances );
	session.Deinstantiate( *late );
	if( !made || !FrameProblem( output, kAnswered | kDrawn ).empty() )
	{
		session.Fail( check, made ? "a new instance after FF_DEINITIALISE and FF_INITIALISE_V2: " +
		                                FrameProblem( output, kAnswered | kDrawn )
		                          : reason + " after FF_DEINITIALISE and FF_INITIALISE_V2" );
		return;
	}
	for( size_t i = 0; i < 2; ++i )
	{
		PictureDifference difference;
		const int frame = FirstFrameUnlikeLone( session, check, "instance " + std::to_string( i + 1 ), layout,
		                                        drawn[ i ], nullptr, &difference, &reason );
		if( frame != -1 )
		{
			session.Fail( check,
			              frame == -2
			                  ? reason
			                  : "instance " + std::to_string( i + 1 ) + " drew frame " + std::to_string( frame + 1 ) +
			                        ( frame >= frames / 2 ? ", after FF_DEINITIALISE," : "" ) +
			                        " differently from a lone instance (" + DescribeDifference( difference ) + ")" );
			return;
		}
	}
	session.Pass( check,
	              "FF_DEINITIALISE while 2 instances lived: they kept drawing as before, and a new one could be made" );
}
}

bool RunFreshInstance( CheckSession& session, const FrameRun& run, const std::string& name, FrameOutput* last,
                       std::string* reason )
{
	CheckInstance& instance = *session.NewInstance( name );
	if( !session.Instantiate( instance, run.layout.width, run.layout.height, reason ) )
		return false;
	for( int frame = 0; frame < run.frames; ++frame )
	{
		session.Frame( instance, run.layout, run.firstPicture + frame, *last );
		const std::string problem = FrameProblem( *last, run.demands );
		if( !problem.empty() )
		{
			*reason = FrameName( frame, instance ) + " at " + SizeText( run.layout.width, run.layout.height ) + ": " +
			          problem;
			session.Deinstantiate( instance );
			return false;
		}
	}
	session.Deinstantiate( instance );
	return true;
}

int FirstFrameUnlikeLone( CheckSession& session, const char* check, const std::string& drawer,
                          const FrameLayout& layout, const std::vector< Picture >& drawn, const uint64_t* seed,
                          PictureDifference* difference, std::string* reason )
{
	CheckInstance& alone = *session.NewInstance( "a lone instance" );
	if( !session.Instantiate( alone, layout.width, layout.height, reason ) )
		return -2;
	const int frames = static_cast< int >( drawn.size() );
	FrameOutput output;
	for( int frame = 0; frame < frames; ++frame )
	{
		if( seed && ( frame == 0 || frame == frames / 2 ) )
			SetSeededValues( session, alone, *seed + static_cast< uint64_t >( frame ), reason );
		session.Frame( alone, layout, frame, output );
		*difference = ComparePictures( output.picture, drawn[ static_cast< size_t >( frame ) ] );
		if( difference->maxStep > 1 )
		{
			session.SavePictures( check, drawer, frame + 1, output.picture, drawn[ static_cast< size_t >( frame ) ] );
			session.Deinstantiate( alone );
			return frame;
		}
	}
	session.Deinstantiate( alone );
	return -1;
}

void RunInstancesGroup( CheckSession& session )
{
	Many( session );
	Interleaved( session );
	DestroyOrder( session );
	DeinitialiseWhileLive( session );
}
}
