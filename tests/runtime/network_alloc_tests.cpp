// Steady frames of the network make no heap allocation in the runtime; what ONNX Runtime allocates
// inside its own Run is counted apart and only reported.
#include "tests/runtime/effect_fixture.h"

#include "tests/support/alloc_counter.h"

typedef GreenScreen NetworkAllocations;

TEST_F( NetworkAllocations, SteadyRunsAllocateNothingOfOurs )
{
	Build( 320, 180, 1, JoinPath( JoinPath( ExecutableDirectory(), "models" ), "good" ), 0 );
	ASSERT_FALSE( HasFatalFailure() );
	ASSERT_EQ( NVCV_SUCCESS, rt->Run( effect, 0 ) ); // the first frame of a size makes its tables
	ASSERT_TRUE( alloccount::MapModules( { "libNVVideoEffects.so", "libNVCVImage.so" } ) );
	const int kFrames = 20;
	alloccount::Arm();
	for( int i = 0; i < kFrames; ++i )
		ASSERT_EQ( NVCV_SUCCESS, rt->Run( effect, 0 ) );
	alloccount::Disarm();
	const alloccount::Counts counts = alloccount::Read();
	EXPECT_EQ( 0u, counts.watched ) << alloccount::FirstWatchedCaller();
	RecordProperty( "inference_allocations_per_frame", static_cast< int >( counts.others / kFrames ) );
}
