#pragma once
// Calling plugMain as a host does: numbers (with junk in the high half, which must be ignored), record
// pointers, parameter floats, the 64 bits of an answer, and one frame drawn into a test target.
#include "ffgl/mixed.h"
#include "ffgl/types.h"
#include "tests/support/gl_helpers.h"

#include <cstdint>
#include <cstring>

typedef FFMixed ( *PlugMainFunction )( uint32_t functionCode, FFMixed inputValue, FFInstanceID instanceID );

static const uint64_t kFailBits    = 0xFFFFFFFFu;
static const uint64_t kFailPointer = 0x00000000FFFFFFFFu;

// All 64 bits of an answer.
inline uint64_t Bits( FFMixed mixed )
{
	uint64_t bits;
	std::memcpy( &bits, &mixed, sizeof( bits ) );
	return bits;
}

inline uint64_t FloatBits( float value )
{
	return Bits( MixedFromFloat( value ) );
}

// A number as a host may hand it over: the high half holds whatever the host left there.
inline FFMixed HostNumber( uint32_t value, uint32_t highHalf = 0xABCD0000u )
{
	const uint64_t bits = static_cast< uint64_t >( highHalf ) << 32 | value;
	FFMixed mixed;
	std::memcpy( &mixed, &bits, sizeof( mixed ) );
	return mixed;
}

// Code 18's answer names an instance: neither null nor the failure pointer.
inline bool IsInstance( FFMixed answer )
{
	return Bits( answer ) != 0 && Bits( answer ) != kFailPointer;
}

// The record of a frame with one input, as a host fills it; a test may spoil it before it is sent.
struct FrameRecord
{
	FrameRecord( const FFGLTextureStruct& input, GLuint hostFramebuffer );
	FrameRecord( const FrameRecord& )            = delete;
	FrameRecord& operator=( const FrameRecord& ) = delete;

	FFGLTextureStruct texture;
	FFGLTextureStruct* inputs[ 1 ];
	ProcessOpenGLStruct record;
};

// What a host sets up before a frame: the target's framebuffer bound, the viewport on all of it.
void BindHostTarget( const TestTarget& target );

// One library's plugMain (linked in, or loaded at run time) and the calls a host makes through it.
struct PlugMainCalls
{
	PlugMainFunction plugMain = nullptr;

	FFMixed Call( uint32_t code, FFMixed input, FFInstanceID instance = nullptr ) const;
	FFMixed Call( uint32_t code, uint32_t number = 0, FFInstanceID instance = nullptr ) const;
	FFMixed CallWith( uint32_t code, const void* record, FFInstanceID instance = nullptr ) const;
	// Code 8 with a float value, code 9 read back as one.
	FFResult SetParameter( FFInstanceID instance, uint32_t index, float value ) const;
	float GetParameter( FFInstanceID instance, uint32_t index ) const;
	// One FF_PROCESS_OPENGL of one input into the target, which is bound first and named as HostFBO.
	FFResult Frame( FFInstanceID instance, const FFGLTextureStruct& input, const TestTarget& target ) const;
	// The same with a record the test made (or spoilt).
	FFResult Frame( FFInstanceID instance, const ProcessOpenGLStruct& record, const TestTarget& target ) const;
};
