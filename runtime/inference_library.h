#pragma once
// ONNX Runtime, loaded from beside this library on first need with the one environment a process
// should have, kept to the end of the process (it is never unloaded).
#include "runtime/onnx_runtime_api.h"

#include <string>

namespace refrt
{
struct Inference
{
	ort::Api api;
	ort::Env* env;
};

// The loaded runtime, or null with the reason in *error (also on every later call: a library that could
// not be loaded is not tried again).
const Inference* InferenceLibrary( std::string* error );

// True when status is a failure; its message then goes into *error and the status is released.
bool Failed( const Inference& inference, ort::Status* status, std::string* error );
}
