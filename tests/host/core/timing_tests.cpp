// The timing summary of ffglhost run's frames.
#include "host/core/timing.h"

#include <gtest/gtest.h>

using namespace ffglhost;

TEST( Timing, SummaryOfKnownSamples )
{
	FrameTimes times;
	times.Reserve( 100 );
	// 1 ms to 100 ms, shuffled: the summary must not depend on the order.
	for( int i = 0; i < 100; ++i )
		times.Add( ( ( i * 37 ) % 100 + 1 ) / 1000.0 );
	TimingSummary s = times.Summarise();
	EXPECT_EQ( s.frames, 100u );
	EXPECT_DOUBLE_EQ( s.minMs, 1.0 );
	EXPECT_DOUBLE_EQ( s.maxMs, 100.0 );
	EXPECT_NEAR( s.medianMs, 50.5, 1e-9 );
	EXPECT_NEAR( s.p95Ms, 95.0, 1e-9 );
	EXPECT_NEAR( s.fps, 100.0 / 5.05, 1e-9 );
	EXPECT_NE( FormatTimingSummary( s ).find( "median 50.50 ms" ), std::string::npos );
}

TEST( Timing, OneSampleAndNone )
{
	FrameTimes one;
	one.Add( 0.004 );
	TimingSummary s = one.Summarise();
	EXPECT_DOUBLE_EQ( s.minMs, 4.0 );
	EXPECT_DOUBLE_EQ( s.medianMs, 4.0 );
	EXPECT_DOUBLE_EQ( s.p95Ms, 4.0 );
	EXPECT_DOUBLE_EQ( s.fps, 250.0 );
	FrameTimes none;
	EXPECT_EQ( none.Summarise().frames, 0u );
	EXPECT_EQ( none.Summarise().fps, 0.0 );
}
