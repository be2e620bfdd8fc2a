// A group's child process: the group's checks against one loaded plug-in, its results as lines on
// standard output for the parent, a watchdog ending it when one call hangs.
#include "host/check/check_session.h"
#include "host/check/live_instance.h"
#include "host/check/repeatability.h"
#include "host/check/validator.h"
#include "host/core/exit_status.h"
#include "host/core/timing.h"

#include <atomic>
#include <chrono>
#include <memory>
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

// What the group's first check needs ready: the plug-in loaded, and the shared instance made (and drawn
// once). False, with *reason, when the group cannot start.
bool StartGroup( CheckSession& session, const CheckGroup& group, std::unique_ptr< LiveInstance >* shared,
                 std::string* reason )
{
	if( group.start == GroupStart::kNothing )
		return true;
	if( !session.Open( reason ) )
		return false;
	if( group.start == GroupStart::kPlugin )
		return true;
	shared->reset( new LiveInstance( session, "instance 1" ) );
	if( !( *shared )->Make( kCheckWidth, kCheckHeight, reason ) )
		return false;
	session.SetSharedInstance( &***shared );
	// A frame first, as hosts do: a plug-in may set up on its first frame.
	if( group.start == GroupStart::kDrawnInstance )
	{
		FrameOutput output;
		session.Frame( ***shared, PlainLayout( kCheckWidth, kCheckHeight ), 0, output );
	}
	return true;
}

// The check's verdict as its result, with the time it took.
void RunOneCheck( CheckSession& session, const CheckDefinition& check, bool* stop )
{
	EmitBegin( check.name );
	session.SetCurrentCheck( check.name );
	const double start         = NowSeconds();
	const CheckVerdict verdict = check.run( session );
	EmitResult( { check.name, verdict.status, verdict.reason, true, ( NowSeconds() - start ) * 1000.0 } );
	*stop = verdict.stopsGroup;
}
}

int RunCheckGroup( const std::string& plugin, const CheckOptions& options )
{
	Watchdog watchdog( options.callTimeout );
	const CheckGroup* group = FindCheckGroup( options.groups.front() );
	const CheckPlan plan    = MakeCheckPlan( options.strictness );
	CheckSession session( *group, plugin, plan, GroupSeed( options.seed, group->name ) );
	session.SetArtifactDirectory( options.artifactDirectory );
	session.SetUnrepeatable( options.unrepeatable );
	std::unique_ptr< LiveInstance > shared;
	std::string reason;
	if( options.probe )
		RunRepeatabilityProbe( session );
	else if( !StartGroup( session, *group, &shared, &reason ) )
		session.FailAll( "not run: " + reason );
	else
	{
		bool stop = false;
		for( size_t i = 0; i < group->checks.size() && !stop; ++i )
			RunOneCheck( session, group->checks[ i ], &stop );
	}
	shared.reset(); // ended before the session closes
	session.Close();
	EmitEnd();
	return kExitOk;
}
}
