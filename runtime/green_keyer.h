#pragma once
// The GreenScreen effect's matte: opaque where a pixel is not green, clear where it is clearly green.
#include "runtime/refrt_image.h"

#include <cstdint>

namespace refrt
{
// Writes the matte of a BGR U8 source into an A U8 destination of the same size, per pixel with
// d = G - max(R, B): 255 where d <= 16, 0 where d >= 80, (80 - d) * 255 / 64 between; with
// fixedValue in 0..255 every matte byte takes it instead.
void KeyGreen( const RefRtImage& source, RefRtImage& matte, int fixedValue );
}
