// Frame sizes and the host's framebuffer as real hosts hand them over: sizes changing while running,
// frames a few pixels wide, input textures larger than their picture, a HostFBO of its own size and
// a viewport inside it. Under each, an instance must draw what a fresh instance draws plainly.
#include "host/check/groups.h"

namespace ffglhost
{
namespace
{
// The reference: a fresh instance, frames of the plain layout of that size.
bool FreshPicture( CheckSession& session, int w, int h, int frames, Picture* picture, std::string* reason )
{
	FrameRun run;
	run.layout = PlainLayout( w, h );
	run.frames = frames;
	FrameOutput output;
	if( !RunFreshInstance( session, run, "a fresh instance", &output, reason ) )
		return false;
	*picture = output.picture;
	return true;
}

void Changing( CheckSession& session )
{
	const char* check = "sizes.changing";
	session.Begin( check );
	std::vector< FrameSize > sizes = session.Plan().sizes;
	session.Random().Shuffle( sizes );
	const int frames        = session.Plan().framesPerSize;
	CheckInstance& instance = *session.NewInstance( "instance 1" );
	std::string reason;
	if( !session.Instantiate( instance, sizes[ 0 ].width, sizes[ 0 ].height, &reason ) )
	{
		session.Fail( check, reason );
		return;
	}
	FrameOutput output;
	Picture fresh;
	std::string route;
	for( size_t i = 0; i < sizes.size(); ++i )
	{
		const FrameSize size = sizes[ i ];
		route += ( i ? " -> " : "" ) + SizeText( size.width, size.height );
		if( i > 0 )
			session.Resize( instance, size.width, size.height );
		for( int frame = 0; frame < frames; ++frame )
		{
			session.Frame( instance, PlainLayout( size.width, size.height ), frame, output );
			const std::string problem = session.FrameProblemOf( check, instance, output, kAnswered | kDrawn );
			if( !problem.empty() )
			{
				session.Deinstantiate( instance );
				session.Fail( check, "at " + SizeText( size.width, size.height ) + " after " + route + ": " + problem );
				return;
			}
		}
		if( !FreshPicture( session, size.width, size.height, frames, &fresh, &reason ) )
		{
			session.Deinstantiate( instance );
			session.Fail( check, reason );
			return;
		}
		const PictureDifference difference = ComparePictures( output.picture, fresh );
		if( difference.maxStep > 1 )
		{
			session.SavePictures( check, instance.name, instance.frames, fresh, output.picture );
			session.Deinstantiate( instance );
			session.Fail( check, "after " + route + " the instance draws differently from a fresh one at " +
			                         SizeText( size.width, size.height ) + " (" + DescribeDifference( difference ) +
			                         "): follow the input's Width and Height on every frame" );
			return;
		}
	}
	session.Deinstantiate( instance );
	session.Pass( check, "one instance through " + route + ", each size drawn as a fresh instance draws it" );
}

void Tiny( CheckSession& session )
{
	const char* check = "sizes.tiny";
	session.Begin( check );
	const int w = 320, h = 180;
	const int frames        = session.Plan().framesPerSize;
	CheckInstance& instance = *session.NewInstance( "instance 1" );
	std::string reason;
	if( !session.Instantiate( instance, w, h, &reason ) )
	{
		session.Fail( check, reason );
		return;
	}
	FrameOutput output;
	std::string tiny;
	for( const FrameSize size : session.Plan().tinySizes )
	{
		tiny += ( tiny.empty() ? "" : ", " ) + SizeText( size.width, size.height );
		for( int frame = 0; frame < 2; ++frame )
		{
			session.Frame( instance, PlainLayout( size.width, size.height ), frame, output );
			const std::string problem = session.FrameProblemOf( check, instance, output, kAnswered | kDrawn );
			if( !problem.empty() )
			{
				session.Deinstantiate( instance );
				session.Fail( check, "a frame of " + SizeText( size.width, size.height ) + ": " + problem +
				                         ": hosts send such frames (thumbnails, collapsed layers); pass them through" );
				return;
			}
		}
	}
	for( int frame = 0; frame < frames; ++frame )
		session.Frame( instance, PlainLayout( w, h ), frame, output );
	session.Deinstantiate( instance );
	const std::string problem = session.FrameProblemOf( check, instance, output, kAnswered | kDrawn );
	if( !problem.empty() )
	{
		session.Fail( check, "back at " + SizeText( w, h ) + " after frames of " + tiny + ": " + problem );
		return;
	}
	Picture fresh;
	if( !FreshPicture( session, w, h, frames, &fresh, &reason ) )
	{
		session.Fail( check, reason );
		return;
	}
	const PictureDifference difference = ComparePictures( output.picture, fresh );
	if( difference.maxStep <= 1 )
	{
		session.Pass( check,
		              "frames of " + tiny + " drawn, and back at " + SizeText( w, h ) + " as a fresh instance draws" );
		return;
	}
	session.SavePictures( check, instance.name, instance.frames, fresh, output.picture );
	const std::string what = "after frames of " + tiny + ", " + std::to_string( frames ) + " frames at " +
	                         SizeText( w, h ) + " differ from a fresh instance's (" + DescribeDifference( difference ) +
	                         ")";
	// Falling back to the input after a frame it cannot work on is a choice, and hosts rarely send such
	// frames: worth knowing. Drawing anything else is a broken state.
	if( ComparePictures( output.picture, session.InputPicture( frames - 1, w, h ) ).maxStep <= 1 )
		session.Warn( check, what + ": it now draws its input unchanged, a state the tiny frame left behind (a failed "
		                            "set-up that latches, say) until the instance is made again" );
	else
		session.Fail( check, what + ": a tiny frame leaves the instance in a broken state" );
}

// The same frames, once in the layout given and once plainly by a fresh instance. False, with *reason,
// when the instance could not be made, a frame broke a demand, or the picture differs (then the hint,
// what a plug-in maker should do, ends the reason).
bool SameAsPlain( CheckSession& session, const char* check, const FrameLayout& layout, unsigned demands,
                  const std::string& what, const char* hint, std::string* reason )
{
	const int frames        = session.Plan().framesPerSize;
	CheckInstance& instance = *session.NewInstance( "instance 1" );
	if( !session.Instantiate( instance, layout.width, layout.height, reason ) )
		return false;
	FrameOutput output;
	for( int frame = 0; frame < frames; ++frame )
	{
		session.Frame( instance, layout, frame, output );
		const std::string problem = session.FrameProblemOf( check, instance, output, demands );
		if( !problem.empty() )
		{
			session.Deinstantiate( instance );
			const bool nothing =
			    output.answer == FF_SUCCESS && output.undrawn == static_cast< size_t >( layout.width ) * layout.height;
			*reason = what + ": " +
			          ( nothing ? "nothing was drawn into HostFBO (the host's framebuffer of " +
			                          SizeText( layout.targetWidth, layout.targetHeight ) +
			                          "): draw into the framebuffer the host names, in its viewport"
			                    : problem );
			return false;
		}
	}
	session.Deinstantiate( instance );
	Picture fresh;
	if( !FreshPicture( session, layout.width, layout.height, frames, &fresh, reason ) )
		return false;
	const PictureDifference difference = ComparePictures( output.picture, fresh );
	if( difference.maxStep <= 1 )
		return true;
	session.SavePictures( check, instance.name, instance.frames, fresh, output.picture );
	const bool padded = layout.textureWidth > layout.width || layout.textureHeight > layout.height;
	*reason = what + ", the picture differs from the same frames drawn plainly (" + DescribeDifference( difference ) +
	          ")" + ( padded ? PaddingShows( output.picture ) : std::string() ) + hint;
	return false;
}

// A check of one layout against the plain one.
void CheckLikePlain( CheckSession& session, const char* check, const FrameLayout& layout, unsigned demands,
                     const std::string& what, const char* hint, const char* passed )
{
	session.Begin( check );
	std::string reason;
	if( SameAsPlain( session, check, layout, demands, what, hint, &reason ) )
		session.Pass( check, passed );
	else
		session.Fail( check, reason );
}

void PaddingHidden( CheckSession& session )
{
	const char* check = "sizes.padding_hidden";
	session.Begin( check );
	std::vector< FrameLayout > layouts;
	FrameLayout layout   = PlainLayout( 320, 180 );
	layout.textureWidth  = 512;
	layout.textureHeight = 256;
	layouts.push_back( layout );
	layout               = PlainLayout( 333, 187 );
	layout.textureWidth  = 334;
	layout.textureHeight = 200;
	layouts.push_back( layout );
	if( session.Plan().strictness >= 5 )
	{
		layout               = PlainLayout( 1280, 720 );
		layout.textureWidth  = 2048;
		layout.textureHeight = 1024;
		layouts.push_back( layout );
	}
	std::string reason;
	for( const FrameLayout& padded : layouts )
	{
		const std::string what = "with a " + SizeText( padded.width, padded.height ) + " picture in a " +
		                         SizeText( padded.textureWidth, padded.textureHeight ) + " texture";
		if( !SameAsPlain( session, check, padded, kAnswered | kDrawn, what,
		                  ": the texture's padding shows; sample only Width x Height of HardwareWidth x HardwareHeight",
		                  &reason ) )
		{
			session.Fail( check, reason );
			return;
		}
	}
	session.Pass( check, std::to_string( layouts.size() ) +
	                         " input textures larger than their pictures, padding never drawn" );
}

void HostFramebuffer( CheckSession& session )
{
	FrameLayout layout  = PlainLayout( 320, 180 );
	layout.targetWidth  = 400;
	layout.targetHeight = 300;
	CheckLikePlain( session, "sizes.host_fbo", layout, kAnswered | kDrawn,
	                "with a HostFBO of 400x300 and the viewport 320x180 at (0, 0)", "",
	                "drawn into a HostFBO of its own size that is not the host's first framebuffer" );
}

void Viewport( CheckSession& session )
{
	FrameLayout layout  = PlainLayout( 320, 180 );
	layout.targetWidth  = 420;
	layout.targetHeight = 260;
	layout.viewportX    = 60;
	layout.viewportY    = 40;
	CheckLikePlain( session, "sizes.viewport", layout, kAnswered,
	                "with the viewport 320x180 at (60, 40) in a HostFBO of 420x260",
	                ": draw into the viewport the host set, not at (0, 0)",
	                "the picture lands in the host's viewport, wherever it lies" );
}
}

void RunSizesGroup( CheckSession& session )
{
	Changing( session );
	Tiny( session );
	PaddingHidden( session );
	HostFramebuffer( session );
	Viewport( session );
}
}
