// The vectorised blend against the plain formula: every weight, every byte pair, odd lengths and
// starts, and nothing written past the count.
#include "effect/matte_blend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// k from 0 to 256.
static uint8_t Reference( uint8_t h, uint8_t m, int k )
{
	return static_cast< uint8_t >( ( h * k + m * ( 256 - k ) ) >> 8 );
}

// A small deterministic generator, the same on every target.
static uint32_t Next( uint32_t& state )
{
	state = state * 1664525u + 1013904223u;
	return state >> 24;
}

TEST( BlendExact, EveryWeightEveryPair )
{
	// Pair i is history i >> 8 with matte i & 255. The start moves with k, so every alignment is met.
	std::vector< uint8_t > history( 65536 + 16 ), matte( 65536 + 16 );
	for( int k = 0; k <= 256; ++k )
	{
		const size_t start      = static_cast< size_t >( k ) % 16;
		const size_t matteStart = ( static_cast< size_t >( k ) * 7 ) % 16;
		for( size_t i = 0; i < 65536; ++i )
		{
			history[ start + i ]    = static_cast< uint8_t >( i >> 8 );
			matte[ matteStart + i ] = static_cast< uint8_t >( i & 255 );
		}
		BlendMatte( history.data() + start, matte.data() + matteStart, 65536, k );
		size_t wrong = 0;
		for( size_t i = 0; i < 65536; ++i )
		{
			const uint8_t expected =
			    Reference( static_cast< uint8_t >( i >> 8 ), static_cast< uint8_t >( i & 255 ), k );
			if( history[ start + i ] != expected && wrong++ < 4 )
				ADD_FAILURE() << "k " << k << ", history " << ( i >> 8 ) << ", matte " << ( i & 255 ) << ": got "
				              << int( history[ start + i ] ) << ", expected " << int( expected );
		}
		ASSERT_EQ( 0u, wrong ) << "k " << k;
	}
}

TEST( BlendExact, AnyLengthLeavesTheBytesBeyondAlone )
{
	uint32_t state = 12345;
	for( int k : { 0, 1, 2, 115, 128, 200, 230, 255, 256 } )
	{
		for( size_t count = 0; count <= 200; ++count )
		{
			std::vector< uint8_t > history( count + 32 ), matte( count + 32 ), expected;
			for( size_t i = 0; i < history.size(); ++i )
			{
				history[ i ] = static_cast< uint8_t >( Next( state ) );
				matte[ i ]   = static_cast< uint8_t >( Next( state ) );
			}
			expected = history;
			for( size_t i = 0; i < count; ++i )
				expected[ 3 + i ] = Reference( history[ 3 + i ], matte[ 5 + i ], k );
			BlendMatte( history.data() + 3, matte.data() + 5, count, k );
			ASSERT_EQ( expected, history ) << "k " << k << ", count " << count;
		}
	}
}

TEST( BlendExact, WeightsBeyondTheRangeTakeTheNearerEnd )
{
	const std::vector< uint8_t > matte( 100, 200 );
	std::vector< uint8_t > history( 100, 7 );
	BlendMatte( history.data(), matte.data(), history.size(), 1000 );
	EXPECT_EQ( std::vector< uint8_t >( 100, 7 ), history );
	BlendMatte( history.data(), matte.data(), history.size(), -40 );
	EXPECT_EQ( matte, history );
}

TEST( BlendExact, RepeatedBlendConvergesLikeTheFormula )
{
	// Many frames over one buffer: errors would compound, so any drift from the formula shows.
	std::vector< uint8_t > history( 960, 0 ), matte( 960 ), expected( 960, 0 );
	uint32_t state = 99;
	for( int frame = 0; frame < 300; ++frame )
	{
		for( size_t i = 0; i < matte.size(); ++i )
			matte[ i ] = static_cast< uint8_t >( frame < 150 ? Next( state ) : 255 );
		for( size_t i = 0; i < matte.size(); ++i )
			expected[ i ] = Reference( expected[ i ], matte[ i ], 115 );
		BlendMatte( history.data(), matte.data(), history.size(), 115 );
	}
	EXPECT_EQ( expected, history );
	EXPECT_EQ( 254, history[ 0 ] );
}
