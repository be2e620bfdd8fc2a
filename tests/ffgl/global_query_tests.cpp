// Codes a host sends before it has an instance: information blocks, the prototype and its table.
#include "tests/ffgl/spine_fixture.h"

#include <cstring>
#include <string>

typedef SpineTest GlobalQueries;

TEST_F( GlobalQueries, InformationBlocksHoldTheRegistration )
{
	const uint8_t* info = static_cast< const uint8_t* >( Call( FF_GET_INFO, 77 ).PointerValue );
	ASSERT_NE( info, nullptr );
	uint32_t apiMajor, apiMinor, type;
	std::memcpy( &apiMajor, info, 4 );
	std::memcpy( &apiMinor, info + 4, 4 );
	std::memcpy( &type, info + 28, 4 );
	EXPECT_EQ( 2u, apiMajor );
	EXPECT_EQ( 1u, apiMinor );
	EXPECT_EQ( 0, std::memcmp( info + 8, "TSPN", 4 ) );
	// A 16-character name fills the field with no zero byte.
	EXPECT_EQ( 0, std::memcmp( info + 12, "FFGL Spine Tests", 16 ) );
	EXPECT_EQ( FF_EFFECT, type );
	EXPECT_EQ( info, Call( FF_GET_INFO ).PointerValue );

	const PluginExtendedInfoStruct* extended =
	    static_cast< const PluginExtendedInfoStruct* >( Call( FF_GET_EXTENDED_INFO ).PointerValue );
	ASSERT_NE( extended, nullptr );
	EXPECT_EQ( 1u, extended->PluginMajorVersion );
	EXPECT_EQ( 0u, extended->PluginMinorVersion );
	EXPECT_STREQ( "Exercises the plug-in spine", extended->Description );
	EXPECT_STREQ( "Umbrafex TAVLEN tests", extended->About );
	EXPECT_EQ( 0u, extended->FreeFrameExtendedDataSize );
	EXPECT_EQ( nullptr, extended->FreeFrameExtendedDataBlock );
	// Information needs no prototype.
	EXPECT_EQ( 0, testPlugin.constructed );
}

TEST_F( GlobalQueries, UnusedCodesFailWithAZeroHighHalf )
{
	for( uint32_t code : { FF_INITIALISE, FF_PROCESS_FRAME, FF_INSTANTIATE, FF_DEINSTANTIATE, FF_PROCESS_FRAME_COPY,
	                       24u, 25u, 26u, 27u, 28u, 29u, 30u, 52u, 53u, 1000u, 0xFFFFFFFFu } )
		EXPECT_EQ( kFailBits, Bits( Call( code, 1 ) ) ) << "code " << code;
	EXPECT_EQ( 0, testPlugin.constructed );
}

TEST_F( GlobalQueries, PrototypeIsMadeOnceAndRemadeAfterDeinitialise )
{
	EXPECT_EQ( 7u, Bits( Call( FF_GET_NUM_PARAMETERS ) ) );
	EXPECT_EQ( 1, testPlugin.constructed );
	EXPECT_NE( nullptr, prototype );
	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_INITIALISE_V2 ) ) );
	Call( FF_GET_PARAMETER_NAME, 0 );
	EXPECT_EQ( 1, testPlugin.constructed );

	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_DEINITIALISE ) ) );
	EXPECT_EQ( nullptr, prototype );
	EXPECT_EQ( 1, testPlugin.destroyed );
	// The constructor runs again for the next query.
	EXPECT_EQ( 7u, Bits( Call( FF_GET_NUM_PARAMETERS ) ) );
	EXPECT_EQ( 2, testPlugin.constructed );
	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_DEINITIALISE ) ) );
	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_DEINITIALISE ) ) );
	EXPECT_EQ( 2, testPlugin.destroyed );
}

TEST_F( GlobalQueries, FailingFactoryLeavesNoPrototype )
{
	testPlugin.factoryFails        = true;
	testPlugin.factoryStraysOnFail = true;
	EXPECT_EQ( kFailBits, Bits( Call( FF_INITIALISE_V2 ) ) );
	EXPECT_EQ( nullptr, prototype );
	// An instance a failing factory stored anyway is not leaked.
	EXPECT_EQ( testPlugin.constructed, testPlugin.destroyed );

	testPlugin.factoryStraysOnFail = false;
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_NUM_PARAMETERS ) ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PARAMETER_NAME, 0 ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_PARAMETER_DEFAULT, 1 ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_PARAMETER_TYPE, 1 ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_SET_TIME ) ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PLUGIN_SHORT_NAME ) ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_NUM_ELEMENT_SEPARATORS, 1 ) ) );
	GetRangeStruct range = { 1, 7.f, 8.f };
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_RANGE, &range ) ) );
	EXPECT_EQ( 7.f, range.min );
	EXPECT_EQ( 8.f, range.max );

	testPlugin.factoryFails = false;
	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_INITIALISE_V2 ) ) );
	EXPECT_NE( nullptr, prototype );
}

TEST_F( GlobalQueries, NamesTypesAndDefaultsComeFromThePrototypeTable )
{
	const char* names[] = { "Switch", "Level", "Caption", "Picture", "High", "Low" };
	for( uint32_t i = 0; i < 6; ++i )
		EXPECT_STREQ( names[ i ], static_cast< const char* >( Call( FF_GET_PARAMETER_NAME, i ).PointerValue ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PARAMETER_NAME, 6 ) ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PARAMETER_NAME, 9 ) ) );

	EXPECT_EQ( FF_TYPE_BOOLEAN, Bits( Call( FF_GET_PARAMETER_TYPE, kTestSwitch ) ) );
	EXPECT_EQ( FF_TYPE_STANDARD, Bits( Call( FF_GET_PARAMETER_TYPE, kTestLevel ) ) );
	EXPECT_EQ( FF_TYPE_TEXT, Bits( Call( FF_GET_PARAMETER_TYPE, kTestCaption ) ) );
	EXPECT_EQ( FF_TYPE_FILE, Bits( Call( FF_GET_PARAMETER_TYPE, kTestPicture ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_PARAMETER_TYPE, 9 ) ) );

	EXPECT_EQ( FloatBits( 1.7f ), Bits( Call( FF_GET_PARAMETER_DEFAULT, kTestSwitch ) ) );
	EXPECT_EQ( 0x3F000000u, Bits( Call( FF_GET_PARAMETER_DEFAULT, kTestLevel ) ) );
	EXPECT_EQ( FloatBits( 1.f ), Bits( Call( FF_GET_PARAMETER_DEFAULT, kTestHigh ) ) );
	EXPECT_EQ( FloatBits( 0.f ), Bits( Call( FF_GET_PARAMETER_DEFAULT, kTestLow ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_PARAMETER_DEFAULT, 9 ) ) );
	// Text and file parameters answer a pointer to their (empty) default text.
	const char* caption = static_cast< const char* >( Call( FF_GET_PARAMETER_DEFAULT, kTestCaption ).PointerValue );
	const char* picture = static_cast< const char* >( Call( FF_GET_PARAMETER_DEFAULT, kTestPicture ).PointerValue );
	ASSERT_NE( nullptr, caption );
	ASSERT_NE( nullptr, picture );
	EXPECT_STREQ( "", caption );
	EXPECT_STREQ( "", picture );
}

TEST_F( GlobalQueries, CapabilitiesReadThePrototype )
{
	EXPECT_EQ( 1u, Bits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_SET_TIME ) ) );
	EXPECT_EQ( 1u, Bits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_MINIMUM_INPUT_FRAMES ) ) );
	EXPECT_EQ( 1u, Bits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_MAXIMUM_INPUT_FRAMES ) ) );
	EXPECT_EQ( 1u, Bits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ) ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PLUGIN_CAPS, 4 ) ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PLUGIN_CAPS, 0 ) ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PLUGIN_CAPS, 999 ) ) );

	// Negative input counts are reported as 0.
	prototype->minInputs = -3;
	prototype->maxInputs = -1;
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_MINIMUM_INPUT_FRAMES ) ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_MAXIMUM_INPUT_FRAMES ) ) );
	prototype->timeSupported = false;
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_SET_TIME ) ) );

	Call( FF_DEINITIALISE );
	testPlugin.topLeftSupported = false;
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ) ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PLUGIN_SHORT_NAME ) ) );
}

TEST_F( GlobalQueries, RecordAttributesWithoutAnInstance )
{
	for( uint32_t i = 0; i < 6; ++i )
	{
		EXPECT_EQ( 1u, Bits( Call( FF_GET_NUM_PARAMETER_ELEMENTS, i ) ) ) << i;
		EXPECT_EQ( 0u, Bits( Call( FF_GET_PARAMETER_USAGE, i ) ) ) << i;
		EXPECT_EQ( 1u, Bits( Call( FF_GET_PARAMETER_VISIBILITY, i ) ) ) << i;
		EXPECT_EQ( 0u, Bits( Call( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, i ) ) ) << i;
		EXPECT_EQ( 0u, Bits( Call( FF_GET_NUM_ELEMENT_SEPARATORS, i ) ) ) << i;
	}
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_NUM_PARAMETER_ELEMENTS, 9 ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_PARAMETER_USAGE, 9 ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_PARAMETER_VISIBILITY, 9 ) ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, 9 ) ) );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_NUM_ELEMENT_SEPARATORS, 9 ) ) );

	ParameterElementStruct element = { kTestLevel, 0 };
	const char* name = static_cast< const char* >( CallWith( FF_GET_PARAMETER_ELEMENT_NAME, &element ).PointerValue );
	ASSERT_NE( nullptr, name );
	EXPECT_STREQ( "", name );
	EXPECT_EQ( FloatBits( 0.f ), Bits( CallWith( FF_GET_PARAMETER_ELEMENT_VALUE, &element ) ) );
	element.ElementNumber = 1;
	EXPECT_EQ( 0u, Bits( CallWith( FF_GET_PARAMETER_ELEMENT_NAME, &element ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_PARAMETER_ELEMENT_VALUE, &element ) ) );
	element = { 9, 0 };
	EXPECT_EQ( 0u, Bits( CallWith( FF_GET_PARAMETER_ELEMENT_NAME, &element ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_PARAMETER_ELEMENT_VALUE, &element ) ) );
	element = { kTestLevel, 0 };
	EXPECT_EQ( 0u, Bits( CallWith( FF_GET_FILE_PARAMETER_EXTENSION, &element ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_SEPARATOR_ELEMENT_INDEX, &element ) ) );
}

TEST_F( GlobalQueries, ExtensionsSeparatorsAndRangesAreReadFromTheRecord )
{
	Call( FF_INITIALISE_V2 );
	ParameterRecord* picture = prototype->FindParameter( kTestPicture );
	picture->fileExtensions  = { "png", "jpg" };
	ParameterRecord* level   = prototype->FindParameter( kTestLevel );
	level->elementSeparators = { 3, -1 };
	level->range             = { -2.f, 5.f };

	EXPECT_EQ( 2u, Bits( Call( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, kTestPicture ) ) );
	ParameterElementStruct query = { kTestPicture, 1 };
	EXPECT_STREQ( "jpg",
	              static_cast< const char* >( CallWith( FF_GET_FILE_PARAMETER_EXTENSION, &query ).PointerValue ) );
	query.ElementNumber = 2;
	EXPECT_EQ( 0u, Bits( CallWith( FF_GET_FILE_PARAMETER_EXTENSION, &query ) ) );

	EXPECT_EQ( 2u, Bits( Call( FF_GET_NUM_ELEMENT_SEPARATORS, kTestLevel ) ) );
	query = { kTestLevel, 0 };
	EXPECT_EQ( 3u, Bits( CallWith( FF_GET_SEPARATOR_ELEMENT_INDEX, &query ) ) );
	query.ElementNumber = 1;
	EXPECT_EQ( 0xFFFFFFFFu, Bits( CallWith( FF_GET_SEPARATOR_ELEMENT_INDEX, &query ) ) );
	query.ElementNumber = 2;
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_SEPARATOR_ELEMENT_INDEX, &query ) ) );

	GetRangeStruct range = { kTestLevel, 9.f, 9.f };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_RANGE, &range ) ) );
	EXPECT_EQ( -2.f, range.min );
	EXPECT_EQ( 5.f, range.max );
	// A parameter without a record still answers the standard range.
	range = { 9, 9.f, 9.f };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_RANGE, &range ) ) );
	EXPECT_EQ( 0.f, range.min );
	EXPECT_EQ( 1.f, range.max );
}

TEST_F( GlobalQueries, ThumbnailIsNeverThere )
{
	uint8_t pixels[ 4 ]          = { 1, 2, 3, 4 };
	GetThumbnailStruct thumbnail = { 32, 32, pixels };
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_THUMBNAIL, &thumbnail ) ) );
	EXPECT_EQ( 0u, thumbnail.width );
	EXPECT_EQ( 0u, thumbnail.height );
	EXPECT_EQ( pixels, thumbnail.rgbaPixelBuffer );
	EXPECT_EQ( 1, pixels[ 0 ] );
}

TEST_F( GlobalQueries, ParameterGroupCopiesWithoutTerminator )
{
	char buffer[ 16 ];
	std::memset( buffer, 'x', sizeof( buffer ) );
	GetStringStruct query = { kTestLevel, buffer, 16 };
	// Empty group: success, nothing written.
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_GROUP, &query ) ) );
	EXPECT_EQ( std::string( 16, 'x' ), std::string( buffer, 16 ) );

	prototype->FindParameter( kTestLevel )->group = "Colour";
	query.maxToWrite                              = 4;
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_GROUP, &query ) ) );
	EXPECT_EQ( "Colo" + std::string( 12, 'x' ), std::string( buffer, 16 ) );
	query.maxToWrite = 16;
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_GROUP, &query ) ) );
	EXPECT_EQ( "Colour" + std::string( 10, 'x' ), std::string( buffer, 16 ) );

	query.maxToWrite = 0;
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_PARAMETER_GROUP, &query ) ) );
	query = { 9, buffer, 16 };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_GROUP, &query ) ) );
	query = { kTestLevel, nullptr, 16 };
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_PARAMETER_GROUP, &query ) ) );
	EXPECT_EQ( "Colour" + std::string( 10, 'x' ), std::string( buffer, 16 ) );
}
