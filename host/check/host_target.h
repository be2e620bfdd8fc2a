#pragma once
// The host's side of a frame in the validator: an input texture that may be larger than its picture
// (the padding a loud colour), a HostFBO of its own size cleared to a colour no premultiplied effect can
// draw, a viewport inside it, and what the plug-in drew there, read back. Needs a current GL context.
#include "host/check/frame_output.h"
#include "host/check/gl_names.h"
#include "host/check/gl_state.h"
#include "host/core/picture.h"

#include <GL/glew.h>

#include <string>

namespace ffglhost
{
// "; the padding colour (255, 0, 255, 255) shows in 180 pixels, first at (319, 0)", or empty when the
// colour that fills an input texture beyond its picture is nowhere in the picture drawn.
std::string PaddingShows( const Picture& drawn );
// Near the padding colour, as an effect that changes colours a little (grain) would draw it.
bool NearPaddingColour( const uint8_t* pixel );
// Pixels near it that an effect's own drawing may hold by chance.
const size_t kPaddingPixelsTolerated = 16;

class HostTarget
{
public:
	HostTarget()                               = default;
	HostTarget( const HostTarget& )            = delete;
	HostTarget& operator=( const HostTarget& ) = delete;

	// A few framebuffers made first, so that HostFBO is not the first name, and one with stencil bits.
	void Start();
	// Deletes every GL object made here.
	void Release();
	bool Prepared() const { return framebuffer != 0; }

	// The texture and HostFBO at the layout's sizes (made anew when a size changes), the viewport set.
	void Prepare( const FrameLayout& layout );
	// The picture into the texture at (0, 0), the padding around it loud.
	void Upload( const FrameLayout& layout, const Picture& picture );
	// All of HostFBO to the host's clear colour.
	void Clear();
	// HostFBO read back and inspected.
	void Read( const FrameLayout& layout, FrameOutput& output );

	GLuint Framebuffer() const { return framebuffer; }
	GLuint InputTexture() const { return inputTexture; }
	int TextureWidth() const { return textureWidth; }
	int TextureHeight() const { return textureHeight; }
	const GLViewport& Viewport() const { return viewport; }
	// HostFBO and the textures the host set up, whose state a plug-in must leave as it was.
	GLHostObjects HostObjects() const { return { framebuffer, inputTexture, targetTexture, stencilFramebuffer }; }
	// The names that are the host's own, for the census of what a plug-in left behind.
	GLNameCensus OwnNames() const;

private:
	GLuint spareFramebuffers[ 3 ] = {};
	GLuint stencilFramebuffer = 0, stencilBuffer = 0; // to read the stencil references with
	GLuint inputTexture = 0, targetTexture = 0, framebuffer = 0;
	int textureWidth = 0, textureHeight = 0, targetWidth = 0, targetHeight = 0;
	GLViewport viewport = { 0, 0, 1, 1 };
	Picture staging;
};
}
