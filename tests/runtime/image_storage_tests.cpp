// Alloc, Dealloc, Init and InitView: who owns which storage, and how a record is filled.
#include "tests/runtime/runtime_library.h"

#include <cstring>
#include <vector>

typedef RuntimeTest ImageStorage;

static int foreignReleases      = 0;
static void* lastForeignRelease = nullptr;
static void ForeignRelease( void* p )
{
	++foreignReleases;
	lastForeignRelease = p;
}

TEST_F( ImageStorage, AllocFillsTheRecordAndRoundsThePitch )
{
	struct Case
	{
		unsigned width;
		NvCVImage_PixelFormat format;
		unsigned alignment;
		int pitch;
	} cases[] = { { 5, NVCV_RGB, 0, 15 }, { 5, NVCV_RGB, 1, 15 },  { 5, NVCV_RGB, 4, 16 }, { 5, NVCV_BGR, 32, 32 },
		          { 7, NVCV_A, 8, 8 },    { 3, NVCV_BGRA, 0, 12 }, { 6, NVCV_A, 3, 6 },    { 7, NVCV_RGBA, 12, 36 } };
	for( const Case& c : cases )
	{
		RefRtImage& image = Image();
		ASSERT_EQ( NVCV_SUCCESS,
		           rt->Alloc( &image, c.width, 3, c.format, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, c.alignment ) );
		EXPECT_EQ( c.pitch, image.pitch ) << c.width << " wide, alignment " << c.alignment;
		EXPECT_EQ( refrt::ComponentsOf( c.format ), image.pixelBytes );
		EXPECT_GE( image.bufferBytes, uint64_t( c.pitch ) * 3 );
		EXPECT_EQ( liveAtStart + 1, rt->LiveObjects() );
		rt->Dealloc( &image );
	}
	RefRtImage& image = Image();
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &image, 3, 2, NVCV_BGR, NVCV_U8, NVCV_CHUNKY, NVCV_CPU_PINNED, 1 ) );
	const uint8_t bytes[] = { 3, 1, 3, NVCV_CHUNKY, NVCV_CPU_PINNED };
	EXPECT_EQ( 0, std::memcmp( bytes, &image.pixelBytes, sizeof( bytes ) ) );
	EXPECT_EQ( 3u, image.width );
	EXPECT_EQ( 2u, image.height );
	EXPECT_EQ( NVCV_BGR, image.pixelFormat );
	EXPECT_EQ( NVCV_U8, image.componentType );
	EXPECT_EQ( image.deletePtr, image.pixels );
	// Planar: one plane per component.
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &image, 3, 2, NVCV_RGBA, NVCV_U8, NVCV_PLANAR, NVCV_CPU, 1 ) );
	EXPECT_EQ( 3, image.pitch );
	EXPECT_GE( image.bufferBytes, 24u );
}

TEST_F( ImageStorage, AllocReusesOwnedStorageOnlyWhenLargeEnough )
{
	RefRtImage& image = Image();
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &image, 16, 16, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 ) );
	void* first = image.pixels;
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &image, 32, 8, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 32 ) );
	EXPECT_EQ( first, image.pixels ); // exactly the same size
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &image, 8, 4, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
	EXPECT_EQ( first, image.pixels );
	EXPECT_EQ( 8, image.pitch );
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &image, 64, 64, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 ) );
	EXPECT_NE( first, image.pixels );
	EXPECT_GE( image.bufferBytes, 64u * 64u * 4u );
	EXPECT_EQ( liveAtStart + 1, rt->LiveObjects() );
	// 0 x 0 releases what the record owned and leaves no storage.
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &image, 0, 0, NVCV_FORMAT_UNKNOWN, NVCV_TYPE_UNKNOWN, 0, 0, 0 ) );
	EXPECT_EQ( nullptr, image.pixels );
	EXPECT_EQ( 0u, image.width );
	EXPECT_EQ( liveAtStart, rt->LiveObjects() );
}

TEST_F( ImageStorage, FailedAllocLeavesTheRecordAsItWas )
{
	RefRtImage& image = Image();
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &image, 4, 4, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 ) );
	RefRtImage before = image;
	EXPECT_EQ( NVCV_ERR_PIXELFORMAT, rt->Alloc( &image, 4, 4, NVCV_FORMAT_UNKNOWN, NVCV_U8, 0, 0, 1 ) );
	EXPECT_EQ( NVCV_ERR_PIXELFORMAT, rt->Alloc( &image, 4, 4, NVCV_A, NVCV_TYPE_UNKNOWN, 0, 0, 1 ) );
	EXPECT_EQ( NVCV_ERR_PIXELFORMAT, rt->Alloc( &image, 4, 4, NvCVImage_PixelFormat( 99 ), NVCV_U8, 0, 0, 1 ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->Alloc( &image, 4, 4, NVCV_A, NVCV_U8, 2, 0, 1 ) );
	EXPECT_EQ( NVCV_ERR_MEMORY, rt->Alloc( &image, 0xffffffffu, 0xffffffffu, NVCV_RGBA, NVCV_F32, 0, 0, 1 ) );
	EXPECT_EQ( 0, std::memcmp( &before, &image, sizeof( image ) ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->Alloc( nullptr, 4, 4, NVCV_A, NVCV_U8, 0, 0, 1 ) );
}

TEST_F( ImageStorage, DeallocIsHarmlessOnEmptyReleasedAndForeignRecords )
{
	// What a constructor leaves: pixels null, the rest unset. It holds nothing to release.
	RefRtImage& unset = Image();
	std::memset( &unset, 0xa5, sizeof( unset ) );
	unset.pixels     = nullptr;
	unset.deleteProc = ForeignRelease;
	foreignReleases  = 0;
	rt->Dealloc( &unset );
	EXPECT_EQ( NVCV_SUCCESS, rt->Alloc( &unset, 0, 0, NVCV_FORMAT_UNKNOWN, NVCV_TYPE_UNKNOWN, 0, 0, 0 ) );
	EXPECT_EQ( nullptr, unset.deleteProc );
	EXPECT_EQ( 0, foreignReleases );
	rt->Dealloc( nullptr );

	RefRtImage& image = Image();
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &image, 4, 4, NVCV_BGR, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
	rt->Dealloc( &image );
	rt->Dealloc( &image );
	EXPECT_EQ( nullptr, image.pixels );
	EXPECT_EQ( 0u, image.bufferBytes );

	std::vector< uint8_t > memory( 64, 7 );
	RefRtImage& foreign = Image();
	ASSERT_EQ( NVCV_SUCCESS, rt->Init( &foreign, 4, 4, 16, memory.data(), NVCV_RGBA, NVCV_U8, 0, NVCV_CPU ) );
	rt->Dealloc( &foreign );
	EXPECT_EQ( nullptr, foreign.pixels );
	EXPECT_EQ( std::vector< uint8_t >( 64, 7 ), memory );

	// Storage with someone else's release procedure is released through it.
	RefRtImage& handedOver = Image();
	handedOver.pixels      = memory.data() + 4;
	handedOver.deletePtr   = memory.data();
	handedOver.deleteProc  = ForeignRelease;
	rt->Dealloc( &handedOver );
	EXPECT_EQ( 1, foreignReleases );
	EXPECT_EQ( memory.data(), lastForeignRelease );
	EXPECT_EQ( nullptr, handedOver.deleteProc );
}

TEST_F( ImageStorage, InitDescribesForeignMemoryWithAnyPitch )
{
	std::vector< uint8_t > memory( 4 * 3 * 4 );
	uint8_t* lastRow = memory.data() + 2 * 16;
	RefRtImage& view = Image();
	ASSERT_EQ( NVCV_SUCCESS, rt->Init( &view, 4, 3, -16, lastRow, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU ) );
	EXPECT_EQ( -16, view.pitch );
	EXPECT_EQ( lastRow, view.pixels );
	EXPECT_EQ( 4, view.pixelBytes );
	EXPECT_EQ( nullptr, view.deleteProc );
	EXPECT_EQ( liveAtStart, rt->LiveObjects() );

	// Init over owned storage releases it, unless it re-describes that very storage.
	RefRtImage& owner = Image();
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &owner, 4, 4, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 ) );
	uint8_t* own = static_cast< uint8_t* >( owner.pixels );
	ASSERT_EQ( NVCV_SUCCESS, rt->Init( &owner, 2, 2, 16, own + 20, NVCV_RGBA, NVCV_U8, 0, NVCV_CPU ) );
	EXPECT_EQ( liveAtStart + 1, rt->LiveObjects() );
	ASSERT_EQ( NVCV_SUCCESS, rt->Init( &owner, 4, 3, 16, memory.data(), NVCV_RGBA, NVCV_U8, 0, NVCV_CPU ) );
	EXPECT_EQ( liveAtStart, rt->LiveObjects() );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->Init( nullptr, 1, 1, 1, memory.data(), NVCV_A, NVCV_U8, 0, 0 ) );
}

TEST_F( ImageStorage, InitViewDescribesARectangleWithoutOwningIt )
{
	RefRtImage& full = Image();
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &full, 10, 8, NVCV_BGR, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 16 ) );
	RefRtImage& view = Image();
	rt->InitView( &view, &full, 2, 3, 4, 5 );
	EXPECT_EQ( static_cast< uint8_t* >( full.pixels ) + 3 * 32 + 2 * 3, view.pixels );
	EXPECT_EQ( 4u, view.width );
	EXPECT_EQ( 5u, view.height );
	EXPECT_EQ( 32, view.pitch );
	EXPECT_EQ( NVCV_BGR, view.pixelFormat );
	rt->Dealloc( &view );
	EXPECT_EQ( liveAtStart + 1, rt->LiveObjects() );

	// A rectangle reaching outside gives an empty view, never a pointer past the storage.
	rt->InitView( &view, &full, 7, 0, 4, 1 );
	EXPECT_EQ( nullptr, view.pixels );
	rt->InitView( &view, &full, -1, 0, 1, 1 );
	EXPECT_EQ( nullptr, view.pixels );
}
