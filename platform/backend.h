// The table of functions a window-system backend provides, and the input
// path both backends use to turn their events into queued messages. The
// layer keeps every window's state itself; a backend only mirrors top-level
// windows on its window system and reports events.
#pragma once

#include <string>
#include <vector>

#include "platform/winapi.h"

namespace layer {
struct WindowRecord;
}

struct MessageBoxRequest {
  layer::WindowRecord* owner = nullptr;
  std::string text, caption;          // as passed (Windows-1252)
  std::string textUtf8, captionUtf8;  // for display
  UINT type = 0;
};

struct PlatformBackend {
  const char* name;
  // Connects to the window system; on failure fills `error` and returns false.
  bool (*open)(std::string& error);
  void (*close)();
  SIZE (*screenSize)();
  // Mirrors a top-level window (hidden). Sets w.frame and may adjust w.rect
  // to what the window system granted. False when no window can be made.
  bool (*createWindow)(layer::WindowRecord& w);
  void (*destroyWindow)(layer::WindowRecord& w);
  void (*showWindow)(layer::WindowRecord& w, bool visible);
  void (*placeWindow)(layer::WindowRecord& w);  // after a move or resize
  void (*setTitle)(layer::WindowRecord& w);
  // Raises every pending window-system event through the input path; never blocks.
  void (*pollEvents)();
  // Waits up to `timeoutMs` for an event; false when none can ever arrive.
  bool (*waitEvents)(int timeoutMs);
  // Mouse capture of a top-level window (null releases).
  void (*setCapture)(layer::WindowRecord* w);
  POINT (*cursorPos)();
  void (*warpCursor)(int x, int y);
  // Shows a message box; returns IDOK/IDYES/IDNO/... or 0 when none can be shown.
  int (*messageBox)(const MessageBoxRequest& box);
  std::vector<PIXELFORMATDESCRIPTOR> (*pixelFormats)();
  // GL context for a window with the chosen format and the original
  // request (w.pixelRequest); null when none is granted.
  void* (*createContext)(layer::WindowRecord& w, const PIXELFORMATDESCRIPTOR& format);
  bool (*makeCurrent)(layer::WindowRecord* w, void* context);  // null context releases
  void (*deleteContext)(void* context);
  void (*swapBuffers)(layer::WindowRecord& w);
};

const PlatformBackend& SdlBackend();
const PlatformBackend& HeadlessBackend();

// The input path. Coordinates are relative to the client area of the
// top-level window `top` the event arrived on (they may lie outside it
// while the mouse is captured).
enum class InputButton { Left, Right, Middle };
void RaiseMouseMove(HWND top, int x, int y);
void RaiseMouseButton(HWND top, InputButton button, bool down, int x, int y);
// Keys go to the focus window (or the foreground window).
void RaiseKey(int virtualKey, bool down, bool repeat);
void RaiseCloseRequest(HWND top);
void RaiseExpose(HWND top);
void RaiseFocus(HWND top, bool gained);
