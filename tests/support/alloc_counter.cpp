#include "tests/support/alloc_counter.h"

#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

extern "C"
{
	void* __libc_malloc( size_t size );
	void* __libc_calloc( size_t count, size_t size );
	void* __libc_realloc( void* pointer, size_t size );
	void __libc_free( void* pointer );
	void* __libc_memalign( size_t alignment, size_t size );
	void* __libc_valloc( size_t size );
	void* __libc_pvalloc( size_t size );
}

namespace
{
enum ModuleKind
{
	kRuntimeModule, // C and C++ runtimes, the loader, this executable: look further up the stack
	kWatchedModule,
	kOtherModule
};

struct Range
{
	uintptr_t begin;
	uintptr_t end;
	ModuleKind kind;
};

// Plain storage only: the hooks run inside malloc and must not allocate.
const int kMaxRanges = 2048;
Range ranges[ kMaxRanges ];
int rangeCount      = 0;
bool rangesOverflow = false;

thread_local bool armed          = false;
thread_local bool inside         = false;
thread_local size_t watchedCount = 0;
thread_local size_t otherCount   = 0;
thread_local void* firstWatched  = nullptr;

ModuleKind KindOf( uintptr_t address )
{
	for( int i = 0; i < rangeCount; ++i )
	{
		if( address >= ranges[ i ].begin && address < ranges[ i ].end )
			return ranges[ i ].kind;
	}
	// Outside every library: code a GL driver compiled at run time.
	return kOtherModule;
}

void NoteAllocation()
{
	if( !armed || inside )
		return;
	inside = true;
	void* frames[ 64 ];
	const int depth = backtrace( frames, 64 );
	ModuleKind kind = kOtherModule;
	void* caller    = nullptr;
	for( int i = 0; i < depth; ++i )
	{
		kind = KindOf( reinterpret_cast< uintptr_t >( frames[ i ] ) );
		if( kind != kRuntimeModule )
		{
			caller = frames[ i ];
			break;
		}
	}
	if( kind == kWatchedModule )
	{
		if( watchedCount++ == 0 )
			firstWatched = caller;
	}
	else
	{
		++otherCount;
	}
	inside = false;
}

bool StartsWith( const char* text, const char* prefix )
{
	return std::strncmp( text, prefix, std::strlen( prefix ) ) == 0;
}

bool EndsWith( const std::string& text, const std::string& suffix )
{
	return text.size() >= suffix.size() && text.compare( text.size() - suffix.size(), suffix.size(), suffix ) == 0;
}

int AddModule( dl_phdr_info* info, size_t, void* data )
{
	const std::vector< std::string >& watched = *static_cast< const std::vector< std::string >* >( data );
	const char* path                          = info->dlpi_name ? info->dlpi_name : "";
	const char* slash                         = std::strrchr( path, '/' );
	const char* baseName                      = slash ? slash + 1 : path;
	ModuleKind kind                           = kOtherModule;
	// The main program comes first, with an empty name.
	if( *path == '\0' || StartsWith( baseName, "libc.so" ) || StartsWith( baseName, "libstdc++.so" ) ||
	    StartsWith( baseName, "libgcc_s.so" ) || StartsWith( baseName, "ld-linux" ) )
		kind = kRuntimeModule;
	for( const std::string& name : watched )
	{
		if( EndsWith( path, name ) )
			kind = kWatchedModule;
	}
	for( int i = 0; i < info->dlpi_phnum; ++i )
	{
		const ElfW( Phdr )& segment = info->dlpi_phdr[ i ];
		if( segment.p_type != PT_LOAD )
			continue;
		if( rangeCount == kMaxRanges )
		{
			rangesOverflow = true;
			return 1;
		}
		const uintptr_t begin  = info->dlpi_addr + segment.p_vaddr;
		ranges[ rangeCount++ ] = { begin, begin + segment.p_memsz, kind };
	}
	return 0;
}
}

namespace alloccount
{
bool MapModules( const std::vector< std::string >& watchedNames )
{
	rangeCount     = 0;
	rangesOverflow = false;
	dl_iterate_phdr( &AddModule, const_cast< std::vector< std::string >* >( &watchedNames ) );
	// The first backtrace loads the unwinder, which allocates: done here, never while armed.
	void* frames[ 4 ];
	backtrace( frames, 4 );
	return !rangesOverflow;
}

void Arm()
{
	watchedCount = 0;
	otherCount   = 0;
	firstWatched = nullptr;
	armed        = true;
}

void Resume()
{
	armed = true;
}

void Disarm()
{
	armed = false;
}

Counts Read()
{
	return { watchedCount, otherCount };
}

std::string FirstWatchedCaller()
{
	if( !firstWatched )
		return std::string();
	Dl_info info = {};
	if( !dladdr( firstWatched, &info ) )
		return "an address outside every library";
	char text[ 512 ];
	const uintptr_t symbolStart = reinterpret_cast< uintptr_t >( info.dli_saddr );
	std::snprintf( text, sizeof( text ), "%s: %s+0x%lx", info.dli_fname ? info.dli_fname : "?",
	               info.dli_sname ? info.dli_sname : "(hidden symbol)",
	               static_cast< unsigned long >(
	                   reinterpret_cast< uintptr_t >( firstWatched ) -
	                   ( info.dli_sname ? symbolStart : reinterpret_cast< uintptr_t >( info.dli_fbase ) ) ) );
	return text;
}
}

// The process's allocator: glibc's own, with a note of who asked. operator new reaches it through malloc.
// Visible whatever the build's default, so that every library binds to these.
#define REPLACEMENT __attribute__( ( visibility( "default" ) ) )
extern "C"
{
	REPLACEMENT void* malloc( size_t size )
	{
		NoteAllocation();
		return __libc_malloc( size );
	}

	REPLACEMENT void* calloc( size_t count, size_t size )
	{
		NoteAllocation();
		return __libc_calloc( count, size );
	}

	REPLACEMENT void* realloc( void* pointer, size_t size )
	{
		NoteAllocation();
		return __libc_realloc( pointer, size );
	}

	REPLACEMENT void free( void* pointer )
	{
		__libc_free( pointer );
	}

	REPLACEMENT void* memalign( size_t alignment, size_t size )
	{
		NoteAllocation();
		return __libc_memalign( alignment, size );
	}

	REPLACEMENT void* aligned_alloc( size_t alignment, size_t size )
	{
		NoteAllocation();
		return __libc_memalign( alignment, size );
	}

	REPLACEMENT int posix_memalign( void** result, size_t alignment, size_t size )
	{
		if( alignment % sizeof( void* ) != 0 || ( alignment & ( alignment - 1 ) ) != 0 || alignment == 0 )
			return EINVAL;
		NoteAllocation();
		void* pointer = __libc_memalign( alignment, size );
		if( !pointer )
			return ENOMEM;
		*result = pointer;
		return 0;
	}

	REPLACEMENT void* valloc( size_t size )
	{
		NoteAllocation();
		return __libc_valloc( size );
	}

	REPLACEMENT void* pvalloc( size_t size )
	{
		NoteAllocation();
		return __libc_pvalloc( size );
	}
}
