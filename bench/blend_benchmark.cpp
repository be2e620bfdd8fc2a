// The matte blend against a plain copy of the same bytes, at the work sizes of a landscape and a
// portrait 1080p input. Prints, after the table, each size's blend time over its copy time.
#include "effect/matte_blend.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace
{
const int kWeight = 115; // "Stability" 0.5; every bit of it takes a step, the slowest case.

std::vector< uint8_t > Bytes( size_t count, uint32_t seed )
{
	std::vector< uint8_t > bytes( count );
	for( uint8_t& b : bytes )
	{
		seed = seed * 1664525u + 1013904223u;
		b    = static_cast< uint8_t >( seed >> 24 );
	}
	return bytes;
}

void Blend( benchmark::State& state )
{
	const size_t count                 = static_cast< size_t >( state.range( 0 ) * state.range( 1 ) );
	std::vector< uint8_t > history     = Bytes( count, 1 );
	const std::vector< uint8_t > matte = Bytes( count, 2 );
	for( auto _ : state )
	{
		BlendMatte( history.data(), matte.data(), count, kWeight );
		benchmark::ClobberMemory();
	}
	state.SetBytesProcessed( static_cast< int64_t >( state.iterations() ) * static_cast< int64_t >( count ) );
}

void Copy( benchmark::State& state )
{
	const size_t count                 = static_cast< size_t >( state.range( 0 ) * state.range( 1 ) );
	std::vector< uint8_t > history     = Bytes( count, 1 );
	const std::vector< uint8_t > matte = Bytes( count, 2 );
	for( auto _ : state )
	{
		benchmark::DoNotOptimize( history.data() );
		std::memcpy( history.data(), matte.data(), count );
		benchmark::ClobberMemory();
	}
	state.SetBytesProcessed( static_cast< int64_t >( state.iterations() ) * static_cast< int64_t >( count ) );
}

BENCHMARK( Blend )->Args( { 960, 540 } )->Args( { 960, 1706 } );
BENCHMARK( Copy )->Args( { 960, 540 } )->Args( { 960, 1706 } );

// The console table as usual, and each run's time per iteration kept by name for the ratios.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
	void ReportRuns( const std::vector< Run >& runs ) override
	{
		ConsoleReporter::ReportRuns( runs );
		for( const Run& run : runs )
			seconds[ run.benchmark_name() ] = run.GetAdjustedRealTime();
	}

	void PrintRatios() const
	{
		for( const char* size : { "960/540", "960/1706" } )
		{
			const auto blend = seconds.find( std::string( "Blend/" ) + size );
			const auto copy  = seconds.find( std::string( "Copy/" ) + size );
			if( blend != seconds.end() && copy != seconds.end() && copy->second > 0.0 )
				std::printf( "blend / copy at %s: %.2f\n", size, blend->second / copy->second );
		}
	}

private:
	std::map< std::string, double > seconds;
};
}

int main( int argc, char** argv )
{
	benchmark::Initialize( &argc, argv );
	RatioReporter reporter;
	benchmark::RunSpecifiedBenchmarks( &reporter );
	reporter.PrintRatios();
	benchmark::Shutdown();
	return 0;
}
