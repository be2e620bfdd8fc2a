#pragma once
// The host test plug-in's "glstate:ITEM" fault: the item of the host's GL state that ffglhost check
// names ITEM, left changed after a frame in exactly one of its values (a texture on the last unit only,
// a viewport's width only, the alpha of a swizzle), so that a comparison of fewer values misses it.
#include <GL/glew.h>

namespace testplugin
{
// The objects the items are changed with, made when first needed and deleted with the instance.
class StateObjects
{
public:
	GLuint Texture( GLenum target ); // one per target: a texture keeps the target it was first bound to
	GLuint Buffer() { return Made( buffer, glGenBuffers ); }
	GLuint Renderbuffer() { return Made( renderbuffer, glGenRenderbuffers ); }
	GLuint VertexArray() { return Made( vertexArray, glGenVertexArrays ); }
	GLuint Program();
	GLuint Sampler() { return Made( sampler, glGenSamplers ); }
	GLuint Pipeline() { return Made( pipeline, glGenProgramPipelines ); }
	GLuint Feedback() { return Made( feedback, glGenTransformFeedbacks ); }
	void Release();

private:
	template< typename Generate >
	static GLuint Made( GLuint& name, Generate generate )
	{
		if( !name )
			generate( 1, &name );
		return name;
	}

	static const int kTextureTargets   = 11; // GL's kinds of texture
	GLenum targets[ kTextureTargets ]  = {}; // each texture's, in the order first asked for
	GLuint textures[ kTextureTargets ] = {};
	GLuint buffer = 0, renderbuffer = 0, vertexArray = 0, program = 0, sampler = 0, pipeline = 0, feedback = 0;
};

// What the frame gave the plug-in: its input texture (HostFBO is bound when the item is changed), and
// the plug-in's own framebuffer.
struct StateFrame
{
	GLuint inputTexture;
	GLuint ownFramebuffer;
};

// Changes the item; false when no row names it.
bool LeaveStateChanged( const char* item, const StateFrame& frame, StateObjects& objects );
}
