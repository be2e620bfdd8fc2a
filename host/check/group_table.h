#pragma once
// The checks of "ffglhost check": each a function registered once, with its name and what it does, in
// the table of its group (at the end of <group>_group.cpp); the groups in the order they run, here.
// Adding a check is its function and its row.
#include "host/check/check_result.h"

#include <string>
#include <vector>

namespace ffglhost
{
class CheckSession;

// A check: it makes the host's calls through the session, ends what it made before it returns (the
// instances it made end with their scope), and returns its verdict.
using CheckFunction = CheckVerdict ( * )( CheckSession& session );

struct CheckDefinition
{
	const char* name;        // "sizes.changing": the group's name, a dot, the check's
	const char* description; // what it does, as docs/check.md says it
	CheckFunction run;       // null for the checks every group feeds through the session
};

// What a group's process has ready before the group's first check.
enum class GroupStart
{
	kNothing,       // the first check loads the plug-in
	kPlugin,        // the plug-in loaded and GL started
	kInstance,      // and "instance 1" made at 320x180, the session's shared instance
	kDrawnInstance, // and its first frame drawn, as hosts do before anything else
};

// A group runs in a process of its own; a crash there fails only its own remaining checks.
struct CheckGroup
{
	const char* name;
	GroupStart start;
	bool comparesPictures; // its checks need to know whether the effect draws twice alike
	std::vector< CheckDefinition > checks;
};

// The groups in the order they run. "scan" runs first: when the plug-in does not load, nothing else runs.
const std::vector< CheckGroup >& CheckGroups();
// Checks every group feeds (GL state after each kind of call, GL names, timing): the parent merges
// their reports, the worst one standing.
const std::vector< CheckDefinition >& SharedChecks();
const CheckGroup* FindCheckGroup( const std::string& name );
// A check of a group or a shared one, by its name; null when there is none.
const CheckDefinition* FindCheck( const std::string& name );
// The size of the shared instance, and of most frames a check draws.
const int kCheckWidth  = 320;
const int kCheckHeight = 180;
}
