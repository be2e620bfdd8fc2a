// The reference runtime's network at the effect's work size for a 1080p input (960x540), one
// inference thread, the shipped quality model: NvVFX_Run through the runtime library, and its three
// steps apart (resize in, inference, resize out). Median and p95 of single frames; after the table,
// the steps' share of the inference and ONNX Runtime's heap allocations per steady frame.
#include "host/core/dynamic_library.h"
#include "runtime/bilinear_resize.h"
#include "runtime/segmenter.h"
#include "tests/support/alloc_counter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
const uint32_t kWidth = 960, kHeight = 540;
const char* const kRuntime = REFRT_BENCH_RUNTIME_DIR;
const std::string kModels  = std::string( REFRT_BENCH_RUNTIME_DIR ) + "/models";

// A frame of the work size: smooth gradients with some texture, as a scaled camera picture has.
struct Frame
{
	std::vector< uint8_t > source = std::vector< uint8_t >( kWidth * kHeight * 3 );
	std::vector< uint8_t > matte  = std::vector< uint8_t >( kWidth * kHeight );
	RefRtImage sourceImage        = {};
	RefRtImage matteImage         = {};
	Frame()
	{
		for( uint32_t y = 0; y < kHeight; ++y )
			for( uint32_t x = 0; x < kWidth; ++x )
			{
				uint8_t* p = &source[ ( y * kWidth + x ) * 3 ];
				p[ 0 ]     = uint8_t( x / 4 );
				p[ 1 ]     = uint8_t( y / 3 + ( ( x * 7 + y * 13 ) & 15 ) );
				p[ 2 ]     = uint8_t( ( x + y ) / 6 );
			}
		sourceImage = Describe( source.data(), 3, NVCV_BGR );
		matteImage  = Describe( matte.data(), 1, NVCV_A );
	}
	static RefRtImage Describe( uint8_t* pixels, int bytes, int format )
	{
		RefRtImage image    = {};
		image.width         = kWidth;
		image.height        = kHeight;
		image.pitch         = int32_t( kWidth ) * bytes;
		image.pixelFormat   = format;
		image.componentType = NVCV_U8;
		image.pixelBytes    = uint8_t( bytes );
		image.pixels        = pixels;
		return image;
	}
};

double Percentile( std::vector< double > values, double fraction )
{
	std::sort( values.begin(), values.end() );
	return values[ std::min( values.size() - 1, size_t( fraction * values.size() ) ) ];
}

template< typename Step >
void Measure( benchmark::State& state, Step step )
{
	for( auto _ : state )
	{
		step();
		benchmark::ClobberMemory();
	}
}

// NvVFX_Run through the runtime library, set up as the plug-in does it.
void NvVfxRun( benchmark::State& state )
{
	using ffglhost::DynamicLibraryFunction;
	std::string error;
	void* image = ffglhost::LoadDynamicLibrary( std::string( kRuntime ) + "/libNVCVImage.so", &error );
	void* effects =
	    image ? ffglhost::LoadDynamicLibrary( std::string( kRuntime ) + "/libNVVideoEffects.so", &error ) : nullptr;
	if( !effects )
	{
		state.SkipWithError( error.c_str() );
		return;
	}
	auto create =
	    DynamicLibraryFunction< NvCV_Status ( * )( const char*, NvVFX_Handle* ) >( effects, "NvVFX_CreateEffect" );
	auto setText = DynamicLibraryFunction< NvCV_Status ( * )( NvVFX_Handle, const char*, const char* ) >(
	    effects, "NvVFX_SetString" );
	auto setU32 =
	    DynamicLibraryFunction< NvCV_Status ( * )( NvVFX_Handle, const char*, unsigned ) >( effects, "NvVFX_SetU32" );
	auto setImage = DynamicLibraryFunction< NvCV_Status ( * )( NvVFX_Handle, const char*, RefRtImage* ) >(
	    effects, "NvVFX_SetImage" );
	auto load    = DynamicLibraryFunction< NvCV_Status ( * )( NvVFX_Handle ) >( effects, "NvVFX_Load" );
	auto run     = DynamicLibraryFunction< NvCV_Status ( * )( NvVFX_Handle, int ) >( effects, "NvVFX_Run" );
	auto destroy = DynamicLibraryFunction< void ( * )( NvVFX_Handle ) >( effects, "NvVFX_DestroyEffect" );
	Frame frame;
	NvVFX_Handle effect = nullptr;
	if( !create || create( "GreenScreen", &effect ) != NVCV_SUCCESS || setText( effect, "ModelDir", kModels.c_str() ) ||
	    setU32( effect, "Mode", 0 ) || setImage( effect, "SrcImage0", &frame.sourceImage ) ||
	    setImage( effect, "DstImage0", &frame.matteImage ) || load( effect ) || run( effect, 0 ) )
	{
		state.SkipWithError( "the runtime or its quality model did not load" );
		return;
	}
	Measure( state, [ & ] { run( effect, 0 ); } );

	// ONNX Runtime's own heap allocations over steady frames (the runtime's must be none).
	const int kFrames = 50;
	alloccount::MapModules( { "libNVVideoEffects.so", "libNVCVImage.so" } );
	alloccount::Arm();
	for( int i = 0; i < kFrames; ++i )
		run( effect, 0 );
	alloccount::Disarm();
	const alloccount::Counts counts    = alloccount::Read();
	state.counters[ "runtime_allocs" ] = double( counts.watched ) / kFrames;
	state.counters[ "ort_allocs" ]     = double( counts.others ) / kFrames;
	destroy( effect );
}

// The three steps apart, with the same tables and tensors Run uses.
struct Steps
{
	Frame frame;
	refrt::Segmenter segmenter;
	refrt::ResizeAxis inColumns, inRows, outColumns, outRows;
	std::vector< float > planes = std::vector< float >( 3 * 256 * 256 );
	std::vector< float > map    = std::vector< float >( 256 * 256, 0.5f );
	std::vector< float > spread = std::vector< float >( 256 * kWidth );
	bool ready                  = false;
	Steps()
	{
		std::string error;
		ready =
		    segmenter.Load( kModels.c_str(), 0, &error ) == NVCV_SUCCESS &&
		    refrt::MakeResizeAxis( kWidth, 256, 3, inColumns ) && refrt::MakeResizeAxis( kHeight, 256, 1, inRows ) &&
		    refrt::MakeResizeAxis( 256, kWidth, 1, outColumns ) && refrt::MakeResizeAxis( 256, kHeight, 1, outRows );
		if( !ready )
			std::fprintf( stderr, "cannot load the quality model: %s\n", error.c_str() );
	}
};
Steps& TheSteps()
{
	static Steps steps;
	return steps;
}

void ResizeIn( benchmark::State& state )
{
	Steps& s = TheSteps();
	Measure( state, [ & ] { refrt::ResizeToPlanes( s.frame.sourceImage, s.inColumns, s.inRows, s.planes.data() ); } );
}

void Inference( benchmark::State& state )
{
	Steps& s = TheSteps();
	if( !s.ready )
		return state.SkipWithError( "no model" );
	Measure( state, [ & ] { s.segmenter.Infer(); } );
}

void ResizeOut( benchmark::State& state )
{
	Steps& s = TheSteps();
	Measure( state, [ & ] {
		refrt::ResizeToMatte( s.map.data(), 256, 256, s.outColumns, s.outRows, s.spread.data(), s.frame.matteImage );
	} );
}

// Single frames, repeated: median and p95 of the repetitions.
void Configure( benchmark::internal::Benchmark* b )
{
	b->Iterations( 1 )->Repetitions( 300 )->ReportAggregatesOnly( true )->Unit( benchmark::kMillisecond );
	b->ComputeStatistics( "p95", []( const std::vector< double >& v ) { return Percentile( v, 0.95 ); } );
	b->ComputeStatistics( "min",
	                      []( const std::vector< double >& v ) { return *std::min_element( v.begin(), v.end() ); } );
}
}

BENCHMARK( NvVfxRun )->Apply( Configure );
BENCHMARK( ResizeIn )->Apply( Configure );
BENCHMARK( Inference )->Apply( Configure );
BENCHMARK( ResizeOut )->Apply( Configure );

// After the table: the resizes' share of the inference, medians of CPU time (on a shared machine the
// wall clock also counts the other processes' turns).
class ShareReporter : public benchmark::ConsoleReporter
{
public:
	void ReportRuns( const std::vector< Run >& runs ) override
	{
		ConsoleReporter::ReportRuns( runs );
		for( const Run& run : runs )
			if( run.aggregate_name == "median" )
				medians[ run.run_name.function_name ] = run.GetAdjustedCPUTime();
	}
	void Finalize() override
	{
		ConsoleReporter::Finalize();
		const double in = medians[ "ResizeIn" ], infer = medians[ "Inference" ], out = medians[ "ResizeOut" ];
		if( infer > 0 )
			std::printf( "resize in %.3f + resize out %.3f = %.3f ms: %.1f%% of the inference (%.3f ms)\n", in, out,
			             in + out, 100.0 * ( in + out ) / infer, infer );
	}

private:
	std::map< std::string, double > medians;
};

int main( int argc, char** argv )
{
	benchmark::Initialize( &argc, argv );
	ShareReporter reporter;
	benchmark::RunSpecifiedBenchmarks( &reporter );
	benchmark::Shutdown();
	return 0;
}
