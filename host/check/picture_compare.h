#pragma once
// Two pictures compared the way the checks compare an instance with itself: one step of difference is
// rounding, more is a different picture.
#include "host/core/picture.h"

#include <cstddef>
#include <string>

namespace ffglhost
{
struct PictureDifference
{
	int maxStep   = 0; // the largest difference of one channel
	size_t pixels = 0; // pixels with a channel more than one step apart
	int x = 0, y = 0;  // the first of them, y from the top
	bool sizeDiffers = false;
};
PictureDifference ComparePictures( const Picture& a, const Picture& b );
// "up to 37 steps in 1200 pixels (0.42 %), first at (12, 40)"
std::string DescribeDifference( const PictureDifference& difference );
}
