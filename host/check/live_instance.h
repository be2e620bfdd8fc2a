#pragma once
// An instance of the plug-in that a check makes: ended (FF_DEINSTANTIATE_GL) when it goes out of scope,
// on whatever path the check returns by, or earlier by End() where the host's order of calls asks for it.
#include "host/check/check_session.h"

#include <memory>
#include <string>
#include <vector>

namespace ffglhost
{
class LiveInstance
{
public:
	LiveInstance( CheckSession& session, const std::string& name );
	~LiveInstance() { End(); }
	LiveInstance( const LiveInstance& )            = delete;
	LiveInstance& operator=( const LiveInstance& ) = delete;

	// FF_INSTANTIATE_GL at w x h; false with *reason when the plug-in refuses.
	bool Make( int w, int h, std::string* reason );
	// An instance the plug-in answered to a call of the check's own (FF_INSTANTIATE_GL without a record).
	void Adopt( void* id );
	// Not to be ended through this one: the plug-in answered an instance already held elsewhere.
	void Forget() { record.id = nullptr; }
	// FF_DEINSTANTIATE_GL now; nothing when it was never made or has ended.
	void End() { session.Deinstantiate( record ); }

	CheckInstance& operator*() { return record; }
	CheckInstance* operator->() { return &record; }

private:
	CheckSession& session;
	CheckInstance record;
};

// Several at once, ended in the order they were made when the list goes.
class LiveInstances
{
public:
	explicit LiveInstances( CheckSession& checkSession )
	    : session( checkSession )
	{
	}
	~LiveInstances() { Clear(); }
	LiveInstances( const LiveInstances& )            = delete;
	LiveInstances& operator=( const LiveInstances& ) = delete;

	// A new instance of that name made at w x h; false with *reason (and nothing added).
	bool Make( const std::string& name, int w, int h, std::string* reason );
	size_t Size() const { return list.size(); }
	CheckInstance& operator[]( size_t i ) { return **list[ i ]; }
	LiveInstance& Live( size_t i ) { return *list[ i ]; }
	// Ends the one at i and takes it out.
	void EndAt( size_t i );
	// Ends them all, first made first.
	void Clear();

private:
	CheckSession& session;
	std::vector< std::unique_ptr< LiveInstance > > list;
};
}
