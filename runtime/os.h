#pragma once
// What the reference runtime asks of the operating system, one source per OS behind it
// (os_posix.cpp, os_win32.cpp): folders and files, variables, and a library found beside this one.
#include <cstddef>
#include <string>

namespace refrt
{
// Whether the effect's model folder exists (on Linux a Windows-style path reads '\' as '/').
bool ModelFolderExists( const char* path );

// Whether folder/file is a file, read the way ModelFolderExists reads the folder.
bool ModelFileExists( const char* folder, const char* file );

// folder/file in the form ONNX Runtime's CreateSession takes (wide text on Windows), written into
// buffer of the given bytes; false when it does not fit.
bool InferencePath( const char* folder, const char* file, void* buffer, size_t bytes );

// Copies the variable's value into buffer and answers true when it is set, not empty and fits in
// size bytes with its terminator; otherwise buffer holds the empty text. On Windows the process
// block is read (GetEnvironmentVariableA): a test sets its variables in-process just before the load.
bool ReadVariable( const char* name, char* buffer, unsigned size );

// ONNX Runtime's library file: libonnxruntime.so.1, onnxruntime.dll.
extern const char* const kInferenceLibraryFile;

// Loads a library from the folder this runtime library was loaded from, never from elsewhere (it is
// never unloaded). Null when it cannot be loaded, with "cannot load PATH: " and the loader's reason in *error.
void* LoadLibraryBesideSelf( const char* file, std::string* error );

// An export of a library LoadLibraryBesideSelf loaded, or null.
void* LibraryExport( void* library, const char* name );
}
