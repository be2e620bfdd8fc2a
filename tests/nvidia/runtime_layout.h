#pragma once
// Lays the reference runtime out the way a machine would have the vendor's, one folder per
// scenario, and reads back what the runtime logged and which file the process loaded.
#include <string>
#include <vector>

// Which effects library a folder gets.
enum class Effects
{
	kNone,
	kFull,
	kNoStream
};

struct Scenario
{
	std::string folder;       // the scenario's own folder, emptied of runtime files and logs
	std::string programFiles; // what "ProgramFiles" is set to
	std::string videoEffects; // <programFiles>/NVIDIA Corporation/NVIDIA Video Effects
	std::string arSdk;        // <programFiles>/NVIDIA Corporation/NVIDIA AR SDK
	std::string log;          // the runtime's call log
};

// The scenario's own folder.
std::string ScenarioFolder( const std::string& name );

// Makes the scenario's folders, removes what an earlier run left, and sets "ProgramFiles",
// REFRT_LOG and clears the NV_* variables and REFRT_FAIL for this process.
// programFilesName lets a scenario choose a long folder name.
Scenario PrepareScenario( const std::string& name, const std::string& programFilesName = "pf" );

// Copies the built runtime into a folder: the image library, and the chosen effects library (the full
// one with ONNX Runtime's library and the notices beside it).
bool PlaceRuntime( const std::string& folder, bool image, Effects effects );

// The full path of the loaded library with that file name, or empty when it is not loaded.
std::string LoadedPath( const std::string& fileName );

// The log's lines (without their line ends).
std::vector< std::string > LogLines( const std::string& path );

// The folder the built plug-in probe and runtime copies are found from.
std::string TestRoot();
