// libFuzzer target for plugMain. The input is a list of calls, each read from the bytes as:
//   code byte (code = byte % 61; 255 takes the next four bytes as any 32-bit code), instance byte
//   (0: none, 1: the prototype, 2 and 3: the two live GL instances, 4: an extra instance), then the
//   input value the code reads: a number (four bytes, high half from the next), null, or a record
//   filled from the input whose pointers are null or point at real storage of the size it claims.
// Instances are never dangling: a live one de-instantiated is made again at once, extras end with the
// input, and the prototype (which a host never sees) gets no frame and no de-instantiation.
#include "ffgl/prototype.h"
#include "ffgl/types.h"
#include "host/core/gl_context.h"
#include "tests/support/plugmain_calls.h"

#include <GL/glew.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern "C" FFMixed plugMain( uint32_t functionCode, FFMixed inputValue, FFInstanceID instanceID );

namespace
{
struct Reader
{
	const uint8_t* data;
	size_t size;
	size_t at = 0;

	bool More() const { return at < size; }
	uint8_t U8() { return at < size ? data[ at++ ] : 0; }
	uint32_t U32()
	{
		uint32_t value = 0;
		for( int i = 0; i < 4; ++i )
			value |= static_cast< uint32_t >( U8() ) << ( 8 * i );
		return value;
	}
	// Mostly a small index, sometimes any number.
	uint32_t Index()
	{
		const uint8_t b = U8();
		return b < 200 ? b % 6 : U32();
	}
	// A picture side: the interesting ones, small ones, and numbers negative as int32.
	uint32_t Side()
	{
		static const uint32_t kSides[] = { 0,   1,   2,    3,    16,   17,          64,         600,
			                               960, 961, 1066, 2160, 3840, 0x80000000u, 0xFFFFFFFFu };
		const uint8_t b                = U8();
		if( b < 128 )
			return kSides[ b % ( sizeof( kSides ) / sizeof( kSides[ 0 ] ) ) ];
		if( b < 250 )
			return b - 128u;
		// Any side up to 4096, or beyond int32: a host's nonsense that must fail without a huge allocation.
		const uint32_t raw = U32();
		return ( raw & 0x80000000u ) ? raw : raw % 4097;
	}
};

struct World
{
	GLContext context;
	FFInstanceID live[ 2 ]    = {};
	FFInstanceID extra[ 2 ]   = {};
	GLuint pictures[ 3 ]      = {};
	GLuint notATexture        = 0;
	GLuint framebuffer        = 0;
	GLuint framebufferTexture = 0;
	int ( *liveObjects )()    = nullptr;
	int engineObjects         = 0;
};
World* world = nullptr;

FFInstanceID MakeInstance()
{
	FFGLViewportStruct viewport = { 0, 0, 32, 32 };
	const FFMixed made          = plugMain( FF_INSTANTIATE_GL, MixedFromPointer( &viewport ), nullptr );
	if( !IsInstance( made ) )
	{
		std::fprintf( stderr, "fuzz: FF_INSTANTIATE_GL failed\n" );
		std::abort();
	}
	return made.PointerValue;
}

std::string ExeDirectory()
{
	char path[ 4096 ]    = {};
	const ssize_t length = readlink( "/proc/self/exe", path, sizeof( path ) - 1 );
	std::string text( path, length > 0 ? static_cast< size_t >( length ) : 0 );
	return text.substr( 0, text.find_last_of( '/' ) );
}

GLuint Picture( int w, int h )
{
	std::vector< uint8_t > pixels( static_cast< size_t >( w ) * h * 4 );
	for( size_t i = 0; i < pixels.size(); i += 4 )
	{
		const bool person = ( i / 4 ) % w < static_cast< size_t >( w ) / 2;
		pixels[ i ]       = person ? 200 : 30;
		pixels[ i + 1 ]   = person ? 40 : 220;
		pixels[ i + 2 ]   = person ? 40 : 30;
		pixels[ i + 3 ]   = 255;
	}
	GLuint texture = 0;
	glGenTextures( 1, &texture );
	glBindTexture( GL_TEXTURE_2D, texture );
	glPixelStorei( GL_UNPACK_ALIGNMENT, 1 );
	glTexImage2D( GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data() );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR );
	glBindTexture( GL_TEXTURE_2D, 0 );
	return texture;
}

// Reads what a pointer answer points at, so that a dangling or short answer shows under the sanitizer.
void Touch( uint32_t code, FFMixed result )
{
	if( !IsInstance( result ) )
		return;
	volatile size_t sum = 0;
	switch( code )
	{
	case FF_GET_INFO:
		sum = sum + static_cast< const PluginInfoStruct* >( result.PointerValue )->PluginName[ 15 ];
		break;
	case FF_GET_EXTENDED_INFO:
	{
		const auto* info = static_cast< const PluginExtendedInfoStruct* >( result.PointerValue );
		sum              = sum + std::strlen( info->Description ) + std::strlen( info->About );
		break;
	}
	case FF_GET_PARAMETER_DISPLAY:
		for( int i = 0; i < 16; ++i )
			sum = sum + static_cast< const char* >( result.PointerValue )[ i ];
		break;
	case FF_GET_PARAMETER_NAME:
	case FF_GET_PARAMETER_ELEMENT_NAME:
	case FF_GET_FILE_PARAMETER_EXTENSION:
	case FF_GET_PLUGIN_SHORT_NAME:
		sum = sum + std::strlen( static_cast< const char* >( result.PointerValue ) );
		break;
	default:
		break;
	}
}

// Storage one call's records live in; heap blocks of exactly the size a record claims.
struct CallStorage
{
	alignas( 16 ) uint8_t record[ 64 ] = {};
	double time                        = 0;
	FFGLTextureStruct textures[ 3 ]    = {};
	FFGLTextureStruct* inputs[ 3 ]     = {};
	std::unique_ptr< char[] > texts[ 2 ];
	std::unique_ptr< char[] > buffer;
	std::unique_ptr< ParamEventStruct[] > events;
};

char* Text( Reader& in, std::unique_ptr< char[] >& slot )
{
	const uint8_t length = in.U8() % 24;
	slot.reset( new char[ length + 1 ] );
	for( uint8_t i = 0; i < length; ++i )
		slot[ i ] = static_cast< char >( in.U8() | 1 );
	slot[ length ] = 0;
	return slot.get();
}

FFMixed Input( uint32_t code, Reader& in, CallStorage& s )
{
	const uint8_t shape = in.U8();
	if( shape % 16 == 0 )
		return MixedFromPointer( nullptr );
	for( uint8_t& b : s.record )
		b = in.U8();
	switch( code )
	{
	case FF_SET_PARAMETER:
	{
		auto* set                           = reinterpret_cast< SetParameterStruct* >( s.record );
		set->ParameterNumber                = in.Index();
		set->NewParameterValue.PointerValue = nullptr;
		set->NewParameterValue.UIntValue    = in.U32();
		return MixedFromPointer( set );
	}
	case FF_PROCESS_OPENGL:
	{
		auto* frame             = reinterpret_cast< ProcessOpenGLStruct* >( s.record );
		frame->numInputTextures = in.U8() % 4;
		frame->inputTextures    = shape % 16 == 1 ? nullptr : s.inputs;
		for( int i = 0; i < 3; ++i )
		{
			FFGLTextureStruct& t = s.textures[ i ];
			t.Width              = in.Side();
			t.Height             = in.Side();
			const uint8_t hw     = in.U8();
			t.HardwareWidth      = hw < 200 ? t.Width + hw % 3 : in.U32();
			t.HardwareHeight     = hw < 200 ? t.Height + hw % 2 : in.U32();
			const uint8_t handle = in.U8() % 6;
			t.Handle             = handle < 3 ? world->pictures[ handle ]
			                                  : ( handle == 3 ? 0 : ( handle == 4 ? world->notATexture : 3999 ) );
			s.inputs[ i ]        = in.U8() % 8 == 0 ? nullptr : &t;
		}
		const uint8_t fbo = in.U8() % 3;
		frame->HostFBO    = fbo == 0 ? world->framebuffer : ( fbo == 1 ? 0 : 3999 );
		return MixedFromPointer( frame );
	}
	case FF_SET_TIME:
		std::memcpy( &s.time, s.record, sizeof( s.time ) );
		return MixedFromPointer( &s.time );
	case FF_GET_PARAMETER_ELEMENT_NAME:
	case FF_GET_PARAMETER_ELEMENT_VALUE:
	case FF_GET_FILE_PARAMETER_EXTENSION:
	case FF_GET_SEPARATOR_ELEMENT_INDEX:
	{
		auto* query            = reinterpret_cast< ParameterElementStruct* >( s.record );
		query->ParameterNumber = in.Index();
		query->ElementNumber   = in.Index();
		return MixedFromPointer( query );
	}
	case FF_SET_PARAMETER_ELEMENT_VALUE:
	{
		auto* set            = reinterpret_cast< SetParameterElementValueStruct* >( s.record );
		set->ParameterNumber = in.Index();
		set->ElementNumber   = in.Index();
		return MixedFromPointer( set );
	}
	case FF_SET_HOSTINFO:
	{
		auto* host    = reinterpret_cast< SetHostinfoStruct* >( s.record );
		host->name    = shape & 0x10 ? Text( in, s.texts[ 0 ] ) : nullptr;
		host->version = shape & 0x20 ? Text( in, s.texts[ 1 ] ) : nullptr;
		return MixedFromPointer( host );
	}
	case FF_GET_RANGE:
		reinterpret_cast< GetRangeStruct* >( s.record )->ParameterNumber = in.Index();
		return MixedFromPointer( s.record );
	case FF_GET_THUMBNAIL:
		reinterpret_cast< GetThumbnailStruct* >( s.record )->rgbaPixelBuffer = nullptr;
		return MixedFromPointer( s.record );
	case FF_GET_PARAMETER_EVENTS:
	{
		auto* query = reinterpret_cast< GetParamEventsStruct* >( s.record );
		if( shape & 0x10 )
		{
			query->events = nullptr;
		}
		else
		{
			const uint32_t room = in.U8() % 5;
			s.events.reset( new ParamEventStruct[ room ? room : 1 ] );
			query->events    = s.events.get();
			query->numEvents = room;
		}
		return MixedFromPointer( query );
	}
	case FF_GET_PARAMETER_GROUP:
	case FF_GET_PARAMETER_DISPLAY_NAME:
	{
		auto* query            = reinterpret_cast< GetStringStruct* >( s.record );
		query->ParameterNumber = in.Index();
		if( shape & 0x10 )
		{
			query->stringBuffer = nullptr;
		}
		else
		{
			query->maxToWrite = in.U8() % 40;
			s.buffer.reset( new char[ query->maxToWrite ? query->maxToWrite : 1 ] );
			query->stringBuffer = s.buffer.get();
		}
		return MixedFromPointer( query );
	}
	case FF_INSTANTIATE_GL:
	case FF_RESIZE:
	case FF_SET_BEATINFO:
		return MixedFromPointer( s.record );
	default:
	{
		// A number: only the low half may count; the high half carries junk.
		const uint32_t low = in.Index();
		return HostNumber( low, shape & 0x10 ? in.U32() : 0 );
	}
	}
}

FFInstanceID* Slot( uint8_t who, FFInstanceID& none )
{
	switch( who % 5 )
	{
	case 2:
		return &world->live[ 0 ];
	case 3:
		return &world->live[ 1 ];
	case 4:
		return world->extra[ 0 ] ? &world->extra[ 0 ] : &world->extra[ 1 ];
	default:
		return &none;
	}
}

void Call( Reader& in )
{
	uint8_t codeByte      = in.U8();
	uint32_t code         = codeByte == 255 ? in.U32() : codeByte % 61u;
	const uint8_t who     = in.U8();
	FFInstanceID none     = nullptr;
	FFInstanceID* slot    = Slot( who, none );
	FFInstanceID instance = *slot;
	if( who % 5 == 1 )
	{
		// The prototype as it is now (it may have been deleted and made again); a host never sees it,
		// so it gets no frame and is never de-instantiated.
		if( code == FF_PROCESS_OPENGL || code == FF_DEINSTANTIATE_GL )
			return;
		instance = prototype;
	}
	CallStorage storage;
	const FFMixed input = Input( code, in, storage );
	if( code == FF_PROCESS_OPENGL )
	{
		glBindFramebuffer( GL_FRAMEBUFFER, world->framebuffer );
		glViewport( 0, 0, 32, 32 );
	}
	const FFMixed result = plugMain( code, input, instance );
	Touch( code, result );
	if( code == FF_INSTANTIATE_GL && IsInstance( result ) )
	{
		FFInstanceID* free =
		    !world->extra[ 0 ] ? &world->extra[ 0 ] : ( !world->extra[ 1 ] ? &world->extra[ 1 ] : nullptr );
		if( free )
			*free = result.PointerValue;
		else
			plugMain( FF_DEINSTANTIATE_GL, HostNumber( 0 ), result.PointerValue );
	}
	if( code == FF_DEINSTANTIATE_GL && instance )
	{
		const bool isLive = slot == &world->live[ 0 ] || slot == &world->live[ 1 ];
		*slot             = isLive ? MakeInstance() : nullptr;
	}
}
} // namespace

extern "C" int LLVMFuzzerInitialize( int*, char*** )
{
	// The reference runtime where the plug-in looks for the vendor's, laid out beside the executable.
	const std::string root = ExeDirectory() + "/fuzzroot";
	setenv( "ProgramFiles", root.c_str(), 1 );
	setenv( "NV_VIDEO_EFFECTS_PATH", root.c_str(), 1 );
	unsetenv( "NV_AR_SDK_PATH" );
	unsetenv( "REFRT_FAIL" );
	unsetenv( "REFRT_LOG" );
	world = new World();
	std::string error;
	if( !world->context.Create( &error ) )
	{
		std::fprintf( stderr, "fuzz: %s\n", error.c_str() );
		std::exit( 1 );
	}
	world->context.MakeCurrent();
	if( plugMain( FF_INITIALISE_V2, HostNumber( 0 ), nullptr ).UIntValue != FF_SUCCESS )
		std::abort();
	world->live[ 0 ]     = MakeInstance();
	world->live[ 1 ]     = MakeInstance();
	world->pictures[ 0 ] = Picture( 64, 36 );
	world->pictures[ 1 ] = Picture( 3, 3 );
	world->pictures[ 2 ] = Picture( 17, 9 );
	glGenBuffers( 1, &world->notATexture );
	glBindBuffer( GL_ARRAY_BUFFER, world->notATexture );
	glBindBuffer( GL_ARRAY_BUFFER, 0 );
	world->framebufferTexture = Picture( 32, 32 );
	glGenFramebuffers( 1, &world->framebuffer );
	glBindFramebuffer( GL_FRAMEBUFFER, world->framebuffer );
	glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, world->framebufferTexture, 0 );
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );

	// What one ready engine holds in the runtime, for the bound checked after every input.
	FFGLTextureStruct texture   = { 64, 36, 64, 36, world->pictures[ 0 ] };
	FFGLTextureStruct* inputs[] = { &texture };
	ProcessOpenGLStruct frame   = { 1, inputs, world->framebuffer };
	FFInstanceID probe          = MakeInstance();
	plugMain( FF_PROCESS_OPENGL, MixedFromPointer( &frame ), probe );
	void* image        = dlopen( "libNVCVImage.so", RTLD_NOW | RTLD_NOLOAD );
	world->liveObjects = image ? reinterpret_cast< int ( * )() >( dlsym( image, "RefRt_LiveObjects" ) ) : nullptr;
	if( !world->liveObjects )
	{
		std::fprintf( stderr, "fuzz: the reference runtime was not loaded from %s\n", root.c_str() );
		std::exit( 1 );
	}
	world->engineObjects = world->liveObjects();
	plugMain( FF_DEINSTANTIATE_GL, HostNumber( 0 ), probe );
	if( world->liveObjects() != 0 || world->engineObjects == 0 )
	{
		std::fprintf( stderr, "fuzz: an engine holds %d runtime objects, %d after its end\n", world->engineObjects,
		              world->liveObjects() );
		std::exit( 1 );
	}
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput( const uint8_t* data, size_t size )
{
	Reader in{ data, size };
	for( int calls = 0; calls < 48 && in.More(); ++calls )
		Call( in );
	for( FFInstanceID& extra : world->extra )
	{
		if( extra )
			plugMain( FF_DEINSTANTIATE_GL, HostNumber( 0 ), extra );
		extra = nullptr;
	}
	// Only the two live instances may hold anything in the runtime now.
	const int held = world->liveObjects();
	if( held < 0 || held > 2 * world->engineObjects )
	{
		std::fprintf( stderr, "fuzz: %d runtime objects alive with two instances\n", held );
		std::abort();
	}
	return 0;
}
