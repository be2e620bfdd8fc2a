#pragma once
// The pictures behind a picture check that warned or failed, for the plug-in's maker: what a fresh
// instance drew plainly, what the instance under test drew, and where they differ, as PNG files.
#include "host/picture.h"

#include <string>
#include <vector>

namespace ffglhost
{
// Differing pixels (a channel more than one step apart) in red, brighter the larger the step; the
// others dimmed grey from the expected picture, so the differences stand out where they lie. Opaque.
void MakeDifferencePicture( const Picture& expected, const Picture& drawn, Picture& difference );

// "sizes.changing-instance_1-frame3": check, instance and frame, in characters any file system takes.
std::string ArtifactBaseName( const std::string& check, const std::string& instance, int frame );

// Writes DIR/BASE-expected.png, -drawn.png and -difference.png (straight alpha, as PNG files are),
// the folder made if need be; the names written in *files. False with *error otherwise.
bool WriteComparisonPictures( const std::string& directory, const std::string& base, const Picture& expected,
                              const Picture& drawn, std::vector< std::string >* files, std::string* error );
}
