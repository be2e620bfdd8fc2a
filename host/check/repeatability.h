#pragma once
// Whether the effect draws twice alike: a fresh instance given the same frames, time and parameters in
// two fresh loads of the plug-in (two processes). Grain, noise and glitch effects never do; the checks
// that compare pictures then judge what does not depend on it. An effect that draws alike from load to
// load but not from instance to instance within one load shares state between its instances: that the
// comparisons still catch.
#include "host/check/check_session.h"
#include "host/check/group_lines.h"

#include <string>

namespace ffglhost
{
// In a probe's process: the frames drawn, each picture sent to the parent.
void RunRepeatabilityProbe( CheckSession& session );

// In the parent, from two probes' outcomes: empty when they drew alike, or when either drew nothing (no
// way to tell: the groups then meet whatever stopped it); else what differs, as "two fresh loads drew
// frame 2 differently (up to 40 steps in 900 pixels, first at (3, 0))".
std::string CompareProbes( const GroupOutcome& first, const GroupOutcome& second );
}
