// Logical palettes: created from a palette record or as the halftone
// palette, selected into device contexts and realized. Every device here is
// true-colour, so a palette never changes how pixels are stored; it is kept
// so that the calls report what a palette device would.
#include <algorithm>

#include "platform/gdi_objects.h"

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != PALETTE_VERSION || palette->palNumEntries == 0) return nullptr;
  GdiPalette p;
  // palPalEntry is declared with one element; the record carries palNumEntries.
  const PALETTEENTRY* first = palette->palPalEntry;
  p.entries.assign(first, first + palette->palNumEntries);
  return GdiAddPalette(std::move(p));
}

HPALETTE CreateHalftonePalette(HDC) {
  // 256 entries: the 6 x 6 x 6 colour cube, then a ramp of 40 greys.
  GdiPalette p;
  p.entries.reserve(256);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        p.entries.push_back(PALETTEENTRY{BYTE(r * 51), BYTE(g * 51), BYTE(b * 51), 0});
  for (int i = 0; i < 40; ++i) {
    const BYTE v = static_cast<BYTE>((i * 255 + 19) / 39);
    p.entries.push_back(PALETTEENTRY{v, v, v, 0});
  }
  return GdiAddPalette(std::move(p));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
  GdiDC* d = GdiFindDC(hdc);
  GdiPalette* p = GdiFindPalette(palette);
  if (!d || !p) return nullptr;
  HPALETTE previous = d->palette;
  if (GdiPalette* old = GdiFindPalette(previous)) --old->selections;
  ++p->selections;
  d->palette = palette;
  return previous;
}

UINT RealizePalette(HDC hdc) {
  // Every device here is true-colour: realizing maps nothing, but the
  // palette's size is what a palette device would have mapped.
  GdiDC* d = GdiFindDC(hdc);
  if (!d) return 0xFFFFFFFFu;  // GDI_ERROR
  GdiPalette* p = GdiFindPalette(d->palette);
  return p ? static_cast<UINT>(p->entries.size()) : 0;
}

