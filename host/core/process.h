#pragma once
// What ffglhost and the tests need of their own process and of the processes they start: the
// environment, the executable's path, the terminal, child processes, and what the process holds
// (memory, threads, handles). process_posix.cpp and process_win32.cpp hold the two implementations.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace ffglhost
{
// Sets a variable (or removes it, value null) so that both getenv and GetEnvironmentVariableA see it:
// a plug-in loaded afterwards reads it.
void SetEnvironmentValue( const char* name, const char* value );

// The running executable's full path; empty when it cannot be found.
std::string ExecutablePath();

bool IsTerminal( FILE* stream );

// How a child process ended.
struct ProcessResult
{
	bool started = false;
	std::string failure;  // when it did not start: the system's reason (no path)
	int exitCode = 0;     // when it exited
	bool crashed = false; // ended by a signal or an unhandled exception instead
	std::string crash;    // "signal 11 (Segmentation fault)", "exception 0xc0000005"
	std::string output;   // everything it wrote to standard output
};

// A child's output as lines, without their line ends (LF or CR LF).
std::vector< std::string > OutputLines( const std::string& output );

// Starts arguments[ 0 ] with the rest as its arguments (each passed as one argument, whatever it
// holds), waits for it and collects its standard output; its standard error goes to ours.
ProcessResult RunProcess( const std::vector< std::string >& arguments );
// The same, but each line of its standard output (without its line end) goes to onLine as soon as the
// child has written it, and result.output stays empty.
ProcessResult RunProcess( const std::vector< std::string >& arguments,
                          const std::function< void( const std::string& line ) >& onLine );
// RunProcess's two halves that differ per OS: the child started with its standard output on a pipe
// to read (through sh on Linux; directly, with no shell between, on Windows); and its end.
struct ChildProcess
{
	FILE* output  = nullptr;
	void* process = nullptr; // Windows: the process handle to wait on
};
bool StartChildProcess( const std::vector< std::string >& arguments, ChildProcess* child, std::string* error );
void EndChildProcess( ChildProcess& child, ProcessResult* result );

// What the process holds now: resident memory in bytes, threads, open handles (file descriptors on
// Linux). -1 for what cannot be read.
long ResidentBytes();
int ThreadCount();
int OpenHandleCount();
}
