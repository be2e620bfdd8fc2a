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

CheckVerdict Changing( CheckSession& session )
{
	std::vector< FrameSize > sizes = session.Plan().sizes;
	session.Random().Shuffle( sizes );
	const int frames = session.Plan().framesPerSize;
	LiveInstance live( session, "instance 1" );
	CheckInstance& instance = *live;
	std::string reason;
	if( !live.Make( sizes[ 0 ].width, sizes[ 0 ].height, &reason ) )
		return Fail( reason );
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
			const std::string problem = session.FrameProblemOf( instance, output, kAnswered | kDrawn );
			if( !problem.empty() )
				return Fail( "at " + SizeText( size.width, size.height ) + " after " + route + ": " + problem );
		}
		if( !session.Unrepeatable().empty() )
			continue;
		if( !FreshPicture( session, size.width, size.height, frames, &fresh, &reason ) )
			return Fail( reason );
		const PictureDifference difference = ComparePictures( output.picture, fresh );
		if( difference.maxStep > 1 )
		{
			session.SavePictures( instance.name, instance.frames, fresh, output.picture );
			return Fail( "after " + route + " the instance draws differently from a fresh one at " +
			             SizeText( size.width, size.height ) + " (" + DescribeDifference( difference ) +
			             "): follow the input's Width and Height on every frame" );
		}
	}
	if( !session.Unrepeatable().empty() )
		return Warn( "one instance through " + route + ", every frame drawn" +
		             NotJudged( session, "each size is drawn as a fresh instance draws it" ) );
	return Pass( "one instance through " + route + ", each size drawn as a fresh instance draws it" );
}

CheckVerdict Tiny( CheckSession& session )
{
	const int w = kCheckWidth, h = kCheckHeight;
	const int frames = session.Plan().framesPerSize;
	LiveInstance live( session, "instance 1" );
	CheckInstance& instance = *live;
	std::string reason;
	if( !live.Make( w, h, &reason ) )
		return Fail( reason );
	FrameOutput output;
	std::string tiny;
	for( const FrameSize size : session.Plan().tinySizes )
	{
		tiny += ( tiny.empty() ? "" : ", " ) + SizeText( size.width, size.height );
		for( int frame = 0; frame < 2; ++frame )
		{
			session.Frame( instance, PlainLayout( size.width, size.height ), frame, output );
			const std::string problem = session.FrameProblemOf( instance, output, kAnswered | kDrawn );
			if( !problem.empty() )
				return Fail( "a frame of " + SizeText( size.width, size.height ) + ": " + problem +
				             ": hosts send such frames (thumbnails, collapsed layers); pass them through" );
		}
	}
	for( int frame = 0; frame < frames; ++frame )
		session.Frame( instance, PlainLayout( w, h ), frame, output );
	live.End();
	const std::string problem = session.FrameProblemOf( instance, output, kAnswered | kDrawn );
	if( !problem.empty() )
		return Fail( "back at " + SizeText( w, h ) + " after frames of " + tiny + ": " + problem );
	const bool unchanged = ComparePictures( output.picture, session.InputPicture( frames - 1, w, h ) ).maxStep <= 1;
	if( !session.Unrepeatable().empty() )
		return Warn( unchanged
		                 ? "after frames of " + tiny + ", it draws its input unchanged at " + SizeText( w, h ) +
		                       ": a state the tiny frame left behind (a failed set-up that latches, say) until "
		                       "the instance is made again"
		                 : "frames of " + tiny + " drawn, and back at " + SizeText( w, h ) + " every frame drawn" +
		                       NotJudged( session, "the instance then draws what a fresh one draws" ) );
	Picture fresh;
	if( !FreshPicture( session, w, h, frames, &fresh, &reason ) )
		return Fail( reason );
	const PictureDifference difference = ComparePictures( output.picture, fresh );
	if( difference.maxStep <= 1 )
		return Pass( "frames of " + tiny + " drawn, and back at " + SizeText( w, h ) + " as a fresh instance draws" );
	session.SavePictures( instance.name, instance.frames, fresh, output.picture );
	const std::string what = "after frames of " + tiny + ", " + std::to_string( frames ) + " frames at " +
	                         SizeText( w, h ) + " differ from a fresh instance's (" + DescribeDifference( difference ) +
	                         ")";
	// Falling back to the input after a frame it cannot work on is a choice, and hosts rarely send such
	// frames: worth knowing. Drawing anything else is a broken state.
	if( unchanged )
		return Warn( what + ": it now draws its input unchanged, a state the tiny frame left behind (a failed set-up "
		                    "that latches, say) until the instance is made again" );
	return Fail( what + ": a tiny frame leaves the instance in a broken state" );
}

// Frames of the layout in one instance, each meeting the demands; false with *reason (which says so when
// nothing at all was drawn into HostFBO) otherwise. The instance's frames in *drawn, its record in
// *instance.
bool DrawLayout( CheckSession& session, const FrameLayout& layout, unsigned demands, const std::string& what,
                 std::vector< Picture >* drawn, CheckInstance* instance, std::string* reason )
{
	LiveInstance live( session, "instance 1" );
	if( !live.Make( layout.width, layout.height, reason ) )
		return false;
	FrameOutput output;
	for( int frame = 0; frame < session.Plan().framesPerSize; ++frame )
	{
		session.Frame( *live, layout, frame, output );
		const std::string problem = session.FrameProblemOf( *live, output, demands );
		if( !problem.empty() )
		{
			const bool nothing =
			    output.answer == FF_SUCCESS && output.undrawn == static_cast< size_t >( layout.width ) * layout.height;
			*reason = what + ": " +
			          ( nothing ? "nothing was drawn into HostFBO (the host's framebuffer of " +
			                          SizeText( layout.targetWidth, layout.targetHeight ) +
			                          "): draw into the framebuffer the host names, in its viewport"
			                    : problem );
			return false;
		}
		drawn->push_back( output.picture );
	}
	*instance = *live;
	return true;
}

// The same frames, once in the layout given and once plainly by a fresh instance. False, with *reason,
// when the instance could not be made, a frame broke a demand, or the picture differs (then the hint,
// what a plug-in maker should do, ends the reason).
bool SameAsPlain( CheckSession& session, const FrameLayout& layout, unsigned demands, const std::string& what,
                  const char* hint, std::string* reason )
{
	std::vector< Picture > drawn;
	CheckInstance instance;
	if( !DrawLayout( session, layout, demands, what, &drawn, &instance, reason ) )
		return false;
	Picture fresh;
	if( !FreshPicture( session, layout.width, layout.height, session.Plan().framesPerSize, &fresh, reason ) )
		return false;
	const PictureDifference difference = ComparePictures( drawn.back(), fresh );
	if( difference.maxStep <= 1 )
		return true;
	session.SavePictures( instance.name, instance.frames, fresh, drawn.back() );
	const bool padded = layout.textureWidth > layout.width || layout.textureHeight > layout.height;
	*reason = what + ", the picture differs from the same frames drawn plainly (" + DescribeDifference( difference ) +
	          ")" + ( padded ? PaddingShows( drawn.back() ) : std::string() ) + hint;
	return false;
}

// For an effect that never draws twice alike: the padding shows when pixels near its colour (one the
// input pictures never hold) lie in the same place in every frame of the padded layout and in no frame
// drawn plainly; grain moves, the padding stays. False with *reason when it shows.
bool PaddingNeverDrawn( CheckSession& session, const FrameLayout& layout, const std::string& what, std::string* reason )
{
	std::vector< Picture > padded, plain;
	CheckInstance instance;
	if( !DrawLayout( session, layout, kAnswered | kDrawn, what, &padded, &instance, reason ) ||
	    !DrawLayout( session, PlainLayout( layout.width, layout.height ), kAnswered | kDrawn, what + " drawn plainly",
	                 &plain, &instance, reason ) )
		return false;
	size_t count = 0;
	int firstX = 0, firstY = 0;
	for( int y = 0; y < layout.height; ++y )
		for( int x = 0; x < layout.width; ++x )
		{
			bool everyPadded = true, anyPlain = false;
			for( const Picture& picture : padded )
				everyPadded = everyPadded && NearPaddingColour( PixelAt( picture, x, y ) );
			for( const Picture& picture : plain )
				anyPlain = anyPlain || NearPaddingColour( PixelAt( picture, x, y ) );
			if( everyPadded && !anyPlain && count++ == 0 )
			{
				firstX = x;
				firstY = y;
			}
		}
	if( count <= kPaddingPixelsTolerated )
		return true;
	*reason = what + ", the padding colour (255, 0, 255, 255) or near it shows in " + std::to_string( count ) +
	          " pixels of every frame, first at " + PositionText( firstX, firstY ) +
	          ", and in no frame drawn plainly: the texture's padding shows; sample only Width x Height of "
	          "HardwareWidth x HardwareHeight";
	return false;
}

// A check of one layout against the plain one. For an effect that never draws twice alike, the frames
// meet the demands for that case, and the verdict warns that notJudged could not be judged (passes when
// notJudged is null: the demands judge it all).
CheckVerdict CheckLikePlain( CheckSession& session, const FrameLayout& layout, unsigned demands,
                             unsigned unrepeatableDemands, const std::string& what, const char* hint,
                             const char* passed, const char* notJudged )
{
	std::string reason;
	if( session.Unrepeatable().empty() )
		return SameAsPlain( session, layout, demands, what, hint, &reason ) ? Pass( passed ) : Fail( reason );
	std::vector< Picture > drawn;
	CheckInstance instance;
	if( !DrawLayout( session, layout, unrepeatableDemands, what, &drawn, &instance, &reason ) )
		return Fail( reason + hint );
	if( notJudged )
		return Warn( passed + NotJudged( session, notJudged ) );
	return Pass( passed + std::string( ", judged by where it drew: the effect does not draw twice alike" ) );
}

CheckVerdict PaddingHidden( CheckSession& session )
{
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
		const bool shown =
		    session.Unrepeatable().empty()
		        ? !SameAsPlain( session, padded, kAnswered | kDrawn, what,
		                        ": the texture's padding shows; sample only Width x Height of HardwareWidth x "
		                        "HardwareHeight",
		                        &reason )
		        : !PaddingNeverDrawn( session, padded, what, &reason );
		if( shown )
			return Fail( reason );
	}
	return Pass( std::to_string( layouts.size() ) + " input textures larger than their pictures, padding never drawn" +
	             ( session.Unrepeatable().empty()
	                   ? ""
	                   : " (judged by the padding's colour in the frames: the effect does not draw twice alike)" ) );
}

CheckVerdict HostFramebuffer( CheckSession& session )
{
	FrameLayout layout  = PlainLayout( 320, 180 );
	layout.targetWidth  = 400;
	layout.targetHeight = 300;
	return CheckLikePlain( session, layout, kAnswered | kDrawn, kAnswered | kDrawn,
	                       "with a HostFBO of 400x300 and the viewport 320x180 at (0, 0)", "",
	                       "drawn into a HostFBO of its own size that is not the host's first framebuffer",
	                       "the picture is the one drawn plainly" );
}

CheckVerdict Viewport( CheckSession& session )
{
	FrameLayout layout  = PlainLayout( 320, 180 );
	layout.targetWidth  = 420;
	layout.targetHeight = 260;
	layout.viewportX    = 60;
	layout.viewportY    = 40;
	return CheckLikePlain( session, layout, kAnswered, kAnswered | kDrawn | kInside,
	                       "with the viewport 320x180 at (60, 40) in a HostFBO of 420x260",
	                       ": draw into the viewport the host set, not at (0, 0)",
	                       "the picture lands in the host's viewport, wherever it lies", nullptr );
}
}

CheckGroup SizesGroup()
{
	return { "sizes",
		     GroupStart::kPlugin,
		     true,
		     { { "sizes.changing", "one instance through sizes changing while running", Changing },
		       { "sizes.tiny", "frames of 2x2 (and 5x3, 1x1)", Tiny },
		       { "sizes.padding_hidden", "input textures larger than their pictures, the padding filled with magenta",
		         PaddingHidden },
		       { "sizes.host_fbo", "a HostFBO of its own size, not the host's first framebuffer", HostFramebuffer },
		       { "sizes.viewport", "a viewport inside a larger HostFBO", Viewport } } };
}
}
