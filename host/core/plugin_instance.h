#pragma once
// One GL instance of a plug-in, driven as a host drives it: made with FF_INSTANTIATE_GL for a
// viewport and told who its host is, given parameters and frames, and ended with
// FF_DEINSTANTIATE_GL. Every call needs the host's GL context current.
#include "host/core/plugin_library.h"

#include <GL/glew.h>

#include <string>

namespace ffglhost
{
// FF_INITIALISE_V2, before the first instance; FF_DEINITIALISE after the last.
bool InitialisePlugin( const PluginLibrary& library, std::string* error );
void DeinitialisePlugin( const PluginLibrary& library );

class PluginInstance
{
public:
	PluginInstance()                                   = default;
	~PluginInstance()                                  = default;
	PluginInstance( const PluginInstance& )            = delete;
	PluginInstance& operator=( const PluginInstance& ) = delete;

	// FF_INSTANTIATE_GL with the viewport (0, 0, w, h), then FF_SET_HOSTINFO.
	bool Create( const PluginLibrary& library, uint32_t w, uint32_t h, std::string* error );
	// FF_DEINSTANTIATE_GL; nothing when there is no instance.
	void Destroy();
	bool IsCreated() const { return instance != nullptr; }

	// FF_SET_PARAMETER; false when the plug-in answers FF_FAIL.
	bool SetFloatParameter( uint32_t index, float value );
	bool SetTextParameter( uint32_t index, const char* text );
	// FF_GET_PARAMETER_DISPLAY: the plug-in's text for the value, or empty.
	std::string ParameterDisplay( uint32_t index );
	// FF_RESIZE with the viewport (0, 0, w, h).
	bool Resize( uint32_t w, uint32_t h );

	// FF_PROCESS_OPENGL with one input texture, drawing into hostFramebuffer (which the caller has
	// bound, with the viewport set). True when the plug-in answers FF_SUCCESS.
	bool Process( GLuint texture, uint32_t w, uint32_t h, GLuint hostFramebuffer );

private:
	const PluginLibrary* library = nullptr;
	void* instance               = nullptr;
	// The records of a frame live here, so a frame makes no allocation.
	FFGLTextureStruct inputTexture        = {};
	FFGLTextureStruct* inputTextures[ 1 ] = { nullptr };
	ProcessOpenGLStruct processRecord     = {};
};
}
