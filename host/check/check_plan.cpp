#include "host/check/check_plan.h"

#include <algorithm>

namespace ffglhost
{
CheckPlan MakeCheckPlan( int strictness )
{
	CheckPlan plan;
	const int s        = std::max( 1, std::min( 10, strictness ) );
	plan.strictness    = s;
	plan.scanCycles    = 3 + 2 * s;
	plan.instances     = 2 + s / 2;
	plan.framesPerSize = 3 + s / 4;
	plan.randomSteps   = 4 + 3 * s;
	plan.settleFrames  = 10 + s;
	// Odd and portrait sizes from the start; larger ones as strictness grows.
	plan.sizes = { { 320, 180 }, { 333, 187 } };
	if( s >= 2 )
		plan.sizes.push_back( { 180, 320 } );
	if( s >= 3 )
		plan.sizes.push_back( { 1280, 720 } );
	if( s >= 5 )
	{
		plan.sizes.push_back( { 1920, 1080 } );
		plan.sizes.push_back( { 1080, 1920 } );
	}
	if( s >= 7 )
		plan.sizes.push_back( { 641, 479 } );
	if( s >= 10 )
		plan.sizes.push_back( { 3840, 2160 } );
	plan.tinySizes = { { 2, 2 } };
	if( s >= 6 )
		plan.tinySizes.push_back( { 5, 3 } );
	if( s >= 10 )
		plan.tinySizes.push_back( { 1, 1 } );
	return plan;
}

uint64_t CheckRandom::Next()
{
	uint64_t z = ( state += 0x9E3779B97F4A7C15ull );
	z          = ( z ^ ( z >> 30 ) ) * 0xBF58476D1CE4E5B9ull;
	z          = ( z ^ ( z >> 27 ) ) * 0x94D049BB133111EBull;
	return z ^ ( z >> 31 );
}

int CheckRandom::Below( int n )
{
	return n <= 1 ? 0 : static_cast< int >( Next() % static_cast< uint64_t >( n ) );
}

float CheckRandom::Between( float low, float high )
{
	const double unit = static_cast< double >( Next() >> 11 ) / 9007199254740992.0; // [0, 1)
	return static_cast< float >( low + ( high - low ) * unit );
}

uint64_t GroupSeed( uint64_t seed, const std::string& group )
{
	uint64_t hash = 1469598103934665603ull; // FNV-1a of the name, mixed with the seed
	for( char c : group )
		hash = ( hash ^ static_cast< unsigned char >( c ) ) * 1099511628211ull;
	CheckRandom mix( seed ^ hash );
	return mix.Next();
}
}
