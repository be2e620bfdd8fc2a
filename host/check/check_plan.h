#pragma once
// How much work "ffglhost check" does at a strictness, and the seeded random numbers behind every choice
// (the same seed replays the same run on every target).
#include <cstdint>
#include <string>
#include <vector>

namespace ffglhost
{
struct FrameSize
{
	int width;
	int height;
};

// How much work a strictness from 1 (a quick smoke run) to 10 (everything) asks for.
struct CheckPlan
{
	int strictness    = 1;
	int scanCycles    = 0;              // load, query, unload
	int instances     = 0;              // live at once
	int framesPerSize = 0;              // enough for effects that draw their first frame after a set-up unchanged
	int randomSteps   = 0;              // frames of random parameter automation
	int settleFrames  = 0;              // frames after a return to the defaults
	std::vector< FrameSize > sizes;     // sizes a running instance changes through
	std::vector< FrameSize > tinySizes; // frames a few pixels wide
};

CheckPlan MakeCheckPlan( int strictness );

// splitmix64: small, fast and the same on every compiler, unlike the standard distributions.
class CheckRandom
{
public:
	explicit CheckRandom( uint64_t seed )
	    : state( seed )
	{
	}
	uint64_t Next();
	// 0 to n - 1; n at least 1.
	int Below( int n );
	float Between( float low, float high );
	template< typename T >
	void Shuffle( std::vector< T >& items )
	{
		for( size_t i = items.size(); i > 1; --i )
			std::swap( items[ i - 1 ], items[ static_cast< size_t >( Below( static_cast< int >( i ) ) ) ] );
	}

private:
	uint64_t state;
};

// Each group draws from its own stream, so running some groups alone replays them exactly.
uint64_t GroupSeed( uint64_t seed, const std::string& group );
}
