#include "host/core/plugin_instance.h"

#include "version.h"

#include <cstring>

namespace ffglhost
{
const char* const kHostName    = "ffglhost";
const char* const kHostVersion = UMBRAFEX_VERSION_TEXT;

// Displays are fixed 16-byte fields in FFGL; longer ones carry no terminator.
const size_t kDisplayLimit = 16;

bool InitialisePlugin( const PluginLibrary& library, std::string* error )
{
	if( library.Call( FF_INITIALISE_V2, 0u ).UIntValue != FF_SUCCESS )
	{
		*error = library.Path() + " failed to initialise (FF_INITIALISE_V2)";
		return false;
	}
	return true;
}

void DeinitialisePlugin( const PluginLibrary& library )
{
	library.Call( FF_DEINITIALISE, 0u );
}

bool PluginInstance::Create( const PluginLibrary& lib, uint32_t w, uint32_t h, std::string* error )
{
	Destroy();
	FFGLViewportStruct viewport = { 0, 0, w, h };
	FFMixed result              = lib.Call( FF_INSTANTIATE_GL, MixedPointer( &viewport ) );
	if( !IsValidPointer( result ) )
	{
		*error = lib.Path() + " failed to instantiate (FF_INSTANTIATE_GL for " + std::to_string( w ) + "x" +
		         std::to_string( h ) + ")";
		return false;
	}
	library                    = &lib;
	instance                   = result.PointerValue;
	SetHostinfoStruct hostInfo = { kHostName, kHostVersion };
	library->Call( FF_SET_HOSTINFO, MixedPointer( &hostInfo ), instance );
	return true;
}

void PluginInstance::Destroy()
{
	if( !instance )
		return;
	library->Call( FF_DEINSTANTIATE_GL, 0u, instance );
	instance = nullptr;
	library  = nullptr;
}

bool PluginInstance::SetFloatParameter( uint32_t index, float value )
{
	if( !instance )
		return false;
	SetParameterStruct record     = {};
	record.ParameterNumber        = index;
	record.NewParameterValue.bits = 0;
	std::memcpy( &record.NewParameterValue.UIntValue, &value, sizeof( value ) );
	return library->Call( FF_SET_PARAMETER, MixedPointer( &record ), instance ).UIntValue == FF_SUCCESS;
}

bool PluginInstance::SetTextParameter( uint32_t index, const char* text )
{
	if( !instance )
		return false;
	SetParameterStruct record = {};
	record.ParameterNumber    = index;
	record.NewParameterValue  = MixedPointer( text );
	return library->Call( FF_SET_PARAMETER, MixedPointer( &record ), instance ).UIntValue == FF_SUCCESS;
}

std::string PluginInstance::ParameterDisplay( uint32_t index )
{
	if( !instance )
		return std::string();
	FFMixed result = library->Call( FF_GET_PARAMETER_DISPLAY, index, instance );
	if( !IsValidPointer( result ) )
		return std::string();
	const char* text = static_cast< const char* >( result.PointerValue );
	size_t n         = 0;
	while( n < kDisplayLimit && text[ n ] )
		++n;
	return std::string( text, n );
}

bool PluginInstance::Resize( uint32_t w, uint32_t h )
{
	if( !instance )
		return false;
	FFGLViewportStruct viewport = { 0, 0, w, h };
	return library->Call( FF_RESIZE, MixedPointer( &viewport ), instance ).UIntValue == FF_SUCCESS;
}

bool PluginInstance::Process( GLuint texture, uint32_t w, uint32_t h, GLuint hostFramebuffer )
{
	if( !instance )
		return false;
	inputTexture                   = { w, h, w, h, texture };
	inputTextures[ 0 ]             = &inputTexture;
	processRecord.numInputTextures = 1;
	processRecord.inputTextures    = inputTextures;
	processRecord.HostFBO          = hostFramebuffer;
	return library->Call( FF_PROCESS_OPENGL, MixedPointer( &processRecord ), instance ).UIntValue == FF_SUCCESS;
}
}
