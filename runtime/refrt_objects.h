#pragma once
// Live objects of the whole runtime (effects, streams, owned buffers), counted in the image
// library; the effects library reports its own through RefRt_CountObjects.
#include "runtime/refrt_export.h"

#if defined( REFRT_IMAGE_LIBRARY )
#define REFRT_OBJECTS_API REFRT_EXPORT
#else
#define REFRT_OBJECTS_API REFRT_IMPORT
#endif

extern "C"
{
	REFRT_OBJECTS_API void RefRt_CountObjects( int delta );
	REFRT_OBJECTS_API int RefRt_LiveObjects();
}
