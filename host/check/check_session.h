#pragma once
// One group of "ffglhost check" in its own process: the plug-in loaded as a host loads it, a GL
// context, the host's side of every frame (HostTarget), and every call into the plug-in made as a host
// makes it: GL state set to the defaults before, compared after, a progress line before it (so a crash
// names its call), its time taken.
#include "host/check/artifacts.h"
#include "host/check/check_plan.h"
#include "host/check/frame_output.h"
#include "host/check/gl_names.h"
#include "host/check/gl_state.h"
#include "host/check/group_lines.h"
#include "host/check/group_table.h"
#include "host/check/host_target.h"
#include "host/check/input_pictures.h"
#include "host/check/picture_compare.h"
#include "host/core/gl_context.h"
#include "host/core/picture.h"
#include "host/core/plugin_info.h"
#include "host/core/plugin_library.h"
#include "host/core/texts.h"

#include <GL/glew.h>

#include <string>
#include <vector>

namespace ffglhost
{
struct CheckInstance
{
	void* id      = nullptr;
	int frames    = 0;
	bool changed  = true; // size or a parameter changed since the last frame: the next is not a steady one
	int lastWidth = 0, lastHeight = 0;
	std::string name; // "instance 2", for messages
};

class CheckSession
{
public:
	CheckSession( const CheckGroup& group, const std::string& plugin, const CheckPlan& plan, uint64_t seed );
	~CheckSession();
	CheckSession( const CheckSession& )            = delete;
	CheckSession& operator=( const CheckSession& ) = delete;

	// Loads the plug-in, installs the log, FF_INITIALISE_V2, reads the description, starts GL. When the
	// file does not load as a library or GL does not start, it tells the parent the run cannot go on.
	bool Open( std::string* error );
	// FF_DEINITIALISE and unload, with GL kept (for the scan's own load cycles).
	void CloseLibrary();
	// Ends whatever lives, then reports the shared checks this group fed and the log.
	void Close();

	// The check running now: its pictures are saved under its name.
	void SetCurrentCheck( const std::string& check ) { currentCheck = check; }
	// Every check of the group failed as not run, with the reason (when the group cannot start).
	void FailAll( const std::string& reason );

	// What the repeatability probes found when the effect does not draw twice alike; empty when it does.
	void SetUnrepeatable( const std::string& finding ) { unrepeatable = finding; }
	const std::string& Unrepeatable() const { return unrepeatable; }

	// The group's shared instance ("instance 1"), when its group starts with one.
	void SetSharedInstance( CheckInstance* instance ) { shared = instance; }
	CheckInstance& SharedInstance() { return *shared; }

	// Where the pictures of picture checks that warn or fail go; empty (the default): nowhere.
	void SetArtifactDirectory( const std::string& directory ) { artifactDirectory = directory; }
	// Writes the picture expected, the one drawn (frame number frame of the instance named) and their
	// difference for the current check, and tells the parent their names; does nothing without an
	// artifact directory.
	void SavePictures( const std::string& instance, int frame, const Picture& expected, const Picture& drawn );
	// FrameProblem of the instance's last frame; when there is one, with an artifact directory, the
	// picture drawn and one marking the pixels that break the demands (undrawn, not premultiplied) are
	// saved for the current check.
	std::string FrameProblemOf( const CheckInstance& instance, const FrameOutput& output, unsigned demands );

	// A call that needs no GL (information codes), announced first.
	FFMixed Call( uint32_t code, FFMixed input, void* instance, const char* callName, const std::string& detail );

	// Calls with the context current, GL state checked around them. Checks make and end their
	// instances through LiveInstance (live_instance.h).
	bool Instantiate( CheckInstance& instance, int w, int h, std::string* reason );
	void Deinstantiate( CheckInstance& instance );
	uint32_t SetFloat( CheckInstance& instance, uint32_t index, float value );
	uint32_t SetText( CheckInstance& instance, uint32_t index, const char* text );
	uint32_t Resize( CheckInstance& instance, int w, int h );
	// FF_DEINITIALISE and FF_INITIALISE_V2 while instances may live.
	uint32_t Deinitialise();
	uint32_t Initialise();
	// Every parameter to the default the plug-in declares; false when one is refused.
	bool SetDefaults( CheckInstance& instance, std::string* reason );
	// A random value within its range for every float parameter (0 or 1 for a boolean) and a random
	// text for every text parameter, the float values set listed in *values when given. False (with the
	// parameter's name) when the plug-in refuses one.
	bool SetRandomValues( CheckInstance& instance, CheckRandom& random, std::string* reason,
	                      std::vector< std::pair< uint32_t, float > >* values = nullptr );

	// Uploads picture number pictureIndex at the layout's size, clears HostFBO to the host's clear
	// colour, calls FF_PROCESS_OPENGL and reads back what it drew.
	void Frame( CheckInstance& instance, const FrameLayout& layout, int pictureIndex, FrameOutput& output );
	// A frame with a record of the host's choosing (protocol checks); its HostFBO is set here.
	uint32_t RawFrame( CheckInstance& instance, const FrameLayout& layout, ProcessOpenGLStruct* record,
	                   const std::string& detail, FrameOutput* output );
	// The input picture of that index and size: the generated presenter with translucent and clear bands,
	// premultiplied; the same for the same arguments.
	const Picture& InputPicture( int index, int w, int h ) { return inputs.Get( index, w, h ); }

	const std::string& PluginPath() const { return plugin; }
	const PluginDescription& Description() const { return description; }
	const CheckPlan& Plan() const { return plan; }
	CheckRandom& Random() { return random; }
	std::vector< uint32_t > FloatParameters() const; // indexes of the parameters that take numbers

private:
	enum CallKind
	{
		kInstantiateCall,
		kProcessCall,
		kDeinstantiateCall,
		kOtherCall,
		kCallKinds,
	};
	struct StateWatch
	{
		int calls = 0;
		std::string problem; // the first call that left the state changed or raised an error
	};

	FFMixed GuardedCall( CallKind kind, uint32_t code, FFMixed input, void* instance, const char* callName,
	                     const std::string& detail, double* milliseconds = nullptr );
	// The layout's texture and HostFBO, the picture uploaded, HostFBO cleared.
	void PrepareFrame( const FrameLayout& layout, int pictureIndex );
	void ReportSharedChecks();
	void WritePictures( const std::string& base, const std::vector< ArtifactPicture >& pictures );

	const CheckGroup& group;
	std::string plugin;
	std::string artifactDirectory;
	CheckPlan plan;
	CheckRandom random;
	PluginLibrary library;
	bool initialised = false;
	PluginDescription description;
	GLContext context;
	bool glReady = false;

	HostTarget target;
	InputPictures inputs;

	std::string currentCheck;
	std::string unrepeatable;
	CheckInstance* shared = nullptr;
	StateWatch watches[ kCallKinds ];
	bool censusTaken = false;
	GLNameCensus namesBefore;
	std::string namesProblem;
	bool namesChecked = false;
};
}
