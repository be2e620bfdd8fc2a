// The image library's texts for statuses and its count of live objects.
#include "runtime/call_log.h"
#include "runtime/refrt_export.h"
#include "runtime/refrt_objects.h"

#include <atomic>

namespace refrt
{
namespace
{
std::atomic< int > liveObjects( 0 );

const char* ErrorText( NvCV_Status status )
{
	switch( status )
	{
	case NVCV_SUCCESS:
		return "success";
	case NVCV_ERR_GENERAL:
		return "general error";
	case NVCV_ERR_MEMORY:
		return "out of memory";
	case NVCV_ERR_SELECTOR:
		return "unknown selector";
	case NVCV_ERR_BUFFER:
		return "missing or unusable buffer";
	case NVCV_ERR_PARAMETER:
		return "invalid parameter";
	case NVCV_ERR_MISMATCH:
		return "images do not match";
	case NVCV_ERR_PIXELFORMAT:
		return "unsupported pixel format";
	case NVCV_ERR_MODEL:
		return "model not found or not loaded";
	case NVCV_ERR_LIBRARY:
		return "library or export missing";
	default:
		return "unknown error";
	}
}
}
}

extern "C"
{
	REFRT_EXPORT const char* NvCV_GetErrorStringFromCode( NvCV_Status status )
	{
		// Failed by REFRT_FAIL, it answers the text of a general error.
		const auto answer = []( NvCV_Status code ) { return code; };
		return refrt::ErrorText( refrt::Forward( "NvCV_GetErrorStringFromCode", answer, status ) );
	}

	REFRT_EXPORT void RefRt_CountObjects( int delta )
	{
		refrt::liveObjects += delta;
	}

	REFRT_EXPORT int RefRt_LiveObjects()
	{
		return refrt::liveObjects;
	}
}
