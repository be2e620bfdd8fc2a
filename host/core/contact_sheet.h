#pragma once
// A contact sheet: a few frames of a run, one row each, side by side the input, the matte (the
// output's alpha in grey, what "Show Mask" draws) and the cut-out over a checkerboard.
#include "host/core/picture.h"

#include <string>
#include <vector>

namespace ffglhost
{
// Up to count frame indices of a run of frameCount frames, evenly spaced and ending with the last
// (for 60 frames and 4: 14, 29, 44, 59), in increasing order without repeats.
std::vector< int > ContactSheetFrames( int frameCount, int count );

class ContactSheet
{
public:
	// Lays the sheet out for the chosen frames of a run; tiles keep the frame's aspect ratio.
	void Plan( int frameCount, int frameWidth, int frameHeight );
	bool Wants( int frameIndex ) const;
	// Draws the row of a chosen frame. Both pictures premultiplied, of any size.
	void Add( int frameIndex, const Picture& input, const Picture& output );
	const Picture& Sheet() const { return sheet; }
	bool Write( const std::string& path, std::string* error ) const;

	int TileWidth() const { return tileWidth; }
	int TileHeight() const { return tileHeight; }
	// Top-left corner of a tile (column 0 input, 1 matte, 2 cut-out) of a row.
	int TileX( int column ) const;
	int TileY( int row ) const;

private:
	std::vector< int > frames;
	int tileWidth  = 0;
	int tileHeight = 0;
	Picture sheet;
};
}
