#pragma once
#include <GL/glew.h>

namespace ffglex
{
// One GLSL program built from a vertex and a fragment stage. Holds only GL names; no GL call in
// construction or destruction: the owner calls Release while the context is current.
class ShaderProgram
{
public:
	ShaderProgram() = default;

	ShaderProgram( const ShaderProgram& )            = delete;
	ShaderProgram& operator=( const ShaderProgram& ) = delete;

	// Releases what is held, then compiles both stages and links them. A missing source fails
	// silently; a failing stage or link writes one text to the debug line. On failure nothing is held.
	bool Compile( const char* vertexSource, const char* fragmentSource );
	// Deletes what is held; safe on an empty object.
	void Release();

	GLuint ProgramName() const;

	// Asked of GL on every call; -1 when the program has no such active uniform.
	GLint UniformLocation( const char* name ) const;
	// Act on the program in use: bind it first.
	void SetUniformInt( const char* name, int value );
	void SetUniformVec2( const char* name, float x, float y );

private:
	bool CompileVertexStage( const char* source );
	bool CompileFragmentStage( const char* source );
	bool CompileStage( GLenum type, GLuint& name, const char* source, const char* errorPrefix );
	bool Link();

	GLuint vertexShader   = 0;
	GLuint fragmentShader = 0;
	GLuint program        = 0;
};
}
