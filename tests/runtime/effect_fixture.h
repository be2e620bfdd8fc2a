#pragma once
// A fixture with a GreenScreen effect set up the way the plug-in sets one up, released after the test.
#include "tests/runtime/runtime_library.h"

#include "tests/support/test_process.h"

#include <cstring>
#include <string>

class GreenScreen : public RuntimeTest
{
protected:
	// A loaded effect on w x h images, set up in the plug-in's order; the executable's folder holds no
	// model, so it keys.
	void Build( unsigned w, unsigned h, unsigned matteAlignment = 1, const std::string& models = ExecutableDirectory(),
	            unsigned mode = 1 )
	{
		ASSERT_EQ( NVCV_SUCCESS, rt->CreateEffect( "GreenScreen", &effect ) );
		ASSERT_EQ( NVCV_SUCCESS, rt->SetString( effect, "ModelDir", models.c_str() ) );
		ASSERT_EQ( NVCV_SUCCESS, rt->SetU32( effect, "Mode", mode ) );
		ASSERT_EQ( NVCV_SUCCESS, rt->SetU32( effect, "Temporal", 1 ) );
		ASSERT_EQ( NVCV_SUCCESS, rt->CudaStreamCreate( &stream ) );
		ASSERT_EQ( NVCV_SUCCESS, rt->SetCudaStream( effect, "CudaStream", stream ) );
		ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &source, w, h, NVCV_BGR, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
		ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &matte, w, h, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, matteAlignment ) );
		// Fresh storage is not cleared: a black source keys to a defined matte.
		std::memset( source.pixels, 0, source.bufferBytes );
		ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( effect, "SrcImage0", &source ) );
		ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( effect, "DstImage0", &matte ) );
		ASSERT_EQ( NVCV_SUCCESS, rt->Load( effect ) );
	}

	void TearDown() override
	{
		if( effect )
			rt->DestroyEffect( effect );
		if( stream )
		{
			EXPECT_EQ( NVCV_SUCCESS, rt->CudaStreamDestroy( stream ) );
		}
		if( rt )
		{
			rt->Dealloc( &source );
			rt->Dealloc( &matte );
		}
		RuntimeTest::TearDown();
	}

	NvVFX_Handle effect = nullptr;
	CUstream_st* stream = nullptr;
	RefRtImage source   = EmptyImage();
	RefRtImage matte    = EmptyImage();
};
