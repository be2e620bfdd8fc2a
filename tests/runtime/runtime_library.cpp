#include "tests/runtime/runtime_library.h"

#include "tests/support/test_process.h"

std::string RuntimeLogPath()
{
	return JoinPath( ExecutableDirectory(), "refrt_calls.log" );
}

static std::string Describe( const RuntimeSettings& s )
{
	return std::string( s.fail ? s.fail : "-" ) + "|" + ( s.matte ? s.matte : "-" ) + "|" + ( s.log ? "log" : "-" ) +
	       "|" + ( s.nostream ? "nostream" : "-" ) + "|" + s.folder;
}

template< typename Fn >
static void Bind( void* library, const char* name, Fn& function, std::string* missing )
{
	function = DynamicLibraryFunction< Fn >( library, name );
	if( !function )
		*missing += std::string( " " ) + name;
}

const RuntimeApi* LoadRuntime( const RuntimeSettings& settings, std::string* whyNot )
{
	static RuntimeApi api;
	static std::string loadedWith;
	static std::string failure;
	std::string wanted = Describe( settings );
	if( !loadedWith.empty() )
	{
		*whyNot = loadedWith != wanted ? "the runtime of this process was loaded with other controls" : failure;
		return loadedWith == wanted && failure.empty() ? &api : nullptr;
	}
	loadedWith = wanted;
	SetEnvironmentValue( "REFRT_FAIL", settings.fail );
	SetEnvironmentValue( "REFRT_MATTE", settings.matte );
	if( settings.log )
		RemoveFile( RuntimeLogPath() );
	SetEnvironmentValue( "REFRT_LOG", settings.log ? RuntimeLogPath().c_str() : nullptr );

	// The image library first: Windows then resolves the effects library's import to it.
	std::string folder = JoinPath( ExecutableDirectory(), settings.folder );
	api.imageLibrary   = LoadDynamicLibrary( JoinPath( folder, kImageFile ), &failure );
	std::string effects =
	    settings.nostream ? JoinPath( JoinPath( folder, "nostream" ), kEffectsFile ) : JoinPath( folder, kEffectsFile );
	api.effectsLibrary = api.imageLibrary ? LoadDynamicLibrary( effects, &failure ) : nullptr;
	if( !api.effectsLibrary )
	{
		*whyNot = failure;
		return nullptr;
	}
	std::string missing;
	Bind( api.imageLibrary, "NvCVImage_Init", api.Init, &missing );
	Bind( api.imageLibrary, "NvCVImage_InitView", api.InitView, &missing );
	Bind( api.imageLibrary, "NvCVImage_Alloc", api.Alloc, &missing );
	Bind( api.imageLibrary, "NvCVImage_Dealloc", api.Dealloc, &missing );
	Bind( api.imageLibrary, "NvCVImage_Transfer", api.Transfer, &missing );
	Bind( api.imageLibrary, "NvCVImage_TransferRect", api.TransferRect, &missing );
	Bind( api.imageLibrary, "NvCV_GetErrorStringFromCode", api.ErrorString, &missing );
	Bind( api.imageLibrary, "RefRt_LiveObjects", api.LiveObjects, &missing );
	Bind( api.effectsLibrary, "NvVFX_CreateEffect", api.CreateEffect, &missing );
	Bind( api.effectsLibrary, "NvVFX_DestroyEffect", api.DestroyEffect, &missing );
	Bind( api.effectsLibrary, "NvVFX_SetU32", api.SetU32, &missing );
	Bind( api.effectsLibrary, "NvVFX_SetImage", api.SetImage, &missing );
	Bind( api.effectsLibrary, "NvVFX_SetString", api.SetString, &missing );
	Bind( api.effectsLibrary, "NvVFX_SetCudaStream", api.SetCudaStream, &missing );
	Bind( api.effectsLibrary, "NvVFX_Run", api.Run, &missing );
	Bind( api.effectsLibrary, "NvVFX_Load", api.Load, &missing );
	Bind( api.effectsLibrary, "NvVFX_CudaStreamDestroy", api.CudaStreamDestroy, &missing );
	// May be missing: the nostream build.
	api.CudaStreamCreate =
	    DynamicLibraryFunction< decltype( api.CudaStreamCreate ) >( api.effectsLibrary, "NvVFX_CudaStreamCreate" );
	if( !missing.empty() )
	{
		failure = "exports missing:" + missing;
		*whyNot = failure;
		return nullptr;
	}
	return &api;
}

void RuntimeTest::SetUp()
{
	std::string whyNot;
	rt = LoadRuntime( Settings(), &whyNot );
	if( !rt && whyNot.find( "other controls" ) != std::string::npos )
		GTEST_SKIP() << whyNot;
	ASSERT_NE( rt, nullptr ) << whyNot;
	liveAtStart = rt->LiveObjects();
}

RefRtImage& RuntimeTest::Image()
{
	images.push_back( EmptyImage() );
	return images.back();
}

void RuntimeTest::TearDown()
{
	if( rt )
		for( RefRtImage& image : images )
			rt->Dealloc( &image );
	// Every test releases what it made.
	if( rt && checkLive && !HasFatalFailure() )
	{
		EXPECT_EQ( liveAtStart, rt->LiveObjects() );
	}
}
