#pragma once
// A small plug-in that exercises every path of the spine: parameters of the boolean, standard, text
// and file types, a repeated identifier, and a record of the calls it receives. Each call is also
// sent to the host's log as "TestPlugin: <call>", so a host that loads the library can follow it.
#include "ffgl/plugin.h"

#include <string>

// Parameter identifiers of the test plug-in.
enum TestParameter : uint32_t
{
	kTestSwitch  = 0, // boolean, declared with 1.7
	kTestLevel   = 1, // standard, 0.5
	kTestCaption = 2, // text
	kTestPicture = 3, // file
	kTestHigh    = 4, // standard, declared with 1.7
	kTestLow     = 5, // standard, declared with -0.2
	kTestFloats  = 6,
};

// What the test plug-in is told to do, and what happened to it, in this process (or library).
struct TestPluginState
{
	// Controls
	bool factoryFails          = false;
	bool factoryStraysOnFail   = false; // the failing factory still stores an instance
	bool topLeftSupported      = true;
	FFResult initGLResult      = FF_SUCCESS;
	uint32_t failSetFloatIndex = 0xFFFFFFFF;
	FFResult connectResult     = FF_SUCCESS;
	FFResult disconnectResult  = FF_SUCCESS;
	// A call, as recorded ("SetFloat 4", "InitGL", "Disconnect"), that throws instead of answering.
	std::string throwIn;

	// Record
	int constructed = 0;
	int destroyed   = 0;
	int initGL      = 0;
	int deInitGL    = 0;
	int connects    = 0;
	int disconnects = 0;
	int frames      = 0;
	// Every call, in order, each followed by ';' ("SetFloat 1;InitGL;").
	std::string calls;
	FFGLViewportStruct initViewport = {};
	uint32_t lastInputHandle        = 0;
};

extern TestPluginState testPlugin;

// Back to the defaults: no failure asked for, nothing recorded.
void ResetTestPlugin();

class TestPlugin : public CFFGLPlugin
{
public:
	TestPlugin();
	~TestPlugin() override;

	FFResult InitGL( const FFGLViewportStruct* vp ) override;
	FFResult DeInitGL() override;
	FFResult SetFloatParameter( uint32_t index, float value ) override;
	FFResult SetTextParameter( uint32_t index, const char* value ) override;
	float GetFloatParameter( uint32_t index ) override;
	char* GetTextParameter( uint32_t index ) override;
	FFResult ProcessOpenGL( ProcessOpenGLStruct* pGL ) override;
	FFResult Connect() override;
	FFResult Disconnect() override;

	float values[ kTestFloats ] = {};
	std::string caption;
	std::string picture;
};
