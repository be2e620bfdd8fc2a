// A small FFGL 2.x effect for the host's tests: it copies its input to the host's framebuffer, or
// fills it with a known premultiplied colour, and logs what the host did. It checks the state a
// host must hand it with each frame. HOST_TEST_PLUGIN_FAIL names a step to fail: "initialise",
// "instantiate" or "process"; HOST_TEST_PLUGIN_API=1 makes it claim FFGL 1.x.
#include "host/ffgl_host_types.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined( _WIN32 )
#define TEST_PLUGIN_EXPORT extern "C" __declspec( dllexport )
#else
#define TEST_PLUGIN_EXPORT extern "C" __attribute__( ( visibility( "default" ) ) )
#endif

using namespace ffglhost;

namespace
{
struct Parameter
{
	const char* name;
	uint32_t type;
	float defaultValue;
};

const Parameter kParameters[] = {
	{ "Gain", FF_TYPE_STANDARD, 0.75f },
	{ "Clear", FF_TYPE_BOOLEAN, 0.f },
	{ "Label", FF_TYPE_TEXT, 0.f },
};
const uint32_t kParameterCount = 3;

struct Instance
{
	float gain  = 0.75f;
	float clear = 0.f;
	std::string label = "none";
	uint32_t width = 0, height = 0;
	int frames      = 0;
	GLuint readFramebuffer = 0;
	char display[ 16 ] = {};
};

PluginInfoStruct info               = { 2, 1, { 'H', 'T', 'S', 'T' }, "Host Test", FF_EFFECT };
PluginExtendedInfoStruct extended   = { 1, 0, "Pass-through for host tests", "ffglhost tests", 0, nullptr };
LogCallbackFunction logCallback     = nullptr;
bool glewReady                      = false;

void Log( const std::string& line )
{
	if( logCallback )
		logCallback( line.c_str() );
}

bool Failing( const char* step )
{
	const char* fail = std::getenv( "HOST_TEST_PLUGIN_FAIL" );
	return fail && std::strcmp( fail, step ) == 0;
}

FFMixed Number( uint32_t value )
{
	return MixedNumber( value );
}

FFMixed FloatBits( float value )
{
	uint32_t bits;
	std::memcpy( &bits, &value, sizeof( bits ) );
	return MixedNumber( bits );
}

FFMixed Instantiate( const FFGLViewportStruct* viewport )
{
	if( !viewport || Failing( "instantiate" ) )
		return MixedNumber( FF_FAIL );
	if( !glewReady )
		glewReady = glewInit() == GLEW_OK;
	if( !glewReady )
		return MixedNumber( FF_FAIL );
	Instance* instance = new Instance;
	instance->width    = viewport->width;
	instance->height   = viewport->height;
	glGenFramebuffers( 1, &instance->readFramebuffer );
	Log( "instantiated " + std::to_string( viewport->width ) + "x" + std::to_string( viewport->height ) );
	return MixedPointer( instance );
}

// The host binds HostFBO for drawing and sets a viewport of the output's size before each frame.
bool HostStateRight( const ProcessOpenGLStruct& record, const FFGLTextureStruct& input )
{
	GLint drawFramebuffer = 0;
	GLint viewport[ 4 ]   = {};
	glGetIntegerv( GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer );
	glGetIntegerv( GL_VIEWPORT, viewport );
	if( static_cast< GLuint >( drawFramebuffer ) != record.HostFBO )
	{
		Log( "HostFBO is not bound for drawing" );
		return false;
	}
	if( viewport[ 0 ] != 0 || viewport[ 1 ] != 0 || viewport[ 2 ] != static_cast< GLint >( input.Width ) ||
	    viewport[ 3 ] != static_cast< GLint >( input.Height ) )
	{
		Log( "the viewport is not the frame's" );
		return false;
	}
	return true;
}

FFMixed Process( Instance* instance, const ProcessOpenGLStruct* record )
{
	if( !record || record->numInputTextures != 1 || !record->inputTextures || !record->inputTextures[ 0 ] )
		return Number( FF_FAIL );
	const FFGLTextureStruct& input = *record->inputTextures[ 0 ];
	++instance->frames;
	if( !HostStateRight( *record, input ) )
		return Number( FF_FAIL );
	if( Failing( "process" ) && instance->frames == 3 )
		return Number( FF_FAIL );
	if( instance->clear > 0.5f )
	{
		// Half-transparent blue, premultiplied.
		glClearColor( 0.f, 0.f, 0.5f, 0.5f );
		glClear( GL_COLOR_BUFFER_BIT );
		return Number( FF_SUCCESS );
	}
	glBindFramebuffer( GL_READ_FRAMEBUFFER, instance->readFramebuffer );
	glFramebufferTexture2D( GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, input.Handle, 0 );
	glBlitFramebuffer( 0, 0, static_cast< GLint >( input.Width ), static_cast< GLint >( input.Height ), 0, 0,
	                   static_cast< GLint >( input.Width ), static_cast< GLint >( input.Height ), GL_COLOR_BUFFER_BIT,
	                   GL_NEAREST );
	glFramebufferTexture2D( GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0 );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, record->HostFBO );
	return Number( FF_SUCCESS );
}

FFMixed SetParameter( Instance* instance, const SetParameterStruct* record )
{
	if( !record )
		return Number( FF_FAIL );
	float value;
	std::memcpy( &value, &record->NewParameterValue.UIntValue, sizeof( value ) );
	char text[ 64 ];
	switch( record->ParameterNumber )
	{
	case 0:
		instance->gain = value;
		break;
	case 1:
		instance->clear = value;
		break;
	case 2:
	{
		const char* label = static_cast< const char* >( record->NewParameterValue.PointerValue );
		instance->label   = label ? label : "";
		Log( "set Label=" + instance->label );
		return Number( FF_SUCCESS );
	}
	default:
		return Number( FF_FAIL );
	}
	// Values above 1 are refused, so the host's handling of a refusal can be tested.
	if( value > 1.f )
		return Number( FF_FAIL );
	std::snprintf( text, sizeof( text ), "set %s=%g", kParameters[ record->ParameterNumber ].name, static_cast< double >( value ) );
	Log( text );
	return Number( FF_SUCCESS );
}
}

TEST_PLUGIN_EXPORT void SetLogCallback( LogCallbackFunction callback )
{
	logCallback = callback;
}

TEST_PLUGIN_EXPORT FFMixed plugMain( uint32_t code, FFMixed input, void* instanceID )
{
	Instance* instance = static_cast< Instance* >( instanceID );
	switch( code )
	{
	case FF_GET_INFO:
	{
		const char* api = std::getenv( "HOST_TEST_PLUGIN_API" );
		info.APIMajorVersion = api && std::strcmp( api, "1" ) == 0 ? 1 : 2;
		return MixedPointer( &info );
	}
	case FF_GET_EXTENDED_INFO:
		return MixedPointer( &extended );
	case FF_INITIALISE_V2:
		return Number( Failing( "initialise" ) ? FF_FAIL : FF_SUCCESS );
	case FF_DEINITIALISE:
		Log( "deinitialised" );
		return Number( FF_SUCCESS );
	case FF_GET_NUM_PARAMETERS:
		return Number( kParameterCount );
	case FF_GET_PARAMETER_NAME:
		return input.UIntValue < kParameterCount ? MixedPointer( kParameters[ input.UIntValue ].name ) : MixedPointer( nullptr );
	case FF_GET_PARAMETER_TYPE:
		return Number( input.UIntValue < kParameterCount ? kParameters[ input.UIntValue ].type : FF_FAIL );
	case FF_GET_PARAMETER_DEFAULT:
		if( input.UIntValue >= kParameterCount )
			return Number( FF_FAIL );
		if( kParameters[ input.UIntValue ].type == FF_TYPE_TEXT )
			return MixedPointer( "none" );
		return FloatBits( kParameters[ input.UIntValue ].defaultValue );
	case FF_GET_RANGE:
	{
		GetRangeStruct* range = static_cast< GetRangeStruct* >( input.PointerValue );
		if( !range )
			return Number( FF_FAIL );
		range->min = 0.f;
		range->max = 1.f;
		return Number( FF_SUCCESS );
	}
	case FF_GET_PLUGIN_CAPS:
		return Number( input.UIntValue == FF_CAP_MINIMUM_INPUT_FRAMES || input.UIntValue == FF_CAP_MAXIMUM_INPUT_FRAMES ? 1 : 0 );
	case FF_INSTANTIATE_GL:
		return Instantiate( static_cast< const FFGLViewportStruct* >( input.PointerValue ) );
	default:
		break;
	}
	if( !instance )
		return Number( FF_FAIL );
	switch( code )
	{
	case FF_SET_HOSTINFO:
	{
		const SetHostinfoStruct* host = static_cast< const SetHostinfoStruct* >( input.PointerValue );
		Log( std::string( "host " ) + ( host && host->name ? host->name : "?" ) );
		return Number( FF_SUCCESS );
	}
	case FF_SET_PARAMETER:
		return SetParameter( instance, static_cast< const SetParameterStruct* >( input.PointerValue ) );
	case FF_GET_PARAMETER_DISPLAY:
		if( input.UIntValue != 0 )
			return MixedPointer( nullptr );
		std::snprintf( instance->display, sizeof( instance->display ), "gain %.2f", static_cast< double >( instance->gain ) );
		return MixedPointer( instance->display );
	case FF_RESIZE:
	{
		const FFGLViewportStruct* viewport = static_cast< const FFGLViewportStruct* >( input.PointerValue );
		if( viewport )
			Log( "resized " + std::to_string( viewport->width ) + "x" + std::to_string( viewport->height ) );
		return Number( FF_SUCCESS );
	}
	case FF_PROCESS_OPENGL:
		return Process( instance, static_cast< const ProcessOpenGLStruct* >( input.PointerValue ) );
	case FF_DEINSTANTIATE_GL:
		glDeleteFramebuffers( 1, &instance->readFramebuffer );
		Log( "deinstantiated after " + std::to_string( instance->frames ) + " frames" );
		delete instance;
		return Number( FF_SUCCESS );
	default:
		return Number( FF_FAIL );
	}
}
