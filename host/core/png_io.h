#pragma once
// PNG files through stb: any PNG read as 8-bit RGBA, written as 8-bit RGBA. Straight alpha both ways.
// Photographs, PNG or JPEG, are read the same way.
#include "host/core/picture.h"

#include <string>

namespace ffglhost
{
// Reads the file into picture (reusing its storage). On failure *error says why and picture is
// left empty.
bool ReadPng( const std::string& path, Picture& picture, std::string* error );

// A PNG or JPEG file as 8-bit RGBA: grey becomes RGB, and alpha is 255 where the file has none.
bool ReadPhoto( const std::string& path, Picture& picture, std::string* error );

// Fast compression for frames written every frame; smaller files otherwise.
enum class PngCompression
{
	kFast,
	kSmall,
};
bool WritePng( const std::string& path, const Picture& picture, PngCompression compression, std::string* error );
}
