// Without the NVIDIA runtime: the product still registers, declares its parameters and passes every
// frame through unchanged, with one line per GL life of an instance.
#include "tests/effect/effect_host.h"

#include <cstring>

class AbsentTest : public EffectTest
{
protected:
	void SetUp() override { UseScenario( { "absent", false, false, true, nullptr } ); }
};

TEST_F( AbsentTest, EveryFramePassesThroughAndTheFailureIsLoggedOncePerGLLife )
{
	const char* const absentLine = "Umbrafex: NvVFX_CreateEffect failed (runtime NVIDIA Video Effects absent ?)";
	auto colour                  = []( int x, int y ) {
        return Rgba{ uint8_t( x * 8 ), uint8_t( y * 16 ), uint8_t( 255 - x * 8 ), uint8_t( 128 + y ) };
	};
	const Picture input = MakePicture( 32, 16, colour );
	const ScopedTarget target( MakeTarget( 32, 16 ) );
	for( int life = 0; life < 2; ++life )
	{
		FFInstanceID instance = Instantiate();
		ASSERT_NE( nullptr, instance );
		for( int frame = 0; frame < 3; ++frame )
		{
			ASSERT_EQ( FF_SUCCESS, Frame( instance, input, target ) );
			const Output out = ReadOutput( target );
			for( int y = 0; y < 16; ++y )
				for( int x = 0; x < 32; ++x )
					ASSERT_TRUE( Near( colour( x, y ), out.At( x, y ), 0 ) ) << x << ", " << y;
		}
		Deinstantiate( instance );
	}
	EXPECT_EQ( ( std::vector< std::string >{ kCreatedLine, absentLine, kCreatedLine, absentLine } ), Lines() );
}

TEST_F( AbsentTest, RegistrationAndParameters )
{
	const PluginInfoStruct* info = static_cast< const PluginInfoStruct* >( Call( FF_GET_INFO ).PointerValue );
	ASSERT_NE( nullptr, info );
	EXPECT_EQ( 2u, info->APIMajorVersion );
	EXPECT_EQ( 1u, info->APIMinorVersion );
	EXPECT_EQ( 0, std::memcmp( info->PluginUniqueID, "TVUF", 4 ) );
	EXPECT_EQ( 0, std::memcmp( info->PluginName, "Umbra Fex TAVLEN", 16 ) );
	EXPECT_EQ( FF_EFFECT, info->PluginType );
	const PluginExtendedInfoStruct* extended =
	    static_cast< const PluginExtendedInfoStruct* >( Call( FF_GET_EXTENDED_INFO ).PointerValue );
	ASSERT_NE( nullptr, extended );
	EXPECT_EQ( 1u, extended->PluginMajorVersion );
	EXPECT_EQ( 1u, extended->PluginMinorVersion );
	EXPECT_STREQ( "Detourage IA de silhouette (NVIDIA AI Green Screen) - fond transparent sans fond vert",
	              extended->Description );
	EXPECT_STREQ( "TAVLEN / NVIDIA Maxine", extended->About );

	EXPECT_EQ( 4u, MixedLowBits( Call( FF_GET_NUM_PARAMETERS ) ) );
	const char* names[ kParameterCount ] = { "Quality", "Show Mask", "Stability", "Edge Hard" };
	const uint32_t types[]               = { FF_TYPE_BOOLEAN, FF_TYPE_BOOLEAN, FF_TYPE_STANDARD, FF_TYPE_STANDARD };
	const uint32_t defaults[]            = { 0x3F800000u, 0u, 0x3F000000u, 0x3F000000u };
	for( uint32_t i = 0; i < 4; ++i )
	{
		EXPECT_STREQ( names[ i ], static_cast< const char* >( Call( FF_GET_PARAMETER_NAME, i ).PointerValue ) );
		EXPECT_EQ( types[ i ], MixedLowBits( Call( FF_GET_PARAMETER_TYPE, i ) ) );
		EXPECT_EQ( defaults[ i ], MixedLowBits( Call( FF_GET_PARAMETER_DEFAULT, i ) ) );
	}
	EXPECT_EQ( 1u, MixedLowBits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_MINIMUM_INPUT_FRAMES ) ) );
	EXPECT_EQ( 1u, MixedLowBits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_MAXIMUM_INPUT_FRAMES ) ) );
	EXPECT_EQ( 0u, MixedLowBits( Call( FF_GET_PLUGIN_CAPS, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ) ) );

	// Values are stored as the host sends them, none clamped; an unknown index fails and reads 0.
	FFInstanceID instance                       = Instantiate();
	const float expected[ kParameterCount + 1 ] = { 1.0f, 0.0f, 0.5f, 0.5f, 0.0f };
	for( uint32_t i = 0; i <= kParameterCount; ++i )
		EXPECT_EQ( expected[ i ], GetParameter( instance, i ) ) << i;
	EXPECT_EQ( FF_FAIL, SetParameter( instance, kParameterCount, 0.3f ) );
	EXPECT_EQ( 0.0f, GetParameter( instance, kParameterCount ) );
	const float stored[ kParameterCount ] = { -3.0f, 7.5f, 1.7f, -0.25f };
	for( uint32_t i = 0; i < kParameterCount; ++i )
	{
		EXPECT_EQ( FF_SUCCESS, SetParameter( instance, i, stored[ i ] ) );
		EXPECT_EQ( stored[ i ], GetParameter( instance, i ) ) << i;
	}
}
