#include "host/check/check_session.h"

#include "host/core/gl_frames.h"
#include "host/core/host_log.h"
#include "host/core/plugin_instance.h"
#include "host/core/scene_presenter.h"
#include "host/core/timing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ffglhost
{
namespace
{
// The host's clear colour: red above alpha, so no premultiplied drawing can produce it by chance.
const uint8_t kClearColour[ 4 ] = { 13, 251, 7, 3 };
// What fills the texture beyond the picture: loud, opaque, and nowhere in the pictures.
const uint8_t kPaddingColour[ 4 ] = { 255, 0, 255, 255 };
const int kPictureVariety          = 4;
const size_t kPictureCacheLimit    = 12;
const long long kSteadyFramePixels = 1920LL * 1080LL;
const char* const kWatchNames[]    = { "glstate.instantiate", "glstate.process", "glstate.deinstantiate", "glstate.other" };

bool IsClearColour( const uint8_t* pixel )
{
	return std::memcmp( pixel, kClearColour, 4 ) == 0;
}

std::string Position( int x, int y )
{
	return "(" + std::to_string( x ) + ", " + std::to_string( y ) + ")";
}
}

std::string FloatText( float value )
{
	char text[ 32 ];
	std::snprintf( text, sizeof( text ), "%g", static_cast< double >( value ) );
	return text;
}

FrameLayout PlainLayout( int w, int h )
{
	FrameLayout layout;
	layout.width = layout.textureWidth = layout.targetWidth = w;
	layout.height = layout.textureHeight = layout.targetHeight = h;
	return layout;
}

std::string SizeName( int w, int h )
{
	return std::to_string( w ) + "x" + std::to_string( h );
}

std::string FrameProblem( const FrameOutput& output, unsigned demands )
{
	char text[ 320 ];
	if( ( demands & kAnswered ) && output.answer != FF_SUCCESS )
		std::snprintf( text, sizeof( text ), "FF_PROCESS_OPENGL answered 0x%08X instead of FF_SUCCESS", output.answer );
	else if( ( demands & kDrawn ) && output.undrawn )
		std::snprintf( text, sizeof( text ),
		               "%zu pixels of the viewport were not drawn (first at %s): the host's clear colour shows through",
		               output.undrawn, Position( output.undrawnX, output.undrawnY ).c_str() );
	else if( ( demands & kPremultiplied ) && output.straight )
		std::snprintf( text, sizeof( text ),
		               "colour not premultiplied: %zu pixels have red, green or blue above alpha, first (%d, %d, %d, %d) at %s",
		               output.straight, output.straightAt[ 0 ], output.straightAt[ 1 ], output.straightAt[ 2 ],
		               output.straightAt[ 3 ], Position( output.straightX, output.straightY ).c_str() );
	else if( ( demands & kInside ) && output.outside )
		std::snprintf( text, sizeof( text ), "drew %zu pixels outside the viewport (first at %s of HostFBO, from the top)",
		               output.outside, Position( output.outsideX, output.outsideY ).c_str() );
	else
		return std::string();
	return text;
}

PictureDifference ComparePictures( const Picture& a, const Picture& b )
{
	PictureDifference difference;
	if( a.width != b.width || a.height != b.height )
	{
		difference.sizeDiffers = true;
		difference.maxStep     = 255;
		return difference;
	}
	for( int y = 0; y < a.height; ++y )
		for( int x = 0; x < a.width; ++x )
		{
			const uint8_t* p = PixelAt( a, x, y );
			const uint8_t* q = PixelAt( b, x, y );
			int step         = 0;
			for( int c = 0; c < 4; ++c )
				step = std::max( step, std::abs( p[ c ] - q[ c ] ) );
			difference.maxStep = std::max( difference.maxStep, step );
			if( step > 1 && difference.pixels++ == 0 )
			{
				difference.x = x;
				difference.y = y;
			}
		}
	return difference;
}

std::string DescribeDifference( const PictureDifference& difference )
{
	if( difference.sizeDiffers )
		return "pictures of different sizes";
	char text[ 160 ];
	std::snprintf( text, sizeof( text ), "up to %d steps in %zu pixels, first at %s", difference.maxStep, difference.pixels,
	               Position( difference.x, difference.y ).c_str() );
	return text;
}

CheckSession::CheckSession( const CheckGroup& checkGroup, const std::string& pluginPath, const CheckPlan& checkPlan,
                            uint64_t seed )
    : group( checkGroup ), plugin( pluginPath ), plan( checkPlan ), random( seed )
{
}

CheckSession::~CheckSession()
{
	Close();
}

bool CheckSession::Open( std::string* error )
{
	ClearCollectedLogLines();
	EmitCall( "load", plugin );
	if( !library.Open( plugin, error ) )
		return false;
	library.InstallLogCallback( CollectLogLine );
	EmitCall( "FF_INITIALISE_V2", "" );
	if( !InitialisePlugin( library, error ) )
		return false;
	initialised = true;
	EmitCall( "information codes", "" );
	if( !DescribePlugin( library, &description, error ) )
		return false;
	if( description.type != FF_EFFECT )
	{
		*error = "it is a " + PluginTypeName( description.type ) + " plug-in; ffglhost check validates effects";
		return false;
	}
	if( !glReady )
	{
		if( !StartHostGL( context, error ) )
			return false;
		glReady = true;
		glGenFramebuffers( 3, spareFramebuffers );
		for( GLuint framebuffer : spareFramebuffers )
		{
			glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
			glBindFramebuffer( GL_FRAMEBUFFER, 0 );
		}
	}
	return true;
}

void CheckSession::CloseLibrary()
{
	if( initialised )
		Deinitialise();
	initialised = false;
	library.Close();
}

void CheckSession::Close()
{
	if( glReady )
		context.MakeCurrent();
	for( CheckInstance& instance : instances )
		if( instance.id )
			Deinstantiate( instance );
	if( initialised )
		Deinitialise();
	initialised = false;
	if( glReady && censusTaken && !namesChecked )
	{
		GLNameCensus own;
		own.names[ kTextureName ]     = { inputTexture, targetTexture };
		own.names[ kFramebufferName ] = { spareFramebuffers[ 0 ], spareFramebuffers[ 1 ], spareFramebuffers[ 2 ],
			                              targetFramebuffer };
		for( auto& names : own.names )
			std::sort( names.begin(), names.end() );
		namesProblem = NamesLeftBehind( namesBefore, TakeGLNameCensus(), own );
		namesChecked = true;
	}
	ReportSharedChecks();
	library.Close();
	if( glReady )
	{
		glDeleteFramebuffers( 3, spareFramebuffers );
		glDeleteFramebuffers( 1, &targetFramebuffer );
		glDeleteTextures( 1, &targetTexture );
		glDeleteTextures( 1, &inputTexture );
		context.Destroy();
		glReady = false;
	}
	for( const std::string& line : CollectedLogLines() )
		EmitLog( line );
	ClearCollectedLogLines();
}

void CheckSession::FailAll( const std::string& reason )
{
	for( const char* check : group.checks )
		Fail( check, reason );
}

void CheckSession::ReportSharedChecks()
{
	// A problem was reported when it was found (a later crash must not lose it); passes are said here.
	for( int kind = 0; kind < kCallKinds; ++kind )
	{
		StateWatch& watch = watches[ kind ];
		if( watch.calls > 0 && watch.problem.empty() )
			Pass( kWatchNames[ kind ], std::to_string( watch.calls ) + " calls left the GL state as the host set it" );
		watch = StateWatch();
	}
	if( namesChecked )
	{
		if( namesProblem.empty() )
			Pass( "names.released", "1 groups: no GL object outlived the instances and FF_DEINITIALISE" );
		else
			Fail( "names.released", "GL objects the plug-in made outlived every instance and FF_DEINITIALISE (" + std::string( group.name ) +
			                            " group): " + namesProblem + "; delete them in FF_DEINSTANTIATE_GL" );
		namesChecked = false;
		censusTaken  = false;
	}
}

void CheckSession::Begin( const char* check )
{
	EmitBegin( check );
}

void CheckSession::Report( const char* check, CheckStatus status, const std::string& reason )
{
	EmitResult( { check, status, reason } );
}

FFMixed CheckSession::Call( uint32_t code, FFMixed input, void* instance, const char* callName, const std::string& detail )
{
	EmitCall( callName, detail );
	return library.Call( code, input, instance );
}

FFMixed CheckSession::GuardedCall( CallKind kind, uint32_t code, FFMixed input, void* instance, const char* callName,
                                   const std::string& detail, double* milliseconds )
{
	if( !glReady )
		return Call( code, input, instance, callName, detail ); // FF_DEINITIALISE when GL could not start
	SetHostDefaultState( targetFramebuffer, viewport );
	TakeGLErrors();
	const GLStateSnapshot expected = TakeGLStateSnapshot();
	EmitCall( callName, detail );
	const double start  = NowSeconds();
	const FFMixed result = library.Call( code, input, instance );
	glFinish();
	if( milliseconds )
		*milliseconds = ( NowSeconds() - start ) * 1000.0;
	const std::string errors                   = TakeGLErrors();
	const std::vector< std::string > differences = CompareGLState( expected, TakeGLStateSnapshot(), callName );
	StateWatch& watch                            = watches[ kind ];
	++watch.calls;
	if( watch.problem.empty() && ( !differences.empty() || !errors.empty() ) )
	{
		std::string problem;
		for( size_t i = 0; i < differences.size() && i < 3; ++i )
			problem += ( i ? "; " : "" ) + differences[ i ];
		if( differences.size() > 3 )
			problem += "; and " + std::to_string( differences.size() - 3 ) + " more";
		if( !errors.empty() )
			problem += ( problem.empty() ? "" : "; " ) + std::string( callName ) + " raised " + errors;
		watch.problem = problem + ( detail.empty() ? "" : " (" + detail + ")" ) +
		                ": hosts hand over GL's defaults and expect them back after every call";
		Fail( kWatchNames[ kind ], watch.problem );
	}
	return result;
}

CheckInstance* CheckSession::NewInstance( const std::string& name )
{
	instances.emplace_back();
	instances.back().name = name;
	return &instances.back();
}

bool CheckSession::Instantiate( CheckInstance& instance, int w, int h, std::string* reason )
{
	if( !targetFramebuffer )
		PrepareTarget( PlainLayout( w, h ) );
	if( !censusTaken )
	{
		SetHostDefaultState( targetFramebuffer, viewport );
		namesBefore = TakeGLNameCensus();
		censusTaken = true;
	}
	FFGLViewportStruct record = { 0, 0, static_cast< uint32_t >( w ), static_cast< uint32_t >( h ) };
	double milliseconds       = 0.0;
	const FFMixed result = GuardedCall( kInstantiateCall, FF_INSTANTIATE_GL, MixedPointer( &record ), nullptr,
	                                    "FF_INSTANTIATE_GL", instance.name + " at " + SizeName( w, h ), &milliseconds );
	if( !IsValidPointer( result ) )
	{
		*reason = "FF_INSTANTIATE_GL failed for " + instance.name + " at " + SizeName( w, h );
		return false;
	}
	EmitTime( "instantiate", milliseconds );
	instance.id      = result.PointerValue;
	instance.frames  = 0;
	instance.changed = true;
	static const char* const kHostName = "ffglhost check";
	SetHostinfoStruct host             = { kHostName, "1" };
	GuardedCall( kOtherCall, FF_SET_HOSTINFO, MixedPointer( &host ), instance.id, "FF_SET_HOSTINFO", instance.name );
	return true;
}

void CheckSession::Deinstantiate( CheckInstance& instance )
{
	if( !instance.id )
		return;
	double milliseconds = 0.0;
	GuardedCall( kDeinstantiateCall, FF_DEINSTANTIATE_GL, MixedNumber( 0 ), instance.id, "FF_DEINSTANTIATE_GL",
	             instance.name, &milliseconds );
	EmitTime( "deinstantiate", milliseconds );
	instance.id = nullptr;
}

uint32_t CheckSession::SetFloat( CheckInstance& instance, uint32_t index, float value )
{
	SetParameterStruct record      = {};
	record.ParameterNumber         = index;
	record.NewParameterValue.bits = 0;
	std::memcpy( &record.NewParameterValue.UIntValue, &value, sizeof( value ) );
	instance.changed = true;
	return GuardedCall( kOtherCall, FF_SET_PARAMETER, MixedPointer( &record ), instance.id, "FF_SET_PARAMETER",
	                    "parameter " + std::to_string( index ) + " = " + FloatText( value ) + " on " + instance.name )
	    .UIntValue;
}

uint32_t CheckSession::SetText( CheckInstance& instance, uint32_t index, const char* text )
{
	SetParameterStruct record = {};
	record.ParameterNumber    = index;
	record.NewParameterValue  = MixedPointer( text );
	instance.changed          = true;
	return GuardedCall( kOtherCall, FF_SET_PARAMETER, MixedPointer( &record ), instance.id, "FF_SET_PARAMETER",
	                    "parameter " + std::to_string( index ) + " = \"" + text + "\" on " + instance.name )
	    .UIntValue;
}

uint32_t CheckSession::Resize( CheckInstance& instance, int w, int h )
{
	FFGLViewportStruct record = { 0, 0, static_cast< uint32_t >( w ), static_cast< uint32_t >( h ) };
	instance.changed          = true;
	return GuardedCall( kOtherCall, FF_RESIZE, MixedPointer( &record ), instance.id, "FF_RESIZE",
	                    instance.name + " to " + SizeName( w, h ) )
	    .UIntValue;
}

uint32_t CheckSession::Deinitialise()
{
	const uint32_t answer = GuardedCall( kOtherCall, FF_DEINITIALISE, MixedNumber( 0 ), nullptr, "FF_DEINITIALISE", "" ).UIntValue;
	initialised           = false;
	return answer;
}

uint32_t CheckSession::Initialise()
{
	const uint32_t answer = GuardedCall( kOtherCall, FF_INITIALISE_V2, MixedNumber( 0 ), nullptr, "FF_INITIALISE_V2", "" ).UIntValue;
	initialised           = answer == FF_SUCCESS;
	return answer;
}

std::vector< uint32_t > CheckSession::FloatParameters() const
{
	std::vector< uint32_t > indexes;
	for( const ParameterDescription& p : description.parameters )
		if( !( p.typeKnown && IsTextType( p.type ) ) )
			indexes.push_back( p.index );
	return indexes;
}

bool CheckSession::SetDefaults( CheckInstance& instance, std::string* reason )
{
	for( const ParameterDescription& p : description.parameters )
	{
		const bool text = p.typeKnown && IsTextType( p.type );
		const uint32_t answer = text ? SetText( instance, p.index, p.defaultText.c_str() ) : SetFloat( instance, p.index, p.defaultValue );
		if( answer != FF_SUCCESS )
		{
			*reason = "refused its own default for \"" + p.name + "\" (" + ( text ? p.defaultText : FloatText( p.defaultValue ) ) + ")";
			return false;
		}
	}
	return true;
}

bool CheckSession::SetRandomValues( CheckInstance& instance, CheckRandom& dice, std::string* reason,
                                    std::vector< std::pair< uint32_t, float > >* values )
{
	if( values )
		values->clear();
	static const char* const kTexts[] = { "", "a", "Umbra", "0123456789abcdefghijklmnopqrstuvwxyz", "caf\xc3\xa9 \xe2\x9c\x93" };
	for( const ParameterDescription& p : description.parameters )
	{
		if( p.typeKnown && IsTextType( p.type ) )
		{
			const char* text = kTexts[ dice.Below( 5 ) ];
			if( SetText( instance, p.index, text ) != FF_SUCCESS )
			{
				*reason = "refused \"" + p.name + "\" = \"" + text + "\"";
				return false;
			}
			continue;
		}
		const float value = p.typeKnown && p.type == FF_TYPE_BOOLEAN ? static_cast< float >( dice.Below( 2 ) )
		                                                            : dice.Between( p.min, p.max );
		if( SetFloat( instance, p.index, value ) != FF_SUCCESS )
		{
			*reason = "refused \"" + p.name + "\" = " + FloatText( value ) + ", within its range " + FloatText( p.min ) + " to " +
			          FloatText( p.max );
			return false;
		}
		if( values )
			values->emplace_back( p.index, value );
	}
	return true;
}

const Picture& CheckSession::InputPicture( int index, int w, int h )
{
	const auto key = std::make_tuple( index % kPictureVariety, w, h );
	auto found     = pictures.find( key );
	if( found != pictures.end() )
		return found->second;
	if( pictures.size() >= kPictureCacheLimit )
		pictures.clear();
	Picture& picture = pictures[ key ];
	// Poses far enough apart that the figure moves between pictures.
	RenderPresenter( ( index % kPictureVariety ) * 9, w, h, picture );
	// A translucent band and a clear band at the bottom, a translucent stripe at the left: an effect that
	// mishandles premultiplied input shows it there.
	for( int y = 0; y < h; ++y )
		for( int x = 0; x < w; ++x )
		{
			uint8_t* pixel  = PixelAt( picture, x, y );
			const int alpha = y >= h - h / 20 ? 0 : y >= h - h / 5 ? 128 : x < w / 10 ? 64 : 255;
			for( int c = 0; c < 3; ++c )
				pixel[ c ] = static_cast< uint8_t >( ( pixel[ c ] * alpha + 127 ) / 255 );
			pixel[ 3 ] = static_cast< uint8_t >( alpha );
		}
	return picture;
}

void CheckSession::PrepareTarget( const FrameLayout& layout )
{
	SetHostDefaultState( 0, viewport );
	if( !inputTexture || layout.textureWidth != textureWidth || layout.textureHeight != textureHeight )
	{
		glDeleteTextures( 1, &inputTexture );
		inputTexture  = MakeRGBA8Texture( layout.textureWidth, layout.textureHeight );
		textureWidth  = layout.textureWidth;
		textureHeight = layout.textureHeight;
	}
	if( !targetFramebuffer || layout.targetWidth != targetWidth || layout.targetHeight != targetHeight )
	{
		glDeleteFramebuffers( 1, &targetFramebuffer );
		glDeleteTextures( 1, &targetTexture );
		targetTexture = MakeRGBA8Texture( layout.targetWidth, layout.targetHeight );
		glGenFramebuffers( 1, &targetFramebuffer );
		targetWidth  = layout.targetWidth;
		targetHeight = layout.targetHeight;
	}
	// Attached afresh each time: a plug-in may have taken the host's texture off its framebuffer.
	glBindFramebuffer( GL_FRAMEBUFFER, targetFramebuffer );
	glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targetTexture, 0 );
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	viewport = { layout.viewportX, layout.viewportY, layout.width, layout.height };
}

void CheckSession::UploadInput( const FrameLayout& layout, int pictureIndex )
{
	// Every frame afresh: a plug-in that wrote into its input must not change the next frame's.
	const Picture& picture = InputPicture( pictureIndex, layout.width, layout.height );
	ResizePicture( staging, textureWidth, textureHeight );
	for( size_t i = 0; i < staging.rgba.size(); i += 4 )
		std::memcpy( &staging.rgba[ i ], kPaddingColour, 4 );
	// GL's rows run bottom first; the picture's top row lands in row height - 1.
	for( int y = 0; y < layout.height; ++y )
		std::memcpy( PixelAt( staging, 0, layout.height - 1 - y ), PixelAt( picture, 0, y ), static_cast< size_t >( layout.width ) * 4 );
	SetHostDefaultState( targetFramebuffer, viewport );
	glBindTexture( GL_TEXTURE_2D, inputTexture );
	glTexSubImage2D( GL_TEXTURE_2D, 0, 0, 0, textureWidth, textureHeight, GL_RGBA, GL_UNSIGNED_BYTE, staging.rgba.data() );
	glBindTexture( GL_TEXTURE_2D, 0 );
}

void CheckSession::ReadOutput( const FrameLayout& layout, FrameOutput& output )
{
	SetHostDefaultState( targetFramebuffer, viewport );
	ResizePicture( staging, targetWidth, targetHeight );
	// Zeros first: should the read fail, a stale picture must not pass for this frame's.
	std::fill( staging.rgba.begin(), staging.rgba.end(), uint8_t( 0 ) );
	glReadPixels( 0, 0, targetWidth, targetHeight, GL_RGBA, GL_UNSIGNED_BYTE, staging.rgba.data() );
	ResizePicture( output.picture, layout.width, layout.height );
	output.undrawn = output.straight = output.outside = 0;
	for( int row = 0; row < targetHeight; ++row )
	{
		const int top = targetHeight - 1 - row; // counted from the top, for messages
		for( int x = 0; x < targetWidth; ++x )
		{
			const uint8_t* pixel = PixelAt( staging, x, row );
			const bool inside    = x >= layout.viewportX && x < layout.viewportX + layout.width && row >= layout.viewportY &&
			                    row < layout.viewportY + layout.height;
			if( !inside )
			{
				if( !IsClearColour( pixel ) && output.outside++ == 0 )
				{
					output.outsideX = x;
					output.outsideY = top;
				}
				continue;
			}
			const int px = x - layout.viewportX;
			const int py = layout.viewportY + layout.height - 1 - row;
			std::memcpy( PixelAt( output.picture, px, py ), pixel, 4 );
			if( IsClearColour( pixel ) )
			{
				if( output.undrawn++ == 0 )
				{
					output.undrawnX = px;
					output.undrawnY = py;
				}
				continue;
			}
			if( std::max( pixel[ 0 ], std::max( pixel[ 1 ], pixel[ 2 ] ) ) > pixel[ 3 ] + 1 && output.straight++ == 0 )
			{
				output.straightX = px;
				output.straightY = py;
				for( int c = 0; c < 4; ++c )
					output.straightAt[ c ] = pixel[ c ];
			}
		}
	}
}

uint32_t CheckSession::RawFrame( CheckInstance& instance, const FrameLayout& layout, ProcessOpenGLStruct* record,
                                 const std::string& detail, FrameOutput* output )
{
	PrepareTarget( layout );
	record->HostFBO = targetFramebuffer;
	UploadInput( layout, 0 );
	SetHostDefaultState( targetFramebuffer, { 0, 0, targetWidth, targetHeight } );
	glClearColor( kClearColour[ 0 ] / 255.f, kClearColour[ 1 ] / 255.f, kClearColour[ 2 ] / 255.f, kClearColour[ 3 ] / 255.f );
	glClear( GL_COLOR_BUFFER_BIT );
	const uint32_t answer =
	    GuardedCall( kProcessCall, FF_PROCESS_OPENGL, MixedPointer( record ), instance.id, "FF_PROCESS_OPENGL", detail ).UIntValue;
	if( output )
	{
		output->answer = answer;
		ReadOutput( layout, *output );
	}
	return answer;
}

void CheckSession::Frame( CheckInstance& instance, const FrameLayout& layout, int pictureIndex, FrameOutput& output )
{
	if( layout.width != instance.lastWidth || layout.height != instance.lastHeight )
		instance.changed = true;
	PrepareTarget( layout );
	UploadInput( layout, pictureIndex );
	SetHostDefaultState( targetFramebuffer, { 0, 0, targetWidth, targetHeight } );
	glClearColor( kClearColour[ 0 ] / 255.f, kClearColour[ 1 ] / 255.f, kClearColour[ 2 ] / 255.f, kClearColour[ 3 ] / 255.f );
	glClear( GL_COLOR_BUFFER_BIT );

	// Time and beat before every frame, as hosts send them; from the picture's number, so that two
	// instances fed the same pictures are told the same time.
	const std::string detail = "frame " + std::to_string( instance.frames + 1 ) + " of " + instance.name + " at " +
	                           SizeName( layout.width, layout.height );
	const double time        = pictureIndex / 60.0;
	SetBeatinfoStruct beat   = { 120.f, static_cast< float >( pictureIndex % 8 ) / 8.f };
	GuardedCall( kOtherCall, FF_SET_TIME, MixedPointer( &time ), instance.id, "FF_SET_TIME", detail );
	GuardedCall( kOtherCall, FF_SET_BEATINFO, MixedPointer( &beat ), instance.id, "FF_SET_BEATINFO", detail );

	FFGLTextureStruct texture = { static_cast< uint32_t >( layout.width ), static_cast< uint32_t >( layout.height ),
		                          static_cast< uint32_t >( textureWidth ), static_cast< uint32_t >( textureHeight ),
		                          inputTexture };
	FFGLTextureStruct* textures[ 1 ] = { &texture };
	ProcessOpenGLStruct record       = { 1, textures, targetFramebuffer };
	double milliseconds              = 0.0;
	output.answer = GuardedCall( kProcessCall, FF_PROCESS_OPENGL, MixedPointer( &record ), instance.id, "FF_PROCESS_OPENGL",
	                             detail, &milliseconds )
	                    .UIntValue;
	if( instance.frames == 0 )
		EmitTime( "first_frame", milliseconds );
	else if( !instance.changed && static_cast< long long >( layout.width ) * layout.height <= kSteadyFramePixels )
		EmitTime( "steady_frame", milliseconds );
	++instance.frames;
	instance.changed    = false;
	instance.lastWidth  = layout.width;
	instance.lastHeight = layout.height;
	ReadOutput( layout, output );
}
}
