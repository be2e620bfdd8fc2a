#include "tests/support/test_process.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>
#endif

void SetEnv( const char* name, const char* value )
{
#ifdef _WIN32
	SetEnvironmentVariableA( name, value );
	_putenv_s( name, value ? value : "" );
#else
	if( value )
		setenv( name, value, 1 );
	else
		unsetenv( name );
#endif
}

static char Separator()
{
#ifdef _WIN32
	return '\\';
#else
	return '/';
#endif
}

std::string ExecutableDirectory()
{
	char buffer[ 4096 ] = {};
#ifdef _WIN32
	GetModuleFileNameA( nullptr, buffer, sizeof( buffer ) - 1 );
#else
	ssize_t n = readlink( "/proc/self/exe", buffer, sizeof( buffer ) - 1 );
	if( n > 0 )
		buffer[ n ] = 0;
#endif
	std::string path( buffer );
	size_t slash = path.find_last_of( "/\\" );
	return slash == std::string::npos ? std::string( "." ) : path.substr( 0, slash );
}

std::string JoinPath( const std::string& a, const std::string& b )
{
	if( a.empty() )
		return b;
	if( a.back() == '/' || a.back() == '\\' )
		return a + b;
	return a + Separator() + b;
}

std::string NativePath( const std::string& path )
{
	std::string out = path;
	for( char& c : out )
		if( c == '/' || c == '\\' )
			c = Separator();
	return out;
}

void* OpenLibrary( const std::string& path )
{
#ifdef _WIN32
	return reinterpret_cast< void* >( LoadLibraryA( path.c_str() ) );
#else
	return dlopen( path.c_str(), RTLD_NOW | RTLD_LOCAL );
#endif
}

void* FindLoadedLibrary( const char* fileName )
{
#ifdef _WIN32
	return reinterpret_cast< void* >( GetModuleHandleA( fileName ) );
#else
	return dlopen( fileName, RTLD_NOW | RTLD_NOLOAD );
#endif
}

void* LibrarySymbol( void* library, const char* name )
{
	if( !library )
		return nullptr;
#ifdef _WIN32
	return reinterpret_cast< void* >( GetProcAddress( reinterpret_cast< HMODULE >( library ), name ) );
#else
	return dlsym( library, name );
#endif
}

int RuntimeLiveObjects()
{
#ifdef _WIN32
	void* library = FindLoadedLibrary( "NVCVImage.dll" );
#else
	void* library = FindLoadedLibrary( "libNVCVImage.so" );
#endif
	auto live = LibraryFunction< int ( * )() >( library, "RefRt_LiveObjects" );
	return live ? live() : -1;
}

std::string ReadFile( const std::string& path )
{
	std::ifstream in( path, std::ios::binary );
	std::ostringstream out;
	out << in.rdbuf();
	return out.str();
}

bool FileExists( const std::string& path )
{
	struct stat st;
	return stat( path.c_str(), &st ) == 0;
}

void RemoveFile( const std::string& path )
{
	std::remove( path.c_str() );
}

bool MakeDirectories( const std::string& path )
{
	std::string native = NativePath( path );
	for( size_t i = 1; i <= native.size(); ++i )
	{
		if( i == native.size() || native[ i ] == Separator() )
		{
			std::string part = native.substr( 0, i );
			if( part.empty() || ( part.size() == 2 && part[ 1 ] == ':' ) )
				continue;
#ifdef _WIN32
			_mkdir( part.c_str() );
#else
			mkdir( part.c_str(), 0755 );
#endif
		}
	}
	struct stat st;
	return stat( native.c_str(), &st ) == 0;
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
	path = JoinPath( ExecutableDirectory(), "stdout_capture_" + std::to_string( ++counter ) + ".txt" );
#ifdef _WIN32
	savedFd = _dup( 1 );
	FILE* f = fopen( path.c_str(), "wb" );
	_dup2( _fileno( f ), 1 );
	fclose( f );
#else
	savedFd = dup( 1 );
	FILE* f = fopen( path.c_str(), "wb" );
	dup2( fileno( f ), 1 );
	fclose( f );
#endif
}

std::string StdoutCapture::Stop()
{
	fflush( stdout );
#ifdef _WIN32
	_dup2( savedFd, 1 );
	_close( savedFd );
#else
	dup2( savedFd, 1 );
	close( savedFd );
#endif
	savedFd          = -1;
	std::string text = ReadFile( path );
	RemoveFile( path );
	return text;
}
