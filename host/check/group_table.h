#pragma once
// The groups of "ffglhost check" in one table: each group's name, its checks and the code that runs
// them. Adding a group or a check is an entry here plus its code in <group>_group.cpp.
#include <string>
#include <vector>

namespace ffglhost
{
class CheckSession;

// A group runs in a process of its own; a crash there fails only its own remaining checks.
struct CheckGroup
{
	const char* name;
	std::vector< const char* > checks;
	// Reports each of the checks; the session has the plug-in open unless the group opens it itself.
	void ( *run )( CheckSession& session );
	bool opensPlugin = false;
};

// The groups in the order they run. "scan" runs first: when the plug-in does not load, nothing else runs.
const std::vector< CheckGroup >& CheckGroups();
// Checks every group feeds (GL state after each kind of call, GL names, timing): the parent merges
// their reports, the worst one standing.
const std::vector< const char* >& SharedChecks();
const CheckGroup* FindCheckGroup( const std::string& name );
}
