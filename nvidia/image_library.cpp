// Finds NVCVImage.dll on first use and forwards the image library's functions to it.
#include "nvidia/image_library.h"

#include "nvidia/library_search.h"

namespace nvidia
{
// The plain attempt (with whatever DLL directory is set), then, unless either variable asks for
// the application's path, the Video Effects folder and the AR SDK folder under ProgramFiles.
static void* SearchImageLibrary()
{
	if( void* library = platform::LoadLibraryFile( "NVCVImage.dll" ) )
		return library;

	char first[ kPathChars ];
	char second[ kPathChars ];
	char directory[ kPathChars ];
	if( IsUseAppPath( "NV_VIDEO_EFFECTS_PATH", first ) || IsUseAppPath( "NV_AR_SDK_PATH", second ) )
		return nullptr;

	static const char* const kFolders[] = { "NVIDIA Video Effects", "NVIDIA AR SDK" };
	for( const char* folder : kFolders )
	{
		// A folder text that would not fit skips that attempt.
		if( !ProgramFilesFolder( folder, first, directory ) )
			continue;
		platform::SetLibraryDirectory( directory );
		if( void* library = platform::LoadLibraryFile( "NVCVImage.dll" ) )
			return library;
	}
	return nullptr;
}

// Searched once per process whatever the outcome; the static's guard is the searched flag, and
// makes the search safe when two threads make their first image call together.
static void* getImageLibrary()
{
	static void* const library = SearchImageLibrary();
	return library;
}

// Each entry point resolves its export once, in the initialiser of its own function-local static.
template< typename Fn >
static Fn ImageLibraryExport( const char* name )
{
	return ResolveExport< Fn >( getImageLibrary(), name );
}
}

using nvidia::ImageLibraryExport;

NvCV_Status NvCVImage_Init( NvCVImage* im, unsigned width, unsigned height, int pitch, void* pixels,
                            NvCVImage_PixelFormat format, NvCVImage_ComponentType type, unsigned layout,
                            unsigned memSpace )
{
	static const auto fn = ImageLibraryExport< decltype( &NvCVImage_Init ) >( "NvCVImage_Init" );
	return fn ? fn( im, width, height, pitch, pixels, format, type, layout, memSpace ) : NVCV_ERR_LIBRARY;
}

void NvCVImage_InitView( NvCVImage* subImg, NvCVImage* fullImg, int x, int y, unsigned width, unsigned height )
{
	static const auto fn = ImageLibraryExport< decltype( &NvCVImage_InitView ) >( "NvCVImage_InitView" );
	if( fn )
		fn( subImg, fullImg, x, y, width, height );
}

NvCV_Status NvCVImage_Alloc( NvCVImage* im, unsigned width, unsigned height, NvCVImage_PixelFormat format,
                             NvCVImage_ComponentType type, unsigned layout, unsigned memSpace, unsigned alignment )
{
	static const auto fn = ImageLibraryExport< decltype( &NvCVImage_Alloc ) >( "NvCVImage_Alloc" );
	return fn ? fn( im, width, height, format, type, layout, memSpace, alignment ) : NVCV_ERR_LIBRARY;
}

void NvCVImage_Dealloc( NvCVImage* im )
{
	static const auto fn = ImageLibraryExport< decltype( &NvCVImage_Dealloc ) >( "NvCVImage_Dealloc" );
	if( fn )
		fn( im );
}

NvCV_Status NvCVImage_Transfer( const NvCVImage* src, NvCVImage* dst, float scale, CUstream_st* stream, NvCVImage* tmp )
{
	static const auto fn = ImageLibraryExport< decltype( &NvCVImage_Transfer ) >( "NvCVImage_Transfer" );
	return fn ? fn( src, dst, scale, stream, tmp ) : NVCV_ERR_LIBRARY;
}

NvCV_Status NvCVImage_TransferRect( const NvCVImage* src, const NvCVRect2i* srcRect, NvCVImage* dst,
                                    const NvCVPoint2i* dstPt, float scale, CUstream_st* stream, NvCVImage* tmp )
{
	static const auto fn = ImageLibraryExport< decltype( &NvCVImage_TransferRect ) >( "NvCVImage_TransferRect" );
	return fn ? fn( src, srcRect, dst, dstPt, scale, stream, tmp ) : NVCV_ERR_LIBRARY;
}

const char* NvCV_GetErrorStringFromCode( NvCV_Status code )
{
	static const auto fn =
	    ImageLibraryExport< decltype( &NvCV_GetErrorStringFromCode ) >( "NvCV_GetErrorStringFromCode" );
	return fn ? fn( code ) : "Cannot find nvCVImage DLL or its dependencies";
}
