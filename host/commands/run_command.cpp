#include "host/commands/commands.h"

#include "host/core/contact_sheet.h"
#include "host/core/frame_source.h"
#include "host/core/gl_frames.h"
#include "host/core/host_log.h"
#include "host/core/output_file.h"
#include "host/core/picture.h"
#include "host/core/plugin_info.h"
#include "host/core/plugin_instance.h"
#include "host/core/png_io.h"
#include "host/core/texts.h"
#include "host/core/timing.h"

#include "host/core/process.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace ffglhost
{
namespace
{
// A channel within this of its input is unchanged: drawing a texture through the GL, and the 8-bit
// rounding of premultiplied colour (unpremultiplied and premultiplied again), move it by a step or two.
constexpr unsigned kUnchangedTolerance = 2;

// How much the plug-in changed its input over the frames drawn.
struct ChangeCount
{
	uint64_t pixels        = 0;
	uint64_t changedPixels = 0;
	int changedFrames      = 0;
};

// A --set resolved against the plug-in's parameters.
struct Setting
{
	const ParameterDescription* parameter;
	std::string text;
	float value;
};

// Everything a run holds, released in one place whatever the way out.
struct RunSession
{
	PluginLibrary library;
	bool initialised = false;
	PluginDescription description;
	std::vector< Setting > settings;
	FrameSource source;
	GLContext context;
	GLFrames frames;
	PluginInstance instance;
	FrameTimes times;
	ContactSheet sheet;
	Picture output;
	ChangeCount change;
};

void EndSession( RunSession& s )
{
	if( s.context.IsCreated() )
	{
		s.context.MakeCurrent();
		s.instance.Destroy();
		ReleaseGLFrames( s.frames );
	}
	if( s.initialised )
		DeinitialisePlugin( s.library );
	s.initialised = false;
	s.library.Close();
	s.context.Destroy();
}

int Fail( RunSession& s, const std::string& message, int code )
{
	EndSession( s );
	PrintError( message );
	PrintCollectedLogLines( stderr );
	return code;
}

std::string FrameFileName( int index )
{
	char name[ 32 ];
	std::snprintf( name, sizeof( name ), "frame_%04d.png", index + 1 );
	return name;
}

// Unknown names and values that are not numbers are the user's mistakes: refused before any GL.
bool ResolveSettings( const CommandLine& line, RunSession& s, std::string* error )
{
	for( const auto& assignment : line.run.settings )
	{
		const ParameterDescription* p = FindParameter( s.description, assignment.first );
		if( !p )
		{
			*error = "unknown parameter \"" + assignment.first + "\"; the parameters of " + s.description.name +
			         " are " + ParameterNameList( s.description );
			return false;
		}
		Setting setting = { p, assignment.second, 0.f };
		if( !( p->typeKnown && IsTextType( p->type ) ) && !ParseNumber( assignment.second, &setting.value ) )
		{
			*error = "the value of \"" + p->name + "\" must be a number, not \"" + assignment.second + "\"";
			return false;
		}
		s.settings.push_back( setting );
	}
	return true;
}

bool OpenSource( const CommandLine& line, RunSession& s, std::string* error )
{
	const RunOptions& run = line.run;
	if( run.scene == "photo" )
		return s.source.OpenPhoto( run.photoPath, run.width, run.height, run.seed, run.still, error );
	if( line.run.inputPath.empty() )
	{
		s.source.OpenScene( line.run.width, line.run.height );
		return true;
	}
	std::error_code ec;
	if( std::filesystem::is_directory( line.run.inputPath, ec ) )
		return s.source.OpenDirectory( line.run.inputPath, error );
	return s.source.OpenFile( line.run.inputPath, error );
}

// For the process that runs a bench: every frame's time, then the plug-in's log, one item a line.
void PrintBenchResult( const FrameTimes& times )
{
	std::printf( "bench-times" );
	for( double seconds : times.Samples() )
		std::printf( " %.6f", seconds * 1000.0 );
	std::printf( "\n" );
	for( const std::string& text : CollectedLogLines() )
		std::printf( "bench-log %s\n", text.c_str() );
}

bool CheckSize( int w, int h, std::string* error )
{
	const int limit = MaxFrameSize();
	if( w < 1 || h < 1 || w > limit || h > limit )
	{
		*error = "a frame of " + SizeText( w, h ) + " is beyond this GL's limit of " + std::to_string( limit ) +
		         " pixels a side";
		return false;
	}
	return true;
}

// Loads, initialises and describes the plug-in and resolves the settings: kExitOk, or the exit code of
// the failure with *error.
int OpenPlugin( const CommandLine& line, RunSession& s, std::string* error )
{
	if( !s.library.Load( line.plugin, error ) )
		return kExitCannotRun;
	if( !s.library.Identify( error ) )
		return kExitFailed;
	s.library.InstallLogCallback( CollectLogLine );
	if( !InitialisePlugin( s.library, error ) )
		return kExitFailed;
	s.initialised = true;
	if( !DescribePlugin( s.library, &s.description, error ) )
		return kExitFailed;
	if( s.description.type != FF_EFFECT )
	{
		*error = line.plugin + " is a " + PluginTypeName( s.description.type ) + " plug-in; ffglhost runs effects";
		return kExitFailed;
	}
	return ResolveSettings( line, s, error ) ? kExitOk : kExitUsage;
}

// The frames' folder and the sheet's, and the sheet itself, tried before any frame is drawn.
bool PrepareOutputs( const RunOptions& run, std::string* error )
{
	if( !run.outDirectory.empty() && !PrepareOutputFolder( run.outDirectory, error ) )
		return false;
	if( run.sheetPath.empty() )
		return true;
	const std::filesystem::path sheetFolder = std::filesystem::path( run.sheetPath ).parent_path();
	return ( sheetFolder.empty() || PrepareOutputFolder( sheetFolder.string(), error ) ) &&
	       CanWriteFile( run.sheetPath, error );
}

// GL, the frames' textures at w x h, and the instance with the settings given: kExitOk, or the exit
// code of the failure with *error.
int StartInstance( RunSession& s, int w, int h, std::string* error )
{
	if( !StartHostGL( s.context, error ) )
		return kExitCannotRun;
	if( !CheckSize( w, h, error ) || !CreateGLFrames( s.frames, w, h, error ) )
		return kExitCannotRun;
	if( !s.instance.Create( s.library, static_cast< uint32_t >( w ), static_cast< uint32_t >( h ), error ) )
		return kExitFailed;
	for( const Setting& setting : s.settings )
	{
		const bool text = setting.parameter->typeKnown && IsTextType( setting.parameter->type );
		const bool ok   = text ? s.instance.SetTextParameter( setting.parameter->index, setting.text.c_str() )
		                       : s.instance.SetFloatParameter( setting.parameter->index, setting.value );
		if( !ok )
		{
			*error = "the plug-in refused \"" + setting.parameter->name + "\" = " + setting.text;
			return kExitFailed;
		}
	}
	return kExitOk;
}

// Frame i through the instance, timed; then (unless only timed) to the contact sheet and the folder:
// kExitOk, or the exit code of the failure with *error.
int RunFrame( const RunOptions& run, RunSession& s, int i, std::string* error )
{
	const Picture* input = s.source.Frame( i, error );
	if( !input )
		return kExitCannotRun;
	const int w = input->width, h = input->height;
	if( w != s.frames.width || h != s.frames.height )
	{
		if( !CheckSize( w, h, error ) || !CreateGLFrames( s.frames, w, h, error ) )
			return kExitCannotRun;
		s.instance.Resize( static_cast< uint32_t >( w ), static_cast< uint32_t >( h ) );
	}
	UploadInput( s.frames, *input );
	PrepareOutput( s.frames );
	const double start = NowSeconds();
	const bool ok      = s.instance.Process( s.frames.inputTexture, static_cast< uint32_t >( w ),
	                                         static_cast< uint32_t >( h ), s.frames.framebuffer );
	glFinish();
	s.times.Add( NowSeconds() - start );
	if( !ok )
	{
		*error = "the plug-in failed to process frame " + std::to_string( i + 1 ) + " (FF_PROCESS_OPENGL)";
		return kExitFailed;
	}
	if( run.benchChild )
		return kExitOk;
	ReadOutput( s.frames, s.output );
	const size_t changed = CountChangedPixels( *input, s.output, kUnchangedTolerance );
	s.change.pixels += static_cast< uint64_t >( w ) * static_cast< uint64_t >( h );
	s.change.changedPixels += changed;
	s.change.changedFrames += changed > 0 ? 1 : 0;
	if( s.sheet.Wants( i ) )
		s.sheet.Add( i, *input, s.output );
	if( run.outDirectory.empty() )
		return kExitOk;
	Unpremultiply( s.output );
	return WritePng( ( std::filesystem::path( run.outDirectory ) / FrameFileName( i ) ).string(), s.output,
	                 PngCompression::kFast, error )
	           ? kExitOk
	           : kExitCannotRun;
}

// The last line: whether the plug-in did anything to its input, in plain words.
void PrintChange( const ChangeCount& change, int frameCount )
{
	if( change.changedPixels == 0 )
	{
		const std::string frames =
		    frameCount == 1 ? "its one frame" : "all " + std::to_string( frameCount ) + " frames";
		std::printf( "ffglhost: the effect passed its input through unchanged in %s (%s)\n", frames.c_str(),
		             CollectedLogLines().empty() ? "the plug-in logged nothing" : "see the plug-in's log lines above" );
		return;
	}
	// Never "0.0%" for a change, nor "100.0%" for a partial one.
	const double percent =
	    100.0 * static_cast< double >( change.changedPixels ) / static_cast< double >( change.pixels );
	char share[ 32 ];
	if( percent < 0.05 )
		std::snprintf( share, sizeof( share ), "under 0.1%%" );
	else if( percent > 99.95 && change.changedPixels < change.pixels )
		std::snprintf( share, sizeof( share ), "over 99.9%%" );
	else
		std::snprintf( share, sizeof( share ), "%.1f%%", percent );
	std::printf( "ffglhost: the effect changed %s of the pixels of its input (%d of %d frames changed)\n", share,
	             change.changedFrames, frameCount );
}

void PrintRunSummary( const CommandLine& line, const RunSession& s, int frameCount )
{
	const RunOptions& run   = line.run;
	const std::string scene = SizeText( run.width, run.height ) +
	                          ( run.scene == "photo" ? " photo scene of " + run.photoPath : " presenter scene" );
	std::printf( "ffglhost: %d frames of %s through \"%s\" (%s)\n", frameCount,
	             run.inputPath.empty() ? scene.c_str() : run.inputPath.c_str(), s.description.name.c_str(),
	             line.plugin.c_str() );
	std::printf( "FF_PROCESS_OPENGL + glFinish per frame: %s\n", FormatTimingSummary( s.times.Summarise() ).c_str() );
	if( !run.outDirectory.empty() )
		std::printf( "frames: %s (%s ... %s)\n", run.outDirectory.c_str(), FrameFileName( 0 ).c_str(),
		             FrameFileName( frameCount - 1 ).c_str() );
	if( !run.sheetPath.empty() )
		std::printf( "contact sheet: %s\n", run.sheetPath.c_str() );
	PrintCollectedLogLines( stdout );
	PrintChange( s.change, frameCount );
}
}

int RunCommand( const CommandLine& line )
{
	if( line.run.bench )
		return BenchCommand( line );
	ClearCollectedLogLines();
	RunSession s;
	std::string error;
	const int opened = OpenPlugin( line, s, &error );
	if( opened != kExitOk )
		return Fail( s, error, opened );
	if( !OpenSource( line, s, &error ) )
		return Fail( s, error, kExitCannotRun );
	const int frameCount = line.run.frames > 0 ? line.run.frames : s.source.NaturalFrameCount();
	if( !PrepareOutputs( line.run, &error ) )
		return Fail( s, error, kExitCannotRun );
	const int w = s.source.FirstWidth(), h = s.source.FirstHeight();
	const int started = StartInstance( s, w, h, &error );
	if( started != kExitOk )
		return Fail( s, error, started );
	if( !line.run.sheetPath.empty() )
		s.sheet.Plan( frameCount, w, h );
	s.times.Reserve( static_cast< size_t >( frameCount ) );
	const bool progress = line.run.progress && IsTerminal( stderr );
	for( int i = 0; i < frameCount; ++i )
	{
		const int drawn = RunFrame( line.run, s, i, &error );
		if( drawn != kExitOk )
			return Fail( s, error, drawn );
		if( progress )
			std::fprintf( stderr, "\rffglhost: frame %d of %d", i + 1, frameCount );
	}
	if( progress )
		std::fprintf( stderr, "\r%60s\r", "" );
	EndSession( s );
	if( line.run.benchChild )
	{
		PrintBenchResult( s.times );
		return kExitOk;
	}
	if( !line.run.sheetPath.empty() && !s.sheet.Write( line.run.sheetPath, &error ) )
	{
		PrintError( error );
		return kExitCannotRun;
	}
	PrintRunSummary( line, s, frameCount );
	return kExitOk;
}
}
