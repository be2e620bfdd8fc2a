// A group's child process: the group's checks against one loaded plug-in, its results as lines on
// standard output for the parent, a watchdog ending it when one call hangs.
#include "host/check/check_session.h"
#include "host/check/validator.h"
#include "host/core/exit_status.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace ffglhost
{
namespace
{
// Ends the group's process when one call into the plug-in takes longer than the limit: a hung plug-in
// fails the check it hung in, as a crashed one does, instead of stalling the whole run.
class Watchdog
{
public:
	explicit Watchdog( int seconds )
	    : limit( seconds )
	    , thread( [ this ] { Watch(); } )
	{
	}
	~Watchdog()
	{
		stop = true;
		thread.join();
	}

private:
	void Watch()
	{
		while( !stop )
		{
			std::this_thread::sleep_for( std::chrono::milliseconds( 100 ) );
			if( SecondsSinceLastLine() > limit )
				EmitHungAndExit( limit );
		}
	}
	const int limit;
	std::atomic< bool > stop{ false };
	std::thread thread;
};
}

int RunCheckGroup( const std::string& plugin, const CheckOptions& options )
{
	Watchdog watchdog( options.callTimeout );
	const CheckGroup* group = FindCheckGroup( options.groups.front() );
	const CheckPlan plan    = MakeCheckPlan( options.strictness );
	CheckSession session( *group, plugin, plan, GroupSeed( options.seed, group->name ) );
	session.SetArtifactDirectory( options.artifactDirectory );
	std::string error;
	if( !group->opensPlugin && !session.Open( &error ) )
		session.FailAll( "not run: " + error );
	else
		group->run( session );
	session.Close();
	EmitEnd();
	return kExitOk;
}
}
