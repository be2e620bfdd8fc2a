#pragma once
// Reading and making FFMixed values: numbers in the low half (the high half zeroed), pointers in all 64 bits.
#include "ffgl/types.h"

#include <cstring>

inline FFMixed MixedFromUInt( uint32_t value )
{
	uint64_t bits = value;
	FFMixed mixed;
	std::memcpy( &mixed, &bits, sizeof( mixed ) );
	return mixed;
}

inline FFMixed MixedFromFloat( float value )
{
	uint32_t bits;
	std::memcpy( &bits, &value, sizeof( bits ) );
	return MixedFromUInt( bits );
}

inline FFMixed MixedFromPointer( const void* pointer )
{
	FFMixed mixed;
	mixed.PointerValue = const_cast< void* >( pointer );
	return mixed;
}

inline FFMixed FailurePointer()
{
	return MixedFromPointer( reinterpret_cast< const void* >( FF_FAIL_POINTER_VALUE ) );
}

// The low 32 bits, whichever member the host wrote.
inline uint32_t MixedLowBits( FFMixed mixed )
{
	uint64_t bits;
	std::memcpy( &bits, &mixed, sizeof( bits ) );
	return static_cast< uint32_t >( bits );
}

inline float MixedLowFloat( FFMixed mixed )
{
	uint32_t bits = MixedLowBits( mixed );
	float value;
	std::memcpy( &value, &bits, sizeof( value ) );
	return value;
}

inline void* MixedPointer( FFMixed mixed )
{
	void* pointer;
	std::memcpy( &pointer, &mixed, sizeof( pointer ) );
	return pointer;
}
