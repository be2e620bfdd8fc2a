#pragma once
// A hidden window with a current OpenGL 4.1 core context: what a host gives a plug-in, and what
// every GL test runs on. GLFW on Linux, WGL on Windows.
#include <string>

struct GLContextImpl;

class GLContext
{
public:
	GLContext() = default;
	~GLContext();
	GLContext( const GLContext& )            = delete;
	GLContext& operator=( const GLContext& ) = delete;

	// Creates the window and the context and makes it current on the calling thread. On failure
	// returns false with the failing call and the system's reason in *error.
	bool Create( std::string* error );
	void MakeCurrent();
	void ClearCurrent();
	void Destroy();
	bool IsCreated() const { return impl != nullptr; }

private:
	GLContextImpl* impl = nullptr;
};
