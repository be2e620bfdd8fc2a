#include "host/commands.h"

#include "host/contact_sheet.h"
#include "host/frame_source.h"
#include "host/gl_frames.h"
#include "host/host_log.h"
#include "host/plugin_info.h"
#include "host/plugin_instance.h"
#include "host/png_io.h"
#include "host/timing.h"

#include "host/process.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace ffglhost
{
namespace
{
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

int Fail( RunSession& s, const std::string& message, int code = kExitFailed )
{
	EndSession( s );
	PrintError( message );
	PrintCollectedLogLines( stderr );
	return code;
}

std::string SizeText( int w, int h )
{
	return std::to_string( w ) + "x" + std::to_string( h );
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
	for( const auto& assignment : line.settings )
	{
		const ParameterDescription* p = FindParameter( s.description, assignment.first );
		if( !p )
		{
			*error = "unknown parameter \"" + assignment.first + "\"; the parameters of " + s.description.name + " are " +
			         ParameterNameList( s.description );
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
	if( line.scene == "photo" )
		return s.source.OpenPhoto( line.photoPath, line.width, line.height, line.seed, line.still, error );
	if( line.inputPath.empty() )
	{
		s.source.OpenScene( line.width, line.height );
		return true;
	}
	std::error_code ec;
	if( std::filesystem::is_directory( line.inputPath, ec ) )
		return s.source.OpenDirectory( line.inputPath, error );
	return s.source.OpenFile( line.inputPath, error );
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
		*error = "a frame of " + SizeText( w, h ) + " is beyond this GL's limit of " + std::to_string( limit ) + " pixels a side";
		return false;
	}
	return true;
}
}

int RunCommand( const CommandLine& line )
{
	ClearCollectedLogLines();
	RunSession s;
	std::string error;
	if( !s.library.Open( line.plugin, &error ) )
		return Fail( s, error );
	s.library.InstallLogCallback( CollectLogLine );
	if( !InitialisePlugin( s.library, &error ) )
		return Fail( s, error );
	s.initialised = true;
	if( !DescribePlugin( s.library, &s.description, &error ) )
		return Fail( s, error );
	if( s.description.type != FF_EFFECT )
		return Fail( s, line.plugin + " is a " + PluginTypeName( s.description.type ) + " plug-in; ffglhost runs effects" );
	if( !ResolveSettings( line, s, &error ) )
		return Fail( s, error, kExitUsage );
	if( !OpenSource( line, s, &error ) )
		return Fail( s, error );
	const int frameCount = line.frames > 0 ? line.frames : s.source.NaturalFrameCount();
	std::error_code ec;
	if( !line.outDirectory.empty() && !std::filesystem::create_directories( line.outDirectory, ec ) && ec )
		return Fail( s, "cannot create the folder " + line.outDirectory + ": " + ec.message() );
	const std::filesystem::path sheetFolder = std::filesystem::path( line.sheetPath ).parent_path();
	if( !sheetFolder.empty() && !std::filesystem::create_directories( sheetFolder, ec ) && ec )
		return Fail( s, "cannot create the folder " + sheetFolder.string() + ": " + ec.message() );

	if( !StartHostGL( s.context, &error ) )
		return Fail( s, error );
	int w = s.source.FirstWidth(), h = s.source.FirstHeight();
	if( !CheckSize( w, h, &error ) || !CreateGLFrames( s.frames, w, h, &error ) )
		return Fail( s, error );
	if( !s.instance.Create( s.library, static_cast< uint32_t >( w ), static_cast< uint32_t >( h ), &error ) )
		return Fail( s, error );
	for( const Setting& setting : s.settings )
	{
		const bool text = setting.parameter->typeKnown && IsTextType( setting.parameter->type );
		const bool ok   = text ? s.instance.SetTextParameter( setting.parameter->index, setting.text.c_str() )
		                       : s.instance.SetFloatParameter( setting.parameter->index, setting.value );
		if( !ok )
			return Fail( s, "the plug-in refused \"" + setting.parameter->name + "\" = " + setting.text );
	}
	if( !line.sheetPath.empty() )
		s.sheet.Plan( frameCount, w, h );
	s.times.Reserve( static_cast< size_t >( frameCount ) );
	const bool progress = line.progress && IsTerminal( stderr );

	for( int i = 0; i < frameCount; ++i )
	{
		const Picture* input = s.source.Frame( i, &error );
		if( !input )
			return Fail( s, error );
		if( input->width != s.frames.width || input->height != s.frames.height )
		{
			w = input->width;
			h = input->height;
			if( !CheckSize( w, h, &error ) || !CreateGLFrames( s.frames, w, h, &error ) )
				return Fail( s, error );
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
			return Fail( s, "the plug-in failed to process frame " + std::to_string( i + 1 ) + " (FF_PROCESS_OPENGL)" );
		if( line.benchChild )
			continue;
		ReadOutput( s.frames, s.output );
		if( s.sheet.Wants( i ) )
			s.sheet.Add( i, *input, s.output );
		if( !line.outDirectory.empty() )
		{
			Unpremultiply( s.output );
			const std::string path = ( std::filesystem::path( line.outDirectory ) / FrameFileName( i ) ).string();
			if( !WritePng( path, s.output, &error ) )
				return Fail( s, error );
		}
		if( progress )
			std::fprintf( stderr, "\rffglhost: frame %d of %d", i + 1, frameCount );
	}
	if( progress )
		std::fprintf( stderr, "\r%60s\r", "" );
	EndSession( s );
	if( line.benchChild )
	{
		PrintBenchResult( s.times );
		return kExitOk;
	}
	if( !line.sheetPath.empty() && !s.sheet.Write( line.sheetPath, &error ) )
	{
		PrintError( error );
		return kExitFailed;
	}

	const std::string scene = SizeText( line.width, line.height ) +
	                          ( line.scene == "photo" ? " photo scene of " + line.photoPath : " presenter scene" );
	std::printf( "ffglhost: %d frames of %s through \"%s\" (%s)\n", frameCount,
	             line.inputPath.empty() ? scene.c_str() : line.inputPath.c_str(), s.description.name.c_str(),
	             line.plugin.c_str() );
	std::printf( "FF_PROCESS_OPENGL + glFinish per frame: %s\n", FormatTimingSummary( s.times.Summarise() ).c_str() );
	if( !line.outDirectory.empty() )
		std::printf( "frames: %s (%s ... %s)\n", line.outDirectory.c_str(), FrameFileName( 0 ).c_str(),
		             FrameFileName( frameCount - 1 ).c_str() );
	if( !line.sheetPath.empty() )
		std::printf( "contact sheet: %s\n", line.sheetPath.c_str() );
	PrintCollectedLogLines( stdout );
	return kExitOk;
}

void PrintError( const std::string& message )
{
	std::fflush( stdout );
	std::fprintf( stderr, "ffglhost: %s\n", message.c_str() );
	std::fflush( stderr );
}
}
