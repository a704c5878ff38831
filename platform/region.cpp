#include "platform/region.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Merges two sorted span lists into one, joining spans that overlap or touch.
std::vector<RegionSpan> UnionSpans(const std::vector<RegionSpan>& a, const std::vector<RegionSpan>& b) {
  std::vector<RegionSpan> out;
  out.reserve(a.size() + b.size());
  std::size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    const RegionSpan& next = (j >= b.size() || (i < a.size() && a[i].left <= b[j].left)) ? a[i++] : b[j++];
    if (!out.empty() && next.left <= out.back().right) {
      out.back().right = std::max(out.back().right, next.right);
    } else {
      out.push_back(next);
    }
  }
  return out;
}

bool Keep(RegionOp op, bool inA, bool inB) {
  switch (op) {
    case RegionOp::Union: return inA || inB;
    case RegionOp::Intersect: return inA && inB;
    case RegionOp::Difference: return inA && !inB;
    case RegionOp::Xor: return inA != inB;
  }
  return false;
}

// Combines two sorted span lists by walking their edges in order.
std::vector<RegionSpan> CombineSpans(const std::vector<RegionSpan>& a, const std::vector<RegionSpan>& b, RegionOp op) {
  if (op == RegionOp::Union) return UnionSpans(a, b);
  std::vector<RegionSpan> out;
  std::size_t i = 0, j = 0;
  bool inA = false, inB = false;
  std::int64_t start = 0;
  bool open = false;
  while (i < 2 * a.size() || j < 2 * b.size()) {
    // The next edge: even indexes are left edges, odd ones right edges.
    const std::int64_t ea = i < 2 * a.size() ? (i % 2 ? a[i / 2].right : a[i / 2].left) : INT64_MAX;
    const std::int64_t eb = j < 2 * b.size() ? (j % 2 ? b[j / 2].right : b[j / 2].left) : INT64_MAX;
    const std::int64_t x = std::min(ea, eb);
    if (ea == x) inA = !inA, ++i;
    if (eb == x) inB = !inB, ++j;
    const bool keep = Keep(op, inA, inB);
    if (keep && !open) {
      start = x;
      open = true;
    } else if (!keep && open) {
      if (!out.empty() && out.back().right == start) out.back().right = std::int32_t(x);
      else out.push_back(RegionSpan{std::int32_t(start), std::int32_t(x)});
      open = false;
    }
  }
  return out;
}

// Appends the band [top, bottom) with the given spans, extending the last
// band instead when it ends at `top` with the same spans.
void AppendBand(std::vector<RegionBand>& bands, std::int32_t top, std::int32_t bottom, std::vector<RegionSpan> spans) {
  if (top >= bottom || spans.empty()) return;
  if (!bands.empty() && bands.back().bottom == top && bands.back().spans == spans) {
    bands.back().bottom = bottom;
    return;
  }
  bands.push_back(RegionBand{top, bottom, std::move(spans)});
}

Region UnionRange(std::span<const RegionRect> rects) {
  if (rects.empty()) return {};
  if (rects.size() == 1) return RegionFromRect(rects[0]);
  const std::size_t half = rects.size() / 2;
  return RegionUnion(UnionRange(rects.first(half)), UnionRange(rects.subspan(half)));
}

std::int32_t ReadInt32(const std::uint8_t* p) {
  std::uint32_t v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
  std::int32_t r;
  std::memcpy(&r, &v, sizeof r);
  return r;
}

}  // namespace

Region RegionFromRect(const RegionRect& rect) {
  Region r;
  if (rect.left < rect.right && rect.top < rect.bottom) {
    r.bands.push_back(RegionBand{rect.top, rect.bottom, {RegionSpan{rect.left, rect.right}}});
  }
  return r;
}

Region RegionFromRects(std::span<const RegionRect> rects) { return UnionRange(rects); }

Region RegionUnion(const Region& a, const Region& b) { return RegionCombine(a, b, RegionOp::Union); }

Region RegionCombine(const Region& a, const Region& b, RegionOp op) {
  // Sweep down both band lists at once. `y` is where the part still to be
  // produced starts; each step emits the slice from the next band start to
  // the nearest band edge, with the spans of whichever bands cover it.
  constexpr std::int64_t kEnd = std::numeric_limits<std::int64_t>::max();
  Region out;
  out.bands.reserve(a.bands.size() + b.bands.size());
  std::size_t i = 0, j = 0;
  std::int64_t y = std::numeric_limits<std::int64_t>::min();
  while (i < a.bands.size() || j < b.bands.size()) {
    const RegionBand* ba = i < a.bands.size() ? &a.bands[i] : nullptr;
    const RegionBand* bb = j < b.bands.size() ? &b.bands[j] : nullptr;
    const std::int64_t aTop = ba ? std::max<std::int64_t>(ba->top, y) : kEnd;
    const std::int64_t bTop = bb ? std::max<std::int64_t>(bb->top, y) : kEnd;
    const std::int64_t top = std::min(aTop, bTop);
    std::int64_t bottom;
    if (aTop == top && bTop == top) {
      bottom = std::min(ba->bottom, bb->bottom);
      AppendBand(out.bands, std::int32_t(top), std::int32_t(bottom), CombineSpans(ba->spans, bb->spans, op));
    } else if (aTop == top) {
      bottom = std::min<std::int64_t>(ba->bottom, bTop);
      if (Keep(op, true, false)) AppendBand(out.bands, std::int32_t(top), std::int32_t(bottom), ba->spans);
    } else {
      bottom = std::min<std::int64_t>(bb->bottom, aTop);
      if (Keep(op, false, true)) AppendBand(out.bands, std::int32_t(top), std::int32_t(bottom), bb->spans);
    }
    y = bottom;
    if (ba && ba->bottom <= y) ++i;
    if (bb && bb->bottom <= y) ++j;
  }
  return out;
}

bool RegionIsEmpty(const Region& region) { return region.bands.empty(); }

bool RegionContains(const Region& region, std::int32_t x, std::int32_t y) {
  // The first band ending below y is the only one that can hold it.
  auto band = std::upper_bound(region.bands.begin(), region.bands.end(), y,
                               [](std::int32_t v, const RegionBand& b) { return v < b.bottom; });
  if (band == region.bands.end() || y < band->top) return false;
  auto span = std::upper_bound(band->spans.begin(), band->spans.end(), x,
                               [](std::int32_t v, const RegionSpan& s) { return v < s.right; });
  return span != band->spans.end() && x >= span->left;
}

RegionRect RegionBounds(const Region& region) {
  if (region.bands.empty()) return {};
  RegionRect r{std::numeric_limits<std::int32_t>::max(), region.bands.front().top,
               std::numeric_limits<std::int32_t>::min(), region.bands.back().bottom};
  for (const RegionBand& band : region.bands) {
    r.left = std::min(r.left, band.spans.front().left);
    r.right = std::max(r.right, band.spans.back().right);
  }
  return r;
}

std::vector<RegionRect> RegionRects(const Region& region) {
  std::vector<RegionRect> rects;
  for (const RegionBand& band : region.bands) {
    for (const RegionSpan& s : band.spans) rects.push_back(RegionRect{s.left, band.top, s.right, band.bottom});
  }
  return rects;
}

bool RegionFromData(std::span<const std::uint8_t> data, Region& out) {
  if (data.size() < kRegionHeaderSize) return false;
  const auto size = static_cast<std::uint32_t>(ReadInt32(data.data()));
  const auto type = static_cast<std::uint32_t>(ReadInt32(data.data() + 4));
  const auto count = static_cast<std::uint32_t>(ReadInt32(data.data() + 8));
  if (size != kRegionHeaderSize || type != kRegionTypeRectangles) return false;
  if (count > (data.size() - kRegionHeaderSize) / kRegionRectSize) return false;
  std::vector<RegionRect> rects(count);
  const std::uint8_t* p = data.data() + kRegionHeaderSize;
  for (RegionRect& r : rects) {
    r = RegionRect{ReadInt32(p), ReadInt32(p + 4), ReadInt32(p + 8), ReadInt32(p + 12)};
    p += kRegionRectSize;
  }
  out = RegionFromRects(rects);
  return true;
}
