// The input path shared by both backends: window-system events become
// queued messages for the right window (the capture window, else the
// window under the cursor; keys to the focus window), with client
// coordinates packed as x | y << 16 (each wrapped to 16 bits) and the MK_
// button and modifier flags in wParam. Also mouse capture and the cursor.
#include "platform/layer.h"

namespace layer {
namespace {

HWND g_capture = nullptr;
bool g_buttons[3] = {false, false, false};
bool g_shift = false;
bool g_control = false;
bool g_alt = false;

WPARAM MouseFlags() {
  WPARAM f = 0;
  if (g_buttons[0]) f |= MK_LBUTTON;
  if (g_buttons[1]) f |= MK_RBUTTON;
  if (g_buttons[2]) f |= MK_MBUTTON;
  if (g_shift) f |= MK_SHIFT;
  if (g_control) f |= MK_CONTROL;
  return f;
}

// The window a mouse event at client point (x, y) of `top` goes to, and
// the point in that window's client coordinates; null when none.
HWND RouteMouse(HWND top, int x, int y, POINT& local) {
  WindowRecord* topRec = LookupWindow(top);
  if (!topRec) return nullptr;
  POINT screen = ClientOrigin(*topRec);
  screen.x += x;
  screen.y += y;
  HWND target = nullptr;
  if (WindowRecord* cap = LookupWindow(g_capture)) {
    target = cap->handle;
  } else {
    if (x < 0 || y < 0 || x >= ClientWidth(*topRec) || y >= ClientHeight(*topRec)) return nullptr;
    target = top;
    HWND under = WindowFromPoint(screen);
    WindowRecord* u = LookupWindow(under);
    if (u && TopLevelOf(u) == topRec) target = under;
  }
  local = screen;
  ScreenToClient(target, &local);
  return target;
}

}  // namespace

void ResetInput() {
  g_capture = nullptr;
  g_buttons[0] = g_buttons[1] = g_buttons[2] = false;
  g_shift = g_control = g_alt = false;
}

}  // namespace layer

using namespace layer;

void RaiseMouseMove(HWND top, int x, int y) {
  POINT local;
  HWND target = RouteMouse(top, x, y, local);
  if (!target) return;
  PostInput(target, WM_MOUSEMOVE, MouseFlags(), MAKELPARAM(local.x, local.y));
}

void RaiseMouseButton(HWND top, InputButton button, bool down, int x, int y) {
  const int index = button == InputButton::Left ? 0 : button == InputButton::Right ? 1 : 2;
  g_buttons[index] = down;
  POINT local;
  HWND target = RouteMouse(top, x, y, local);
  if (!target) return;
  if (down) SetForegroundWindow(top);
  static constexpr UINT kDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static constexpr UINT kUp[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  PostInput(target, down ? kDown[index] : kUp[index], MouseFlags(), MAKELPARAM(local.x, local.y));
}

void RaiseKey(int virtualKey, bool down, bool repeat) {
  if (virtualKey == VK_SHIFT || virtualKey == VK_LSHIFT || virtualKey == VK_RSHIFT) g_shift = down;
  if (virtualKey == VK_CONTROL || virtualKey == VK_LCONTROL || virtualKey == VK_RCONTROL) g_control = down;
  if (virtualKey == VK_MENU || virtualKey == VK_LMENU || virtualKey == VK_RMENU) g_alt = down;
  HWND target = GetFocus();
  if (!target) target = GetForegroundWindow();
  if (!target) return;
  if (down && virtualKey == VK_F4 && g_alt) {
    // Alt+F4 closes the window, as the window manager's close would.
    WindowRecord* top = TopLevelOf(LookupWindow(target));
    if (top) PostInput(top->handle, WM_CLOSE, 0, 0);
    return;
  }
  // lParam: repeat count 1, previous-state bit 30 for repeats and releases,
  // transition bit 31 for releases.
  DWORD bits = 1;
  if (repeat || !down) bits |= 1u << 30;
  if (!down) bits |= 1u << 31;
  const bool system = g_alt && !g_control;
  const UINT msg = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  PostInput(target, msg, static_cast<WPARAM>(virtualKey & 0xFF), static_cast<LPARAM>(bits));
}

void RaiseCloseRequest(HWND top) {
  if (LookupWindow(top)) PostInput(top, WM_CLOSE, 0, 0);
}

void RaiseExpose(HWND top) { InvalidateRect(top, nullptr, FALSE); }

void RaiseFocus(HWND top, bool gained) {
  if (gained) {
    SetForegroundWindow(top);
  }
}

HWND SetCapture(HWND hwnd) {
  HWND old = LookupWindow(g_capture) ? g_capture : nullptr;
  WindowRecord* w = LookupWindow(hwnd);
  if (!w) return old;
  g_capture = hwnd;
  Backend().setCapture(TopLevelOf(w));
  return old;
}

BOOL ReleaseCapture() {
  if (g_capture) {
    g_capture = nullptr;
    Backend().setCapture(nullptr);
  }
  return TRUE;
}

HWND GetCapture() { return LookupWindow(g_capture) ? g_capture : nullptr; }

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  *point = Backend().cursorPos();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  Backend().warpCursor(x, y);
  return TRUE;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return Backend().screenSize().cx;
    case SM_CYSCREEN: return Backend().screenSize().cy;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME: return 3;
    case SM_CYCAPTION: return 19;
    default: return 0;
  }
}
