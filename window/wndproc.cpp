// The OpenGL window's procedure and the message pump.
#include "window/wndproc.h"

#include "platform/checked.h"
#include "render/glstate.h"
#include "window/glwindow.h"

MSG Msg_{};
std::array<std::int32_t, 501> SetKey{};
bool LeftMouseDown = false, LeftMouseDown2 = false;
bool RightMouseDown = false, RightMouseDown2 = false;
bool MouseFree = false;
std::int32_t XCoord = 0, YCoord = 0;
std::int32_t ZCoord = 0;
std::int32_t SetMX = 0, SetMY = 0;
std::int32_t SetOMX = 0, SetOMY = 0;
float XRot = 0, YRot = 0;
float XRot2 = 0, YRot2 = 0;
float Depth = 0, Depth2 = 0;
POINT MPos{};
std::int32_t MSpeed = 0;
void (*CreateMouseMenu)() = nullptr;
WNDPROC GetInputCommand = nullptr;

namespace {

constexpr std::int32_t kKeyDown = -1;  // a 32-bit boolean with all bits set
constexpr WPARAM kEscape = 27;
constexpr float kLookLimit = 60;

// Cursor coordinates travel as the two 16-bit halves of LParam. They are
// read as signed halves: during a captured drag the cursor can leave the
// client area to the left or above, and its position there is negative.
// Read unsigned, it would come out near 65535 and the camera would jump by
// tens of thousands of degrees the moment the cursor crossed the edge.
std::int32_t CoordX(LPARAM LParam) { return GET_X_LPARAM(LParam); }
std::int32_t CoordY(LPARAM LParam) { return GET_Y_LPARAM(LParam); }

// value + (difference / divisor) * MSpeed, worked in extended precision and
// rounded to single once.
float Advance(float value, std::int32_t difference, long double divisor) {
  return static_cast<float>(static_cast<long double>(value) +
                            (static_cast<long double>(difference) / divisor) * static_cast<long double>(MSpeed));
}

// value - (difference / divisor) * MSpeed, the same way.
float Retreat(float value, std::int32_t difference, long double divisor) {
  return static_cast<float>(static_cast<long double>(value) -
                            (static_cast<long double>(difference) / divisor) * static_cast<long double>(MSpeed));
}

float Clamp(float value) {
  if (value > kLookLimit) return kLookLimit;
  if (value < -kLookLimit) return -kLookLimit;
  return value;
}

void MouseMove(LPARAM LParam) {
  const std::int32_t x = CoordX(LParam);
  const std::int32_t y = CoordY(LParam);
  SetOMX = x;
  SetOMY = y;

  if (LeftMouseDown) {
    const std::int32_t dy = CheckedSub(y, YCoord, "mouse y");
    const std::int32_t dx = CheckedSub(x, XCoord, "mouse x");
    XRot = Advance(XRot, dy, 2);
    YRot = Advance(YRot, dx, 2);
    XRot2 = Advance(XRot2, dy, 2);
    YRot2 = Advance(YRot2, dx, 2);
    XCoord = x;
    YCoord = y;
  }

  if (RightMouseDown && !MouseFree) {
    const std::int32_t dz = CheckedSub(y, ZCoord, "mouse y");
    Depth = Retreat(Depth, dz, 10);
    Depth2 = Retreat(Depth2, dz, 10);
    ZCoord = y;
  }

  if (MouseFree && GetForegroundWindow() == hWindow) {
    GetCursorPos(&MPos);
    const std::int32_t cx = Width / 2;
    const std::int32_t cy = Height / 2;
    SetCursorPos(cx, cy);
    const std::int32_t dx = CheckedSub(MPos.x, cx, "cursor x");
    const std::int32_t dy = CheckedSub(cy, MPos.y, "cursor y");
    XRot = Advance(XRot, dx, 100);
    YRot = Clamp(Retreat(YRot, dy, 100));
    XRot2 = Advance(XRot2, dx, 100);
    YRot2 = Clamp(Retreat(YRot2, dy, 100));
  }
}

LRESULT Default(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam) {
  if (WParam == 0) UpdateWindow(hStatus);
  return DefWindowProcA(Window, AMessage, WParam, LParam);
}

}  // namespace

LRESULT GLWndProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam) {
  switch (AMessage) {
    case WM_CREATE:
      Active = true;
      return 0;
    case WM_DESTROY:
      Active = false;
      PostQuitMessage(0);
      return 0;
    case WM_PAINT: {
      // Drawing belongs to the frame loop; painting only validates.
      PAINTSTRUCT ps;
      BeginPaint(Window, &ps);
      UpdateWindow(hStatus);
      EndPaint(Window, &ps);
      return 0;
    }
    case WM_CONTEXTMENU:
      if (ShowMenuBar && CreateMouseMenu) CreateMouseMenu();
      break;
    case WM_KEYDOWN:
      if (WParam == kEscape) {
        // The window stays; only the loop ends. It is destroyed at shutdown.
        SendMessageA(hWindow, WM_DESTROY, 0, 0);
        return 0;
      }
      SetKey[CheckIndex(static_cast<long long>(WParam), 0, 500, "SetKey")] = kKeyDown;
      break;
    case WM_KEYUP:
      SetKey[CheckIndex(static_cast<long long>(WParam), 0, 500, "SetKey")] = 0;
      MouseFree = false;
      break;
    case WM_COMMAND:
      if (ShowMenuBar && GetInputCommand) GetInputCommand(Window, AMessage, WParam, LParam);
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(LParam);
      break;
    case WM_LBUTTONDOWN:
      ReleaseCapture();
      SetCapture(hWindow);
      LeftMouseDown = LeftMouseDown2 = true;
      XCoord = SetMX = CoordX(LParam);
      YCoord = SetMY = CoordY(LParam);
      break;
    case WM_LBUTTONUP:
      ReleaseCapture();
      LeftMouseDown = LeftMouseDown2 = false;
      XCoord = YCoord = SetMX = SetMY = 0;
      break;
    case WM_RBUTTONDOWN:
      ReleaseCapture();
      SetCapture(hWindow);
      RightMouseDown = RightMouseDown2 = true;
      ZCoord = CoordY(LParam);
      break;
    case WM_RBUTTONUP:
      ReleaseCapture();
      RightMouseDown = RightMouseDown2 = false;
      break;
    default:
      break;
  }
  return Default(Window, AMessage, WParam, LParam);
}

void SetGLMsg() {
  if (PeekMessageA(&Msg_, nullptr, 0, 0, PM_NOREMOVE)) {
    GetMessageA(&Msg_, nullptr, 0, 0);
    TranslateMessage(&Msg_);
    DispatchMessageA(&Msg_);
  }
}
