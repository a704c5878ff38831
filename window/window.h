// The window and input library in one include: the OpenGL window and its
// context, the window procedure with the input state and the message pump,
// and the mouse camera.
#pragma once

#include "window/glwindow.h"
#include "window/mousecam.h"
#include "window/wndproc.h"
