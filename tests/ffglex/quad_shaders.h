#pragma once
// Small GLSL stages for drawing the screen quad in tests.

// Feeds position and texture coordinate through, as the effect's own vertex stage does.
static const char* const kPassVertexSource = R"(#version 410 core
layout( location = 0 ) in vec4 vPosition;
layout( location = 1 ) in vec2 vUV;
out vec2 uv;
void main()
{
	gl_Position = vPosition;
	uv          = vUV;
}
)";

static const char* const kTextureFragmentSource = R"(#version 410 core
uniform sampler2D inputTexture;
in vec2 uv;
out vec4 fragColour;
void main()
{
	fragColour = texture( inputTexture, uv );
}
)";
