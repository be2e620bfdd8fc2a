// The scan: a host loads every library of its plug-in folders at start-up, asks what it is, unloads it,
// and later loads the chosen ones again. The library must say who it is and survive the cycles without
// keeping threads, memory or handles.
#include "host/check/groups.h"

#include "host/core/host_log.h"
#include "host/core/plugin_instance.h"
#include "host/core/process.h"
#include "host/core/timing.h"

#include <cctype>
#include <cstdio>
#include <set>

namespace ffglhost
{
namespace
{
const int kWarmUpCycles = 2;
// AddressSanitizer's quarantine keeps freed memory resident, so memory growth says nothing there.
#if defined( __SANITIZE_ADDRESS__ )
const bool kMemoryMeasurable = false;
#else
const bool kMemoryMeasurable = true;
#endif
// Growth per cycle beyond which memory counts as leaked: a plug-in's information costs far less.
const long kLeakBytesPerCycle = 128 * 1024;

bool Printable( const std::string& text )
{
	for( char c : text )
		if( !std::isprint( static_cast< unsigned char >( c ) ) )
			return false;
	return !text.empty();
}

// Printable but for bytes outside ASCII, which a host shows in whatever code page it reads them with.
bool PrintableBeyondAscii( const std::string& text )
{
	for( char c : text )
		if( static_cast< unsigned char >( c ) < 0x80 && !std::isprint( static_cast< unsigned char >( c ) ) )
			return false;
	return !text.empty();
}

// What a host shows oddly but nothing breaks on; empty when nothing.
std::string InformationOddities( const PluginDescription& d )
{
	for( size_t i = 0; i < d.name.size(); ++i )
		if( static_cast< unsigned char >( d.name[ i ] ) >= 0x80 )
		{
			char byte[ 8 ];
			std::snprintf( byte, sizeof( byte ), "0x%02X", static_cast< unsigned char >( d.name[ i ] ) );
			return "the name \"" + d.name + "\" holds bytes outside ASCII (" + byte + " at " + std::to_string( i ) +
			       "): FFGL names are 8-bit text of no stated encoding, so hosts show it in the code page they "
			       "read it with; keep names to ASCII";
		}
	return std::string();
}

std::string InformationProblems( const PluginDescription& d )
{
	std::vector< std::string > problems;
	if( d.identifier.size() != 4 || !Printable( d.identifier ) )
		problems.push_back( "the unique identifier \"" + d.identifier + "\" is not four printable characters" );
	if( !PrintableBeyondAscii( d.name ) )
		problems.push_back( "the name \"" + d.name + "\" is empty or not printable" );
	if( d.maxInputs < 1 || d.minInputs > d.maxInputs )
		problems.push_back( "an effect needs an input: minimum " + std::to_string( d.minInputs ) + " and maximum " +
		                    std::to_string( d.maxInputs ) + " input frames (FF_GET_PLUGIN_CAPS 10 and 11)" );
	std::set< std::string > names;
	for( const ParameterDescription& p : d.parameters )
	{
		const std::string which = "parameter " + std::to_string( p.index );
		if( p.name.empty() )
			problems.push_back( which + " has no name (FF_GET_PARAMETER_NAME)" );
		else if( !names.insert( p.name ).second )
			problems.push_back( which + " repeats the name \"" + p.name + "\": hosts tell parameters apart by name" );
		if( !p.typeKnown )
			problems.push_back( which + " has no type (FF_GET_PARAMETER_TYPE answers FF_FAIL)" );
		else if( !IsTextType( p.type ) )
		{
			if( p.hasRange && !( p.min < p.max ) )
				problems.push_back( which + " has the empty range " + std::to_string( p.min ) + " to " +
				                    std::to_string( p.max ) );
			else if( p.hasRange && !( p.defaultValue >= p.min && p.defaultValue <= p.max ) )
				problems.push_back( which + " has its default " + std::to_string( p.defaultValue ) +
				                    " outside its range" );
		}
	}
	std::string text;
	for( size_t i = 0; i < problems.size() && i < 3; ++i )
		text += ( i ? "; " : "" ) + problems[ i ];
	return text;
}

struct Holdings
{
	long bytes;
	int threads;
	int handles;
};

Holdings Hold()
{
	return { ResidentBytes(), ThreadCount(), OpenHandleCount() };
}

// One scan as a host makes it; false with *error when the library would not load or describe itself.
bool ScanOnce( const std::string& path, int cycle, std::string* error )
{
	const std::string which = "scan cycle " + std::to_string( cycle );
	PluginLibrary library;
	EmitCall( "load", which );
	if( !library.Open( path, error ) )
		return false;
	library.InstallLogCallback( CollectLogLine );
	EmitCall( "FF_INITIALISE_V2", which );
	if( !InitialisePlugin( library, error ) )
		return false;
	EmitCall( "information codes", which );
	PluginDescription description;
	const bool described = DescribePlugin( library, &description, error );
	EmitCall( "FF_DEINITIALISE", which );
	DeinitialisePlugin( library );
	EmitCall( "unload", which );
	library.Close();
	return described;
}

CheckVerdict Load( CheckSession& session )
{
	std::string error;
	if( !session.Open( &error ) )
		return { CheckStatus::kFail, error, true };
	const PluginDescription& d = session.Description();
	return Pass( "FFGL " + std::to_string( d.apiMajor ) + "." + std::to_string( d.apiMinor ) + " effect \"" + d.name +
	             "\" (" + d.identifier + ") with " + std::to_string( d.parameters.size() ) + " parameters" );
}

CheckVerdict Info( CheckSession& session )
{
	const std::string problems = InformationProblems( session.Description() );
	const std::string oddities = InformationOddities( session.Description() );
	if( !problems.empty() )
		return Fail( problems );
	if( !oddities.empty() )
		return Warn( oddities );
	return Pass( "information blocks, capabilities and parameter table are consistent" );
}

// Load cycles as a host's scan makes them, the session's own load ended first: after a few to warm up,
// the process must hold no more.
CheckVerdict ReloadLeaks( CheckSession& session )
{
	session.CloseLibrary();
	const std::string& path = session.PluginPath();
	std::string error;
	const int cycles = session.Plan().scanCycles;
	Holdings before  = {};
	for( int cycle = 1; cycle <= cycles; ++cycle )
	{
		const double start = NowSeconds();
		if( !ScanOnce( path, cycle, &error ) )
			return Fail( "scan cycle " + std::to_string( cycle ) + " failed: " + error );
		EmitTime( "scan", ( NowSeconds() - start ) * 1000.0 );
		if( cycle == kWarmUpCycles )
			before = Hold();
	}
	const Holdings after = Hold();
	const int counted    = cycles - kWarmUpCycles;
	std::vector< std::string > leaks;
	if( before.threads >= 0 && after.threads > before.threads )
		leaks.push_back( std::to_string( after.threads - before.threads ) + " threads" );
	if( before.handles >= 0 && after.handles > before.handles + 2 )
		leaks.push_back( std::to_string( after.handles - before.handles ) + " handles" );
	if( kMemoryMeasurable && before.bytes >= 0 && after.bytes - before.bytes > kLeakBytesPerCycle * counted )
		leaks.push_back( std::to_string( ( after.bytes - before.bytes ) / 1024 ) + " KiB of memory" );
	std::string what =
	    std::to_string( cycles ) + " cycles of load, FF_INITIALISE_V2, information codes, FF_DEINITIALISE and unload";
	if( leaks.empty() )
		return Pass( what + " kept no thread, handle" +
		             ( kMemoryMeasurable
		                   ? " or memory (resident memory " + std::to_string( ( after.bytes - before.bytes ) / 1024 ) +
		                         " KiB apart over the last " + std::to_string( counted ) + ")"
		                   : " (memory not measured under AddressSanitizer)" ) );
	std::string list;
	for( size_t i = 0; i < leaks.size(); ++i )
		list += ( i ? ", " : "" ) + leaks[ i ];
	return Fail( "the process holds " + list + " more after " + std::to_string( counted ) +
	             " further cycles of load and unload: release what loading or the information codes take, at "
	             "FF_DEINITIALISE or when the library unloads" );
}
}

CheckGroup ScanGroup()
{
	return { "scan",
		     GroupStart::kNothing,
		     false,
		     { { "scan.load", "loads the library, FF_INITIALISE_V2, reads the information blocks", Load },
		       { "scan.info", "information, capabilities and parameter table", Info },
		       { "scan.reload_leaks", "load, query, unload, over and over as a host's scan does", ReloadLeaks } } };
}
}
