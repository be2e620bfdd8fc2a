#include "ffglex/shader_program.h"

#include "ffgl/log.h"

#include <cstdlib>

namespace ffglex
{
static const char* const kVertexErrorPrefix   = "Vertex Shader error: ";
static const char* const kFragmentErrorPrefix = "Fragment Shader error: ";
// A link failure has no prefix of its own.
static const char* const kLinkErrorPrefix = kFragmentErrorPrefix;
static const GLsizei kLinkLogCapacity     = 1024;

bool ShaderProgram::Compile( const char* vertexSource, const char* fragmentSource )
{
	// Names still held go first, so that any failure below, a missing source included, leaves
	// nothing held and a second Compile never leaks the first program.
	Release();
	if( !vertexSource || !vertexSource[ 0 ] || !fragmentSource || !fragmentSource[ 0 ] )
		return false;

	if( !CompileVertexStage( vertexSource ) )
	{
		Release();
		return false;
	}
	if( !CompileFragmentStage( fragmentSource ) )
	{
		Release();
		return false;
	}
	if( !Link() )
	{
		Release();
		return false;
	}
	return true;
}

void ShaderProgram::Release()
{
	if( vertexShader )
	{
		glDeleteShader( vertexShader );
		vertexShader = 0;
	}
	if( fragmentShader )
	{
		glDeleteShader( fragmentShader );
		fragmentShader = 0;
	}
	if( program )
	{
		glDeleteProgram( program );
		program = 0;
	}
}

GLuint ShaderProgram::ProgramName() const
{
	return program;
}

GLint ShaderProgram::UniformLocation( const char* name ) const
{
	if( !name )
		return -1;
	return glGetUniformLocation( program, name );
}

void ShaderProgram::SetUniformInt( const char* name, int value )
{
	glUniform1i( UniformLocation( name ), value );
}

void ShaderProgram::SetUniformVec2( const char* name, float x, float y )
{
	glUniform2f( UniformLocation( name ), x, y );
}

bool ShaderProgram::CompileVertexStage( const char* source )
{
	return CompileStage( GL_VERTEX_SHADER, vertexShader, source, kVertexErrorPrefix );
}

bool ShaderProgram::CompileFragmentStage( const char* source )
{
	return CompileStage( GL_FRAGMENT_SHADER, fragmentShader, source, kFragmentErrorPrefix );
}

bool ShaderProgram::CompileStage( GLenum type, GLuint& name, const char* source, const char* errorPrefix )
{
	name = glCreateShader( type );
	glShaderSource( name, 1, &source, nullptr );
	glCompileShader( name );

	// Start from failure: a query on a bad name writes nothing.
	GLint status = GL_FALSE;
	glGetShaderiv( name, GL_COMPILE_STATUS, &status );
	if( status == GL_TRUE )
		return true;

	GLint length = 0;
	glGetShaderiv( name, GL_INFO_LOG_LENGTH, &length );
	if( length < 0 )
		length = 0;
	char* log = static_cast< char* >( std::calloc( static_cast< size_t >( length ) + 1, 1 ) );
	if( log )
		glGetShaderInfoLog( name, length, nullptr, log );
	DebugLine( errorPrefix, log ? log : "" );
	std::free( log );
	return false;
}

bool ShaderProgram::Link()
{
	program = glCreateProgram();
	glAttachShader( program, vertexShader );
	if( fragmentShader )
		glAttachShader( program, fragmentShader );
	glLinkProgram( program );

	GLint status = 0;
	glGetProgramiv( program, GL_LINK_STATUS, &status );
	if( status == GL_TRUE )
		return true;

	char log[ kLinkLogCapacity ] = {};
	GLsizei length               = 0;
	glGetProgramInfoLog( program, kLinkLogCapacity - 1, &length, log );
	// The terminator goes where GL says the log ends, but never outside the buffer.
	if( length < 0 )
		length = 0;
	if( length > kLinkLogCapacity - 1 )
		length = kLinkLogCapacity - 1;
	log[ length ] = '\0';
	DebugLine( kLinkErrorPrefix, log );
	return false;
}
}
