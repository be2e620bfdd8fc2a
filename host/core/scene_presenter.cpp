#include "host/core/scene_presenter.h"

#include "host/core/pixel_hash.h"

#include <algorithm>
#include <cmath>

namespace ffglhost
{
namespace
{
struct Vec2
{
	float x, y;
};

struct Colour
{
	float r, g, b;
};

const Colour kBackdrop = { 44.f, 178.f, 56.f };
const Colour kSkin     = { 226.f, 176.f, 146.f };
const Colour kNeck     = { 206.f, 158.f, 130.f };
const Colour kHair     = { 64.f, 44.f, 34.f };
const Colour kShirt    = { 54.f, 76.f, 148.f };
const Colour kSleeve   = { 46.f, 66.f, 134.f };

const float kTwoPi = 6.28318531f;

// The shapes of one frame, in pixels.
struct Figure
{
	FigurePose pose;
	Vec2 head;
	Vec2 headRadius;
	float neckTop, neckBottom, neckRadius;
	Vec2 shoulderLeft, shoulderRight;
	float shoulderRadius;
	float torsoTop, torsoTopHalf, torsoBottomHalf, torsoBottom;
	Vec2 elbow[ 2 ], hand[ 2 ], shoulderJoint[ 2 ];
	float upperArmRadius, forearmRadius, handRadius;
};

Figure MakeFigure( int frame, int w, int h )
{
	const float W = static_cast< float >( w );
	const float H = static_cast< float >( h );
	const float u = std::min( W, H );
	const float t = static_cast< float >( frame );
	auto above    = [ & ]( float k ) { return H - k * u; }; // k units above the bottom edge

	Figure f;
	const float cx    = W * ( 0.5f + 0.2f * std::sin( kTwoPi * t / 300.f ) );
	f.head            = { cx + 0.012f * u * std::sin( t * 0.11f ), above( 0.70f ) };
	f.headRadius      = { 0.075f * u, 0.095f * u };
	f.neckTop         = above( 0.63f );
	f.neckBottom      = above( 0.53f );
	f.neckRadius      = 0.036f * u;
	f.shoulderLeft    = { cx - 0.13f * u, above( 0.49f ) };
	f.shoulderRight   = { cx + 0.13f * u, above( 0.49f ) };
	f.shoulderRadius  = 0.055f * u;
	f.torsoTop        = above( 0.49f );
	f.torsoTopHalf    = 0.175f * u;
	f.torsoBottomHalf = 0.15f * u;
	f.torsoBottom     = H + 0.1f * u;
	for( int side = 0; side < 2; ++side )
	{
		const float s           = side == 0 ? -1.f : 1.f;
		const float swing       = 0.025f * u * std::sin( t * 0.23f + 1.3f * static_cast< float >( side ) );
		f.shoulderJoint[ side ] = { cx + s * 0.175f * u, above( 0.47f ) };
		f.elbow[ side ]         = { cx + s * 0.215f * u, above( 0.27f ) };
		f.hand[ side ]          = { cx + s * ( 0.12f * u + swing ), above( 0.13f ) };
	}
	f.upperArmRadius = 0.042f * u;
	f.forearmRadius  = 0.036f * u;
	f.handRadius     = 0.038f * u;

	FigurePose& p = f.pose;
	p.unit        = u;
	p.centerX     = cx;
	p.headX       = f.head.x;
	p.headY       = f.head.y;
	p.torsoX      = cx;
	p.torsoY      = above( 0.30f );
	p.left        = cx - 0.30f * u;
	p.right       = cx + 0.30f * u;
	p.top         = f.head.y - f.headRadius.y - 0.02f * u;
	p.bottom      = H;
	return f;
}

float Length( float x, float y )
{
	return std::sqrt( x * x + y * y );
}

// Signed distances in pixels, negative inside.
float Capsule( Vec2 p, Vec2 a, Vec2 b, float r )
{
	const float bax = b.x - a.x, bay = b.y - a.y;
	const float pax = p.x - a.x, pay = p.y - a.y;
	const float len2 = bax * bax + bay * bay;
	float k          = len2 > 0.f ? ( pax * bax + pay * bay ) / len2 : 0.f;
	k                = std::min( 1.f, std::max( 0.f, k ) );
	return Length( pax - bax * k, pay - bay * k ) - r;
}

float Ellipse( Vec2 p, Vec2 c, Vec2 r )
{
	const float nx = ( p.x - c.x ) / r.x, ny = ( p.y - c.y ) / r.y;
	return ( Length( nx, ny ) - 1.f ) * std::min( r.x, r.y );
}

float Coverage( float distance )
{
	return std::min( 1.f, std::max( 0.f, 0.5f - distance ) );
}

void Paint( Colour& c, const Colour& layer, float coverage )
{
	c.r += ( layer.r - c.r ) * coverage;
	c.g += ( layer.g - c.g ) * coverage;
	c.b += ( layer.b - c.b ) * coverage;
}

// Layers in painting order, over whatever colour is already there.
void PaintFigure( const Figure& f, Vec2 p, Colour& c )
{
	const float torsoHalf = f.torsoTopHalf + ( f.torsoBottomHalf - f.torsoTopHalf ) *
	                                             std::min( 1.f, ( p.y - f.torsoTop ) / ( f.torsoBottom - f.torsoTop ) );
	const float torso = std::max( std::fabs( p.x - f.pose.centerX ) - torsoHalf, f.torsoTop - p.y );
	Paint( c, kShirt, Coverage( std::min( torso, Capsule( p, f.shoulderLeft, f.shoulderRight, f.shoulderRadius ) ) ) );
	for( int side = 0; side < 2; ++side )
	{
		const float arm = std::min( Capsule( p, f.shoulderJoint[ side ], f.elbow[ side ], f.upperArmRadius ),
		                            Capsule( p, f.elbow[ side ], f.hand[ side ], f.forearmRadius ) );
		Paint( c, kSleeve, Coverage( arm ) );
	}
	const Vec2 neckTop = { f.pose.centerX, f.neckTop }, neckBottom = { f.pose.centerX, f.neckBottom };
	Paint( c, kNeck, Coverage( Capsule( p, neckTop, neckBottom, f.neckRadius ) ) );
	Paint( c, kSkin, Coverage( Ellipse( p, f.head, f.headRadius ) ) );
	const Vec2 hairCentre = { f.head.x, f.head.y - 0.2f * f.headRadius.y };
	const Vec2 hairRadius = { f.headRadius.x * 1.08f, f.headRadius.y * 0.9f };
	const float hair = std::max( Ellipse( p, hairCentre, hairRadius ), p.y - ( f.head.y - 0.25f * f.headRadius.y ) );
	Paint( c, kHair, Coverage( hair ) );
	for( int side = 0; side < 2; ++side )
		Paint( c, kSkin, Coverage( Length( p.x - f.hand[ side ].x, p.y - f.hand[ side ].y ) - f.handRadius ) );
}

uint8_t ToByte( float v )
{
	return static_cast< uint8_t >( std::min( 255.f, std::max( 0.f, v + 0.5f ) ) );
}
}

FigurePose PresenterPose( int frame, int w, int h )
{
	return MakeFigure( frame, w, h ).pose;
}

void RenderPresenter( int frame, int w, int h, Picture& picture )
{
	ResizePicture( picture, w, h );
	const Figure f    = MakeFigure( frame, w, h );
	const float W     = static_cast< float >( w );
	const float H     = static_cast< float >( h );
	const float spotX = 0.3f * W, spotY = 0.25f * H;
	const float spotR2 = 0.2f * ( W * W + H * H );
	for( int y = 0; y < h; ++y )
	{
		const float py          = static_cast< float >( y ) + 0.5f;
		const bool rowHasFigure = py >= f.pose.top && py <= f.pose.bottom;
		uint8_t* out            = PixelAt( picture, 0, y );
		for( int x = 0; x < w; ++x, out += 4 )
		{
			const float px = static_cast< float >( x ) + 0.5f;
			// A soft spot light upper left, the floor side a little darker: 0.78 to 1.0.
			const float r2    = ( px - spotX ) * ( px - spotX ) + ( py - spotY ) * ( py - spotY );
			const float light = 0.80f + 0.22f / ( 1.f + r2 / spotR2 ) - 0.04f * py / H;
			Colour c          = { kBackdrop.r * light, kBackdrop.g * light, kBackdrop.b * light };
			if( rowHasFigure && px >= f.pose.left && px <= f.pose.right )
			{
				Colour before = c;
				Colour body   = c;
				PaintFigure( f, { px, py }, body );
				if( body.r != before.r || body.g != before.g || body.b != before.b )
				{
					// Key light from the left on the figure.
					const float side =
					    std::min( 1.f, std::max( -1.f, ( f.pose.centerX - px ) / ( 0.25f * f.pose.unit ) ) );
					const float shade = 0.97f + 0.06f * side;
					c                 = { body.r * shade, body.g * shade, body.b * shade };
				}
			}
			const uint32_t n = PixelHash( static_cast< uint32_t >( x ), static_cast< uint32_t >( y ),
			                              static_cast< uint32_t >( frame ) );
			out[ 0 ]         = ToByte( c.r + static_cast< float >( static_cast< int >( n % 9u ) - 4 ) );
			out[ 1 ]         = ToByte( c.g + static_cast< float >( static_cast< int >( ( n >> 8 ) % 9u ) - 4 ) );
			out[ 2 ]         = ToByte( c.b + static_cast< float >( static_cast< int >( ( n >> 16 ) % 9u ) - 4 ) );
			out[ 3 ]         = 255;
		}
	}
}
}
