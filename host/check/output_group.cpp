// What an effect draws, whatever it draws: the whole viewport and nothing beyond it, premultiplied
// colour, and the same pictures for the same frames and parameters.
#include "host/check/groups.h"

namespace ffglhost
{
namespace
{
// Random parameters every few frames, replayed from a seed; each frame checked for the demands.
bool Automate( CheckSession& session, CheckInstance& instance, const FrameLayout& layout, uint64_t seed, int frames,
               unsigned demands, std::string* reason )
{
	CheckRandom dice( seed );
	FrameOutput output;
	for( int frame = 0; frame < frames; ++frame )
	{
		if( frame % 3 == 0 && !session.SetRandomValues( instance, dice, reason ) )
			return false;
		session.Frame( instance, layout, frame, output );
		const std::string problem = session.FrameProblemOf( instance, output, demands );
		if( !problem.empty() )
		{
			*reason = "frame " + std::to_string( frame + 1 ) + " of " + instance.name + " at " +
			          SizeText( layout.width, layout.height ) + ": " + problem;
			return false;
		}
	}
	return true;
}

CheckVerdict Size( CheckSession& session )
{
	LiveInstance live( session, "instance 1" );
	CheckInstance& instance = *live;
	std::string reason;
	if( !live.Make( kCheckWidth, kCheckHeight, &reason ) )
		return Fail( reason );
	// Other sizes than the instance was made for, in a HostFBO with room around the viewport.
	const FrameSize sizes[] = { { kCheckWidth, kCheckHeight }, { 480, 270 }, { 200, 300 }, { 161, 91 } };
	FrameOutput output;
	for( const FrameSize size : sizes )
	{
		FrameLayout layout  = PlainLayout( size.width, size.height );
		layout.targetWidth  = size.width + 24;
		layout.targetHeight = size.height + 24;
		session.Resize( instance, size.width, size.height );
		for( int frame = 0; frame < 2; ++frame )
		{
			session.Frame( instance, layout, frame, output );
			const std::string problem = session.FrameProblemOf( instance, output, kDrawn | kInside );
			if( !problem.empty() )
				return Fail( "a " + SizeText( size.width, size.height ) + " frame of an instance made for " +
				             SizeText( kCheckWidth, kCheckHeight ) + ": " + problem +
				             ": the output must cover exactly the input's size" );
		}
	}
	return Pass( "frames of four sizes cover exactly the viewport of their size" );
}

CheckVerdict Premultiplied( CheckSession& session )
{
	LiveInstance live( session, "instance 1" );
	std::string reason;
	const int frames = session.Plan().randomSteps;
	if( !live.Make( kCheckWidth, kCheckHeight, &reason ) ||
	    !Automate( session, *live, PlainLayout( kCheckWidth, kCheckHeight ), session.Random().Next(), frames,
	               kPremultiplied, &reason ) )
		return Fail( reason + ( reason.find( "premultiplied" ) != std::string::npos
		                            ? ": multiply red, green and blue by alpha; hosts blend with (1, 1 - alpha)"
		                            : "" ) );
	return Pass( std::to_string( frames ) +
	             " frames of premultiplied input with random parameters: red, green and blue never above alpha" );
}

CheckVerdict Deterministic( CheckSession& session )
{
	if( !session.Unrepeatable().empty() )
		return Warn( session.Unrepeatable() +
		             " from the same input, time and parameters: the effect draws differently every time (grain, "
		             "noise), so a host that renders again (an export, a cache) gets another picture; the checks that "
		             "compare pictures judged only what does not depend on it" );
	const uint64_t seed      = session.Random().Next();
	const int frames         = session.Plan().randomSteps;
	const FrameLayout layout = PlainLayout( kCheckWidth, kCheckHeight );
	LiveInstances instances( session );
	CheckRandom dice[ 2 ] = { CheckRandom( seed ), CheckRandom( seed ) };
	std::string reason;
	bool ok = instances.Make( "a fresh instance", kCheckWidth, kCheckHeight, &reason ) &&
	          instances.Make( "a second fresh instance", kCheckWidth, kCheckHeight, &reason );
	// Frame by frame side by side: state shared between instances shows as well as state of the process.
	FrameOutput output[ 2 ];
	for( int frame = 0; ok && frame < frames; ++frame )
	{
		for( int i = 0; ok && i < 2; ++i )
		{
			if( frame % 3 == 0 )
				ok = session.SetRandomValues( instances[ static_cast< size_t >( i ) ], dice[ i ], &reason );
			if( ok )
				session.Frame( instances[ static_cast< size_t >( i ) ], layout, frame, output[ i ] );
		}
		const PictureDifference difference = ComparePictures( output[ 0 ].picture, output[ 1 ].picture );
		if( ok && difference.maxStep > 1 )
		{
			session.SavePictures( instances[ 1 ].name, frame + 1, output[ 0 ].picture, output[ 1 ].picture );
			ok     = false;
			reason = "two fresh instances fed the same frames and parameters drew frame " +
			         std::to_string( frame + 1 ) + " differently (" + DescribeDifference( difference ) +
			         "): the output depends on something besides the input, the parameters and the instance's past";
		}
	}
	instances.Clear();
	if( !ok )
		return Fail( reason );
	return Pass( "two fresh instances drew the same " + std::to_string( frames ) +
	             " pictures for the same frames and parameters" );
}

CheckVerdict OutsideViewport( CheckSession& session )
{
	FrameLayout layout  = PlainLayout( kCheckWidth, kCheckHeight );
	layout.targetWidth  = kCheckWidth + 80;
	layout.targetHeight = kCheckHeight + 60;
	layout.viewportX    = 37;
	layout.viewportY    = 23;
	LiveInstance live( session, "instance 1" );
	std::string reason;
	const int frames = session.Plan().framesPerSize + 3;
	if( !live.Make( kCheckWidth, kCheckHeight, &reason ) ||
	    !Automate( session, *live, layout, session.Random().Next(), frames, kInside, &reason ) )
		return Fail( reason + ": hosts draw other layers there" );
	return Pass( std::to_string( frames ) +
	             " frames in a viewport at (37, 23) of a larger HostFBO: nothing drawn outside it" );
}
}

CheckGroup OutputGroup()
{
	return {
		"output",
		GroupStart::kPlugin,
		true,
		{ { "output.size", "frames of other sizes than the instance was made for, room around the viewport", Size },
		  { "output.premultiplied", "premultiplied input, random parameters", Premultiplied },
		  { "output.deterministic", "two fresh instances, the same frames and parameters side by side", Deterministic },
		  { "output.outside_viewport", "a viewport at an offset in a larger HostFBO", OutsideViewport } }
	};
}
}
