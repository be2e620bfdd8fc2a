#include "tests/support/test_process.h"

#include "host/core/output_file.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h> // dup, dup2: MinGW-w64 has them too

std::string ExecutableDirectory()
{
	const std::string path = ffglhost::ExecutablePath();
	const size_t slash     = path.find_last_of( "/\\" );
	return slash == std::string::npos ? std::string( "." ) : path.substr( 0, slash );
}

std::string JoinPath( const std::string& a, const std::string& b )
{
	if( a.empty() )
		return b;
	if( a.back() == '/' || a.back() == '\\' )
		return a + b;
	return a + PathSeparator() + b;
}

std::string NativePath( const std::string& path )
{
	std::string out = path;
	for( char& c : out )
		if( c == '/' || c == '\\' )
			c = PathSeparator();
	return out;
}

int RuntimeLiveObjects()
{
	void* library = FindLoadedLibrary( kImageFile.c_str() );
	auto live     = DynamicLibraryFunction< int ( * )() >( library, "RefRt_LiveObjects" );
	return live ? live() : -1;
}

std::string Hex( const void* pointer )
{
	if( !pointer )
		return "null";
	char text[ 32 ];
	std::snprintf( text, sizeof( text ), "0x%llx",
	               static_cast< unsigned long long >( reinterpret_cast< uintptr_t >( pointer ) ) );
	return text;
}

std::string ReadFile( const std::string& path )
{
	std::ifstream in( path, std::ios::binary );
	std::ostringstream out;
	out << in.rdbuf();
	return out.str();
}

bool WriteFile( const std::string& path, const std::string& bytes )
{
	std::string error;
	return ffglhost::WriteWholeFile( path, bytes, &error );
}

bool FileExists( const std::string& path )
{
	std::error_code ec;
	return std::filesystem::exists( path, ec );
}

void RemoveFile( const std::string& path )
{
	std::error_code ec;
	std::filesystem::remove( path, ec );
}

bool MakeDirectories( const std::string& path )
{
	std::error_code ec;
	std::filesystem::create_directories( NativePath( path ), ec );
	return std::filesystem::is_directory( NativePath( path ), ec );
}

bool PlaceInferenceLibrary( const std::string& built, const std::string& folder )
{
	const char* const notices = "THIRD_PARTY_NOTICES.txt";
	return CopyFileTo( JoinPath( built, kInferenceLibraryFile ), JoinPath( folder, kInferenceLibraryFile ) ) &&
	       CopyFileTo( JoinPath( built, notices ), JoinPath( folder, notices ) );
}

bool CopyFileTo( const std::string& from, const std::string& to )
{
	std::ifstream in( from, std::ios::binary );
	if( !in )
		return false;
	std::ofstream out( to, std::ios::binary | std::ios::trunc );
	out << in.rdbuf();
	return static_cast< bool >( out );
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
