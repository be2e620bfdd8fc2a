#include "host/core/gl_context.h"

#include "host/core/windows_error.h"

#include <windows.h>

// WGL_ARB_create_context and WGL_ARB_create_context_profile, declared here to stay free of wglext.h.
typedef HGLRC( WINAPI* CreateContextAttribsFn )( HDC, HGLRC, const int* );
static const int WGL_CONTEXT_MAJOR_VERSION_ARB          = 0x2091;
static const int WGL_CONTEXT_MINOR_VERSION_ARB          = 0x2092;
static const int WGL_CONTEXT_FLAGS_ARB                  = 0x2094;
static const int WGL_CONTEXT_PROFILE_MASK_ARB           = 0x9126;
static const int WGL_CONTEXT_CORE_PROFILE_BIT_ARB       = 0x0001;
static const int WGL_CONTEXT_FORWARD_COMPATIBLE_BIT_ARB = 0x0002;

struct GLContextImpl
{
	HWND window;
	HDC dc;
	HGLRC context;
};

static const char* const kWindowClassName = "UmbrafexGLContext";

GLContext::~GLContext()
{
	Destroy();
}

// The call that failed and Windows' reason, read at once, before anything else can change it.
static std::string LastError( const char* call )
{
	const DWORD code = GetLastError();
	return std::string( call ) + " failed: " + ffglhost::WindowsErrorText( code );
}

static bool RegisterWindowClass( std::string* error )
{
	static bool registered = false;
	if( registered )
		return true;
	WNDCLASSA wc     = {};
	wc.style         = CS_OWNDC;
	wc.lpfnWndProc   = DefWindowProcA;
	wc.hInstance     = GetModuleHandleA( nullptr );
	wc.lpszClassName = kWindowClassName;
	registered       = RegisterClassA( &wc ) != 0;
	if( !registered )
		*error = LastError( "RegisterClassA" );
	return registered;
}

// A legacy context made current on dc, to reach wglCreateContextAttribsARB, then the 4.1 core context;
// null with the failing call in *error.
static HGLRC CreateCoreContext( HDC dc, std::string* error )
{
	HGLRC legacy = wglCreateContext( dc );
	if( !legacy )
	{
		*error = LastError( "wglCreateContext" );
		return nullptr;
	}
	HGLRC context = nullptr;
	if( !wglMakeCurrent( dc, legacy ) )
		*error = LastError( "wglMakeCurrent (legacy context)" );
	else
	{
		CreateContextAttribsFn createContextAttribs = reinterpret_cast< CreateContextAttribsFn >(
		    reinterpret_cast< void* >( wglGetProcAddress( "wglCreateContextAttribsARB" ) ) );
		const int attributes[] = { WGL_CONTEXT_MAJOR_VERSION_ARB,
			                       4,
			                       WGL_CONTEXT_MINOR_VERSION_ARB,
			                       1,
			                       WGL_CONTEXT_FLAGS_ARB,
			                       WGL_CONTEXT_FORWARD_COMPATIBLE_BIT_ARB,
			                       WGL_CONTEXT_PROFILE_MASK_ARB,
			                       WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
			                       0 };
		context                = createContextAttribs ? createContextAttribs( dc, nullptr, attributes ) : nullptr;
		if( !createContextAttribs )
			*error = "no OpenGL 4.1 core context: the driver has no wglCreateContextAttribsARB";
		else if( !context )
			*error = LastError( "wglCreateContextAttribsARB (OpenGL 4.1 core)" );
		wglMakeCurrent( nullptr, nullptr );
	}
	wglDeleteContext( legacy );
	return context;
}

// Window class, window, pixel format, then the core context: each step needs the last, and a failure
// releases what the steps before it made.
bool GLContext::Create( std::string* error )
{
	if( impl )
		return true;
	if( !RegisterWindowClass( error ) )
		return false;
	HWND window = CreateWindowExA( 0, kWindowClassName, "ffglhost", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
	                               GetModuleHandleA( nullptr ), nullptr );
	if( !window )
	{
		*error = LastError( "CreateWindowExA" );
		return false;
	}
	HDC dc                    = GetDC( window );
	PIXELFORMATDESCRIPTOR pfd = {};
	pfd.nSize                 = sizeof( pfd );
	pfd.nVersion              = 1;
	pfd.dwFlags               = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
	pfd.iPixelType            = PFD_TYPE_RGBA;
	pfd.cColorBits            = 32;
	pfd.cAlphaBits            = 8;
	pfd.cDepthBits            = 24;
	const int format          = ChoosePixelFormat( dc, &pfd );
	HGLRC context             = nullptr;
	if( format == 0 )
		*error = LastError( "ChoosePixelFormat" );
	else if( !SetPixelFormat( dc, format, &pfd ) )
		*error = LastError( "SetPixelFormat" );
	else if( ( context = CreateCoreContext( dc, error ) ) && !wglMakeCurrent( dc, context ) )
	{
		*error = LastError( "wglMakeCurrent" );
		wglDeleteContext( context );
		context = nullptr;
	}
	if( !context )
	{
		ReleaseDC( window, dc );
		DestroyWindow( window );
		return false;
	}
	impl          = new GLContextImpl;
	impl->window  = window;
	impl->dc      = dc;
	impl->context = context;
	return true;
}

void GLContext::MakeCurrent()
{
	if( impl )
		wglMakeCurrent( impl->dc, impl->context );
}

void GLContext::ClearCurrent()
{
	wglMakeCurrent( nullptr, nullptr );
}

void GLContext::Destroy()
{
	if( !impl )
		return;
	if( wglGetCurrentContext() == impl->context )
		wglMakeCurrent( nullptr, nullptr );
	wglDeleteContext( impl->context );
	ReleaseDC( impl->window, impl->dc );
	DestroyWindow( impl->window );
	delete impl;
	impl = nullptr;
}
