// Regions as the layer keeps them: sorted horizontal bands, each holding
// sorted, disjoint x-spans. Bands never overlap and touching bands with the
// same spans are merged, so two regions covering the same pixels have the
// same representation. Union and point test stay fast for thousands of
// rectangles; the region-data block parser backs ExtCreateRegion.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// A rectangle with exclusive right and bottom edges (left <= x < right).
struct RegionRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const RegionRect&, const RegionRect&) = default;
};

struct RegionSpan {
  std::int32_t left = 0, right = 0;
  friend bool operator==(const RegionSpan&, const RegionSpan&) = default;
};

struct RegionBand {
  std::int32_t top = 0, bottom = 0;
  std::vector<RegionSpan> spans;
  friend bool operator==(const RegionBand&, const RegionBand&) = default;
};

struct Region {
  std::vector<RegionBand> bands;
  friend bool operator==(const Region&, const Region&) = default;
};

// The region of one rectangle; an empty or inverted rectangle gives the
// empty region.
Region RegionFromRect(const RegionRect& rect);

// The union of any number of rectangles, overlapping or not, in any order.
Region RegionFromRects(std::span<const RegionRect> rects);

Region RegionUnion(const Region& a, const Region& b);

// The other combinations: pixels in both, in the first only, in exactly one.
enum class RegionOp { Union, Intersect, Difference, Xor };
Region RegionCombine(const Region& a, const Region& b, RegionOp op);

bool RegionIsEmpty(const Region& region);
bool RegionContains(const Region& region, std::int32_t x, std::int32_t y);

// Smallest rectangle holding the region; all zero for the empty region.
RegionRect RegionBounds(const Region& region);

// The region's rectangles, one per span, bands from top to bottom.
std::vector<RegionRect> RegionRects(const Region& region);

// Size of the region-data header and of one rectangle in such a block.
inline constexpr std::size_t kRegionHeaderSize = 32;
inline constexpr std::size_t kRegionRectSize = 16;
inline constexpr std::uint32_t kRegionTypeRectangles = 1;

// Reads a region-data block: a 32-byte header (size 32, type 1, rectangle
// count, size hint, bounds) and the count's 16-byte rectangles (left, top,
// right, bottom, signed 32-bit, little-endian). Returns false, leaving `out`
// untouched, when the header is wrong or the block is shorter than the
// rectangles it announces.
bool RegionFromData(std::span<const std::uint8_t> data, Region& out);
