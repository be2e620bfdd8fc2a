#include "host/check/live_instance.h"

namespace ffglhost
{
LiveInstance::LiveInstance( CheckSession& checkSession, const std::string& name )
    : session( checkSession )
{
	record.name = name;
}

bool LiveInstance::Make( int w, int h, std::string* reason )
{
	return session.Instantiate( record, w, h, reason );
}

void LiveInstance::Adopt( void* id )
{
	record.id      = id;
	record.frames  = 0;
	record.changed = true;
}

bool LiveInstances::Make( const std::string& name, int w, int h, std::string* reason )
{
	std::unique_ptr< LiveInstance > instance( new LiveInstance( session, name ) );
	if( !instance->Make( w, h, reason ) )
		return false;
	list.push_back( std::move( instance ) );
	return true;
}

void LiveInstances::EndAt( size_t i )
{
	list[ i ]->End();
	list.erase( list.begin() + static_cast< long >( i ) );
}

void LiveInstances::Clear()
{
	for( auto& instance : list )
		instance->End();
	list.clear();
}
}
