// Internal state of the desktop-API layer shared by its files: window
// classes, windows, GDI objects, the selected backend and the input path
// that turns window-system events into queued messages. Not for use outside
// platform/.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/gdi_objects.h"
#include "platform/winapi.h"

namespace layer {

struct WindowRecord {
  HWND handle = nullptr;
  std::string className;
  std::string title;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;
  int id = 0;  // control id of a child window
  HINSTANCE instance = nullptr;
  RECT rect;   // outer rectangle: screen coordinates (top level) or parent-client ones (child)
  RECT frame;  // frame thickness: left, top, right, bottom
  HCURSOR cursor = nullptr;
  bool visible = false;
  bool invalid = false;     // needs WM_PAINT
  bool destroying = false;  // WM_DESTROY is being sent
  std::map<std::string, HANDLE> props;
  HRGN region = nullptr;  // window region (owned)
  // What a child window painted: a 32-bit bitmap of its client size, made
  // at the first drawing into one of its device contexts (child_paint.cpp).
  GdiObject surface;
  LONG_PTR userData = 0;
  int pixelFormat = 0;
  PIXELFORMATDESCRIPTOR pixelRequest;  // the request SetPixelFormat was given
  void* backendWindow = nullptr;  // the backend's own window, top level only
};

// The live window with this handle, or null.
WindowRecord* LookupWindow(HWND hwnd);
// Top-level ancestor (itself for a top-level window).
WindowRecord* TopLevelOf(WindowRecord* w);
// Live windows in creation order.
std::vector<WindowRecord*> AllWindows();
// The window with this backend window, or null.
WindowRecord* WindowOfBackend(const void* backendWindow);
// Screen position of the client area's origin.
POINT ClientOrigin(const WindowRecord& w);
int ClientWidth(const WindowRecord& w);
int ClientHeight(const WindowRecord& w);

// A fresh handle value, never reused within the process.
std::uintptr_t NewHandleValue();
template <class H>
H MakeHandle() {
  return reinterpret_cast<H>(NewHandleValue());
}

// The selected backend, opened on first use (the SDL backend exits with a
// one-line message when no display can be opened).
const PlatformBackend& Backend();
bool BackendIsHeadless();

// Queue primitives used by the input path.
void PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void ClearQueue();
DWORD TickCount();

// Reset hooks of the individual files.
void ResetWindows();   // window_core.cpp
void ResetQueue();     // message_queue.cpp
void ResetInput();     // input.cpp
void ResetGdi();       // gdi.cpp
void ResetGl();        // wgl.cpp
void ResetCursors();   // cursor.cpp
void ResetFrames();    // wgl.cpp: swap count and frame hook
void ResetHeadless();  // backend_headless.cpp: answers, log, formats

// The backend context made for a window (the current one first), or null.
void* BackendContextOf(HWND hwnd);
// Destroys the window's GL binding when the window goes away (wgl.cpp).
void ForgetWindowGl(WindowRecord& w);
// Drops the window's device contexts (gdi.cpp).
void ForgetWindowDcs(HWND hwnd);
// Deletes a region object (region.cpp); false if it is not one.
bool DeleteRegionObject(HGDIOBJ object);
// The surface a child window paints into, sized to its client area; null
// for top-level windows and empty children (child_paint.cpp).
GdiObject* ChildSurface(HWND hwnd);

}  // namespace layer
