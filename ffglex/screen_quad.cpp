#include "ffglex/screen_quad.h"

#include "ffglex/scoped_bindings.h"

#include <cstdint>

namespace ffglex
{
// u, v, x, y, z per vertex; triangles top-left, top-right, bottom-left and bottom-left, top-right,
// bottom-right.
static const float kVertices[ 30 ] = {
	0.f, 1.f, -1.f, 1.f,  0.f, 1.f, 1.f, 1.f, 1.f, 0.f, 0.f, 0.f, -1.f, -1.f, 0.f,
	0.f, 0.f, -1.f, -1.f, 0.f, 1.f, 1.f, 1.f, 1.f, 0.f, 1.f, 0.f, 1.f,  -1.f, 0.f,
};

// The same with v mirrored: the top edge samples v = 0.
static const float kVerticesFlipV[ 30 ] = {
	0.f, 0.f, -1.f, 1.f,  0.f, 1.f, 0.f, 1.f, 1.f, 0.f, 0.f, 1.f, -1.f, -1.f, 0.f,
	0.f, 1.f, -1.f, -1.f, 0.f, 1.f, 0.f, 1.f, 1.f, 0.f, 1.f, 1.f, 1.f,  -1.f, 0.f,
};

static const GLsizei kVertexStride     = 5 * sizeof( float );
static const uintptr_t kUvOffset       = 0;
static const uintptr_t kPositionOffset = 2 * sizeof( float );

bool ScreenQuad::Initialise( bool flipV )
{
	// Building twice without Release would otherwise leak the first pair of objects.
	if( vertexArray || vertexBuffer )
		Release();

	glGenVertexArrays( 1, &vertexArray );
	glGenBuffers( 1, &vertexBuffer );
	if( vertexArray == 0 || vertexBuffer == 0 )
	{
		glDeleteBuffers( 1, &vertexBuffer );
		vertexBuffer = 0;
		glDeleteVertexArrays( 1, &vertexArray );
		vertexArray = 0;
		return false;
	}

	ScopedVertexArrayBinding vertexArrayBinding( vertexArray );
	ScopedVBOBinding vertexBufferBinding( vertexBuffer );
	glBufferData( GL_ARRAY_BUFFER, sizeof( kVertices ), flipV ? kVerticesFlipV : kVertices, GL_STATIC_DRAW );
	glEnableVertexAttribArray( 0 );
	glVertexAttribPointer( 0, 3, GL_FLOAT, GL_FALSE, kVertexStride,
	                       reinterpret_cast< const void* >( kPositionOffset ) );
	glEnableVertexAttribArray( 1 );
	glVertexAttribPointer( 1, 2, GL_FLOAT, GL_FALSE, kVertexStride, reinterpret_cast< const void* >( kUvOffset ) );
	return true;
}

void ScreenQuad::Draw()
{
	if( vertexArray == 0 || vertexBuffer == 0 )
		return;
	ScopedVertexArrayBinding vertexArrayBinding( vertexArray );
	glDrawArrays( GL_TRIANGLES, 0, 6 );
}

void ScreenQuad::Release()
{
	// Both calls are made even for name 0, which GL ignores.
	glDeleteBuffers( 1, &vertexBuffer );
	vertexBuffer = 0;
	glDeleteVertexArrays( 1, &vertexArray );
	vertexArray = 0;
}
}
