#pragma once
// The process-wide registration: the information blocks of codes 0 and 13 and the factory that makes
// the prototype and every instance. A plug-in fills it with one static object:
//   static PluginRegistration registrationObject( &CreatePluginInstance< MyPlugin >, "ABCD", "My Plugin",
//       2, 1, 1, 0, FF_EFFECT, "description", "about", 0, nullptr, nullptr, nullptr );
#include "ffgl/plugin.h"
#include "ffgl/types.h"

#include <cstdint>
#include <new>
#include <string>

typedef FFResult ( *FFGLPluginFactory )( CFFGLPlugin** instance );
typedef FFResult ( *FFGLInitialiseHook )();
typedef FFResult ( *FFGLDeinitialiseHook )();

struct PluginRegistration
{
	PluginRegistration( FFGLPluginFactory factory, const char* uniqueID, const char* name, uint32_t apiMajor,
	                    uint32_t apiMinor, uint32_t pluginMajor, uint32_t pluginMinor, uint32_t pluginType,
	                    const char* description, const char* about, uint32_t extendedDataSize, void* extendedDataBlock,
	                    FFGLInitialiseHook initialiseHook, FFGLDeinitialiseHook deinitialiseHook );
	PluginRegistration( const PluginRegistration& )            = delete;
	PluginRegistration& operator=( const PluginRegistration& ) = delete;

	PluginInfoStruct info                 = {};
	PluginExtendedInfoStruct extendedInfo = {};
	std::string about;
	std::string description;
	FFGLPluginFactory factory             = nullptr;
	FFGLInitialiseHook initialiseHook     = nullptr;
	FFGLDeinitialiseHook deinitialiseHook = nullptr;
};

// Set once, by the registration object's constructor, when the library is loaded.
extern PluginRegistration* registration;

// The registered factory's new instance, or null (a failing factory's stray instance is destroyed).
CFFGLPlugin* CreateInstance();

// The factory of a plug-in kind T: stores a new T in the slot.
template< class T >
FFResult CreatePluginInstance( CFFGLPlugin** slot )
{
	if( !slot )
		return FF_FAIL;
	*slot = nullptr;
	try
	{
		*slot = new( std::nothrow ) T;
	}
	catch( ... )
	{
		// Out of memory inside T's constructor: no instance, never an exception towards the host.
		*slot = nullptr;
	}
	return *slot ? FF_SUCCESS : FF_FAIL;
}
