// The demo's whole life: bind GL and GLU, ask for full screen, open the
// window, set the GL state and the light, build the garden, then draw
// frames until the window is gone.
#pragma once

#include "render/glbind.h"

// Masks the floating-point exceptions, binds the GL and GLU libraries and
// runs the demo. A library that cannot be bound is reported in a box
// captioned "Error" before anything else is shown. Returns the exit code,
// 0 on every path.
int GardenMain(const char* glLibrary = kGLLibrary, const char* gluLibrary = kGLULibrary);

// Everything after the binding: the full-screen question, the window, the
// GL state and light, the garden, the frame loop and the shutdown. Expects
// GL entry points in the dispatch table. Returns 0.
int GardenRun();

// The start-up texts.
inline constexpr const char* kFullScreenQuestion = "Settare lo schermo intero?  ";
inline constexpr const char* kFullScreenCaption = "Video!";
inline constexpr const char* kWindowTitle = "Generazione di piante varie con frattali 3d";
