// Region calls over the layer's object table: creation from a rectangle or
// a region-data block, union, point test, bounding box, and window regions.
#include <algorithm>
#include <cstdint>
#include <span>

#include "platform/gdi_log.h"
#include "platform/gdi_objects.h"
#include "platform/layer.h"
#include "platform/region.h"

using namespace layer;

namespace {

std::vector<DWORD> g_regionLog;

int Complexity(const Region& r) {
  if (RegionIsEmpty(r)) return NULLREGION;
  return r.bands.size() == 1 && r.bands[0].spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HRGN AddRegion(Region region) {
  GdiObject o;
  o.kind = GdiKind::Region;
  o.region = std::move(region);
  return reinterpret_cast<HRGN>(AddGdiObject(std::move(o)));
}

Region* Find(HRGN h) {
  GdiObject* o = LookupGdi(h, GdiKind::Region);
  return o ? &o->region : nullptr;
}

}  // namespace

const std::vector<DWORD>& RegionDataLog() { return g_regionLog; }
void ResetRegionDataLog() { g_regionLog.clear(); }

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  // Corners given in either order make the same rectangle.
  return AddRegion(RegionFromRect(
      RegionRect{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)}));
}

HRGN ExtCreateRegion(const XFORM* transform, DWORD size, const RGNDATA* data) {
  if (transform != nullptr || data == nullptr) return nullptr;  // transforms are not offered
  Region region;
  if (!RegionFromData(std::span(reinterpret_cast<const std::uint8_t*>(data), size), region)) return nullptr;
  g_regionLog.push_back(data->rdh.nCount);
  return AddRegion(std::move(region));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  Region* d = Find(dest);
  Region* a = Find(src1);
  if (!d || !a) return ERROR;
  if (mode == RGN_COPY) {
    *d = *a;
    return Complexity(*d);
  }
  Region* b = Find(src2);
  if (!b) return ERROR;
  RegionOp op;
  switch (mode) {
    case RGN_OR: op = RegionOp::Union; break;
    case RGN_AND: op = RegionOp::Intersect; break;
    case RGN_DIFF: op = RegionOp::Difference; break;
    case RGN_XOR: op = RegionOp::Xor; break;
    default: return ERROR;
  }
  *d = RegionCombine(*a, *b, op);  // dest may be one of the sources
  return Complexity(*d);
}

BOOL PtInRegion(HRGN region, int x, int y) {
  Region* r = Find(region);
  return r && RegionContains(*r, x, y) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* box) {
  Region* r = Find(region);
  if (!r || !box) return ERROR;
  const RegionRect b = RegionBounds(*r);
  *box = RECT{b.left, b.top, b.right, b.bottom};
  return Complexity(*r);
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || (region && !Find(region))) return 0;
  if (w->region == region) return 1;
  // The window owns its region: the one it had goes.
  HRGN old = w->region;
  w->region = region;
  if (old) DeleteRegionObject(old);
  if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN dest) {
  WindowRecord* w = LookupWindow(hwnd);
  Region* d = Find(dest);
  if (!w || !d || !w->region) return ERROR;
  Region* own = Find(w->region);
  if (!own) return ERROR;
  *d = *own;
  return Complexity(*d);
}
