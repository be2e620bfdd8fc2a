#include "host/check/frame_output.h"

#include "host/core/ffgl_host_types.h"
#include "host/core/texts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace ffglhost
{
namespace
{
bool IsClearColour( const uint8_t* pixel )
{
	return std::memcmp( pixel, kClearColour, 4 ) == 0;
}
}

FrameLayout PlainLayout( int w, int h )
{
	FrameLayout layout;
	layout.width = layout.textureWidth = layout.targetWidth = w;
	layout.height = layout.textureHeight = layout.targetHeight = h;
	return layout;
}

std::string FrameProblem( const FrameOutput& output, unsigned demands )
{
	char text[ 320 ];
	if( ( demands & kAnswered ) && output.answer != FF_SUCCESS )
		std::snprintf( text, sizeof( text ), "FF_PROCESS_OPENGL answered 0x%08X instead of FF_SUCCESS", output.answer );
	else if( ( demands & kDrawn ) && output.undrawn )
		std::snprintf( text, sizeof( text ),
		               "%zu pixels of the viewport were not drawn (first at %s): the host's clear colour shows through",
		               output.undrawn, PositionText( output.undrawnX, output.undrawnY ).c_str() );
	else if( ( demands & kPremultiplied ) && output.straight )
		std::snprintf(
		    text, sizeof( text ),
		    "colour not premultiplied: %zu pixels have red, green or blue above alpha, first (%d, %d, %d, %d) at %s",
		    output.straight, output.straightAt[ 0 ], output.straightAt[ 1 ], output.straightAt[ 2 ],
		    output.straightAt[ 3 ], PositionText( output.straightX, output.straightY ).c_str() );
	else if( ( demands & kInside ) && output.outside )
		std::snprintf( text, sizeof( text ),
		               "drew %zu pixels outside the viewport (first at %s of HostFBO, from the top)", output.outside,
		               PositionText( output.outsideX, output.outsideY ).c_str() );
	else
		return std::string();
	return text;
}

std::vector< uint8_t > BrokenPixels( const FrameOutput& output, unsigned demands )
{
	std::vector< uint8_t > broken( output.picture.rgba.size() / 4, 0 );
	for( size_t i = 0; i < broken.size(); ++i )
	{
		const uint8_t* pixel = &output.picture.rgba[ i * 4 ];
		const bool undrawn   = IsClearColour( pixel );
		const bool straight  = !undrawn && std::max( pixel[ 0 ], std::max( pixel[ 1 ], pixel[ 2 ] ) ) > pixel[ 3 ] + 1;
		if( ( undrawn && ( demands & kDrawn ) ) || ( straight && ( demands & kPremultiplied ) ) )
			broken[ i ] = 255;
	}
	return broken;
}

void InspectFrame( const Picture& target, const FrameLayout& layout, FrameOutput& output )
{
	const int targetWidth  = target.width;
	const int targetHeight = target.height;
	ResizePicture( output.picture, layout.width, layout.height );
	output.undrawn = output.straight = output.outside = 0;
	for( int row = 0; row < targetHeight; ++row )
	{
		const int top = targetHeight - 1 - row; // counted from the top, for messages
		for( int x = 0; x < targetWidth; ++x )
		{
			const uint8_t* pixel = PixelAt( target, x, row );
			const bool inside    = x >= layout.viewportX && x < layout.viewportX + layout.width &&
			                    row >= layout.viewportY && row < layout.viewportY + layout.height;
			if( !inside )
			{
				if( !IsClearColour( pixel ) && output.outside++ == 0 )
				{
					output.outsideX = x;
					output.outsideY = top;
				}
				continue;
			}
			const int px = x - layout.viewportX;
			const int py = layout.viewportY + layout.height - 1 - row;
			std::memcpy( PixelAt( output.picture, px, py ), pixel, 4 );
			if( IsClearColour( pixel ) )
			{
				if( output.undrawn++ == 0 )
				{
					output.undrawnX = px;
					output.undrawnY = py;
				}
				continue;
			}
			if( std::max( pixel[ 0 ], std::max( pixel[ 1 ], pixel[ 2 ] ) ) > pixel[ 3 ] + 1 && output.straight++ == 0 )
			{
				output.straightX = px;
				output.straightY = py;
				for( int c = 0; c < 4; ++c )
					output.straightAt[ c ] = pixel[ c ];
			}
		}
	}
}
}
