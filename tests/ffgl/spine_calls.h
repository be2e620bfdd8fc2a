#pragma once
// Calling plugMain the way a host does, and reading its 64-bit answers.
#include "ffgl/mixed.h"
#include "ffgl/types.h"

#include <cstdint>
#include <cstring>

typedef FFMixed ( *PlugMainFunction )( uint32_t, FFMixed, FFInstanceID );

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

static const uint64_t kFailBits    = 0xFFFFFFFFu;
static const uint64_t kFailPointer = 0x00000000FFFFFFFFu;

// The input value as a host fills it: a number with garbage in the high half, which must be ignored.
inline FFMixed HostNumber( uint32_t value )
{
	uint64_t bits = 0xABCD000000000000u | value;
	FFMixed mixed;
	std::memcpy( &mixed, &bits, sizeof( mixed ) );
	return mixed;
}
