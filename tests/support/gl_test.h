#pragma once
// Every GL test runs with a real OpenGL 4.1 core context current: one hidden window per process,
// made on first use, with GLEW initialised for the test's own module.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>

// Makes the process's test context current (creating it and initialising GLEW on first use).
// Returns false, with a reason in *error, when no context can be had.
bool EnsureTestContext( std::string* error );

// Creates the process's window but leaves no context current, for tests that must call in without one.
bool CreateTestContextNotCurrent( std::string* error );
void MakeTestContextCurrent();

class GLTest : public ::testing::Test
{
protected:
	void SetUp() override;
};
