// Reads a binary's version resource through the Windows API, as Explorer's Details tab does, and
// compares it with the release's version and names.
// usage: package_version_check FILE MAJOR MINOR
//   the fixed part: file and product version MAJOR.MINOR.0.0, type DLL for a .dll, application
//   for an .exe; the texts: ProductVersion and FileVersion "MAJOR.MINOR", ProductName
//   "Umbrafex TAVLEN", OriginalFilename the file's own name, a FileDescription.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
int failures = 0;

void Expect( bool ok, const std::string& what )
{
	if( !ok )
	{
		++failures;
		std::fprintf( stderr, "FAIL: expected %s\n", what.c_str() );
	}
}

// The text VALUE of the string table the resource's first translation names, or "" when it has none.
std::string StringValue( const std::vector< char >& block, const char* name )
{
	struct Translation
	{
		WORD language, codePage;
	};
	void* found = nullptr;
	UINT size   = 0;
	if( !VerQueryValueA( block.data(), "\\VarFileInfo\\Translation", &found, &size ) || size < sizeof( Translation ) )
		return "";
	const Translation* translation = static_cast< const Translation* >( found );
	char path[ 128 ];
	std::snprintf( path, sizeof( path ), "\\StringFileInfo\\%04x%04x\\%s", translation->language, translation->codePage,
	               name );
	if( !VerQueryValueA( block.data(), path, &found, &size ) || size == 0 )
		return "";
	return static_cast< const char* >( found );
}
}

int main( int argc, char** argv )
{
	if( argc != 4 )
	{
		std::fprintf( stderr, "usage: package_version_check FILE MAJOR MINOR\n" );
		return 2;
	}
	const char* file          = argv[ 1 ];
	const WORD major          = static_cast< WORD >( std::atoi( argv[ 2 ] ) );
	const WORD minor          = static_cast< WORD >( std::atoi( argv[ 3 ] ) );
	const std::string version = std::string( argv[ 2 ] ) + "." + argv[ 3 ];
	std::string fileName      = file;
	fileName                  = fileName.substr( fileName.find_last_of( "\\/" ) + 1 );

	DWORD ignored         = 0;
	const DWORD blockSize = GetFileVersionInfoSizeA( file, &ignored );
	if( blockSize == 0 )
	{
		std::fprintf( stderr, "FAIL: %s has no version resource (error %lu)\n", file, GetLastError() );
		return 1;
	}
	std::vector< char > block( blockSize );
	if( !GetFileVersionInfoA( file, 0, blockSize, block.data() ) )
	{
		std::fprintf( stderr, "FAIL: GetFileVersionInfoA cannot read %s (error %lu)\n", file, GetLastError() );
		return 1;
	}

	void* found = nullptr;
	UINT size   = 0;
	if( !VerQueryValueA( block.data(), "\\", &found, &size ) || size < sizeof( VS_FIXEDFILEINFO ) )
	{
		std::fprintf( stderr, "FAIL: %s has no fixed version information\n", file );
		return 1;
	}
	const VS_FIXEDFILEINFO& fixed = *static_cast< const VS_FIXEDFILEINFO* >( found );
	const DWORD versionHigh       = MAKELONG( minor, major );
	Expect( fixed.dwSignature == VS_FFI_SIGNATURE, "the fixed part's signature" );
	Expect( fixed.dwFileVersionMS == versionHigh && fixed.dwFileVersionLS == 0,
	        "the fixed file version " + version + ".0.0" );
	Expect( fixed.dwProductVersionMS == versionHigh && fixed.dwProductVersionLS == 0,
	        "the fixed product version " + version + ".0.0" );
	const bool isDll = fileName.size() > 4 && _stricmp( fileName.c_str() + fileName.size() - 4, ".dll" ) == 0;
	Expect( fixed.dwFileType == static_cast< DWORD >( isDll ? VFT_DLL : VFT_APP ),
	        std::string( "the file type " ) + ( isDll ? "DLL" : "application" ) );

	const struct
	{
		const char* name;
		std::string expected;
	} texts[] = { { "ProductVersion", version },
		          { "FileVersion", version },
		          { "ProductName", "Umbrafex TAVLEN" },
		          { "OriginalFilename", fileName } };
	for( const auto& text : texts )
	{
		const std::string value = StringValue( block, text.name );
		Expect( value == text.expected,
		        std::string( text.name ) + " \"" + text.expected + "\", found \"" + value + "\"" );
	}
	const std::string description = StringValue( block, "FileDescription" );
	Expect( !description.empty(), "a FileDescription" );

	if( failures == 0 )
		std::printf( "OK: %s %s, \"%s\"\n", fileName.c_str(), version.c_str(), description.c_str() );
	return failures == 0 ? 0 : 1;
}
