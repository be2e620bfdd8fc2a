#include "host/core/scene_photo.h"

#include "host/core/pixel_hash.h"
#include "host/core/png_io.h"

#include <algorithm>
#include <cmath>

namespace ffglhost
{
namespace
{
const float kTwoPi = 6.28318531f;
// The fitted photo is enlarged this much more, so shake and roll never show beyond its edges.
const float kMargin = 1.03f;

uint64_t SplitMix( uint64_t& state )
{
	uint64_t z = ( state += 0x9e3779b97f4a7c15ull );
	z          = ( z ^ ( z >> 30 ) ) * 0xbf58476d1ce4e5b9ull;
	z          = ( z ^ ( z >> 27 ) ) * 0x94d049bb133111ebull;
	return z ^ ( z >> 31 );
}

// A hand's tremor: a slow drift under faster shakes, between -1 and 1, phases from the seed.
float Wobble( double t, uint64_t& state )
{
	const float kFrequencies[] = { 0.005f, 0.021f, 0.063f, 0.17f }; // cycles per frame
	const float kWeights[]     = { 0.45f, 0.3f, 0.17f, 0.08f };
	float sum                  = 0.f;
	for( int i = 0; i < 4; ++i )
	{
		const float phase = kTwoPi * static_cast< float >( SplitMix( state ) >> 40 ) / 16777216.f;
		// The cycles' fraction in double, so the motion stays smooth in runs of a million frames.
		const float cycle = static_cast< float >( std::fmod( static_cast< double >( kFrequencies[ i ] ) * t, 1.0 ) );
		sum += kWeights[ i ] * std::sin( kTwoPi * cycle + phase );
	}
	return sum;
}

// Near-Gaussian noise of spread kSensorNoise: the sum of the hash's four bytes, centred.
float Noise( uint32_t h )
{
	const int sum = static_cast< int >( ( h & 255u ) + ( ( h >> 8 ) & 255u ) + ( ( h >> 16 ) & 255u ) + ( h >> 24 ) );
	// Four uniform bytes: mean 510, standard deviation 147.8.
	return static_cast< float >( sum - 510 ) * ( kSensorNoise / 147.8f );
}
}

CameraMotion HandheldMotion( int frame, unsigned long long seed, int h )
{
	uint64_t state = seed;
	const double t = frame;
	const float px = static_cast< float >( h ) / 1080.f;
	CameraMotion m;
	m.shiftX = 2.5f * px * Wobble( t, state );
	m.shiftY = 2.f * px * Wobble( t, state );
	m.angle  = 0.0025f * Wobble( t, state ); // up to about 0.14 degrees
	m.zoom   = 1.f + 0.004f * Wobble( t, state );
	return m;
}

bool PhotoScene::Open( const std::string& path, std::string* error )
{
	return ReadPhoto( path, photo, error );
}

void PhotoScene::Render( int frame, int w, int h, unsigned long long seed, bool still, Picture& picture ) const
{
	ResizePicture( picture, w, h );
	const CameraMotion m = still ? CameraMotion{ 0.f, 0.f, 0.f, 1.f } : HandheldMotion( frame, seed, h );
	const float W = static_cast< float >( w ), H = static_cast< float >( h );
	const float pw = static_cast< float >( photo.width ), ph = static_cast< float >( photo.height );
	// Frame pixels per photo pixel, then the frame's pixel centres mapped back into the photo.
	const float scale = std::max( W / pw, H / ph ) * kMargin * m.zoom;
	const float c = std::cos( m.angle ) / scale, s = std::sin( m.angle ) / scale;
	uint64_t state     = seed;
	const uint32_t key = static_cast< uint32_t >( SplitMix( state ) ) + static_cast< uint32_t >( frame );
	const int lastX = photo.width - 1, lastY = photo.height - 1;
	for( int y = 0; y < h; ++y )
	{
		const float dx = 0.5f - 0.5f * W - m.shiftX;
		const float dy = static_cast< float >( y ) + 0.5f - 0.5f * H - m.shiftY;
		// Photo coordinates with pixel centres on whole numbers.
		float u      = 0.5f * pw - 0.5f + c * dx + s * dy;
		float v      = 0.5f * ph - 0.5f - s * dx + c * dy;
		uint8_t* out = PixelAt( picture, 0, y );
		for( int x = 0; x < w; ++x, u += c, v -= s, out += 4 )
		{
			const float fu = std::floor( u ), fv = std::floor( v );
			const float ax = u - fu, ay = v - fv;
			const int x0       = std::min( lastX, std::max( 0, static_cast< int >( fu ) ) );
			const int y0       = std::min( lastY, std::max( 0, static_cast< int >( fv ) ) );
			const int x1       = std::min( lastX, std::max( 0, static_cast< int >( fu ) + 1 ) );
			const int y1       = std::min( lastY, std::max( 0, static_cast< int >( fv ) + 1 ) );
			const uint8_t* p00 = PixelAt( photo, x0, y0 );
			const uint8_t* p10 = PixelAt( photo, x1, y0 );
			const uint8_t* p01 = PixelAt( photo, x0, y1 );
			const uint8_t* p11 = PixelAt( photo, x1, y1 );
			for( int ch = 0; ch < 3; ++ch )
			{
				const float top    = p00[ ch ] + ( p10[ ch ] - p00[ ch ] ) * ax;
				const float bottom = p01[ ch ] + ( p11[ ch ] - p01[ ch ] ) * ax;
				const float value  = top + ( bottom - top ) * ay +
				                    Noise( PixelHash( static_cast< uint32_t >( x ), static_cast< uint32_t >( y ),
				                                      key + static_cast< uint32_t >( ch ) * 0x9e3779b1u ) );
				out[ ch ] = static_cast< uint8_t >( std::min( 255.f, std::max( 0.f, value + 0.5f ) ) );
			}
			out[ 3 ] = 255;
		}
	}
}
}
