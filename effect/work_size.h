#pragma once
// The size at which segmentation runs: at most 960 wide, aspect kept, both sides even.
#include <cstdint>

struct WorkSize
{
	int32_t width;
	int32_t height;
};

// Single-precision scale and truncation, so 1066 x 600 gives 958 x 540 (not 960).
WorkSize ComputeWorkSize( int32_t width, int32_t height );
