// The OpenGL window: class registration, creation, pixel format and
// rendering context, release, status bar and fatal errors.
#include "window/glwindow.h"

#include "window/imagebutton.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/checked.h"
#include "render/glstate.h"
#include "window/wndproc.h"

HWND hWindow = nullptr;
HDC DCWindow = nullptr;
HGLRC RCWindow = nullptr;
std::int32_t SetTypeCursor = 0;
std::int32_t SetTypeIcon = 0;
const char* CursorFile = nullptr;
const char* IconFile = nullptr;
std::int32_t Bits = 0;
bool FullScreen = false;
bool Active = false;
std::int32_t Pixel_Format_Flags = 0;
bool ShowMenuBar = false;
bool ShowStatusBar = false;
void (*CreateMenuBar)() = nullptr;
HWND hStatus = nullptr;
HWND aWnd = nullptr;
std::array<char, 261> FileName{};
std::array<std::int32_t, 20> Edges{};
std::array<std::int32_t, 20> StatusItem{};
std::int32_t MaxStatusItem = 0;
WNDCLASSEXA WindowClassEx{};

namespace {

ThrowErrorHook g_throwErrorHook = nullptr;

// System cursor ids for the cursor kinds ARROW..HELP (FILECURSOR aside).
constexpr std::array<int, 17> kSystemCursor = {
    0,      // no kind 0
    32512,  // ARROW
    32513,  // IBEAM
    32514,  // WAIT
    32515,  // CROSS
    32516,  // UPARROW
    32640,  // SIZE
    0,      // FILECURSOR: loaded from CursorFile
    32642,  // SIZENWSE
    32643,  // SIZENESW
    32644,  // SIZEWE
    32645,  // SIZENS
    32646,  // SIZEALL
    32648,  // NOCURSOR
    32649,  // HAND
    32650,  // APPSTARTING
    32651,  // HELP
};

constexpr int kApplicationIcon = 32512;
constexpr int kArrowCursor = 32512;

// The class cursor for the chosen kind; an unknown kind leaves it unset.
HCURSOR ClassCursor() {
  if (SetTypeCursor == FILECURSOR) return LoadCursorFromFileA(CursorFile);
  if (SetTypeCursor < ARROW || SetTypeCursor > HELP) return nullptr;
  return LoadCursorA(nullptr, MAKEINTRESOURCEA(kSystemCursor[static_cast<std::size_t>(SetTypeCursor)]));
}

// The class icon for the chosen kind; an unknown kind leaves it unset. Icon
// files go through the cursor-file loader, which reads both formats.
HICON ClassIcon() {
  if (SetTypeIcon == GENERIC) return LoadIconA(nullptr, MAKEINTRESOURCEA(kApplicationIcon));
  if (SetTypeIcon == FILEICON) return LoadCursorFromFileA(IconFile);
  return nullptr;
}

}  // namespace

void SetThrowErrorHook(ThrowErrorHook hook) { g_throwErrorHook = hook; }

void ThrowError(const char* pcErrorMessage) {
  MessageBoxA(nullptr, pcErrorMessage, "Error", 0);
  if (g_throwErrorHook) g_throwErrorHook(pcErrorMessage);
  std::exit(0);
}

void OGLWindowSetting(std::int32_t TypeCursor, const char* CurFile, std::int32_t TypeIcon, const char* IcoFile) {
  if (MouseFree) SetCursorPos(Width / 2, Height / 2);
  SetTypeCursor = TypeCursor;
  CursorFile = CurFile;
  SetTypeIcon = TypeIcon;
  IconFile = IcoFile;
}

bool WindowRegister() {
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW;
  wc.lpfnWndProc = GLWndProc;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = ClassIcon();
  wc.hCursor = ClassCursor();
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = kGLWindowClass;
  const bool registered = (RegisterClassA(&wc) & 0xFFFF) != 0;

  // The image-button class is registered once; a failure is of no concern
  // to the OpenGL window.
  if (!GetClassInfoExA(nullptr, kImageButtonClass, &WindowClassEx)) {
    WindowClassEx = WNDCLASSEXA{};
    WindowClassEx.cbSize = WNDCLASSEXA_SIZE_32;
    WindowClassEx.style = 0;
    WindowClassEx.lpfnWndProc = HoverButtonHandler;
    WindowClassEx.cbClsExtra = 0;
    WindowClassEx.cbWndExtra = 0;
    WindowClassEx.hInstance = GetModuleHandleA(nullptr);
    WindowClassEx.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(kApplicationIcon));
    WindowClassEx.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(kArrowCursor));
    WindowClassEx.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    WindowClassEx.lpszMenuName = nullptr;
    WindowClassEx.lpszClassName = kImageButtonClass;
    WindowClassEx.hIconSm = LoadIconA(nullptr, MAKEINTRESOURCEA(kApplicationIcon));
    RegisterClassExA(&WindowClassEx);
  }
  return registered;
}

HWND WindowCreate(const char* pcApplicationName) {
  DWORD style = kWindowedStyle;
  if (FullScreen) {
    Width = GetSystemMetrics(SM_CXSCREEN);
    Height = GetSystemMetrics(SM_CYSCREEN);
    style = kFullScreenStyle;
  }
  // Pop-up windows given CW_USEDEFAULT land at the screen's top-left corner.
  HWND wnd = CreateWindowExA(0, kGLWindowClass, pcApplicationName, style, CW_USEDEFAULT, CW_USEDEFAULT, Width,
                             Height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (wnd) {
    ShowWindow(wnd, SW_SHOWDEFAULT);
    UpdateWindow(wnd);
  }
  return wnd;
}

PIXELFORMATDESCRIPTOR PixelFormatRequest() {
  const auto bits = static_cast<BYTE>(CheckIndex(Bits, 0, 255, "Bits"));
  const std::int64_t flags = static_cast<std::int64_t>(Pixel_Format_Flags) | kPixelFormatFlags;
  CheckIndex(flags, 0, 0x7FFFFFFF, "Pixel_Format_Flags");

  PIXELFORMATDESCRIPTOR pfd{};  // every field not set below is 0
  pfd.nSize = 40;
  pfd.nVersion = 1;
  pfd.dwFlags = static_cast<DWORD>(flags);
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = bits;
  pfd.cAlphaBits = bits;
  pfd.cAccumBits = bits;
  pfd.cDepthBits = bits;
  pfd.cStencilBits = bits;
  pfd.cAuxBuffers = bits;
  pfd.iLayerType = 1;
  return pfd;
}

bool WindowInit(HWND hParent) {
  int error = 0;
  DCWindow = GetDC(hParent);
  PIXELFORMATDESCRIPTOR pfd = PixelFormatRequest();
  const int format = ChoosePixelFormat(DCWindow, &pfd);
  if (format == 0) error = 1;
  SetPixelFormat(DCWindow, format, &pfd);
  RCWindow = wglCreateContext(DCWindow);
  if (!RCWindow) error = 2;
  wglMakeCurrent(DCWindow, RCWindow);
  return error == 0;
}

bool CreateOGLWindow(const char* AppName, std::int32_t AppWidth, std::int32_t AppHeight, std::int32_t AppBits,
                     bool AppFullScreen) {
  Width = AppWidth;
  Height = AppHeight;
  Bits = AppBits;
  FullScreen = AppFullScreen;
  if (!WindowRegister()) ThrowError(kRegisterError);
  hWindow = WindowCreate(AppName);
  if (ShowMenuBar && CreateMenuBar) CreateMenuBar();
  if (ShowStatusBar) hStatus = CreateStatusBar(hWindow);
  if (!hWindow) ThrowError(kCreateError);
  if (!WindowInit(hWindow)) ThrowError(kInitError);
  return true;
}

void DeleteOGLWindow() {
  wglMakeCurrent(DCWindow, nullptr);
  wglDeleteContext(RCWindow);
  ReleaseDC(hWindow, DCWindow);
  DestroyWindow(hWindow);
}

HWND CreateStatusBar(HWND Parent) {
  FileName.fill(0);
  constexpr char kText[] = "Percorso file";
  std::memcpy(FileName.data(), kText, sizeof kText - 1);
  aWnd = CreateStatusWindowA(static_cast<LONG>(WS_CHILD | WS_VISIBLE), FileName.data(), Parent, kStatusBarId);
  if (aWnd) {
    CheckIndex(MaxStatusItem, 0, 20, "MaxStatusItem");
    for (std::int32_t I = 1; I <= MaxStatusItem; ++I) {
      const std::size_t at = CheckIndex(I, 1, 20, "Edges");
      Edges[at] = StatusItem[at];
    }
    SendMessageA(aWnd, SB_SETPARTS, static_cast<WPARAM>(MaxStatusItem), reinterpret_cast<LPARAM>(Edges.data()));
  }
  return aWnd;
}
