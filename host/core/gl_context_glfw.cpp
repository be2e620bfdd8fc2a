#include "host/core/gl_context.h"

#include <GLFW/glfw3.h>

#include <chrono>
#include <thread>

struct GLContextImpl
{
	GLFWwindow* window;
};

static int glfwUsers = 0;

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

bool GLContext::Create( const char** error )
{
	if( impl )
		return true;
	if( glfwUsers == 0 && !ConnectGlfw() )
	{
		*error = "glfwInit failed (is DISPLAY set to a running X server?)";
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
		*error = "no OpenGL 4.1 core context could be created";
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
