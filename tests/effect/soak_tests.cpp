// A long show: instances made and ended in varied order (up to 8 at once), frames interleaved, input
// sizes changing, parameters set to anything a host might send, runtime faults at varied calls.
// After each instance's end its runtime objects are gone; whenever no instance is alive every GL name
// the plug-in made is gone too; resident memory stays flat over the second half.
// UMBRAFEX_SOAK_FRAMES sets the length (scripts/soak.sh runs 20,000), UMBRAFEX_SOAK_SEED the schedule.
#include "host/check/gl_names.h"
#include "tests/effect/effect_host.h"
#include "tests/support/test_process.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <map>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

#if defined( __SANITIZE_ADDRESS__ )
#define SOAK_UNDER_ASAN 1
#elif defined( __has_feature )
#if __has_feature( address_sanitizer )
#define SOAK_UNDER_ASAN 1
#endif
#endif

namespace
{
// CTest sets the count per target (fewer under Wine); scripts/soak.sh sets a long one.
const int kDefaultFrames = 2500;

int EnvNumber( const char* name, int fallback )
{
	const char* text = std::getenv( name );
	return text && *text ? std::atoi( text ) : fallback;
}

const int kSoakFrames    = EnvNumber( "UMBRAFEX_SOAK_FRAMES", kDefaultFrames );
const unsigned kSoakSeed = static_cast< unsigned >( EnvNumber( "UMBRAFEX_SOAK_SEED", 7 ) );

// Faults the runtime injects: failing calls spread over the run, as REFRT_FAIL's text and as export and
// call number. Release calls are never failed: a runtime that does not free on request leaks whatever
// its caller does.
std::string FaultList( int frames, std::vector< std::pair< std::string, int > >* planned )
{
	std::mt19937 random( kSoakSeed * 31u + 1u );
	struct Kind
	{
		const char* name;
		int every; // about one fault in this many calls
		int calls; // about how many calls the run makes
	};
	const int setups   = frames / 12 + 8;
	const Kind kinds[] = { { "NvVFX_Run", 97, frames },           { "NvCVImage_Transfer", 151, 2 * frames },
		                   { "NvVFX_CreateEffect", 9, setups },   { "NvVFX_Load", 13, setups },
		                   { "NvCVImage_Alloc", 17, 3 * setups }, { "NvVFX_CudaStreamCreate", 19, setups },
		                   { "NvVFX_SetString", 23, setups } };
	std::string list;
	for( const Kind& kind : kinds )
	{
		for( int at = 1 + static_cast< int >( random() % kind.every ); at < kind.calls;
		     at += 1 + static_cast< int >( random() % ( 2 * kind.every ) ) )
		{
			list += ( list.empty() ? "" : "," ) + std::string( kind.name ) + "@" + std::to_string( at );
			planned->emplace_back( kind.name, at );
		}
	}
	return list;
}

std::vector< std::pair< std::string, int > > plannedFaults;
const std::string kFaults = FaultList( kSoakFrames, &plannedFaults );

struct Size
{
	int width;
	int height;
	int weight; // how often it is picked, of the sum of all weights
};
// Mostly small; the large ones cost real time per frame.
const Size kSizes[] = { { 1, 1, 4 },     { 3, 3, 6 },      { 961, 1, 3 },   { 1, 961, 2 },    { 64, 36, 14 },
	                    { 36, 64, 14 },  { 17, 9, 10 },    { 2, 2, 6 },     { 160, 90, 10 },  { 90, 160, 8 },
	                    { 320, 180, 6 }, { 1066, 600, 2 }, { 540, 960, 1 }, { 3840, 2160, 1 } };

const float kNaN = std::numeric_limits< float >::quiet_NaN(), kInfinity = std::numeric_limits< float >::infinity(),
            kDenormal    = std::numeric_limits< float >::denorm_min();
const float kAnyValues[] = { 0.f,  1.f,   0.5f,  0.25f,  0.0101f, 0.01f,     -0.f,       -1.f,     2.f,
	                         1.5f, 255.f, 1e30f, -1e30f, kNaN,    kInfinity, -kInfinity, kDenormal };

struct Slot
{
	FFInstanceID instance = nullptr;
	int size              = 0;
	int framesToResize    = 0;
	int held              = 0; // runtime objects this instance holds, from the counts around its calls
};
} // namespace

class SoakTest : public EffectTest
{
protected:
	void SetUp() override { UseScenario( { "soak", true, false, true, kFaults.c_str() } ); }

	int PickSize()
	{
		int total = 0;
		for( const Size& s : kSizes )
			total += s.weight;
		int pick = static_cast< int >( random() % total );
		for( int i = 0; i < static_cast< int >( std::size( kSizes ) ); ++i )
		{
			pick -= kSizes[ i ].weight;
			if( pick < 0 )
				return i;
		}
		return 0;
	}

	void Start( Slot& slot )
	{
		slot.instance       = Instantiate( 64, 64 );
		slot.size           = PickSize();
		slot.framesToResize = 50 + static_cast< int >( random() % 100 );
		slot.held           = 0;
		++made;
	}

	void End( Slot& slot, int othersHold )
	{
		Deinstantiate( slot.instance );
		slot.instance = nullptr;
		EXPECT_EQ( baselineObjects + othersHold, RuntimeLiveObjects() ) << "an instance's end left runtime objects";
	}

	std::mt19937 random{ kSoakSeed };
	int baselineObjects = 0;
	int made            = 0;
};

TEST_F( SoakTest, ManyInstancesFramesSizesParametersAndFaults )
{
	baselineObjects = RuntimeLiveObjects();
	ASSERT_LE( 0, baselineObjects );
	std::vector< Picture > pictures;
	for( const Size& s : kSizes )
		pictures.push_back( Split( s.width, s.height ) );
	const ScopedTarget targets[ 2 ] = { ScopedTarget( MakeTarget( 64, 64 ) ), ScopedTarget( MakeTarget( 48, 27 ) ) };
	const ffglhost::GLNameCensus baselineNames = ffglhost::TakeGLNameCensus();

	// What one ready engine holds in the runtime: a fresh instance's second frame of a picture.
	// A set-up may meet an injected fault, so up to a few instances are tried.
	int engineObjects = 0;
	for( int attempt = 0; attempt < 8 && engineObjects == 0; ++attempt )
	{
		Slot probe;
		probe.instance = Instantiate();
		ASSERT_NE( nullptr, probe.instance );
		Frame( probe.instance, pictures[ 4 ], targets[ 0 ] );
		engineObjects = RuntimeLiveObjects() - baselineObjects;
		EXPECT_NE( "", ffglhost::NamesLeftBehind( baselineNames, ffglhost::TakeGLNameCensus() ) )
		    << "the GL name check sees nothing the plug-in made";
		End( probe, 0 );
	}
	ASSERT_LT( 0, engineObjects );

	Slot slots[ 8 ];
	int live = 0, frames = 0, parameterChanges = 0, quietPoints = 0;
	long residentAtHalf = 0, residentMax = 0;
	auto othersHold = [ &slots ]( const Slot* except ) {
		int sum = 0;
		for( const Slot& s : slots )
			sum += ( &s != except && s.instance ) ? s.held : 0;
		return sum;
	};
	while( frames < kSoakFrames && !HasFailure() )
	{
		const int roll = static_cast< int >( random() % 1000 );
		Slot& slot     = slots[ random() % 8 ];
		if( !slot.instance )
		{
			// Fill up quickly after a quiet point, then only now and then.
			if( live < 2 || roll < 20 )
			{
				Start( slot );
				ASSERT_NE( nullptr, slot.instance );
				++live;
			}
			continue;
		}
		if( roll < 8 || ( live == 8 && roll < 12 ) )
		{
			End( slot, othersHold( &slot ) );
			--live;
			continue;
		}
		if( roll < 120 )
		{
			SetParameter( slot.instance, static_cast< uint32_t >( random() % kParameterCount ),
			              kAnyValues[ random() % std::size( kAnyValues ) ] );
			++parameterChanges;
		}
		if( --slot.framesToResize <= 0 )
		{
			slot.size           = PickSize();
			slot.framesToResize = 50 + static_cast< int >( random() % 100 );
		}
		const int before = RuntimeLiveObjects();
		ASSERT_EQ( FF_SUCCESS, Frame( slot.instance, pictures[ slot.size ], targets[ frames % 2 ] ) )
		    << "frame " << frames << " at " << kSizes[ slot.size ].width << " x " << kSizes[ slot.size ].height;
		slot.held += RuntimeLiveObjects() - before;
		ASSERT_TRUE( slot.held == 0 || slot.held == engineObjects )
		    << "frame " << frames << ": an instance holds " << slot.held << " runtime objects";
		++frames;

		// A quiet point every 500 frames: everything ends, and nothing of the plug-in is left.
		if( frames % 500 == 0 )
		{
			for( Slot& s : slots )
			{
				if( s.instance )
					End( s, othersHold( &s ) );
			}
			live = 0;
			++quietPoints;
			EXPECT_EQ( baselineObjects, RuntimeLiveObjects() );
			EXPECT_EQ( "", ffglhost::NamesLeftBehind( baselineNames, ffglhost::TakeGLNameCensus() ) )
			    << "after " << frames << " frames";
			const long resident = ffglhost::ResidentBytes();
			if( frames * 2 <= kSoakFrames )
				residentAtHalf = resident;
			else if( resident > residentMax )
				residentMax = resident;
		}
	}
	for( Slot& s : slots )
	{
		if( s.instance )
			End( s, othersHold( &s ) );
	}

	// Still a working effect after all of it (a fresh instance: set-up faults latch until the end).
	bool matted = false;
	for( int attempt = 0; attempt < 4 && !matted; ++attempt )
	{
		Slot last;
		last.instance = InstantiateUnsmoothed();
		for( int i = 0; i < 3; ++i )
			matted = Matted( last.instance, pictures[ 4 ], targets[ 0 ] ) || matted;
		End( last, 0 );
	}
	EXPECT_TRUE( matted ) << "no matte after the soak";

	EXPECT_EQ( baselineObjects, RuntimeLiveObjects() );
	EXPECT_EQ( "", ffglhost::NamesLeftBehind( baselineNames, ffglhost::TakeGLNameCensus() ) );

	// Faults actually reached: those whose call number the run got to.
	std::map< std::string, int > callCounts;
	std::istringstream calls( CallLogSince( 0 ) );
	for( std::string line; std::getline( calls, line ); )
		++callCounts[ line.substr( 0, line.find( ' ' ) ) ];
	int injected = 0;
	for( const auto& fault : plannedFaults )
		injected += callCounts[ fault.first ] >= fault.second ? 1 : 0;
#ifndef SOAK_UNDER_ASAN
	// The sanitizer's quarantine holds freed memory back on purpose, so this is checked without it.
	if( residentAtHalf > 0 && residentMax > 0 )
	{
		EXPECT_LE( residentMax, residentAtHalf + 32L * 1024 * 1024 )
		    << "resident memory grew from " << residentAtHalf << " to " << residentMax << " bytes over the second half";
	}
#endif
	std::printf( "soak: %d frames, %d instances, %d parameter changes, %d of %zu planned faults injected, %d quiet "
	             "points, resident %ld -> %ld KiB, %zu sizes\n",
	             frames, made, parameterChanges, injected, plannedFaults.size(), quietPoints, residentAtHalf / 1024,
	             residentMax / 1024, std::size( kSizes ) );
}
