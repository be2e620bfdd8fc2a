#pragma once
// The one entry through which an FFGL 2.x host drives the plug-in. Exported undecorated.
#include "ffgl/export.h"
#include "ffgl/types.h"

extern "C" FFGL_EXPORT FFMixed plugMain( uint32_t functionCode, FFMixed inputValue, FFInstanceID instanceID );
