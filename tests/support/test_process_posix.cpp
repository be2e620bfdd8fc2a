#include "tests/support/test_process.h"

#include <cstdio>
#include <unistd.h>

char PathSeparator()
{
	return '/';
}

const char* const kInferenceLibraryFile = "libonnxruntime.so.1";

bool PathsBeyondWindowsLimitHoldFiles()
{
	return true;
}

void StdoutCapture::Start()
{
	fflush( stdout );
	static int counter = 0;
	path               = JoinPath( ExecutableDirectory(), "stdout_capture_" + std::to_string( ++counter ) + ".txt" );
	savedFd            = dup( 1 );
	FILE* f            = fopen( path.c_str(), "wb" );
	dup2( fileno( f ), 1 );
	fclose( f );
}

std::string StdoutCapture::Stop()
{
	fflush( stdout );
	dup2( savedFd, 1 );
	close( savedFd );
	savedFd          = -1;
	std::string text = ReadFile( path );
	RemoveFile( path );
	return text;
}
