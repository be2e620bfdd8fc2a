#pragma once
// One line of the call log: the export's name, then its arguments, each after one space.
// The line is appended to the REFRT_LOG file when the object goes out of scope.
#include "nvidia/nvcv_types.h"

#include <cstddef>

namespace refrt
{
class CallLog
{
public:
	explicit CallLog( const char* exportName );
	~CallLog();
	CallLog( const CallLog& ) = delete;
	CallLog& operator=( const CallLog& ) = delete;

	CallLog& Text( const char* text );
	CallLog& Int( long long value );
	CallLog& Float( double value );
	CallLog& Pointer( const void* pointer );
	CallLog& Rect( const NvCVRect2i* rect );
	CallLog& Point( const NvCVPoint2i* point );

private:
	void Append( const char* text );

	bool enabled;
	size_t length = 0;
	char line[ 2048 ];
};
}
