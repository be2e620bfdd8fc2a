// Per-instance codes that need no GL: parameter values, display text, host information, connection
// bookkeeping, events, element values, text copies, and what happens without an instance or record.
#include "tests/ffgl/spine_fixture.h"

#include <cstring>
#include <memory>
#include <string>

class InstanceCodes : public SpineTest
{
protected:
	void SetUp() override
	{
		SpineTest::SetUp();
		Call( FF_INITIALISE_V2 );
		Renew();
	}
	void TearDown() override
	{
		owned.reset();
		SpineTest::TearDown();
	}
	// A fresh instance in place of the fixture's.
	void Renew()
	{
		owned    = MakeInstance();
		instance = owned.get();
	}
	// Code 19 on the fixture's instance, which deletes it.
	uint64_t Deinstantiate() { return Bits( Call( FF_DEINSTANTIATE_GL, 0, owned.release() ) ); }

	std::unique_ptr< TestPlugin > owned;
	TestPlugin* instance = nullptr;
};

TEST_F( InstanceCodes, CodesNeedingAnInstanceFailWithoutOne )
{
	SetParameterStruct set                 = { kTestLevel, MixedFromFloat( 0.2f ) };
	double time                            = 1.0;
	FFGLViewportStruct vp                  = { 0, 0, 8, 8 };
	ProcessOpenGLStruct frame              = { 0, nullptr, 0 };
	SetParameterElementValueStruct element = { kTestLevel, 0, 0.5f };
	SetBeatinfoStruct beat                 = { 90.f, 0.5f };
	SetHostinfoStruct host                 = { "Host", "1" };
	ParamEventStruct entries[ 2 ];
	GetParamEventsStruct events = { 2, entries };
	char buffer[ 8 ];
	GetStringStruct text = { kTestLevel, buffer, 8 };

	// The display query alone answers the failure pointer, not null.
	EXPECT_EQ( kFailPointer, Bits( Call( FF_GET_PARAMETER_DISPLAY, kTestLevel ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_SET_PARAMETER, &set ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_PARAMETER, kTestLevel ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_INPUT_STATUS, 0 ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_PROCESS_OPENGL, &frame ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_DEINSTANTIATE_GL ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_SET_TIME, &time ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_CONNECT ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_DISCONNECT ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_RESIZE, &vp ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_SET_PARAMETER_ELEMENT_VALUE, &element ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_SET_BEATINFO, &beat ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_SET_HOSTINFO, &host ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_SET_SAMPLERATE, 48000 ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_PARAMETER_EVENTS, &events ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_ENABLE_PLUGIN_CAP, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ) ) );
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_PARAMETER_DISPLAY_NAME, &text ) ) );
	// The prototype and the fixture's instance were made; nothing reached either.
	EXPECT_EQ( "created;created;", testPlugin.calls );
}

TEST_F( InstanceCodes, NullRecordsGiveTheCodesFailure )
{
	for( uint32_t code : { FF_SET_PARAMETER, FF_PROCESS_OPENGL, FF_SET_TIME, FF_RESIZE, FF_GET_PARAMETER_ELEMENT_VALUE,
	                       FF_SET_PARAMETER_ELEMENT_VALUE, FF_SET_BEATINFO, FF_SET_HOSTINFO, FF_GET_RANGE,
	                       FF_GET_THUMBNAIL, FF_GET_PARAMETER_EVENTS, FF_GET_SEPARATOR_ELEMENT_INDEX,
	                       FF_GET_PARAMETER_GROUP, FF_GET_PARAMETER_DISPLAY_NAME } )
		EXPECT_EQ( kFailBits, Bits( CallWith( code, nullptr, instance ) ) ) << "code " << code;
	EXPECT_EQ( 0u, Bits( CallWith( FF_GET_PARAMETER_ELEMENT_NAME, nullptr, instance ) ) );
	EXPECT_EQ( 0u, Bits( CallWith( FF_GET_FILE_PARAMETER_EXTENSION, nullptr ) ) );
	EXPECT_EQ( kFailPointer, Bits( CallWith( FF_INSTANTIATE_GL, nullptr ) ) );
	EXPECT_EQ( "created;created;", testPlugin.calls );
}

TEST_F( InstanceCodes, ValuesGoThroughTheSettersByPrototypeType )
{
	// The high half of a float value is whatever the host left there.
	SetParameterStruct set = { kTestLevel, HostNumber( static_cast< uint32_t >( FloatBits( 0.25f ) ) ) };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_SET_PARAMETER, &set, instance ) ) );
	EXPECT_EQ( 0.25f, instance->values[ kTestLevel ] );
	EXPECT_EQ( FloatBits( 0.25f ), Bits( Call( FF_GET_PARAMETER, kTestLevel, instance ) ) );

	std::string hostText = "hello";
	set                  = { kTestCaption, MixedFromPointer( hostText.c_str() ) };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_SET_PARAMETER, &set, instance ) ) );
	hostText[ 0 ]      = 'j';
	const char* stored = static_cast< const char* >( Call( FF_GET_PARAMETER, kTestCaption, instance ).PointerValue );
	EXPECT_STREQ( "hello", stored );
	EXPECT_EQ( instance->caption.c_str(), stored );

	set = { kTestPicture, MixedFromPointer( "a.png" ) };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_SET_PARAMETER, &set, instance ) ) );
	EXPECT_EQ( "a.png", instance->picture );

	// No record: the value is taken as a float, and the plug-in's answer is passed on.
	testPlugin.calls.clear();
	set = { 9, MixedFromFloat( 0.5f ) };
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_SET_PARAMETER, &set, instance ) ) );
	EXPECT_EQ( "SetFloat 9;", testPlugin.calls );
	EXPECT_EQ( FloatBits( 0.f ), Bits( Call( FF_GET_PARAMETER, 9, instance ) ) );
}

TEST_F( InstanceCodes, DisplayTextIsOneSixteenByteBuffer )
{
	instance->values[ kTestLevel ] = 0.5f;
	const char* first =
	    static_cast< const char* >( Call( FF_GET_PARAMETER_DISPLAY, kTestLevel, instance ).PointerValue );
	ASSERT_NE( nullptr, first );
	EXPECT_EQ( 0, std::memcmp( first, "0.500000\0\0\0\0\0\0\0\0", 16 ) );

	// 1e8 formats to exactly 16 characters: the buffer holds them with no terminator.
	instance->values[ kTestSwitch ] = 1e8f;
	const char* second =
	    static_cast< const char* >( Call( FF_GET_PARAMETER_DISPLAY, kTestSwitch, instance ).PointerValue );
	EXPECT_EQ( first, second );
	EXPECT_EQ( 0, std::memcmp( second, "100000000.000000", 16 ) );

	// A longer text is cut at 16; a shorter one after it leaves zeros, not the old characters.
	instance->values[ kTestSwitch ] = -1e20f;
	Call( FF_GET_PARAMETER_DISPLAY, kTestSwitch, instance );
	EXPECT_EQ( 0, std::memcmp( first, "-100000002004087", 16 ) );
	instance->values[ kTestLow ] = -0.25f;
	Call( FF_GET_PARAMETER_DISPLAY, kTestLow, instance );
	EXPECT_EQ( 0, std::memcmp( first, "-0.250000\0\0\0\0\0\0\0", 16 ) );

	// Every instance shares the buffer.
	std::unique_ptr< TestPlugin > other( MakeInstance() );
	other->values[ kTestLevel ] = 1.f;
	EXPECT_EQ( first, Call( FF_GET_PARAMETER_DISPLAY, kTestLevel, other.get() ).PointerValue );
	EXPECT_EQ( 0, std::memcmp( first, "1.000000\0\0\0\0\0\0\0\0", 16 ) );

	instance->caption = "text value";
	EXPECT_EQ( instance->caption.c_str(), Call( FF_GET_PARAMETER_DISPLAY, kTestCaption, instance ).PointerValue );
	EXPECT_EQ( instance->picture.c_str(), Call( FF_GET_PARAMETER_DISPLAY, kTestPicture, instance ).PointerValue );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PARAMETER_DISPLAY, 9, instance ) ) );
	instance->FindParameter( kTestHigh )->type = 0xFFFFFFFF;
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PARAMETER_DISPLAY, kTestHigh, instance ) ) );
}

TEST_F( InstanceCodes, DisplayReadsTheObjectSelfDesignates )
{
	std::unique_ptr< TestPlugin > other( MakeInstance() );
	other->values[ kTestLevel ]    = 0.75f;
	instance->values[ kTestLevel ] = 0.5f;
	instance->self                 = other.get();
	const char* text =
	    static_cast< const char* >( Call( FF_GET_PARAMETER_DISPLAY, kTestLevel, instance ).PointerValue );
	EXPECT_EQ( 0, std::memcmp( text, "0.750000", 9 ) );
}

TEST_F( InstanceCodes, InputStatusAndHostInformation )
{
	EXPECT_EQ( 1u, Bits( Call( FF_GET_INPUT_STATUS, 0, instance ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_INPUT_STATUS, 1, instance ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( FF_GET_INPUT_STATUS, 0xFFFFFFFF, instance ) ) );

	double time = 12.5;
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_SET_TIME, &time, instance ) ) );
	EXPECT_EQ( 12.5, instance->hostTime );

	SetBeatinfoStruct beat = { 97.5f, 0.25f };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_SET_BEATINFO, &beat, instance ) ) );
	EXPECT_EQ( 97.5f, instance->bpm );
	EXPECT_EQ( 0.25f, instance->barPhase );

	char name[]            = "Resolume";
	char version[]         = "7.1";
	SetHostinfoStruct host = { name, version };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_SET_HOSTINFO, &host, instance ) ) );
	name[ 0 ]    = 'X';
	version[ 0 ] = 'X';
	EXPECT_EQ( "Resolume", instance->hostName );
	EXPECT_EQ( "7.1", instance->hostVersion );
	host = { nullptr, "2" };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_SET_HOSTINFO, &host, instance ) ) );
	EXPECT_EQ( "", instance->hostName );
	EXPECT_EQ( "2", instance->hostVersion );
	host = { "Arena", nullptr };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_SET_HOSTINFO, &host, instance ) ) );
	EXPECT_EQ( "Arena", instance->hostName );
	EXPECT_EQ( "", instance->hostVersion );

	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_SET_SAMPLERATE, 44100, instance ) ) );
	EXPECT_EQ( 44100u, instance->sampleRate );

	FFGLViewportStruct vp = { 1, 2, 300, 200 };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_RESIZE, &vp, instance ) ) );
	EXPECT_EQ( 0, std::memcmp( &vp, &instance->viewport, sizeof( vp ) ) );
}

TEST_F( InstanceCodes, ConnectAndDisconnectTrackTheirResults )
{
	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_CONNECT, 0, instance ) ) );
	EXPECT_TRUE( instance->connected );
	testPlugin.disconnectResult = FF_FAIL;
	EXPECT_EQ( kFailBits, Bits( Call( FF_DISCONNECT, 0, instance ) ) );
	EXPECT_TRUE( instance->connected );
	testPlugin.disconnectResult = FF_SUCCESS;
	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_DISCONNECT, 0, instance ) ) );
	EXPECT_FALSE( instance->connected );
	testPlugin.connectResult = 7;
	EXPECT_EQ( 7u, Bits( Call( FF_CONNECT, 0, instance ) ) );
	EXPECT_FALSE( instance->connected );
	EXPECT_EQ( 2, testPlugin.connects );
	EXPECT_EQ( 2, testPlugin.disconnects );
}

TEST_F( InstanceCodes, DeinstantiateDisconnectsOnlyWhenConnected )
{
	Call( FF_CONNECT, 0, instance );
	testPlugin.calls.clear();
	EXPECT_EQ( FF_SUCCESS, Deinstantiate() );
	EXPECT_EQ( "Disconnect;DeInitGL;destroyed;", testPlugin.calls );

	Renew();
	Call( FF_CONNECT, 0, instance );
	Call( FF_DISCONNECT, 0, instance );
	testPlugin.calls.clear();
	EXPECT_EQ( FF_SUCCESS, Deinstantiate() );
	EXPECT_EQ( "DeInitGL;destroyed;", testPlugin.calls );

	// A failed Disconnect leaves the flag set, so teardown tries again; its result is ignored.
	Renew();
	Call( FF_CONNECT, 0, instance );
	testPlugin.disconnectResult = FF_FAIL;
	Call( FF_DISCONNECT, 0, instance );
	testPlugin.calls.clear();
	EXPECT_EQ( FF_SUCCESS, Deinstantiate() );
	EXPECT_EQ( "Disconnect;DeInitGL;destroyed;", testPlugin.calls );
}

TEST_F( InstanceCodes, TeardownThatThrowsStillDeletesTheInstance )
{
	for( const char* step : { "Disconnect", "DeInitGL" } )
	{
		Call( FF_CONNECT, 0, instance );
		testPlugin.throwIn = step;
		testPlugin.calls.clear();
		// Every step still runs and the instance is gone; the answer tells that something failed.
		EXPECT_EQ( kFailBits, Deinstantiate() ) << step;
		EXPECT_EQ( "Disconnect;DeInitGL;destroyed;", testPlugin.calls ) << step;
		testPlugin.throwIn.clear();
		Renew();
	}
	// The prototype and the fixture's instance, nothing else.
	EXPECT_EQ( 2, testPlugin.constructed - testPlugin.destroyed );
}

TEST_F( InstanceCodes, TopLeftIsEnabledOnlyWhenThePrototypeSupportsIt )
{
	EXPECT_EQ( kFailBits, Bits( Call( FF_ENABLE_PLUGIN_CAP, FF_CAP_SET_TIME, instance ) ) );
	EXPECT_EQ( 0u, instance->topLeftEnabled );
	EXPECT_EQ( kFailBits, Bits( Call( FF_ENABLE_PLUGIN_CAP, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, instance ) ) );
	EXPECT_EQ( 1u, instance->topLeftEnabled );

	// The prototype decides, not the instance.
	Call( FF_DEINITIALISE );
	testPlugin.topLeftSupported = false;
	instance->topLeftEnabled    = 0;
	EXPECT_EQ( kFailBits, Bits( Call( FF_ENABLE_PLUGIN_CAP, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, instance ) ) );
	EXPECT_EQ( 0u, instance->topLeftEnabled );
	EXPECT_TRUE( instance->topLeftSupported );
}

TEST_F( InstanceCodes, ElementQueriesUseTheInstanceTableWhenGiven )
{
	SetParameterElementValueStruct set = { kTestLevel, 0, 0.75f };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_SET_PARAMETER_ELEMENT_VALUE, &set, instance ) ) );
	ParameterElementStruct query = { kTestLevel, 0 };
	EXPECT_EQ( FloatBits( 0.75f ), Bits( CallWith( FF_GET_PARAMETER_ELEMENT_VALUE, &query, instance ) ) );
	EXPECT_EQ( FloatBits( 0.f ), Bits( CallWith( FF_GET_PARAMETER_ELEMENT_VALUE, &query ) ) );
	set = { kTestLevel, 1, 0.5f };
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_SET_PARAMETER_ELEMENT_VALUE, &set, instance ) ) );
	set = { 9, 0, 0.5f };
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_SET_PARAMETER_ELEMENT_VALUE, &set, instance ) ) );

	instance->FindParameter( kTestLow )->visible = false;
	instance->FindParameter( kTestLow )->elements.resize( 3 );
	EXPECT_EQ( 0u, Bits( Call( FF_GET_PARAMETER_VISIBILITY, kTestLow, instance ) ) );
	EXPECT_EQ( 1u, Bits( Call( FF_GET_PARAMETER_VISIBILITY, kTestLow ) ) );
	EXPECT_EQ( 3u, Bits( Call( FF_GET_NUM_PARAMETER_ELEMENTS, kTestLow, instance ) ) );
	EXPECT_EQ( 1u, Bits( Call( FF_GET_NUM_PARAMETER_ELEMENTS, kTestLow ) ) );
}

TEST_F( InstanceCodes, EventsAreReportedInTableOrderAndClearedWhenReported )
{
	GetParamEventsStruct query = { 99, nullptr };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_EVENTS, &query, instance ) ) );
	EXPECT_EQ( 0u, query.numEvents );

	instance->FindParameter( kTestLevel )->eventFlags = 0x100000001u;
	instance->FindParameter( kTestHigh )->eventFlags  = 2;
	instance->FindParameter( kTestLow )->eventFlags   = 4;
	query                                             = { 0, nullptr };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_EVENTS, &query, instance ) ) );
	EXPECT_EQ( 3u, query.numEvents );

	ParamEventStruct entries[ 3 ] = {};
	query                         = { 2, entries };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_EVENTS, &query, instance ) ) );
	EXPECT_EQ( 2u, query.numEvents );
	EXPECT_EQ( kTestLevel, entries[ 0 ].ParameterNumber );
	EXPECT_EQ( 0x100000001u, entries[ 0 ].eventFlags );
	EXPECT_EQ( kTestHigh, entries[ 1 ].ParameterNumber );
	EXPECT_EQ( 2u, entries[ 1 ].eventFlags );
	EXPECT_EQ( 0u, entries[ 2 ].eventFlags );
	// What did not fit stays pending.
	EXPECT_EQ( 4u, instance->FindParameter( kTestLow )->eventFlags );
	query = { 3, entries };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_EVENTS, &query, instance ) ) );
	EXPECT_EQ( 1u, query.numEvents );
	EXPECT_EQ( kTestLow, entries[ 0 ].ParameterNumber );
	query = { 3, entries };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_EVENTS, &query, instance ) ) );
	EXPECT_EQ( 0u, query.numEvents );
}

TEST_F( InstanceCodes, DisplayNameCopiesWithoutTerminator )
{
	char buffer[ 16 ];
	std::memset( buffer, 'x', sizeof( buffer ) );
	GetStringStruct query = { kTestLevel, buffer, 16 };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_DISPLAY_NAME, &query, instance ) ) );
	EXPECT_EQ( std::string( 16, 'x' ), std::string( buffer, 16 ) );

	// The instance's own table, not the prototype's.
	instance->FindParameter( kTestLevel )->displayName = "Brightness";
	query.maxToWrite                                   = 3;
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_DISPLAY_NAME, &query, instance ) ) );
	EXPECT_EQ( "Bri" + std::string( 13, 'x' ), std::string( buffer, 16 ) );
	query.maxToWrite = 16;
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_DISPLAY_NAME, &query, instance ) ) );
	EXPECT_EQ( "Brightness" + std::string( 6, 'x' ), std::string( buffer, 16 ) );

	query.maxToWrite = 0;
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_PARAMETER_DISPLAY_NAME, &query, instance ) ) );
	query = { kTestLevel, nullptr, 4 };
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_GET_PARAMETER_DISPLAY_NAME, &query, instance ) ) );
	query = { 9, buffer, 16 };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_GET_PARAMETER_DISPLAY_NAME, &query, instance ) ) );
	EXPECT_EQ( "Brightness" + std::string( 6, 'x' ), std::string( buffer, 16 ) );
}
