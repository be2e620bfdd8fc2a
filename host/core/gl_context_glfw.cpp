#include "host/core/gl_context.h"

#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

struct GLContextImpl
{
	GLFWwindow* window;
};

static int glfwUsers = 0;
// GLFW's last error, as its callback gave it: "X11: Failed to open display :9 (GLFW error 0x10008)".
static std::string glfwFailure;

static void KeepGlfwError( int code, const char* description )
{
	char number[ 32 ];
	std::snprintf( number, sizeof( number ), " (GLFW error 0x%x)", static_cast< unsigned >( code ) );
	glfwFailure = std::string( description ? description : "no description" ) + number;
}

// The call that failed and GLFW's reason.
static std::string GlfwFailure( const char* call )
{
	return glfwFailure.empty() ? std::string( call ) + " failed" : std::string( call ) + " failed: " + glfwFailure;
}

// A busy X server now and then refuses a connection for a moment: a few tries before giving up.
static bool ConnectGlfw()
{
	const int kAttempts = 5;
	for( int attempt = 1;; ++attempt )
	{
		if( glfwInit() )
			return true;
		if( attempt == kAttempts )
			return false;
		std::this_thread::sleep_for( std::chrono::milliseconds( 100 * attempt ) );
	}
}

GLContext::~GLContext()
{
	Destroy();
}

bool GLContext::Create( std::string* error )
{
	if( impl )
		return true;
	glfwFailure.clear();
	glfwSetErrorCallback( KeepGlfwError );
	if( glfwUsers == 0 && !ConnectGlfw() )
	{
		*error = GlfwFailure( "glfwInit" );
		return false;
	}
	++glfwUsers;
	glfwDefaultWindowHints();
	glfwWindowHint( GLFW_VISIBLE, GLFW_FALSE );
	glfwWindowHint( GLFW_CONTEXT_VERSION_MAJOR, 4 );
	glfwWindowHint( GLFW_CONTEXT_VERSION_MINOR, 1 );
	glfwWindowHint( GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE );
	glfwWindowHint( GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE );
	GLFWwindow* window = glfwCreateWindow( 64, 64, "ffglhost", nullptr, nullptr );
	if( !window )
	{
		*error = GlfwFailure( "glfwCreateWindow (OpenGL 4.1 core)" );
		if( --glfwUsers == 0 )
			glfwTerminate();
		return false;
	}
	impl         = new GLContextImpl;
	impl->window = window;
	glfwMakeContextCurrent( window );
	return true;
}

void GLContext::MakeCurrent()
{
	if( impl )
		glfwMakeContextCurrent( impl->window );
}

void GLContext::ClearCurrent()
{
	glfwMakeContextCurrent( nullptr );
}

void GLContext::Destroy()
{
	if( !impl )
		return;
	if( glfwGetCurrentContext() == impl->window )
		glfwMakeContextCurrent( nullptr );
	glfwDestroyWindow( impl->window );
	delete impl;
	impl = nullptr;
	if( --glfwUsers == 0 )
		glfwTerminate();
}
