// Internal: the one table of GDI objects (device contexts, brushes, pens,
// fonts, palettes, bitmaps, regions) behind the layer's handles, so that
// DeleteObject and GetObjectA work for every kind. Not for use outside
// platform/.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/region.h"
#include "platform/winapi.h"

namespace layer {

enum class GdiKind { Dc, Brush, Pen, Font, Palette, Bitmap, Region };

struct GdiObject {
  GdiKind kind = GdiKind::Brush;
  bool stock = false;  // stock and system-colour objects are never deleted
  // Brush, pen
  COLORREF color = 0;
  bool hollow = false;
  // Bitmap: rows bottom-up unless topDown, each `stride` bytes (a multiple of 4)
  LONG width = 0;
  LONG height = 0;
  bool topDown = false;
  WORD bitCount = 0;
  LONG stride = 0;
  std::vector<std::uint8_t> bits;
  std::vector<RGBQUAD> colors;  // colour table of palette bitmaps
  DWORD redMask = 0, greenMask = 0, blueMask = 0;
  bool dibSection = false;
  // Palette
  std::vector<PALETTEENTRY> entries;
  // Region: sorted bands of spans (region.h)
  Region region;
  // Device context
  HWND window = nullptr;  // window DC (null: screen or memory DC)
  bool memory = false;
  bool paint = false;  // from BeginPaint
  HGDIOBJ bitmap = nullptr;   // selected bitmap (memory DC)
  HGDIOBJ brush = nullptr;
  HGDIOBJ pen = nullptr;
  HGDIOBJ font = nullptr;
  HPALETTE palette = nullptr;
};

// Adds an object and returns its handle value.
std::uintptr_t AddGdiObject(GdiObject object);
GdiObject* LookupGdi(const void* handle);
GdiObject* LookupGdi(const void* handle, GdiKind kind);
void RemoveGdi(const void* handle);
HGDIOBJ DefaultBitmap();
// Fills `o` as a zeroed bitmap; false for an unusable size or depth.
bool MakeBitmap(GdiObject& o, LONG width, LONG height, bool topDown, WORD bitCount);

}  // namespace layer
