#pragma once
// Scoped bindings: each puts one piece of GL binding state in force for the life of a scope. None
// remembers what was bound before: the end always restores the default (buffer 0, texture 0, vertex
// array 0, program 0, texture unit 0). Deleting copy also removes the implicit moves.
#include <GL/glew.h>

namespace ffglex
{
// Binds a buffer to a target; the end binds 0 to that target.
class ScopedBufferBinding
{
public:
	ScopedBufferBinding( GLenum target, GLuint buffer );
	virtual ~ScopedBufferBinding();
	ScopedBufferBinding( const ScopedBufferBinding& )            = delete;
	ScopedBufferBinding& operator=( const ScopedBufferBinding& ) = delete;

private:
	GLenum target;
	bool bound;
};

// A buffer binding on GL_ARRAY_BUFFER; ends like its base.
class ScopedVBOBinding : public ScopedBufferBinding
{
public:
	explicit ScopedVBOBinding( GLuint buffer );
};

// Binds a texture to a target on the active unit. The end binds 0 on whichever unit is active at
// that moment: the unit is not remembered.
class ScopedTextureBinding
{
public:
	ScopedTextureBinding( GLenum target, GLuint texture );
	virtual ~ScopedTextureBinding();
	ScopedTextureBinding( const ScopedTextureBinding& )            = delete;
	ScopedTextureBinding& operator=( const ScopedTextureBinding& ) = delete;

private:
	GLenum target;
	bool bound;
};

// A texture binding on GL_TEXTURE_2D; ends like its base.
class Scoped2DTextureBinding : public ScopedTextureBinding
{
public:
	explicit Scoped2DTextureBinding( GLuint texture );
};

// Binds a vertex array; the end binds vertex array 0.
class ScopedVertexArrayBinding
{
public:
	explicit ScopedVertexArrayBinding( GLuint name );
	~ScopedVertexArrayBinding();
	ScopedVertexArrayBinding( const ScopedVertexArrayBinding& )            = delete;
	ScopedVertexArrayBinding& operator=( const ScopedVertexArrayBinding& ) = delete;

private:
	bool bound;
};

// Puts a program in use; the end uses program 0.
class ScopedProgramBinding
{
public:
	explicit ScopedProgramBinding( GLuint program );
	~ScopedProgramBinding();
	ScopedProgramBinding( const ScopedProgramBinding& )            = delete;
	ScopedProgramBinding& operator=( const ScopedProgramBinding& ) = delete;

private:
	bool bound;
};

// Makes texture unit n active; the end always makes unit 0 active.
class ScopedTextureUnitBinding
{
public:
	explicit ScopedTextureUnitBinding( GLuint unit );
	~ScopedTextureUnitBinding();
	ScopedTextureUnitBinding( const ScopedTextureUnitBinding& )            = delete;
	ScopedTextureUnitBinding& operator=( const ScopedTextureUnitBinding& ) = delete;

private:
	bool bound;
};
}
