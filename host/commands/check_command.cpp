// ffglhost check and check-group: their options, and the validator fed from them.
#include "host/check/group_table.h"
#include "host/check/validator.h"
#include "host/commands/commands.h"

namespace ffglhost
{
namespace
{
// "scan,sizes": names of known groups, each once.
bool ParseGroups( const std::string& text, std::vector< std::string >* groups, std::string* error )
{
	size_t start = 0;
	while( start <= text.size() )
	{
		const size_t comma     = text.find( ',', start );
		const std::string name = text.substr( start, comma == std::string::npos ? std::string::npos : comma - start );
		if( !FindCheckGroup( name ) )
		{
			std::string known;
			for( const CheckGroup& group : CheckGroups() )
				known += ( known.empty() ? "" : ", " ) + std::string( group.name );
			*error = "unknown group \"" + name + "\" (the groups are " + known + ")";
			return false;
		}
		for( const std::string& seen : *groups )
			if( seen == name )
			{
				*error = "the group \"" + name + "\" is named twice";
				return false;
			}
		groups->push_back( name );
		if( comma == std::string::npos )
			break;
		start = comma + 1;
	}
	return true;
}

bool ApplySeed( const std::string& value, CommandLine* line, std::string* error )
{
	if( !StoreSeed( value, &line->check.seed, error ) )
		return false;
	line->check.seedGiven = true;
	return true;
}

// The last --groups stands.
bool ApplyGroups( const std::string& value, CommandLine* line, std::string* error )
{
	line->check.groups.clear();
	return ParseGroups( value, &line->check.groups, error );
}
}

const std::vector< CommandOption >& CheckOptionTable()
{
	static const std::vector< CommandOption > options = {
		{ "--strictness", "N",
		  "1 (a quick smoke run) to 10 (sizes up to 3840x2160 and 1x1, more of everything); default 5",
		  []( const std::string& v, CommandLine* l, std::string* e ) {
		      return StoreCount( v, 10, &l->check.strictness, "--strictness expects a whole number from 1 to 10", e );
		  } },
		{ "--seed", "N", "the seed of every random choice; printed, so a run can be replayed (default: a fresh one)",
		  ApplySeed },
		{ "--json", "FILE", "writes every result, the timing and the plug-in's log as JSON",
		  StoreText< &CommandLine::check, &CheckOptions::jsonPath > },
		{ "--junit", "FILE", "writes JUnit XML for CI: one test case per check, its time; a warning passes",
		  StoreText< &CommandLine::check, &CheckOptions::junitPath > },
		{ "--artifacts", "DIR", "for each picture check that warns or fails: expected, drawn and difference PNGs",
		  StoreText< &CommandLine::check, &CheckOptions::artifactDirectory > },
		{ "--groups", "LIST", "only these groups, comma-separated, e.g. sizes,output (a wrong name lists them)",
		  ApplyGroups },
		{ "--call-timeout", "N", "seconds one call may take before the plug-in counts as hung (default 60)",
		  []( const std::string& v, CommandLine* l, std::string* e ) {
		      return StoreCount( v, 3600, &l->check.callTimeout, "--call-timeout expects whole seconds from 1 to 3600",
		                         e );
		  } },
		{ "--quiet", nullptr, "no progress on standard error, and only the summary line on standard output",
		  SetFlag< &CommandLine::check, &CheckOptions::quiet > },
	};
	return options;
}

// check's options and what only the parent gives a group's process.
const std::vector< CommandOption >& CheckGroupOptionTable()
{
	static const std::vector< CommandOption > options = [] {
		std::vector< CommandOption > all = CheckOptionTable();
		all.push_back( { "--probe", nullptr, nullptr, SetFlag< &CommandLine::check, &CheckOptions::probe > } );
		all.push_back(
		    { "--unrepeatable", "FINDING", nullptr, StoreText< &CommandLine::check, &CheckOptions::unrepeatable > } );
		return all;
	}();
	return options;
}

int CheckCommand( const CommandLine& line )
{
	return RunCheck( line.plugin, line.check, line.environment );
}

int CheckGroupCommand( const CommandLine& line )
{
	return RunCheckGroup( line.plugin, line.check );
}
}
