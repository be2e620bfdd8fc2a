#pragma once
// Marks what a plug-in library exports. Everything else stays inside it (hidden visibility on
// Linux), so our forwarding functions never interpose on a runtime's symbols of the same names.
#if defined( _WIN32 )
#define FFGL_EXPORT __declspec( dllexport )
#elif defined( __GNUC__ )
#define FFGL_EXPORT __attribute__( ( visibility( "default" ) ) )
#else
#define FFGL_EXPORT
#endif
