#pragma once
// What crosses plugMain: the 64-bit value, results, function codes, capabilities, parameter types and
// every record a host hands us or reads back, with their byte layouts pinned down.
#include <cstddef>
#include <cstdint>

static_assert( sizeof( void* ) == 8, "the host records below are laid out for 64-bit hosts" );

// Input value and result of plugMain: a 32-bit number in the low half, or a pointer.
union FFMixed
{
	uint32_t UIntValue;
	void* PointerValue;
};
static_assert( sizeof( FFMixed ) == 8, "FFMixed is 64 bits" );

typedef void* FFInstanceID;
typedef uint32_t FFResult;

static const FFResult FF_SUCCESS = 0;
static const FFResult FF_FAIL    = 0xFFFFFFFF;
// FF_FAIL widened to a pointer: what pointer-answering codes give on some failures (not null).
static const uintptr_t FF_FAIL_POINTER_VALUE = 0x00000000FFFFFFFFu;

// Function codes
static const uint32_t FF_GET_INFO              = 0;
static const uint32_t FF_INITIALISE            = 1;
static const uint32_t FF_DEINITIALISE          = 2;
static const uint32_t FF_PROCESS_FRAME         = 3;
static const uint32_t FF_GET_NUM_PARAMETERS    = 4;
static const uint32_t FF_GET_PARAMETER_NAME    = 5;
static const uint32_t FF_GET_PARAMETER_DEFAULT = 6;
static const uint32_t FF_GET_PARAMETER_DISPLAY = 7;
static const uint32_t FF_SET_PARAMETER         = 8;
static const uint32_t FF_GET_PARAMETER         = 9;
static const uint32_t FF_GET_PLUGIN_CAPS       = 10;
static const uint32_t FF_INSTANTIATE           = 11;
static const uint32_t FF_DEINSTANTIATE         = 12;
static const uint32_t FF_GET_EXTENDED_INFO     = 13;
static const uint32_t FF_PROCESS_FRAME_COPY    = 14;
static const uint32_t FF_GET_PARAMETER_TYPE    = 15;
static const uint32_t FF_GET_INPUT_STATUS      = 16;
static const uint32_t FF_PROCESS_OPENGL        = 17;
static const uint32_t FF_INSTANTIATE_GL        = 18;
static const uint32_t FF_DEINSTANTIATE_GL      = 19;
static const uint32_t FF_SET_TIME              = 20;
static const uint32_t FF_CONNECT               = 21;
static const uint32_t FF_DISCONNECT            = 22;
static const uint32_t FF_RESIZE                = 23;
// 24 to 30 are not used by FFGL 2.x.
static const uint32_t FF_GET_NUM_PARAMETER_ELEMENTS        = 31;
static const uint32_t FF_GET_PARAMETER_USAGE               = 32;
static const uint32_t FF_GET_PLUGIN_SHORT_NAME             = 33;
static const uint32_t FF_INITIALISE_V2                     = 34;
static const uint32_t FF_GET_PARAMETER_ELEMENT_NAME        = 35;
static const uint32_t FF_GET_PARAMETER_ELEMENT_VALUE       = 36;
static const uint32_t FF_SET_PARAMETER_ELEMENT_VALUE       = 37;
static const uint32_t FF_SET_BEATINFO                      = 38;
static const uint32_t FF_SET_HOSTINFO                      = 39;
static const uint32_t FF_SET_SAMPLERATE                    = 40;
static const uint32_t FF_GET_RANGE                         = 41;
static const uint32_t FF_GET_THUMBNAIL                     = 42;
static const uint32_t FF_GET_NUM_FILE_PARAMETER_EXTENSIONS = 43;
static const uint32_t FF_GET_FILE_PARAMETER_EXTENSION      = 44;
static const uint32_t FF_GET_PARAMETER_VISIBILITY          = 45;
static const uint32_t FF_GET_PARAMETER_EVENTS              = 46;
static const uint32_t FF_GET_NUM_ELEMENT_SEPARATORS        = 47;
static const uint32_t FF_GET_SEPARATOR_ELEMENT_INDEX       = 48;
static const uint32_t FF_ENABLE_PLUGIN_CAP                 = 49;
static const uint32_t FF_GET_PARAMETER_GROUP               = 50;
static const uint32_t FF_GET_PARAMETER_DISPLAY_NAME        = 51;

// Capabilities (code 10, code 49)
static const uint32_t FF_CAP_SET_TIME                     = 5;
static const uint32_t FF_CAP_MINIMUM_INPUT_FRAMES         = 10;
static const uint32_t FF_CAP_MAXIMUM_INPUT_FRAMES         = 11;
static const uint32_t FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION = 16;

// Parameter types
static const uint32_t FF_TYPE_BOOLEAN  = 0;
static const uint32_t FF_TYPE_STANDARD = 10;
static const uint32_t FF_TYPE_FILE     = 14;
static const uint32_t FF_TYPE_TEXT     = 100;

// Plug-in types
static const uint32_t FF_EFFECT = 0;

// Input status (code 16)
static const FFResult FF_INPUT_INUSE = 1;

struct FFGLTextureStruct
{
	uint32_t Width;
	uint32_t Height;
	uint32_t HardwareWidth;
	uint32_t HardwareHeight;
	uint32_t Handle;
};
static_assert( sizeof( FFGLTextureStruct ) == 20, "FFGLTextureStruct layout" );
static_assert( offsetof( FFGLTextureStruct, Height ) == 4, "FFGLTextureStruct layout" );
static_assert( offsetof( FFGLTextureStruct, HardwareWidth ) == 8, "FFGLTextureStruct layout" );
static_assert( offsetof( FFGLTextureStruct, HardwareHeight ) == 12, "FFGLTextureStruct layout" );
static_assert( offsetof( FFGLTextureStruct, Handle ) == 16, "FFGLTextureStruct layout" );

struct FFGLViewportStruct
{
	uint32_t x;
	uint32_t y;
	uint32_t width;
	uint32_t height;
};
static_assert( sizeof( FFGLViewportStruct ) == 16, "FFGLViewportStruct layout" );
static_assert( offsetof( FFGLViewportStruct, y ) == 4, "FFGLViewportStruct layout" );
static_assert( offsetof( FFGLViewportStruct, width ) == 8, "FFGLViewportStruct layout" );
static_assert( offsetof( FFGLViewportStruct, height ) == 12, "FFGLViewportStruct layout" );

struct ProcessOpenGLStruct
{
	uint32_t numInputTextures;
	FFGLTextureStruct** inputTextures;
	uint32_t HostFBO;
};
static_assert( sizeof( ProcessOpenGLStruct ) == 24, "ProcessOpenGLStruct layout" );
static_assert( offsetof( ProcessOpenGLStruct, inputTextures ) == 8, "ProcessOpenGLStruct layout" );
static_assert( offsetof( ProcessOpenGLStruct, HostFBO ) == 16, "ProcessOpenGLStruct layout" );

struct SetParameterStruct
{
	uint32_t ParameterNumber;
	FFMixed NewParameterValue;
};
static_assert( sizeof( SetParameterStruct ) == 16, "SetParameterStruct layout" );
static_assert( offsetof( SetParameterStruct, NewParameterValue ) == 8, "SetParameterStruct layout" );

// Codes 35, 36, 44 and 48 (for 44 and 48 ElementNumber is the extension or separator index).
struct ParameterElementStruct
{
	uint32_t ParameterNumber;
	uint32_t ElementNumber;
};
static_assert( sizeof( ParameterElementStruct ) == 8, "ParameterElementStruct layout" );
static_assert( offsetof( ParameterElementStruct, ElementNumber ) == 4, "ParameterElementStruct layout" );

struct SetParameterElementValueStruct
{
	uint32_t ParameterNumber;
	uint32_t ElementNumber;
	float NewParameterValue;
};
static_assert( sizeof( SetParameterElementValueStruct ) == 12, "SetParameterElementValueStruct layout" );
static_assert( offsetof( SetParameterElementValueStruct, ElementNumber ) == 4,
               "SetParameterElementValueStruct layout" );
static_assert( offsetof( SetParameterElementValueStruct, NewParameterValue ) == 8,
               "SetParameterElementValueStruct layout" );

struct SetBeatinfoStruct
{
	float bpm;
	float barPhase;
};
static_assert( sizeof( SetBeatinfoStruct ) == 8, "SetBeatinfoStruct layout" );
static_assert( offsetof( SetBeatinfoStruct, barPhase ) == 4, "SetBeatinfoStruct layout" );

struct SetHostinfoStruct
{
	const char* name;
	const char* version;
};
static_assert( sizeof( SetHostinfoStruct ) == 16, "SetHostinfoStruct layout" );
static_assert( offsetof( SetHostinfoStruct, version ) == 8, "SetHostinfoStruct layout" );

struct GetRangeStruct
{
	uint32_t ParameterNumber;
	float min;
	float max;
};
static_assert( sizeof( GetRangeStruct ) == 12, "GetRangeStruct layout" );
static_assert( offsetof( GetRangeStruct, min ) == 4, "GetRangeStruct layout" );
static_assert( offsetof( GetRangeStruct, max ) == 8, "GetRangeStruct layout" );

struct GetThumbnailStruct
{
	uint32_t width;
	uint32_t height;
	void* rgbaPixelBuffer;
};
static_assert( sizeof( GetThumbnailStruct ) == 16, "GetThumbnailStruct layout" );
static_assert( offsetof( GetThumbnailStruct, height ) == 4, "GetThumbnailStruct layout" );
static_assert( offsetof( GetThumbnailStruct, rgbaPixelBuffer ) == 8, "GetThumbnailStruct layout" );

struct ParamEventStruct
{
	uint32_t ParameterNumber;
	uint64_t eventFlags;
};
static_assert( sizeof( ParamEventStruct ) == 16, "ParamEventStruct layout" );
static_assert( offsetof( ParamEventStruct, eventFlags ) == 8, "ParamEventStruct layout" );

struct GetParamEventsStruct
{
	uint32_t numEvents;
	ParamEventStruct* events;
};
static_assert( sizeof( GetParamEventsStruct ) == 16, "GetParamEventsStruct layout" );
static_assert( offsetof( GetParamEventsStruct, events ) == 8, "GetParamEventsStruct layout" );

// Codes 50 and 51.
struct GetStringStruct
{
	uint32_t ParameterNumber;
	char* stringBuffer;
	uint32_t maxToWrite;
};
static_assert( sizeof( GetStringStruct ) == 24, "GetStringStruct layout" );
static_assert( offsetof( GetStringStruct, stringBuffer ) == 8, "GetStringStruct layout" );
static_assert( offsetof( GetStringStruct, maxToWrite ) == 16, "GetStringStruct layout" );

// Code 0.
struct PluginInfoStruct
{
	uint32_t APIMajorVersion;
	uint32_t APIMinorVersion;
	char PluginUniqueID[ 4 ];
	char PluginName[ 16 ];
	uint32_t PluginType;
};
static_assert( sizeof( PluginInfoStruct ) == 32, "PluginInfoStruct layout" );
static_assert( offsetof( PluginInfoStruct, APIMinorVersion ) == 4, "PluginInfoStruct layout" );
static_assert( offsetof( PluginInfoStruct, PluginUniqueID ) == 8, "PluginInfoStruct layout" );
static_assert( offsetof( PluginInfoStruct, PluginName ) == 12, "PluginInfoStruct layout" );
static_assert( offsetof( PluginInfoStruct, PluginType ) == 28, "PluginInfoStruct layout" );

// Code 13.
struct PluginExtendedInfoStruct
{
	uint32_t PluginMajorVersion;
	uint32_t PluginMinorVersion;
	const char* Description;
	const char* About;
	uint32_t FreeFrameExtendedDataSize;
	void* FreeFrameExtendedDataBlock;
};
static_assert( sizeof( PluginExtendedInfoStruct ) == 40, "PluginExtendedInfoStruct layout" );
static_assert( offsetof( PluginExtendedInfoStruct, PluginMinorVersion ) == 4, "PluginExtendedInfoStruct layout" );
static_assert( offsetof( PluginExtendedInfoStruct, Description ) == 8, "PluginExtendedInfoStruct layout" );
static_assert( offsetof( PluginExtendedInfoStruct, About ) == 16, "PluginExtendedInfoStruct layout" );
static_assert( offsetof( PluginExtendedInfoStruct, FreeFrameExtendedDataSize ) == 24,
               "PluginExtendedInfoStruct layout" );
static_assert( offsetof( PluginExtendedInfoStruct, FreeFrameExtendedDataBlock ) == 32,
               "PluginExtendedInfoStruct layout" );
