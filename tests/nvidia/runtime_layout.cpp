#include "tests/nvidia/runtime_layout.h"
#include "tests/support/test_process.h"

#include <sstream>

std::string TestRoot()
{
	// The copy that runs with the runtime beside it lives one folder down, in "apppath".
	std::string directory = ExecutableDirectory();
	size_t slash          = directory.find_last_of( "/\\" );
	if( slash != std::string::npos && directory.substr( slash + 1 ) == "apppath" )
		return directory.substr( 0, slash );
	return directory;
}

static void RemoveRuntimeFiles( const std::string& folder )
{
	RemoveFile( JoinPath( folder, kImageFile ) );
	RemoveFile( JoinPath( folder, kEffectsFile ) );
	RemoveFile( JoinPath( folder, kInferenceLibraryFile ) );
}

std::string ScenarioFolder( const std::string& name )
{
	return JoinPath( JoinPath( TestRoot(), "scenarios" ), name );
}

Scenario PrepareScenario( const std::string& name, const std::string& programFilesName )
{
	Scenario scenario;
	scenario.folder         = ScenarioFolder( name );
	scenario.programFiles   = JoinPath( scenario.folder, programFilesName );
	std::string corporation = JoinPath( scenario.programFiles, "NVIDIA Corporation" );
	scenario.videoEffects   = JoinPath( corporation, "NVIDIA Video Effects" );
	scenario.arSdk          = JoinPath( corporation, "NVIDIA AR SDK" );
	scenario.log            = JoinPath( scenario.folder, "calls.log" );

	MakeDirectories( scenario.videoEffects );
	MakeDirectories( scenario.arSdk );
	RemoveRuntimeFiles( scenario.videoEffects );
	RemoveRuntimeFiles( scenario.arSdk );
	RemoveFile( scenario.log );

	SetEnvironmentValue( "ProgramFiles", scenario.programFiles.c_str() );
	SetEnvironmentValue( "NV_VIDEO_EFFECTS_PATH", nullptr );
	SetEnvironmentValue( "NV_AR_SDK_PATH", nullptr );
	SetEnvironmentValue( "REFRT_FAIL", nullptr );
	SetEnvironmentValue( "REFRT_MATTE", nullptr );
	SetEnvironmentValue( "REFRT_LOG", scenario.log.c_str() );
	return scenario;
}

bool PlaceRuntime( const std::string& folder, bool image, Effects effects )
{
	std::string built = JoinPath( TestRoot(), "refrt" );
	bool placed       = true;
	if( image )
		placed = CopyFileTo( JoinPath( built, kImageFile ), JoinPath( folder, kImageFile ) ) && placed;
	if( effects == Effects::kFull )
		placed = CopyFileTo( JoinPath( built, kEffectsFile ), JoinPath( folder, kEffectsFile ) ) &&
		         PlaceInferenceLibrary( built, folder ) && placed;
	if( effects == Effects::kNoStream )
		placed =
		    CopyFileTo( JoinPath( JoinPath( built, "nostream" ), kEffectsFile ), JoinPath( folder, kEffectsFile ) ) &&
		    placed;
	return placed;
}

std::string LoadedPath( const std::string& fileName )
{
	return ffglhost::LoadedLibraryPath( fileName.c_str() );
}

std::vector< std::string > LogLines( const std::string& path )
{
	std::vector< std::string > lines;
	std::istringstream in( ReadFile( path ) );
	std::string line;
	while( std::getline( in, line ) )
	{
		if( !line.empty() && line.back() == '\r' )
			line.pop_back();
		lines.push_back( line );
	}
	return lines;
}
