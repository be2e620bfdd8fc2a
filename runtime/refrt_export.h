#pragma once
// Marks the reference runtime's exports; everything else stays inside its library.
#if defined( _WIN32 )
#define REFRT_EXPORT __declspec( dllexport )
#define REFRT_IMPORT __declspec( dllimport )
#elif defined( __GNUC__ )
#define REFRT_EXPORT __attribute__( ( visibility( "default" ) ) )
#define REFRT_IMPORT __attribute__( ( visibility( "default" ) ) )
#else
#define REFRT_EXPORT
#define REFRT_IMPORT
#endif
