// Internal: real GL contexts without a display, through Mesa's offscreen
// rendering (SDL's "offscreen" video driver over EGL), for the headless
// backend's picture tests. Not for use outside platform/.
#pragma once

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
