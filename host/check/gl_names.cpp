#include "host/check/gl_names.h"

#include <algorithm>

namespace ffglhost
{
namespace
{
const char* const kKindNames[ kGLNameKinds ][ 2 ] = {
	{ "texture", "textures" },           { "buffer", "buffers" },   { "framebuffer", "framebuffers" },
	{ "renderbuffer", "renderbuffers" }, { "program", "programs" }, { "shader", "shaders" },
	{ "vertex array", "vertex arrays" },
};

bool Holds( const std::vector< GLuint >& names, GLuint name )
{
	return std::binary_search( names.begin(), names.end(), name );
}
}

GLNameCensus TakeGLNameCensus( GLuint upTo )
{
	GLNameCensus census;
	for( GLuint name = 1; name <= upTo; ++name )
	{
		const bool alive[ kGLNameKinds ] = {
			glIsTexture( name ) == GL_TRUE,      glIsBuffer( name ) == GL_TRUE,  glIsFramebuffer( name ) == GL_TRUE,
			glIsRenderbuffer( name ) == GL_TRUE, glIsProgram( name ) == GL_TRUE, glIsShader( name ) == GL_TRUE,
			glIsVertexArray( name ) == GL_TRUE,
		};
		for( int kind = 0; kind < kGLNameKinds; ++kind )
			if( alive[ kind ] )
				census.names[ kind ].push_back( name );
	}
	return census;
}

std::string NamesLeftBehind( const GLNameCensus& before, const GLNameCensus& after, const GLNameCensus& hostOwn )
{
	std::string text;
	for( int kind = 0; kind < kGLNameKinds; ++kind )
	{
		std::vector< GLuint > left;
		for( GLuint name : after.names[ kind ] )
			if( !Holds( before.names[ kind ], name ) && !Holds( hostOwn.names[ kind ], name ) )
				left.push_back( name );
		if( left.empty() )
			continue;
		std::string list;
		for( size_t i = 0; i < left.size() && i < 8; ++i )
			list += ( i ? ", " : "" ) + std::to_string( left[ i ] );
		if( left.size() > 8 )
			list += ", ...";
		text += ( text.empty() ? "" : ", " ) + std::to_string( left.size() ) + " " +
		        kKindNames[ kind ][ left.size() > 1 ] + " (" + list + ")";
	}
	return text;
}
}
