#pragma once
// A small plug-in that exercises every path of the spine: parameters of the boolean, standard, text
// and file types, a repeated identifier, and a record of the calls it receives. Each call is also
// sent to the host's log as "TestPlugin: <call>", so a host that loads the library can follow it.
#include "ffgl/plugin.h"

#include <string>

// Parameter identifiers of the test plug-in.
enum TestParameter : uint32_t
{
	TEST_SWITCH  = 0, // boolean, declared with 1.7
	TEST_LEVEL   = 1, // standard, 0.5
	TEST_CAPTION = 2, // text
	TEST_PICTURE = 3, // file
	TEST_HIGH    = 4, // standard, declared with 1.7
	TEST_LOW     = 5, // standard, declared with -0.2
	TEST_FLOATS  = 6,
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

	float values[ TEST_FLOATS ] = {};
	std::string caption;
	std::string picture;
};
