#pragma once
// The few entries of ONNX Runtime's C API the segmenter calls, declared here: no header of theirs
// ships. OrtGetApiBase() gives GetApi(version), whose table of function pointers only ever grows at
// its end, so an entry is found by its fixed slot (counting from CreateStatus = 0).
#include <cstddef>
#include <cstdint>

namespace refrt
{
namespace ort
{
struct Status;
struct Env;
struct Session;
struct SessionOptions;
struct MemoryInfo;
struct Value;
struct RunOptions;

// The oldest table that holds every slot below; 1.30 answers up to 30.
const uint32_t kApiVersion = 17;

const int kLoggingFatal    = 4;
const int kOptimiseAll     = 99;
const int kDeviceAllocator = 0;
const int kMemTypeDefault  = 0;
const int kElementFloat    = 1;

struct ApiBase
{
	const void* const* ( *GetApi )( uint32_t version );
	const char* ( *GetVersionString )();
};
typedef const ApiBase* ( *GetApiBaseFunction )();

// The slots, and the signature each one has.
enum Slot : int
{
	kGetErrorMessage                  = 2,
	kCreateEnv                        = 3,
	kCreateSession                    = 7,
	kRun                              = 9,
	kCreateSessionOptions             = 10,
	kSetSessionGraphOptimizationLevel = 23,
	kSetIntraOpNumThreads             = 24,
	kSetInterOpNumThreads             = 25,
	kCreateTensorWithDataAsOrtValue   = 49,
	kCreateCpuMemoryInfo              = 69,
	kReleaseEnv                       = 92,
	kReleaseStatus                    = 93,
	kReleaseMemoryInfo                = 94,
	kReleaseSession                   = 95,
	kReleaseValue                     = 96,
	kReleaseSessionOptions            = 100,
	kAddSessionConfigEntry            = 130,
};

// The model path is wide text on Windows and bytes elsewhere; os.h makes it, so it travels untyped.
struct Api
{
	const char* ( *GetErrorMessage )( const Status* );
	Status* ( *CreateEnv )( int level, const char* logId, Env** out );
	Status* ( *CreateSession )( const Env*, const void* modelPath, const SessionOptions*, Session** out );
	Status* ( *Run )( Session*, const RunOptions*, const char* const* inputNames, const Value* const* inputs,
	                  size_t inputCount, const char* const* outputNames, size_t outputCount, Value** outputs );
	Status* ( *CreateSessionOptions )( SessionOptions** out );
	Status* ( *SetSessionGraphOptimizationLevel )( SessionOptions*, int level );
	Status* ( *SetIntraOpNumThreads )( SessionOptions*, int threads );
	Status* ( *SetInterOpNumThreads )( SessionOptions*, int threads );
	Status* ( *CreateTensorWithDataAsOrtValue )( const MemoryInfo*, void* data, size_t bytes, const int64_t* shape,
	                                             size_t dimensions, int elementType, Value** out );
	Status* ( *CreateCpuMemoryInfo )( int allocatorType, int memType, MemoryInfo** out );
	void ( *ReleaseEnv )( Env* );
	void ( *ReleaseStatus )( Status* );
	void ( *ReleaseMemoryInfo )( MemoryInfo* );
	void ( *ReleaseSession )( Session* );
	void ( *ReleaseValue )( Value* );
	void ( *ReleaseSessionOptions )( SessionOptions* );
	Status* ( *AddSessionConfigEntry )( SessionOptions*, const char* key, const char* value );
};

// Fills api from the table GetApi answered.
template< typename Function >
void Take( const void* const* table, Slot slot, Function& function )
{
	function = reinterpret_cast< Function >( const_cast< void* >( table[ slot ] ) );
}

inline void BindApi( const void* const* table, Api& api )
{
	Take( table, kGetErrorMessage, api.GetErrorMessage );
	Take( table, kCreateEnv, api.CreateEnv );
	Take( table, kCreateSession, api.CreateSession );
	Take( table, kRun, api.Run );
	Take( table, kCreateSessionOptions, api.CreateSessionOptions );
	Take( table, kSetSessionGraphOptimizationLevel, api.SetSessionGraphOptimizationLevel );
	Take( table, kSetIntraOpNumThreads, api.SetIntraOpNumThreads );
	Take( table, kSetInterOpNumThreads, api.SetInterOpNumThreads );
	Take( table, kCreateTensorWithDataAsOrtValue, api.CreateTensorWithDataAsOrtValue );
	Take( table, kCreateCpuMemoryInfo, api.CreateCpuMemoryInfo );
	Take( table, kReleaseEnv, api.ReleaseEnv );
	Take( table, kReleaseStatus, api.ReleaseStatus );
	Take( table, kReleaseMemoryInfo, api.ReleaseMemoryInfo );
	Take( table, kReleaseSession, api.ReleaseSession );
	Take( table, kReleaseValue, api.ReleaseValue );
	Take( table, kReleaseSessionOptions, api.ReleaseSessionOptions );
	Take( table, kAddSessionConfigEntry, api.AddSessionConfigEntry );
}
}
}
