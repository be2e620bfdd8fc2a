#pragma once
// The plug-in's two outlets for text: the host's log callback and the debug line.
#include "ffgl/export.h"

typedef void ( *FFGLLogCallback )( const char* text );

// Installs the host's callback (null switches host logging off). Exported undecorated.
extern "C" FFGL_EXPORT void SetLogCallback( FFGLLogCallback callback );

// Hands one finished line, without trailing newline, to the host's callback, if one is installed.
void LogToHost( const char* text );

// Writes a line to the platform debug output and to standard output.
void DebugLine( const char* text );
// The same with a prefix joined in front ("Vertex Shader error: " + log).
void DebugLine( const char* prefix, const char* text );
