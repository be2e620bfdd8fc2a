#include "host/core/dynamic_library.h"

#include <dlfcn.h>
#include <link.h>

namespace ffglhost
{
void* LoadDynamicLibrary( const std::string& path, std::string* error )
{
	void* library = dlopen( path.c_str(), RTLD_NOW | RTLD_LOCAL );
	if( !library )
	{
		// dlerror names the file first ("PATH: invalid ELF header"): the sentence names it once.
		const char* text   = dlerror();
		std::string reason = text ? text : "dlopen failed";
		if( reason.compare( 0, path.size() + 2, path + ": " ) == 0 )
			reason.erase( 0, path.size() + 2 );
		*error = "cannot load " + path + ": " + reason;
	}
	return library;
}

void UnloadDynamicLibrary( void* library )
{
	if( library )
		dlclose( library );
}

void* DynamicLibrarySymbol( void* library, const char* name )
{
	return library ? dlsym( library, name ) : nullptr;
}

void* FindLoadedLibrary( const char* fileName )
{
	return dlopen( fileName, RTLD_NOW | RTLD_NOLOAD );
}

std::string LoadedLibraryPath( const char* fileName )
{
	void* library = FindLoadedLibrary( fileName );
	if( !library )
		return std::string();
	link_map* map = nullptr;
	std::string path;
	if( dlinfo( library, RTLD_DI_LINKMAP, &map ) == 0 && map && map->l_name )
		path = map->l_name;
	dlclose( library );
	return path;
}

std::string DynamicLibraryFileName( const std::string& name )
{
	return "lib" + name + ".so";
}
}
