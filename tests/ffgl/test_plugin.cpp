#include "tests/ffgl/test_plugin.h"

#include "ffgl/log.h"
#include "ffgl/registration.h"

#include <GL/glew.h>

#include <cstdio>

TestPluginState testPlugin;

void ResetTestPlugin()
{
	testPlugin = TestPluginState();
}

struct TestPluginFault
{
};

static void RecordOnly( const std::string& call )
{
	testPlugin.calls += call + ";";
	LogToHost( ( "TestPlugin: " + call ).c_str() );
}

// Every operation but the destructor records through here, so each can be told to throw.
static void Record( const std::string& call )
{
	RecordOnly( call );
	if( call == testPlugin.throwIn )
		throw TestPluginFault();
}

static std::string Numbered( const char* call, uint32_t index )
{
	char text[ 32 ];
	std::snprintf( text, sizeof( text ), "%s %u", call, index );
	return text;
}

static bool IsFloatParameter( uint32_t index )
{
	return index == kTestSwitch || index == kTestLevel || index == kTestHigh || index == kTestLow;
}

TestPlugin::TestPlugin()
    : CFFGLPlugin( testPlugin.topLeftSupported )
{
	DeclareParameter( kTestSwitch, "Switch", FF_TYPE_BOOLEAN, 1.7f );
	DeclareParameter( kTestLevel, "Level", FF_TYPE_STANDARD, 0.5f );
	DeclareParameter( kTestCaption, "Caption", FF_TYPE_TEXT, 0.f );
	DeclareParameter( kTestPicture, "Picture", FF_TYPE_FILE, 0.f );
	DeclareParameter( kTestHigh, "High", FF_TYPE_STANDARD, 1.7f );
	DeclareParameter( kTestLow, "Low", FF_TYPE_STANDARD, -0.2f );
	// Shadowed by "Level": never found by a lookup.
	DeclareParameter( kTestLevel, "Shadowed", FF_TYPE_TEXT, 0.f );
	SetMinimumInputs( 1 );
	SetMaximumInputs( 1 );
	++testPlugin.constructed;
	Record( "created" );
}

TestPlugin::~TestPlugin()
{
	++testPlugin.destroyed;
	RecordOnly( "destroyed" );
}

FFResult TestPlugin::InitGL( const FFGLViewportStruct* vp )
{
	++testPlugin.initGL;
	testPlugin.initViewport = *vp;
	Record( "InitGL" );
	CFFGLPlugin::InitGL( vp );
	return testPlugin.initGLResult;
}

FFResult TestPlugin::DeInitGL()
{
	++testPlugin.deInitGL;
	Record( "DeInitGL" );
	return FF_SUCCESS;
}

FFResult TestPlugin::SetFloatParameter( uint32_t index, float value )
{
	Record( Numbered( "SetFloat", index ) );
	if( index == testPlugin.failSetFloatIndex || !IsFloatParameter( index ) )
		return FF_FAIL;
	values[ index ] = value;
	return FF_SUCCESS;
}

FFResult TestPlugin::SetTextParameter( uint32_t index, const char* value )
{
	Record( Numbered( "SetText", index ) );
	if( index == kTestCaption )
		caption = value ? value : "";
	else if( index == kTestPicture )
		picture = value ? value : "";
	else
		return FF_FAIL;
	return FF_SUCCESS;
}

float TestPlugin::GetFloatParameter( uint32_t index )
{
	return IsFloatParameter( index ) ? values[ index ] : 0.f;
}

char* TestPlugin::GetTextParameter( uint32_t index )
{
	if( index == kTestCaption )
		return caption.data();
	if( index == kTestPicture )
		return picture.data();
	return CFFGLPlugin::GetTextParameter( index );
}

// Clears the host's framebuffer to (Level, Switch, 0, 1) and puts the touched state back.
FFResult TestPlugin::ProcessOpenGL( ProcessOpenGLStruct* pGL )
{
	++testPlugin.frames;
	testPlugin.lastInputHandle = pGL->numInputTextures > 0 ? pGL->inputTextures[ 0 ]->Handle : 0;
	Record( "ProcessOpenGL" );

	GLint lastDrawFramebuffer = 0;
	GLfloat lastClearColor[ 4 ];
	glGetIntegerv( GL_DRAW_FRAMEBUFFER_BINDING, &lastDrawFramebuffer );
	glGetFloatv( GL_COLOR_CLEAR_VALUE, lastClearColor );

	glBindFramebuffer( GL_DRAW_FRAMEBUFFER, pGL->HostFBO );
	glClearColor( values[ kTestLevel ], values[ kTestSwitch ], 0.f, 1.f );
	glClear( GL_COLOR_BUFFER_BIT );

	glClearColor( lastClearColor[ 0 ], lastClearColor[ 1 ], lastClearColor[ 2 ], lastClearColor[ 3 ] );
	glBindFramebuffer( GL_DRAW_FRAMEBUFFER, static_cast< GLuint >( lastDrawFramebuffer ) );
	return FF_SUCCESS;
}

FFResult TestPlugin::Connect()
{
	++testPlugin.connects;
	Record( "Connect" );
	return testPlugin.connectResult;
}

FFResult TestPlugin::Disconnect()
{
	++testPlugin.disconnects;
	Record( "Disconnect" );
	return testPlugin.disconnectResult;
}

static FFResult CreateTestPlugin( CFFGLPlugin** slot )
{
	if( testPlugin.factoryFails )
	{
		if( testPlugin.factoryStraysOnFail )
			CreatePluginInstance< TestPlugin >( slot );
		return FF_FAIL;
	}
	return CreatePluginInstance< TestPlugin >( slot );
}

static PluginRegistration registrationObject( &CreateTestPlugin, "TSPN", "FFGL Spine Tests", 2, 1, 1, 0, FF_EFFECT,
                                              "Exercises the plug-in spine", "Umbrafex TAVLEN tests", 0, nullptr,
                                              nullptr, nullptr );
