// Set-up failures, each in a process of its own: the message once, the latch until DeInitGL, nothing
// left alive in the runtime. And per-frame failures: that frame passes through, nothing is logged.
#include "tests/effect/effect_host.h"

#include "tests/support/test_process.h"

class SetupFailureTest : public EffectTest
{
protected:
	// Two GL lives of an instance; in each, three frames at changing sizes and "Quality" all pass through
	// and only the first tries a set-up.
	void ExpectLoggedOnceAndLatched( const char* line )
	{
		Picture input     = Split( 32, 16 );
		Picture other     = Split( 48, 16 );
		TestTarget target = MakeTarget( 32, 16 );
		std::vector< std::string > expected;
		for( int life = 0; life < 2; ++life )
		{
			const size_t mark     = CallLogMark();
			FFInstanceID instance = Instantiate();
			ASSERT_NE( nullptr, instance );
			SetParameter( instance, 2, 0.0f );
			EXPECT_FALSE( Matted( instance, input, target ) );
			EXPECT_EQ( 0, RuntimeLiveObjects() );
			SetParameter( instance, 0, 0.0f );
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
		DeletePicture( input );
		DeletePicture( other );
		DeleteTarget( target );
	}
};

class CreateEffectFails : public SetupFailureTest
{
	void SetUp() override { UseScenario( { "fail_create", true, false, true, "NvVFX_CreateEffect" } ); }
};
class SetStringFails : public SetupFailureTest
{
	void SetUp() override { UseScenario( { "fail_setstring", true, false, true, "NvVFX_SetString" } ); }
};
class StreamCreateFails : public SetupFailureTest
{
	void SetUp() override { UseScenario( { "fail_stream", true, false, true, "NvVFX_CudaStreamCreate" } ); }
};
class StreamExportMissing : public SetupFailureTest
{
	void SetUp() override { UseScenario( { "nostream", true, true, true, nullptr } ); }
};
class AllocFails : public SetupFailureTest
{
	void SetUp() override { UseScenario( { "fail_alloc", true, false, true, "NvCVImage_Alloc" } ); }
};
class ModelsMissing : public SetupFailureTest
{
	void SetUp() override { UseScenario( { "no_models", true, false, false, nullptr } ); }
};

TEST_F( CreateEffectFails, LoggedOnceAndLatched )
{
	ExpectLoggedOnceAndLatched( "Umbrafex: NvVFX_CreateEffect failed (runtime NVIDIA Video Effects absent ?)" );
}

TEST_F( SetStringFails, LoggedOnceAndLatched )
{
	ExpectLoggedOnceAndLatched( "Umbrafex: NvVFX_SetString(MODEL_DIRECTORY) failed" );
}

TEST_F( StreamCreateFails, LoggedOnceAndLatched )
{
	ExpectLoggedOnceAndLatched( "Umbrafex: NvVFX_CudaStreamCreate failed" );
}

TEST_F( StreamExportMissing, LoggedOnceAndLatched )
{
	ExpectLoggedOnceAndLatched( "Umbrafex: NvVFX_CudaStreamCreate failed" );
}

TEST_F( AllocFails, LatchedWithoutMessage )
{
	ExpectLoggedOnceAndLatched( nullptr );
}

TEST_F( ModelsMissing, LoggedOnceAndLatched )
{
	ExpectLoggedOnceAndLatched( "Umbrafex: NvVFX_Load failed (modeles introuvables ?)" );
}

// Transfers and runs are counted per process: frame 3 loses the 2nd run, frame 4 its 2nd transfer
// (the 5th of the process).
class FrameFailures : public EffectTest
{
	void SetUp() override
	{
		UseScenario( { "fail_frames", true, false, true, "NvVFX_Run@2,NvCVImage_Transfer@5" } );
	}
};

TEST_F( FrameFailures, ThatFramePassesThroughAndNothingIsLogged )
{
	FFInstanceID instance = Instantiate();
	SetParameter( instance, 2, 0.0f );
	Picture input     = Split( 32, 16 );
	TestTarget target = MakeTarget( 32, 16 );
	for( bool matted : { false, true, false, false, true, true } )
		EXPECT_EQ( matted, Matted( instance, input, target ) );
	EXPECT_EQ( ( std::vector< std::string >{ kCreatedLine, "Umbrafex: NvVFX AI Green Screen charge (v2 async)" } ),
			   Lines() );
	Deinstantiate( instance );
	EXPECT_EQ( 0, RuntimeLiveObjects() );
	DeletePicture( input );
	DeleteTarget( target );
}
