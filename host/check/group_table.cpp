#include "host/check/group_table.h"

#include "host/check/groups.h"

namespace ffglhost
{
const std::vector< CheckGroup >& CheckGroups()
{
	static const std::vector< CheckGroup > groups = {
		{ "scan", { "scan.load", "scan.info", "scan.reload_leaks" }, RunScanGroup, true },
		{ "protocol",
		  { "protocol.no_input", "protocol.null_records", "protocol.unknown_codes", "protocol.bad_indexes" },
		  RunProtocolGroup },
		{ "instances",
		  { "instances.many", "instances.interleaved", "instances.destroy_order", "instances.deinitialise_while_live" },
		  RunInstancesGroup },
		{ "parameters",
		  { "parameters.automation", "parameters.edges", "parameters.nan", "parameters.defaults" },
		  RunParametersGroup },
		{ "sizes",
		  { "sizes.changing", "sizes.tiny", "sizes.padding_hidden", "sizes.host_fbo", "sizes.viewport" },
		  RunSizesGroup },
		{ "output",
		  { "output.size", "output.premultiplied", "output.deterministic", "output.outside_viewport" },
		  RunOutputGroup },
	};
	return groups;
}

const std::vector< const char* >& SharedChecks()
{
	static const std::vector< const char* > checks = {
		"glstate.instantiate", "glstate.process",      "glstate.deinstantiate", "glstate.other",
		"names.released",      "timing.scan",          "timing.instantiate",    "timing.first_frame",
		"timing.steady_frame", "timing.deinstantiate",
	};
	return checks;
}

const CheckGroup* FindCheckGroup( const std::string& name )
{
	for( const CheckGroup& group : CheckGroups() )
		if( name == group.name )
			return &group;
	return nullptr;
}
}
