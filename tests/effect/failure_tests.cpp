// Set-up failures, each in a process of its own: the message once, the latch until DeInitGL, nothing
// left alive in the runtime. And per-frame failures: that frame passes through, nothing is logged.
#include "tests/effect/effect_host.h"

#include "tests/support/test_process.h"

// One set-up fault in a scenario of its own: the runtime in place and one fault. It logs its line once
// before the latch or, for a failed allocation (no line), the set-up stops after that many allocations.
struct SetupFault
{
	Scenario scenario;
	const char* line;
	int allocationsTried  = 0;
	const char* modelText = nullptr; // written into both model files, or null
};
static void PrintTo( const SetupFault& fault, std::ostream* out )
{
	*out << fault.scenario.name;
}
const char* const kNoModels     = "Umbrafex: NvVFX_Load failed (modeles introuvables ?)";
const char* const kNoStream     = "Umbrafex: NvVFX_CudaStreamCreate failed";
const SetupFault kSetupFaults[] = {
	{ { "CreateEffectFails", true, false, true, "NvVFX_CreateEffect" },
	  "Umbrafex: NvVFX_CreateEffect failed (runtime NVIDIA Video Effects absent ?)" },
	{ { "SetStringFails", true, false, true, "NvVFX_SetString" }, "Umbrafex: NvVFX_SetString(MODEL_DIRECTORY) failed" },
	{ { "StreamCreateFails", true, false, true, "NvVFX_CudaStreamCreate" }, kNoStream },
	{ { "StreamExportMissing", true, true, true, nullptr }, kNoStream },
	// The set-up's three allocations are the 9th to 11th of the process (see below).
	{ { "FirstAllocFails", true, false, true, "NvCVImage_Alloc@9" }, nullptr, 1 },
	{ { "SecondAllocFails", true, false, true, "NvCVImage_Alloc@10" }, nullptr, 2 },
	{ { "ThirdAllocFails", true, false, true, "NvCVImage_Alloc@11" }, nullptr, 3 },
	{ { "ModelsMissing", true, false, false, nullptr }, kNoModels },
	// The runtime's network refuses files that are not models: to the plug-in, no models.
	{ { "ModelsUnusable", true, false, true, nullptr }, kNoModels, 0, "not a model" },
};

class SetupFailure : public EffectTest, public ::testing::WithParamInterface< SetupFault >
{
protected:
	void SetUp() override { UseScenario( GetParam().scenario ); }

	// Two GL lives of an instance; in each, three frames at changing sizes and "Quality" all pass through
	// and only the first tries a set-up.
	void ExpectLoggedOnceAndLatched( const char* line )
	{
		const Picture input = Split( 32, 16 );
		const Picture other = Split( 48, 16 );
		const ScopedTarget target( MakeTarget( 32, 16 ) );
		std::vector< std::string > expected;
		for( int life = 0; life < 2; ++life )
		{
			const size_t mark     = CallLogMark();
			FFInstanceID instance = InstantiateUnsmoothed();
			ASSERT_NE( nullptr, instance );
			EXPECT_FALSE( Matted( instance, input, target ) );
			EXPECT_EQ( 0, RuntimeLiveObjects() );
			SetParameter( instance, kQuality, 0.0f );
			EXPECT_FALSE( Matted( instance, other, target ) );
			EXPECT_FALSE( Matted( instance, input, target ) );
			EXPECT_EQ( 1, Occurrences( CallLogSince( mark ), "NvVFX_CreateEffect " ) );
			Deinstantiate( instance );
			EXPECT_EQ( 0, RuntimeLiveObjects() );
			expected.push_back( kCreatedLine );
			if( line )
				expected.push_back( line );
		}
		EXPECT_EQ( expected, Lines() );
	}

	// The set-up's three allocations are the 9th to 11th NvCVImage_Alloc calls of the process: the
	// prototype's and the instance's four empty images come first. One of them fails.
	void ExpectSetUpStopsAtFailedAllocation( int allocationsTried )
	{
		FFInstanceID instance = InstantiateUnsmoothed();
		ASSERT_EQ( 8, Occurrences( CallLogSince( 0 ), "NvCVImage_Alloc " ) ) << "the count the scenario relies on";
		const Picture input = Split( 32, 16 );
		const ScopedTarget target( MakeTarget( 32, 16 ) );
		const size_t mark = CallLogMark();
		EXPECT_FALSE( Matted( instance, input, target ) );
		EXPECT_FALSE( Matted( instance, input, target ) );
		const std::string calls = CallLogSince( mark );
		EXPECT_EQ( allocationsTried, Occurrences( calls, "NvCVImage_Alloc " ) ) << calls;
		// After the failed allocation only the release runs.
		const std::string after = calls.substr( calls.rfind( "NvCVImage_Alloc " ) );
		EXPECT_EQ( 0, Occurrences( after, "NvVFX_SetImage " ) ) << calls;
		EXPECT_EQ( 0, Occurrences( after, "NvVFX_Load " ) ) << calls;
		EXPECT_EQ( 1, Occurrences( after, "NvVFX_DestroyEffect " ) ) << calls;
		EXPECT_EQ( 1, Occurrences( after, "NvVFX_CudaStreamDestroy " ) ) << calls;
		Deinstantiate( instance );
		EXPECT_EQ( 0, RuntimeLiveObjects() );
		EXPECT_EQ( std::vector< std::string >{ kCreatedLine }, Lines() );
	}
};

TEST_P( SetupFailure, LoggedOnceAndLatchedOrStoppedAtTheAllocation )
{
	const SetupFault& fault = GetParam();
	if( fault.modelText )
		for( const char* file : { "selfie_segmentation.onnx", "selfie_segmentation_landscape.onnx" } )
			WriteFile( JoinPath( JoinPath( ScenarioRoot(), "models" ), file ), fault.modelText );
	if( fault.allocationsTried )
		ExpectSetUpStopsAtFailedAllocation( fault.allocationsTried );
	else
		ExpectLoggedOnceAndLatched( fault.line );
}
// Named by scenario: Setup/SetupFailure.*/CreateEffectFails, one process each.
INSTANTIATE_TEST_SUITE_P( Setup, SetupFailure, ::testing::ValuesIn( kSetupFaults ),
                          []( const ::testing::TestParamInfo< SetupFault >& info ) {
	                          return std::string( info.param.scenario.name );
                          } );

// Transfers and runs are counted per process: frame 3 loses the 2nd run, frame 4 its 2nd transfer
// (the 5th of the process).
class FrameFailures : public EffectTest
{
	void SetUp() override { UseScenario( { "fail_frames", true, false, true, "NvVFX_Run@2,NvCVImage_Transfer@5" } ); }
};

TEST_F( FrameFailures, ThatFramePassesThroughAndNothingIsLogged )
{
	FFInstanceID instance = InstantiateUnsmoothed();
	const Picture input   = Split( 32, 16 );
	const ScopedTarget target( MakeTarget( 32, 16 ) );
	for( bool matted : { false, true, false, false, true, true } )
		EXPECT_EQ( matted, Matted( instance, input, target ) );
	EXPECT_EQ( ( std::vector< std::string >{ kCreatedLine, "Umbrafex: NvVFX AI Green Screen charge (v2 async)" } ),
	           Lines() );
	Deinstantiate( instance );
	EXPECT_EQ( 0, RuntimeLiveObjects() );
}
