#include "host/check/repeatability.h"

#include "host/check/live_instance.h"

#include <algorithm>

namespace ffglhost
{
namespace
{
// Small pictures: two of each frame travel through the line protocol as text.
const int kProbeWidth  = 160;
const int kProbeHeight = 90;
}

void RunRepeatabilityProbe( CheckSession& session )
{
	std::string reason;
	if( !session.Open( &reason ) )
		return;
	LiveInstance fresh( session, "a fresh instance" );
	if( !fresh.Make( kProbeWidth, kProbeHeight, &reason ) )
		return;
	FrameOutput output;
	for( int frame = 0; frame < session.Plan().framesPerSize; ++frame )
	{
		session.Frame( *fresh, PlainLayout( kProbeWidth, kProbeHeight ), frame, output );
		EmitPicture( output.picture );
	}
}

std::string CompareProbes( const GroupOutcome& first, const GroupOutcome& second )
{
	const size_t frames = std::min( first.pictures.size(), second.pictures.size() );
	for( size_t frame = 0; frame < frames; ++frame )
	{
		const PictureDifference difference = ComparePictures( first.pictures[ frame ], second.pictures[ frame ] );
		if( difference.maxStep > 1 )
			return "two fresh loads drew frame " + std::to_string( frame + 1 ) + " differently (" +
			       DescribeDifference( difference ) + ")";
	}
	return std::string();
}
}
