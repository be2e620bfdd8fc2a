#pragma once
// The effect's four parameters, by the index a host uses for them.
#include <cstdint>

enum UmbrafexParameter : uint32_t
{
	kQuality        = 0, // boolean: the engine's mode; a change rebuilds the engine
	kShowMask       = 1, // boolean: draw the matte in grey
	kStability      = 2, // standard: temporal smoothing of the matte
	kEdgeHard       = 3, // standard: sharpness of the matte's edge
	kParameterCount = 4
};
