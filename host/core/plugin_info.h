#pragma once
// What a plug-in says about itself before any instance exists: its information blocks, its
// capabilities and its parameters, read through the global codes of plugMain.
#include "host/core/plugin_library.h"

#include <string>
#include <vector>

namespace ffglhost
{
struct ParameterDescription
{
	uint32_t index = 0;
	std::string name;
	uint32_t type      = 0;
	bool typeKnown     = false; // the type query answered
	float defaultValue = 0.f;   // float parameters
	std::string defaultText;    // text and file parameters
	bool hasRange = false;
	float min     = 0.f;
	float max     = 1.f;
};

struct PluginDescription
{
	std::string identifier;
	std::string name;
	uint32_t apiMajor = 0, apiMinor = 0;
	uint32_t type         = 0;
	bool hasExtendedInfo  = false;
	uint32_t versionMajor = 0, versionMinor = 0;
	std::string description;
	std::string about;
	bool setTime       = false;
	uint32_t minInputs = 0, maxInputs = 0;
	bool topLeft = false;
	std::vector< ParameterDescription > parameters;
};

// Reads everything above (the plug-in makes its prototype on the way). False, with *error, only
// when the plug-in cannot say how many parameters it has.
bool DescribePlugin( const PluginLibrary& library, PluginDescription* description, std::string* error );

// "boolean", "standard", "file", "text", or "type N" for the rest.
std::string ParameterTypeName( uint32_t type );
// "effect", "source", "mixer", or "type N".
std::string PluginTypeName( uint32_t type );

// The parameter of that exact name, or null.
const ParameterDescription* FindParameter( const PluginDescription& description, const std::string& name );
// "Quality", "Show Mask", ... : the names, quoted, comma-separated.
std::string ParameterNameList( const PluginDescription& description );

// A text the plug-in owns, copied with at most limit characters (fields without a terminator).
std::string BoundedText( const char* text, size_t limit );
}
