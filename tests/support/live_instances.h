#pragma once
// The GL instances a test made through plugMain, for its fixture to end whatever assertion failed.
#include "tests/support/plugmain_calls.h"

#include <algorithm>
#include <vector>

class LiveInstances
{
public:
	// Code 18 as a host sends it; an instance it answers is kept.
	FFMixed Instantiate( const PlugMainCalls& calls, const FFGLViewportStruct& viewport )
	{
		const FFMixed answer = calls.CallWith( FF_INSTANTIATE_GL, &viewport );
		if( IsInstance( answer ) )
			live.push_back( answer.PointerValue );
		return answer;
	}
	// Code 19; the instance is no longer to end.
	FFMixed Deinstantiate( const PlugMainCalls& calls, FFInstanceID instance )
	{
		live.erase( std::remove( live.begin(), live.end(), instance ), live.end() );
		return calls.Call( FF_DEINSTANTIATE_GL, 0, instance );
	}
	// Code 19 for those still live, the last made first; how many did not answer FF_SUCCESS.
	int DeinstantiateAll( const PlugMainCalls& calls )
	{
		int failed = 0;
		while( !live.empty() )
			failed += MixedLowBits( Deinstantiate( calls, live.back() ) ) == FF_SUCCESS ? 0 : 1;
		return failed;
	}

private:
	std::vector< FFInstanceID > live;
};
