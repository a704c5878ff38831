// The desktop API the window, texture and application code is written
// against: Win32-style types, handles, constants and calls (user32, gdi32,
// WGL, comctl32, global memory, bitmap loading), implemented by this layer
// over an SDL2 backend for real windows and a headless backend for tests.
// Names, values and record layouts follow the documented desktop API; the
// behaviour is the part of it this program relies on (see platform.h).
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Basic types
// ---------------------------------------------------------------------------
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using INT = int;
using BOOL = int;
using ATOM = WORD;
using COLORREF = DWORD;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using SIZE_T = std::size_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// Handles are distinct opaque pointer types, so a device context cannot be
// passed where a window is expected. Null is "no handle".
struct HWND__;
struct HDC__;
struct HGLRC__;
struct HINSTANCE__;
struct HICON__;
struct HBRUSH__;
struct HMENU__;
struct HBITMAP__;
struct HPALETTE__;
struct HRGN__;
struct HFONT__;
struct HPEN__;
using HWND = HWND__*;
using HDC = HDC__*;
using HGLRC = HGLRC__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HICON = HICON__*;
using HCURSOR = HICON;
using HBRUSH = HBRUSH__*;
using HMENU = HMENU__*;
using HBITMAP = HBITMAP__*;
using HPALETTE = HPALETTE__*;
using HRGN = HRGN__*;
using HFONT = HFONT__*;
using HPEN = HPEN__*;
using HANDLE = void*;
using HGDIOBJ = void*;
using HGLOBAL = HANDLE;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// ---------------------------------------------------------------------------
// Helpers for packed values
// ---------------------------------------------------------------------------
constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(std::uintptr_t v) { return static_cast<BYTE>(v & 0xFF); }
constexpr BYTE HIBYTE(std::uintptr_t v) { return static_cast<BYTE>((v >> 8) & 0xFF); }
constexpr DWORD MAKELONG(WORD lo, WORD hi) { return static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16); }
// Each coordinate is wrapped to 16 bits: x | y << 16.
constexpr LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(lo & 0xFFFF), static_cast<WORD>(hi & 0xFFFF)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) {
  return static_cast<WPARAM>(MAKELONG(static_cast<WORD>(lo & 0xFFFF), static_cast<WORD>(hi & 0xFFFF)));
}
// Signed readings of the packed coordinates (the unsigned ones are LOWORD/HIWORD).
constexpr int GET_X_LPARAM(LPARAM l) { return static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(l))); }
constexpr int GET_Y_LPARAM(LPARAM l) { return static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(l))); }
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

// Integer resource names (system cursors and icons) travel as small
// "pointer" values below 0x10000.
inline LPCSTR MAKEINTRESOURCEA(int id) {
  return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}
inline bool IS_INTRESOURCE(LPCSTR p) { return (reinterpret_cast<std::uintptr_t>(p) >> 16) == 0; }

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------
struct POINT {
  LONG x = 0;
  LONG y = 0;
};
struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};
struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};
using LPRECT = RECT*;
using LPPOINT = POINT*;

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};
using LPMSG = MSG*;

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = 0;
  RECT rcPaint;
  BOOL fRestore = 0;
  BOOL fIncUpdate = 0;
  BYTE rgbReserved[32] = {};
};

struct WNDCLASSA {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
};

// cbSize: sizeof(WNDCLASSEXA), or 48, the size of the record in the 32-bit
// layout, which the layer accepts as well.
struct WNDCLASSEXA {
  UINT cbSize = 0;
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
  HICON hIconSm = nullptr;
};
inline constexpr UINT WNDCLASSEXA_SIZE_32 = 48;

// lParam of WM_CREATE points to this record.
struct CREATESTRUCTA {
  LPVOID lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  LONG style = 0;
  LPCSTR lpszName = nullptr;
  LPCSTR lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

#pragma pack(push, 1)
struct PIXELFORMATDESCRIPTOR {
  WORD nSize = 0;
  WORD nVersion = 0;
  DWORD dwFlags = 0;
  BYTE iPixelType = 0;
  BYTE cColorBits = 0;
  BYTE cRedBits = 0;
  BYTE cRedShift = 0;
  BYTE cGreenBits = 0;
  BYTE cGreenShift = 0;
  BYTE cBlueBits = 0;
  BYTE cBlueShift = 0;
  BYTE cAlphaBits = 0;
  BYTE cAlphaShift = 0;
  BYTE cAccumBits = 0;
  BYTE cAccumRedBits = 0;
  BYTE cAccumGreenBits = 0;
  BYTE cAccumBlueBits = 0;
  BYTE cAccumAlphaBits = 0;
  BYTE cDepthBits = 0;
  BYTE cStencilBits = 0;
  BYTE cAuxBuffers = 0;
  BYTE iLayerType = 0;
  BYTE bReserved = 0;
  DWORD dwLayerMask = 0;
  DWORD dwVisibleMask = 0;
  DWORD dwDamageMask = 0;
};
#pragma pack(pop)
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the pixel-format request is a 40-byte record");

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 0;
  WORD bmBitsPixel = 0;
  LPVOID bmBits = nullptr;
};

struct BITMAPINFOHEADER {
  DWORD biSize = 0;
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 0;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "the bitmap info header is a 40-byte record");

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

// GetObjectA on a DIB section may fill this larger record.
struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3] = {};
  HANDLE dshSection = nullptr;
  DWORD dsOffset = 0;
};

struct PALETTEENTRY {
  BYTE peRed = 0;
  BYTE peGreen = 0;
  BYTE peBlue = 0;
  BYTE peFlags = 0;
};

struct LOGPALETTE {
  WORD palVersion = 0;
  WORD palNumEntries = 0;
  PALETTEENTRY palPalEntry[1];
};

struct RGNDATAHEADER {
  DWORD dwSize = 0;
  DWORD iType = 0;
  DWORD nCount = 0;
  DWORD nRgnSize = 0;
  RECT rcBound;
};
static_assert(sizeof(RGNDATAHEADER) == 32, "the region-data header is a 32-byte record");

struct RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];
};

struct XFORM {
  float eM11 = 0, eM12 = 0, eM21 = 0, eM22 = 0, eDx = 0, eDy = 0;
};

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
// Window messages
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_CONTEXTMENU = 0x007B;
inline constexpr UINT WM_NCCREATE = 0x0081;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_SYSCHAR = 0x0106;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_MOUSEFIRST = 0x0200;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_MOUSELAST = 0x020A;
inline constexpr UINT WM_CAPTURECHANGED = 0x0215;
inline constexpr UINT WM_MOUSELEAVE = 0x02A3;
inline constexpr UINT WM_USER = 0x0400;

// Status bar (comctl32)
inline constexpr UINT SB_SETTEXTA = WM_USER + 1;
inline constexpr UINT SB_SETPARTS = WM_USER + 4;  // 0x404
inline constexpr UINT SB_GETPARTS = WM_USER + 6;

// Mouse-key flags in wParam of mouse messages
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr WPARAM MK_MBUTTON = 0x0010;

// PeekMessageA
inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;
inline constexpr UINT PM_NOYIELD = 0x0002;

// WM_SYSCOMMAND commands
inline constexpr WPARAM SC_SIZE = 0xF000;
inline constexpr WPARAM SC_MOVE = 0xF010;
inline constexpr WPARAM SC_MINIMIZE = 0xF020;
inline constexpr WPARAM SC_MAXIMIZE = 0xF030;
inline constexpr WPARAM SC_CLOSE = 0xF060;
inline constexpr WPARAM SC_KEYMENU = 0xF100;
inline constexpr WPARAM SC_RESTORE = 0xF120;
inline constexpr WPARAM SC_SCREENSAVE = 0xF140;
inline constexpr WPARAM SC_MONITORPOWER = 0xF170;

// ShowWindow commands
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;
inline constexpr int SW_SHOWDEFAULT = 10;

// Window styles
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_MAXIMIZE = 0x01000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;  // WS_BORDER | WS_DLGFRAME
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
inline constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;

inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
inline constexpr DWORD WS_EX_LAYERED = 0x00080000;

// Creation position/size meaning "let the system choose"
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// Class styles
inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr UINT CS_OWNDC = 0x0020;
inline constexpr UINT CS_CLASSDC = 0x0040;
inline constexpr UINT CS_PARENTDC = 0x0080;

// GetWindowLongPtrA indexes
inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_HINSTANCE = -6;
inline constexpr int GWLP_HWNDPARENT = -8;
inline constexpr int GWLP_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWLP_USERDATA = -21;

// Message boxes
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// System metrics
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXFIXEDFRAME = 7;
inline constexpr int SM_CYFIXEDFRAME = 8;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CMOUSEBUTTONS = 43;

// System cursors (LoadCursorA with no module)
inline constexpr int OCR_NORMAL = 32512;
inline const LPCSTR IDC_ARROW = MAKEINTRESOURCEA(32512);
inline const LPCSTR IDC_IBEAM = MAKEINTRESOURCEA(32513);
inline const LPCSTR IDC_WAIT = MAKEINTRESOURCEA(32514);
inline const LPCSTR IDC_CROSS = MAKEINTRESOURCEA(32515);
inline const LPCSTR IDC_UPARROW = MAKEINTRESOURCEA(32516);
inline const LPCSTR IDC_SIZE = MAKEINTRESOURCEA(32640);
inline const LPCSTR IDC_ICON = MAKEINTRESOURCEA(32641);
inline const LPCSTR IDC_SIZENWSE = MAKEINTRESOURCEA(32642);
inline const LPCSTR IDC_SIZENESW = MAKEINTRESOURCEA(32643);
inline const LPCSTR IDC_SIZEWE = MAKEINTRESOURCEA(32644);
inline const LPCSTR IDC_SIZENS = MAKEINTRESOURCEA(32645);
inline const LPCSTR IDC_SIZEALL = MAKEINTRESOURCEA(32646);
inline const LPCSTR IDC_NO = MAKEINTRESOURCEA(32648);
inline const LPCSTR IDC_HAND = MAKEINTRESOURCEA(32649);
inline const LPCSTR IDC_APPSTARTING = MAKEINTRESOURCEA(32650);
inline const LPCSTR IDC_HELP = MAKEINTRESOURCEA(32651);

// System icons (LoadIconA with no module)
inline const LPCSTR IDI_APPLICATION = MAKEINTRESOURCEA(32512);
inline const LPCSTR IDI_HAND = MAKEINTRESOURCEA(32513);
inline const LPCSTR IDI_ERROR = IDI_HAND;
inline const LPCSTR IDI_QUESTION = MAKEINTRESOURCEA(32514);
inline const LPCSTR IDI_EXCLAMATION = MAKEINTRESOURCEA(32515);
inline const LPCSTR IDI_WARNING = IDI_EXCLAMATION;
inline const LPCSTR IDI_ASTERISK = MAKEINTRESOURCEA(32516);
inline const LPCSTR IDI_INFORMATION = IDI_ASTERISK;
inline const LPCSTR IDI_WINLOGO = MAKEINTRESOURCEA(32517);

// Virtual-key codes ('0'..'9' and 'A'..'Z' are their ASCII codes)
inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_RBUTTON = 0x02;
inline constexpr int VK_CANCEL = 0x03;
inline constexpr int VK_MBUTTON = 0x04;
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_CLEAR = 0x0C;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_PAUSE = 0x13;
inline constexpr int VK_CAPITAL = 0x14;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_SELECT = 0x29;
inline constexpr int VK_PRINT = 0x2A;
inline constexpr int VK_EXECUTE = 0x2B;
inline constexpr int VK_SNAPSHOT = 0x2C;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_HELP = 0x2F;
inline constexpr int VK_LWIN = 0x5B;
inline constexpr int VK_RWIN = 0x5C;
inline constexpr int VK_APPS = 0x5D;
inline constexpr int VK_NUMPAD0 = 0x60;
inline constexpr int VK_NUMPAD1 = 0x61;
inline constexpr int VK_NUMPAD2 = 0x62;
inline constexpr int VK_NUMPAD3 = 0x63;
inline constexpr int VK_NUMPAD4 = 0x64;
inline constexpr int VK_NUMPAD5 = 0x65;
inline constexpr int VK_NUMPAD6 = 0x66;
inline constexpr int VK_NUMPAD7 = 0x67;
inline constexpr int VK_NUMPAD8 = 0x68;
inline constexpr int VK_NUMPAD9 = 0x69;
inline constexpr int VK_MULTIPLY = 0x6A;
inline constexpr int VK_ADD = 0x6B;
inline constexpr int VK_SEPARATOR = 0x6C;
inline constexpr int VK_SUBTRACT = 0x6D;
inline constexpr int VK_DECIMAL = 0x6E;
inline constexpr int VK_DIVIDE = 0x6F;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F2 = 0x71;
inline constexpr int VK_F3 = 0x72;
inline constexpr int VK_F4 = 0x73;
inline constexpr int VK_F5 = 0x74;
inline constexpr int VK_F6 = 0x75;
inline constexpr int VK_F7 = 0x76;
inline constexpr int VK_F8 = 0x77;
inline constexpr int VK_F9 = 0x78;
inline constexpr int VK_F10 = 0x79;
inline constexpr int VK_F11 = 0x7A;
inline constexpr int VK_F12 = 0x7B;
inline constexpr int VK_NUMLOCK = 0x90;
inline constexpr int VK_SCROLL = 0x91;
inline constexpr int VK_LSHIFT = 0xA0;
inline constexpr int VK_RSHIFT = 0xA1;
inline constexpr int VK_LCONTROL = 0xA2;
inline constexpr int VK_RCONTROL = 0xA3;
inline constexpr int VK_LMENU = 0xA4;
inline constexpr int VK_RMENU = 0xA5;
inline constexpr int VK_OEM_1 = 0xBA;       // ;:
inline constexpr int VK_OEM_PLUS = 0xBB;    // =+
inline constexpr int VK_OEM_COMMA = 0xBC;
inline constexpr int VK_OEM_MINUS = 0xBD;
inline constexpr int VK_OEM_PERIOD = 0xBE;
inline constexpr int VK_OEM_2 = 0xBF;       // /?
inline constexpr int VK_OEM_3 = 0xC0;       // `~
inline constexpr int VK_OEM_4 = 0xDB;       // [{
inline constexpr int VK_OEM_5 = 0xDC;       // \|
inline constexpr int VK_OEM_6 = 0xDD;       // ]}
inline constexpr int VK_OEM_7 = 0xDE;       // '"
inline constexpr int VK_OEM_102 = 0xE2;

// System colours (GetSysColorBrush / GetSysColor)
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;

// Stock objects (GetStockObject)
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int OEM_FIXED_FONT = 10;
inline constexpr int ANSI_FIXED_FONT = 11;
inline constexpr int ANSI_VAR_FONT = 12;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEVICE_DEFAULT_FONT = 14;
inline constexpr int DEFAULT_PALETTE = 15;
inline constexpr int SYSTEM_FIXED_FONT = 16;
inline constexpr int DEFAULT_GUI_FONT = 17;

// Pixel formats
inline constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001;
inline constexpr DWORD PFD_STEREO = 0x00000002;
inline constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004;
inline constexpr DWORD PFD_DRAW_TO_BITMAP = 0x00000008;
inline constexpr DWORD PFD_SUPPORT_GDI = 0x00000010;
inline constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020;
inline constexpr DWORD PFD_GENERIC_FORMAT = 0x00000040;
inline constexpr DWORD PFD_NEED_PALETTE = 0x00000080;
inline constexpr DWORD PFD_NEED_SYSTEM_PALETTE = 0x00000100;
inline constexpr DWORD PFD_SWAP_EXCHANGE = 0x00000200;
inline constexpr DWORD PFD_SWAP_COPY = 0x00000400;
inline constexpr DWORD PFD_SWAP_LAYER_BUFFERS = 0x00000800;
inline constexpr DWORD PFD_GENERIC_ACCELERATED = 0x00001000;
inline constexpr DWORD PFD_DEPTH_DONTCARE = 0x20000000;
inline constexpr DWORD PFD_DOUBLEBUFFER_DONTCARE = 0x40000000;
inline constexpr DWORD PFD_STEREO_DONTCARE = 0x80000000;
inline constexpr BYTE PFD_TYPE_RGBA = 0;
inline constexpr BYTE PFD_TYPE_COLORINDEX = 1;
inline constexpr BYTE PFD_MAIN_PLANE = 0;
inline constexpr BYTE PFD_OVERLAY_PLANE = 1;
inline constexpr BYTE PFD_UNDERLAY_PLANE = 0xFF;  // (-1)

// Images and bitmaps
inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT IMAGE_ICON = 1;
inline constexpr UINT IMAGE_CURSOR = 2;
inline constexpr UINT LR_DEFAULTCOLOR = 0x0000;
inline constexpr UINT LR_MONOCHROME = 0x0001;
inline constexpr UINT LR_LOADFROMFILE = 0x0010;
inline constexpr UINT LR_LOADTRANSPARENT = 0x0020;
inline constexpr UINT LR_DEFAULTSIZE = 0x0040;
inline constexpr UINT LR_LOADMAP3DCOLORS = 0x1000;
inline constexpr UINT LR_CREATEDIBSECTION = 0x2000;
inline constexpr UINT LR_SHARED = 0x8000;

inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_RLE8 = 1;
inline constexpr DWORD BI_RLE4 = 2;
inline constexpr DWORD BI_BITFIELDS = 3;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr UINT DIB_PAL_COLORS = 1;

// Raster operations
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// Regions
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;
inline constexpr DWORD RDH_RECTANGLES = 1;
inline constexpr int ERROR = 0;  // region results
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;

// Global memory
inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// Palettes
inline constexpr WORD PALETTE_VERSION = 0x300;

// GetObjectA kinds
inline constexpr DWORD OBJ_PEN = 1;
inline constexpr DWORD OBJ_BRUSH = 2;
inline constexpr DWORD OBJ_DC = 3;
inline constexpr DWORD OBJ_PAL = 5;
inline constexpr DWORD OBJ_FONT = 6;
inline constexpr DWORD OBJ_BITMAP = 7;
inline constexpr DWORD OBJ_REGION = 8;
inline constexpr DWORD OBJ_MEMDC = 10;

// ---------------------------------------------------------------------------
// Calls
// ---------------------------------------------------------------------------
// Module
HMODULE GetModuleHandleA(LPCSTR moduleName);  // null: the program's own instance

// Window classes
ATOM RegisterClassA(const WNDCLASSA* wc);  // 0 when the name is taken or the record is invalid
ATOM RegisterClassExA(const WNDCLASSEXA* wc);
BOOL GetClassInfoExA(HINSTANCE instance, LPCSTR className, WNDCLASSEXA* out);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);

// Windows
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int cmdShow);  // the previous visibility
BOOL UpdateWindow(HWND hwnd);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND hwnd, RECT* rect);  // screen coordinates, frame included
BOOL GetClientRect(HWND hwnd, RECT* rect);  // (0, 0, client width, client height)
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
int GetDlgCtrlID(HWND hwnd);
HWND GetParent(HWND hwnd);
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
int GetWindowTextA(HWND hwnd, LPSTR buffer, int size);
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
HWND WindowFromPoint(POINT point);

// Window properties
BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data);
HANDLE GetPropA(HWND hwnd, LPCSTR name);
HANDLE RemovePropA(HWND hwnd, LPCSTR name);

// Window procedures and messages
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);  // 0 for WM_QUIT, -1 on error
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Mouse, cursor, screen
HWND SetCapture(HWND hwnd);  // the previous capture window
BOOL ReleaseCapture();
HWND GetCapture();
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
int GetSystemMetrics(int index);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorFromFileA(LPCSTR fileName);  // .cur or .ico; null when unreadable
BOOL DestroyCursor(HCURSOR cursor);
BOOL DestroyIcon(HICON icon);
HCURSOR SetCursor(HCURSOR cursor);
int ShowCursor(BOOL show);
HBRUSH GetSysColorBrush(int index);
DWORD GetSysColor(int index);

// Message boxes: ANSI (Windows-1252) texts; IDOK/IDYES/IDNO/..., 0 when no box can be shown
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Device contexts and painting
HDC GetDC(HWND hwnd);  // null window: the screen
int ReleaseDC(HWND hwnd, HDC hdc);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);
HWND WindowFromDC(HDC hdc);
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

// GDI objects
HGDIOBJ GetStockObject(int index);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
int GetObjectA(HGDIOBJ object, int size, LPVOID out);
DWORD GetObjectType(HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);  // OBJ_BITMAP, OBJ_PAL, OBJ_BRUSH, OBJ_PEN, OBJ_FONT
HBRUSH CreateSolidBrush(COLORREF color);

// Bitmaps
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);

// Palettes
HPALETTE CreatePalette(const LOGPALETTE* palette);
HPALETTE CreateHalftonePalette(HDC hdc);
HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC hdc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);  // null: the count

// Regions
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN ExtCreateRegion(const XFORM* transform, DWORD size, const RGNDATA* data);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
BOOL PtInRegion(HRGN region, int x, int y);
int GetRgnBox(HRGN region, RECT* box);
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);  // the window owns the region afterwards
int GetWindowRgn(HWND hwnd, HRGN dest);

// Global memory
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags);
LPVOID GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);  // null on success
SIZE_T GlobalSize(HGLOBAL memory);

// Pixel formats and GL contexts
int ChoosePixelFormat(HDC hdc, const PIXELFORMATDESCRIPTOR* request);  // 1-based, 0 when none
BOOL SetPixelFormat(HDC hdc, int format, const PIXELFORMATDESCRIPTOR* request);
int GetPixelFormat(HDC hdc);
int DescribePixelFormat(HDC hdc, int format, UINT size, PIXELFORMATDESCRIPTOR* out);  // format count
BOOL SwapBuffers(HDC hdc);
HGLRC wglCreateContext(HDC hdc);
BOOL wglMakeCurrent(HDC hdc, HGLRC context);  // null context: release the current one
BOOL wglDeleteContext(HGLRC context);
HGLRC wglGetCurrentContext();
HDC wglGetCurrentDC();

// Common controls
void InitCommonControls();
HWND CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id);
