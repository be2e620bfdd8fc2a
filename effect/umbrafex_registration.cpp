// The product's registration, filled when the library is loaded.
#include "effect/umbrafex.h"
#include "ffgl/registration.h"
#include "version.h"

static PluginRegistration
    umbrafexRegistration( &CreatePluginInstance< Umbrafex >, "TVUF", "Umbra Fex TAVLEN", 2, 1, UMBRAFEX_VERSION_MAJOR,
                          UMBRAFEX_VERSION_MINOR, FF_EFFECT,
                          "Detourage IA de silhouette (NVIDIA AI Green Screen) - fond transparent sans fond vert",
                          "TAVLEN / NVIDIA Maxine", 0, nullptr, nullptr, nullptr );
