#include "effect/work_size.h"

// Truncates toward zero, lowest bit cleared; a product beyond int32 saturates instead of overflowing.
static int32_t EvenSide( float product )
{
	if( product >= 2147483648.0f )
		return 2147483646;
	return static_cast< int32_t >( product ) & ~1;
}

WorkSize ComputeWorkSize( int32_t width, int32_t height )
{
	const float scale = width > 960 ? 960.0f / static_cast< float >( width ) : 1.0f;
	WorkSize size;
	size.width  = EvenSide( static_cast< float >( width ) * scale );
	size.height = EvenSide( static_cast< float >( height ) * scale );
	return size;
}
