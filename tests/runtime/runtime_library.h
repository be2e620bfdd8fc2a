#pragma once
// The reference runtime loaded as a host loads it, with its test controls set in the process
// just before the load, and its exports as function pointers.
#include "runtime/refrt_image.h"

#include <deque>
#include <gtest/gtest.h>
#include <string>

struct RuntimeSettings
{
	const char* fail   = nullptr; // REFRT_FAIL
	const char* matte  = nullptr; // REFRT_MATTE
	bool log           = false;   // REFRT_LOG to RuntimeLogPath()
	bool nostream      = false;   // the effects build without NvVFX_CudaStreamCreate
	const char* folder = "refrt"; // the laid-out copy, beside the executable, to load
};

struct RuntimeApi
{
	void* imageLibrary;
	void* effectsLibrary;
	NvCV_Status ( *Init )( RefRtImage*, unsigned, unsigned, int, void*, NvCVImage_PixelFormat, NvCVImage_ComponentType,
	                       unsigned, unsigned );
	void ( *InitView )( RefRtImage*, RefRtImage*, int, int, unsigned, unsigned );
	NvCV_Status ( *Alloc )( RefRtImage*, unsigned, unsigned, NvCVImage_PixelFormat, NvCVImage_ComponentType, unsigned,
	                        unsigned, unsigned );
	void ( *Dealloc )( RefRtImage* );
	NvCV_Status ( *Transfer )( const RefRtImage*, RefRtImage*, float, CUstream_st*, RefRtImage* );
	NvCV_Status ( *TransferRect )( const RefRtImage*, const NvCVRect2i*, RefRtImage*, const NvCVPoint2i*, float,
	                               CUstream_st*, RefRtImage* );
	const char* ( *ErrorString )( NvCV_Status );
	int ( *LiveObjects )();
	NvCV_Status ( *CreateEffect )( const char*, NvVFX_Handle* );
	void ( *DestroyEffect )( NvVFX_Handle );
	NvCV_Status ( *SetU32 )( NvVFX_Handle, const char*, unsigned );
	NvCV_Status ( *SetImage )( NvVFX_Handle, const char*, RefRtImage* );
	NvCV_Status ( *SetString )( NvVFX_Handle, const char*, const char* );
	NvCV_Status ( *SetCudaStream )( NvVFX_Handle, const char*, CUstream_st* );
	NvCV_Status ( *Run )( NvVFX_Handle, int );
	NvCV_Status ( *Load )( NvVFX_Handle );
	NvCV_Status ( *CudaStreamCreate )( CUstream_st** );
	NvCV_Status ( *CudaStreamDestroy )( CUstream_st* );
};

// The file REFRT_LOG names when RuntimeSettings::log is set.
std::string RuntimeLogPath();

// Loads the runtime once per process. A later call with other settings gets null and a reason:
// tests of different controls run in processes of their own.
const RuntimeApi* LoadRuntime( const RuntimeSettings& settings, std::string* whyNot );

// A fixture whose suite loads the runtime with the settings its Settings() gives.
class RuntimeTest : public ::testing::Test
{
protected:
	virtual RuntimeSettings Settings() const { return RuntimeSettings(); }
	void SetUp() override;
	void TearDown() override;

	// An empty record that the runtime releases when the test ends, whatever assertion ended it
	// (releasing a released, empty or foreign record is harmless).
	RefRtImage& Image();

	const RuntimeApi* rt = nullptr;
	int liveAtStart      = 0;
	bool checkLive       = true;

private:
	std::deque< RefRtImage > images;
};

// A record as a caller declares one before the library fills it: every byte zero.
inline RefRtImage EmptyImage()
{
	return RefRtImage();
}
