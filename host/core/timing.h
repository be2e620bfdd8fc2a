#pragma once
// Per-frame times of the plug-in's process call and their summary.
#include <cstddef>
#include <string>
#include <vector>

namespace ffglhost
{
struct TimingSummary
{
	size_t frames   = 0;
	double minMs    = 0.0;
	double medianMs = 0.0;
	double p95Ms    = 0.0;
	double maxMs    = 0.0;
	double fps      = 0.0; // frames over the summed times
};

class FrameTimes
{
public:
	// Storage for n samples up front, so adding one never allocates.
	void Reserve( size_t n ) { samples.reserve( n ); }
	void Add( double seconds ) { samples.push_back( seconds ); }
	size_t Count() const { return samples.size(); }
	const std::vector< double >& Samples() const { return samples; }
	TimingSummary Summarise() const;

private:
	std::vector< double > samples;
};

// "min 4.10 ms, median 5.02 ms, p95 6.40 ms, max 9.87 ms, 198.4 frames per second"
std::string FormatTimingSummary( const TimingSummary& summary );

// Seconds on a steady clock, for differences only.
double NowSeconds();
}
