// The desktop-API layer in one include: the Win32-style calls the window,
// texture and application code use (winapi.h). Backend selection: the
// GARDEN_PLATFORM environment variable, "sdl" (default) or "headless";
// tests select and reset in process through headless.h.
#pragma once

#include "platform/winapi.h"
