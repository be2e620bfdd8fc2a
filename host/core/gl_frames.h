#pragma once
// The host's GL side of a frame: the input texture a picture is uploaded to, the framebuffer the
// plug-in draws into (HostFBO) and the read-back of what it drew. Plain struct, explicit lifetime:
// CreateGLFrames and ReleaseGLFrames with the host's context current.
#include "host/core/gl_context.h"
#include "host/core/picture.h"

#include <GL/glew.h>

#include <string>

namespace ffglhost
{
// Makes the 4.1 core context current and initialises GLEW for the host's own calls.
bool StartHostGL( GLContext& context, std::string* error );

// The largest width and height a frame may have here: texture, viewport and renderbuffer limits.
int MaxFrameSize();

struct GLFrames
{
	GLuint inputTexture  = 0; // GL_RGBA8, the picture, rows bottom first as GL expects
	GLuint outputTexture = 0; // GL_RGBA8, colour attachment of framebuffer
	GLuint framebuffer   = 0; // handed to the plug-in as HostFBO
	int width            = 0;
	int height           = 0;
	Picture staging; // rows flipped between picture order and GL order
};

// A GL_RGBA8 texture of w x h holding rgba (rows bottom first) or, with null, no content; filtered as
// asked, clamped to its edges; the active unit's GL_TEXTURE_2D binding is left at 0.
GLuint MakeRGBA8Texture( int w, int h, const uint8_t* rgba = nullptr, GLint filter = GL_LINEAR );

// Both textures and the framebuffer at w x h; false with *error when the framebuffer is incomplete.
bool CreateGLFrames( GLFrames& frames, int w, int h, std::string* error );
void ReleaseGLFrames( GLFrames& frames );

// Uploads a picture of the frames' size (rows top first) to inputTexture.
void UploadInput( GLFrames& frames, const Picture& picture );

// Binds framebuffer for drawing, sets the viewport to the frame and clears it to transparent black:
// the state a host hands the plug-in with FF_PROCESS_OPENGL.
void PrepareOutput( GLFrames& frames );

// Reads framebuffer back into picture, rows top first (premultiplied, as drawn).
void ReadOutput( GLFrames& frames, Picture& picture );
}
