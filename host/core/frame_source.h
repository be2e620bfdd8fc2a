#pragma once
// Where the input frames come from: one PNG repeated, a folder of PNGs in name order, the generated
// presenter scene, or a photograph filmed by a handheld camera. Frames come out premultiplied, as a GL
// texture of a host holds them.
#include "host/core/picture.h"
#include "host/core/scene_photo.h"

#include <string>
#include <vector>

namespace ffglhost
{
class FrameSource
{
public:
	void OpenScene( int w, int h );
	// A PNG or JPEG photograph as a scene of w x h; seed and still as PhotoScene::Render takes them.
	bool OpenPhoto( const std::string& path, int w, int h, unsigned long long seed, bool still, std::string* error );
	bool OpenFile( const std::string& path, std::string* error );
	// Every *.png in the folder (any letter case), sorted by name; none is an error.
	bool OpenDirectory( const std::string& path, std::string* error );

	// The number of frames a run takes when none is asked for: one per file of a folder, else 60.
	int NaturalFrameCount() const;

	// Frame index (0 the first; a folder is cycled through). Null on failure, with *error set.
	// The picture stays valid until the next call.
	const Picture* Frame( int index, std::string* error );

	// Size of the first frame (the scene's size, or the first file's).
	int FirstWidth() const { return firstWidth; }
	int FirstHeight() const { return firstHeight; }

private:
	enum class Kind
	{
		kNone,
		kScene,
		kPhoto,
		kFile,
		kDirectory,
	};
	// Reads the first picture of a file or folder source.
	bool OpenFirst( const std::string& path, Kind opened, std::string* error );

	Kind kind       = Kind::kNone;
	int firstWidth  = 0;
	int firstHeight = 0;
	PhotoScene photo;
	unsigned long long photoSeed = 0;
	bool photoStill              = false;
	std::vector< std::string > files;
	int loadedIndex = -1;
	Picture picture;
};
}
