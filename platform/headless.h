// Test control of the desktop-API layer: choose the headless backend in
// process, reset the whole layer between tests, inject input (raised through
// the same path as real window-system events), answer message boxes and read
// their log, and hook the buffer swaps of a running frame loop.
#pragma once

#include <string>
#include <vector>

#include "platform/winapi.h"

// Selects the headless backend with a virtual screen of the given size,
// after resetting the layer. Without this call the backend comes from the
// GARDEN_PLATFORM environment variable ("sdl", the default, or "headless").
void UseHeadlessPlatform(int screenWidth, int screenHeight);

// Selects the SDL backend (after resetting the layer); the display is opened
// at the first call that needs it.
void UseSdlPlatform();

// Destroys every window (without sending messages), unregisters every class
// and clears the queue, capture, focus, GDI objects, contexts, swap count,
// frame hook and the headless backend's answers and log. The backend choice
// stays.
void ResetPlatform();

// "sdl" or "headless".
const char* PlatformBackendName();

// --- Headless screen and GL ------------------------------------------------
void HeadlessSetScreenSize(int width, int height);
// The pixel formats the headless backend offers (ChoosePixelFormat picks
// the nearest; an empty list makes it return 0). Reset restores the default
// list.
void HeadlessSetPixelFormats(const std::vector<PIXELFORMATDESCRIPTOR>& formats);
std::vector<PIXELFORMATDESCRIPTOR> HeadlessDefaultPixelFormats();
// Real GL contexts through Mesa's offscreen rendering instead of tokens
// (also GARDEN_HEADLESS_GL=mesa); set before contexts are made. Each context
// draws into an offscreen surface of its window's client size.
void HeadlessUseMesaGl(bool on);
// Makes wglCreateContext fail (true) or succeed (false, the default).
void HeadlessFailContexts(bool fail);
// Makes the window system refuse new top-level windows (true), as when it
// is out of resources; child windows are the layer's own and still work.
void HeadlessFailWindows(bool fail);
// The frame extents the headless backend gives windows with a caption
// (left, top, right, bottom); windows without a caption have none.
RECT HeadlessCaptionFrame();

// --- Headless input ---------------------------------------------------------
// Screen coordinates move the virtual cursor; the window under it (or the
// capture window) gets the message. Client variants convert from the given
// window's client area first. Keys go to the focus window.
enum class MouseButton { Left, Right, Middle };
void HeadlessMouseMove(int screenX, int screenY);
void HeadlessMouseMoveClient(HWND hwnd, int x, int y);
void HeadlessMouseButton(MouseButton button, bool down, int screenX, int screenY);
void HeadlessMouseButtonClient(HWND hwnd, MouseButton button, bool down, int x, int y);
void HeadlessKey(int virtualKey, bool down);
void HeadlessCloseRequest(HWND hwnd);  // the close button of a top-level window
void HeadlessExpose(HWND hwnd);        // the window system asks for a repaint

// --- Headless message boxes -------------------------------------------------
struct MessageBoxRecord {
  HWND owner = nullptr;
  std::string caption;      // as passed (Windows-1252)
  std::string text;         // as passed (Windows-1252)
  std::string captionUtf8;  // as displayed
  std::string textUtf8;
  UINT style = 0;
  int answer = 0;
};
// Answers are used in order; with none queued the default answers (IDNO at
// start) when the box has that button, else the box's first button. An
// answer of 0 makes the box fail as if it could not be shown.
void HeadlessQueueMessageBoxAnswer(int answer);
void HeadlessSetDefaultMessageBoxAnswer(int answer);
const std::vector<MessageBoxRecord>& HeadlessMessageBoxLog();

// --- Frames (both backends) --------------------------------------------------
// Number of successful SwapBuffers calls since the last reset.
long SwapBuffersCount();
// Number of wglCreateContext calls since the last reset, granted or not.
long ContextAttemptCount();
// Called at the end of every successful SwapBuffers with the new count;
// tests use it to inject input while a frame loop runs or to end one.
// Null removes it.
using FrameHook = void (*)(long frame);
void SetFrameHook(FrameHook hook);
