#include "tests/host/test_plugin_grain.h"

#include "tests/host/test_plugin_program.h"

#include <chrono>
#include <random>

namespace testplugin
{
namespace
{
const char* const kFragmentShader = R"(#version 410 core
uniform float gain;
uniform uint seed;
out vec4 colour;
void main()
{
	uvec2 at = uvec2( gl_FragCoord.xy );
	uint h   = at.x * 1973u + at.y * 9277u + seed * 26699u;
	h        = ( h ^ ( h >> 13 ) ) * 1274126177u;
	h        = h ^ ( h >> 16 );
	float g  = 1.0 - gain * float( h & 1023u ) / 1023.0;
	colour   = vec4( g, g, g, 1.0 ); // multiplies what is drawn: colour darker, alpha as it was
}
)";

// One generator for the process, seeded from the clock: no two runs alike.
std::mt19937& Dice()
{
	static std::mt19937 dice( static_cast< unsigned >( std::chrono::steady_clock::now().time_since_epoch().count() ) ^
	                          std::random_device()() );
	return dice;
}
}

void Grain::Draw( GLint x, GLint y, GLsizei w, GLsizei h )
{
	if( !program )
	{
		program = LinkedProgram( kViewportTriangle, kFragmentShader );
		gainAt  = glGetUniformLocation( program, "gain" );
		seedAt  = glGetUniformLocation( program, "seed" );
		glGenVertexArrays( 1, &vertexArray );
	}
	std::uniform_real_distribution< float > few( -0.04f, 0.04f );
	GLint viewport[ 4 ] = {};
	glGetIntegerv( GL_VIEWPORT, viewport );
	glViewport( x, y, w, h );
	glUseProgram( program );
	glUniform1f( gainAt, 0.25f * ( 1.f + few( Dice() ) ) );
	glUniform1ui( seedAt, static_cast< GLuint >( Dice()() ) );
	glBindVertexArray( vertexArray );
	glEnable( GL_BLEND );
	glBlendFunc( GL_ZERO, GL_SRC_COLOR );
	glDrawArrays( GL_TRIANGLES, 0, 3 );
	glDisable( GL_BLEND );
	glBlendFunc( GL_ONE, GL_ZERO );
	glBindVertexArray( 0 );
	glUseProgram( 0 );
	glViewport( viewport[ 0 ], viewport[ 1 ], viewport[ 2 ], viewport[ 3 ] );
}

void Grain::Release()
{
	glDeleteProgram( program );
	glDeleteVertexArrays( 1, &vertexArray );
	*this = Grain();
}
}
