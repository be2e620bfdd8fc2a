// A small, correct FFGL 2.x effect, written for the host's tests apart from host_test_plugin: one input,
// one parameter ("Level", which scales the premultiplied picture), drawn with a shader into the host's
// viewport, the GL state handed back at the defaults and every object deleted. It answers every call
// it cannot carry out with FF_FAIL, except two notices it never reads (beat and host information), which
// it accepts as many plug-ins do. ffglhost check must pass it at any strictness. CORRECT_PLUGIN_GRAIN=1
// adds film grain (test_plugin_grain.h): still correct, but it never draws twice alike.
#include "host/core/ffgl_host_types.h"
#include "tests/host/test_plugin_grain.h"
#include "tests/host/test_plugin_program.h"

#include <GL/glew.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined( _WIN32 )
#define CORRECT_PLUGIN_EXPORT extern "C" __declspec( dllexport )
#else
#define CORRECT_PLUGIN_EXPORT extern "C" __attribute__( ( visibility( "default" ) ) )
#endif

using namespace ffglhost;

namespace
{
const uint32_t kParameters = 1; // parameter 0: "Level"
const uint32_t kInputs     = 1;
const float kDefaultLevel  = 1.f;

PluginInfoStruct info             = { 2, 1, { 'C', 'O', 'R', 'R' }, "Correct Fade", FF_EFFECT };
PluginExtendedInfoStruct extended = { 1, 0, "A fade for validator tests", "ffglhost tests", 0, nullptr };

const char* const kFragmentShader = R"(#version 410 core
uniform sampler2D picture;
uniform ivec4 frame; // viewport origin, picture size
uniform float level;
out vec4 colour;
void main()
{
	// Texel by texel, never beyond the picture into the texture's padding.
	ivec2 at = clamp( ivec2( gl_FragCoord.xy ) - frame.xy, ivec2( 0 ), frame.zw - 1 );
	colour   = texelFetch( picture, at, 0 ) * level;
}
)";

struct Instance
{
	float level    = kDefaultLevel;
	GLuint program = 0, vertexArray = 0, sampler = 0;
	GLint frameAt = -1, levelAt = -1, pictureAt = -1;
	testplugin::Grain grain; // CORRECT_PLUGIN_GRAIN
	char display[ 16 ] = {};
};

FFMixed FloatBits( float value )
{
	uint32_t bits;
	std::memcpy( &bits, &value, sizeof( bits ) );
	return MixedNumber( bits );
}

// Level's one element, as either element record names it.
template< typename Record >
bool LevelElement( const void* pointer )
{
	const Record* record = static_cast< const Record* >( pointer );
	return record && record->ParameterNumber < kParameters && record->ElementNumber == 0;
}

void Deinstantiate( Instance* instance )
{
	glDeleteProgram( instance->program );
	glDeleteVertexArrays( 1, &instance->vertexArray );
	glDeleteSamplers( 1, &instance->sampler );
	instance->grain.Release();
	delete instance;
}

FFMixed Instantiate( const FFGLViewportStruct* viewport )
{
	static bool glewReady = false;
	if( !glewReady )
		glewReady = glewInit() == GLEW_OK;
	if( !viewport || !glewReady )
		return MixedNumber( FF_FAIL );
	Instance* instance = new Instance;
	instance->program  = testplugin::LinkedProgram( testplugin::kViewportTriangle, kFragmentShader );
	GLint linked       = GL_FALSE;
	glGetProgramiv( instance->program, GL_LINK_STATUS, &linked );
	instance->frameAt   = glGetUniformLocation( instance->program, "frame" );
	instance->levelAt   = glGetUniformLocation( instance->program, "level" );
	instance->pictureAt = glGetUniformLocation( instance->program, "picture" );
	glGenVertexArrays( 1, &instance->vertexArray );
	// A sampler of our own: the host's texture keeps its parameters, and texelFetch needs a complete one.
	glGenSamplers( 1, &instance->sampler );
	glSamplerParameteri( instance->sampler, GL_TEXTURE_MIN_FILTER, GL_NEAREST );
	glSamplerParameteri( instance->sampler, GL_TEXTURE_MAG_FILTER, GL_NEAREST );
	if( linked != GL_TRUE )
	{
		Deinstantiate( instance );
		return MixedNumber( FF_FAIL );
	}
	return MixedPointer( instance );
}

FFMixed Process( Instance* instance, const ProcessOpenGLStruct* record )
{
	if( !record || record->numInputTextures < 1 || !record->inputTextures || !record->inputTextures[ 0 ] )
		return MixedNumber( FF_FAIL );
	const FFGLTextureStruct& input = *record->inputTextures[ 0 ];
	if( input.Width == 0 || input.Height == 0 || input.Width > input.HardwareWidth ||
	    input.Height > input.HardwareHeight )
		return MixedNumber( FF_FAIL );
	GLint viewport[ 4 ] = {};
	glGetIntegerv( GL_VIEWPORT, viewport );
	glBindFramebuffer( GL_FRAMEBUFFER, record->HostFBO );
	glUseProgram( instance->program );
	glUniform4i( instance->frameAt, viewport[ 0 ], viewport[ 1 ], static_cast< GLint >( input.Width ),
	             static_cast< GLint >( input.Height ) );
	glUniform1f( instance->levelAt, instance->level );
	glUniform1i( instance->pictureAt, 0 );
	glBindTexture( GL_TEXTURE_2D, input.Handle );
	glBindSampler( 0, instance->sampler );
	glBindVertexArray( instance->vertexArray );
	glDrawArrays( GL_TRIANGLES, 0, 3 );
	// Back to the defaults the host handed over.
	glBindVertexArray( 0 );
	glBindSampler( 0, 0 );
	glBindTexture( GL_TEXTURE_2D, 0 );
	glUseProgram( 0 );
	if( std::getenv( "CORRECT_PLUGIN_GRAIN" ) )
		instance->grain.Draw( viewport[ 0 ], viewport[ 1 ], viewport[ 2 ], viewport[ 3 ] );
	return MixedNumber( FF_SUCCESS );
}

FFMixed SetParameter( Instance* instance, const SetParameterStruct* record )
{
	if( !record || record->ParameterNumber >= kParameters )
		return MixedNumber( FF_FAIL );
	float value;
	std::memcpy( &value, &record->NewParameterValue.UIntValue, sizeof( value ) );
	if( std::isnan( value ) )
		return MixedNumber( FF_FAIL ); // the last good value stays
	instance->level = value < 0.f ? 0.f : value > 1.f ? 1.f : value;
	return MixedNumber( FF_SUCCESS );
}

// Codes that need an instance; the instance is there.
FFMixed InstanceCall( Instance* instance, uint32_t code, FFMixed input )
{
	switch( code )
	{
	case FF_PROCESS_OPENGL:
		return Process( instance, static_cast< const ProcessOpenGLStruct* >( input.PointerValue ) );
	case FF_DEINSTANTIATE_GL:
		Deinstantiate( instance );
		return MixedNumber( FF_SUCCESS );
	case FF_SET_PARAMETER:
		return SetParameter( instance, static_cast< const SetParameterStruct* >( input.PointerValue ) );
	case FF_GET_PARAMETER:
		return input.UIntValue < kParameters ? FloatBits( instance->level ) : MixedNumber( FF_FAIL );
	case FF_GET_PARAMETER_DISPLAY:
		if( input.UIntValue >= kParameters )
			return MixedPointer( nullptr );
		std::snprintf( instance->display, sizeof( instance->display ), "%d %%",
		               static_cast< int >( instance->level * 100.f + 0.5f ) );
		return MixedPointer( instance->display );
	case FF_SET_PARAMETER_ELEMENT_VALUE:
		return MixedNumber( LevelElement< SetParameterElementValueStruct >( input.PointerValue ) ? FF_SUCCESS
		                                                                                         : FF_FAIL );
	case FF_GET_INPUT_STATUS:
		return MixedNumber( input.UIntValue < kInputs ? 1 : FF_FAIL );
	case FF_SET_TIME:
	case FF_RESIZE:
		return MixedNumber( input.PointerValue ? FF_SUCCESS : FF_FAIL );
	case FF_SET_BEATINFO:
	case FF_SET_HOSTINFO:
	case FF_SET_SAMPLERATE:
		return MixedNumber( FF_SUCCESS ); // notices this effect has no use for: never read
	default:
		return MixedNumber( FF_FAIL );
	}
}
}

CORRECT_PLUGIN_EXPORT FFMixed plugMain( uint32_t code, FFMixed input, void* instanceID )
{
	const uint32_t index = input.UIntValue;
	switch( code )
	{
	case FF_GET_INFO:
		return MixedPointer( &info );
	case FF_GET_EXTENDED_INFO:
		return MixedPointer( &extended );
	case FF_INITIALISE_V2:
	case FF_DEINITIALISE:
		return MixedNumber( FF_SUCCESS );
	case FF_GET_NUM_PARAMETERS:
		return MixedNumber( kParameters );
	case FF_GET_PARAMETER_NAME:
		return MixedPointer( index < kParameters ? "Level" : nullptr );
	case FF_GET_PARAMETER_TYPE:
		return MixedNumber( index < kParameters ? FF_TYPE_STANDARD : FF_FAIL );
	case FF_GET_PARAMETER_DEFAULT:
		return index < kParameters ? FloatBits( kDefaultLevel ) : MixedNumber( FF_FAIL );
	case FF_GET_PARAMETER_USAGE:
		return MixedNumber( index < kParameters ? 0 : FF_FAIL );
	case FF_GET_NUM_PARAMETER_ELEMENTS:
		return MixedNumber( index < kParameters ? 1 : FF_FAIL );
	case FF_GET_PARAMETER_ELEMENT_NAME:
		return MixedPointer( LevelElement< ParameterElementStruct >( input.PointerValue ) ? "" : nullptr );
	case FF_GET_PARAMETER_ELEMENT_VALUE:
		return LevelElement< ParameterElementStruct >( input.PointerValue ) ? FloatBits( 0.f ) : MixedNumber( FF_FAIL );
	case FF_GET_RANGE:
	{
		GetRangeStruct* range = static_cast< GetRangeStruct* >( input.PointerValue );
		if( !range || range->ParameterNumber >= kParameters )
			return MixedNumber( FF_FAIL );
		range->min = 0.f;
		range->max = 1.f;
		return MixedNumber( FF_SUCCESS );
	}
	case FF_GET_PLUGIN_CAPS:
		return MixedNumber( index == FF_CAP_MINIMUM_INPUT_FRAMES || index == FF_CAP_MAXIMUM_INPUT_FRAMES ? kInputs
		                                                                                                 : 0 );
	case FF_INSTANTIATE_GL:
		return Instantiate( static_cast< const FFGLViewportStruct* >( input.PointerValue ) );
	default:
		break;
	}
	if( !instanceID )
		return MixedNumber( FF_FAIL ); // the failure pointer too, for FF_GET_PARAMETER_DISPLAY
	return InstanceCall( static_cast< Instance* >( instanceID ), code, input );
}
