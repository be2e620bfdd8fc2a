#pragma once
// The two resizes around the network: bilinear with half-pixel centres (edge samples clamped), both
// driven by tables made once per pair of sizes, so a frame only reads and writes.
#include "runtime/refrt_image.h"

#include <cstdint>
#include <memory>

namespace refrt
{
// Where each destination sample of one axis reads: two source indices and the second one's weight.
// (Plain arrays: the library exports nothing of the standard containers' instances.)
struct ResizeAxis
{
	uint32_t size = 0;
	std::unique_ptr< int32_t[] > first;
	std::unique_ptr< int32_t[] > second;
	std::unique_ptr< float[] > weight;
};

// Makes the table of an axis from source to destination samples, indices multiplied by step (3 for
// BGR columns); false when memory runs out.
bool MakeResizeAxis( uint32_t sourceSize, uint32_t destinationSize, int32_t step, ResizeAxis& axis );

// A BGR U8 source to three float planes R, G, B of columns x rows (values in [0, 1]); the axes go
// from the source's width and height to columns and rows, the columns' axis made with step 3.
void ResizeToPlanes( const RefRtImage& source, const ResizeAxis& columns, const ResizeAxis& rows, float* planes );

// A float map of mapWidth columns to an A U8 matte (round, clamp to [0, 1] first); the axes go from
// the map's size to the matte's, and spread holds map rows x matte width floats of scratch.
void ResizeToMatte( const float* map, uint32_t mapWidth, uint32_t mapHeight, const ResizeAxis& columns,
                    const ResizeAxis& rows, float* spread, RefRtImage& matte );
}
