// Logical palettes: created from a palette record or as the halftone
// palette, selected into device contexts and realized. Every device here is
// true-colour, so a palette never changes how pixels are stored; it is kept
// so that the calls report what a palette device would.
#include <algorithm>

#include "platform/gdi_objects.h"
#include "platform/layer.h"

using namespace layer;

namespace {

HPALETTE AddPalette(std::vector<PALETTEENTRY> entries) {
  GdiObject o;
  o.kind = GdiKind::Palette;
  o.entries = std::move(entries);
  return reinterpret_cast<HPALETTE>(AddGdiObject(std::move(o)));
}

}  // namespace

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != PALETTE_VERSION || palette->palNumEntries == 0) return nullptr;
  // palPalEntry is declared with one element; the record carries palNumEntries.
  const PALETTEENTRY* first = palette->palPalEntry;
  return AddPalette(std::vector<PALETTEENTRY>(first, first + palette->palNumEntries));
}

HPALETTE CreateHalftonePalette(HDC) {
  // 256 entries: the 6 x 6 x 6 colour cube, then a ramp of 40 greys.
  std::vector<PALETTEENTRY> entries;
  entries.reserve(256);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) entries.push_back(PALETTEENTRY{BYTE(r * 51), BYTE(g * 51), BYTE(b * 51), 0});
  for (int i = 0; i < 40; ++i) {
    const BYTE v = static_cast<BYTE>((i * 255 + 19) / 39);
    entries.push_back(PALETTEENTRY{v, v, v, 0});
  }
  return AddPalette(std::move(entries));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  if (!dc || !LookupGdi(palette, GdiKind::Palette)) return nullptr;
  HPALETTE previous = dc->palette ? dc->palette : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  // The default palette is what a DC holds when it holds none of its own.
  dc->palette = palette == GetStockObject(DEFAULT_PALETTE) ? nullptr : palette;
  return previous;
}

UINT RealizePalette(HDC hdc) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  if (!dc) return 0xFFFFFFFFu;  // GDI_ERROR
  const GdiObject* p = LookupGdi(dc->palette ? dc->palette : GetStockObject(DEFAULT_PALETTE), GdiKind::Palette);
  return p ? static_cast<UINT>(p->entries.size()) : 0;
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
  const GdiObject* p = LookupGdi(palette, GdiKind::Palette);
  if (!p) return 0;
  const UINT size = static_cast<UINT>(p->entries.size());
  if (!entries) return size;
  if (start >= size) return 0;
  const UINT n = std::min(count, size - start);
  std::copy_n(p->entries.begin() + start, n, entries);
  return n;
}
