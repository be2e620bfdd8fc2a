#include "effect/matte_blend.h"

#if defined( __SSE2__ ) || defined( _M_X64 ) || ( defined( _M_IX86_FP ) && _M_IX86_FP >= 2 )
#define UMBRAFEX_BLEND_SSE2 1
#include <array>
#include <emmintrin.h>
#include <utility>
// The whole chain must sit in the loop: a call per 16 bytes would cost more than the blend.
#ifdef _MSC_VER
#define BLEND_INLINE __forceinline
#else
#define BLEND_INLINE inline __attribute__( ( always_inline ) )
#endif
#endif

int HistoryWeight( float stability )
{
	if( !( stability > 0.01f ) )
		return 0;
	// Compared as a float first: a huge or infinite value must not reach the integer conversion.
	const float weight = stability * 230.0f;
	if( weight >= 256.0f )
		return 256;
	return static_cast< int >( weight );
}

namespace
{
void BlendScalar( uint8_t* history, const uint8_t* matte, size_t count, uint32_t keep )
{
	const uint32_t fresh = 256u - keep;
	for( size_t i = 0; i < count; ++i )
		history[ i ] = static_cast< uint8_t >( ( history[ i ] * keep + matte[ i ] * fresh ) >> 8 );
}

#ifdef UMBRAFEX_BLEND_SSE2
// With k = sum of b_i 2^i, h*k + m*(256 - k) = m + sum of 2^i (b_i ? h : m), so eight halvings, from
// bit 0 up and seeded with m, give (h*k + m*(256 - k)) >> 8 exactly: nested floors of halves compose.
// The floor of a half-sum is ~avg(~a, ~b) (pavgb rounds up), hence the work on complemented bytes.
// Bits below the lowest set one would average m with m: they are skipped.
const size_t kBlockBytes = 128;

constexpr unsigned LowestSetBit( unsigned k )
{
	unsigned bit = 0;
	while( bit < 8 && !( ( k >> bit ) & 1u ) )
		++bit;
	return bit;
}

template< unsigned K, size_t... Bits >
BLEND_INLINE __m128i Halvings( __m128i h, __m128i m, std::index_sequence< Bits... > )
{
	__m128i x = m;
	( ( x = Bits >= LowestSetBit( K ) ? _mm_avg_epu8( x, ( ( K >> Bits ) & 1u ) ? h : m ) : x ), ... );
	return x;
}

template< unsigned K >
BLEND_INLINE void Blend16( uint8_t* history, const uint8_t* matte, __m128i ones )
{
	const __m128i h = _mm_xor_si128( _mm_loadu_si128( reinterpret_cast< const __m128i* >( history ) ), ones );
	const __m128i m = _mm_xor_si128( _mm_loadu_si128( reinterpret_cast< const __m128i* >( matte ) ), ones );
	const __m128i x = Halvings< K >( h, m, std::make_index_sequence< 8 >() );
	_mm_storeu_si128( reinterpret_cast< __m128i* >( history ), _mm_xor_si128( x, ones ) );
}

template< unsigned K, size_t... Lanes >
BLEND_INLINE void Blend128( uint8_t* history, const uint8_t* matte, __m128i ones, std::index_sequence< Lanes... > )
{
	( Blend16< K >( history + Lanes * 16, matte + Lanes * 16, ones ), ... );
}

// One weight's code: the choice of h or m per halving is fixed at compile time, so none is made per byte.
template< unsigned K >
void BlendBlocks( uint8_t* history, const uint8_t* matte, size_t blocks )
{
	const __m128i ones      = _mm_set1_epi32( -1 );
	uint8_t* historyEnd     = history + blocks * kBlockBytes;
	const uint8_t* matteEnd = matte + blocks * kBlockBytes;
	// Counting up to zero; blocks of 128 bytes keep the loop's own share small.
	for( ptrdiff_t i = -static_cast< ptrdiff_t >( blocks * kBlockBytes ); i != 0; i += kBlockBytes )
		Blend128< K >( historyEnd + i, matteEnd + i, ones, std::make_index_sequence< kBlockBytes / 16 >() );
}

typedef void ( *BlockBlend )( uint8_t* history, const uint8_t* matte, size_t blocks );

template< size_t... K >
constexpr std::array< BlockBlend, sizeof...( K ) > BlockBlendTable( std::index_sequence< K... > )
{
	return { { &BlendBlocks< static_cast< unsigned >( K ) >... } };
}

// Weights 0 to 255; 256 leaves the history as it is.
constexpr std::array< BlockBlend, 256 > blockBlends = BlockBlendTable( std::make_index_sequence< 256 >() );
#endif
}

void BlendMatte( uint8_t* history, const uint8_t* matte, size_t count, int k )
{
	// A weight outside 0..256 would index past the table or turn the matte's weight negative.
	if( k >= 256 )
		return;
	const uint32_t keep = k > 0 ? static_cast< uint32_t >( k ) : 0u;
#ifdef UMBRAFEX_BLEND_SSE2
	const size_t blocks = count / kBlockBytes;
	blockBlends[ keep ]( history, matte, blocks );
	BlendScalar( history + blocks * kBlockBytes, matte + blocks * kBlockBytes, count % kBlockBytes, keep );
#else
	BlendScalar( history, matte, count, keep );
#endif
}
