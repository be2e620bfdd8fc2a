#include "host/core/timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace ffglhost
{
TimingSummary FrameTimes::Summarise() const
{
	TimingSummary summary;
	summary.frames = samples.size();
	if( samples.empty() )
		return summary;
	std::vector< double > sorted( samples );
	std::sort( sorted.begin(), sorted.end() );
	const size_t n = sorted.size();
	double total   = 0.0;
	for( double s : sorted )
		total += s;
	summary.minMs    = sorted.front() * 1000.0;
	summary.maxMs    = sorted.back() * 1000.0;
	summary.medianMs = ( n % 2 ? sorted[ n / 2 ] : ( sorted[ n / 2 - 1 ] + sorted[ n / 2 ] ) / 2.0 ) * 1000.0;
	// Nearest rank: the smallest sample with at least 95 % of the samples at or below it.
	size_t rank   = ( n * 95 + 99 ) / 100;
	summary.p95Ms = sorted[ rank - 1 ] * 1000.0;
	summary.fps   = total > 0.0 ? static_cast< double >( n ) / total : 0.0;
	return summary;
}

std::string FormatTimingSummary( const TimingSummary& summary )
{
	char text[ 256 ];
	std::snprintf( text, sizeof( text ),
	               "min %.2f ms, median %.2f ms, p95 %.2f ms, max %.2f ms, %.1f frames per second", summary.minMs,
	               summary.medianMs, summary.p95Ms, summary.maxMs, summary.fps );
	return text;
}

double NowSeconds()
{
	using Clock = std::chrono::steady_clock;
	return std::chrono::duration< double >( Clock::now().time_since_epoch() ).count();
}
}
