#pragma once
// The prototype: an instance made by the registered factory, never given GL, whose parameter table
// answers the host's global parameter queries until code 2 deletes it.
#include "ffgl/plugin.h"
#include "ffgl/types.h"

// Made on first need; deleted by code 2 only.
extern CFFGLPlugin* prototype;

// Runs the registration's initialise hook and makes the prototype if there is none.
FFResult InitialisePrototype();

// The prototype, made first if there is none; null when it cannot be made.
CFFGLPlugin* EnsurePrototype();

// The prototype's record n (the prototype made first if need be); null with no prototype or no record n.
ParameterRecord* PrototypeRecord( uint32_t id );

// The instance's record n when an instance is given, else the prototype's.
ParameterRecord* InstanceOrPrototypeRecord( CFFGLPlugin* instance, uint32_t id );
