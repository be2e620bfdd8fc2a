#pragma once
// The background-removal effect: one input texture, four parameters, and per instance a segmentation
// engine (NVIDIA "GreenScreen" on its own stream, images, textures, framebuffers, pack buffers).
#include "ffgl/plugin.h"
#include "ffglex/screen_quad.h"
#include "ffglex/shader_program.h"
#include "nvidia/nvcv_image.h"
#include "nvidia/nvcv_types.h"

#include <GL/glew.h>

#include <cstddef>
#include <cstdint>
#include <memory>

class Umbrafex : public CFFGLPlugin
{
public:
	Umbrafex();
	~Umbrafex() override;

	Umbrafex( const Umbrafex& )            = delete;
	Umbrafex& operator=( const Umbrafex& ) = delete;

	FFResult InitGL( const FFGLViewportStruct* vp ) override;
	FFResult DeInitGL() override;
	FFResult SetFloatParameter( uint32_t index, float value ) override;
	float GetFloatParameter( uint32_t index ) override;
	FFResult ProcessOpenGL( ProcessOpenGLStruct* pGL ) override;

private:
	// Longest model directory: a root of 1023 characters, "\models" and the terminator.
	static const size_t kModelDirectorySize = 1023 + 7 + 1;

	// Builds everything for an input of that size; on false the caller releases what was made.
	bool SetupEngine( int32_t width, int32_t height );
	// Safe on a partly built or never built engine.
	void ReleaseEngine();
	// NV_VIDEO_EFFECTS_PATH (or the vendor's default folder) followed by "\models", written to buffer.
	const char* ModelDirectory( char ( &buffer )[ kModelDirectorySize ] ) const;

	// Blits the input to the work size and queues its read-back into this frame's pack buffer.
	void QueueReadback( const FFGLTextureStruct& input, GLuint hostFramebuffer );
	// Runs the previous frame's read-back through the engine; true when a new matte was uploaded.
	bool ConsumeReadback();
	void Draw( const FFGLTextureStruct& input, bool matteReady );

	ffglex::ShaderProgram shader;
	ffglex::ScreenQuad quad;
	GLuint maskTexture       = 0;
	GLuint inputFramebuffer  = 0;
	GLuint scaledFramebuffer = 0;
	GLuint scaledTexture     = 0;
	GLuint packBuffers[ 2 ]  = { 0, 0 };
	int32_t packIndex        = 0;
	bool readbackPending     = false;
	int32_t sourceWidth      = 0;
	int32_t sourceHeight     = 0;
	int32_t workWidth        = 0;
	int32_t workHeight       = 0;
	NvVFX_Handle effect      = nullptr;
	CUstream_st* stream      = nullptr;
	NvCVImage srcImage;
	NvCVImage dstImage;
	NvCVImage maskImage;
	NvCVImage tmpImage;
	bool ready            = false;
	bool setupFailed      = false;
	bool rebuildRequested = false;
	// A plain owned array: std::vector's out-of-line members would leave the library as exports.
	std::unique_ptr< uint8_t[] > history;
	size_t historySize = 0;
	float quality      = 1.0f;
	float showMask     = 0.0f;
	float stability    = 0.5f;
	float edgeHard     = 0.5f;
};
