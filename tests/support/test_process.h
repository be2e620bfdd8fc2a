#pragma once
// What tests need of the process they run in, the same on Linux and under Wine: the executable's
// folder, paths, files and captured stdout. Environment variables and libraries go through the host's
// own services (host/core/process.h, host/core/dynamic_library.h), as ffglhost uses them.
#include "host/core/dynamic_library.h"
#include "host/core/process.h"

#include <string>

using ffglhost::DynamicLibraryFileName;
using ffglhost::DynamicLibraryFunction;
using ffglhost::FindLoadedLibrary;
using ffglhost::LoadDynamicLibrary;
using ffglhost::SetEnvironmentValue;

// The folder of the running test executable, native form, without a trailing separator.
std::string ExecutableDirectory();

// Joins path parts with the native separator ('\' on Windows, '/' elsewhere).
std::string JoinPath( const std::string& a, const std::string& b );

// The native form of a path written with '/' (backslashes on Windows).
std::string NativePath( const std::string& path );

// Live objects of the reference runtime (effects, streams, owned buffers), or -1 when the
// runtime's image library is not loaded in this process.
int RuntimeLiveObjects();

// A pointer as the reference runtime's call log writes it: 0x + lower-case hex, or null.
std::string Hex( const void* pointer );

// Whole content of a file; empty when it cannot be read.
std::string ReadFile( const std::string& path );
// Writes bytes as the whole file; true when all were written.
bool WriteFile( const std::string& path, const std::string& bytes );
bool FileExists( const std::string& path );
void RemoveFile( const std::string& path );
// Creates a directory and its parents; true when it exists afterwards.
bool MakeDirectories( const std::string& path );
// Copies a file, replacing the target.
bool CopyFileTo( const std::string& from, const std::string& to );

// The reference runtime's two library files (libNVCVImage.so, NVCVImage.dll ...).
inline const std::string kImageFile   = DynamicLibraryFileName( "NVCVImage" );
inline const std::string kEffectsFile = DynamicLibraryFileName( "NVVideoEffects" );

// ONNX Runtime's library file, which lies beside the reference runtime (libonnxruntime.so.1,
// onnxruntime.dll).
extern const char* const kInferenceLibraryFile;
// Copies ONNX Runtime's library and the third-party notices from a laid-out runtime folder (refrt/)
// to another folder that gets the runtime.
bool PlaceInferenceLibrary( const std::string& built, const std::string& folder );

// Captures what the process writes to its standard output between Start and Stop.
class StdoutCapture
{
public:
	void Start();
	std::string Stop();

private:
	int savedFd = -1;
	std::string path;
};

// The native path separator.
char PathSeparator();
// Whether a file can be made in a folder whose path exceeds Windows' 260-character limit.
bool PathsBeyondWindowsLimitHoldFiles();
