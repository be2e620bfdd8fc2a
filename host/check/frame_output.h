#pragma once
// A frame as the validator hands it over and reads it back: where the picture sits in the input
// texture and in HostFBO, what the plug-in drew, and the pixels that break a host's expectations.
#include "host/core/picture.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ffglhost
{
// How a frame reaches the plug-in.
struct FrameLayout
{
	int width = 0, height = 0;               // the picture, and the viewport's size
	int textureWidth = 0, textureHeight = 0; // HardwareWidth and HardwareHeight: the picture sits at (0, 0)
	int targetWidth = 0, targetHeight = 0;   // the size of HostFBO's colour buffer
	int viewportX = 0, viewportY = 0;
};

// Picture, texture, HostFBO and viewport all of one size.
FrameLayout PlainLayout( int w, int h );

// The host's clear colour: red above alpha, so no premultiplied drawing can produce it by chance.
const uint8_t kClearColour[ 4 ] = { 13, 251, 7, 3 };

// What one frame drew.
struct FrameOutput
{
	uint32_t answer = 0;
	Picture picture;     // the viewport's pixels, rows top first
	size_t undrawn  = 0; // viewport pixels still holding the host's clear colour
	size_t straight = 0; // pixels whose red, green or blue exceeds their alpha by more than one step
	size_t outside  = 0; // pixels outside the viewport that changed
	int straightX = 0, straightY = 0, straightAt[ 4 ] = {};
	int undrawnX = 0, undrawnY = 0;
	int outsideX = 0, outsideY = 0;
};

// What a frame's problems may be looked for.
enum FrameDemand : unsigned
{
	kAnswered      = 1, // FF_SUCCESS
	kDrawn         = 2, // every viewport pixel written
	kPremultiplied = 4,
	kInside        = 8, // nothing outside the viewport changed
	kEveryDemand   = 15,
};

// The first problem of the frame among those demanded, as a sentence; empty when none.
std::string FrameProblem( const FrameOutput& output, unsigned demands );

// Per pixel of the frame's picture, 255 where it breaks the demands (left undrawn, colour not
// premultiplied), 0 elsewhere.
std::vector< uint8_t > BrokenPixels( const FrameOutput& output, unsigned demands );

// Reads HostFBO's pixels (rows bottom first, as GL gives them) into output: the viewport's picture,
// rows top first, and the first and count of each kind of wrong pixel.
void InspectFrame( const Picture& target, const FrameLayout& layout, FrameOutput& output );
}
