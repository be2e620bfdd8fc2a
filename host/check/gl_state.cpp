#include "host/check/gl_state.h"

namespace ffglhost
{
namespace
{
const int kTextureUnits = 8;

enum class Form
{
	Number,  // a name or a count
	Switch,  // glIsEnabled
	Enum,    // hexadecimal
	Unit,    // GL_TEXTUREn
	Texture, // GL_TEXTURE_BINDING_2D on a unit
	Target,  // what the bound draw framebuffer draws into
};

struct Item
{
	const char* name;
	GLenum query;
	int count;
	Form form;
};

// The items compared, in the order a snapshot holds them.
const Item kItems[] = {
	{ "GL_READ_FRAMEBUFFER_BINDING", GL_READ_FRAMEBUFFER_BINDING, 1, Form::Number },
	{ "GL_DRAW_FRAMEBUFFER_BINDING", GL_DRAW_FRAMEBUFFER_BINDING, 1, Form::Number },
	{ "the texture attached to HostFBO", GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, 1, Form::Target },
	{ "GL_RENDERBUFFER_BINDING", GL_RENDERBUFFER_BINDING, 1, Form::Number },
	{ "GL_CURRENT_PROGRAM", GL_CURRENT_PROGRAM, 1, Form::Number },
	{ "GL_VERTEX_ARRAY_BINDING", GL_VERTEX_ARRAY_BINDING, 1, Form::Number },
	{ "GL_ARRAY_BUFFER_BINDING", GL_ARRAY_BUFFER_BINDING, 1, Form::Number },
	{ "GL_ELEMENT_ARRAY_BUFFER_BINDING", GL_ELEMENT_ARRAY_BUFFER_BINDING, 1, Form::Number },
	{ "GL_PIXEL_PACK_BUFFER_BINDING", GL_PIXEL_PACK_BUFFER_BINDING, 1, Form::Number },
	{ "GL_PIXEL_UNPACK_BUFFER_BINDING", GL_PIXEL_UNPACK_BUFFER_BINDING, 1, Form::Number },
	{ "GL_UNIFORM_BUFFER_BINDING", GL_UNIFORM_BUFFER_BINDING, 1, Form::Number },
	{ "GL_ACTIVE_TEXTURE", GL_ACTIVE_TEXTURE, 1, Form::Unit },
	{ "GL_TEXTURE_BINDING_2D", GL_TEXTURE_BINDING_2D, kTextureUnits, Form::Texture },
	{ "GL_VIEWPORT", GL_VIEWPORT, 4, Form::Number },
	{ "GL_SCISSOR_TEST", GL_SCISSOR_TEST, 1, Form::Switch },
	{ "GL_SCISSOR_BOX", GL_SCISSOR_BOX, 4, Form::Number },
	{ "GL_BLEND", GL_BLEND, 1, Form::Switch },
	{ "GL_BLEND_SRC_RGB", GL_BLEND_SRC_RGB, 1, Form::Enum },
	{ "GL_BLEND_DST_RGB", GL_BLEND_DST_RGB, 1, Form::Enum },
	{ "GL_BLEND_SRC_ALPHA", GL_BLEND_SRC_ALPHA, 1, Form::Enum },
	{ "GL_BLEND_DST_ALPHA", GL_BLEND_DST_ALPHA, 1, Form::Enum },
	{ "GL_BLEND_EQUATION_RGB", GL_BLEND_EQUATION_RGB, 1, Form::Enum },
	{ "GL_BLEND_EQUATION_ALPHA", GL_BLEND_EQUATION_ALPHA, 1, Form::Enum },
	{ "GL_DEPTH_TEST", GL_DEPTH_TEST, 1, Form::Switch },
	{ "GL_DEPTH_WRITEMASK", GL_DEPTH_WRITEMASK, 1, Form::Number },
	{ "GL_STENCIL_TEST", GL_STENCIL_TEST, 1, Form::Switch },
	{ "GL_CULL_FACE", GL_CULL_FACE, 1, Form::Switch },
	{ "GL_FRAMEBUFFER_SRGB", GL_FRAMEBUFFER_SRGB, 1, Form::Switch },
	{ "GL_COLOR_WRITEMASK", GL_COLOR_WRITEMASK, 4, Form::Number },
	{ "GL_PACK_ALIGNMENT", GL_PACK_ALIGNMENT, 1, Form::Number },
	{ "GL_UNPACK_ALIGNMENT", GL_UNPACK_ALIGNMENT, 1, Form::Number },
	{ "GL_PACK_ROW_LENGTH", GL_PACK_ROW_LENGTH, 1, Form::Number },
	{ "GL_UNPACK_ROW_LENGTH", GL_UNPACK_ROW_LENGTH, 1, Form::Number },
};

std::string Format( const Item& item, const GLint* values, int count )
{
	char text[ 64 ];
	switch( item.form )
	{
	case Form::Switch:
		return values[ 0 ] ? "enabled" : "disabled";
	case Form::Enum:
		std::snprintf( text, sizeof( text ), "0x%04X", static_cast< unsigned >( values[ 0 ] ) );
		return text;
	case Form::Unit:
		std::snprintf( text, sizeof( text ), "GL_TEXTURE%d", values[ 0 ] - static_cast< GLint >( GL_TEXTURE0 ) );
		return text;
	default:
		break;
	}
	std::string joined;
	for( int i = 0; i < count; ++i )
		joined += ( i ? ", " : "" ) + std::to_string( values[ i ] );
	return count > 1 ? "(" + joined + ")" : joined;
}
}

void SetHostDefaultState( GLuint framebuffer, const GLViewport& viewport )
{
	glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
	glBindRenderbuffer( GL_RENDERBUFFER, 0 );
	glUseProgram( 0 );
	glBindVertexArray( 0 );
	glBindBuffer( GL_ARRAY_BUFFER, 0 );
	glBindBuffer( GL_PIXEL_PACK_BUFFER, 0 );
	glBindBuffer( GL_PIXEL_UNPACK_BUFFER, 0 );
	glBindBuffer( GL_UNIFORM_BUFFER, 0 );
	for( int unit = kTextureUnits - 1; unit >= 0; --unit )
	{
		glActiveTexture( GL_TEXTURE0 + static_cast< GLenum >( unit ) );
		glBindTexture( GL_TEXTURE_2D, 0 );
	}
	glViewport( viewport.x, viewport.y, viewport.width, viewport.height );
	glDisable( GL_SCISSOR_TEST );
	glScissor( viewport.x, viewport.y, viewport.width, viewport.height );
	glDisable( GL_BLEND );
	glBlendFunc( GL_ONE, GL_ZERO );
	glBlendEquation( GL_FUNC_ADD );
	glDisable( GL_DEPTH_TEST );
	glDepthMask( GL_TRUE );
	glDisable( GL_STENCIL_TEST );
	glDisable( GL_CULL_FACE );
	glDisable( GL_FRAMEBUFFER_SRGB );
	glColorMask( GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE );
	glPixelStorei( GL_PACK_ALIGNMENT, 4 );
	glPixelStorei( GL_UNPACK_ALIGNMENT, 4 );
	glPixelStorei( GL_PACK_ROW_LENGTH, 0 );
	glPixelStorei( GL_UNPACK_ROW_LENGTH, 0 );
}

GLStateSnapshot TakeGLStateSnapshot()
{
	GLStateSnapshot snapshot;
	GLint activeUnit = GL_TEXTURE0;
	glGetIntegerv( GL_ACTIVE_TEXTURE, &activeUnit );
	for( const Item& item : kItems )
	{
		GLint values[ kTextureUnits ] = {};
		if( item.form == Form::Switch )
			values[ 0 ] = glIsEnabled( item.query ) ? 1 : 0;
		else if( item.form == Form::Texture )
		{
			for( int unit = 0; unit < item.count; ++unit )
			{
				glActiveTexture( GL_TEXTURE0 + static_cast< GLenum >( unit ) );
				glGetIntegerv( item.query, &values[ unit ] );
			}
			glActiveTexture( static_cast< GLenum >( activeUnit ) );
		}
		else if( item.form == Form::Target )
		{
			// A plug-in that attaches its own texture to the host's framebuffer takes the host's picture.
			GLint framebuffer = 0;
			glGetIntegerv( GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer );
			if( framebuffer != 0 )
				glGetFramebufferAttachmentParameteriv( GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, item.query, values );
		}
		else
			glGetIntegerv( item.query, values );
		snapshot.values.insert( snapshot.values.end(), values, values + item.count );
	}
	return snapshot;
}

std::vector< std::string > CompareGLState( const GLStateSnapshot& expected, const GLStateSnapshot& found,
                                           const char* call )
{
	std::vector< std::string > differences;
	size_t at = 0;
	for( const Item& item : kItems )
	{
		if( at + static_cast< size_t >( item.count ) > expected.values.size() ||
		    expected.values.size() != found.values.size() )
			break;
		const GLint* want = &expected.values[ at ];
		const GLint* got  = &found.values[ at ];
		if( item.form == Form::Texture )
		{
			for( int unit = 0; unit < item.count; ++unit )
				if( want[ unit ] != got[ unit ] )
					differences.push_back( std::string( item.name ) + " on unit " + std::to_string( unit ) + " is " +
					                       std::to_string( got[ unit ] ) + " after " + call + " (expected " +
					                       std::to_string( want[ unit ] ) + ")" );
		}
		else
		{
			bool same = true;
			for( int i = 0; i < item.count; ++i )
				same = same && want[ i ] == got[ i ];
			if( !same )
				differences.push_back( std::string( item.name ) + " is " + Format( item, got, item.count ) + " after " +
				                       call + " (expected " + Format( item, want, item.count ) + ")" );
		}
		at += static_cast< size_t >( item.count );
	}
	return differences;
}

std::string TakeGLErrors()
{
	std::string errors;
	for( int i = 0; i < 16; ++i )
	{
		const GLenum error = glGetError();
		if( error == GL_NO_ERROR )
			break;
		const char* name = error == GL_INVALID_ENUM                    ? "GL_INVALID_ENUM"
		                   : error == GL_INVALID_VALUE                 ? "GL_INVALID_VALUE"
		                   : error == GL_INVALID_OPERATION             ? "GL_INVALID_OPERATION"
		                   : error == GL_INVALID_FRAMEBUFFER_OPERATION ? "GL_INVALID_FRAMEBUFFER_OPERATION"
		                   : error == GL_OUT_OF_MEMORY                 ? "GL_OUT_OF_MEMORY"
		                                                               : "another GL error";
		errors += ( errors.empty() ? "" : ", " ) + std::string( name );
	}
	return errors;
}
}
