// Region logic on its own: banded representation, union, point test,
// bounds and the region-data block parser.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "platform/region.h"

namespace {

// A brute-force pixel model over a small grid, to check regions against.
constexpr int kGrid = 24;
using PixelSet = std::vector<bool>;

PixelSet Paint(const std::vector<RegionRect>& rects) {
  PixelSet px(kGrid * kGrid, false);
  for (const RegionRect& r : rects) {
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, kGrid); ++y)
      for (int x = std::max(r.left, 0); x < std::min(r.right, kGrid); ++x) px[y * kGrid + x] = true;
  }
  return px;
}

void ExpectWellFormed(const Region& region) {
  for (std::size_t i = 0; i < region.bands.size(); ++i) {
    const RegionBand& b = region.bands[i];
    ASSERT_LT(b.top, b.bottom);
    ASSERT_FALSE(b.spans.empty());
    for (std::size_t k = 0; k < b.spans.size(); ++k) {
      ASSERT_LT(b.spans[k].left, b.spans[k].right);
      if (k > 0) {
        ASSERT_LT(b.spans[k - 1].right, b.spans[k].left) << "spans must be disjoint and not touching";
      }
    }
    if (i > 0) {
      const RegionBand& prev = region.bands[i - 1];
      ASSERT_LE(prev.bottom, b.top);
      ASSERT_FALSE(prev.bottom == b.top && prev.spans == b.spans) << "equal touching bands must be merged";
    }
  }
}

std::vector<std::uint8_t> RegionData(std::uint32_t headerSize, std::uint32_t type, std::uint32_t count,
                                     const std::vector<RegionRect>& rects) {
  std::vector<std::uint8_t> block(32 + 16 * rects.size(), 0);
  const std::uint32_t header[4] = {headerSize, type, count, 0};
  std::memcpy(block.data(), header, sizeof header);
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const std::int32_t v[4] = {rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    std::memcpy(block.data() + 32 + 16 * i, v, sizeof v);
  }
  return block;
}

}  // namespace

TEST(Region, RandomUnionsMatchAPixelModelAndAreCanonical) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-3, kGrid + 2);
  for (int round = 0; round < 200; ++round) {
    std::vector<RegionRect> rects(1 + rng() % 12);
    for (RegionRect& r : rects) r = {coord(rng), coord(rng), coord(rng), coord(rng)};  // some are inverted
    const Region region = RegionFromRects(rects);
    ASSERT_NO_FATAL_FAILURE(ExpectWellFormed(region));

    const PixelSet want = Paint(rects);
    for (int y = 0; y < kGrid; ++y)
      for (int x = 0; x < kGrid; ++x) ASSERT_EQ(RegionContains(region, x, y), want[y * kGrid + x]) << x << "," << y;
    ASSERT_EQ(Paint(RegionRects(region)), want);

    // The same pixels give the same bands whatever the order or grouping.
    std::vector<RegionRect> shuffled = rects;
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    ASSERT_EQ(RegionFromRects(shuffled), region);
    Region folded;
    for (const RegionRect& r : shuffled) folded = RegionUnion(folded, RegionFromRect(r));
    ASSERT_EQ(folded, region);
  }
}

TEST(Region, CombinationsMatchAPixelModel) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coord(-2, kGrid + 1);
  struct Op { RegionOp op; bool (*keep)(bool, bool); };
  const Op ops[] = {
      {RegionOp::Union, [](bool a, bool b) { return a || b; }},
      {RegionOp::Intersect, [](bool a, bool b) { return a && b; }},
      {RegionOp::Difference, [](bool a, bool b) { return a && !b; }},
      {RegionOp::Xor, [](bool a, bool b) { return a != b; }},
  };
  for (int round = 0; round < 100; ++round) {
    std::vector<RegionRect> ra(1 + rng() % 6), rb(1 + rng() % 6);
    for (RegionRect& r : ra) r = {coord(rng), coord(rng), coord(rng), coord(rng)};
    for (RegionRect& r : rb) r = {coord(rng), coord(rng), coord(rng), coord(rng)};
    const PixelSet pa = Paint(ra), pb = Paint(rb);
    const Region a = RegionFromRects(ra), b = RegionFromRects(rb);
    for (const Op& o : ops) {
      const Region c = RegionCombine(a, b, o.op);
      ASSERT_NO_FATAL_FAILURE(ExpectWellFormed(c));
      PixelSet want(kGrid * kGrid);
      for (int i = 0; i < kGrid * kGrid; ++i) want[i] = o.keep(pa[i], pb[i]);
      ASSERT_EQ(Paint(RegionRects(c)), want) << "op " << static_cast<int>(o.op) << " round " << round;
    }
  }
}

TEST(Region, RowsOfOneRectangleCollapseToThatRectangle) {
  std::vector<RegionRect> rows;
  for (int y = 2; y < 9; ++y) rows.push_back({3, y, 11, y + 1});
  const Region region = RegionFromRects(rows);
  EXPECT_EQ(region, RegionFromRect({3, 2, 11, 9}));
  EXPECT_EQ(RegionRects(region), (std::vector<RegionRect>{{3, 2, 11, 9}}));
  EXPECT_EQ(RegionBounds(region), (RegionRect{3, 2, 11, 9}));
}

TEST(Region, PointTestUsesExclusiveRightAndBottomEdges) {
  const Region region = RegionFromRects(std::vector<RegionRect>{{0, 0, 4, 2}, {6, 0, 8, 2}, {2, 5, 3, 6}});
  struct Case { int x, y; bool inside; };
  const Case cases[] = {
      {0, 0, true},  {3, 1, true},  {4, 0, false}, {5, 1, false}, {6, 1, true}, {8, 1, false},
      {0, 2, false}, {2, 5, true},  {3, 5, false}, {2, 6, false}, {-1, 0, false}, {2, 4, false},
  };
  for (const Case& c : cases) EXPECT_EQ(RegionContains(region, c.x, c.y), c.inside) << c.x << "," << c.y;
  EXPECT_EQ(RegionBounds(region), (RegionRect{0, 0, 8, 6}));
}

TEST(Region, EmptyRegionHasNoPointsAndZeroBounds) {
  const Region empty = RegionFromRects({});
  EXPECT_TRUE(RegionIsEmpty(empty));
  EXPECT_TRUE(RegionIsEmpty(RegionFromRect({5, 5, 5, 9})));
  EXPECT_FALSE(RegionContains(empty, 0, 0));
  EXPECT_EQ(RegionBounds(empty), RegionRect{});
  EXPECT_EQ(RegionUnion(empty, RegionFromRect({1, 1, 2, 2})), RegionFromRect({1, 1, 2, 2}));
}

TEST(Region, ThousandsOfRowRunsBuildAndAnswerPointTests) {
  // A checkerboard of 2-pixel runs: 200 rows × 50 runs = 10,000 rectangles.
  std::vector<RegionRect> rects;
  for (int y = 0; y < 200; ++y)
    for (int k = 0; k < 50; ++k) {
      const int x = 4 * k + 2 * (y % 2);
      rects.push_back({x, y, x + 2, y + 1});
    }
  const Region region = RegionFromRects(rects);
  EXPECT_EQ(region.bands.size(), 200u);
  EXPECT_EQ(RegionRects(region).size(), rects.size());
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(RegionContains(region, x, y), ((x / 2) % 2) == (y % 2)) << x << "," << y;
}

TEST(Region, RegionDataBlocksAreParsedOrRefused) {
  const std::vector<RegionRect> rects = {{0, 0, 2, 1}, {5, 0, 7, 1}, {0, 1, 2, 2}};
  Region parsed;
  ASSERT_TRUE(RegionFromData(RegionData(32, 1, 3, rects), parsed));
  EXPECT_EQ(parsed, RegionFromRects(rects));

  // A count of zero is a valid empty region; the block may be larger than needed.
  ASSERT_TRUE(RegionFromData(RegionData(32, 1, 0, rects), parsed));
  EXPECT_TRUE(RegionIsEmpty(parsed));

  struct Bad { const char* why; std::vector<std::uint8_t> block; };
  std::vector<Bad> bad = {
      {"header size", RegionData(40, 1, 3, rects)},
      {"type", RegionData(32, 2, 3, rects)},
      {"count beyond the block", RegionData(32, 1, 4, rects)},
      {"huge count", RegionData(32, 1, 0xFFFFFFFFu, rects)},
      {"short header", std::vector<std::uint8_t>(31, 0)},
  };
  const Region before = RegionFromRect({1, 1, 3, 3});
  for (const Bad& b : bad) {
    Region out = before;
    EXPECT_FALSE(RegionFromData(b.block, out)) << b.why;
    EXPECT_EQ(out, before) << b.why;
  }
}
