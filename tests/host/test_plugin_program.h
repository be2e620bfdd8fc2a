#pragma once
// What the test plug-ins draw with: a program of two stages, its shaders deleted once linked, and the
// vertex stage of one triangle over the whole viewport.
#include <GL/glew.h>

namespace testplugin
{
const char* const kViewportTriangle = R"(#version 410 core
void main()
{
	// One triangle over the whole viewport.
	vec2 corner = vec2( ( gl_VertexID << 1 ) & 2, gl_VertexID & 2 );
	gl_Position = vec4( corner * 2.0 - 1.0, 0.0, 1.0 );
}
)";

inline GLuint LinkedProgram( const char* vertexSource, const char* fragmentSource )
{
	const GLuint program           = glCreateProgram();
	const GLenum kinds[ 2 ]        = { GL_VERTEX_SHADER, GL_FRAGMENT_SHADER };
	const char* const sources[ 2 ] = { vertexSource, fragmentSource };
	GLuint shaders[ 2 ]            = {};
	for( int i = 0; i < 2; ++i )
	{
		shaders[ i ] = glCreateShader( kinds[ i ] );
		glShaderSource( shaders[ i ], 1, &sources[ i ], nullptr );
		glCompileShader( shaders[ i ] );
		glAttachShader( program, shaders[ i ] );
	}
	glLinkProgram( program );
	for( GLuint shader : shaders )
	{
		glDetachShader( program, shader );
		glDeleteShader( shader );
	}
	return program;
}
}
