// The layer's table of bitmaps, palettes, regions and memory device
// contexts. Each object lives under an opaque handle until it is deleted;
// stock objects (the default 1x1 bitmap of a new memory DC and the default
// palette) are never deleted. A bitmap is selected into at most one device
// context and cannot be deleted while it is; a region handed to a window
// leaves the table (the window owns it). The drawing calls themselves are
// the Win32 ones in winapi.h; this header is for the layer and its tests.
#pragma once

#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "platform/bmp_decode.h"
#include "platform/region.h"
#include "platform/winapi.h"

struct GdiBitmap {
  DecodedDib dib;
  bool dibSection = false;  // created as a DIB section (GetObjectA can describe it as one)
  HDC selectedInto = nullptr;
};

struct GdiPalette {
  std::vector<PALETTEENTRY> entries;
  int selections = 0;  // device contexts holding it
};

struct GdiRegion {
  Region region;
};

// A device context drawing into a bitmap (memory DC) or into a window's
// pixels (paint DC of a child window).
struct GdiDC {
  HBITMAP bitmap = nullptr;     // memory DC: the selected bitmap
  DecodedDib* surface = nullptr;  // window DC: the window's pixels
  HWND window = nullptr;
  HPALETTE palette = nullptr;
};

using GdiObject = std::variant<GdiBitmap, GdiPalette, GdiRegion, GdiDC>;

GdiBitmap* GdiFindBitmap(HGDIOBJ handle);
GdiPalette* GdiFindPalette(HGDIOBJ handle);
GdiRegion* GdiFindRegion(HGDIOBJ handle);
GdiDC* GdiFindDC(HDC handle);

HBITMAP GdiAddBitmap(GdiBitmap bitmap);
HPALETTE GdiAddPalette(GdiPalette palette);
HRGN GdiAddRegion(Region region);

// A device context drawing into `surface`, which the caller keeps alive
// until GdiRemoveSurfaceDC.
HDC GdiAddSurfaceDC(HWND window, DecodedDib* surface);
void GdiRemoveSurfaceDC(HDC dc);

// Removes a region from the table and hands its contents over.
std::optional<Region> GdiTakeRegion(HRGN handle);

// The pixels a device context draws into: the selected bitmap of a memory
// DC or a window's surface; null for anything else.
DecodedDib* GdiTarget(HDC dc);

// The stock objects.
HBITMAP GdiStockBitmap();
HPALETTE GdiDefaultPalette();

// The generic object calls for the kinds above; nullopt when the handle
// is not one of this table's objects.
std::optional<BOOL> GdiTableDeleteObject(HGDIOBJ object);
std::optional<HGDIOBJ> GdiTableSelectObject(HDC dc, HGDIOBJ object);
std::optional<int> GdiTableGetObject(HGDIOBJ object, int size, LPVOID out);
DWORD GdiTableObjectType(HGDIOBJ object);  // 0 when unknown

// Objects alive besides the stock ones.
std::size_t GdiLiveObjects();

// Rectangle counts of the region-data blocks ExtCreateRegion accepted since
// the last reset, in call order.
const std::vector<DWORD>& RegionDataLog();
void GdiNoteRegionData(DWORD count);

// Deletes every object and clears the log (test isolation).
void ResetGdiObjects();
