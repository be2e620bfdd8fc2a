#pragma once
// The host's side of the FFGL 2.x interface: the entry's signature, the function codes ffglhost
// sends, and the records it passes. Declared here so the host never includes a plug-in's headers.
#include <cstddef>
#include <cstdint>

namespace ffglhost
{
// A 32-bit number in the low half or a pointer; 64 bits on x86-64.
union FFMixed
{
	uint32_t UIntValue;
	void* PointerValue;
	uint64_t bits;
};
static_assert( sizeof( FFMixed ) == 8, "FFMixed is 64 bits" );

typedef FFMixed ( *PlugMainFunction )( uint32_t functionCode, FFMixed inputValue, void* instanceID );
typedef void ( *LogCallbackFunction )( const char* text );
typedef void ( *SetLogCallbackFunction )( LogCallbackFunction callback );

const uint32_t FF_SUCCESS = 0;
const uint32_t FF_FAIL    = 0xFFFFFFFFu;
// Pointer results fail with null or with FF_FAIL widened to 64 bits.
const uint64_t kFailurePointer = 0x00000000FFFFFFFFull;

enum FunctionCode : uint32_t
{
	FF_GET_INFO                    = 0,
	FF_DEINITIALISE                = 2,
	FF_GET_NUM_PARAMETERS          = 4,
	FF_GET_PARAMETER_NAME          = 5,
	FF_GET_PARAMETER_DEFAULT       = 6,
	FF_GET_PARAMETER_DISPLAY       = 7,
	FF_SET_PARAMETER               = 8,
	FF_GET_PARAMETER               = 9,
	FF_GET_PLUGIN_CAPS             = 10,
	FF_GET_EXTENDED_INFO           = 13,
	FF_GET_PARAMETER_TYPE          = 15,
	FF_GET_INPUT_STATUS            = 16,
	FF_PROCESS_OPENGL              = 17,
	FF_INSTANTIATE_GL              = 18,
	FF_DEINSTANTIATE_GL            = 19,
	FF_SET_TIME                    = 20,
	FF_RESIZE                      = 23,
	FF_GET_NUM_PARAMETER_ELEMENTS  = 31,
	FF_GET_PARAMETER_USAGE         = 32,
	FF_INITIALISE_V2               = 34,
	FF_GET_PARAMETER_ELEMENT_NAME  = 35,
	FF_GET_PARAMETER_ELEMENT_VALUE = 36,
	FF_SET_PARAMETER_ELEMENT_VALUE = 37,
	FF_SET_BEATINFO                = 38,
	FF_SET_HOSTINFO                = 39,
	FF_SET_SAMPLERATE              = 40,
	FF_GET_RANGE                   = 41,
};

enum Capability : uint32_t
{
	FF_CAP_SET_TIME                     = 5,
	FF_CAP_MINIMUM_INPUT_FRAMES         = 10,
	FF_CAP_MAXIMUM_INPUT_FRAMES         = 11,
	FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION = 16,
};

enum ParameterType : uint32_t
{
	FF_TYPE_BOOLEAN  = 0,
	FF_TYPE_STANDARD = 10,
	FF_TYPE_FILE     = 14,
	FF_TYPE_TEXT     = 100,
};

const uint32_t FF_EFFECT = 0;

inline bool IsTextType( uint32_t type )
{
	return type == FF_TYPE_TEXT || type == FF_TYPE_FILE;
}

struct PluginInfoStruct
{
	uint32_t APIMajorVersion;
	uint32_t APIMinorVersion;
	char PluginUniqueID[ 4 ];
	char PluginName[ 16 ];
	uint32_t PluginType;
};

struct PluginExtendedInfoStruct
{
	uint32_t PluginMajorVersion;
	uint32_t PluginMinorVersion;
	const char* Description;
	const char* About;
	uint32_t FreeFrameExtendedDataSize;
	void* FreeFrameExtendedDataBlock;
};

struct SetParameterStruct
{
	uint32_t ParameterNumber;
	FFMixed NewParameterValue;
};

struct FFGLTextureStruct
{
	uint32_t Width;
	uint32_t Height;
	uint32_t HardwareWidth;
	uint32_t HardwareHeight;
	uint32_t Handle;
};

struct ProcessOpenGLStruct
{
	uint32_t numInputTextures;
	FFGLTextureStruct** inputTextures;
	uint32_t HostFBO;
};

struct FFGLViewportStruct
{
	uint32_t x;
	uint32_t y;
	uint32_t width;
	uint32_t height;
};

struct SetBeatinfoStruct
{
	float bpm;
	float barPhase;
};

struct SetHostinfoStruct
{
	const char* name;
	const char* version;
};

struct ParameterElementStruct
{
	uint32_t ParameterNumber;
	uint32_t ElementNumber;
};

struct SetParameterElementValueStruct
{
	uint32_t ParameterNumber;
	uint32_t ElementNumber;
	float NewParameterValue;
};

struct GetRangeStruct
{
	uint32_t ParameterNumber;
	float min;
	float max;
};

static_assert( sizeof( PluginInfoStruct ) == 32, "PluginInfoStruct layout" );
static_assert( offsetof( PluginInfoStruct, PluginType ) == 28, "PluginInfoStruct layout" );
static_assert( sizeof( PluginExtendedInfoStruct ) == 40, "PluginExtendedInfoStruct layout" );
static_assert( offsetof( PluginExtendedInfoStruct, FreeFrameExtendedDataBlock ) == 32, "extended info layout" );
static_assert( sizeof( SetParameterStruct ) == 16, "SetParameterStruct layout" );
static_assert( sizeof( FFGLTextureStruct ) == 20, "FFGLTextureStruct layout" );
static_assert( sizeof( ProcessOpenGLStruct ) == 24, "ProcessOpenGLStruct layout" );
static_assert( offsetof( ProcessOpenGLStruct, HostFBO ) == 16, "ProcessOpenGLStruct layout" );
static_assert( sizeof( FFGLViewportStruct ) == 16, "FFGLViewportStruct layout" );
static_assert( sizeof( SetBeatinfoStruct ) == 8, "SetBeatinfoStruct layout" );
static_assert( sizeof( SetHostinfoStruct ) == 16, "SetHostinfoStruct layout" );
static_assert( sizeof( GetRangeStruct ) == 12, "GetRangeStruct layout" );
static_assert( sizeof( ParameterElementStruct ) == 8, "ParameterElementStruct layout" );
static_assert( sizeof( SetParameterElementValueStruct ) == 12, "SetParameterElementValueStruct layout" );

inline FFMixed MixedNumber( uint32_t value )
{
	FFMixed m;
	m.bits = value;
	return m;
}

inline FFMixed MixedPointer( const void* pointer )
{
	FFMixed m;
	m.bits         = 0;
	m.PointerValue = const_cast< void* >( pointer );
	return m;
}

// A pointer result that is neither null nor the widened failure value.
inline bool IsValidPointer( FFMixed result )
{
	return result.bits != 0 && result.bits != kFailurePointer;
}
}
