#include "host/plugin_library.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace ffglhost
{
static void* LoadFile( const std::string& file, std::string* error )
{
#ifdef _WIN32
	HMODULE module = LoadLibraryA( file.c_str() );
	if( !module )
	{
		char text[ 256 ] = {};
		DWORD code       = GetLastError();
		FormatMessageA( FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
		                sizeof( text ) - 1, nullptr );
		*error = "Windows error " + std::to_string( code ) + ( text[ 0 ] ? std::string( ": " ) + text : "" );
		while( !error->empty() && ( error->back() == '\n' || error->back() == '\r' || error->back() == ' ' ) )
			error->pop_back();
	}
	return reinterpret_cast< void* >( module );
#else
	void* library = dlopen( file.c_str(), RTLD_NOW | RTLD_LOCAL );
	if( !library )
	{
		const char* text = dlerror();
		*error           = text ? text : "dlopen failed";
	}
	return library;
#endif
}

static void* FindSymbol( void* library, const char* name )
{
#ifdef _WIN32
	return reinterpret_cast< void* >( GetProcAddress( reinterpret_cast< HMODULE >( library ), name ) );
#else
	return dlsym( library, name );
#endif
}

static void UnloadFile( void* library )
{
#ifdef _WIN32
	FreeLibrary( reinterpret_cast< HMODULE >( library ) );
#else
	dlclose( library );
#endif
}

PluginLibrary::~PluginLibrary()
{
	Close();
}

bool PluginLibrary::Open( const std::string& file, std::string* error )
{
	Close();
	std::error_code ec;
	if( !std::filesystem::is_regular_file( file, ec ) )
	{
		*error = "cannot load " + file + ": no such file";
		return false;
	}
	// An absolute path, so the loader never searches its own folders for a bare name.
	std::string absolute = std::filesystem::absolute( file, ec ).string();
	if( ec )
		absolute = file;
	std::string reason;
	void* library = LoadFile( absolute, &reason );
	if( !library )
	{
		*error = "cannot load " + file + ": " + reason;
		return false;
	}
	auto entry = reinterpret_cast< PlugMainFunction >( FindSymbol( library, "plugMain" ) );
	if( !entry )
	{
		UnloadFile( library );
		*error = file + " is not an FFGL plug-in: it exports no plugMain";
		return false;
	}
	FFMixed info = entry( FF_GET_INFO, MixedNumber( 0 ), nullptr );
	if( !IsValidPointer( info ) )
	{
		UnloadFile( library );
		*error = file + " is not an FFGL plug-in: it answers no information block";
		return false;
	}
	const PluginInfoStruct* block = static_cast< const PluginInfoStruct* >( info.PointerValue );
	if( block->APIMajorVersion < 2 )
	{
		// The block lives in the library: read it before unloading.
		*error = file + " is an FFGL " + std::to_string( block->APIMajorVersion ) + "." +
		         std::to_string( block->APIMinorVersion ) + " plug-in; ffglhost drives FFGL 2.x plug-ins only";
		UnloadFile( library );
		return false;
	}
	handle         = library;
	plugMain       = entry;
	setLogCallback = reinterpret_cast< SetLogCallbackFunction >( FindSymbol( library, "SetLogCallback" ) );
	path           = file;
	return true;
}

void PluginLibrary::Close()
{
	if( !handle )
		return;
	if( logInstalled && setLogCallback )
		setLogCallback( nullptr );
	UnloadFile( handle );
	handle         = nullptr;
	plugMain       = nullptr;
	setLogCallback = nullptr;
	logInstalled   = false;
	path.clear();
}

FFMixed PluginLibrary::Call( uint32_t code, FFMixed input, void* instance ) const
{
	if( !plugMain )
		return MixedNumber( FF_FAIL );
	return plugMain( code, input, instance );
}

bool PluginLibrary::InstallLogCallback( LogCallbackFunction callback )
{
	if( !setLogCallback )
		return false;
	setLogCallback( callback );
	logInstalled = true;
	return true;
}
}
