// The parameter table's declarations, the base class's defaults, and filling a registration.
#include "ffgl/entry.h"
#include "ffgl/prototype.h"
#include "ffgl/registration.h"
#include "tests/support/plugmain_calls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST( ParameterTable, OnlyStandardDefaultsAreClampedAndTheFirstMatchWins )
{
	CFFGLPluginManager table;
	table.DeclareParameter( 3, "Standard high", FF_TYPE_STANDARD, 1.7f );
	table.DeclareParameter( 4, "Standard low", FF_TYPE_STANDARD, -0.2f );
	table.DeclareParameter( 5, "Boolean", FF_TYPE_BOOLEAN, 1.7f );
	table.DeclareParameter( 6, "Other", 33, -4.5f );
	table.DeclareParameter( 7, nullptr, FF_TYPE_TEXT, 0.25f );
	table.DeclareParameter( 3, "Repeated", FF_TYPE_TEXT, 0.f );
	ASSERT_EQ( 6u, table.ParameterCount() );

	// Only a standard parameter's default is clamped to 0..1.
	EXPECT_EQ( 1.f, table.FindParameter( 3 )->defaultValue );
	EXPECT_EQ( 0.f, table.FindParameter( 4 )->defaultValue );
	EXPECT_EQ( 1.7f, table.FindParameter( 5 )->defaultValue );
	EXPECT_EQ( -4.5f, table.FindParameter( 6 )->defaultValue );
	EXPECT_EQ( 0.25f, table.FindParameter( 7 )->defaultValue );
	EXPECT_EQ( "", table.FindParameter( 7 )->name );
	// The first record with an identifier wins.
	EXPECT_EQ( "Standard high", table.FindParameter( 3 )->name );
	EXPECT_EQ( "Repeated", table.ParameterAt( 5 ).name );
	EXPECT_EQ( nullptr, table.FindParameter( 8 ) );

	// Everything else a declaration sets is reported through the dispatch (GlobalQueries).
	EXPECT_EQ( 1u, table.ParameterAt( 5 ).elements.size() );
}

TEST( PluginBase, DefaultsThatHostsRelyOn )
{
	CFFGLPlugin plugin( false );
	EXPECT_FALSE( plugin.topLeftSupported );
	EXPECT_TRUE( CFFGLPlugin( true ).topLeftSupported );
	EXPECT_EQ( 120.f, plugin.bpm );
	// The failure pointer, not null: hosts tell the two apart.
	EXPECT_EQ( kFailPointer, reinterpret_cast< uintptr_t >( plugin.GetTextParameter( 0 ) ) );
	EXPECT_EQ( nullptr, plugin.GetShortName() );
	// No inputs declared: every input is unused.
	EXPECT_EQ( FF_FAIL, plugin.GetInputStatus( 0 ) );
	EXPECT_EQ( FF_FAIL, plugin.SetFloatParameter( 0, 1.f ) );
	EXPECT_EQ( FF_FAIL, plugin.ProcessOpenGL( nullptr ) );
}

TEST( PluginBase, DisplayOfABarePluginFormatsItsGetter )
{
	CFFGLPlugin plugin( false );
	plugin.DeclareParameter( 0, "Level", FF_TYPE_STANDARD, 0.5f );
	plugin.DeclareParameter( 1, "Caption", FF_TYPE_TEXT, 0.f );
	// GetFloatParameter's default is 0, whatever the declared default.
	EXPECT_EQ( 0, std::memcmp( plugin.GetParameterDisplay( 0 ), "0.000000\0\0\0\0\0\0\0\0", 16 ) );
	EXPECT_EQ( kFailPointer, reinterpret_cast< uintptr_t >( plugin.GetParameterDisplay( 1 ) ) );
	EXPECT_EQ( nullptr, plugin.GetParameterDisplay( 2 ) );
}

class Registration : public ::testing::Test
{
protected:
	// Building a registration points the process-wide pointer at it: put the test plug-in's back.
	void SetUp() override { saved = registration; }
	void TearDown() override
	{
		delete prototype;
		prototype    = nullptr;
		registration = saved;
	}
	PluginRegistration* saved = nullptr;
};

static FFResult NoFactory( CFFGLPlugin** )
{
	return FF_FAIL;
}

TEST_F( Registration, FixedFieldsAreZeroFilledOrFullWithoutTerminator )
{
	PluginRegistration shortNames( &NoFactory, "AB", "Short", 2, 1, 3, 4, 1, "d", "a", 0, nullptr, nullptr, nullptr );
	EXPECT_EQ( &shortNames, registration );
	EXPECT_EQ( 0, std::memcmp( shortNames.info.PluginUniqueID, "AB\0\0", 4 ) );
	EXPECT_EQ( 0, std::memcmp( shortNames.info.PluginName, "Short\0\0\0\0\0\0\0\0\0\0\0", 16 ) );
	EXPECT_EQ( 2u, shortNames.info.APIMajorVersion );
	EXPECT_EQ( 1u, shortNames.info.APIMinorVersion );
	EXPECT_EQ( 1u, shortNames.info.PluginType );
	EXPECT_EQ( 3u, shortNames.extendedInfo.PluginMajorVersion );
	EXPECT_EQ( 4u, shortNames.extendedInfo.PluginMinorVersion );
	EXPECT_EQ( &NoFactory, shortNames.factory );

	PluginRegistration longNames( &NoFactory, "TVUFXYZ", "Umbra Fex TAVLEN and more", 2, 1, 1, 1, FF_EFFECT, "d", "a",
	                              0, nullptr, nullptr, nullptr );
	EXPECT_EQ( 0, std::memcmp( longNames.info.PluginUniqueID, "TVUF", 4 ) );
	EXPECT_EQ( 0, std::memcmp( longNames.info.PluginName, "Umbra Fex TAVLEN", 16 ) );
	EXPECT_EQ( 'U', longNames.info.PluginName[ 0 ] );
	EXPECT_EQ( &longNames, registration );
}

TEST_F( Registration, TextsAreOwnedCopies )
{
	std::string description = "Detourage IA de silhouette";
	std::string about       = "TAVLEN / NVIDIA Maxine";
	PluginRegistration copy( &NoFactory, "TVUF", "X", 2, 1, 1, 1, FF_EFFECT, description.c_str(), about.c_str(), 0,
	                         nullptr, nullptr, nullptr );
	description.assign( "changed" );
	about.assign( "changed" );
	EXPECT_STREQ( "Detourage IA de silhouette", copy.extendedInfo.Description );
	EXPECT_STREQ( "TAVLEN / NVIDIA Maxine", copy.extendedInfo.About );

	PluginRegistration missing( &NoFactory, nullptr, nullptr, 2, 1, 1, 1, FF_EFFECT, nullptr, nullptr, 0, nullptr,
	                            nullptr, nullptr );
	EXPECT_STREQ( "", missing.extendedInfo.Description );
	EXPECT_STREQ( "", missing.extendedInfo.About );
	EXPECT_EQ( 0, std::memcmp( missing.info.PluginName, "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16 ) );
}

TEST_F( Registration, ExtendedDataIsKeptOnlyWithSizeAndBlock )
{
	int block = 0;
	PluginRegistration sizeOnly( &NoFactory, "A", "A", 2, 1, 1, 1, FF_EFFECT, "", "", 8, nullptr, nullptr, nullptr );
	EXPECT_EQ( 0u, sizeOnly.extendedInfo.FreeFrameExtendedDataSize );
	EXPECT_EQ( nullptr, sizeOnly.extendedInfo.FreeFrameExtendedDataBlock );
	PluginRegistration blockOnly( &NoFactory, "A", "A", 2, 1, 1, 1, FF_EFFECT, "", "", 0, &block, nullptr, nullptr );
	EXPECT_EQ( 0u, blockOnly.extendedInfo.FreeFrameExtendedDataSize );
	EXPECT_EQ( nullptr, blockOnly.extendedInfo.FreeFrameExtendedDataBlock );
	PluginRegistration both( &NoFactory, "A", "A", 2, 1, 1, 1, FF_EFFECT, "", "", 4, &block, nullptr, nullptr );
	EXPECT_EQ( 4u, both.extendedInfo.FreeFrameExtendedDataSize );
	EXPECT_EQ( &block, both.extendedInfo.FreeFrameExtendedDataBlock );
}

static int hookCalls             = 0;
static FFResult initialiseResult = FF_SUCCESS;
static FFResult CountingInitialise()
{
	++hookCalls;
	return initialiseResult;
}
static FFResult CountingDeinitialise()
{
	hookCalls += 100;
	return FF_FAIL;
}

TEST_F( Registration, HooksRunAroundThePrototype )
{
	hookCalls = 0;
	plugMain( FF_DEINITIALISE, MixedFromUInt( 0 ), nullptr );
	PluginRegistration hooked( &NoFactory, "HOOK", "Hooked", 2, 1, 1, 1, FF_EFFECT, "", "", 0, nullptr,
	                           &CountingInitialise, &CountingDeinitialise );
	hooked.factory = saved->factory;

	// A non-zero initialise answer stops the prototype from being made.
	initialiseResult = 3;
	EXPECT_EQ( 3u, InitialisePrototype() );
	EXPECT_EQ( nullptr, prototype );
	initialiseResult = FF_SUCCESS;
	EXPECT_EQ( FF_SUCCESS, InitialisePrototype() );
	ASSERT_NE( nullptr, prototype );
	EXPECT_EQ( 2, hookCalls );

	// Code 2 drops the prototype, then runs the de-initialise hook, whose result is ignored.
	EXPECT_EQ( FF_SUCCESS, Bits( plugMain( FF_DEINITIALISE, MixedFromUInt( 0 ), nullptr ) ) );
	EXPECT_EQ( nullptr, prototype );
	EXPECT_EQ( 102, hookCalls );

	// Without any registration, code 2 fails and nothing can be made.
	registration = nullptr;
	EXPECT_EQ( kFailBits, Bits( plugMain( FF_DEINITIALISE, MixedFromUInt( 0 ), nullptr ) ) );
	EXPECT_EQ( kFailBits, Bits( plugMain( FF_INITIALISE_V2, MixedFromUInt( 0 ), nullptr ) ) );
	EXPECT_EQ( 0u, Bits( plugMain( FF_GET_INFO, MixedFromUInt( 0 ), nullptr ) ) );
	EXPECT_EQ( 0u, Bits( plugMain( FF_GET_EXTENDED_INFO, MixedFromUInt( 0 ), nullptr ) ) );
	FFGLViewportStruct vp = { 0, 0, 4, 4 };
	EXPECT_EQ( kFailPointer, Bits( plugMain( FF_INSTANTIATE_GL, MixedFromPointer( &vp ), nullptr ) ) );
}
