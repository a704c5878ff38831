// Region calls over the object table: creation from a rectangle or a
// region-data block, union, point test and bounding box.
#include <algorithm>
#include <cstdint>
#include <span>

#include "platform/gdi_objects.h"
#include "platform/region.h"

namespace {

int Complexity(const Region& r) {
  if (RegionIsEmpty(r)) return NULLREGION;
  return r.bands.size() == 1 && r.bands[0].spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  // Inverted corners are put in order, as the desktop API does.
  RegionRect r{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
  return GdiAddRegion(RegionFromRect(r));
}

HRGN ExtCreateRegion(const XFORM* transform, DWORD size, const RGNDATA* data) {
  if (transform != nullptr || data == nullptr) return nullptr;  // transforms are not supported
  Region region;
  if (!RegionFromData(std::span(reinterpret_cast<const std::uint8_t*>(data), size), region)) return nullptr;
  GdiNoteRegionData(data->rdh.nCount);
  return GdiAddRegion(std::move(region));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  GdiRegion* d = GdiFindRegion(dest);
  GdiRegion* a = GdiFindRegion(src1);
  if (!d || !a) return ERROR;
  if (mode == RGN_COPY) {
    d->region = a->region;
    return Complexity(d->region);
  }
  GdiRegion* b = GdiFindRegion(src2);
  if (!b || mode != RGN_OR) return ERROR;  // only union is offered
  d->region = RegionUnion(a->region, b->region);  // dest may be one of the sources
  return Complexity(d->region);
}

BOOL PtInRegion(HRGN region, int x, int y) {
  GdiRegion* r = GdiFindRegion(region);
  return r && RegionContains(r->region, x, y) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* box) {
  GdiRegion* r = GdiFindRegion(region);
  if (!r || !box) return ERROR;
  const RegionRect b = RegionBounds(r->region);
  *box = RECT{b.left, b.top, b.right, b.bottom};
  return Complexity(r->region);
}
