// Regions as unions of rectangles: creation from a rectangle or from
// region data, combination, hit-testing, bounding boxes, window regions.
#include <algorithm>
#include <cstring>
#include <set>

#include "platform/gdi_objects.h"
#include "platform/layer.h"

namespace layer {
namespace {

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Contains(const std::vector<RECT>& rects, int x, int y) {
  for (const RECT& r : rects)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

// Combines two rectangle sets cell by cell on the grid of their edges and
// merges each row's cells into runs.
std::vector<RECT> Combine(const std::vector<RECT>& a, const std::vector<RECT>& b, int mode) {
  std::set<LONG> xs, ys;
  for (const auto* set : {&a, &b})
    for (const RECT& r : *set) {
      xs.insert(r.left);
      xs.insert(r.right);
      ys.insert(r.top);
      ys.insert(r.bottom);
    }
  const std::vector<LONG> X(xs.begin(), xs.end()), Y(ys.begin(), ys.end());
  std::vector<RECT> out;
  for (std::size_t j = 0; j + 1 < Y.size(); ++j) {
    LONG runStart = 0;
    bool inRun = false;
    for (std::size_t i = 0; i + 1 < X.size(); ++i) {
      const bool ina = Contains(a, X[i], Y[j]);
      const bool inb = Contains(b, X[i], Y[j]);
      bool in = false;
      switch (mode) {
        case RGN_AND: in = ina && inb; break;
        case RGN_OR: in = ina || inb; break;
        case RGN_XOR: in = ina != inb; break;
        case RGN_DIFF: in = ina && !inb; break;
        default: in = ina; break;
      }
      if (in && !inRun) runStart = X[i], inRun = true;
      if (!in && inRun) out.push_back(RECT{runStart, Y[j], X[i], Y[j + 1]}), inRun = false;
    }
    if (inRun) out.push_back(RECT{runStart, Y[j], X.back(), Y[j + 1]});
  }
  return out;
}

int Complexity(const std::vector<RECT>& rects) {
  if (rects.empty()) return NULLREGION;
  return rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HRGN NewRegion(std::vector<RECT> rects) {
  GdiObject o;
  o.kind = GdiKind::Region;
  o.rects = std::move(rects);
  return reinterpret_cast<HRGN>(AddGdiObject(std::move(o)));
}

}  // namespace
}  // namespace layer

using namespace layer;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
  std::vector<RECT> rects;
  if (!Empty(r)) rects.push_back(r);
  return NewRegion(std::move(rects));
}

HRGN ExtCreateRegion(const XFORM* transform, DWORD size, const RGNDATA* data) {
  // Only untransformed rectangle lists; the rectangles must fit in `size`.
  if (transform || !data || size < sizeof(RGNDATAHEADER)) return nullptr;
  const RGNDATAHEADER& h = data->rdh;
  if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) return nullptr;
  if (static_cast<std::uint64_t>(h.nCount) * sizeof(RECT) > size - sizeof(RGNDATAHEADER)) return nullptr;
  std::vector<RECT> rects(h.nCount);
  if (h.nCount) std::memcpy(rects.data(), data->Buffer, h.nCount * sizeof(RECT));
  std::erase_if(rects, Empty);
  return NewRegion(std::move(rects));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  GdiObject* d = LookupGdi(dest, GdiKind::Region);
  GdiObject* a = LookupGdi(src1, GdiKind::Region);
  if (!d || !a || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    d->rects = a->rects;
    return Complexity(d->rects);
  }
  GdiObject* b = LookupGdi(src2, GdiKind::Region);
  if (!b) return ERROR;
  if (mode == RGN_OR) {
    // A union keeps both lists; no need for the grid.
    std::vector<RECT> rects = a->rects;
    rects.insert(rects.end(), b->rects.begin(), b->rects.end());
    d->rects = std::move(rects);
  } else {
    d->rects = Combine(a->rects, b->rects, mode);
  }
  return Complexity(d->rects);
}

BOOL PtInRegion(HRGN region, int x, int y) {
  GdiObject* r = LookupGdi(region, GdiKind::Region);
  return (r && Contains(r->rects, x, y)) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* box) {
  GdiObject* r = LookupGdi(region, GdiKind::Region);
  if (!r || !box) return ERROR;
  *box = RECT{0, 0, 0, 0};
  if (r->rects.empty()) return NULLREGION;
  *box = r->rects.front();
  for (const RECT& q : r->rects) {
    box->left = std::min(box->left, q.left);
    box->top = std::min(box->top, q.top);
    box->right = std::max(box->right, q.right);
    box->bottom = std::max(box->bottom, q.bottom);
  }
  return Complexity(r->rects);
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w) return 0;
  if (region && !LookupGdi(region, GdiKind::Region)) return 0;
  if (w->region && w->region != region) RemoveGdi(w->region);
  w->region = region;
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN dest) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !w->region) return ERROR;
  return CombineRgn(dest, w->region, nullptr, RGN_COPY);
}
