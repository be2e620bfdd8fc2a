#pragma once
// The report of a whole "ffglhost check" run: the results the groups sent, merged by name, the timing,
// the plug-in's log and the pictures, and the text printed from them. The JSON and JUnit writers read it.
#include "host/check/check_result.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace ffglhost
{
struct TimingLine
{
	std::string kind;
	size_t count  = 0;
	double median = 0.0, p95 = 0.0, max = 0.0;
	double budget = 0.0;
};

// Results merged by name: the worst status and its first reason stand; passes of one check from several
// groups add their counts.
class CheckReport
{
public:
	void Add( const CheckResult& result );
	void AddTime( const std::string& kind, double milliseconds );
	void AddLogLine( const std::string& text );
	// A file written for a check into the artifact folder, named under its result and linked in the JSON.
	void SetArtifactDirectory( const std::string& directory ) { artifactDirectory = directory; }
	void AddArtifact( const std::string& check, const std::string& file );
	// The files written for a check, each as the folder and its name; empty when none.
	std::vector< std::string > Artifacts( const std::string& check ) const;
	// Turns the collected times into the timing.* results (over a budget is a warning only); a kind
	// without samples is a warning when every group ran, and left out otherwise.
	void SummariseTiming( bool everyGroupRan );
	// Puts the results in the order of the names given; others keep their place after them.
	void Order( const std::vector< std::string >& names );

	bool HasResult( const std::string& name ) const;
	int Count( CheckStatus status ) const;
	const std::vector< CheckResult >& Results() const { return results; }
	const std::vector< TimingLine >& Timing() const { return timing; }
	const std::vector< std::string >& LogLines() const { return logLines; }

	// The run's own time, as the clock measured it.
	void SetSeconds( double runSeconds ) { seconds = runSeconds; }
	double Seconds() const { return seconds; }

	// The heading, one line per check with its pictures, the plug-in's log, and the summary.
	void Print( FILE* stream, const std::string& heading, int strictness, unsigned long long seed ) const;
	void PrintSummary( FILE* stream, int strictness, unsigned long long seed ) const;

private:
	std::vector< CheckResult > results;
	std::map< std::string, std::vector< double > > times;
	std::vector< TimingLine > timing;
	std::vector< std::string > logLines;
	std::string artifactDirectory;
	std::map< std::string, std::vector< std::string > > artifacts; // per check
	double seconds = 0.0;
};
}
