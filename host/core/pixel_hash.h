#pragma once
// A well-mixed 32-bit hash of a pixel's position and one more number (a frame, a seed): the generated
// scenes' noise, the same on every target and in every run.
#include <cstdint>

namespace ffglhost
{
inline uint32_t PixelHash( uint32_t x, uint32_t y, uint32_t key )
{
	uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ key * 0xcb1ab31fu;
	h ^= h >> 15;
	h *= 0x2c1b3c6du;
	h ^= h >> 12;
	h *= 0x297a2d39u;
	h ^= h >> 15;
	return h;
}
}
