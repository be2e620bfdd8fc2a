#pragma once
// The REFRT_LOG call log and the body every export shares: one line per call (the export's name,
// then its arguments, each after one space), then the failure REFRT_FAIL may ask for, then the call.
#include "nvidia/nvcv_types.h"
#include "runtime/test_controls.h"

#include <cstddef>
#include <type_traits>

namespace refrt
{
// One line of the call log, appended to the file when the object ends. Each argument is written
// by its type: texts as they are, integers and enums in decimal, floats with %g, rectangles as
// x,y,w,h, points as x,y, other pointers as 0x + lower-case hex; a null pointer of any kind as null.
class CallLog
{
public:
	explicit CallLog( const char* exportName );
	~CallLog();
	CallLog( const CallLog& )            = delete;
	CallLog& operator=( const CallLog& ) = delete;

	void Arg( const char* text );
	void Arg( const void* pointer );
	void Arg( const NvCVRect2i* rect );
	void Arg( const NvCVPoint2i* point );
	void Arg( float value );
	template< typename Integer,
	          typename = std::enable_if_t< std::is_integral_v< Integer > || std::is_enum_v< Integer > > >
	void Arg( Integer value )
	{
		Append( " %lld", static_cast< long long >( value ) );
	}

private:
	void Append( const char* format, ... );

	bool enabled;
	size_t length = 0;
	char line[ 2048 ];
};

// An export's whole body: its line in the call log, written before the call runs, then, unless
// REFRT_FAIL fails this call, the call itself with the same arguments. A failed call returns -1
// (NVCV_ERR_GENERAL), or does nothing when the export has no result.
template< typename Call, typename... Args >
auto Forward( const char* exportName, Call call, Args... args ) -> decltype( call( args... ) )
{
	{
		CallLog line( exportName );
		( line.Arg( args ), ... );
	}
	if( FailCall( exportName ) )
	{
		if constexpr( std::is_void_v< decltype( call( args... ) ) > )
			return;
		else
			return NVCV_ERR_GENERAL;
	}
	return call( args... );
}
}
