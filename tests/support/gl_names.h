#pragma once
// Which GL object names exist in the current context, found from GL itself (glIs*), so that objects a
// plug-in made internally can be seen to be gone after its instances end.
#include <GL/glew.h>

#include <string>
#include <vector>

struct GLNames
{
	std::vector< GLuint > textures;
	std::vector< GLuint > buffers;
	std::vector< GLuint > framebuffers;
	std::vector< GLuint > programs;
	std::vector< GLuint > shaders;
	std::vector< GLuint > vertexArrays;
	size_t Count() const;
};

// Every name from 1 to upTo that GL reports as an object of each kind.
GLNames LiveGLNames( GLuint upTo = 4096 );

// The names alive in `after` that were not in `before`, as "texture 12, buffer 3"; empty when none.
std::string NamesAdded( const GLNames& before, const GLNames& after );
