#pragma once
// A host in miniature for the product library: it lays out a runtime scenario for this process,
// loads the library, collects its log lines and drives instances and frames through plugMain.
#include "effect/umbrafex_parameters.h"
#include "ffgl/types.h"
#include "tests/support/gl_helpers.h"
#include "tests/support/gl_test.h"
#include "tests/support/live_instances.h"
#include "tests/support/plugmain_calls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Where this process finds the NVIDIA libraries and models. The loaders cache for the whole process,
// so each scenario is a process of its own.
struct Scenario
{
	const char* name;
	bool runtime;        // the reference runtime under ProgramFiles
	bool noStreamExport; // its effects library without NvVFX_CudaStreamCreate
	bool models;         // the models folder exists
	const char* fail;    // REFRT_FAIL, or null
};

const char* const kCreatedLine = "Umbrafex TAVLEN v1.1: created";

struct Rgba
{
	uint8_t r, g, b, a;
};

// Colours the reference runtime keys as person (matte 255) and as backdrop (matte 0).
const Rgba kPersonRed   = { 200, 40, 40, 255 };
const Rgba kBackdrop    = { 30, 220, 30, 255 };
const Rgba kTransparent = { 0, 0, 0, 0 };

// A host input: a texture and the record that describes it (picture inside a larger allocation).
// The texture is deleted when the last copy goes.
struct Picture
{
	operator const FFGLTextureStruct&() const { return info; }

	FFGLTextureStruct info = {};
	std::shared_ptr< const void > texture; // deletes the texture of info.Handle
};
// colour(x, y) with y counted from the top row; the texture holds hardwareWidth x hardwareHeight.
Picture MakePicture( int width, int height, const std::function< Rgba( int x, int y ) >& colour, int hardwareWidth = 0,
                     int hardwareHeight = 0 );

// Output of a target as it is seen: (x, y) with y from the top, read as floats (a GL_RGBA32F target
// shows the shader's output without 8-bit rounding).
struct Output
{
	int width  = 0;
	int height = 0;
	std::vector< float > rgba; // 0..1
	Rgba At( int x, int y ) const;
	float Grey( int x, int y ) const;
};
Output ReadOutput( const TestTarget& target );

// Tests of the product library as a host drives it. Every instance a test makes is ended when the test
// ends, whatever assertion failed.
class EffectTest : public GLTest, public PlugMainCalls
{
protected:
	// Lays the scenario out and loads the library on first use; fails a test that asks for another.
	void UseScenario( const Scenario& scenario );
	void TearDown() override;

	FFInstanceID Instantiate( int width = 64, int height = 64 );
	// An instance that draws every matte as it comes ("Stability" 0).
	FFInstanceID InstantiateUnsmoothed();
	void Deinstantiate( FFInstanceID instance );

	// Host log lines since the test began, and how often one text came.
	const std::vector< std::string >& Lines();
	int LineCount( const char* text );
	// The runtime's call log from a mark on (the mark: its size when taken).
	size_t CallLogMark();
	std::string CallLogSince( size_t mark );
	static int Occurrences( const std::string& text, const std::string& needle );
	// Person on the left half, backdrop on the right.
	static Picture Split( int w, int h );
	// One frame of a Split picture: true when drawn with a matte, false when passed through.
	bool Matted( FFInstanceID instance, const Picture& input, const TestTarget& target );

	// The root that ProgramFiles and NV_VIDEO_EFFECTS_PATH point at.
	std::string ScenarioRoot();

private:
	LiveInstances instances;
};

bool Near( const Rgba& a, const Rgba& b, int tolerance = 2 );
::testing::AssertionResult SameColour( const Rgba& expected, const Rgba& actual );
