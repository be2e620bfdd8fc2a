#pragma once
// The one place the version is written. The plug-in's registration and its creation line, ffglhost,
// the Windows version resources and the release archive's name are all built from these two numbers
// (CMake reads them from this file).
#define UMBRAFEX_VERSION_MAJOR 1
#define UMBRAFEX_VERSION_MINOR 1

#define UMBRAFEX_STRINGIFY_( x ) #x
#define UMBRAFEX_STRINGIFY( x ) UMBRAFEX_STRINGIFY_( x )
// "1.1"
#define UMBRAFEX_VERSION_TEXT                                                                                          \
	UMBRAFEX_STRINGIFY( UMBRAFEX_VERSION_MAJOR ) "." UMBRAFEX_STRINGIFY( UMBRAFEX_VERSION_MINOR )
