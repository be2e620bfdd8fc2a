#include "host/check/group_table.h"

#include "host/check/groups.h"

namespace ffglhost
{
const std::vector< CheckGroup >& CheckGroups()
{
	static const std::vector< CheckGroup > groups = { ScanGroup(),       ProtocolGroup(), InstancesGroup(),
		                                              ParametersGroup(), SizesGroup(),    OutputGroup() };
	return groups;
}

const std::vector< CheckDefinition >& SharedChecks()
{
	static const std::vector< CheckDefinition > checks = {
		{ "glstate.instantiate", "GL's defaults handed over before FF_INSTANTIATE_GL and compared after it", nullptr },
		{ "glstate.process", "GL's defaults handed over before every FF_PROCESS_OPENGL and compared after it",
		  nullptr },
		{ "glstate.deinstantiate", "GL's defaults handed over before FF_DEINSTANTIATE_GL and compared after it",
		  nullptr },
		{ "glstate.other", "GL's defaults handed over before every other call and compared after it", nullptr },
		{ "names.released", "GL's own census of the objects alive after the instances and FF_DEINITIALISE", nullptr },
		{ "timing.scan", "median, p95 and max of load, information codes and unload", nullptr },
		{ "timing.instantiate", "median, p95 and max of FF_INSTANTIATE_GL", nullptr },
		{ "timing.first_frame", "median, p95 and max of an instance's first FF_PROCESS_OPENGL", nullptr },
		{ "timing.steady_frame", "median, p95 and max of the later FF_PROCESS_OPENGL calls", nullptr },
		{ "timing.deinstantiate", "median, p95 and max of FF_DEINSTANTIATE_GL", nullptr },
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

const CheckDefinition* FindCheck( const std::string& name )
{
	for( const CheckGroup& group : CheckGroups() )
		for( const CheckDefinition& check : group.checks )
			if( name == check.name )
				return &check;
	for( const CheckDefinition& check : SharedChecks() )
		if( name == check.name )
			return &check;
	return nullptr;
}
}
