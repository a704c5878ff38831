// The headless backend: a virtual screen of a set size, windows that exist
// only in the layer's state, a virtual cursor, input injected by tests
// through the shared input path, message boxes answered from a queue and
// logged, and GL contexts that are tokens only (tests install the GL
// capture themselves).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "platform/headless.h"
#include "platform/layer.h"
#include "platform/offscreen_gl.h"

namespace {

using layer::WindowRecord;

constexpr RECT kCaptionFrame{3, 22, 3, 3};

SIZE g_screen{1024, 768};
POINT g_cursor{0, 0};
std::vector<PIXELFORMATDESCRIPTOR> g_formats = HeadlessDefaultPixelFormats();
bool g_failContexts = false;
bool g_failWindows = false;
bool g_mesaGl = false;  // real GL through Mesa's offscreen rendering
std::deque<int> g_answers;
int g_defaultAnswer = IDNO;
std::vector<MessageBoxRecord> g_log;
std::uintptr_t g_nextToken = 1;
long g_closeAfterFrames = 0;  // GARDEN_HEADLESS_FRAMES

PIXELFORMATDESCRIPTOR Format(DWORD flags, BYTE color, BYTE alpha, BYTE depth, BYTE stencil, BYTE accum) {
  PIXELFORMATDESCRIPTOR f;
  f.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  f.nVersion = 1;
  f.dwFlags = flags;
  f.iPixelType = PFD_TYPE_RGBA;
  f.cColorBits = color;
  f.cRedBits = f.cGreenBits = f.cBlueBits = static_cast<BYTE>(color >= 24 ? 8 : 5);
  f.cRedShift = 16;
  f.cGreenShift = 8;
  f.cAlphaBits = alpha;
  f.cAlphaShift = alpha ? 24 : 0;
  f.cAccumBits = accum;
  f.cAccumRedBits = f.cAccumGreenBits = f.cAccumBlueBits = f.cAccumAlphaBits = static_cast<BYTE>(accum / 4);
  f.cDepthBits = depth;
  f.cStencilBits = stencil;
  f.iLayerType = PFD_MAIN_PLANE;
  return f;
}

std::vector<int> Buttons(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
  }
}

void CloseAfterFrames(long frame) {
  if (g_closeAfterFrames > 0 && frame == g_closeAfterFrames) {
    if (HWND w = GetForegroundWindow()) PostMessageA(w, WM_CLOSE, 0, 0);
  }
}

bool Open(std::string&) {
  if (const char* size = std::getenv("GARDEN_HEADLESS_SCREEN")) {
    int w = 0, h = 0;
    if (std::sscanf(size, "%dx%d", &w, &h) == 2 && w > 0 && h > 0) g_screen = SIZE{w, h};
  }
  if (const char* gl = std::getenv("GARDEN_HEADLESS_GL")) g_mesaGl = std::strcmp(gl, "mesa") == 0;
  if (const char* frames = std::getenv("GARDEN_HEADLESS_FRAMES")) {
    g_closeAfterFrames = std::atol(frames);
    if (g_closeAfterFrames > 0) SetFrameHook(CloseAfterFrames);
  }
  return true;
}

void Close() {}

SIZE ScreenSize() { return g_screen; }

bool CreateWin(WindowRecord& w) {
  if (g_failWindows) return false;
  w.frame = (w.style & WS_CAPTION) == WS_CAPTION ? kCaptionFrame : RECT{0, 0, 0, 0};
  w.backendWindow = reinterpret_cast<void*>(g_nextToken++);
  return true;
}

void DestroyWin(WindowRecord& w) { w.backendWindow = nullptr; }
void ShowWin(WindowRecord&, bool) {}
void PlaceWin(WindowRecord&) {}
void SetTitle(WindowRecord&) {}
void Poll() {}
bool Wait(int) { return false; }  // nothing arrives unless a test injects it
void Capture(WindowRecord*) {}
POINT CursorPos() { return g_cursor; }

// The top-level window whose area lies under a screen point (the capture
// window's while the mouse is captured).
HWND TopUnder(int x, int y) {
  if (HWND cap = GetCapture()) {
    WindowRecord* top = layer::TopLevelOf(layer::LookupWindow(cap));
    return top ? top->handle : nullptr;
  }
  WindowRecord* top = layer::TopLevelOf(layer::LookupWindow(WindowFromPoint(POINT{x, y})));
  return top ? top->handle : nullptr;
}

void MoveTo(int x, int y) {
  g_cursor = POINT{x, y};
  HWND top = TopUnder(x, y);
  WindowRecord* w = layer::LookupWindow(top);
  if (!w) return;
  const POINT o = layer::ClientOrigin(*w);
  RaiseMouseMove(top, x - o.x, y - o.y);
}

void Warp(int x, int y) { MoveTo(x, y); }  // a warp moves the cursor like the hand would

int Box(const MessageBoxRequest& box) {
  MessageBoxRecord rec;
  rec.owner = box.owner ? box.owner->handle : nullptr;
  rec.caption = box.caption;
  rec.text = box.text;
  rec.captionUtf8 = box.captionUtf8;
  rec.textUtf8 = box.textUtf8;
  rec.style = box.type;
  const std::vector<int> buttons = Buttons(box.type);
  if (!g_answers.empty()) {
    rec.answer = g_answers.front();
    g_answers.pop_front();
  } else {
    rec.answer = buttons.front();
    for (int b : buttons)
      if (b == g_defaultAnswer) rec.answer = b;
  }
  g_log.push_back(rec);
  return rec.answer;
}

std::vector<PIXELFORMATDESCRIPTOR> Formats() { return g_formats; }

// Contexts are tokens, or real offscreen Mesa contexts in GL mode.
void* CreateContext(WindowRecord& w, const PIXELFORMATDESCRIPTOR&) {
  if (g_failContexts) return nullptr;
  if (g_mesaGl) return layer::OffscreenGlCreate(layer::ClientWidth(w), layer::ClientHeight(w));
  return reinterpret_cast<void*>(g_nextToken++);
}
bool MakeCurrent(WindowRecord*, void* context) {
  return g_mesaGl ? layer::OffscreenGlMakeCurrent(context) : true;
}
void DeleteContext(void* context) {
  if (g_mesaGl) layer::OffscreenGlDelete(context);
}
void Swap(WindowRecord& w) {
  if (g_mesaGl) layer::OffscreenGlSwap(layer::BackendContextOf(w.handle));
}

const PlatformBackend kHeadless{
    "headless", Open,  Close,   ScreenSize, CreateWin,     DestroyWin,  ShowWin,       PlaceWin, SetTitle,
    Poll,       Wait,  Capture, CursorPos,  Warp,          Box,         Formats,       CreateContext,
    MakeCurrent, DeleteContext, Swap};

}  // namespace

const PlatformBackend& HeadlessBackend() { return kHeadless; }

namespace layer {
void ResetHeadless() {
  g_cursor = POINT{0, 0};
  g_formats = HeadlessDefaultPixelFormats();
  g_failContexts = false;
  g_failWindows = false;
  g_answers.clear();
  g_defaultAnswer = IDNO;
  g_log.clear();
}
}  // namespace layer

std::vector<PIXELFORMATDESCRIPTOR> HeadlessDefaultPixelFormats() {
  constexpr DWORD kWindowGl = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  return {
      Format(kWindowGl | PFD_DOUBLEBUFFER, 32, 8, 24, 8, 64),
      Format(kWindowGl | PFD_DOUBLEBUFFER, 32, 8, 24, 0, 0),
      Format(kWindowGl | PFD_DOUBLEBUFFER, 24, 0, 16, 0, 0),
      Format(kWindowGl, 32, 8, 24, 8, 0),
  };
}

void HeadlessSetScreenSize(int width, int height) { g_screen = SIZE{width, height}; }
void HeadlessSetPixelFormats(const std::vector<PIXELFORMATDESCRIPTOR>& formats) { g_formats = formats; }
void HeadlessFailContexts(bool fail) { g_failContexts = fail; }
void HeadlessFailWindows(bool fail) { g_failWindows = fail; }
void HeadlessUseMesaGl(bool on) {
  if (!on) layer::OffscreenGlShutdown();
  g_mesaGl = on;
}
RECT HeadlessCaptionFrame() { return kCaptionFrame; }

void HeadlessMouseMove(int screenX, int screenY) { MoveTo(screenX, screenY); }

void HeadlessMouseMoveClient(HWND hwnd, int x, int y) {
  POINT p{x, y};
  if (!ClientToScreen(hwnd, &p)) return;
  MoveTo(p.x, p.y);
}

void HeadlessMouseButton(MouseButton button, bool down, int screenX, int screenY) {
  g_cursor = POINT{screenX, screenY};
  const InputButton b = button == MouseButton::Left    ? InputButton::Left
                        : button == MouseButton::Right ? InputButton::Right
                                                       : InputButton::Middle;
  HWND top = TopUnder(screenX, screenY);
  WindowRecord* w = layer::LookupWindow(top);
  if (!w) {
    RaiseMouseButton(nullptr, b, down, 0, 0);  // keeps the button state right
    return;
  }
  const POINT o = layer::ClientOrigin(*w);
  RaiseMouseButton(top, b, down, screenX - o.x, screenY - o.y);
}

void HeadlessMouseButtonClient(HWND hwnd, MouseButton button, bool down, int x, int y) {
  POINT p{x, y};
  if (!ClientToScreen(hwnd, &p)) return;
  HeadlessMouseButton(button, down, p.x, p.y);
}

void HeadlessKey(int virtualKey, bool down) { RaiseKey(virtualKey, down, false); }
void HeadlessCloseRequest(HWND hwnd) { RaiseCloseRequest(hwnd); }
void HeadlessExpose(HWND hwnd) { RaiseExpose(hwnd); }

void HeadlessQueueMessageBoxAnswer(int answer) { g_answers.push_back(answer); }
void HeadlessSetDefaultMessageBoxAnswer(int answer) { g_defaultAnswer = answer; }
const std::vector<MessageBoxRecord>& HeadlessMessageBoxLog() { return g_log; }
