// Real GL contexts without a display, through Mesa's offscreen rendering
// (SDL's "offscreen" video driver over EGL). The layer:: calls serve the
// headless backend; the single-context calls below serve benchmarks and
// tools that need GL without any window.
#pragma once

#include <string>

namespace layer {

// A context with its own offscreen drawable of the given size; null when
// offscreen GL is unavailable. Compatibility profile, double buffered,
// 24-bit depth and 8-bit stencil where granted.
void* OffscreenGlCreate(int width, int height);
bool OffscreenGlMakeCurrent(void* context);  // null releases
void OffscreenGlDelete(void* context);
void OffscreenGlSwap(void* context);
// Closes the offscreen video driver once no context is left.
void OffscreenGlShutdown();

}  // namespace layer

// The one offscreen context of a tool or benchmark: opens (or re-opens at a
// new size) a context with its own drawable, makes it current and sets the
// swap interval to 0. False with `error` filled when none can be made.
bool OpenOffscreenGL(int width, int height, std::string& error);
// Makes that context current (true) or releases it (false).
bool MakeOffscreenGLCurrent(bool current);
// Finishes the frame; the drawable keeps its pixels for reading.
void SwapOffscreenGL();
// Destroys the context (no-op when none is open).
void CloseOffscreenGL();
bool OffscreenGLOpen();
