#include "ffgl/registration.h"

PluginRegistration* registration = nullptr;

// Copies up to size characters, stopping after a copied zero; the rest of the field keeps its zeros.
static void CopyFixedText( char* field, size_t size, const char* text )
{
	if( !text )
		return;
	for( size_t i = 0; i < size; ++i )
	{
		field[ i ] = text[ i ];
		if( text[ i ] == 0 )
			break;
	}
}

PluginRegistration::PluginRegistration( FFGLPluginFactory factory, const char* uniqueID, const char* name,
                                        uint32_t apiMajor, uint32_t apiMinor, uint32_t pluginMajor,
                                        uint32_t pluginMinor, uint32_t pluginType, const char* description,
                                        const char* about, uint32_t extendedDataSize, void* extendedDataBlock,
                                        FFGLInitialiseHook initialiseHook, FFGLDeinitialiseHook deinitialiseHook )
    : about( about ? about : "" )
    , description( description ? description : "" )
    , factory( factory )
    , initialiseHook( initialiseHook )
    , deinitialiseHook( deinitialiseHook )
{
	info.APIMajorVersion = apiMajor;
	info.APIMinorVersion = apiMinor;
	CopyFixedText( info.PluginName, sizeof( info.PluginName ), name );
	CopyFixedText( info.PluginUniqueID, sizeof( info.PluginUniqueID ), uniqueID );
	info.PluginType = pluginType;

	extendedInfo.Description        = this->description.c_str();
	extendedInfo.About              = this->about.c_str();
	extendedInfo.PluginMajorVersion = pluginMajor;
	extendedInfo.PluginMinorVersion = pluginMinor;
	// A block is only kept with its size; it stays the caller's.
	if( extendedDataSize != 0 && extendedDataBlock )
	{
		extendedInfo.FreeFrameExtendedDataSize  = extendedDataSize;
		extendedInfo.FreeFrameExtendedDataBlock = extendedDataBlock;
	}

	registration = this;
}

CFFGLPlugin* CreateInstance()
{
	if( !registration || !registration->factory )
		return nullptr;
	CFFGLPlugin* instance = nullptr;
	FFResult result       = registration->factory( &instance );
	if( result == FF_FAIL && instance )
	{
		delete instance;
		instance = nullptr;
	}
	return instance;
}
