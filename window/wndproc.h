// The OpenGL window's procedure and the message pump. GLWndProc turns
// keyboard and mouse messages into the global input state below (key
// states, button flags, drag anchors, camera angles and depth) and reports
// the window's life through Active; SetGLMsg handles at most one queued
// message per call.
#pragma once

#include <array>
#include <cstdint>

#include "platform/winapi.h"

extern MSG Msg_;                              // the last message taken by SetGLMsg
extern std::array<std::int32_t, 501> SetKey;  // by virtual-key code: -1 while down, 0 after release
extern bool LeftMouseDown, LeftMouseDown2;
extern bool RightMouseDown, RightMouseDown2;
extern bool MouseFree;                        // mouse-look mode; any key release ends it
extern std::int32_t XCoord, YCoord;           // last cursor position of a left drag
extern std::int32_t ZCoord;                   // last cursor y of a right drag
extern std::int32_t SetMX, SetMY;             // position of the last left press; 0 after release
extern std::int32_t SetOMX, SetOMY;           // position of the last mouse move
extern float XRot, YRot;                      // camera angles in degrees
extern float XRot2, YRot2;
extern float Depth, Depth2;                   // camera distance term
extern POINT MPos;                            // cursor screen position in mouse-look mode
extern std::int32_t MSpeed;                   // drag speed factor, set by SetGLMouseMove

// Menu hooks, called only when ShowMenuBar is set.
extern void (*CreateMouseMenu)();
extern WNDPROC GetInputCommand;

LRESULT GLWndProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam);

// Takes at most one pending message of the thread and dispatches it; never
// waits.
void SetGLMsg();
