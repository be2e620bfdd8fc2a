// The effect's pure parts on their own: work size, smoothing weight and blend, the GLSL texts.
#include "effect/matte_blend.h"
#include "effect/umbrafex_shaders.h"
#include "effect/work_size.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

static uint32_t Crc32( const char* text )
{
	uint32_t crc = 0xFFFFFFFFu;
	for( const unsigned char* p = reinterpret_cast< const unsigned char* >( text ); *p; ++p )
	{
		crc ^= *p;
		for( int bit = 0; bit < 8; ++bit )
			crc = ( crc >> 1 ) ^ ( 0xEDB88320u & ( 0u - ( crc & 1u ) ) );
	}
	return ~crc;
}

TEST( WorkSize, SinglePrecisionTruncationAndEvenSides )
{
	struct Case
	{
		int32_t w, h, workW, workH;
	};
	const Case cases[] = {
		{ 1066, 600, 958, 540 },  { 1920, 1080, 960, 540 }, { 1280, 720, 960, 540 }, { 3840, 2160, 960, 540 },
		{ 7680, 4320, 960, 540 }, { 1366, 768, 960, 538 },  { 1024, 768, 960, 720 }, { 1080, 1920, 960, 1706 },
		{ 639, 479, 638, 478 },   { 3, 3, 2, 2 },           { 1, 1, 0, 0 },          { 960, 7, 960, 6 }
	};
	for( const Case& c : cases )
	{
		WorkSize size = ComputeWorkSize( c.w, c.h );
		EXPECT_EQ( c.workW, size.width ) << c.w << " x " << c.h;
		EXPECT_EQ( c.workH, size.height ) << c.w << " x " << c.h;
	}
}

TEST( WorkSize, HostileSizesStayDefined )
{
	// A height near 2^31 at scale 1 rounds to 2^31 as a float: it must saturate, not wrap.
	EXPECT_EQ( 2147483646, ComputeWorkSize( 2, 2147483647 ).height );
	// Sizes above 2^31 arrive from the host's unsigned fields as negative numbers: below 2, rejected.
	EXPECT_LT( ComputeWorkSize( -5, 100 ).width, 2 );
	EXPECT_LT( ComputeWorkSize( 100, -1 ).height, 2 );
}

TEST( MatteBlend, HistoryWeightFromStability )
{
	EXPECT_EQ( 115, HistoryWeight( 0.5f ) );
	EXPECT_EQ( 230, HistoryWeight( 1.0f ) );
	EXPECT_EQ( 2, HistoryWeight( 0.0101f ) );
	EXPECT_EQ( 0, HistoryWeight( 0.01f ) );
	EXPECT_EQ( 0, HistoryWeight( 0.0f ) );
	EXPECT_EQ( 0, HistoryWeight( -3.0f ) );
	EXPECT_EQ( 0, HistoryWeight( std::nanf( "" ) ) );
	// 257/230 and beyond: the history's weight stops at 256, the new matte's at 0.
	EXPECT_EQ( 255, HistoryWeight( 1.11f ) );
	EXPECT_EQ( 256, HistoryWeight( 1.2f ) );
	EXPECT_EQ( 256, HistoryWeight( 1e30f ) );
	EXPECT_EQ( 256, HistoryWeight( INFINITY ) );
}

// The pipeline's tests see the early values; here the long run and the bytes past count.
TEST( MatteBlend, SettlesBelow255AndFullWeightFreezes )
{
	std::vector< uint8_t > history( 4, 0 );
	const std::vector< uint8_t > matte( 4, 255 );
	for( int i = 0; i < 200; ++i )
		BlendMatte( history.data(), matte.data(), 3, 230 );
	EXPECT_EQ( ( std::vector< uint8_t >{ 246, 246, 246, 0 } ), history );
	history = { 10, 200, 77, 99 };
	BlendMatte( history.data(), matte.data(), 4, 256 );
	EXPECT_EQ( ( std::vector< uint8_t >{ 10, 200, 77, 99 } ), history );
	BlendMatte( history.data(), matte.data(), 3, 128 );
	EXPECT_EQ( ( std::vector< uint8_t >{ 132, 227, 166, 99 } ), history );
}

TEST( Shaders, TextsAreByteExact )
{
	EXPECT_EQ( 226u, std::strlen( kUmbrafexVertexSource ) );
	EXPECT_EQ( 966u, std::strlen( kUmbrafexFragmentSource ) );
	EXPECT_EQ( 0x19391dfdu, Crc32( kUmbrafexVertexSource ) );
	EXPECT_EQ( 0xd52f228cu, Crc32( kUmbrafexFragmentSource ) );
	EXPECT_EQ( nullptr, std::strchr( kUmbrafexFragmentSource, '\r' ) );
}
