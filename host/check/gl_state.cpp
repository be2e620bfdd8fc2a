#include "host/check/gl_state.h"

#include "host/check/gl_state_items.h"

#include <cstdio>
#include <cstring>

namespace ffglhost
{
namespace
{
const GLenum kTextureTargets[] = { GL_TEXTURE_1D,
	                               GL_TEXTURE_2D,
	                               GL_TEXTURE_3D,
	                               GL_TEXTURE_1D_ARRAY,
	                               GL_TEXTURE_2D_ARRAY,
	                               GL_TEXTURE_RECTANGLE,
	                               GL_TEXTURE_CUBE_MAP,
	                               GL_TEXTURE_CUBE_MAP_ARRAY,
	                               GL_TEXTURE_BUFFER,
	                               GL_TEXTURE_2D_MULTISAMPLE,
	                               GL_TEXTURE_2D_MULTISAMPLE_ARRAY };
// The element array buffer belongs to the vertex array, which is unbound.
const GLenum kBufferTargets[]   = { GL_ARRAY_BUFFER,         GL_PIXEL_PACK_BUFFER, GL_PIXEL_UNPACK_BUFFER,
	                                GL_UNIFORM_BUFFER,       GL_COPY_READ_BUFFER,  GL_COPY_WRITE_BUFFER,
	                                GL_DRAW_INDIRECT_BUFFER, GL_TEXTURE_BUFFER,    GL_TRANSFORM_FEEDBACK_BUFFER };
const GLenum kPixelStoreZeros[] = { GL_PACK_ROW_LENGTH,   GL_UNPACK_ROW_LENGTH,   GL_PACK_SWAP_BYTES,
	                                GL_UNPACK_SWAP_BYTES, GL_PACK_LSB_FIRST,      GL_UNPACK_LSB_FIRST,
	                                GL_PACK_IMAGE_HEIGHT, GL_UNPACK_IMAGE_HEIGHT, GL_PACK_SKIP_ROWS,
	                                GL_UNPACK_SKIP_ROWS,  GL_PACK_SKIP_PIXELS,    GL_UNPACK_SKIP_PIXELS,
	                                GL_PACK_SKIP_IMAGES,  GL_UNPACK_SKIP_IMAGES };
int TextureUnits()
{
	GLint units = 0;
	glGetIntegerv( GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units );
	return units > 0 ? units : 1;
}

int Copies( const GLStateItem& item, int units )
{
	switch( item.read )
	{
	case GLStateRead::kEachUnit:
		return units;
	case GLStateRead::kEachDrawBuffer:
		return kComparedDrawBuffers;
	case GLStateRead::kEachClipDistance:
		return kComparedClipDistances;
	case GLStateRead::kHostTexture:
		return kHostTextures;
	default:
		return 1;
	}
}

// "GL_SAMPLER_BINDING on unit 3", "GL_DRAW_BUFFER1 of HostFBO": the item and which copy of it.
std::string CopyName( const GLStateItem& item, int copy )
{
	const std::string name = item.name;
	switch( item.read )
	{
	case GLStateRead::kEachUnit:
		return name + " on unit " + std::to_string( copy );
	case GLStateRead::kEachDrawBuffer:
		return name + std::to_string( copy ) + " of HostFBO";
	case GLStateRead::kEachClipDistance:
		return name + std::to_string( copy );
	case GLStateRead::kHostReadBuffer:
		return name + " of HostFBO";
	case GLStateRead::kHostTexture:
		return name + ( copy == 0 ? " of the host's input texture" : " of HostFBO's texture" );
	default:
		return name;
	}
}

std::string Format( const GLStateItem& item, const GLint* values )
{
	char text[ 64 ];
	std::string joined;
	for( int i = 0; i < item.count; ++i )
	{
		float number = 0.f;
		switch( item.show )
		{
		case GLStateShow::kSwitch:
			return values[ 0 ] ? "enabled" : "disabled";
		case GLStateShow::kUnit:
			std::snprintf( text, sizeof( text ), "GL_TEXTURE%d", values[ 0 ] - static_cast< GLint >( GL_TEXTURE0 ) );
			return text;
		case GLStateShow::kEnum:
			std::snprintf( text, sizeof( text ), "0x%04X", static_cast< unsigned >( values[ i ] ) );
			break;
		case GLStateShow::kFloat:
			std::memcpy( &number, &values[ i ], sizeof( number ) );
			std::snprintf( text, sizeof( text ), "%g", static_cast< double >( number ) );
			break;
		default:
			std::snprintf( text, sizeof( text ), "%d", values[ i ] );
		}
		joined += ( i ? ", " : "" ) + std::string( text );
	}
	return item.count > 1 ? "(" + joined + ")" : joined;
}

// One copy of an item that is read alone; the items read per unit and per host texture are read below.
void ReadItem( const GLStateItem& item, const GLHostObjects& host, GLint* values )
{
	GLint read[ kMaxItemValues ]     = {};
	GLfloat floats[ kMaxItemValues ] = {};
	GLint framebuffer                = 0;
	switch( item.read )
	{
	case GLStateRead::kInteger:
		glGetIntegerv( item.query, read );
		std::memcpy( values, read, sizeof( GLint ) * static_cast< size_t >( item.count ) );
		break;
	case GLStateRead::kFloat:
		glGetFloatv( item.query, floats );
		std::memcpy( values, floats, sizeof( GLint ) * static_cast< size_t >( item.count ) );
		break;
	case GLStateRead::kSwitch:
		values[ 0 ] = glIsEnabled( item.query ) ? 1 : 0;
		break;
	case GLStateRead::kEachClipDistance:
		for( int i = 0; i < kComparedClipDistances; ++i )
			values[ i ] = glIsEnabled( item.query + static_cast< GLenum >( i ) ) ? 1 : 0;
		break;
	case GLStateRead::kEachDrawBuffer:
	case GLStateRead::kHostReadBuffer:
	{
		// They belong to HostFBO, whatever the plug-in left bound.
		const bool draw    = item.read == GLStateRead::kEachDrawBuffer;
		const GLenum point = draw ? GL_DRAW_FRAMEBUFFER : GL_READ_FRAMEBUFFER;
		if( !host.framebuffer || !glIsFramebuffer( host.framebuffer ) )
			break;
		glGetIntegerv( draw ? GL_DRAW_FRAMEBUFFER_BINDING : GL_READ_FRAMEBUFFER_BINDING, &framebuffer );
		glBindFramebuffer( point, host.framebuffer );
		for( int i = 0; i < ( draw ? kComparedDrawBuffers : 1 ); ++i )
			glGetIntegerv( item.query + static_cast< GLenum >( i ), &values[ i ] );
		glBindFramebuffer( point, static_cast< GLuint >( framebuffer ) );
		break;
	}
	case GLStateRead::kStencilReference:
		if( !host.stencilFramebuffer )
			break;
		glGetIntegerv( GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer );
		glBindFramebuffer( GL_DRAW_FRAMEBUFFER, host.stencilFramebuffer );
		glGetIntegerv( item.query, values );
		glBindFramebuffer( GL_DRAW_FRAMEBUFFER, static_cast< GLuint >( framebuffer ) );
		break;
	case GLStateRead::kHostAttachment:
		// A plug-in that attaches its own texture to the host's framebuffer takes the host's picture.
		glGetIntegerv( GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer );
		if( framebuffer != 0 )
			glGetFramebufferAttachmentParameteriv( GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, item.query, values );
		break;
	default:
		break;
	}
}
}

void SetHostDefaultState( GLuint framebuffer, const GLViewport& viewport, bool everyUnit )
{
	glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
	if( framebuffer )
	{
		const GLenum first = GL_COLOR_ATTACHMENT0;
		glDrawBuffers( 1, &first );
		glReadBuffer( first );
	}
	glBindRenderbuffer( GL_RENDERBUFFER, 0 );
	glUseProgram( 0 );
	glBindProgramPipeline( 0 );
	glBindVertexArray( 0 );
	glBindTransformFeedback( GL_TRANSFORM_FEEDBACK, 0 );
	for( GLenum target : kBufferTargets )
		glBindBuffer( target, 0 );
	for( int unit = everyUnit ? TextureUnits() - 1 : 0; unit >= 0; --unit )
	{
		glActiveTexture( GL_TEXTURE0 + static_cast< GLenum >( unit ) );
		for( GLenum target : kTextureTargets )
			glBindTexture( target, 0 );
		glBindSampler( static_cast< GLuint >( unit ), 0 );
	}
	// Every switch the table compares is off, each clip distance too.
	for( const GLStateItem& item : GLStateItems() )
		if( item.read == GLStateRead::kSwitch )
			glDisable( item.query );
		else if( item.read == GLStateRead::kEachClipDistance )
			for( int i = 0; i < kComparedClipDistances; ++i )
				glDisable( item.query + static_cast< GLenum >( i ) );
	glViewport( viewport.x, viewport.y, viewport.width, viewport.height );
	glScissor( viewport.x, viewport.y, viewport.width, viewport.height );
	glPolygonMode( GL_FRONT_AND_BACK, GL_FILL );
	glPrimitiveRestartIndex( 0 );
	glLineWidth( 1.f );
	glPolygonOffset( 0.f, 0.f );
	glSampleCoverage( 1.f, GL_FALSE );
	glBlendFunc( GL_ONE, GL_ZERO );
	glBlendEquation( GL_FUNC_ADD );
	glBlendColor( 0.f, 0.f, 0.f, 0.f );
	glDepthMask( GL_TRUE );
	glDepthFunc( GL_LESS );
	glStencilFunc( GL_ALWAYS, 0, ~0u );
	glStencilMask( ~0u );
	glStencilOp( GL_KEEP, GL_KEEP, GL_KEEP );
	glColorMask( GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE );
	glPixelStorei( GL_PACK_ALIGNMENT, 4 );
	glPixelStorei( GL_UNPACK_ALIGNMENT, 4 );
	for( GLenum mode : kPixelStoreZeros )
		glPixelStorei( mode, 0 );
}

GLStateSnapshot TakeGLStateSnapshot( const GLHostObjects& host )
{
	const std::vector< GLStateItem >& table = GLStateItems();
	const int units                         = TextureUnits();
	GLStateSnapshot snapshot;
	snapshot.items.resize( table.size() );
	for( size_t i = 0; i < table.size(); ++i )
	{
		snapshot.items[ i ].assign( static_cast< size_t >( Copies( table[ i ], units ) * table[ i ].count ), 0 );
		ReadItem( table[ i ], host, snapshot.items[ i ].data() );
	}
	// Unit by unit, every item of a unit at once; then the active unit as it was.
	GLint activeUnit = GL_TEXTURE0;
	glGetIntegerv( GL_ACTIVE_TEXTURE, &activeUnit );
	for( int unit = 0; unit < units; ++unit )
	{
		glActiveTexture( GL_TEXTURE0 + static_cast< GLenum >( unit ) );
		for( size_t i = 0; i < table.size(); ++i )
			if( table[ i ].read == GLStateRead::kEachUnit )
				glGetIntegerv( table[ i ].query, &snapshot.items[ i ][ static_cast< size_t >( unit ) ] );
	}
	glActiveTexture( static_cast< GLenum >( activeUnit ) );
	// The host's textures bound in turn on the active unit, and its texture put back.
	GLint bound = 0;
	glGetIntegerv( GL_TEXTURE_BINDING_2D, &bound );
	const GLuint textures[ kHostTextures ] = { host.inputTexture, host.targetTexture };
	for( int t = 0; t < kHostTextures; ++t )
	{
		if( !textures[ t ] || !glIsTexture( textures[ t ] ) )
			continue;
		glBindTexture( GL_TEXTURE_2D, textures[ t ] );
		for( size_t i = 0; i < table.size(); ++i )
			if( table[ i ].read == GLStateRead::kHostTexture )
			{
				GLint read[ kMaxItemValues ] = {};
				glGetTexParameteriv( GL_TEXTURE_2D, table[ i ].query, read );
				std::memcpy( &snapshot.items[ i ][ static_cast< size_t >( t * table[ i ].count ) ], read,
				             sizeof( GLint ) * static_cast< size_t >( table[ i ].count ) );
			}
	}
	glBindTexture( GL_TEXTURE_2D, static_cast< GLuint >( bound ) );
	return snapshot;
}

std::vector< std::string > CompareGLState( const GLStateSnapshot& expected, const GLStateSnapshot& found,
                                           const char* call )
{
	std::vector< std::string > differences;
	const std::vector< GLStateItem >& table = GLStateItems();
	if( expected.items.size() != table.size() || found.items.size() != table.size() )
		return differences;
	for( size_t i = 0; i < table.size(); ++i )
	{
		const GLStateItem& item = table[ i ];
		const size_t count      = static_cast< size_t >( item.count );
		if( expected.items[ i ].size() != found.items[ i ].size() )
			continue;
		for( size_t at = 0; at + count <= found.items[ i ].size(); at += count )
		{
			const GLint* want = &expected.items[ i ][ at ];
			const GLint* got  = &found.items[ i ][ at ];
			if( std::memcmp( want, got, sizeof( GLint ) * count ) != 0 )
				differences.push_back( CopyName( item, static_cast< int >( at / count ) ) + " is " +
				                       Format( item, got ) + " after " + call + " (expected " + Format( item, want ) +
				                       ")" );
		}
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
