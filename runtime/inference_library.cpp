#include "runtime/inference_library.h"

#include "runtime/os.h"

#include <mutex>

namespace refrt
{
namespace
{
struct State
{
	bool tried = false;
	bool ready = false;
	std::string failure;
	Inference inference = {};
};

void Start( State& state )
{
	void* library = LoadLibraryBesideSelf( kInferenceLibraryFile, &state.failure );
	if( !library )
		return;
	auto getApiBase          = reinterpret_cast< ort::GetApiBaseFunction >( LibraryExport( library, "OrtGetApiBase" ) );
	const ort::ApiBase* base = getApiBase ? getApiBase() : nullptr;
	const void* const* table = base && base->GetApi ? base->GetApi( ort::kApiVersion ) : nullptr;
	if( !table )
	{
		state.failure = std::string( kInferenceLibraryFile ) + " is not an ONNX Runtime of API version " +
		                std::to_string( ort::kApiVersion ) + " or later";
		return;
	}
	ort::BindApi( table, state.inference.api );
	// Only fatal messages of its own: a failure reaches the caller as a status.
	ort::Status* status = state.inference.api.CreateEnv( ort::kLoggingFatal, "refrt", &state.inference.env );
	state.ready         = !Failed( state.inference, status, &state.failure );
}
}

const Inference* InferenceLibrary( std::string* error )
{
	static std::mutex mutex;
	static State state;
	std::lock_guard< std::mutex > lock( mutex );
	if( !state.tried )
	{
		state.tried = true;
		Start( state );
	}
	if( !state.ready )
		*error = state.failure;
	return state.ready ? &state.inference : nullptr;
}

bool Failed( const Inference& inference, ort::Status* status, std::string* error )
{
	if( !status )
		return false;
	const char* message = inference.api.GetErrorMessage( status );
	*error              = message ? message : "unknown failure";
	inference.api.ReleaseStatus( status );
	return true;
}
}
