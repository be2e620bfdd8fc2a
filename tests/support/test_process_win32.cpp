#include "tests/support/test_process.h"

char PathSeparator()
{
	return '\\';
}

const char* const kInferenceLibraryFile = "onnxruntime.dll";

bool PathsBeyondWindowsLimitHoldFiles()
{
	return false;
}
