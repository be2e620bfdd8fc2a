// The product's registration, filled when the library is loaded.
#include "effect/Umbrafex.h"
#include "ffgl/FFGLPluginInfo.h"

static PluginRegistration umbrafexRegistration(
	&CreatePluginInstance< Umbrafex >, "TVUF", "Umbra Fex TAVLEN", 2, 1, 1, 1, FF_EFFECT,
	"Detourage IA de silhouette (NVIDIA AI Green Screen) - fond transparent sans fond vert",
	"TAVLEN / NVIDIA Maxine", 0, nullptr, nullptr, nullptr );
