#pragma once
// The test plug-ins' HOST_TEST_PLUGIN_GRAIN and CORRECT_PLUGIN_GRAIN switches: film grain over what a
// frame drew, its gain varying by a few per cent from frame to frame and its pattern from run to run,
// as grain effects draw it. It only darkens colour (alpha stays), so premultiplied colour stays
// premultiplied, and it touches only the rectangle drawn, so pixels left undrawn stay so.
#include <GL/glew.h>

namespace testplugin
{
class Grain
{
public:
	// Over x, y, w, h of the framebuffer bound for drawing; GL state back at the host's defaults after.
	void Draw( GLint x, GLint y, GLsizei w, GLsizei h );
	void Release();

private:
	GLuint program = 0, vertexArray = 0;
	GLint gainAt = -1, seedAt = -1;
};
}
