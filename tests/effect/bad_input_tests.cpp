// Every bad input a host can send, one table row each: the input and the result it must get. Records
// hold random numbers but never random pointers. Afterwards nothing may be left alive.
#include "host/check/gl_names.h"
#include "tests/effect/effect_host.h"
#include "tests/support/test_process.h"

#include <cstring>
#include <functional>
#include <random>

namespace
{
enum class Expect
{
	kSuccess,        // low half 0
	kFail,           // low half 0xFFFFFFFF
	kNull,           // the 64-bit value 0
	kFailurePointer, // the 64-bit value 0x00000000FFFFFFFF
	kPointer,        // neither null nor the failure pointer
	kValue           // low half equals the row's value
};

enum class Who
{
	kNone,
	kLive
};

// Storage for the records a row points at, refilled with random bytes before every row.
struct Records
{
	alignas( 16 ) uint8_t bytes[ 64 ];
	char text[ 64 ];
	ParamEventStruct events[ 4 ];
	std::mt19937 random{ 20240607u };

	void Refill()
	{
		for( uint8_t& b : bytes )
			b = static_cast< uint8_t >( random() );
		std::memset( text, '#', sizeof( text ) );
		std::memset( events, 0x5A, sizeof( events ) );
	}
	// An index no table holds: random, with a bit set that makes it 4 or more.
	uint32_t BadIndex() { return static_cast< uint32_t >( random() ) | 0x4u; }
	template< typename T >
	T* As()
	{
		static_assert( sizeof( T ) <= sizeof( bytes ), "record fits" );
		return reinterpret_cast< T* >( bytes );
	}
};

struct Row
{
	const char* what;
	uint32_t code;
	Who who;
	std::function< FFMixed( Records& ) > input;
	Expect expect;
	uint32_t value;
	// A check of what the call wrote into the record; empty when there is nothing to check.
	std::function< bool( Records& ) > written;
};

::testing::AssertionResult Matches( const Row& row, FFMixed result )
{
	const uintptr_t all = reinterpret_cast< uintptr_t >( result.PointerValue );
	bool ok             = false;
	switch( row.expect )
	{
	case Expect::kSuccess:
		ok = result.UIntValue == FF_SUCCESS;
		break;
	case Expect::kFail:
		ok = result.UIntValue == FF_FAIL;
		break;
	case Expect::kNull:
		ok = all == 0;
		break;
	case Expect::kFailurePointer:
		ok = all == FF_FAIL_POINTER_VALUE;
		break;
	case Expect::kPointer:
		ok = all != 0 && all != FF_FAIL_POINTER_VALUE;
		break;
	case Expect::kValue:
		ok = result.UIntValue == row.value;
		break;
	}
	if( ok )
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure() << "code " << row.code << " (" << row.what << ") answered 0x" << std::hex
	                                     << all;
}

const uint32_t kFloatHalf = 0x3F000000; // 0.5f
const uint32_t kFloatZero = 0x00000000;

std::vector< Row > Table()
{
	auto none     = []( Records& ) { return HostNumber( 0 ); };
	auto null     = []( Records& ) { return MixedFromPointer( nullptr ); };
	auto random   = []( Records& r ) { return MixedFromPointer( r.bytes ); };
	auto badIndex = []( Records& r ) { return HostNumber( r.BadIndex() ); };
	std::vector< Row > rows;
	auto add = [ &rows ]( const char* what, uint32_t code, Who who, std::function< FFMixed( Records& ) > input,
	                      Expect expect, uint32_t value = 0, std::function< bool( Records& ) > written = nullptr ) {
		rows.push_back( { what, code, who, std::move( input ), expect, value, std::move( written ) } );
	};

	// Null records, for every code that reads one.
	const struct
	{
		uint32_t code;
		Expect expect;
	} nullRecords[] = { { FF_SET_PARAMETER, Expect::kFail },
		                { FF_PROCESS_OPENGL, Expect::kFail },
		                { FF_INSTANTIATE_GL, Expect::kFailurePointer },
		                { FF_SET_TIME, Expect::kFail },
		                { FF_RESIZE, Expect::kFail },
		                { FF_GET_PARAMETER_ELEMENT_NAME, Expect::kNull },
		                { FF_GET_PARAMETER_ELEMENT_VALUE, Expect::kFail },
		                { FF_SET_PARAMETER_ELEMENT_VALUE, Expect::kFail },
		                { FF_SET_BEATINFO, Expect::kFail },
		                { FF_SET_HOSTINFO, Expect::kFail },
		                { FF_GET_RANGE, Expect::kFail },
		                { FF_GET_THUMBNAIL, Expect::kFail },
		                { FF_GET_FILE_PARAMETER_EXTENSION, Expect::kNull },
		                { FF_GET_PARAMETER_EVENTS, Expect::kFail },
		                { FF_GET_SEPARATOR_ELEMENT_INDEX, Expect::kFail },
		                { FF_GET_PARAMETER_GROUP, Expect::kFail },
		                { FF_GET_PARAMETER_DISPLAY_NAME, Expect::kFail } };
	for( const auto& n : nullRecords )
	{
		add( "null record, no instance", n.code, Who::kNone, null, n.expect );
		if( n.code != FF_INSTANTIATE_GL )
			add( "null record, live instance", n.code, Who::kLive, null, n.expect );
	}

	// Records of random numbers; pointer fields null or pointing at real storage of the stated size.
	add(
	    "random parameter number", FF_SET_PARAMETER, Who::kLive,
	    []( Records& r ) {
		    r.As< SetParameterStruct >()->ParameterNumber = r.BadIndex();
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kFail );
	add(
	    "random float bits for Stability", FF_SET_PARAMETER, Who::kLive,
	    []( Records& r ) {
		    r.As< SetParameterStruct >()->ParameterNumber = 2;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kSuccess );
	add(
	    "random input count, null texture array", FF_PROCESS_OPENGL, Who::kLive,
	    []( Records& r ) {
		    auto* frame          = r.As< ProcessOpenGLStruct >();
		    frame->inputTextures = nullptr;
		    frame->numInputTextures |= 1u;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kFail );
	add(
	    "no input texture", FF_PROCESS_OPENGL, Who::kLive,
	    []( Records& r ) {
		    auto* frame             = r.As< ProcessOpenGLStruct >();
		    frame->inputTextures    = nullptr;
		    frame->numInputTextures = 0;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kFail );
	add( "random viewport", FF_RESIZE, Who::kLive, random, Expect::kSuccess );
	add( "random time (any double)", FF_SET_TIME, Who::kLive, random, Expect::kSuccess );
	for( Who who : { Who::kNone, Who::kLive } )
	{
		add(
		    "random element query", FF_GET_PARAMETER_ELEMENT_NAME, who,
		    []( Records& r ) {
			    r.As< ParameterElementStruct >()->ParameterNumber = r.BadIndex();
			    return MixedFromPointer( r.bytes );
		    },
		    Expect::kNull );
		add(
		    "element number beyond the count", FF_GET_PARAMETER_ELEMENT_NAME, who,
		    []( Records& r ) {
			    auto* query            = r.As< ParameterElementStruct >();
			    query->ParameterNumber = 0;
			    query->ElementNumber |= 1u;
			    return MixedFromPointer( r.bytes );
		    },
		    Expect::kNull );
		add(
		    "random element query", FF_GET_PARAMETER_ELEMENT_VALUE, who,
		    []( Records& r ) {
			    r.As< ParameterElementStruct >()->ParameterNumber = r.BadIndex();
			    return MixedFromPointer( r.bytes );
		    },
		    Expect::kFail );
		add(
		    "random range query", FF_GET_RANGE, who,
		    []( Records& r ) {
			    r.As< GetRangeStruct >()->ParameterNumber = r.BadIndex();
			    return MixedFromPointer( r.bytes );
		    },
		    Expect::kSuccess, 0,
		    []( Records& r ) { return r.As< GetRangeStruct >()->min == 0.f && r.As< GetRangeStruct >()->max == 1.f; } );
		add(
		    "random thumbnail record", FF_GET_THUMBNAIL, who,
		    []( Records& r ) {
			    r.As< GetThumbnailStruct >()->rgbaPixelBuffer = nullptr;
			    return MixedFromPointer( r.bytes );
		    },
		    Expect::kFail, 0,
		    []( Records& r ) {
			    return r.As< GetThumbnailStruct >()->width == 0 && r.As< GetThumbnailStruct >()->height == 0;
		    } );
		add( "random extension query", FF_GET_FILE_PARAMETER_EXTENSION, who, random, Expect::kNull );
		add( "random separator query", FF_GET_SEPARATOR_ELEMENT_INDEX, who, random, Expect::kFail );
		add(
		    "group: random number, null buffer", FF_GET_PARAMETER_GROUP, who,
		    []( Records& r ) {
			    auto* query         = r.As< GetStringStruct >();
			    query->stringBuffer = nullptr;
			    query->maxToWrite |= 1u;
			    return MixedFromPointer( r.bytes );
		    },
		    Expect::kFail );
		add(
		    "group: random number, maxToWrite 0", FF_GET_PARAMETER_GROUP, who,
		    []( Records& r ) {
			    auto* query         = r.As< GetStringStruct >();
			    query->stringBuffer = r.text;
			    query->maxToWrite   = 0;
			    return MixedFromPointer( r.bytes );
		    },
		    Expect::kFail );
	}
	add(
	    "random element value, random numbers", FF_SET_PARAMETER_ELEMENT_VALUE, Who::kLive,
	    []( Records& r ) {
		    r.As< SetParameterElementValueStruct >()->ParameterNumber = r.BadIndex();
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kFail );
	add(
	    "element number beyond the count", FF_SET_PARAMETER_ELEMENT_VALUE, Who::kLive,
	    []( Records& r ) {
		    auto* set            = r.As< SetParameterElementValueStruct >();
		    set->ParameterNumber = 1;
		    set->ElementNumber |= 1u;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kFail );
	add( "random bpm and phase", FF_SET_BEATINFO, Who::kLive, random, Expect::kSuccess );
	add(
	    "host texts null", FF_SET_HOSTINFO, Who::kLive,
	    []( Records& r ) {
		    r.As< SetHostinfoStruct >()->name    = nullptr;
		    r.As< SetHostinfoStruct >()->version = nullptr;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kSuccess );
	add(
	    "events null, random count", FF_GET_PARAMETER_EVENTS, Who::kLive,
	    []( Records& r ) {
		    r.As< GetParamEventsStruct >()->events = nullptr;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kSuccess, 0, []( Records& r ) { return r.As< GetParamEventsStruct >()->numEvents == 0; } );
	add(
	    "events of room 4", FF_GET_PARAMETER_EVENTS, Who::kLive,
	    []( Records& r ) {
		    r.As< GetParamEventsStruct >()->events    = r.events;
		    r.As< GetParamEventsStruct >()->numEvents = 4;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kSuccess, 0,
	    []( Records& r ) {
		    return r.As< GetParamEventsStruct >()->numEvents == 0 && r.events[ 0 ].ParameterNumber == 0x5A5A5A5A;
	    } );
	add(
	    "display name: random number into 64 bytes", FF_GET_PARAMETER_DISPLAY_NAME, Who::kLive,
	    []( Records& r ) {
		    auto* query         = r.As< GetStringStruct >();
		    query->stringBuffer = r.text;
		    query->maxToWrite   = 1 + query->maxToWrite % sizeof( r.text );
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kSuccess, 0, []( Records& r ) { return r.text[ 0 ] == '#'; } );
	add(
	    "display name: null buffer", FF_GET_PARAMETER_DISPLAY_NAME, Who::kLive,
	    []( Records& r ) {
		    r.As< GetStringStruct >()->stringBuffer = nullptr;
		    r.As< GetStringStruct >()->maxToWrite |= 1u;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kFail );

	// Out-of-range indices, and numbers whose high half carries junk (only the low half counts).
	for( Who who : { Who::kNone, Who::kLive } )
	{
		add(
		    "index 4", FF_GET_PARAMETER_NAME, who, []( Records& ) { return HostNumber( 4 ); }, Expect::kNull );
		add( "random index", FF_GET_PARAMETER_NAME, who, badIndex, Expect::kNull );
		add(
		    "index 0xFFFFFFFF", FF_GET_PARAMETER_NAME, who, []( Records& ) { return HostNumber( 0xFFFFFFFFu ); },
		    Expect::kNull );
		add( "random index", FF_GET_PARAMETER_DEFAULT, who, badIndex, Expect::kFail );
		add(
		    "index 2, junk high half", FF_GET_PARAMETER_DEFAULT, who,
		    []( Records& ) { return HostNumber( 2, 0xDEADBEEF ); }, Expect::kValue, kFloatHalf );
		add( "random index", FF_GET_PARAMETER_TYPE, who, badIndex, Expect::kFail );
		add( "random index", FF_GET_NUM_PARAMETER_ELEMENTS, who, badIndex, Expect::kFail );
		add( "random index", FF_GET_PARAMETER_USAGE, who, badIndex, Expect::kFail );
		add( "random index", FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, who, badIndex, Expect::kValue, 0 );
		add( "random index", FF_GET_PARAMETER_VISIBILITY, who, badIndex, Expect::kFail );
		add( "random index", FF_GET_NUM_ELEMENT_SEPARATORS, who, badIndex, Expect::kValue, 0 );
		add(
		    "random capability", FF_GET_PLUGIN_CAPS, who,
		    []( Records& r ) { return HostNumber( r.BadIndex() | 0x100 ); }, Expect::kValue, 0 );
		add(
		    "capability 16, junk high half", FF_ENABLE_PLUGIN_CAP, who,
		    []( Records& ) { return HostNumber( 16, 0xFFFFFFFF ); }, Expect::kFail );
	}
	add( "random index", FF_GET_PARAMETER_DISPLAY, Who::kLive, badIndex, Expect::kNull );
	add( "random index", FF_GET_PARAMETER, Who::kLive, badIndex, Expect::kValue, kFloatZero );
	add(
	    "input 1 of a one-input effect", FF_GET_INPUT_STATUS, Who::kLive, []( Records& ) { return HostNumber( 1 ); },
	    Expect::kFail );
	add( "random input number", FF_GET_INPUT_STATUS, Who::kLive, badIndex, Expect::kFail );
	add( "random rate", FF_SET_SAMPLERATE, Who::kLive, badIndex, Expect::kSuccess );

	// Codes that do nothing here, and codes beyond the standard.
	for( uint32_t code : { 1u,  3u,  11u, 12u, 14u, 24u,  25u,   26u,         27u,         28u,        29u,
	                       30u, 52u, 53u, 60u, 61u, 255u, 1000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu } )
	{
		add( "unused or unknown code", code, Who::kNone, random, Expect::kFail );
		add( "unused or unknown code", code, Who::kLive, random, Expect::kFail );
	}

	// Instance 0 where an instance is needed (the records themselves are valid).
	add( "no instance", FF_GET_PARAMETER_DISPLAY, Who::kNone, none, Expect::kFailurePointer );
	add(
	    "no instance", FF_SET_PARAMETER, Who::kNone,
	    []( Records& r ) {
		    r.As< SetParameterStruct >()->ParameterNumber = 1;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kFail );
	add( "no instance", FF_GET_PARAMETER, Who::kNone, none, Expect::kFail );
	add( "no instance", FF_GET_INPUT_STATUS, Who::kNone, none, Expect::kFail );
	add(
	    "no instance", FF_PROCESS_OPENGL, Who::kNone,
	    []( Records& r ) {
		    r.As< ProcessOpenGLStruct >()->numInputTextures = 0;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kFail );
	add( "no instance", FF_DEINSTANTIATE_GL, Who::kNone, none, Expect::kFail );
	add( "no instance", FF_SET_TIME, Who::kNone, random, Expect::kFail );
	add( "no instance", FF_CONNECT, Who::kNone, none, Expect::kFail );
	add( "no instance", FF_DISCONNECT, Who::kNone, none, Expect::kFail );
	add( "no instance", FF_RESIZE, Who::kNone, random, Expect::kFail );
	add( "no instance", FF_SET_PARAMETER_ELEMENT_VALUE, Who::kNone, random, Expect::kFail );
	add( "no instance", FF_SET_BEATINFO, Who::kNone, random, Expect::kFail );
	add(
	    "no instance", FF_SET_HOSTINFO, Who::kNone,
	    []( Records& r ) {
		    r.As< SetHostinfoStruct >()->name    = "host";
		    r.As< SetHostinfoStruct >()->version = "1";
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kFail );
	add( "no instance", FF_SET_SAMPLERATE, Who::kNone, none, Expect::kFail );
	add(
	    "no instance", FF_GET_PARAMETER_EVENTS, Who::kNone,
	    []( Records& r ) {
		    r.As< GetParamEventsStruct >()->events = nullptr;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kFail );
	add(
	    "no instance", FF_GET_PARAMETER_DISPLAY_NAME, Who::kNone,
	    []( Records& r ) {
		    r.As< GetStringStruct >()->stringBuffer = r.text;
		    r.As< GetStringStruct >()->maxToWrite   = 16;
		    return MixedFromPointer( r.bytes );
	    },
	    Expect::kFail );
	return rows;
}
} // namespace

class BadInputTest : public EffectTest
{
protected:
	void SetUp() override
	{
		UseScenario( { "bad_input", true, false, true, nullptr } );
		if( IsSkipped() || HasFatalFailure() )
			return;
		baselineObjects = RuntimeLiveObjects();
		picture         = Split( 32, 16 );
		other           = MakePicture( 32, 16, []( int, int ) { return kBackdrop; } );
		target          = MakeTarget( 32, 16 );
		baselineNames   = ffglhost::TakeGLNameCensus();
	}
	void TearDown() override
	{
		EffectTest::TearDown();
		if( target.framebuffer == 0 )
			return;
		// Every instance of the test is gone: nothing of the plug-in may be left in GL or the runtime.
		EXPECT_EQ( baselineObjects, RuntimeLiveObjects() );
		EXPECT_EQ( "", ffglhost::NamesLeftBehind( baselineNames, ffglhost::TakeGLNameCensus() ) );
		DeleteTarget( target );
	}

	// A few frames of one bad frame record on a fresh instance with its engine running; the results.
	// Bad sizes make a set-up fail, which latches until the instance ends; other bad frames must not
	// stop the mattes of good frames after them.
	std::vector< FFResult > Frames( const std::function< void( ProcessOpenGLStruct&, FFGLTextureStruct& ) >& spoil,
	                                bool recovers = true, int count = 3 )
	{
		std::vector< FFResult > results;
		FFInstanceID instance = InstantiateUnsmoothed();
		if( !instance )
			return results;
		EXPECT_EQ( FF_SUCCESS, Frame( instance, picture, target ) ); // the engine is ready from here on
		for( int i = 0; i < count; ++i )
		{
			FrameRecord frame( picture, target.framebuffer );
			spoil( frame.record, frame.texture );
			results.push_back( Frame( instance, frame.record, target ) );
		}
		int matted = 0;
		for( int i = 0; i < 3; ++i )
			matted += Matted( instance, picture, target ) ? 1 : 0;
		if( recovers )
		{
			EXPECT_LE( 2, matted ) << "good frames after the bad ones lost their matte";
		}
		glBindFramebuffer( GL_FRAMEBUFFER, 0 );
		Deinstantiate( instance );
		return results;
	}

	int baselineObjects = 0;
	ffglhost::GLNameCensus baselineNames;
	Picture picture;
	Picture other;
	TestTarget target;
};

TEST_F( BadInputTest, EveryRowGetsItsDocumentedResult )
{
	FFInstanceID live = Instantiate();
	ASSERT_NE( nullptr, live );
	Records records;
	const std::vector< Row > rows = Table();
	int tried                     = 0;
	for( const Row& row : rows )
	{
		records.Refill();
		const FFMixed input  = row.input( records );
		const FFMixed result = Call( row.code, input, row.who == Who::kLive ? live : nullptr );
		EXPECT_TRUE( Matches( row, result ) ) << ( row.who == Who::kLive ? "live instance" : "no instance" );
		if( row.written )
		{
			EXPECT_TRUE( row.written( records ) )
			    << "code " << row.code << " (" << row.what << ") wrote the wrong record";
		}
		if( row.code == FF_INSTANTIATE_GL && row.expect == Expect::kPointer )
			Deinstantiate( result.PointerValue );
		++tried;
	}
	// The instance still answers after all of it, its parameters back at the defaults.
	const float defaults[ kParameterCount ] = { 1.0f, 0.0f, 0.5f, 0.5f };
	for( uint32_t index = 0; index < kParameterCount; ++index )
		SetParameter( live, index, defaults[ index ] );
	EXPECT_EQ( 0.5f, GetParameter( live, kStability ) );
	Deinstantiate( live );
	std::printf( "bad inputs tried: %d table rows\n", tried );
}

TEST_F( BadInputTest, InstantiationWithRandomViewportsWorks )
{
	Records records;
	for( int i = 0; i < 4; ++i )
	{
		records.Refill();
		void* instance = Call( FF_INSTANTIATE_GL, MixedFromPointer( records.bytes ) ).PointerValue;
		ASSERT_NE( nullptr, instance );
		ASSERT_NE( FF_FAIL_POINTER_VALUE, reinterpret_cast< uintptr_t >( instance ) );
		Deinstantiate( instance );
	}
}

TEST_F( BadInputTest, BadTexturesAreDrawnWithoutHarm )
{
	const std::vector< FFResult > ok( 3, FF_SUCCESS );
	GLuint buffer = 0;
	glGenBuffers( 1, &buffer );
	glBindBuffer( GL_ARRAY_BUFFER, buffer );
	glBindBuffer( GL_ARRAY_BUFFER, 0 );
	const GLuint notATexture = buffer;
	baselineNames            = ffglhost::TakeGLNameCensus();

	EXPECT_EQ( ok, Frames( []( ProcessOpenGLStruct&, FFGLTextureStruct& t ) {
		           t.HardwareWidth  = t.Width / 2;
		           t.HardwareHeight = 1;
	           } ) )
	    << "HardwareWidth below Width";
	EXPECT_EQ( ok, Frames( []( ProcessOpenGLStruct&, FFGLTextureStruct& t ) {
		           t.HardwareWidth  = 0;
		           t.HardwareHeight = 0;
	           } ) )
	    << "HardwareWidth 0";
	EXPECT_EQ( ok, Frames( []( ProcessOpenGLStruct&, FFGLTextureStruct& t ) { t.Handle = 0; } ) ) << "handle 0";
	EXPECT_EQ( ok, Frames( [ notATexture ]( ProcessOpenGLStruct&, FFGLTextureStruct& t ) { t.Handle = notATexture; } ) )
	    << "a buffer's name as the handle";
	EXPECT_EQ( ok, Frames( []( ProcessOpenGLStruct&, FFGLTextureStruct& t ) { t.Handle = 3999; } ) )
	    << "a name never made";
	EXPECT_EQ( ok, Frames(
	                   []( ProcessOpenGLStruct&, FFGLTextureStruct& t ) {
		                   t.Width  = 0;
		                   t.Height = 0;
	                   },
	                   false ) )
	    << "size 0";
	EXPECT_EQ( ok, Frames(
	                   []( ProcessOpenGLStruct&, FFGLTextureStruct& t ) {
		                   t.Width  = 0xFFFFFFFFu;
		                   t.Height = 0x80000000u;
	                   },
	                   false ) )
	    << "sizes negative as int32";
	EXPECT_EQ( ok, Frames(
	                   []( ProcessOpenGLStruct&, FFGLTextureStruct& t ) {
		                   t.Width  = 1;
		                   t.Height = 40000;
	                   },
	                   false ) )
	    << "a picture 1 pixel wide";
	EXPECT_EQ( ok, Frames( []( ProcessOpenGLStruct& frame, FFGLTextureStruct& ) { frame.HostFBO = 3999; } ) )
	    << "a HostFBO that does not exist";
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	glDeleteBuffers( 1, &buffer );
	baselineNames = ffglhost::TakeGLNameCensus();
}

TEST_F( BadInputTest, InputsBeyondTheFirstAreNeitherCheckedNorRead )
{
	const std::vector< FFResult > ok( 3, FF_SUCCESS );
	FFGLTextureStruct second = other.info;
	// A second input and a null third: the effect reads input 0 alone and draws as usual.
	EXPECT_EQ( ok, Frames( [ &second ]( ProcessOpenGLStruct& frame, FFGLTextureStruct& ) {
		           static FFGLTextureStruct* inputs[ 3 ];
		           inputs[ 0 ]            = frame.inputTextures[ 0 ];
		           inputs[ 1 ]            = &second;
		           inputs[ 2 ]            = nullptr;
		           frame.inputTextures    = inputs;
		           frame.numInputTextures = 3;
	           } ) );
	// A count far beyond the one-entry array: nothing past it is read (the sanitizer build sees any overrun).
	EXPECT_EQ(
	    ok, Frames( []( ProcessOpenGLStruct& frame, FFGLTextureStruct& ) { frame.numInputTextures = 0xFFFFFFFFu; } ) );
}

TEST_F( BadInputTest, LogCallbackRemovedWhileInstancesRun )
{
	void* library = FindLoadedLibrary( DynamicLibraryFileName( "Umbrafex_TAVLEN" ).c_str() );
	auto setLogCallback =
	    DynamicLibraryFunction< void ( * )( void ( * )( const char* ) ) >( library, "SetLogCallback" );
	ASSERT_NE( nullptr, setLogCallback );
	FFInstanceID first = Instantiate();
	ASSERT_NE( nullptr, first );
	setLogCallback( nullptr );
	// Both of these log (a creation, an engine set-up) with no callback to take the lines.
	FFInstanceID second = Instantiate();
	ASSERT_NE( nullptr, second );
	SetParameter( first, kStability, 0.0f );
	SetParameter( second, kStability, 0.0f );
	EXPECT_FALSE( Matted( first, picture, target ) );
	EXPECT_FALSE( Matted( second, picture, target ) );
	EXPECT_TRUE( Matted( first, picture, target ) );
	Deinstantiate( first );
	static std::vector< std::string > later;
	setLogCallback( []( const char* text ) { later.push_back( text ); } );
	EXPECT_TRUE( Matted( second, picture, target ) );
	SetParameter( second, kQuality, 0.0f );
	EXPECT_FALSE( Matted( second, picture, target ) );
	Deinstantiate( second );
	EXPECT_EQ( std::vector< std::string >{ "Umbrafex: NvVFX AI Green Screen charge (v2 async)" }, later );
	EXPECT_EQ( std::vector< std::string >{ kCreatedLine }, Lines() );
}
