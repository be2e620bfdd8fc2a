#pragma once
// The GreenScreen effect's network: a portrait segmentation model run by ONNX Runtime on one thread,
// between two bilinear resizes. Everything a frame touches is made at Load (the resize tables on the
// first frame of a size), so a steady Run allocates nothing of ours.
#include "nvidia/nvcv_types.h"
#include "runtime/bilinear_resize.h"
#include "runtime/inference_library.h"

#include <cstdint>
#include <memory>
#include <string>

namespace refrt
{
// The model file "Mode" asks for: 0 (quality) 256 x 256, 1 (performance) 144 x 256 (height x width).
const char* const kQualityModelFile     = "selfie_segmentation.onnx";
const char* const kPerformanceModelFile = "selfie_segmentation_landscape.onnx";

// Whether the folder holds either model: the effect then runs the network, otherwise the keyer.
bool HoldsAModel( const char* folder );

class Segmenter
{
public:
	Segmenter() = default;
	~Segmenter();
	Segmenter( const Segmenter& )            = delete;
	Segmenter& operator=( const Segmenter& ) = delete;

	// Reads the mode's model from the folder and tries it once on a blank picture, which also proves
	// its input and output names and shapes. NVCV_ERR_MODEL for a missing or unusable model,
	// NVCV_ERR_LIBRARY when ONNX Runtime cannot be loaded; the reason is then in *error.
	NvCV_Status Load( const char* folder, uint32_t mode, std::string* error );

	// The matte of a BGR U8 source of the matte's size. NVCV_ERR_MEMORY when the tables of a new size
	// cannot be made, NVCV_ERR_GENERAL when the inference fails.
	NvCV_Status Run( const RefRtImage& source, RefRtImage& matte );

	// The inference alone, on the input tensor as it is, into the output tensor (Run's middle step).
	NvCV_Status Infer();

private:
	void Release();
	NvCV_Status Fit( uint32_t width, uint32_t height );

	const Inference* inference = nullptr;
	ort::Session* session      = nullptr;
	ort::MemoryInfo* memory    = nullptr;
	ort::Value* input          = nullptr;
	ort::Value* output         = nullptr;
	uint32_t modelWidth = 0, modelHeight = 0;
	std::unique_ptr< float[] > planes; // the input tensor's storage
	std::unique_ptr< float[] > map;    // the output tensor's storage

	uint32_t frameWidth = 0, frameHeight = 0; // the size the tables below are for
	ResizeAxis inColumns, inRows, outColumns, outRows;
	std::unique_ptr< float[] > spread;
};
}
