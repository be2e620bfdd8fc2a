#pragma once
// GLEW's start-up: once per process, on the first GL instantiation, with the host's context current.

// GLEW has been tried in this process, and whether that succeeded. A failure is final.
extern bool glewAttempted;
extern bool glewReady;

// Calls glewInit the first time; afterwards answers that first outcome without trying again.
bool StartGlew();
