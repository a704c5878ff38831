// A real GL context without a display: SDL's "offscreen" video driver gives
// an EGL pbuffer surface on Mesa's software rasteriser (llvmpipe). Used by
// the picture tests and the benchmarks, directly or through the headless
// backend (which then hands out this context instead of a token).
#pragma once

#include <string>

// Opens (or re-opens at a new size) the one offscreen surface of the process
// with a compatibility-profile context, 8-bit RGBA and a 24-bit depth
// buffer, makes it current and sets the swap interval to 0. False with
// `error` filled when no context can be made.
bool OpenOffscreenGL(int width, int height, std::string& error);
// Makes the offscreen context current (true) or releases it (false).
bool MakeOffscreenGLCurrent(bool current);
// Finishes the frame; the pbuffer keeps its pixels, so they can still be
// read after the swap.
void SwapOffscreenGL();
// Destroys the context and the surface (no-op when none is open).
void CloseOffscreenGL();
bool OffscreenGLOpen();

// The headless backend's contexts: with this on, wglCreateContext on the
// headless backend opens the offscreen context at the window's outer size,
// wglMakeCurrent binds it and SwapBuffers finishes its frame. Off by
// default; the environment variable GARDEN_HEADLESS_GL=mesa turns it on for
// a whole process (the demo under the benchmarks).
void HeadlessUseMesaGL(bool on);
bool HeadlessMesaGL();
