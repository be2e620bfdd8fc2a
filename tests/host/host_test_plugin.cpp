// A small FFGL 2.x effect for the host's tests: it copies its input into the host's viewport, or
// fills the viewport with a known premultiplied colour, and logs what the host did. It checks the state
// a host must hand it with each frame. HOST_TEST_PLUGIN_FAIL names a step to fail: "initialise",
// "instantiate" or "process"; HOST_TEST_PLUGIN_API=1 makes it claim FFGL 1.x. HOST_TEST_PLUGIN_FAULT
// names one fault of those that ffglhost check exists to find (see the callers of Faulty); among them
// "glstate:ITEM" leaves exactly one item of the host's GL state changed after each frame, and
// "leak:KIND" one GL object of that kind behind each instance.
#include "host/core/ffgl_host_types.h"
#include "tests/host/test_plugin_grain.h"
#include "tests/host/test_plugin_state.h"

#include <GL/glew.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

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
	float gain        = 0.75f;
	float clear       = 0.f;
	std::string label = "none";
	uint32_t width = 0, height = 0;
	int frames             = 0;
	GLuint readFramebuffer = 0;
	testplugin::StateObjects state; // "glstate:..."
	testplugin::Grain grain;        // HOST_TEST_PLUGIN_GRAIN
	bool broken        = false;     // "nan_breaks": a NaN was set
	char display[ 16 ] = {};
};

PluginInfoStruct info             = { 2, 1, { 'H', 'T', 'S', 'T' }, "Host Test", FF_EFFECT };
PluginExtendedInfoStruct extended = { 1, 0, "Pass-through for host tests", "ffglhost tests", 0, nullptr };
LogCallbackFunction logCallback   = nullptr;
bool glewReady                    = false;

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

bool Faulty( const char* fault )
{
	const char* named = std::getenv( "HOST_TEST_PLUGIN_FAULT" );
	return named && std::strcmp( named, fault ) == 0;
}

// "PREFIX...": what follows the prefix.
const char* FaultArgument( const char* prefix )
{
	const char* named   = std::getenv( "HOST_TEST_PLUGIN_FAULT" );
	const size_t length = std::strlen( prefix );
	return named && std::strncmp( named, prefix, length ) == 0 ? named + length : nullptr;
}

// What a careless plug-in shares between its instances.
int liveInstances        = 0;       // "one_instance"
int processCalls         = 0;       // "global_counter"
GLuint sharedFramebuffer = 0;       // "shared_fbo"
int* initialised         = nullptr; // "deinit_frees"

// "state:CODE": the call with that code leaves GL state behind and raises a GL error.
void LeaveStateAfter( uint32_t code )
{
	const char* named = FaultArgument( "state:" );
	if( !named || static_cast< uint32_t >( std::atoi( named ) ) != code )
		return;
	glActiveTexture( GL_TEXTURE1 );
	glPixelStorei( GL_UNPACK_ALIGNMENT, 1 );
	glEnable( GL_BLEND );
	glEnable( GL_TEXTURE_2D ); // not a core capability: GL_INVALID_ENUM
}

// "leak:KIND": one object of the kind, named as ffglhost's census names it, made and never deleted;
// each bound once where GL makes an object only then, and the host's binding put back.
void LeakObject( const char* kind )
{
	const std::string name = kind;
	GLuint object          = 0;
	GLint framebuffer      = 0;
	if( name == "texture" )
	{
		glGenTextures( 1, &object );
		glBindTexture( GL_TEXTURE_2D, object );
		glBindTexture( GL_TEXTURE_2D, 0 );
	}
	else if( name == "buffer" )
	{
		glGenBuffers( 1, &object );
		glBindBuffer( GL_ARRAY_BUFFER, object );
		glBindBuffer( GL_ARRAY_BUFFER, 0 );
	}
	else if( name == "framebuffer" )
	{
		glGetIntegerv( GL_FRAMEBUFFER_BINDING, &framebuffer );
		glGenFramebuffers( 1, &object );
		glBindFramebuffer( GL_FRAMEBUFFER, object );
		glBindFramebuffer( GL_FRAMEBUFFER, static_cast< GLuint >( framebuffer ) );
	}
	else if( name == "renderbuffer" )
	{
		glGenRenderbuffers( 1, &object );
		glBindRenderbuffer( GL_RENDERBUFFER, object );
		glBindRenderbuffer( GL_RENDERBUFFER, 0 );
	}
	else if( name == "program" )
		glCreateProgram();
	else if( name == "shader" )
		glCreateShader( GL_FRAGMENT_SHADER );
	else if( name == "vertex array" )
	{
		glGenVertexArrays( 1, &object );
		glBindVertexArray( object );
		glBindVertexArray( 0 );
	}
}

FFMixed FloatBits( float value )
{
	uint32_t bits;
	std::memcpy( &bits, &value, sizeof( bits ) );
	return MixedNumber( bits );
}

FFMixed Instantiate( const FFGLViewportStruct* viewport )
{
	if( !viewport || Failing( "instantiate" ) || ( Faulty( "one_instance" ) && liveInstances > 0 ) )
		return MixedNumber( FF_FAIL );
	if( !glewReady )
		glewReady = glewInit() == GLEW_OK;
	if( !glewReady )
		return MixedNumber( FF_FAIL );
	Instance* instance = new Instance;
	instance->width    = viewport->width;
	instance->height   = viewport->height;
	if( Faulty( "shared_fbo" ) )
	{
		if( !sharedFramebuffer )
			glGenFramebuffers( 1, &sharedFramebuffer );
		instance->readFramebuffer = sharedFramebuffer;
	}
	else
		glGenFramebuffers( 1, &instance->readFramebuffer );
	if( const char* kind = FaultArgument( "leak:" ) )
		LeakObject( kind );
	++liveInstances;
	Log( "instantiated " + std::to_string( viewport->width ) + "x" + std::to_string( viewport->height ) );
	return MixedPointer( instance );
}

// The host binds HostFBO for drawing and sets a viewport of the picture's size before each frame.
bool HostStateRight( const ProcessOpenGLStruct& record, const FFGLTextureStruct& input, const GLint* viewport )
{
	GLint drawFramebuffer = 0;
	glGetIntegerv( GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer );
	if( static_cast< GLuint >( drawFramebuffer ) != record.HostFBO )
	{
		Log( "HostFBO is not bound for drawing" );
		return false;
	}
	if( viewport[ 2 ] != static_cast< GLint >( input.Width ) || viewport[ 3 ] != static_cast< GLint >( input.Height ) )
	{
		Log( "the viewport is not the frame's size" );
		return false;
	}
	return true;
}

// HOST_TEST_PLUGIN_GRAIN: film grain over what each frame drew, whatever the fault.
void GrainOver( Instance& instance, const GLint* rectangle )
{
	if( std::getenv( "HOST_TEST_PLUGIN_GRAIN" ) )
		instance.grain.Draw( rectangle[ 0 ], rectangle[ 1 ], rectangle[ 2 ], rectangle[ 3 ] );
}

// Fills the viewport with a colour, the host's scissor state put back afterwards.
void FillViewport( const GLint* viewport, float r, float g, float b, float a )
{
	GLint scissor[ 4 ];
	glGetIntegerv( GL_SCISSOR_BOX, scissor );
	glEnable( GL_SCISSOR_TEST );
	glScissor( viewport[ 0 ], viewport[ 1 ], viewport[ 2 ], viewport[ 3 ] );
	glClearColor( r, g, b, a );
	glClear( GL_COLOR_BUFFER_BIT );
	glDisable( GL_SCISSOR_TEST );
	glScissor( scissor[ 0 ], scissor[ 1 ], scissor[ 2 ], scissor[ 3 ] );
}

FFMixed Process( Instance* instance, const ProcessOpenGLStruct* record )
{
	if( !record && !Faulty( "no_null_checks" ) )
		return MixedNumber( Faulty( "null_frame_drawn" ) ? FF_SUCCESS : FF_FAIL );
	if( record->numInputTextures == 0 && Faulty( "accept_no_input" ) )
		return MixedNumber( FF_SUCCESS );
	if( record->numInputTextures != 1 || !record->inputTextures || !record->inputTextures[ 0 ] )
		return MixedNumber( FF_FAIL );
	const FFGLTextureStruct& input = *record->inputTextures[ 0 ];
	++instance->frames;
	GLint viewport[ 4 ] = {};
	glGetIntegerv( GL_VIEWPORT, viewport );
	if( !HostStateRight( *record, input, viewport ) )
		return MixedNumber( FF_FAIL );
	if( Failing( "process" ) && instance->frames == 3 )
		return MixedNumber( FF_FAIL );
	if( ( ( Faulty( "nan_breaks" ) || Faulty( "null_breaks" ) ) && instance->broken ) ||
	    ( Faulty( "tiny_fails" ) && ( input.Width < 4 || input.Height < 4 ) ) )
		return MixedNumber( FF_FAIL );
	if( Faulty( "deinit_frees" ) )
		instance->frames += *initialised - 1;
	if( Faulty( "slow" ) )
		std::this_thread::sleep_for( std::chrono::milliseconds( 150 ) );
	if( Faulty( "hang" ) )
		std::this_thread::sleep_for( std::chrono::hours( 1 ) );
	const bool straight = Faulty( "straight" );
	if( straight || instance->clear > 0.5f || ( Faulty( "global_counter" ) && ++processCalls % 3 == 0 ) )
	{
		// Half-transparent blue, premultiplied; "straight": red above alpha.
		FillViewport( viewport, straight ? 0.9f : 0.f, straight ? 0.2f : 0.f, straight ? 0.2f : 0.5f, 0.5f );
		GrainOver( *instance, viewport );
		return MixedNumber( FF_SUCCESS );
	}
	// The picture, not the whole texture, into the host's viewport.
	GLint source[ 2 ] = { static_cast< GLint >( input.Width ), static_cast< GLint >( input.Height ) };
	if( Faulty( "hardware_width" ) )
	{
		source[ 0 ] = static_cast< GLint >( input.HardwareWidth );
		source[ 1 ] = static_cast< GLint >( input.HardwareHeight );
	}
	if( Faulty( "outside_viewport" ) )
		viewport[ 0 ] = viewport[ 1 ] = 0;
	if( Faulty( "overdraw" ) )
	{
		// A few pixels beyond the viewport's right and top edges, where hosts draw other layers.
		viewport[ 2 ] += 8;
		viewport[ 3 ] += 8;
	}
	if( Faulty( "stale_size" ) )
	{
		viewport[ 2 ] = static_cast< GLint >( instance->width );
		viewport[ 3 ] = static_cast< GLint >( instance->height );
	}
	glBindFramebuffer( GL_READ_FRAMEBUFFER, instance->readFramebuffer );
	glFramebufferTexture2D( GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, input.Handle, 0 );
	if( Faulty( "fbo_zero" ) )
		glBindFramebuffer( GL_DRAW_FRAMEBUFFER, 0 );
	glBlitFramebuffer( 0, 0, source[ 0 ], source[ 1 ], viewport[ 0 ], viewport[ 1 ], viewport[ 0 ] + viewport[ 2 ],
	                   viewport[ 1 ] + viewport[ 3 ], GL_COLOR_BUFFER_BIT, GL_NEAREST );
	GrainOver( *instance, viewport );
	glFramebufferTexture2D( GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0 );
	glBindFramebuffer( GL_FRAMEBUFFER, record->HostFBO );
	if( const char* item = FaultArgument( "glstate:" ) )
		testplugin::LeaveStateChanged( item, { input.Handle, instance->readFramebuffer }, instance->state );
	if( Faulty( "gl_error" ) )
		glEnable( GL_TEXTURE_2D ); // not a core capability: GL_INVALID_ENUM, and nothing changed
	return MixedNumber( FF_SUCCESS );
}

FFMixed SetParameter( Instance* instance, const SetParameterStruct* record )
{
	if( !record )
		return MixedNumber( FF_FAIL );
	float value;
	std::memcpy( &value, &record->NewParameterValue.UIntValue, sizeof( value ) );
	char text[ 64 ];
	// The text parameter's value is a pointer, not a float.
	if( record->ParameterNumber < 2 && Faulty( "edge_crash" ) && value < 0.f )
		*static_cast< volatile int* >( nullptr ) = 1;
	if( record->ParameterNumber < 2 && std::isnan( value ) )
		instance->broken = true;
	switch( record->ParameterNumber )
	{
	case 0:
		instance->gain = value;
		break;
	case 1:
		if( !( Faulty( "latch_clear" ) && instance->clear > 0.5f ) )
			instance->clear = value;
		break;
	case 2:
	{
		const char* label = static_cast< const char* >( record->NewParameterValue.PointerValue );
		instance->label   = label ? label : "";
		Log( "set Label=" + instance->label );
		return MixedNumber( FF_SUCCESS );
	}
	default:
		return MixedNumber( Faulty( "lax" ) ? FF_SUCCESS : FF_FAIL );
	}
	// Values above 1 are refused, so the host's handling of a refusal can be tested.
	if( value > 1.f )
		return MixedNumber( FF_FAIL );
	std::snprintf( text, sizeof( text ), "set %s=%g", kParameters[ record->ParameterNumber ].name,
	               static_cast< double >( value ) );
	Log( text );
	return MixedNumber( FF_SUCCESS );
}

FFMixed InstanceCall( Instance* instance, uint32_t code, FFMixed input )
{
	switch( code )
	{
	case FF_SET_BEATINFO:
		if( !Faulty( "null_breaks" ) )
			return MixedNumber( FF_FAIL );
		// Accepted without its record, which leaves the instance broken.
		instance->broken = instance->broken || !input.PointerValue;
		return MixedNumber( FF_SUCCESS );
	case FF_SET_HOSTINFO:
	{
		const SetHostinfoStruct* host = static_cast< const SetHostinfoStruct* >( input.PointerValue );
		Log( std::string( "host " ) + ( host && host->name ? host->name : "?" ) );
		return MixedNumber( FF_SUCCESS );
	}
	case FF_SET_PARAMETER:
		return SetParameter( instance, static_cast< const SetParameterStruct* >( input.PointerValue ) );
	case FF_GET_PARAMETER_DISPLAY:
		if( input.UIntValue != 0 )
			return MixedPointer( nullptr );
		std::snprintf( instance->display, sizeof( instance->display ), "gain %.2f",
		               static_cast< double >( instance->gain ) );
		return MixedPointer( instance->display );
	case FF_RESIZE:
	{
		const FFGLViewportStruct* viewport = static_cast< const FFGLViewportStruct* >( input.PointerValue );
		if( viewport )
			Log( "resized " + std::to_string( viewport->width ) + "x" + std::to_string( viewport->height ) );
		return MixedNumber( FF_SUCCESS );
	}
	case FF_GET_PARAMETER:
		if( input.UIntValue == 2 )
			return MixedPointer( instance->label.c_str() );
		if( input.UIntValue > 1 )
			return MixedNumber( Faulty( "lax" ) ? FF_SUCCESS : FF_FAIL );
		// "param_readback": the default, whatever was set. "gain_rounded": Gain to a tenth, which changes
		// nothing drawn (the picture does not depend on it).
		if( Faulty( "gain_rounded" ) && input.UIntValue == 0 )
			return FloatBits( std::round( instance->gain * 10.f ) / 10.f );
		return FloatBits( Faulty( "param_readback" ) ? kParameters[ input.UIntValue ].defaultValue
		                  : input.UIntValue == 0     ? instance->gain
		                                             : instance->clear );
	case FF_PROCESS_OPENGL:
		return Process( instance, static_cast< const ProcessOpenGLStruct* >( input.PointerValue ) );
	case FF_DEINSTANTIATE_GL:
		if( instance->readFramebuffer == sharedFramebuffer )
			sharedFramebuffer = 0; // "shared_fbo": deleted under the other instances
		glDeleteFramebuffers( 1, &instance->readFramebuffer );
		instance->state.Release();
		instance->grain.Release();
		Log( "deinstantiated after " + std::to_string( instance->frames ) + " frames" );
		delete instance;
		--liveInstances;
		return MixedNumber( FF_SUCCESS );
	default:
		return MixedNumber( Faulty( "lax" ) ? FF_SUCCESS : FF_FAIL );
	}
}

// The parameter number a call names: its input, or the first field of its record.
uint32_t NumberOf( uint32_t code, FFMixed input )
{
	const bool record = code == FF_SET_PARAMETER || code == FF_GET_PARAMETER_ELEMENT_NAME ||
	                    code == FF_GET_PARAMETER_ELEMENT_VALUE || code == FF_SET_PARAMETER_ELEMENT_VALUE;
	if( !record )
		return input.UIntValue;
	return input.PointerValue ? *static_cast< const uint32_t* >( input.PointerValue ) : 0;
}

// "index:CODE": that call answers as if every number past the end existed. "far_index": a table of
// 64 slots, of which numbers from 8 past the end on are taken as parameters that exist.
bool AnswersPastTheEnd( uint32_t code, FFMixed input, FFMixed* answer )
{
	const uint32_t number = NumberOf( code, input );
	const char* named     = FaultArgument( "index:" );
	const bool any        = named && static_cast< uint32_t >( std::atoi( named ) ) == code && number >= kParameterCount;
	const bool far        = Faulty( "far_index" ) && ( code == FF_SET_PARAMETER || code == FF_GET_PARAMETER ) &&
	                 number >= kParameterCount + 8 && number < 64;
	if( !any && !far )
		return false;
	const bool pointer =
	    code == FF_GET_PARAMETER_NAME || code == FF_GET_PARAMETER_DISPLAY || code == FF_GET_PARAMETER_ELEMENT_NAME;
	*answer = pointer ? MixedPointer( "" ) : code == FF_GET_PARAMETER ? FloatBits( 0.5f ) : MixedNumber( FF_SUCCESS );
	return true;
}
}

TEST_PLUGIN_EXPORT void SetLogCallback( LogCallbackFunction callback )
{
	logCallback = callback;
}

TEST_PLUGIN_EXPORT FFMixed plugMain( uint32_t code, FFMixed input, void* instanceID )
{
	Instance* instance = static_cast< Instance* >( instanceID );
	FFMixed pastTheEnd;
	if( AnswersPastTheEnd( code, input, &pastTheEnd ) )
		return pastTheEnd;
	switch( code )
	{
	case FF_GET_INFO:
	{
		const char* api      = std::getenv( "HOST_TEST_PLUGIN_API" );
		info.APIMajorVersion = api && std::strcmp( api, "1" ) == 0 ? 1 : 2;
		// "latin1_name": one byte of Latin-1 (an e acute), as a plug-in built with a Western code page has.
		std::strncpy( info.PluginName, Faulty( "latin1_name" ) ? "Host T\xe9st" : "Host Test",
		              sizeof( info.PluginName ) );
		return MixedPointer( &info );
	}
	case FF_GET_EXTENDED_INFO:
		return MixedPointer( &extended );
	case FF_INITIALISE_V2:
		if( Faulty( "scan_leak" ) )
		{
			// A handle and a mebibyte of memory taken at every initialisation, never given back.
			std::tmpfile();
			void* memory = std::malloc( 1 << 20 );
			if( memory )
				std::memset( memory, 1, 1 << 20 );
		}
		if( !initialised )
			initialised = new int( 1 );
		if( Faulty( "thread_left" ) )
		{
			// A worker started at every initialisation and never stopped. It is asleep before the call
			// returns: an unload must not take its code away before it has even started (a crash, not a leak).
			std::atomic< bool > started{ false };
			std::thread( [ &started ] {
				started = true;
				for( ;; )
					std::this_thread::sleep_for( std::chrono::hours( 1 ) );
			} ).detach();
			while( !started )
				std::this_thread::yield();
			std::this_thread::sleep_for( std::chrono::milliseconds( 20 ) );
		}
		return MixedNumber( Failing( "initialise" ) ? FF_FAIL : FF_SUCCESS );
	case FF_DEINITIALISE:
		Log( "deinitialised" );
		delete initialised; // "deinit_frees": the instances still read it
		initialised = nullptr;
		return MixedNumber( FF_SUCCESS );
	case FF_GET_NUM_PARAMETERS:
		return MixedNumber( kParameterCount );
	case FF_GET_PARAMETER_NAME:
		if( Faulty( "info" ) && input.UIntValue == 1 )
			return MixedPointer( nullptr );
		if( Faulty( "lax" ) && input.UIntValue >= kParameterCount )
			return MixedPointer( "" );
		return input.UIntValue < kParameterCount ? MixedPointer( kParameters[ input.UIntValue ].name )
		                                         : MixedPointer( nullptr );
	case FF_GET_PARAMETER_TYPE:
		return MixedNumber( input.UIntValue < kParameterCount ? kParameters[ input.UIntValue ].type : FF_FAIL );
	case FF_GET_PARAMETER_DEFAULT:
		if( input.UIntValue >= kParameterCount )
			return MixedNumber( FF_FAIL );
		if( kParameters[ input.UIntValue ].type == FF_TYPE_TEXT )
			return MixedPointer( "none" );
		return FloatBits( kParameters[ input.UIntValue ].defaultValue );
	case FF_GET_RANGE:
	{
		GetRangeStruct* range = static_cast< GetRangeStruct* >( input.PointerValue );
		if( !range || range->ParameterNumber >= kParameterCount )
			return MixedNumber( FF_FAIL );
		range->min = 0.f;
		range->max = 1.f;
		return MixedNumber( FF_SUCCESS );
	}
	case FF_GET_PLUGIN_CAPS:
		return MixedNumber(
		    input.UIntValue == FF_CAP_MINIMUM_INPUT_FRAMES || input.UIntValue == FF_CAP_MAXIMUM_INPUT_FRAMES ? 1 : 0 );
	case FF_INSTANTIATE_GL:
	{
		const FFMixed made = Instantiate( static_cast< const FFGLViewportStruct* >( input.PointerValue ) );
		LeaveStateAfter( code );
		return made;
	}
	default:
		break;
	}
	if( !instance )
		return MixedNumber( Faulty( "lax" ) ? FF_SUCCESS : FF_FAIL );
	const FFMixed answer = InstanceCall( instance, code, input );
	LeaveStateAfter( code );
	return answer;
}
