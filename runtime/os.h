#pragma once
// What the reference runtime asks of the operating system, one source per OS behind it
// (os_posix.cpp, os_win32.cpp): whether the model folder exists and the value of a variable.
namespace refrt
{
// Whether the effect's model folder exists (on Linux a Windows-style path reads '\' as '/').
bool ModelFolderExists( const char* path );

// Copies the variable's value into buffer and answers true when it is set, not empty and fits in
// size bytes with its terminator; otherwise buffer holds the empty text. On Windows the process
// block is read (GetEnvironmentVariableA): a test sets its variables in-process just before the load.
bool ReadVariable( const char* name, char* buffer, unsigned size );
}
