#include "host/check/input_pictures.h"

#include "host/core/scene_presenter.h"

#include <cstddef>
#include <cstdint>

namespace ffglhost
{
namespace
{
const int kPictureVariety       = 4;
const size_t kPictureCacheLimit = 12;
}

const Picture& InputPictures::Get( int index, int w, int h )
{
	const auto key = std::make_tuple( index % kPictureVariety, w, h );
	auto found     = pictures.find( key );
	if( found != pictures.end() )
		return found->second;
	if( pictures.size() >= kPictureCacheLimit )
		pictures.clear();
	Picture& picture = pictures[ key ];
	// Poses far enough apart that the figure moves between pictures.
	RenderPresenter( ( index % kPictureVariety ) * 9, w, h, picture );
	// A translucent band and a clear band at the bottom, a translucent stripe at the left: an effect that
	// mishandles premultiplied input shows it there.
	for( int y = 0; y < h; ++y )
		for( int x = 0; x < w; ++x )
		{
			uint8_t* pixel  = PixelAt( picture, x, y );
			const int alpha = y >= h - h / 20 ? 0 : y >= h - h / 5 ? 128 : x < w / 10 ? 64 : 255;
			for( int c = 0; c < 3; ++c )
				pixel[ c ] = static_cast< uint8_t >( ( pixel[ c ] * alpha + 127 ) / 255 );
			pixel[ 3 ] = static_cast< uint8_t >( alpha );
		}
	return picture;
}
}
