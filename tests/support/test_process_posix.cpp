#include "tests/support/test_process.h"

char PathSeparator()
{
	return '/';
}

const char* const kInferenceLibraryFile = "libonnxruntime.so.1";

bool PathsBeyondWindowsLimitHoldFiles()
{
	return true;
}
