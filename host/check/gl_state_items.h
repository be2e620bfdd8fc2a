#pragma once
// The items of GL state a host hands a plug-in and expects back: one table, in the order a snapshot
// holds them, each with how it is read and how its value is written in a message.
#include <GL/glew.h>

#include <vector>

namespace ffglhost
{
// Where an item lives, and so how many copies of it a snapshot holds.
enum class GLStateRead
{
	kInteger,          // glGetIntegerv
	kFloat,            // glGetFloatv, kept as its bits
	kSwitch,           // glIsEnabled
	kEachUnit,         // glGetIntegerv on every texture unit
	kEachDrawBuffer,   // GL_DRAW_BUFFERi of HostFBO
	kEachClipDistance, // glIsEnabled( GL_CLIP_DISTANCEi )
	kHostReadBuffer,   // GL_READ_BUFFER of HostFBO
	kHostAttachment,   // what the bound draw framebuffer draws into
	kHostTexture,      // a parameter of each of the host's own textures
	kStencilReference, // glGetIntegerv with a framebuffer that has stencil bits: GL clamps to the one drawn
};

enum class GLStateShow
{
	kNumber, // a name, a count or a mask
	kEnum,   // hexadecimal
	kSwitch, // enabled or disabled
	kUnit,   // GL_TEXTUREn
	kFloat,
};

struct GLStateItem
{
	const char* name;
	GLenum query; // the first of the indexed ones
	int count;    // values of one copy
	GLStateRead read;
	GLStateShow show;
};

const std::vector< GLStateItem >& GLStateItems();

// Copies of the indexed items that are compared: GL 4.1 offers at least this many of each.
const int kComparedDrawBuffers   = 8;
const int kComparedClipDistances = 8;
// The host's own textures whose parameters are compared: its input texture and HostFBO's.
const int kHostTextures = 2;
// The most values one copy of an item holds.
const int kMaxItemValues = 4;
}
