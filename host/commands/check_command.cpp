// ffglhost check and check-group: the validator, fed from the command line.
#include "host/check/validator.h"
#include "host/commands/commands.h"

namespace ffglhost
{
namespace
{
CheckOptions CheckOptionsOf( const CommandLine& line )
{
	CheckOptions options;
	options.strictness  = line.strictness;
	options.seed        = line.seed;
	options.seedGiven   = line.seedGiven;
	options.jsonPath    = line.jsonPath;
	options.groups      = line.groups;
	options.callTimeout = line.callTimeout;
	return options;
}
}

int CheckCommand( const CommandLine& line )
{
	return RunCheck( line.plugin, CheckOptionsOf( line ), line.environment );
}

int CheckGroupCommand( const CommandLine& line )
{
	return RunCheckGroup( line.plugin, CheckOptionsOf( line ) );
}
}
