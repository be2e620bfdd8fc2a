#pragma once
// The groups of "ffglhost check", each run in a process of its own by "ffglhost check-group": each
// <group>_group.cpp holds its checks and, at its end, its row of the table (group_table.h). Checks
// compare the plug-in with itself: what an instance draws under a host's habit against what a fresh
// instance draws under plain conditions, so they hold for any effect.
#include "host/check/check_session.h"
#include "host/check/group_table.h"
#include "host/check/live_instance.h"

#include <string>
#include <vector>

namespace ffglhost
{
CheckGroup ScanGroup();
CheckGroup ProtocolGroup();
CheckGroup InstancesGroup();
CheckGroup ParametersGroup();
CheckGroup SizesGroup();
CheckGroup OutputGroup();

// Shared by the groups: an instance made, run for frames of one layout and ended.
struct FrameRun
{
	FrameLayout layout;
	int firstPicture = 0;
	int frames       = 1;
	unsigned demands = kAnswered | kDrawn;
};
// Runs a fresh instance through the frames; its last output in *last. False with *reason when the
// instance could not be made or a frame broke a demand.
bool RunFreshInstance( CheckSession& session, const FrameRun& run, const std::string& name, FrameOutput* last,
                       std::string* reason );

// For an effect that does not draw twice alike: "; whether WHAT cannot be judged: the effect does not
// draw twice alike (what the probes found)", the end of a picture check's reason.
std::string NotJudged( const CheckSession& session, const std::string& what );

// A lone fresh instance through frames 0, 1, ... of the layout, compared with drawn[frame] each time; with
// a seed, its parameters come from it at frame 0 and at the middle frame (instances_group.cpp). The
// first frame that differs (its difference in *difference), -1 when none does, or -2 with *reason when
// the instance could not be made. The pictures of a frame that differs are saved for the check, under the
// name of the instance that drew them.
int FirstFrameUnlikeLone( CheckSession& session, const std::string& drawer, const FrameLayout& layout,
                          const std::vector< Picture >& drawn, const uint64_t* seed, PictureDifference* difference,
                          std::string* reason );
}
