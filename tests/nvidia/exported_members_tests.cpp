// The members of NvCVImage and NvCV_GetErrorStringFromCode, looked up by name in a built plug-in
// library and called as a program holding only the vendor's header would call them.
#include "nvidia/nvcv_types.h"
#include "tests/nvidia/runtime_layout.h"
#include "tests/support/scope_end.h"
#include "tests/support/test_process.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace
{
// A descriptor as raw bytes: the test reads it by the published offsets, not through our class.
struct alignas( 8 ) Record
{
	unsigned char bytes[ 64 ];
	Record() { std::memset( bytes, 0xAB, sizeof( bytes ) ); }
	template< typename T >
	T At( size_t offset ) const
	{
		T value;
		std::memcpy( &value, bytes + offset, sizeof( T ) );
		return value;
	}
	uint32_t Width() const { return At< uint32_t >( 0 ); }
	uint32_t Height() const { return At< uint32_t >( 4 ); }
	int32_t Pitch() const { return At< int32_t >( 8 ); }
	uint8_t* Pixels() const { return At< uint8_t* >( 32 ); }
	bool AllZero() const
	{
		return std::all_of( bytes, bytes + sizeof( bytes ), []( unsigned char b ) { return b == 0; } );
	}
};

// The members as looked up. A constructor answers `this` under Microsoft's rules and nothing under
// GCC's, so its answer is read only for Microsoft's names.
struct Members
{
	Record* ( *construct )( Record* );
	Record* ( *constructAllocated )( Record*, unsigned, unsigned, int, int, unsigned, unsigned, unsigned );
	Record* ( *constructView )( Record*, Record*, int, int, unsigned, unsigned );
	void ( *destruct )( Record* );
	Record* ( *assign )( Record*, const Record* );
	NvCV_Status ( *copyRect )( Record*, const Record*, int, int, int, int, unsigned, unsigned, CUstream_st* );
	NvCV_Status ( *copyWhole )( Record*, const Record*, CUstream_st* );
	const char* ( *errorString )( NvCV_Status );
};

// The members' decorated names, in the order of Members: GCC's (Itanium) on both targets, Microsoft's
// in the Windows DLL only.
struct MemberNames
{
	bool microsoft;
	const char* names[ 7 ];
};
const MemberNames kGccNames = {
	false,
	{ "_ZN9NvCVImageC1Ev", "_ZN9NvCVImageC1Ejj21NvCVImage_PixelFormat23NvCVImage_ComponentTypejjj",
	  "_ZN9NvCVImageC1EPS_iijj", "_ZN9NvCVImageD1Ev", "_ZN9NvCVImageaSERKS_",
	  "_ZN9NvCVImage8copyFromEPKS_iiiijjP11CUstream_st", "_ZN9NvCVImage8copyFromEPKS_P11CUstream_st" }
};
const MemberNames kMicrosoftNames = {
	true,
	{ "??0NvCVImage@@QEAA@XZ", "??0NvCVImage@@QEAA@IIW4NvCVImage_PixelFormat@@W4NvCVImage_ComponentType@@III@Z",
	  "??0NvCVImage@@QEAA@PEAV0@HHII@Z", "??1NvCVImage@@QEAA@XZ", "??4NvCVImage@@QEAAAEAV0@AEBV0@@Z",
	  "?copyFrom@NvCVImage@@QEAAHPEBV1@HHHHIIPEAUCUstream_st@@@Z",
	  "?copyFrom@NvCVImage@@QEAAHPEBV1@PEAUCUstream_st@@@Z" }
};

bool LookUp( const MemberNames& names, Members& m )
{
	const std::string file = DynamicLibraryFileName( "nvidia_exports_probe" );
	std::string error;
	void* library = LoadDynamicLibrary( JoinPath( JoinPath( TestRoot(), "plugin" ), file ), &error );
	if( !library )
	{
		ADD_FAILURE() << error;
		return false;
	}
	m.construct          = DynamicLibraryFunction< decltype( m.construct ) >( library, names.names[ 0 ] );
	m.constructAllocated = DynamicLibraryFunction< decltype( m.constructAllocated ) >( library, names.names[ 1 ] );
	m.constructView      = DynamicLibraryFunction< decltype( m.constructView ) >( library, names.names[ 2 ] );
	m.destruct           = DynamicLibraryFunction< decltype( m.destruct ) >( library, names.names[ 3 ] );
	m.assign             = DynamicLibraryFunction< decltype( m.assign ) >( library, names.names[ 4 ] );
	m.copyRect           = DynamicLibraryFunction< decltype( m.copyRect ) >( library, names.names[ 5 ] );
	m.copyWhole          = DynamicLibraryFunction< decltype( m.copyWhole ) >( library, names.names[ 6 ] );
	m.errorString = DynamicLibraryFunction< decltype( m.errorString ) >( library, "NvCV_GetErrorStringFromCode" );
	return m.construct && m.constructAllocated && m.constructView && m.destruct && m.assign && m.copyRect &&
	       m.copyWhole && m.errorString;
}

CUstream_st* const kStream = reinterpret_cast< CUstream_st* >( 0x1234 );

// Calls every member under one set of names, with the runtime in place, and checks what reached it.
void CallEachMember( const MemberNames& names, const std::string& log )
{
	RemoveFile( log );
	Members m;
	ASSERT_TRUE( LookUp( names, m ) );

	Record empty, src, dst, view;
	const std::vector< Record* > answers = {
		m.construct( &empty ), m.constructAllocated( &src, 4, 2, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 ),
		m.constructAllocated( &dst, 4, 2, NVCV_BGR, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 ),
		m.constructView( &view, &src, 1, 1, 2, 1 )
	};
	// The test destroys them itself below, for the log; a destroyed record holds nothing, so this
	// second destruction only matters when an assertion ends the test early.
	AtScopeEnd destroy( [ & ] {
		for( Record* record : { &view, &dst, &src, &empty } )
			m.destruct( record );
	} );
	if( names.microsoft )
	{
		EXPECT_EQ( ( std::vector< Record* >{ &empty, &src, &dst, &view } ), answers );
	}
	EXPECT_EQ( nullptr, empty.Pixels() );
	ASSERT_NE( nullptr, src.Pixels() );
	EXPECT_EQ( 4u, src.Width() );
	EXPECT_EQ( 2u, src.Height() );
	EXPECT_EQ( 16, src.Pitch() );
	for( int i = 0; i < 32; ++i )
		src.Pixels()[ i ] = static_cast< uint8_t >( i );
	ASSERT_NE( nullptr, dst.Pixels() );
	EXPECT_EQ( src.Pixels() + 16 + 4, view.Pixels() );

	// Source pixel (1, 0) = RGBA 4 5 6 7 lands at destination (2, 1) as BGR 6 5 4.
	EXPECT_EQ( NVCV_SUCCESS, m.copyRect( &dst, &src, 1, 0, 2, 1, 2, 1, kStream ) );
	const uint8_t* landed = dst.Pixels() + 12 + 2 * 3;
	EXPECT_EQ( 6, landed[ 0 ] );
	EXPECT_EQ( 5, landed[ 1 ] );
	EXPECT_EQ( 4, landed[ 2 ] );
	EXPECT_EQ( NVCV_SUCCESS, m.copyWhole( &dst, &src, kStream ) );
	EXPECT_EQ( 30, dst.Pixels()[ 21 ] ); // pixel (3, 1): RGBA 28 29 30 31 as BGR 30 29 28

	// Assignment copies the whole record, storage and release information included.
	Record copy;
	EXPECT_EQ( &copy, m.assign( &copy, &src ) );
	EXPECT_EQ( 0, std::memcmp( copy.bytes, src.bytes, sizeof( copy.bytes ) ) );

	EXPECT_STREQ( "images do not match", m.errorString( NVCV_ERR_MISMATCH ) );

	for( Record* record : { &view, &dst, &src, &empty } )
		m.destruct( record );
	EXPECT_EQ( 0, RuntimeLiveObjects() );

	const std::vector< std::string > expected = {
		"NvCVImage_Alloc " + Hex( &empty ) + " 0 0 0 0 0 0 0",
		"NvCVImage_Alloc " + Hex( &src ) + " 4 2 6 1 0 0 1",
		"NvCVImage_Alloc " + Hex( &dst ) + " 4 2 5 1 0 0 1",
		"NvCVImage_InitView " + Hex( &view ) + " " + Hex( &src ) + " 1 1 2 1",
		"NvCVImage_TransferRect " + Hex( &src ) + " 1,0,2,1 " + Hex( &dst ) + " 2,1 1 0x1234 null",
		"NvCVImage_Transfer " + Hex( &src ) + " " + Hex( &dst ) + " 1 0x1234 null",
		"NvCV_GetErrorStringFromCode -8",
		"NvCVImage_Dealloc " + Hex( &view ),
		"NvCVImage_Dealloc " + Hex( &dst ),
		"NvCVImage_Dealloc " + Hex( &src ),
		"NvCVImage_Dealloc " + Hex( &empty ),
	};
	EXPECT_EQ( expected, LogLines( log ) );
}
}

TEST( ExportedMembers, ReachTheRuntimeWithTheirArguments )
{
	Scenario scenario = PrepareScenario( "ExportedMembers" );
	ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, true, Effects::kNone ) );
	const bool windows = DynamicLibraryFileName( "x" ) == "x.dll";
	for( const MemberNames* names : { &kGccNames, &kMicrosoftNames } )
	{
		SCOPED_TRACE( names->microsoft ? "Microsoft's names" : "GCC's names" );
		if( !names->microsoft || windows )
			CallEachMember( *names, scenario.log );
	}
}

TEST( ExportedMembersRuntimeAbsent, AnswerWithoutTheLibrary )
{
	PrepareScenario( "ExportedMembersRuntimeAbsent" );
	Members m;
	ASSERT_TRUE( LookUp( kGccNames, m ) );

	EXPECT_STREQ( "Cannot find nvCVImage DLL or its dependencies", m.errorString( NVCV_SUCCESS ) );

	// Every constructor leaves an empty record: no storage, and nothing indeterminate.
	Record empty, allocated, view;
	m.construct( &empty );
	m.constructAllocated( &allocated, 4, 2, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 );
	m.constructView( &view, &allocated, 0, 0, 1, 1 );
	EXPECT_TRUE( empty.AllZero() );
	EXPECT_TRUE( allocated.AllZero() );
	EXPECT_TRUE( view.AllZero() );
	EXPECT_EQ( NVCV_ERR_LIBRARY, m.copyWhole( &empty, &allocated, nullptr ) );
	EXPECT_EQ( NVCV_ERR_LIBRARY, m.copyRect( &empty, &allocated, 0, 0, 0, 0, 1, 1, nullptr ) );
	for( Record* record : { &view, &allocated, &empty } )
		m.destruct( record );
	EXPECT_EQ( "", LoadedPath( kImageFile ) );
}
