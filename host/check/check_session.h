#pragma once
// One group of "ffglhost check" in its own process: the plug-in loaded as a host loads it, a GL
// context, the host's side of every frame (an input texture that may be larger than its picture, a
// HostFBO of its own size, a viewport inside it, a clear colour no premultiplied effect can draw),
// and every call into the plug-in made as a host makes it: GL state set to the defaults before, compared
// after, a progress line before it (so a crash names its call), its time taken.
#include "host/check/gl_names.h"
#include "host/check/gl_state.h"
#include "host/check/check_plan.h"
#include "host/check/check_report.h"
#include "host/check/group_table.h"
#include "host/core/gl_context.h"
#include "host/core/picture.h"
#include "host/core/plugin_info.h"
#include "host/core/plugin_library.h"

#include <GL/glew.h>

#include <deque>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace ffglhost
{
// How a frame reaches the plug-in.
struct FrameLayout
{
	int width = 0, height = 0;               // the picture, and the viewport's size
	int textureWidth = 0, textureHeight = 0; // HardwareWidth and HardwareHeight: the picture sits at (0, 0)
	int targetWidth = 0, targetHeight = 0;   // the size of HostFBO's colour buffer
	int viewportX = 0, viewportY = 0;
};

// Picture, texture, HostFBO and viewport all of one size.
FrameLayout PlainLayout( int w, int h );
std::string SizeName( int w, int h ); // "320x180"
std::string FloatText( float value ); // "0.25", "nan", "-inf"

struct CheckInstance
{
	void* id      = nullptr;
	int frames    = 0;
	bool changed  = true; // size or a parameter changed since the last frame: the next is not a steady one
	int lastWidth = 0, lastHeight = 0;
	std::string name; // "instance 2", for messages
};

// What one frame drew.
struct FrameOutput
{
	uint32_t answer = 0;
	Picture picture;        // the viewport's pixels, rows top first
	size_t undrawn  = 0;    // viewport pixels still holding the host's clear colour
	size_t straight = 0;    // pixels whose red, green or blue exceeds their alpha by more than one step
	size_t outside  = 0;    // pixels outside the viewport that changed
	int straightX = 0, straightY = 0, straightAt[ 4 ] = {};
	int undrawnX = 0, undrawnY = 0;
	int outsideX = 0, outsideY = 0;
};

// What a frame's problems may be looked for.
enum FrameDemand : unsigned
{
	kAnswered      = 1, // FF_SUCCESS
	kDrawn         = 2, // every viewport pixel written
	kPremultiplied = 4,
	kInside        = 8, // nothing outside the viewport changed
	kEveryDemand   = 15,
};

// The first problem of the frame among those demanded, as a sentence; empty when none.
std::string FrameProblem( const FrameOutput& output, unsigned demands );

struct PictureDifference
{
	int maxStep   = 0; // the largest difference of one channel
	size_t pixels = 0; // pixels with a channel more than one step apart
	int x = 0, y = 0;  // the first of them, y from the top
	bool sizeDiffers = false;
};
PictureDifference ComparePictures( const Picture& a, const Picture& b );
// "up to 37 steps in 1200 pixels (0.42 %), first at (12, 40)"
std::string DescribeDifference( const PictureDifference& difference );

class CheckSession
{
public:
	CheckSession( const CheckGroup& group, const std::string& plugin, const CheckPlan& plan, uint64_t seed );
	~CheckSession();
	CheckSession( const CheckSession& )            = delete;
	CheckSession& operator=( const CheckSession& ) = delete;

	// Loads the plug-in, installs the log, FF_INITIALISE_V2, reads the description, starts GL.
	bool Open( std::string* error );
	// FF_DEINITIALISE and unload, with GL kept (for the scan's own load cycles).
	void CloseLibrary();
	// Ends whatever lives, then reports the shared checks this group fed and the log.
	void Close();

	// Results, one line each for the parent.
	void Begin( const char* check );
	void Report( const char* check, CheckStatus status, const std::string& reason );
	void Pass( const char* check, const std::string& detail ) { Report( check, CheckStatus::kPass, detail ); }
	void Warn( const char* check, const std::string& reason ) { Report( check, CheckStatus::kWarn, reason ); }
	void Fail( const char* check, const std::string& reason ) { Report( check, CheckStatus::kFail, reason ); }
	// Every check of the group failed with the reason (when the group cannot start).
	void FailAll( const std::string& reason );

	// A call that needs no GL (information codes), announced first.
	FFMixed Call( uint32_t code, FFMixed input, void* instance, const char* callName, const std::string& detail );

	// An instance record the session owns: Close ends it if a check could not.
	CheckInstance* NewInstance( const std::string& name );

	// Calls with the context current, GL state checked around them.
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
	const Picture& InputPicture( int index, int w, int h );

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
	void PrepareTarget( const FrameLayout& layout );
	void UploadInput( const FrameLayout& layout, int pictureIndex );
	void ReadOutput( const FrameLayout& layout, FrameOutput& output );
	void ReportSharedChecks();

	const CheckGroup& group;
	std::string plugin;
	CheckPlan plan;
	CheckRandom random;
	PluginLibrary library;
	bool initialised = false;
	PluginDescription description;
	GLContext context;
	bool glReady = false;

	// The host's GL objects: a few framebuffers made first (so HostFBO is not the first name), the
	// input texture, HostFBO and its colour buffer.
	GLuint spareFramebuffers[ 3 ] = {};
	GLuint inputTexture = 0, targetTexture = 0, targetFramebuffer = 0;
	int textureWidth = 0, textureHeight = 0, targetWidth = 0, targetHeight = 0;
	GLViewport viewport = { 0, 0, 1, 1 };
	Picture staging;
	std::map< std::tuple< int, int, int >, Picture > pictures;

	std::deque< CheckInstance > instances;
	StateWatch watches[ kCallKinds ];
	bool censusTaken = false;
	GLNameCensus namesBefore;
	std::string namesProblem;
	bool namesChecked = false;
};
}
