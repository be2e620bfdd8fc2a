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
enum class Kind
{
	kSuccess,        // low half 0
	kFail,           // low half 0xFFFFFFFF
	kNull,           // the 64-bit value 0
	kFailurePointer, // the 64-bit value 0x00000000FFFFFFFF
	kValue           // low half equals the row's value
};
struct Expect
{
	Kind kind;
	uint32_t value;
};
const Expect kSuccess = { Kind::kSuccess, 0 }, kFail = { Kind::kFail, 0 }, kNull = { Kind::kNull, 0 },
             kFailurePointer = { Kind::kFailurePointer, 0 };
Expect Value( uint32_t value )
{
	return { Kind::kValue, value };
}
const uint32_t kFloatHalf = 0x3F000000, kFloatZero = 0; // 0.5f, 0.f

enum Who
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

using Input   = std::function< FFMixed( Records& ) >;
using Written = std::function< bool( Records& ) >;

// The record of random bytes as a T, some of its fields set by fill, passed by address.
template< typename T >
Input Record( std::function< void( T&, Records& ) > fill )
{
	return [ fill ]( Records& r ) {
		fill( *r.As< T >(), r );
		return MixedFromPointer( r.bytes );
	};
}
template< typename T >
Input Record( std::function< void( T& ) > fill )
{
	return Record< T >( [ fill ]( T& record, Records& ) { fill( record ); } );
}
// The record naming parameter number, or a random number no table holds.
template< typename T >
Input Numbered( uint32_t number )
{
	return Record< T >( [ number ]( T& record ) { record.ParameterNumber = number; } );
}
template< typename T >
Input BadNumber()
{
	return Record< T >( []( T& record, Records& r ) { record.ParameterNumber = r.BadIndex(); } );
}
// The record naming parameter number and a random odd element, beyond the count.
template< typename T >
Input BeyondElements( uint32_t number )
{
	return Record< T >( [ number ]( T& record ) {
		record.ParameterNumber = number;
		record.ElementNumber |= 1u;
	} );
}
// A text query into no buffer (a random odd room), or into the 64-byte text with room for max.
Input NullBuffer()
{
	return Record< GetStringStruct >( []( GetStringStruct& query ) {
		query.stringBuffer = nullptr;
		query.maxToWrite |= 1u;
	} );
}
Input IntoText( uint32_t max )
{
	return Record< GetStringStruct >( [ max ]( GetStringStruct& query, Records& r ) {
		query.stringBuffer = r.text;
		query.maxToWrite   = max;
	} );
}
// A number as a host sends it (HostNumber's junk high half unless one is given).
template< typename... High >
Input Number( uint32_t value, High... high )
{
	return [ = ]( Records& ) { return HostNumber( value, high... ); };
}
// A check of the record as a T after the call.
template< typename T >
Written Check( std::function< bool( const T& ) > check )
{
	return [ check ]( Records& r ) { return check( *r.As< T >() ); };
}

struct Row
{
	const char* what;
	uint32_t code;
	Who who;
	Expect expect;
	Input input;
	// A check of what the call wrote into the record; empty when there is nothing to check.
	Written written;
};

::testing::AssertionResult Matches( const Row& row, FFMixed result )
{
	const uintptr_t all = reinterpret_cast< uintptr_t >( result.PointerValue );
	const bool ok       = row.expect.kind == Kind::kSuccess          ? result.UIntValue == FF_SUCCESS
	                      : row.expect.kind == Kind::kFail           ? result.UIntValue == FF_FAIL
	                      : row.expect.kind == Kind::kNull           ? all == 0
	                      : row.expect.kind == Kind::kFailurePointer ? all == FF_FAIL_POINTER_VALUE
	                                                                 : result.UIntValue == row.expect.value;
	if( ok )
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure() << "code " << row.code << " (" << row.what << ") answered 0x" << std::hex
	                                     << all;
}

std::vector< Row > Table()
{
	const Input none     = Number( 0 );
	const Input null     = []( Records& ) { return MixedFromPointer( nullptr ); };
	const Input random   = []( Records& r ) { return MixedFromPointer( r.bytes ); };
	const Input badIndex = []( Records& r ) { return HostNumber( r.BadIndex() ); };
	std::vector< Row > rows;
	auto add = [ &rows ]( const char* what, uint32_t code, Who who, Expect expect, Input input,
	                      Written written = nullptr ) {
		rows.push_back( { what, code, who, expect, std::move( input ), std::move( written ) } );
	};

	// Null records, for every code that reads one: the codes answering a text answer null, instantiation
	// the failure pointer, the others FF_FAIL.
	for( uint32_t code : { FF_SET_PARAMETER, FF_PROCESS_OPENGL, FF_INSTANTIATE_GL, FF_SET_TIME, FF_RESIZE,
	                       FF_GET_PARAMETER_ELEMENT_NAME, FF_GET_PARAMETER_ELEMENT_VALUE,
	                       FF_SET_PARAMETER_ELEMENT_VALUE, FF_SET_BEATINFO, FF_SET_HOSTINFO, FF_GET_RANGE,
	                       FF_GET_THUMBNAIL, FF_GET_FILE_PARAMETER_EXTENSION, FF_GET_PARAMETER_EVENTS,
	                       FF_GET_SEPARATOR_ELEMENT_INDEX, FF_GET_PARAMETER_GROUP, FF_GET_PARAMETER_DISPLAY_NAME } )
	{
		const bool text     = code == FF_GET_PARAMETER_ELEMENT_NAME || code == FF_GET_FILE_PARAMETER_EXTENSION;
		const Expect expect = text ? kNull : code == FF_INSTANTIATE_GL ? kFailurePointer : kFail;
		add( "null record, no instance", code, kNone, expect, null );
		if( code != FF_INSTANTIATE_GL )
			add( "null record, live instance", code, kLive, expect, null );
	}

	// Records of random numbers; pointer fields null or pointing at real storage of the stated size.
	add( "random parameter number", FF_SET_PARAMETER, kLive, kFail, BadNumber< SetParameterStruct >() );
	add( "random float bits for Stability", FF_SET_PARAMETER, kLive, kSuccess, Numbered< SetParameterStruct >( 2 ) );
	add( "random input count, null textures", FF_PROCESS_OPENGL, kLive, kFail,
	     Record< ProcessOpenGLStruct >( []( auto& frame ) {
		     frame.inputTextures = nullptr;
		     frame.numInputTextures |= 1u;
	     } ) );
	add( "no input texture", FF_PROCESS_OPENGL, kLive, kFail, Record< ProcessOpenGLStruct >( []( auto& frame ) {
		     frame.inputTextures    = nullptr;
		     frame.numInputTextures = 0;
	     } ) );
	add( "random viewport", FF_RESIZE, kLive, kSuccess, random );
	add( "random time (any double)", FF_SET_TIME, kLive, kSuccess, random );
	for( Who who : { kNone, kLive } )
	{
		add( "random element query", FF_GET_PARAMETER_ELEMENT_NAME, who, kNull, BadNumber< ParameterElementStruct >() );
		add( "element number beyond the count", FF_GET_PARAMETER_ELEMENT_NAME, who, kNull,
		     BeyondElements< ParameterElementStruct >( 0 ) );
		add( "random element query", FF_GET_PARAMETER_ELEMENT_VALUE, who, kFail,
		     BadNumber< ParameterElementStruct >() );
		add( "random range query", FF_GET_RANGE, who, kSuccess, BadNumber< GetRangeStruct >(),
		     Check< GetRangeStruct >( []( auto& range ) { return range.min == 0.f && range.max == 1.f; } ) );
		add( "random thumbnail record", FF_GET_THUMBNAIL, who, kFail,
		     Record< GetThumbnailStruct >( []( auto& t ) { t.rgbaPixelBuffer = nullptr; } ),
		     Check< GetThumbnailStruct >( []( auto& t ) { return t.width == 0 && t.height == 0; } ) );
		add( "random extension query", FF_GET_FILE_PARAMETER_EXTENSION, who, kNull, random );
		add( "random separator query", FF_GET_SEPARATOR_ELEMENT_INDEX, who, kFail, random );
		add( "group: random number, null buffer", FF_GET_PARAMETER_GROUP, who, kFail, NullBuffer() );
		add( "group: random number, maxToWrite 0", FF_GET_PARAMETER_GROUP, who, kFail, IntoText( 0 ) );
	}
	add( "random element value, random numbers", FF_SET_PARAMETER_ELEMENT_VALUE, kLive, kFail,
	     BadNumber< SetParameterElementValueStruct >() );
	add( "element number beyond the count", FF_SET_PARAMETER_ELEMENT_VALUE, kLive, kFail,
	     BeyondElements< SetParameterElementValueStruct >( 1 ) );
	add( "random bpm and phase", FF_SET_BEATINFO, kLive, kSuccess, random );
	add( "host texts null", FF_SET_HOSTINFO, kLive, kSuccess, Record< SetHostinfoStruct >( []( auto& host ) {
		     host.name    = nullptr;
		     host.version = nullptr;
	     } ) );
	add( "events null, random count", FF_GET_PARAMETER_EVENTS, kLive, kSuccess,
	     Record< GetParamEventsStruct >( []( auto& query ) { query.events = nullptr; } ),
	     Check< GetParamEventsStruct >( []( auto& query ) { return query.numEvents == 0; } ) );
	add( "events of room 4", FF_GET_PARAMETER_EVENTS, kLive, kSuccess,
	     Record< GetParamEventsStruct >( []( auto& query, Records& r ) {
		     query.events    = r.events;
		     query.numEvents = 4;
	     } ),
	     []( Records& r ) {
		     return r.As< GetParamEventsStruct >()->numEvents == 0 && r.events[ 0 ].ParameterNumber == 0x5A5A5A5A;
	     } );
	add( "display name: random number into 64 bytes", FF_GET_PARAMETER_DISPLAY_NAME, kLive, kSuccess,
	     Record< GetStringStruct >( []( auto& query, Records& r ) {
		     query.stringBuffer = r.text;
		     query.maxToWrite   = 1 + query.maxToWrite % sizeof( r.text );
	     } ),
	     []( Records& r ) { return r.text[ 0 ] == '#'; } );
	add( "display name: null buffer", FF_GET_PARAMETER_DISPLAY_NAME, kLive, kFail, NullBuffer() );

	// Out-of-range indices, and numbers whose high half carries junk (only the low half counts).
	for( Who who : { kNone, kLive } )
	{
		add( "index 4", FF_GET_PARAMETER_NAME, who, kNull, Number( 4 ) );
		add( "random index", FF_GET_PARAMETER_NAME, who, kNull, badIndex );
		add( "index 0xFFFFFFFF", FF_GET_PARAMETER_NAME, who, kNull, Number( 0xFFFFFFFFu ) );
		add( "random index", FF_GET_PARAMETER_DEFAULT, who, kFail, badIndex );
		add( "index 2, junk high half", FF_GET_PARAMETER_DEFAULT, who, Value( kFloatHalf ), Number( 2, 0xDEADBEEF ) );
		add( "random index", FF_GET_PARAMETER_TYPE, who, kFail, badIndex );
		add( "random index", FF_GET_NUM_PARAMETER_ELEMENTS, who, kFail, badIndex );
		add( "random index", FF_GET_PARAMETER_USAGE, who, kFail, badIndex );
		add( "random index", FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, who, Value( 0 ), badIndex );
		add( "random index", FF_GET_PARAMETER_VISIBILITY, who, kFail, badIndex );
		add( "random index", FF_GET_NUM_ELEMENT_SEPARATORS, who, Value( 0 ), badIndex );
		add( "random capability", FF_GET_PLUGIN_CAPS, who, Value( 0 ),
		     []( Records& r ) { return HostNumber( r.BadIndex() | 0x100 ); } );
		add( "capability 16, junk high half", FF_ENABLE_PLUGIN_CAP, who, kFail, Number( 16, 0xFFFFFFFF ) );
	}
	add( "random index", FF_GET_PARAMETER_DISPLAY, kLive, kNull, badIndex );
	add( "random index", FF_GET_PARAMETER, kLive, Value( kFloatZero ), badIndex );
	add( "input 1 of a one-input effect", FF_GET_INPUT_STATUS, kLive, kFail, Number( 1 ) );
	add( "random input number", FF_GET_INPUT_STATUS, kLive, kFail, badIndex );
	add( "random rate", FF_SET_SAMPLERATE, kLive, kSuccess, badIndex );

	// Codes that do nothing here, and codes beyond the standard.
	for( uint32_t code : { 1u,  3u,  11u, 12u, 14u, 24u,  25u,   26u,         27u,         28u,        29u,
	                       30u, 52u, 53u, 60u, 61u, 255u, 1000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu } )
	{
		add( "unused or unknown code", code, kNone, kFail, random );
		add( "unused or unknown code", code, kLive, kFail, random );
	}

	// Instance 0 where an instance is needed (the records themselves are valid).
	add( "no instance", FF_GET_PARAMETER_DISPLAY, kNone, kFailurePointer, none );
	add( "no instance", FF_SET_PARAMETER, kNone, kFail, Numbered< SetParameterStruct >( 1 ) );
	add( "no instance", FF_GET_PARAMETER, kNone, kFail, none );
	add( "no instance", FF_GET_INPUT_STATUS, kNone, kFail, none );
	add( "no instance", FF_PROCESS_OPENGL, kNone, kFail,
	     Record< ProcessOpenGLStruct >( []( auto& frame ) { frame.numInputTextures = 0; } ) );
	add( "no instance", FF_DEINSTANTIATE_GL, kNone, kFail, none );
	add( "no instance", FF_SET_TIME, kNone, kFail, random );
	add( "no instance", FF_CONNECT, kNone, kFail, none );
	add( "no instance", FF_DISCONNECT, kNone, kFail, none );
	add( "no instance", FF_RESIZE, kNone, kFail, random );
	add( "no instance", FF_SET_PARAMETER_ELEMENT_VALUE, kNone, kFail, random );
	add( "no instance", FF_SET_BEATINFO, kNone, kFail, random );
	add( "no instance", FF_SET_HOSTINFO, kNone, kFail, Record< SetHostinfoStruct >( []( auto& host ) {
		     host.name    = "host";
		     host.version = "1";
	     } ) );
	add( "no instance", FF_SET_SAMPLERATE, kNone, kFail, none );
	add( "no instance", FF_GET_PARAMETER_EVENTS, kNone, kFail,
	     Record< GetParamEventsStruct >( []( auto& query ) { query.events = nullptr; } ) );
	add( "no instance", FF_GET_PARAMETER_DISPLAY_NAME, kNone, kFail, IntoText( 16 ) );
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
	for( const Row& row : rows )
	{
		records.Refill();
		const FFMixed input  = row.input( records );
		const FFMixed result = Call( row.code, input, row.who == kLive ? live : nullptr );
		EXPECT_TRUE( Matches( row, result ) ) << ( row.who == kLive ? "live instance" : "no instance" );
		if( row.written )
		{
			EXPECT_TRUE( row.written( records ) )
			    << "code " << row.code << " (" << row.what << ") wrote the wrong record";
		}
	}
	// The instance still answers after all of it, its parameters back at the defaults.
	const float defaults[ kParameterCount ] = { 1.0f, 0.0f, 0.5f, 0.5f };
	for( uint32_t index = 0; index < kParameterCount; ++index )
		SetParameter( live, index, defaults[ index ] );
	EXPECT_EQ( 0.5f, GetParameter( live, kStability ) );
	Deinstantiate( live );
	std::printf( "bad inputs tried: %zu table rows\n", rows.size() );
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
	baselineNames = ffglhost::TakeGLNameCensus();
	// The input's texture record spoilt: its allocation, its handle or the picture's size.
	auto hardware = []( uint32_t w, uint32_t h ) {
		return [ = ]( ProcessOpenGLStruct&, FFGLTextureStruct& t ) { t = { t.Width, t.Height, w, h, t.Handle }; };
	};
	auto handle = []( GLuint name ) {
		return [ = ]( ProcessOpenGLStruct&, FFGLTextureStruct& t ) { t.Handle = name; };
	};
	auto size = []( uint32_t w, uint32_t h ) {
		return [ = ]( ProcessOpenGLStruct&, FFGLTextureStruct& t ) {
			t = { w, h, t.HardwareWidth, t.HardwareHeight, t.Handle };
		};
	};

	EXPECT_EQ( ok, Frames( hardware( picture.info.Width / 2, 1 ) ) ) << "HardwareWidth below Width";
	EXPECT_EQ( ok, Frames( hardware( 0, 0 ) ) ) << "HardwareWidth 0";
	EXPECT_EQ( ok, Frames( handle( 0 ) ) ) << "handle 0";
	EXPECT_EQ( ok, Frames( handle( buffer ) ) ) << "a buffer's name as the handle";
	EXPECT_EQ( ok, Frames( handle( 3999 ) ) ) << "a name never made";
	EXPECT_EQ( ok, Frames( size( 0, 0 ), false ) ) << "size 0";
	EXPECT_EQ( ok, Frames( size( 0xFFFFFFFFu, 0x80000000u ), false ) ) << "sizes negative as int32";
	EXPECT_EQ( ok, Frames( size( 1, 40000 ), false ) ) << "a picture 1 pixel wide";
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
