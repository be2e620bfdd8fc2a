// run's options: the input (a photo scene's among it), the frames, the parameters, what is written, and --bench.
#include "host/commands/command_line.h"

namespace ffglhost
{
namespace
{
// Larger counts are typing mistakes; a frame is at least a millisecond.
const int kMaxFrames = 1000000;

bool ApplySize( const std::string& value, CommandLine* line, std::string* error )
{
	if( !ParseSize( value, &line->run.width, &line->run.height ) )
		return RefuseOption( "--size expects WxH with both from 1 to 1000000 (e.g. 1920x1080), not \"" + value + "\"",
		                     error );
	line->run.sizeGiven = true;
	return true;
}

bool ApplyScene( const std::string& value, CommandLine* line, std::string* error )
{
	const bool photo = value.compare( 0, 6, "photo:" ) == 0 && value.size() > 6;
	if( value != "presenter" && !photo )
		return RefuseOption( "unknown scene \"" + value + "\" (the scenes are: presenter, photo:FILE)", error );
	line->run.scene      = photo ? "photo" : value;
	line->run.photoPath  = photo ? value.substr( 6 ) : std::string();
	line->run.sceneGiven = true;
	return true;
}

bool ApplySeed( const std::string& value, CommandLine* line, std::string* error )
{
	return StoreSeed( value, &line->run.seed, error );
}

bool ApplyVersus( const std::string& value, CommandLine* line, std::string* error )
{
	return StoreAssignment( value, "--versus", &line->run.versus, error );
}

bool ApplySetting( const std::string& value, CommandLine* line, std::string* error )
{
	return StoreAssignment( value, "--set", &line->run.settings, error );
}
}

const std::vector< CommandOption >& RunOptionTable()
{
	static const std::vector< CommandOption > options = {
		{ "--input", "FILE|DIR", "a PNG file, repeated, or a folder's PNG files in name order",
		  StoreText< &CommandLine::run, &RunOptions::inputPath > },
		{ "--scene", "SCENE",
		  "presenter: a generated presenter on green (the default); photo:FILE: a photograph, as a handheld camera "
		  "films it",
		  ApplyScene },
		{ "--still", nullptr, "the photograph without camera motion (its noise still changes)",
		  SetFlag< &CommandLine::run, &RunOptions::still > },
		{ "--seed", "N", "the photograph's camera motion and noise (default 0)", ApplySeed },
		{ "--size", "WxH", "the generated scene's size (default 1920x1080)", ApplySize },
		{ "--frames", "N", "number of frames (default 60; a folder: one per file)",
		  []( const std::string& v, CommandLine* l, std::string* e ) {
		      return StoreCount( v, kMaxFrames, &l->run.frames, "--frames expects a whole number from 1 to 1000000",
		                         e );
		  } },
		{ "--set", "NAME=VALUE", "a parameter, by name, before the first frame (repeatable)", ApplySetting },
		{ "--out", "DIR", "writes the frames as DIR/frame_0001.png ... (straight alpha)",
		  StoreText< &CommandLine::run, &RunOptions::outDirectory > },
		{ "--sheet", "FILE.png", "writes a contact sheet: input, matte and cut-out of a few frames",
		  StoreText< &CommandLine::run, &RunOptions::sheetPath > },
		{ "--no-progress", nullptr, "no progress line, even on a terminal",
		  []( const std::string&, CommandLine* l, std::string* ) {
		      l->run.progress = false;
		      return true;
		  } },
		// Timed rounds print no progress.
		{ "--bench", nullptr, "times the frames with the NVIDIA runtime present and absent, in alternating processes",
		  []( const std::string&, CommandLine* l, std::string* ) {
		      l->run.bench    = true;
		      l->run.progress = false;
		      return true;
		  } },
		{ "--bench-child", nullptr, nullptr,
		  []( const std::string&, CommandLine* l, std::string* ) {
		      l->run.benchChild = true;
		      l->run.progress   = false;
		      return true;
		  } },
		{ "--versus", "NAME=VALUE",
		  "with --bench: the runtime as --env lays it out against the same with NAME=VALUE set (repeatable)",
		  ApplyVersus },
	};
	return options;
}

bool CheckRunOptions( const CommandLine& line, std::string* error )
{
	const RunOptions& run = line.run;
	if( !run.inputPath.empty() && run.sceneGiven )
		return RefuseOption( "--input and --scene exclude each other", error );
	if( run.still && run.scene != "photo" )
		return RefuseOption( "--still applies to a photo scene (--scene photo:FILE)", error );
	if( !run.versus.empty() && !run.bench )
		return RefuseOption( "--versus applies to --bench", error );
	if( ( run.bench || run.benchChild ) && ( !run.outDirectory.empty() || !run.sheetPath.empty() ) )
		return RefuseOption( "--bench writes no frames: leave out --out and --sheet", error );
	if( !run.inputPath.empty() && run.sizeGiven )
		return RefuseOption( "--size applies to the generated scene; input pictures keep their own size", error );
	return true;
}
}
