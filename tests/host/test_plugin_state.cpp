#include "tests/host/test_plugin_state.h"

#include "tests/host/test_plugin_program.h"

#include <cstring>
#include <string>

namespace testplugin
{
namespace
{
// The last texture unit: a host compares every unit, not only the first few.
GLuint LastUnit()
{
	GLint units = 1;
	glGetIntegerv( GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units );
	return static_cast< GLuint >( units - 1 );
}

// A row: the item as ffglhost check names it, and how it is changed (with the row's two numbers).
struct Change
{
	const StateFrame& frame;
	StateObjects& objects;
	GLenum what;
	GLint value;
};
struct Row
{
	const char* item;
	void ( *leave )( const Change& change );
	GLenum what = 0;
	GLint value = 0;
};

void Enable( const Change& c )
{
	glEnable( c.what );
}

void Store( const Change& c )
{
	glPixelStorei( c.what, c.value );
}

void BindBuffer( const Change& c )
{
	glBindBuffer( c.what, c.objects.Buffer() );
}

void BindOnLastUnit( const Change& c )
{
	glActiveTexture( GL_TEXTURE0 + LastUnit() );
	glBindTexture( c.what, c.objects.Texture( c.what ) );
	glActiveTexture( GL_TEXTURE0 );
}

void InputParameter( const Change& c )
{
	glBindTexture( GL_TEXTURE_2D, c.frame.inputTexture );
	glTexParameteri( GL_TEXTURE_2D, c.what, c.value );
	glBindTexture( GL_TEXTURE_2D, 0 );
}

// One more pixel of width only.
void Widen( const Change& c )
{
	GLint box[ 4 ] = {};
	glGetIntegerv( c.what, box );
	( c.what == GL_VIEWPORT ? glViewport : glScissor )( box[ 0 ], box[ 1 ], box[ 2 ] + 1, box[ 3 ] );
}

// The stencil state of one face (what): its function, reference, masks and operations in turn (value).
void Stencil( const Change& c )
{
	switch( c.value )
	{
	case 0:
		glStencilFuncSeparate( c.what, GL_NEVER, 0, ~0u );
		break;
	case 1:
		glStencilFuncSeparate( c.what, GL_ALWAYS, 1, ~0u );
		break;
	case 2:
		glStencilFuncSeparate( c.what, GL_ALWAYS, 0, 0x0F );
		break;
	case 3:
		glStencilMaskSeparate( c.what, 0x0F );
		break;
	default:
		glStencilOpSeparate( c.what, c.value == 4 ? GL_ZERO : GL_KEEP, c.value == 5 ? GL_ZERO : GL_KEEP,
		                     c.value == 6 ? GL_ZERO : GL_KEEP );
	}
}

// A texture of the plug-in's own in place of the host's picture.
void AttachOwnTexture( const Change& c )
{
	const GLuint texture = c.objects.Texture( GL_TEXTURE_2D );
	glBindTexture( GL_TEXTURE_2D, texture );
	glTexImage2D( GL_TEXTURE_2D, 0, GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr );
	glBindTexture( GL_TEXTURE_2D, 0 );
	glFramebufferTexture2D( GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0 );
}

// HostFBO's second draw buffer only.
void DrawTwoBuffers( const Change& )
{
	const GLenum buffers[ 2 ] = { GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1 };
	glDrawBuffers( 2, buffers );
}

const Row kRows[] = {
	{ "GL_READ_FRAMEBUFFER_BINDING",
	  []( const Change& c ) { glBindFramebuffer( GL_READ_FRAMEBUFFER, c.frame.ownFramebuffer ); } },
	{ "GL_DRAW_FRAMEBUFFER_BINDING",
	  []( const Change& c ) { glBindFramebuffer( GL_DRAW_FRAMEBUFFER, c.frame.ownFramebuffer ); } },
	{ "the texture attached to HostFBO", AttachOwnTexture },
	{ "GL_DRAW_BUFFER1", DrawTwoBuffers },
	{ "GL_READ_BUFFER", []( const Change& ) { glReadBuffer( GL_NONE ); } },
	{ "GL_RENDERBUFFER_BINDING",
	  []( const Change& c ) { glBindRenderbuffer( GL_RENDERBUFFER, c.objects.Renderbuffer() ); } },
	{ "GL_CURRENT_PROGRAM", []( const Change& c ) { glUseProgram( c.objects.Program() ); } },
	{ "GL_PROGRAM_PIPELINE_BINDING", []( const Change& c ) { glBindProgramPipeline( c.objects.Pipeline() ); } },
	{ "GL_VERTEX_ARRAY_BINDING", []( const Change& c ) { glBindVertexArray( c.objects.VertexArray() ); } },
	{ "GL_TRANSFORM_FEEDBACK_BINDING",
	  []( const Change& c ) { glBindTransformFeedback( GL_TRANSFORM_FEEDBACK, c.objects.Feedback() ); } },
	{ "GL_ARRAY_BUFFER_BINDING", BindBuffer, GL_ARRAY_BUFFER },
	{ "GL_ELEMENT_ARRAY_BUFFER_BINDING", BindBuffer, GL_ELEMENT_ARRAY_BUFFER },
	{ "GL_PIXEL_PACK_BUFFER_BINDING", BindBuffer, GL_PIXEL_PACK_BUFFER },
	{ "GL_PIXEL_UNPACK_BUFFER_BINDING", BindBuffer, GL_PIXEL_UNPACK_BUFFER },
	{ "GL_UNIFORM_BUFFER_BINDING", BindBuffer, GL_UNIFORM_BUFFER },
	{ "GL_COPY_READ_BUFFER_BINDING", BindBuffer, GL_COPY_READ_BUFFER },
	{ "GL_COPY_WRITE_BUFFER_BINDING", BindBuffer, GL_COPY_WRITE_BUFFER },
	{ "GL_DRAW_INDIRECT_BUFFER_BINDING", BindBuffer, GL_DRAW_INDIRECT_BUFFER },
	{ "GL_TEXTURE_BUFFER", BindBuffer, GL_TEXTURE_BUFFER },
	{ "GL_TRANSFORM_FEEDBACK_BUFFER_BINDING", BindBuffer, GL_TRANSFORM_FEEDBACK_BUFFER },
	{ "GL_ACTIVE_TEXTURE", []( const Change& ) { glActiveTexture( GL_TEXTURE3 ); } },
	{ "GL_TEXTURE_BINDING_1D", BindOnLastUnit, GL_TEXTURE_1D },
	{ "GL_TEXTURE_BINDING_2D", BindOnLastUnit, GL_TEXTURE_2D },
	{ "GL_TEXTURE_BINDING_3D", BindOnLastUnit, GL_TEXTURE_3D },
	{ "GL_TEXTURE_BINDING_1D_ARRAY", BindOnLastUnit, GL_TEXTURE_1D_ARRAY },
	{ "GL_TEXTURE_BINDING_2D_ARRAY", BindOnLastUnit, GL_TEXTURE_2D_ARRAY },
	{ "GL_TEXTURE_BINDING_RECTANGLE", BindOnLastUnit, GL_TEXTURE_RECTANGLE },
	{ "GL_TEXTURE_BINDING_CUBE_MAP", BindOnLastUnit, GL_TEXTURE_CUBE_MAP },
	{ "GL_TEXTURE_BINDING_CUBE_MAP_ARRAY", BindOnLastUnit, GL_TEXTURE_CUBE_MAP_ARRAY },
	{ "GL_TEXTURE_BINDING_BUFFER", BindOnLastUnit, GL_TEXTURE_BUFFER },
	{ "GL_TEXTURE_BINDING_2D_MULTISAMPLE", BindOnLastUnit, GL_TEXTURE_2D_MULTISAMPLE },
	{ "GL_TEXTURE_BINDING_2D_MULTISAMPLE_ARRAY", BindOnLastUnit, GL_TEXTURE_2D_MULTISAMPLE_ARRAY },
	{ "GL_SAMPLER_BINDING", []( const Change& c ) { glBindSampler( LastUnit(), c.objects.Sampler() ); } },
	{ "GL_TEXTURE_MIN_FILTER", InputParameter, GL_TEXTURE_MIN_FILTER, GL_NEAREST },
	{ "GL_TEXTURE_MAG_FILTER", InputParameter, GL_TEXTURE_MAG_FILTER, GL_NEAREST },
	{ "GL_TEXTURE_WRAP_S", InputParameter, GL_TEXTURE_WRAP_S, GL_MIRRORED_REPEAT },
	{ "GL_TEXTURE_WRAP_T", InputParameter, GL_TEXTURE_WRAP_T, GL_MIRRORED_REPEAT },
	{ "GL_TEXTURE_WRAP_R", InputParameter, GL_TEXTURE_WRAP_R, GL_MIRRORED_REPEAT },
	{ "GL_TEXTURE_BASE_LEVEL", InputParameter, GL_TEXTURE_BASE_LEVEL, 1 },
	{ "GL_TEXTURE_MAX_LEVEL", InputParameter, GL_TEXTURE_MAX_LEVEL, 0 },
	{ "GL_TEXTURE_SWIZZLE_RGBA", InputParameter, GL_TEXTURE_SWIZZLE_A, GL_ONE },
	{ "GL_TEXTURE_COMPARE_MODE", InputParameter, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE },
	{ "GL_VIEWPORT", Widen, GL_VIEWPORT },
	{ "GL_SCISSOR_TEST", Enable, GL_SCISSOR_TEST },
	{ "GL_SCISSOR_BOX", Widen, GL_SCISSOR_BOX },
	{ "GL_RASTERIZER_DISCARD", Enable, GL_RASTERIZER_DISCARD },
	{ "GL_POLYGON_MODE", []( const Change& ) { glPolygonMode( GL_FRONT_AND_BACK, GL_LINE ); } },
	{ "GL_CULL_FACE", Enable, GL_CULL_FACE },
	{ "GL_PRIMITIVE_RESTART", Enable, GL_PRIMITIVE_RESTART },
	{ "GL_PRIMITIVE_RESTART_INDEX", []( const Change& ) { glPrimitiveRestartIndex( 7 ); } },
	{ "GL_CLIP_DISTANCE5", Enable, GL_CLIP_DISTANCE5 },
	{ "GL_LINE_WIDTH", []( const Change& ) { glLineWidth( 0.5f ); } }, // wider lines are no core feature
	{ "GL_POLYGON_OFFSET_FILL", Enable, GL_POLYGON_OFFSET_FILL },
	{ "GL_POLYGON_OFFSET_LINE", Enable, GL_POLYGON_OFFSET_LINE },
	{ "GL_POLYGON_OFFSET_POINT", Enable, GL_POLYGON_OFFSET_POINT },
	{ "GL_POLYGON_OFFSET_FACTOR", []( const Change& ) { glPolygonOffset( 1.f, 0.f ); } },
	{ "GL_POLYGON_OFFSET_UNITS", []( const Change& ) { glPolygonOffset( 0.f, 1.f ); } },
	{ "GL_SAMPLE_COVERAGE", Enable, GL_SAMPLE_COVERAGE },
	{ "GL_SAMPLE_ALPHA_TO_COVERAGE", Enable, GL_SAMPLE_ALPHA_TO_COVERAGE },
	{ "GL_SAMPLE_COVERAGE_VALUE", []( const Change& ) { glSampleCoverage( 0.5f, GL_FALSE ); } },
	{ "GL_SAMPLE_COVERAGE_INVERT", []( const Change& ) { glSampleCoverage( 1.f, GL_TRUE ); } },
	{ "GL_BLEND", Enable, GL_BLEND },
	{ "GL_BLEND_SRC_RGB", []( const Change& ) { glBlendFuncSeparate( GL_SRC_ALPHA, GL_ZERO, GL_ONE, GL_ZERO ); } },
	{ "GL_BLEND_DST_RGB",
	  []( const Change& ) { glBlendFuncSeparate( GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ZERO ); } },
	{ "GL_BLEND_SRC_ALPHA", []( const Change& ) { glBlendFuncSeparate( GL_ONE, GL_ZERO, GL_SRC_ALPHA, GL_ZERO ); } },
	{ "GL_BLEND_DST_ALPHA",
	  []( const Change& ) { glBlendFuncSeparate( GL_ONE, GL_ZERO, GL_ONE, GL_ONE_MINUS_SRC_ALPHA ); } },
	{ "GL_BLEND_EQUATION_RGB", []( const Change& ) { glBlendEquationSeparate( GL_FUNC_SUBTRACT, GL_FUNC_ADD ); } },
	{ "GL_BLEND_EQUATION_ALPHA", []( const Change& ) { glBlendEquationSeparate( GL_FUNC_ADD, GL_FUNC_SUBTRACT ); } },
	{ "GL_BLEND_COLOR", []( const Change& ) { glBlendColor( 0.f, 0.f, 0.f, 1.f ); } },
	{ "GL_DEPTH_TEST", Enable, GL_DEPTH_TEST },
	{ "GL_DEPTH_WRITEMASK", []( const Change& ) { glDepthMask( GL_FALSE ); } },
	{ "GL_DEPTH_FUNC", []( const Change& ) { glDepthFunc( GL_GREATER ); } },
	{ "GL_DEPTH_CLAMP", Enable, GL_DEPTH_CLAMP },
	{ "GL_STENCIL_TEST", Enable, GL_STENCIL_TEST },
	{ "GL_STENCIL_FUNC", Stencil, GL_FRONT, 0 },
	{ "GL_STENCIL_REF", Stencil, GL_FRONT, 1 },
	{ "GL_STENCIL_VALUE_MASK", Stencil, GL_FRONT, 2 },
	{ "GL_STENCIL_WRITEMASK", Stencil, GL_FRONT, 3 },
	{ "GL_STENCIL_FAIL", Stencil, GL_FRONT, 4 },
	{ "GL_STENCIL_PASS_DEPTH_FAIL", Stencil, GL_FRONT, 5 },
	{ "GL_STENCIL_PASS_DEPTH_PASS", Stencil, GL_FRONT, 6 },
	{ "GL_STENCIL_BACK_FUNC", Stencil, GL_BACK, 0 },
	{ "GL_STENCIL_BACK_REF", Stencil, GL_BACK, 1 },
	{ "GL_STENCIL_BACK_VALUE_MASK", Stencil, GL_BACK, 2 },
	{ "GL_STENCIL_BACK_WRITEMASK", Stencil, GL_BACK, 3 },
	{ "GL_STENCIL_BACK_FAIL", Stencil, GL_BACK, 4 },
	{ "GL_STENCIL_BACK_PASS_DEPTH_FAIL", Stencil, GL_BACK, 5 },
	{ "GL_STENCIL_BACK_PASS_DEPTH_PASS", Stencil, GL_BACK, 6 },
	{ "GL_FRAMEBUFFER_SRGB", Enable, GL_FRAMEBUFFER_SRGB },
	{ "GL_COLOR_WRITEMASK", []( const Change& ) { glColorMask( GL_FALSE, GL_TRUE, GL_TRUE, GL_TRUE ); } },
	{ "GL_PACK_ALIGNMENT", Store, GL_PACK_ALIGNMENT, 1 },
	{ "GL_UNPACK_ALIGNMENT", Store, GL_UNPACK_ALIGNMENT, 1 },
	{ "GL_PACK_ROW_LENGTH", Store, GL_PACK_ROW_LENGTH, 7 },
	{ "GL_UNPACK_ROW_LENGTH", Store, GL_UNPACK_ROW_LENGTH, 7 },
	{ "GL_PACK_SWAP_BYTES", Store, GL_PACK_SWAP_BYTES, 1 },
	{ "GL_UNPACK_SWAP_BYTES", Store, GL_UNPACK_SWAP_BYTES, 1 },
	{ "GL_PACK_LSB_FIRST", Store, GL_PACK_LSB_FIRST, 1 },
	{ "GL_UNPACK_LSB_FIRST", Store, GL_UNPACK_LSB_FIRST, 1 },
	{ "GL_PACK_IMAGE_HEIGHT", Store, GL_PACK_IMAGE_HEIGHT, 7 },
	{ "GL_UNPACK_IMAGE_HEIGHT", Store, GL_UNPACK_IMAGE_HEIGHT, 7 },
	{ "GL_PACK_SKIP_ROWS", Store, GL_PACK_SKIP_ROWS, 1 },
	{ "GL_UNPACK_SKIP_ROWS", Store, GL_UNPACK_SKIP_ROWS, 1 },
	{ "GL_PACK_SKIP_PIXELS", Store, GL_PACK_SKIP_PIXELS, 1 },
	{ "GL_UNPACK_SKIP_PIXELS", Store, GL_UNPACK_SKIP_PIXELS, 1 },
	{ "GL_PACK_SKIP_IMAGES", Store, GL_PACK_SKIP_IMAGES, 1 },
	{ "GL_UNPACK_SKIP_IMAGES", Store, GL_UNPACK_SKIP_IMAGES, 1 },
};
}

GLuint StateObjects::Texture( GLenum target )
{
	int i = 0;
	while( i < kTextureTargets - 1 && targets[ i ] && targets[ i ] != target )
		++i;
	targets[ i ] = target;
	return Made( textures[ i ], glGenTextures );
}

GLuint StateObjects::Program()
{
	if( !program )
		program = LinkedProgram( "#version 410 core\nvoid main() { gl_Position = vec4( 0.0 ); }\n",
		                         "#version 410 core\nout vec4 colour;\nvoid main() { colour = vec4( 0.0 ); }\n" );
	return program;
}

void StateObjects::Release()
{
	glDeleteTextures( kTextureTargets, textures );
	glDeleteBuffers( 1, &buffer );
	glDeleteRenderbuffers( 1, &renderbuffer );
	glDeleteVertexArrays( 1, &vertexArray );
	glDeleteProgram( program );
	glDeleteSamplers( 1, &sampler );
	glDeleteProgramPipelines( 1, &pipeline );
	glDeleteTransformFeedbacks( 1, &feedback );
	*this = StateObjects();
}

bool LeaveStateChanged( const char* item, const StateFrame& frame, StateObjects& objects )
{
	for( const Row& row : kRows )
		if( std::strcmp( row.item, item ) == 0 )
		{
			row.leave( { frame, objects, row.what, row.value } );
			return true;
		}
	return false;
}
}
