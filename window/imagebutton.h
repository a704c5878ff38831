// Image buttons: child windows of the class "IMAGEBUTTON" drawn from three
// bitmap files (normal, hover, pressed) and shaped like the normal image,
// with every magenta pixel cut out. HoverButtonHandler is the class's window
// procedure; it keeps the button's state and images in window properties,
// tracks hovering with mouse capture and posts WM_COMMAND with the control
// id to the parent on a click. BitmapToRegion and LoadBMPFromFile serve it
// and are usable on their own.
#pragma once

#include <cstdint>
#include <string>

#include "platform/winapi.h"

inline constexpr const char* szHoverClass = "IMAGEBUTTON";
// Window properties of a button.
inline constexpr const char* NormalBmp = "NORMALBITMAP";     // memory DC holding the normal image
inline constexpr const char* HoverBmp = "HOVERBITMAP";       // memory DC holding the hover image
inline constexpr const char* PressBmp = "PRESSBITMAP";       // memory DC holding the pressed image
inline constexpr const char* HoverMode = "HOVERMODEBYTE";    // the button state
inline constexpr const char* ButtonRgn = "HOVERBUTTONREGION";  // region for hit-testing the cursor
// Growth step, in rectangles, of BitmapToRegion's rectangle buffer.
inline constexpr std::int32_t ALLOC_UNIT = 100;

// Button states (the HoverMode property); 0 means no property.
inline constexpr std::intptr_t kButtonNormal = 1;
inline constexpr std::intptr_t kButtonHover = 2;
inline constexpr std::intptr_t kButtonPressed = 3;

// Prefix of a button's bitmap files: BMPType + "N.BMP", "H.BMP", "P.BMP".
extern std::string BMPType;

// Loads a BMP file as a DIB section and makes a palette for it: from its
// colour table for images of 8 bits or fewer, the halftone palette
// otherwise. Returns 0, leaving Pal unchanged, when the file cannot be
// loaded. The caller owns both handles.
HBITMAP LoadBMPFromFile(const char* FileName, HPALETTE& Pal);

// The region of the pixels of a bitmap file that are not of the transparent
// colour (0x00BBGGRR; each channel matches from its value up to value +
// Tolerance), in image pixels from the top-left corner. Returns 0 when the
// file cannot be loaded or the work bitmaps cannot be made; a bitmap with no
// opaque pixel gives an empty region. The caller owns the region.
HRGN BitmapToRegion(const char* BmpName, COLORREF TransColor, std::uint8_t Tolerance);

// Window procedure of the image-button class.
LRESULT HoverButtonHandler(HWND Wnd, UINT iMsg, WPARAM wParam, LPARAM lParam);
