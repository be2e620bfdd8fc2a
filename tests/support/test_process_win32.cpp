#include "tests/support/test_process.h"

#include <cstdio>
#include <io.h>

char PathSeparator()
{
	return '\\';
}

const char* const kInferenceLibraryFile = "onnxruntime.dll";

bool PathsBeyondWindowsLimitHoldFiles()
{
	return false;
}

void StdoutCapture::Start()
{
	fflush( stdout );
	static int counter = 0;
	path               = JoinPath( ExecutableDirectory(), "stdout_capture_" + std::to_string( ++counter ) + ".txt" );
	savedFd            = _dup( 1 );
	FILE* f            = fopen( path.c_str(), "wb" );
	_dup2( _fileno( f ), 1 );
	fclose( f );
}

std::string StdoutCapture::Stop()
{
	fflush( stdout );
	_dup2( savedFd, 1 );
	_close( savedFd );
	savedFd          = -1;
	std::string text = ReadFile( path );
	RemoveFile( path );
	return text;
}
