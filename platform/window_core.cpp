// Window classes, windows and their properties, the default window
// procedure, focus and the module handle.
#include <algorithm>
#include <cstring>

#include "platform/layer.h"

namespace layer {
namespace {

struct ClassRecord {
  std::string name;  // compared case-insensitively
  WNDCLASSEXA wc;
  std::string menuName;
};

std::vector<ClassRecord> g_classes;
std::vector<std::unique_ptr<WindowRecord>> g_windows;
HWND g_focus = nullptr;
HWND g_foreground = nullptr;
std::uintptr_t g_nextHandle = 0x1000;

bool SameName(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

ClassRecord* FindClass(const char* name) {
  if (!name || IS_INTRESOURCE(name)) return nullptr;
  for (auto& c : g_classes)
    if (SameName(c.name, name)) return &c;
  return nullptr;
}

ATOM AddClass(const WNDCLASSEXA& wc) {
  if (!wc.lpszClassName || IS_INTRESOURCE(wc.lpszClassName) || !*wc.lpszClassName || !wc.lpfnWndProc) return 0;
  if (FindClass(wc.lpszClassName)) return 0;
  ClassRecord rec;
  rec.name = wc.lpszClassName;
  rec.wc = wc;
  if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) rec.menuName = wc.lpszMenuName;
  rec.wc.lpszClassName = nullptr;  // the caller's text need not outlive the call
  rec.wc.lpszMenuName = nullptr;
  g_classes.push_back(std::move(rec));
  return static_cast<ATOM>(0xC000 + g_classes.size());
}

// Nominal frame of a window: captioned windows get the backend's caption
// frame (filled in by the backend for top-level windows), others none.
RECT NoFrame() { return RECT{0, 0, 0, 0}; }

std::string PropKey(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
  return name;
}

void DropWindow(HWND hwnd) {
  if (g_focus == hwnd) g_focus = nullptr;
  if (g_foreground == hwnd) g_foreground = nullptr;
  std::erase_if(g_windows, [hwnd](const auto& w) { return w->handle == hwnd; });
}

}  // namespace

std::uintptr_t NewHandleValue() {
  g_nextHandle += 4;
  return g_nextHandle;
}

WindowRecord* LookupWindow(HWND hwnd) {
  if (!hwnd) return nullptr;
  for (auto& w : g_windows)
    if (w->handle == hwnd) return w.get();
  return nullptr;
}

WindowRecord* TopLevelOf(WindowRecord* w) {
  while (w && (w->style & WS_CHILD) && w->parent) {
    WindowRecord* p = LookupWindow(w->parent);
    if (!p) break;
    w = p;
  }
  return w;
}

std::vector<WindowRecord*> AllWindows() {
  std::vector<WindowRecord*> out;
  for (auto& w : g_windows) out.push_back(w.get());
  return out;
}

WindowRecord* WindowOfBackend(const void* backendWindow) {
  if (!backendWindow) return nullptr;
  for (auto& w : g_windows)
    if (w->backendWindow == backendWindow) return w.get();
  return nullptr;
}

POINT ClientOrigin(const WindowRecord& w) {
  POINT p{w.rect.left + w.frame.left, w.rect.top + w.frame.top};
  if ((w.style & WS_CHILD) && w.parent) {
    if (WindowRecord* parent = LookupWindow(w.parent)) {
      POINT o = ClientOrigin(*parent);
      p.x += o.x;
      p.y += o.y;
    }
  }
  return p;
}

int ClientWidth(const WindowRecord& w) {
  return std::max(0, w.rect.right - w.rect.left - w.frame.left - w.frame.right);
}
int ClientHeight(const WindowRecord& w) {
  return std::max(0, w.rect.bottom - w.rect.top - w.frame.top - w.frame.bottom);
}

void ResetWindows() {
  for (auto& w : g_windows) {
    if (w->backendWindow) Backend().destroyWindow(*w);
  }
  g_windows.clear();
  g_classes.clear();
  g_focus = nullptr;
  g_foreground = nullptr;
}

}  // namespace layer

using namespace layer;

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  // One module: the program. Its instance is a fixed non-null value.
  if (moduleName) return nullptr;
  return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x400000));
}

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc) return 0;
  WNDCLASSEXA ex;
  ex.cbSize = sizeof(WNDCLASSEXA);
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszMenuName = wc->lpszMenuName;
  ex.lpszClassName = wc->lpszClassName;
  return AddClass(ex);
}

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
  if (!wc || (wc->cbSize != sizeof(WNDCLASSEXA) && wc->cbSize != WNDCLASSEXA_SIZE_32)) return 0;
  return AddClass(*wc);
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR className, WNDCLASSEXA* out) {
  ClassRecord* c = FindClass(className);
  if (!c || !out) return FALSE;
  *out = c->wc;
  out->cbSize = sizeof(WNDCLASSEXA);
  out->lpszClassName = className;
  out->lpszMenuName = c->menuName.empty() ? nullptr : c->menuName.c_str();
  return TRUE;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  ClassRecord* c = FindClass(className);
  if (!c) return FALSE;
  for (auto& w : g_windows)
    if (SameName(c->name, w->className.c_str())) return FALSE;  // still in use
  std::erase_if(g_classes, [c](const ClassRecord& r) { return &r == c; });
  return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  ClassRecord* cls = FindClass(className);
  if (!cls) return nullptr;
  const bool child = (style & WS_CHILD) != 0;
  WindowRecord* parentRec = LookupWindow(parent);
  if (child && !parentRec) return nullptr;  // a child needs a live parent
  if (parent && !parentRec) return nullptr;

  auto rec = std::make_unique<WindowRecord>();
  rec->handle = MakeHandle<HWND>();
  rec->className = cls->name;
  rec->title = windowName ? windowName : "";
  rec->proc = cls->wc.lpfnWndProc;
  rec->style = style & ~WS_VISIBLE;
  rec->exStyle = exStyle;
  rec->parent = parent;
  rec->id = child ? static_cast<int>(reinterpret_cast<std::uintptr_t>(menu)) : 0;
  rec->instance = instance;
  rec->cursor = cls->wc.hCursor;
  // Pop-up and child windows given the default position start at the
  // top-left corner (of the screen or of the parent's client area); a
  // default size is half the screen for top-level windows, none for children.
  if (x == CW_USEDEFAULT) x = 0, y = (y == CW_USEDEFAULT ? 0 : y);
  if (y == CW_USEDEFAULT) y = 0;
  if (width == CW_USEDEFAULT) {
    SIZE screen = child ? SIZE{0, 0} : Backend().screenSize();
    width = screen.cx / 2;
    height = screen.cy / 2;
  }
  width = std::max(0, width);
  height = std::max(0, height);
  rec->rect = RECT{x, y, static_cast<LONG>(static_cast<long long>(x) + width),
                   static_cast<LONG>(static_cast<long long>(y) + height)};
  rec->frame = NoFrame();
  WindowRecord& w = *rec;
  if (!child) {
    if (!Backend().createWindow(w)) return nullptr;
  }
  g_windows.push_back(std::move(rec));
  HWND hwnd = w.handle;

  CREATESTRUCTA cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  LRESULT created = w.proc(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
  if (!LookupWindow(hwnd)) return nullptr;  // destroyed during WM_CREATE
  if (created == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || w->destroying) return FALSE;
  w->destroying = true;
  if (w->visible && w->backendWindow) Backend().showWindow(*w, false);
  w->visible = false;
  if (GetCapture() == hwnd) ReleaseCapture();
  // WM_DESTROY reaches the window first, then its children.
  w->proc(hwnd, WM_DESTROY, 0, 0);
  std::vector<HWND> children;
  for (auto& c : g_windows)
    if (c->parent == hwnd) children.push_back(c->handle);
  for (HWND c : children) DestroyWindow(c);
  w = LookupWindow(hwnd);
  if (!w) return TRUE;
  ForgetWindowGl(*w);
  ForgetWindowDcs(hwnd);
  if (w->region) DeleteRegionObject(w->region);
  if (w->backendWindow) Backend().destroyWindow(*w);
  DropWindow(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return LookupWindow(hwnd) ? TRUE : FALSE; }

BOOL IsWindowVisible(HWND hwnd) {
  for (WindowRecord* w = LookupWindow(hwnd); w; w = LookupWindow(w->parent)) {
    if (!w->visible) return FALSE;
    if (!(w->style & WS_CHILD)) return TRUE;
  }
  return FALSE;
}

BOOL ShowWindow(HWND hwnd, int cmdShow) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w) return FALSE;
  const BOOL was = w->visible ? TRUE : FALSE;
  const bool show = cmdShow != SW_HIDE;
  if (show != w->visible) {
    w->visible = show;
    if (show) w->invalid = true;
    if (show) w->style |= WS_VISIBLE; else w->style &= ~WS_VISIBLE;
    if (w->backendWindow) Backend().showWindow(*w, show);
  }
  const bool activate = show && cmdShow != SW_SHOWNA && cmdShow != SW_SHOWNOACTIVATE &&
                        cmdShow != SW_SHOWMINNOACTIVE && !(w->style & WS_CHILD);
  if (activate) {
    g_foreground = hwnd;
    g_focus = hwnd;
  }
  return was;
}

BOOL UpdateWindow(HWND hwnd) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w) return FALSE;
  if (w->invalid && IsWindowVisible(hwnd)) SendMessageA(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w) return FALSE;
  width = std::max(0, width);
  height = std::max(0, height);
  w->rect = RECT{x, y, static_cast<LONG>(static_cast<long long>(x) + width),
                 static_cast<LONG>(static_cast<long long>(y) + height)};
  if (w->backendWindow) Backend().placeWindow(*w);
  if (repaint) w->invalid = true;
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !rect) return FALSE;
  POINT origin = ClientOrigin(*w);
  const LONG width = w->rect.right - w->rect.left;
  const LONG height = w->rect.bottom - w->rect.top;
  rect->left = origin.x - w->frame.left;
  rect->top = origin.y - w->frame.top;
  rect->right = rect->left + width;
  rect->bottom = rect->top + height;
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !rect) return FALSE;
  *rect = RECT{0, 0, ClientWidth(*w), ClientHeight(*w)};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !point) return FALSE;
  POINT o = ClientOrigin(*w);
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !point) return FALSE;
  POINT o = ClientOrigin(*w);
  point->x -= o.x;
  point->y -= o.y;
  return TRUE;
}

int GetDlgCtrlID(HWND hwnd) {
  WindowRecord* w = LookupWindow(hwnd);
  return (w && (w->style & WS_CHILD)) ? w->id : 0;
}

HWND GetParent(HWND hwnd) {
  WindowRecord* w = LookupWindow(hwnd);
  return w ? w->parent : nullptr;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w) return FALSE;
  w->title = text ? text : "";
  if (w->backendWindow) Backend().setTitle(*w);
  return TRUE;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !buffer || size <= 0) return 0;
  const std::size_t n = std::min<std::size_t>(w->title.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, w->title.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    default: return 0;
  }
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w) return 0;
  const LONG_PTR old = GetWindowLongPtrA(hwnd, index);
  switch (index) {
    case GWLP_WNDPROC:
      if (value) w->proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_ID: w->id = static_cast<int>(value); break;
    case GWLP_USERDATA: w->userData = value; break;
    default: return 0;
  }
  return old;
}

BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL) {
  if (!hwnd) {
    for (auto& w : g_windows) w->invalid = true;
    return TRUE;
  }
  WindowRecord* w = LookupWindow(hwnd);
  if (!w) return FALSE;
  w->invalid = true;
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT*) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w) return FALSE;
  w->invalid = false;
  return TRUE;
}

HWND SetFocus(HWND hwnd) {
  HWND old = g_focus;
  if (hwnd && !LookupWindow(hwnd)) return nullptr;
  g_focus = hwnd;
  return old;
}

HWND GetFocus() { return LookupWindow(g_focus) ? g_focus : nullptr; }

BOOL SetForegroundWindow(HWND hwnd) {
  WindowRecord* w = TopLevelOf(LookupWindow(hwnd));
  if (!w) return FALSE;
  g_foreground = w->handle;
  g_focus = w->handle;
  return TRUE;
}

HWND GetForegroundWindow() { return LookupWindow(g_foreground) ? g_foreground : nullptr; }

HWND WindowFromPoint(POINT point) {
  // The topmost visible top-level window under the point, then its deepest
  // visible child there.
  WindowRecord* hit = nullptr;
  for (auto it = g_windows.rbegin(); it != g_windows.rend(); ++it) {
    WindowRecord* w = it->get();
    if ((w->style & WS_CHILD) || !w->visible) continue;
    RECT r;
    GetWindowRect(w->handle, &r);
    if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) {
      hit = w;
      break;
    }
  }
  if (!hit) return nullptr;
  for (bool descended = true; descended;) {
    descended = false;
    for (auto it = g_windows.rbegin(); it != g_windows.rend(); ++it) {
      WindowRecord* c = it->get();
      if (c->parent != hit->handle || !(c->style & WS_CHILD) || !c->visible) continue;
      RECT r;
      GetWindowRect(c->handle, &r);
      if (point.x < r.left || point.x >= r.right || point.y < r.top || point.y >= r.bottom) continue;
      if (c->region && !PtInRegion(c->region, point.x - r.left, point.y - r.top)) continue;
      hit = c;
      descended = true;
      break;
    }
  }
  return hit->handle;
}

BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !name) return FALSE;
  w->props[PropKey(name)] = data;
  return TRUE;
}

HANDLE GetPropA(HWND hwnd, LPCSTR name) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !name) return nullptr;
  auto it = w->props.find(PropKey(name));
  return it == w->props.end() ? nullptr : it->second;
}

HANDLE RemovePropA(HWND hwnd, LPCSTR name) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !name) return nullptr;
  auto it = w->props.find(PropKey(name));
  if (it == w->props.end()) return nullptr;
  HANDLE h = it->second;
  w->props.erase(it);
  return h;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_PAINT:
      // An unhandled paint still validates the window, or it would be asked
      // to paint again and again.
      ValidateRect(hwnd, nullptr);
      return 0;
    default:
      return 0;
  }
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

void InitCommonControls() {}

namespace {
LRESULT StatusBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == SB_SETPARTS) {
    // Up to 256 parts; the right edges are read and kept as a property.
    if (wParam > 256 || (wParam > 0 && lParam == 0)) return FALSE;
    SetPropA(hwnd, "StatusParts", reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(wParam)));
    return TRUE;
  }
  if (msg == SB_SETTEXTA) return SetWindowTextA(hwnd, reinterpret_cast<LPCSTR>(lParam));
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
}  // namespace

HWND CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id) {
  // A minimal status bar: a child window along the bottom of the parent's
  // client area that keeps its text and part count.
  static const char kClass[] = "msctls_statusbar32";
  if (!FindClass(kClass)) {
    WNDCLASSA wc;
    wc.lpfnWndProc = StatusBarProc;
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
  }
  WindowRecord* p = LookupWindow(parent);
  if (!p) return nullptr;
  const int height = 20;
  const int width = ClientWidth(*p);
  const int top = std::max(0, ClientHeight(*p) - height);
  return CreateWindowExA(0, kClass, text, static_cast<DWORD>(style) | WS_CHILD, 0, top, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
}
