// Layer-internal: shows the child windows of a top-level GL window over
// the frame just drawn, as part of the buffer swap. Each visible child's
// painted surface is drawn at its place in the client area, clipped to the
// client area and to the child's window region. Every piece of GL state
// touched is saved before and restored after, so the next frame starts
// from the state this one left.
#pragma once

#include "platform/layer.h"

namespace layer {

// Looks GL entry points up by name in the current context's library.
using GlProcLookup = void* (*)(const char* name);

// Draws the children of `top` into the current GL context's back buffer.
// Does nothing when the window has no painted child or the GL entry points
// cannot be found.
void CompositeChildren(WindowRecord& top, GlProcLookup lookup);

}  // namespace layer
