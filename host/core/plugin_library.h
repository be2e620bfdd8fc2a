#pragma once
// One FFGL plug-in library, loaded at run time as a host loads it (dlopen / LoadLibraryA), never
// linked; its entry point plugMain and, when it has one, its SetLogCallback.
#include "host/core/ffgl_host_types.h"

#include <string>

namespace ffglhost
{
class PluginLibrary
{
public:
	PluginLibrary() = default;
	~PluginLibrary();
	PluginLibrary( const PluginLibrary& )            = delete;
	PluginLibrary& operator=( const PluginLibrary& ) = delete;

	// Load, then Identify. On failure nothing stays loaded and *error says why.
	bool Open( const std::string& path, std::string* error );
	// Loads the file as a library; false with *error when it is missing or the system's loader refuses
	// it (not a library of this system, or one it needs is missing): the run cannot be carried out.
	bool Load( const std::string& path, std::string* error );
	// Checks that the library loaded is an FFGL 2.x plug-in (plugMain, an information block of API
	// version 2 or later); false with *error, and unloaded, when it is not: the plug-in's fault.
	bool Identify( std::string* error );
	// Switches the plug-in's logging off and unloads it.
	void Close();
	bool IsOpen() const { return handle != nullptr; }

	FFMixed Call( uint32_t code, FFMixed input, void* instance = nullptr ) const;
	FFMixed Call( uint32_t code, uint32_t number, void* instance = nullptr ) const
	{
		return Call( code, MixedNumber( number ), instance );
	}

	// Hands our callback to the plug-in's SetLogCallback; false when it exports none.
	bool InstallLogCallback( LogCallbackFunction callback );
	const std::string& Path() const { return path; }

private:
	void* handle                          = nullptr;
	PlugMainFunction plugMain             = nullptr;
	SetLogCallbackFunction setLogCallback = nullptr;
	bool logInstalled                     = false;
	std::string path;
};
}
