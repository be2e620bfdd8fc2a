#pragma once
// A photograph filmed by a handheld camera: the photo fitted to fill the frame (cropped, its aspect
// kept), drifting and shaking by a few pixels with a touch of rotation and zoom, and fresh sensor noise
// in every frame. Every frame is a pure function of the photo, its number, the size and a seed.
#include "host/core/picture.h"

#include <string>

namespace ffglhost
{
// Where the camera points in one frame, relative to the fitted photo.
struct CameraMotion
{
	float shiftX, shiftY; // pixels of the frame
	float angle;          // radians
	float zoom;           // 1: fitted
};

// Sub-pixel to a few pixels of drift and shake (scaled with the frame's height), a fraction of a
// degree of roll, a fraction of a percent of zoom; the seed picks the phases.
CameraMotion HandheldMotion( int frame, unsigned long long seed, int h );

// The spread (standard deviation, in 8-bit levels) of the sensor noise in each channel.
const float kSensorNoise = 2.5f;

class PhotoScene
{
public:
	// Reads a PNG or JPEG photograph.
	bool Open( const std::string& path, std::string* error );

	// Renders frame number frame (0 the first) at w x h into picture: opaque RGBA, rows top first.
	// Still: the camera does not move, only the noise changes.
	void Render( int frame, int w, int h, unsigned long long seed, bool still, Picture& picture ) const;

private:
	Picture photo;
};
}
