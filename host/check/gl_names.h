#pragma once
// Which GL objects exist in the current context, found from GL itself (glIs*), so that objects a
// plug-in made can be seen to outlive its instances.
#include <GL/glew.h>

#include <string>
#include <vector>

namespace ffglhost
{
enum GLNameKind
{
	kTextureName,
	kBufferName,
	kFramebufferName,
	kRenderbufferName,
	kProgramName,
	kShaderName,
	kVertexArrayName,
	kGLNameKinds,
};

struct GLNameCensus
{
	std::vector< GLuint > names[ kGLNameKinds ]; // ascending per kind
};

// Every name from 1 to upTo that GL reports as an object of each kind.
GLNameCensus TakeGLNameCensus( GLuint upTo = 4096 );

// Names alive in after that were neither in before nor the host's own, as
// "2 textures (12, 13), 1 framebuffer (4)"; empty when none.
std::string NamesLeftBehind( const GLNameCensus& before, const GLNameCensus& after,
                             const GLNameCensus& hostOwn = GLNameCensus() );
}
