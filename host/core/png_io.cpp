#include "host/core/png_io.h"

#include <cerrno>
#include <cstring>
#include <limits>

#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace ffglhost
{
static bool ReadWithStb( const std::string& path, const char* kind, Picture& picture, std::string* error )
{
	int w = 0, h = 0, channels = 0;
	stbi_uc* pixels = stbi_load( path.c_str(), &w, &h, &channels, 4 );
	if( !pixels )
	{
		const char* reason = stbi_failure_reason();
		*error = std::string( "cannot read " ) + kind + " " + path + ": " + ( reason ? reason : "unknown error" );
		ResizePicture( picture, 0, 0 );
		return false;
	}
	ResizePicture( picture, w, h );
	std::memcpy( picture.rgba.data(), pixels, picture.rgba.size() );
	stbi_image_free( pixels );
	return true;
}

bool ReadPng( const std::string& path, Picture& picture, std::string* error )
{
	return ReadWithStb( path, "PNG", picture, error );
}

bool ReadPhoto( const std::string& path, Picture& picture, std::string* error )
{
	return ReadWithStb( path, "photograph", picture, error );
}

bool WritePng( const std::string& path, const Picture& picture, PngCompression compression, std::string* error )
{
	const size_t stride = static_cast< size_t >( picture.width ) * 4;
	if( picture.width <= 0 || picture.height <= 0 ||
	    stride > static_cast< size_t >( std::numeric_limits< int >::max() ) )
	{
		*error = "cannot write PNG " + path + ": no picture to write";
		return false;
	}
	stbi_write_png_compression_level = compression == PngCompression::kFast ? 3 : 8;
	// stb gives no reason; the C library's is there when opening or writing the file failed.
	errno = 0;
	if( !stbi_write_png( path.c_str(), picture.width, picture.height, 4, picture.rgba.data(),
	                     static_cast< int >( stride ) ) )
	{
		*error = "cannot write PNG " + path + ": " + ( errno ? std::strerror( errno ) : "stb_image_write failed" );
		return false;
	}
	return true;
}
}
