// The program's one OpenGL window: window classes, the window itself, its
// pixel format and rendering context, their release, the optional status
// bar, and the fatal start-up error report. The window's handles, size,
// colour depth and mode live here as globals that the rest of the library
// reads (Width and Height live with the GL state in render/glstate.h).
#pragma once

#include <array>
#include <cstdint>

#include "platform/winapi.h"

// Cursor kinds for the window class (OGLWindowSetting).
inline constexpr std::int32_t ARROW = 1;
inline constexpr std::int32_t IBEAM = 2;
inline constexpr std::int32_t WAIT = 3;
inline constexpr std::int32_t CROSS = 4;
inline constexpr std::int32_t UPARROW = 5;
inline constexpr std::int32_t SIZE = 6;
inline constexpr std::int32_t FILECURSOR = 7;
inline constexpr std::int32_t SIZENWSE = 8;
inline constexpr std::int32_t SIZENESW = 9;
inline constexpr std::int32_t SIZEWE = 10;
inline constexpr std::int32_t SIZENS = 11;
inline constexpr std::int32_t SIZEALL = 12;
inline constexpr std::int32_t NOCURSOR = 13;
inline constexpr std::int32_t HAND = 14;
inline constexpr std::int32_t APPSTARTING = 15;
inline constexpr std::int32_t HELP = 16;

// Icon kinds for the window class.
inline constexpr std::int32_t GENERIC = 1;
inline constexpr std::int32_t FILEICON = 2;

// Window styles: a framed window with caption, system menu and minimize box,
// or a caption-less window covering the screen. Neither can be resized.
inline constexpr DWORD kWindowedStyle = 0x96CA0000u;
inline constexpr DWORD kFullScreenStyle = 0x96880000u;
// Pixel-format flags always requested (double buffer, stereo, draw to
// window, OpenGL, generic format, generic accelerated).
inline constexpr DWORD kPixelFormatFlags = 0x1067u;
// Control id of the status bar.
inline constexpr int kStatusBarId = 30482;

inline constexpr const char* kGLWindowClass = "GLWindow";
inline constexpr const char* kImageButtonClass = "IMAGEBUTTON";

// Fatal start-up messages.
inline constexpr const char* kRegisterError = "Errore di registro per la rispettiva applicazione!";
inline constexpr const char* kCreateError = "Impossibile creare la finestra per la rispettiva applicazione!";
// The text is ANSI (Windows-1252): 0xE8 is the letter e with grave accent.
inline constexpr const char* kInitError = "la rispettiva applicazione non \xE8 stata inizilizata!";

extern HWND hWindow;
extern HDC DCWindow;
extern HGLRC RCWindow;
extern std::int32_t SetTypeCursor;
extern std::int32_t SetTypeIcon;
extern const char* CursorFile;  // only the pointer is kept, not a copy
extern const char* IconFile;
extern std::int32_t Bits;        // colour depth of every count of the pixel-format request, 0..255
extern bool FullScreen;
extern bool Active;              // true from WM_CREATE until WM_DESTROY
extern std::int32_t Pixel_Format_Flags;  // extra flags OR-ed into the request
extern bool ShowMenuBar;
extern bool ShowStatusBar;
extern void (*CreateMenuBar)();
extern HWND hStatus;
extern HWND aWnd;
extern std::array<char, 261> FileName;
// Right edges of the status-bar parts, indexes 1..20 kept at offset I - 1.
extern std::array<std::int32_t, 20> Edges;
extern std::array<std::int32_t, 20> StatusItem;
extern std::int32_t MaxStatusItem;
extern WNDCLASSEXA WindowClassEx;

// Stores the cursor and icon choice for the window class; call before
// CreateOGLWindow. Cursor kinds ARROW..HELP, icon kinds GENERIC/FILEICON.
void OGLWindowSetting(std::int32_t TypeCursor, const char* CurFile, std::int32_t TypeIcon, const char* IcoFile);

// Creates the window and makes a rendering context current on it. Returns
// true or does not return: every failure goes through ThrowError.
bool CreateOGLWindow(const char* AppName, std::int32_t AppWidth, std::int32_t AppHeight, std::int32_t AppBits,
                     bool AppFullScreen);

// Releases the rendering context, the device context and the window.
void DeleteOGLWindow();

// The three steps of CreateOGLWindow.
bool WindowRegister();
HWND WindowCreate(const char* pcApplicationName);
bool WindowInit(HWND hParent);

// The pixel-format request WindowInit hands to ChoosePixelFormat: every
// bit count (colour, alpha, accumulation, depth, stencil, auxiliary
// buffers) is Bits, the flags are Pixel_Format_Flags OR kPixelFormatFlags.
// Bits outside 0..255 or flags with the top bit set are a checked failure.
PIXELFORMATDESCRIPTOR PixelFormatRequest();

// Creates the optional status bar as a child of Parent.
HWND CreateStatusBar(HWND Parent);

// Shows a fatal error in a box captioned "Error" and ends the program with
// exit code 0.
[[noreturn]] void ThrowError(const char* pcErrorMessage);

// Tests replace the exit of ThrowError with a hook that throws, so the
// message and the point of failure can be observed in-process. The hook
// runs after the box was shown; if it returns, the program still exits.
using ThrowErrorHook = void (*)(const char* message);
void SetThrowErrorHook(ThrowErrorHook hook);
