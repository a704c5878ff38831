// Reading back what a device context holds and what a palette contains.
#include <algorithm>

#include "platform/gdi_objects.h"
#include "platform/layer.h"

using namespace layer;

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_BITMAP: return dc->memory ? (dc->bitmap ? dc->bitmap : DefaultBitmap()) : nullptr;
    case OBJ_PAL: return dc->palette ? dc->palette : GetStockObject(DEFAULT_PALETTE);
    case OBJ_BRUSH: return dc->brush ? dc->brush : GetStockObject(WHITE_BRUSH);
    case OBJ_PEN: return dc->pen ? dc->pen : GetStockObject(BLACK_PEN);
    case OBJ_FONT: return dc->font ? dc->font : GetStockObject(SYSTEM_FONT);
    default: return nullptr;
  }
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
