#pragma once
#include <GL/glew.h>

namespace ffglex
{
// Two clockwise triangles covering clip space, texture coordinate (attribute 1) then position
// (attribute 0). No GL call in construction or destruction: the owner calls Release.
class ScreenQuad
{
public:
	ScreenQuad() = default;

	ScreenQuad( const ScreenQuad& )            = delete;
	ScreenQuad& operator=( const ScreenQuad& ) = delete;
	ScreenQuad( ScreenQuad&& )                 = delete;
	ScreenQuad& operator=( ScreenQuad&& )      = delete;

	// Builds the vertex array and buffer; flipV puts v = 0 on the top edge instead of v = 1.
	// Leaves GL_ARRAY_BUFFER and the vertex array binding at 0. A quad already built is released first.
	bool Initialise( bool flipV );
	// Draws the six vertices with whatever program, textures and state the caller has in force.
	void Draw();
	void Release();

private:
	GLuint vertexArray  = 0;
	GLuint vertexBuffer = 0;
};
}
