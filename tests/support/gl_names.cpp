#include "tests/support/gl_names.h"

#include <algorithm>

size_t GLNames::Count() const
{
	return textures.size() + buffers.size() + framebuffers.size() + programs.size() + shaders.size()
		   + vertexArrays.size();
}

GLNames LiveGLNames( GLuint upTo )
{
	GLNames names;
	for( GLuint name = 1; name <= upTo; ++name )
	{
		if( glIsTexture( name ) )
			names.textures.push_back( name );
		if( glIsBuffer( name ) )
			names.buffers.push_back( name );
		if( glIsFramebuffer( name ) )
			names.framebuffers.push_back( name );
		if( glIsProgram( name ) )
			names.programs.push_back( name );
		if( glIsShader( name ) )
			names.shaders.push_back( name );
		if( glIsVertexArray( name ) )
			names.vertexArrays.push_back( name );
	}
	return names;
}

static void AppendAdded( const char* kind, const std::vector< GLuint >& before, const std::vector< GLuint >& after,
						 std::string& out )
{
	for( GLuint name : after )
	{
		if( std::find( before.begin(), before.end(), name ) != before.end() )
			continue;
		if( !out.empty() )
			out += ", ";
		out += kind;
		out += " " + std::to_string( name );
	}
}

std::string NamesAdded( const GLNames& before, const GLNames& after )
{
	std::string out;
	AppendAdded( "texture", before.textures, after.textures, out );
	AppendAdded( "buffer", before.buffers, after.buffers, out );
	AppendAdded( "framebuffer", before.framebuffers, after.framebuffers, out );
	AppendAdded( "program", before.programs, after.programs, out );
	AppendAdded( "shader", before.shaders, after.shaders, out );
	AppendAdded( "vertex array", before.vertexArrays, after.vertexArrays, out );
	return out;
}
