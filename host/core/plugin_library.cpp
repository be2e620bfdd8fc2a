#include "host/core/plugin_library.h"

#include "host/core/dynamic_library.h"

#include <filesystem>
#include <system_error>

namespace ffglhost
{
PluginLibrary::~PluginLibrary()
{
	Close();
}

bool PluginLibrary::Open( const std::string& file, std::string* error )
{
	return Load( file, error ) && Identify( error );
}

bool PluginLibrary::Load( const std::string& file, std::string* error )
{
	Close();
	std::error_code ec;
	// Checked first: Windows words a missing file as it words a missing dependency.
	if( !std::filesystem::is_regular_file( file, ec ) )
	{
		*error = "cannot load " + file + ": " + ( ec ? ec.message() : "not a file" );
		return false;
	}
	// An absolute path, so the loader never searches its own folders for a bare name.
	std::string absolute = std::filesystem::absolute( file, ec ).string();
	if( ec )
		absolute = file;
	handle = LoadDynamicLibrary( absolute, error );
	if( handle )
		path = file;
	return handle != nullptr;
}

bool PluginLibrary::Identify( std::string* error )
{
	const std::string file = path;
	auto entry             = DynamicLibraryFunction< PlugMainFunction >( handle, "plugMain" );
	if( !entry )
	{
		Close();
		*error = file + " is not an FFGL plug-in: it exports no plugMain";
		return false;
	}
	FFMixed info = entry( FF_GET_INFO, MixedNumber( 0 ), nullptr );
	if( !IsValidPointer( info ) )
	{
		Close();
		*error = file + " is not an FFGL plug-in: it answers no information block";
		return false;
	}
	const PluginInfoStruct* block = static_cast< const PluginInfoStruct* >( info.PointerValue );
	if( block->APIMajorVersion < 2 )
	{
		// The block lives in the library: read it before unloading.
		*error = file + " is an FFGL " + std::to_string( block->APIMajorVersion ) + "." +
		         std::to_string( block->APIMinorVersion ) + " plug-in; ffglhost drives FFGL 2.x plug-ins only";
		Close();
		return false;
	}
	plugMain       = entry;
	setLogCallback = DynamicLibraryFunction< SetLogCallbackFunction >( handle, "SetLogCallback" );
	return true;
}

void PluginLibrary::Close()
{
	if( !handle )
		return;
	if( logInstalled && setLogCallback )
		setLogCallback( nullptr );
	UnloadDynamicLibrary( handle );
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
