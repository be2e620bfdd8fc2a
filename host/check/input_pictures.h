#pragma once
// The validator's input pictures: the generated presenter with translucent and clear bands,
// premultiplied; the same for the same arguments, a few kept for reuse.
#include "host/core/picture.h"

#include <map>
#include <tuple>

namespace ffglhost
{
class InputPictures
{
public:
	// Picture number index at w x h; valid until the next call.
	const Picture& Get( int index, int w, int h );

private:
	std::map< std::tuple< int, int, int >, Picture > pictures;
};
}
