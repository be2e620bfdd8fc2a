#include "host/command_line.h"

#include "host/check_plan.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace ffglhost
{
// Larger counts are typing mistakes; a frame is at least a millisecond.
const int kMaxFrames = 1000000;
const int kMaxSide   = 1000000;

static bool ParseCount( const std::string& text, int limit, int* value )
{
	if( text.empty() || text.size() > 9 )
		return false;
	for( char c : text )
		if( c < '0' || c > '9' )
			return false;
	const long n = std::strtol( text.c_str(), nullptr, 10 );
	if( n < 1 || n > limit )
		return false;
	*value = static_cast< int >( n );
	return true;
}

bool ParseSize( const std::string& text, int* w, int* h )
{
	const size_t x = text.find_first_of( "xX" );
	if( x == std::string::npos )
		return false;
	return ParseCount( text.substr( 0, x ), kMaxSide, w ) && ParseCount( text.substr( x + 1 ), kMaxSide, h );
}

bool ParseNumber( const std::string& text, float* value )
{
	if( text.empty() || std::isspace( static_cast< unsigned char >( text[ 0 ] ) ) )
		return false;
	char* end = nullptr;
	errno     = 0;
	const double v = std::strtod( text.c_str(), &end );
	if( errno != 0 || end != text.c_str() + text.size() || !std::isfinite( v ) )
		return false;
	const float f = static_cast< float >( v );
	if( !std::isfinite( f ) )
		return false;
	*value = f;
	return true;
}

bool ParseSeed( const std::string& text, unsigned long long* seed )
{
	if( text.empty() || text.size() > 20 )
		return false;
	unsigned long long value = 0;
	for( char c : text )
	{
		if( c < '0' || c > '9' )
			return false;
		const unsigned digit = static_cast< unsigned >( c - '0' );
		if( value > ( ~0ull - digit ) / 10 )
			return false;
		value = value * 10 + digit;
	}
	*seed = value;
	return true;
}

// "scan,sizes": names of known groups, each once.
static bool ParseGroups( const std::string& text, std::vector< std::string >* groups, std::string* error )
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

bool ParseAssignment( const std::string& text, std::string* name, std::string* value )
{
	const size_t equals = text.find( '=' );
	if( equals == std::string::npos || equals == 0 )
		return false;
	*name  = text.substr( 0, equals );
	*value = text.substr( equals + 1 );
	return true;
}

const char* UsageText()
{
	return "usage: ffglhost info PLUGIN [--env NAME=VALUE]...\n"
	       "       ffglhost run PLUGIN [options]\n"
	       "       ffglhost check PLUGIN [--strictness N] [--seed N] [--json FILE] [--groups LIST]\n"
	       "                             [--call-timeout N] [--env NAME=VALUE]...\n"
	       "\n"
	       "Loads an FFGL 2.x effect library (.so / .dll) as a host does and shows what it is (info),\n"
	       "runs frames through it on a headless OpenGL 4.1 core context (run), or validates it against\n"
	       "what real hosts do (check).\n"
	       "\n"
	       "run options:\n"
	       "  --input FILE.png      one picture, repeated\n"
	       "  --input DIR           the folder's PNG files in name order\n"
	       "  --scene presenter     a generated presenter on a green backdrop (the default)\n"
	       "  --scene photo:FILE    a PNG or JPEG photograph filmed by a handheld camera: fitted to fill the\n"
	       "                        frame, a few pixels of drift and shake, fresh sensor noise each frame\n"
	       "  --still               the photograph without camera motion (the noise still changes)\n"
	       "  --seed N              the camera motion and noise of the photograph (default 0)\n"
	       "  --size WxH            size of the generated scene (default 1920x1080)\n"
	       "  --frames N            number of frames (default 60; a folder: one per file)\n"
	       "  --set NAME=VALUE      set a parameter by name before the first frame (repeatable)\n"
	       "  --out DIR             write the frames as DIR/frame_0001.png ... (straight alpha)\n"
	       "  --sheet FILE.png      write a contact sheet: input, matte and cut-out of a few frames\n"
	       "  --no-progress         no progress line, even on a terminal\n"
	       "  --bench               time the frames with the NVIDIA runtime present (REFRT_MATTE=255) and\n"
	       "                        absent, in alternating processes; at --size, else 1920x1080 and 1280x720\n"
	       "  --versus NAME=VALUE   with --bench: the runtime as --env lays it out against the same with\n"
	       "                        NAME=VALUE set (repeatable), e.g. another models folder\n"
	       "  --env NAME=VALUE      set a variable in ffglhost's environment before loading the plug-in\n"
	       "\n"
	       "check options:\n"
	       "  --strictness N        1 (a quick smoke run) to 10 (every size up to 3840x2160, more frames,\n"
	       "                        instances and random steps); default 5\n"
	       "  --seed N              the seed of every random choice; printed, so a run can be replayed\n"
	       "  --json FILE           write every result, the timing and the plug-in's log as JSON\n"
	       "  --groups LIST         only these groups, comma-separated: scan, protocol, instances,\n"
	       "                        parameters, sizes, output\n"
	       "  --call-timeout N      seconds one call into the plug-in may take before it counts as hung\n"
	       "                        (default 60)\n"
	       "\n"
	       "exit status: 0 done (check: no check failed), 1 the plug-in, a file or the GL failed (check: a\n"
	       "check failed), 2 a mistake on the command line\n";
}

bool ParseCommandLine( int argc, const char* const* argv, CommandLine* line, std::string* error )
{
	*line = CommandLine();
	if( argc < 2 )
	{
		*error = "no command given";
		return false;
	}
	line->command = argv[ 1 ];
	if( line->command == "help" || line->command == "--help" || line->command == "-h" )
	{
		line->command = "help";
		return true;
	}
	if( line->command != "info" && line->command != "run" && line->command != "check" && line->command != "check-group" )
	{
		*error = "unknown command \"" + line->command + "\" (expected info, run or check)";
		return false;
	}
	// check-group GROUP PLUGIN ...: one group of a check, in a process of its own.
	int first = 2;
	if( line->command == "check-group" )
	{
		if( argc < 3 || !FindCheckGroup( argv[ 2 ] ) )
		{
			*error = "check-group: no known group given";
			return false;
		}
		line->groups.push_back( argv[ 2 ] );
		first = 3;
	}
	if( argc <= first || argv[ first ][ 0 ] == '-' )
	{
		*error = line->command + ": no plug-in library given";
		return false;
	}
	line->plugin     = argv[ first ];
	const bool run   = line->command == "run";
	const bool check = line->command == "check" || line->command == "check-group";
	bool sceneGiven  = false;
	for( int i = first + 1; i < argc; ++i )
	{
		const std::string option = argv[ i ];
		const bool checkOption   = option == "--strictness" || option == "--json" || option == "--groups" ||
		                         option == "--call-timeout";
		const bool shared        = option == "--env" || option == "--seed";
		if( ( !run && !check && option != "--env" ) || ( check && !checkOption && !shared ) || ( !check && checkOption ) )
		{
			*error = line->command + ": unknown option \"" + option + "\"";
			return false;
		}
		if( option == "--no-progress" )
		{
			line->progress = false;
			continue;
		}
		if( option == "--still" )
		{
			line->still = true;
			continue;
		}
		if( option == "--bench" || option == "--bench-child" )
		{
			( option == "--bench" ? line->bench : line->benchChild ) = true;
			line->progress = false;
			continue;
		}
		if( i + 1 >= argc )
		{
			*error = option.compare( 0, 2, "--" ) == 0 ? option + " needs a value" : "unexpected argument \"" + option + "\"";
			return false;
		}
		const std::string value = argv[ ++i ];
		std::string name, text;
		if( option == "--env" )
		{
			if( !ParseAssignment( value, &name, &text ) )
			{
				*error = "--env expects NAME=VALUE, not \"" + value + "\"";
				return false;
			}
			line->environment.emplace_back( name, text );
		}
		else if( option == "--versus" )
		{
			if( !ParseAssignment( value, &name, &text ) )
			{
				*error = "--versus expects NAME=VALUE, not \"" + value + "\"";
				return false;
			}
			line->versus.emplace_back( name, text );
		}
		else if( option == "--strictness" )
		{
			if( !ParseCount( value, 10, &line->strictness ) )
			{
				*error = "--strictness expects a whole number from 1 to 10, not \"" + value + "\"";
				return false;
			}
		}
		else if( option == "--seed" )
		{
			if( !ParseSeed( value, &line->seed ) )
			{
				*error = "--seed expects a whole number from 0 to 18446744073709551615, not \"" + value + "\"";
				return false;
			}
			line->seedGiven = true;
		}
		else if( option == "--call-timeout" )
		{
			if( !ParseCount( value, 3600, &line->callTimeout ) )
			{
				*error = "--call-timeout expects whole seconds from 1 to 3600, not \"" + value + "\"";
				return false;
			}
		}
		else if( option == "--json" )
		{
			line->jsonPath = value;
		}
		else if( option == "--groups" )
		{
			line->groups.clear();
			if( !ParseGroups( value, &line->groups, error ) )
				return false;
		}
		else if( option == "--input" )
		{
			line->inputPath = value;
		}
		else if( option == "--scene" )
		{
			const bool photo = value.compare( 0, 6, "photo:" ) == 0 && value.size() > 6;
			if( value != "presenter" && !photo )
			{
				*error = "unknown scene \"" + value + "\" (the scenes are: presenter, photo:FILE)";
				return false;
			}
			line->scene     = photo ? "photo" : value;
			line->photoPath = photo ? value.substr( 6 ) : std::string();
			sceneGiven      = true;
		}
		else if( option == "--size" )
		{
			if( !ParseSize( value, &line->width, &line->height ) )
			{
				*error = "--size expects WxH with both from 1 to 1000000 (e.g. 1920x1080), not \"" + value + "\"";
				return false;
			}
			line->sizeGiven = true;
		}
		else if( option == "--frames" )
		{
			if( !ParseCount( value, kMaxFrames, &line->frames ) )
			{
				*error = "--frames expects a whole number from 1 to 1000000, not \"" + value + "\"";
				return false;
			}
		}
		else if( option == "--set" )
		{
			if( !ParseAssignment( value, &name, &text ) )
			{
				*error = "--set expects NAME=VALUE, not \"" + value + "\"";
				return false;
			}
			line->settings.emplace_back( name, text );
		}
		else if( option == "--out" )
		{
			line->outDirectory = value;
		}
		else if( option == "--sheet" )
		{
			line->sheetPath = value;
		}
		else
		{
			*error = "run: unknown option \"" + option + "\"";
			return false;
		}
	}
	if( !line->inputPath.empty() && sceneGiven )
	{
		*error = "--input and --scene exclude each other";
		return false;
	}
	if( line->still && line->scene != "photo" )
	{
		*error = "--still applies to a photo scene (--scene photo:FILE)";
		return false;
	}
	if( !line->versus.empty() && !line->bench )
	{
		*error = "--versus applies to --bench";
		return false;
	}
	if( ( line->bench || line->benchChild ) && ( !line->outDirectory.empty() || !line->sheetPath.empty() ) )
	{
		*error = "--bench writes no frames: leave out --out and --sheet";
		return false;
	}
	if( !line->inputPath.empty() && line->sizeGiven )
	{
		*error = "--size applies to the generated scene; input pictures keep their own size";
		return false;
	}
	return true;
}
}
