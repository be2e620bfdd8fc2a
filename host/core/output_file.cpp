#include "host/core/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace ffglhost
{
namespace
{
std::string Reason( int number )
{
	return number ? std::strerror( number ) : "the write failed";
}

// Opens the file to append and closes it again, removing it when it did not exist; 0, or errno.
int TryAppend( const std::string& path )
{
	std::error_code ec;
	const bool existed = std::filesystem::exists( path, ec );
	errno              = 0;
	FILE* file         = std::fopen( path.c_str(), "ab" );
	if( !file )
		return errno ? errno : EIO;
	std::fclose( file );
	if( !existed )
		std::filesystem::remove( path, ec );
	return 0;
}
}

bool WriteWholeFile( const std::string& path, const std::string& bytes, std::string* error )
{
	errno      = 0;
	FILE* file = std::fopen( path.c_str(), "wb" );
	if( !file )
	{
		*error = "cannot write " + path + ": " + Reason( errno );
		return false;
	}
	const bool written = std::fwrite( bytes.data(), 1, bytes.size(), file ) == bytes.size();
	const int number   = errno;
	// A full disk may show only when the buffer is flushed at the close.
	const bool closed = std::fclose( file ) == 0;
	if( !written || !closed )
	{
		*error = "cannot write " + path + ": " + Reason( written ? errno : number );
		return false;
	}
	return true;
}

bool CanWriteFile( const std::string& path, std::string* error )
{
	const int number = TryAppend( path );
	if( number )
		*error = "cannot write " + path + ": " + Reason( number );
	return number == 0;
}

bool PrepareOutputFolder( const std::string& folder, std::string* error )
{
	std::error_code ec;
	if( !std::filesystem::create_directories( folder, ec ) && ec )
	{
		*error = "cannot create the folder " + folder + ": " + ec.message();
		return false;
	}
	const int number = TryAppend( ( std::filesystem::path( folder ) / ".ffglhost-write-test" ).string() );
	if( number )
		*error = "cannot write into the folder " + folder + ": " + Reason( number );
	return number == 0;
}
}
