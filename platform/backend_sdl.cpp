// The SDL2 backend: one SDL window per top-level window, GL compatibility
// contexts whose attributes are relaxed step by step until one is granted,
// SDL events raised through the shared input path (Windows virtual-key
// codes, client coordinates, close and exposure), mouse capture, the
// cursor, and SDL message boxes.
#include <SDL.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/child_composite.h"
#include "platform/headless.h"
#include "platform/layer.h"
#include "platform/text.h"

namespace {

using layer::WindowRecord;

SDL_Window* Sdl(const WindowRecord& w) { return static_cast<SDL_Window*>(w.backendWindow); }

HWND HwndOf(Uint32 windowId) {
  WindowRecord* w = layer::WindowOfBackend(SDL_GetWindowFromID(windowId));
  return w ? w->handle : nullptr;
}

int VirtualKey(const SDL_Keysym& k) {
  const SDL_Keycode c = k.sym;
  if (c >= 'a' && c <= 'z') return static_cast<int>(c - 'a' + 'A');
  if (c >= '0' && c <= '9') return static_cast<int>(c);
  switch (k.scancode) {
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return VK_MENU;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_1: return VK_NUMPAD1;
    case SDL_SCANCODE_KP_2: return VK_NUMPAD2;
    case SDL_SCANCODE_KP_3: return VK_NUMPAD3;
    case SDL_SCANCODE_KP_4: return VK_NUMPAD4;
    case SDL_SCANCODE_KP_5: return VK_NUMPAD5;
    case SDL_SCANCODE_KP_6: return VK_NUMPAD6;
    case SDL_SCANCODE_KP_7: return VK_NUMPAD7;
    case SDL_SCANCODE_KP_8: return VK_NUMPAD8;
    case SDL_SCANCODE_KP_9: return VK_NUMPAD9;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
    default: break;
  }
  if (k.scancode >= SDL_SCANCODE_F1 && k.scancode <= SDL_SCANCODE_F12)
    return VK_F1 + (k.scancode - SDL_SCANCODE_F1);
  if (k.scancode >= SDL_SCANCODE_A && k.scancode <= SDL_SCANCODE_Z) return 'A' + (k.scancode - SDL_SCANCODE_A);
  if (k.scancode >= SDL_SCANCODE_1 && k.scancode <= SDL_SCANCODE_9) return '1' + (k.scancode - SDL_SCANCODE_1);
  if (k.scancode == SDL_SCANCODE_0) return '0';
  return 0;
}

InputButton ButtonOf(Uint8 b) {
  if (b == SDL_BUTTON_RIGHT) return InputButton::Right;
  if (b == SDL_BUTTON_MIDDLE) return InputButton::Middle;
  return InputButton::Left;
}

bool Open(std::string& error) {
  // Capture only while the program asks for it, and let the program decide
  // what closing its last window means.
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    error = SDL_GetError();
    if (error.empty()) error = "no video driver";
    return false;
  }
  // Without a display SDL falls back to drivers that show nothing; the
  // program would then run unseen and never end. Only a driver asked for by
  // name (SDL_VIDEODRIVER) may be one of those.
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool invisible = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
                                    std::strcmp(driver, "evdev") == 0);
  if (invisible && !std::getenv("SDL_VIDEODRIVER")) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    error = "no display found (set DISPLAY or WAYLAND_DISPLAY)";
    return false;
  }
  return true;
}

void Close() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

SIZE ScreenSize() {
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return SIZE{0, 0};
  return SIZE{mode.w, mode.h};
}

bool Framed(const WindowRecord& w) { return (w.style & WS_CAPTION) == WS_CAPTION; }

// Makes the SDL window for the record's current state: framed windows get
// a decorated window, the rest a borderless one; hidden until shown.
SDL_Window* MakeSdlWindow(const WindowRecord& w) {
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if (!Framed(w)) flags |= SDL_WINDOW_BORDERLESS;
  const int width = std::max(1, layer::ClientWidth(w));
  const int height = std::max(1, layer::ClientHeight(w));
  const POINT o = layer::ClientOrigin(w);
  SDL_Window* s = SDL_CreateWindow(Cp1252ToUtf8(w.title).c_str(), o.x, o.y, width, height, flags);
  return s;
}

bool CreateWin(WindowRecord& w) {
  w.frame = RECT{0, 0, 0, 0};  // known once the window manager has framed it
  SDL_Window* s = MakeSdlWindow(w);
  if (!s) return false;
  w.backendWindow = s;
  return true;
}

void DestroyWin(WindowRecord& w) {
  if (Sdl(w)) SDL_DestroyWindow(Sdl(w));
  w.backendWindow = nullptr;
}

// Once shown, a framed window learns its frame: the client area shrinks so
// that the outer size stays the requested one, at the same outer position.
void AdoptFrame(WindowRecord& w) {
  if (!Framed(w)) return;
  int top = 0, left = 0, bottom = 0, right = 0;
  for (int i = 0; i < 20; ++i) {  // the window manager answers asynchronously; bounded
    if (SDL_GetWindowBordersSize(Sdl(w), &top, &left, &bottom, &right) == 0 && (top || left)) break;
    SDL_PumpEvents();
    SDL_Delay(10);
  }
  if (!top && !left && !bottom && !right) return;
  w.frame = RECT{left, top, right, bottom};
  SDL_SetWindowSize(Sdl(w), std::max(1, layer::ClientWidth(w)), std::max(1, layer::ClientHeight(w)));
  const POINT o = layer::ClientOrigin(w);
  SDL_SetWindowPosition(Sdl(w), o.x, o.y);
}

void ShowWin(WindowRecord& w, bool visible) {
  if (!Sdl(w)) return;
  if (visible) {
    SDL_ShowWindow(Sdl(w));
    AdoptFrame(w);
    SDL_RaiseWindow(Sdl(w));
  } else {
    SDL_HideWindow(Sdl(w));
  }
}

void PlaceWin(WindowRecord& w) {
  if (!Sdl(w)) return;
  SDL_SetWindowSize(Sdl(w), std::max(1, layer::ClientWidth(w)), std::max(1, layer::ClientHeight(w)));
  const POINT o = layer::ClientOrigin(w);
  SDL_SetWindowPosition(Sdl(w), o.x, o.y);
}

void SetTitle(WindowRecord& w) {
  if (Sdl(w)) SDL_SetWindowTitle(Sdl(w), Cp1252ToUtf8(w.title).c_str());
}

void Raise(const SDL_Event& e) {
  switch (e.type) {
    case SDL_MOUSEMOTION:
      RaiseMouseMove(HwndOf(e.motion.windowID), e.motion.x, e.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      RaiseMouseButton(HwndOf(e.button.windowID), ButtonOf(e.button.button), e.type == SDL_MOUSEBUTTONDOWN,
                       e.button.x, e.button.y);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (int vk = VirtualKey(e.key.keysym)) RaiseKey(vk, e.type == SDL_KEYDOWN, e.key.repeat != 0);
      break;
    case SDL_WINDOWEVENT: {
      HWND hwnd = HwndOf(e.window.windowID);
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: RaiseCloseRequest(hwnd); break;
        case SDL_WINDOWEVENT_EXPOSED: RaiseExpose(hwnd); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: RaiseFocus(hwnd, true); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: RaiseFocus(hwnd, false); break;
        case SDL_WINDOWEVENT_MOVED:
          if (WindowRecord* w = layer::LookupWindow(hwnd)) {
            const LONG width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
            w->rect.left = e.window.data1 - w->frame.left;
            w->rect.top = e.window.data2 - w->frame.top;
            w->rect.right = w->rect.left + width;
            w->rect.bottom = w->rect.top + height;
          }
          break;
        default: break;
      }
      break;
    }
    default: break;
  }
}

void Poll() {
  SDL_Event e;
  while (SDL_PollEvent(&e)) Raise(e);
}

bool Wait(int timeoutMs) {
  SDL_WaitEventTimeout(nullptr, timeoutMs);
  return true;
}

void Capture(WindowRecord* w) { SDL_CaptureMouse(w ? SDL_TRUE : SDL_FALSE); }

POINT CursorPos() {
  int x = 0, y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  return POINT{x, y};
}

void Warp(int x, int y) { SDL_WarpMouseGlobal(x, y); }

int ShowBox(const MessageBoxRequest& box, int& answer) {
  std::vector<SDL_MessageBoxButtonData> buttons;
  auto add = [&](int id, const char* text, Uint32 flags = 0) { buttons.push_back({flags, id, text}); };
  switch (box.type & MB_TYPEMASK) {
    case MB_OKCANCEL: add(IDOK, "OK", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT); add(IDCANCEL, "Cancel", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT); break;
    case MB_ABORTRETRYIGNORE: add(IDABORT, "Abort", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT); add(IDRETRY, "Retry"); add(IDIGNORE, "Ignore"); break;
    case MB_YESNOCANCEL: add(IDYES, "Yes", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT); add(IDNO, "No"); add(IDCANCEL, "Cancel", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT); break;
    // Esc answers No: the box offers no other keyboard route to it.
    case MB_YESNO: add(IDYES, "Yes", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT); add(IDNO, "No", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT); break;
    case MB_RETRYCANCEL: add(IDRETRY, "Retry", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT); add(IDCANCEL, "Cancel", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT); break;
    default: add(IDOK, "OK", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT); break;
  }
  Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
  const UINT icon = box.type & MB_ICONMASK;
  if (icon == MB_ICONHAND) flags = SDL_MESSAGEBOX_ERROR;
  if (icon == MB_ICONEXCLAMATION) flags = SDL_MESSAGEBOX_WARNING;
  SDL_MessageBoxData data{};
  data.flags = flags | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  data.window = box.owner ? Sdl(*layer::TopLevelOf(box.owner)) : nullptr;
  data.title = box.captionUtf8.c_str();
  data.message = box.textUtf8.c_str();
  data.numbuttons = static_cast<int>(buttons.size());
  data.buttons = buttons.data();
  answer = -1;
  return SDL_ShowMessageBox(&data, &answer);
}

int Box(const MessageBoxRequest& box) {
  int answer = -1;
  int rc = ShowBox(box, answer);
  if (rc != 0) {
    // The X11 box builds its font set for the process locale (from the
    // environment); without fonts for that locale it fails. Retry in the
    // plain C locale, whose Latin-1 fonts every X server has.
    const char* old = std::getenv("LC_ALL");
    const std::string saved = old ? old : "";
    setenv("LC_ALL", "C", 1);
    rc = ShowBox(box, answer);
    if (old) setenv("LC_ALL", saved.c_str(), 1); else unsetenv("LC_ALL");
  }
  if (rc != 0) return 0;  // no box could be shown
  if (answer < 0) {
    // Closed without a button: the cancel answer where the box has one,
    // otherwise OK for a plain box and 0 (no answer) for the rest.
    const UINT t = box.type & MB_TYPEMASK;
    if (t == MB_OKCANCEL || t == MB_YESNOCANCEL || t == MB_RETRYCANCEL) return IDCANCEL;
    if (t == MB_OK) return IDOK;
    return 0;
  }
  return answer;
}

std::vector<PIXELFORMATDESCRIPTOR> Formats() { return HeadlessDefaultPixelFormats(); }

struct Attempt {
  int red, green, blue, alpha, depth, stencil, accum, stereo, doubleBuffer;
};

// The requested attributes, then the same relaxed one step at a time.
std::vector<Attempt> Attempts(const PIXELFORMATDESCRIPTOR& r) {
  const int channel = r.cColorBits >= 24 ? 8 : r.cColorBits >= 15 ? 5 : 0;
  Attempt a{channel, channel, channel, std::min<int>(r.cAlphaBits, 8), r.cDepthBits, r.cStencilBits,
            r.cAccumBits / 4, (r.dwFlags & PFD_STEREO) ? 1 : 0, (r.dwFlags & PFD_DOUBLEBUFFER) ? 1 : 0};
  std::vector<Attempt> out{a};
  auto step = [&](auto change) {
    Attempt next = out.back();
    change(next);
    out.push_back(next);
  };
  step([](Attempt& x) { x.stereo = 0; });
  step([](Attempt& x) { x.depth = std::min(x.depth, 24); x.stencil = std::min(x.stencil, 8); });
  step([](Attempt& x) { x.accum = std::min(x.accum, 16); });
  step([](Attempt& x) { x.accum = 0; });
  step([](Attempt& x) { x.stencil = 0; });
  step([](Attempt& x) { x.depth = std::min(x.depth, 16); });
  step([](Attempt& x) { x.alpha = 0; });
  step([](Attempt& x) { x.red = x.green = x.blue = 0; });
  step([](Attempt& x) { x.doubleBuffer = 0; });
  return out;
}

void* CreateContext(WindowRecord& w, const PIXELFORMATDESCRIPTOR&) {
  // On X11 the window's visual is fixed when the window is made, so each
  // attempt remakes the window with the attributes set first.
  const bool visible = w.visible;
  for (const Attempt& a : Attempts(w.pixelRequest)) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, a.red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, a.green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, a.blue);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, a.alpha);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, a.depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, a.stencil);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, a.accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, a.accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, a.accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, a.accum);
    SDL_GL_SetAttribute(SDL_GL_STEREO, a.stereo);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, a.doubleBuffer);
    SDL_Window* s = MakeSdlWindow(w);
    if (!s) continue;
    SDL_GLContext ctx = SDL_GL_CreateContext(s);
    if (!ctx) {
      SDL_DestroyWindow(s);
      continue;
    }
    SDL_DestroyWindow(Sdl(w));
    w.backendWindow = s;
    if (visible) {
      SDL_ShowWindow(s);
      SDL_RaiseWindow(s);
    }
    SDL_GL_SetSwapInterval(0);  // the frame loop runs unthrottled by design
    return ctx;
  }
  return nullptr;
}

bool MakeCurrent(WindowRecord* w, void* ctx) {
  if (!ctx) return SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
  return w && SDL_GL_MakeCurrent(Sdl(*w), static_cast<SDL_GLContext>(ctx)) == 0;
}

void DeleteContext(void* ctx) {
  if (ctx) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(ctx));
}

void Swap(WindowRecord& w) {
  if (!Sdl(w)) return;
  // Child windows (image buttons) are shown over the finished frame.
  if (SDL_GL_GetCurrentWindow() == Sdl(w)) CompositeChildren(w, SDL_GL_GetProcAddress);
  SDL_GL_SwapWindow(Sdl(w));
}

const PlatformBackend kSdl{"sdl",   Open,    Close,     ScreenSize, CreateWin, DestroyWin,    ShowWin,
                           PlaceWin, SetTitle, Poll,    Wait,       Capture,   CursorPos,     Warp,
                           Box,     Formats, CreateContext, MakeCurrent, DeleteContext, Swap};

}  // namespace

const PlatformBackend& SdlBackend() { return kSdl; }
