#pragma once
// Plain types shared by the image library, the video effects runtime and their callers.
#include <stdint.h>

typedef int32_t NvCV_Status;

enum
{
	NVCV_SUCCESS         = 0,
	NVCV_ERR_GENERAL     = -1,
	NVCV_ERR_MEMORY      = -3,
	NVCV_ERR_SELECTOR    = -5,
	NVCV_ERR_BUFFER      = -6,
	NVCV_ERR_PARAMETER   = -7,
	NVCV_ERR_MISMATCH    = -8,
	NVCV_ERR_PIXELFORMAT = -9,
	NVCV_ERR_MODEL       = -10,
	NVCV_ERR_LIBRARY     = -11
};

typedef enum NvCVImage_PixelFormat
{
	NVCV_FORMAT_UNKNOWN = 0,
	NVCV_Y              = 1,
	NVCV_A              = 2,
	NVCV_YA             = 3,
	NVCV_RGB            = 4,
	NVCV_BGR            = 5,
	NVCV_RGBA           = 6,
	NVCV_BGRA           = 7
} NvCVImage_PixelFormat;

typedef enum NvCVImage_ComponentType
{
	NVCV_TYPE_UNKNOWN = 0,
	NVCV_U8           = 1,
	NVCV_U16          = 2,
	NVCV_S16          = 3,
	NVCV_F16          = 4,
	NVCV_U32          = 5,
	NVCV_S32          = 6,
	NVCV_F32          = 7
} NvCVImage_ComponentType;

// Layout of the components of a pixel.
enum
{
	NVCV_CHUNKY = 0,
	NVCV_PLANAR = 1
};

// Where the pixels live.
enum
{
	NVCV_CPU        = 0,
	NVCV_GPU        = 1,
	NVCV_CPU_PINNED = 2
};

// CUDA streams travel as pointers to this opaque record.
struct CUstream_st;

// An effect of the video effects runtime, opaque to its callers.
typedef struct NvVFX_Object* NvVFX_Handle;

typedef struct NvCVRect2i
{
	int x, y, width, height;
} NvCVRect2i;

typedef struct NvCVPoint2i
{
	int x, y;
} NvCVPoint2i;
