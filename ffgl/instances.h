#pragma once
// The process-wide instance state behind plugMain: the prototype that answers the global parameter
// queries, GL instantiation of new instances, and GLEW's once-per-process initialisation.
#include "ffgl/plugin.h"
#include "ffgl/types.h"

// Made by the registered factory on first need, never given GL; deleted by code 2 only.
extern CFFGLPlugin* prototype;
// GLEW is tried once per process; a failure is final.
extern bool glewAttempted;
extern bool glewReady;

// Runs the registration's initialise hook and makes the prototype if there is none.
FFResult InitialisePrototype();

// The prototype, made first if there is none; null when it cannot be made.
CFFGLPlugin* EnsurePrototype();

// A new instance with its defaults pushed, GLEW ready and InitGL done; null on any failure, in which
// case nothing is left behind.
CFFGLPlugin* InstantiateGL( const FFGLViewportStruct* vp );

// The factory's new instance, or null (a failing factory's stray instance is destroyed).
CFFGLPlugin* CreateInstance();
