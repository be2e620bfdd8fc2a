#pragma once
// The two GLSL texts of the composite program, kept byte for byte as the effect draws with them.

extern const char* const kUmbrafexVertexSource;
extern const char* const kUmbrafexFragmentSource;
