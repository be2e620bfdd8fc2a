#pragma once
// What tests need of the process they run in, the same on Linux and under Wine: environment
// variables, the executable's folder, libraries loaded the way a host loads them, captured stdout.
#include <string>

// Sets (value non-null) or removes (value null) a variable in the process environment, so that both
// getenv and GetEnvironmentVariableA see it.
void SetEnv( const char* name, const char* value );

// The folder of the running test executable, native form, without a trailing separator.
std::string ExecutableDirectory();

// Joins path parts with the native separator ('\' on Windows, '/' elsewhere).
std::string JoinPath( const std::string& a, const std::string& b );

// The native form of a path written with '/' (backslashes on Windows).
std::string NativePath( const std::string& path );

// Loads a library by file path (dlopen RTLD_NOW | RTLD_LOCAL, or LoadLibraryA); null on failure.
void* OpenLibrary( const std::string& path );
// The library with that bare file name if this process has it loaded already, else null.
void* FindLoadedLibrary( const char* fileName );
void* LibrarySymbol( void* library, const char* name );

template< typename Fn >
Fn LibraryFunction( void* library, const char* name )
{
	return reinterpret_cast< Fn >( LibrarySymbol( library, name ) );
}

// Live objects of the reference runtime (effects, streams, owned buffers), or -1 when the
// runtime's image library is not loaded in this process.
int RuntimeLiveObjects();

// Whole content of a text file; empty when it cannot be read.
std::string ReadFile( const std::string& path );
bool FileExists( const std::string& path );
void RemoveFile( const std::string& path );
// Creates a directory and its parents; true when it exists afterwards.
bool MakeDirectories( const std::string& path );
// Copies a file, replacing the target.
bool CopyFileTo( const std::string& from, const std::string& to );

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
