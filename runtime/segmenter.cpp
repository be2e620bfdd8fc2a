#include "runtime/segmenter.h"

#include "runtime/os.h"
#include "runtime/refrt_objects.h"

#include <new>

namespace refrt
{
namespace
{
const char* const kInputName  = "input";
const char* const kOutputName = "output";
const size_t kPathBytes       = 16384;

// One thread, nodes in order, every graph optimisation: the runtime is a CPU stand-in beside a host.
ort::Status* Configure( const ort::Api& api, ort::SessionOptions* options )
{
	ort::Status* status = api.SetIntraOpNumThreads( options, 1 );
	if( !status )
		status = api.SetInterOpNumThreads( options, 1 );
	if( !status )
		status = api.SetSessionGraphOptimizationLevel( options, ort::kOptimiseAll );
	if( !status )
		status = api.AddSessionConfigEntry( options, "session.intra_op.allow_spinning", "0" );
	return status;
}
}

bool HoldsAModel( const char* folder )
{
	return ModelFileExists( folder, kQualityModelFile ) || ModelFileExists( folder, kPerformanceModelFile );
}

Segmenter::~Segmenter()
{
	Release();
}

void Segmenter::Release()
{
	if( !inference )
		return;
	const ort::Api& api = inference->api;
	if( input )
		api.ReleaseValue( input );
	if( output )
		api.ReleaseValue( output );
	if( memory )
		api.ReleaseMemoryInfo( memory );
	if( session )
	{
		api.ReleaseSession( session );
		RefRt_CountObjects( -1 );
	}
	input = output = nullptr;
	memory         = nullptr;
	session        = nullptr;
}

NvCV_Status Segmenter::Load( const char* folder, uint32_t mode, std::string* error )
{
	Release();
	frameWidth = frameHeight = 0; // the tables belong to the model's size too
	const char* file         = mode == 0 ? kQualityModelFile : kPerformanceModelFile;
	modelWidth               = 256;
	modelHeight              = mode == 0 ? 256 : 144;
	if( !ModelFileExists( folder, file ) )
	{
		*error = "model " + std::string( file ) + " missing from " + folder;
		return NVCV_ERR_MODEL;
	}
	inference = InferenceLibrary( error );
	if( !inference )
		return NVCV_ERR_LIBRARY;
	const ort::Api& api = inference->api;

	// Large enough for any folder the plug-in names; wide text on Windows.
	alignas( wchar_t ) char path[ kPathBytes ];
	if( !InferencePath( folder, file, path, sizeof( path ) ) )
	{
		*error = "model path too long: " + std::string( folder );
		return NVCV_ERR_MODEL;
	}
	const size_t plane = static_cast< size_t >( modelWidth ) * modelHeight;
	// Zeros: the first inference below runs on a blank picture.
	planes.reset( new( std::nothrow ) float[ 3 * plane ]() );
	map.reset( new( std::nothrow ) float[ plane ]() );
	if( !planes || !map )
	{
		*error = "model " + std::string( file ) + " unusable: out of memory";
		return NVCV_ERR_MEMORY;
	}

	std::string failure;
	auto fails                   = [ & ]( ort::Status* status ) { return Failed( *inference, status, &failure ); };
	ort::SessionOptions* options = nullptr;
	bool failed = fails( api.CreateSessionOptions( &options ) ) || fails( Configure( api, options ) ) ||
	              fails( api.CreateSession( inference->env, path, options, &session ) );
	if( options )
		api.ReleaseSessionOptions( options );
	if( session )
		RefRt_CountObjects( 1 );
	const int64_t inputShape[]  = { 1, 3, modelHeight, modelWidth };
	const int64_t outputShape[] = { 1, 1, modelHeight, modelWidth };
	failed = failed || fails( api.CreateCpuMemoryInfo( ort::kDeviceAllocator, ort::kMemTypeDefault, &memory ) ) ||
	         fails( api.CreateTensorWithDataAsOrtValue( memory, planes.get(), 3 * plane * sizeof( float ), inputShape,
	                                                    4, ort::kElementFloat, &input ) ) ||
	         fails( api.CreateTensorWithDataAsOrtValue( memory, map.get(), plane * sizeof( float ), outputShape, 4,
	                                                    ort::kElementFloat, &output ) );
	// A first inference proves the names and shapes, and leaves no first-time work to the first frame.
	failed = failed || fails( api.Run( session, nullptr, &kInputName, &input, 1, &kOutputName, 1, &output ) );
	if( failed )
	{
		*error = "model " + std::string( file ) + " unusable: " + failure;
		Release();
		return NVCV_ERR_MODEL;
	}
	return NVCV_SUCCESS;
}

NvCV_Status Segmenter::Fit( uint32_t width, uint32_t height )
{
	if( width == frameWidth && height == frameHeight )
		return NVCV_SUCCESS;
	frameWidth = frameHeight = 0;
	spread.reset( new( std::nothrow ) float[ static_cast< size_t >( modelHeight ) * width ] );
	if( !spread || !MakeResizeAxis( width, modelWidth, 3, inColumns ) ||
	    !MakeResizeAxis( height, modelHeight, 1, inRows ) || !MakeResizeAxis( modelWidth, width, 1, outColumns ) ||
	    !MakeResizeAxis( modelHeight, height, 1, outRows ) )
		return NVCV_ERR_MEMORY;
	frameWidth  = width;
	frameHeight = height;
	return NVCV_SUCCESS;
}

NvCV_Status Segmenter::Run( const RefRtImage& source, RefRtImage& matte )
{
	if( !session )
		return NVCV_ERR_MODEL;
	if( matte.width == 0 || matte.height == 0 )
		return NVCV_SUCCESS;
	const NvCV_Status fitted = Fit( matte.width, matte.height );
	if( fitted != NVCV_SUCCESS )
		return fitted;
	ResizeToPlanes( source, inColumns, inRows, planes.get() );
	const NvCV_Status inferred = Infer();
	if( inferred != NVCV_SUCCESS )
		return inferred;
	ResizeToMatte( map.get(), modelWidth, modelHeight, outColumns, outRows, spread.get(), matte );
	return NVCV_SUCCESS;
}

NvCV_Status Segmenter::Infer()
{
	if( !session )
		return NVCV_ERR_MODEL;
	ort::Status* status = inference->api.Run( session, nullptr, &kInputName, &input, 1, &kOutputName, 1, &output );
	if( !status )
		return NVCV_SUCCESS;
	inference->api.ReleaseStatus( status );
	return NVCV_ERR_GENERAL;
}
}
