#include "effect/MatteBlend.h"

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

void BlendMatte( uint8_t* history, const uint8_t* matte, size_t count, int k )
{
	const uint32_t keep  = static_cast< uint32_t >( k );
	const uint32_t fresh = 256u - keep;
	for( size_t i = 0; i < count; ++i )
		history[ i ] = static_cast< uint8_t >( ( history[ i ] * keep + matte[ i ] * fresh ) >> 8 );
}
