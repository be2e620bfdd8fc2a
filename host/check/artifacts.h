#pragma once
// The pictures behind a picture check that warned or failed, for the plug-in's maker: what a fresh
// instance drew plainly, what the instance under test drew, and where they differ, as PNG files.
#include "host/core/picture.h"

#include <string>
#include <vector>

namespace ffglhost
{
// Marked pixels (steps[ i ] above 1 for pixel i) in red, brighter the larger the step; the others
// dimmed grey from context, so the marks stand out where they lie. Opaque, context's size.
void MarkPixels( const Picture& context, const std::vector< uint8_t >& steps, Picture& marks );

// The pixels where two pictures differ by more than one step marked over the expected one; where
// only one of them has pixels, they count as differing.
void MakeDifferencePicture( const Picture& expected, const Picture& drawn, Picture& difference );

// "sizes.changing-instance_1-frame3": check, instance and frame, in characters any file system takes.
std::string ArtifactBaseName( const std::string& check, const std::string& instance, int frame );

struct ArtifactPicture
{
	const char* kind; // "expected", "drawn", "difference"
	const Picture* picture;
	bool premultiplied; // written un-premultiplied: PNG files hold straight colour
};
// Writes DIR/BASE-KIND.png for each, the folder made if need be; the names written in *files. False
// with *error otherwise.
bool WriteArtifactPictures( const std::string& directory, const std::string& base,
                            const std::vector< ArtifactPicture >& pictures, std::vector< std::string >* files,
                            std::string* error );
}
