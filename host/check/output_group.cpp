// What an effect draws, whatever it draws: the whole viewport and nothing beyond it, premultiplied
// colour, and the same pictures for the same frames and parameters.
#include "host/check/groups.h"

namespace ffglhost
{
namespace
{
const int kWidth  = 320;
const int kHeight = 180;

// Random parameters every few frames, replayed from a seed; each frame checked for the demands.
bool Automate( CheckSession& session, const char* check, CheckInstance& instance, const FrameLayout& layout,
               uint64_t seed, int frames, unsigned demands, std::string* reason )
{
	CheckRandom dice( seed );
	FrameOutput output;
	for( int frame = 0; frame < frames; ++frame )
	{
		if( frame % 3 == 0 && !session.SetRandomValues( instance, dice, reason ) )
			return false;
		session.Frame( instance, layout, frame, output );
		const std::string problem = session.FrameProblemOf( check, instance, output, demands );
		if( !problem.empty() )
		{
			*reason = "frame " + std::to_string( frame + 1 ) + " of " + instance.name + " at " +
			          SizeText( layout.width, layout.height ) + ": " + problem;
			return false;
		}
	}
	return true;
}

void Size( CheckSession& session )
{
	const char* check = "output.size";
	session.Begin( check );
	CheckInstance& instance = *session.NewInstance( "instance 1" );
	std::string reason;
	if( !session.Instantiate( instance, kWidth, kHeight, &reason ) )
	{
		session.Fail( check, reason );
		return;
	}
	// Other sizes than the instance was made for, in a HostFBO with room around the viewport.
	const FrameSize sizes[] = { { kWidth, kHeight }, { 480, 270 }, { 200, 300 }, { 161, 91 } };
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
			const std::string problem = session.FrameProblemOf( check, instance, output, kDrawn | kInside );
			if( !problem.empty() )
			{
				session.Deinstantiate( instance );
				session.Fail( check, "a " + SizeText( size.width, size.height ) + " frame of an instance made for " +
				                         SizeText( kWidth, kHeight ) + ": " + problem +
				                         ": the output must cover exactly the input's size" );
				return;
			}
		}
	}
	session.Deinstantiate( instance );
	session.Pass( check, "frames of four sizes cover exactly the viewport of their size" );
}

void Premultiplied( CheckSession& session )
{
	const char* check = "output.premultiplied";
	session.Begin( check );
	CheckInstance& instance = *session.NewInstance( "instance 1" );
	std::string reason;
	const int frames = session.Plan().randomSteps;
	if( !session.Instantiate( instance, kWidth, kHeight, &reason ) ||
	    !Automate( session, check, instance, PlainLayout( kWidth, kHeight ), session.Random().Next(), frames,
	               kPremultiplied, &reason ) )
	{
		session.Deinstantiate( instance );
		session.Fail( check, reason + ( reason.find( "premultiplied" ) != std::string::npos
		                                    ? ": multiply red, green and blue by alpha; hosts blend with (1, 1 - alpha)"
		                                    : "" ) );
		return;
	}
	session.Deinstantiate( instance );
	session.Pass( check,
	              std::to_string( frames ) +
	                  " frames of premultiplied input with random parameters: red, green and blue never above alpha" );
}

void Deterministic( CheckSession& session )
{
	const char* check = "output.deterministic";
	session.Begin( check );
	const uint64_t seed                     = session.Random().Next();
	const int frames                        = session.Plan().randomSteps;
	const FrameLayout layout                = PlainLayout( kWidth, kHeight );
	std::vector< CheckInstance* > instances = { session.NewInstance( "a fresh instance" ),
		                                        session.NewInstance( "a second fresh instance" ) };
	CheckRandom dice[ 2 ]                   = { CheckRandom( seed ), CheckRandom( seed ) };
	std::string reason;
	bool ok = session.Instantiate( *instances[ 0 ], kWidth, kHeight, &reason ) &&
	          session.Instantiate( *instances[ 1 ], kWidth, kHeight, &reason );
	// Frame by frame side by side: state shared between instances shows as well as state of the process.
	FrameOutput output[ 2 ];
	for( int frame = 0; ok && frame < frames; ++frame )
	{
		for( int i = 0; ok && i < 2; ++i )
		{
			if( frame % 3 == 0 )
				ok = session.SetRandomValues( *instances[ i ], dice[ i ], &reason );
			if( ok )
				session.Frame( *instances[ i ], layout, frame, output[ i ] );
		}
		const PictureDifference difference = ComparePictures( output[ 0 ].picture, output[ 1 ].picture );
		if( ok && difference.maxStep > 1 )
		{
			session.SavePictures( check, instances[ 1 ]->name, frame + 1, output[ 0 ].picture, output[ 1 ].picture );
			ok     = false;
			reason = "two fresh instances fed the same frames and parameters drew frame " +
			         std::to_string( frame + 1 ) + " differently (" + DescribeDifference( difference ) +
			         "): the output depends on something besides the input, the parameters and the instance's past";
		}
	}
	session.Deinstantiate( *instances[ 0 ] );
	session.Deinstantiate( *instances[ 1 ] );
	if( ok )
		session.Pass( check, "two fresh instances drew the same " + std::to_string( frames ) +
		                         " pictures for the same frames and parameters" );
	else
		session.Fail( check, reason );
}

void OutsideViewport( CheckSession& session )
{
	const char* check = "output.outside_viewport";
	session.Begin( check );
	FrameLayout layout      = PlainLayout( kWidth, kHeight );
	layout.targetWidth      = kWidth + 80;
	layout.targetHeight     = kHeight + 60;
	layout.viewportX        = 37;
	layout.viewportY        = 23;
	CheckInstance& instance = *session.NewInstance( "instance 1" );
	std::string reason;
	const int frames = session.Plan().framesPerSize + 3;
	if( !session.Instantiate( instance, kWidth, kHeight, &reason ) ||
	    !Automate( session, check, instance, layout, session.Random().Next(), frames, kInside, &reason ) )
	{
		session.Deinstantiate( instance );
		session.Fail( check, reason + ": hosts draw other layers there" );
		return;
	}
	session.Deinstantiate( instance );
	session.Pass( check, std::to_string( frames ) +
	                         " frames in a viewport at (37, 23) of a larger HostFBO: nothing drawn outside it" );
}
}

void RunOutputGroup( CheckSession& session )
{
	Size( session );
	Premultiplied( session );
	Deterministic( session );
	OutsideViewport( session );
}
}
