// BMP decoding: every depth and compression the loader accepts, the layout
// of the decoded rows, and refusal of truncated, malformed and hostile files.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/bmp_decode.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Describes a BMP file; Build() lays it out as a writer would.
struct BmpSpec {
  std::uint32_t headerSize = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t sizeImage = 0;
  std::uint32_t clrUsed = 0;
  std::vector<std::uint32_t> masks;        // R, G, B (, A) for BI_BITFIELDS
  std::vector<std::array<std::uint8_t, 3>> palette;  // B, G, R
  Bytes pixels;
  std::optional<std::uint32_t> offBits;    // overrides the computed offset

  Bytes Build() const {
    Bytes f(14 + headerSize, 0);
    f[0] = 'B';
    f[1] = 'M';
    const std::size_t h = 14;
    Put32(f, h, headerSize);
    if (headerSize == 12) {
      Put16(f, h + 4, static_cast<std::uint32_t>(width));
      Put16(f, h + 6, static_cast<std::uint32_t>(height));
      Put16(f, h + 8, planes);
      Put16(f, h + 10, bitCount);
    } else {
      Put32(f, h + 4, static_cast<std::uint32_t>(width));
      Put32(f, h + 8, static_cast<std::uint32_t>(height));
      Put16(f, h + 12, planes);
      Put16(f, h + 14, bitCount);
      Put32(f, h + 16, compression);
      Put32(f, h + 20, sizeImage);
      Put32(f, h + 32, clrUsed);
      if (headerSize > 40) {
        for (std::size_t i = 0; i < masks.size() && 40 + 4 * i + 4 <= headerSize; ++i) Put32(f, h + 40 + 4 * i, masks[i]);
      }
    }
    if (headerSize == 40 && compression == 3) {
      for (std::size_t i = 0; i < 3; ++i) {
        f.resize(f.size() + 4);
        Put32(f, f.size() - 4, i < masks.size() ? masks[i] : 0);
      }
    }
    for (const auto& c : palette) {
      f.insert(f.end(), c.begin(), c.end());
      if (headerSize != 12) f.push_back(0);
    }
    Put32(f, 10, offBits.value_or(static_cast<std::uint32_t>(f.size())));
    f.insert(f.end(), pixels.begin(), pixels.end());
    Put32(f, 2, static_cast<std::uint32_t>(f.size()));
    return f;
  }
};

std::vector<std::array<std::uint8_t, 3>> Grey(int n) {
  std::vector<std::array<std::uint8_t, 3>> p;
  for (int i = 0; i < n; ++i) {
    const auto v = static_cast<std::uint8_t>(i * 16 + 1);
    p.push_back({v, static_cast<std::uint8_t>(v + 1), static_cast<std::uint8_t>(v + 2)});
  }
  return p;
}

struct LayoutCase {
  std::string name;
  BmpSpec spec;
  std::uint32_t stride;
  bool topDown;
  std::uint32_t red, green, blue, alpha;
};

class BmpLayout : public ::testing::TestWithParam<LayoutCase> {};

// Uncompressed files of every depth come back with the file's rows, in file
// order, at the stride of the padded row, with the channel layout named.
TEST_P(BmpLayout, RowsStayInFileOrderWithPaddedStride) {
  const LayoutCase& c = GetParam();
  const Bytes file = c.spec.Build();
  DecodedDib dib;
  ASSERT_TRUE(DecodeBMP(file, dib));
  EXPECT_EQ(dib.width, c.spec.width);
  EXPECT_EQ(dib.height, c.topDown ? -c.spec.height : c.spec.height);
  EXPECT_EQ(dib.topDown, c.topDown);
  EXPECT_EQ(dib.bitCount, c.spec.bitCount);
  EXPECT_EQ(dib.stride, c.stride);
  EXPECT_EQ(dib.bits, c.spec.pixels);
  EXPECT_EQ(dib.redMask, c.red);
  EXPECT_EQ(dib.greenMask, c.green);
  EXPECT_EQ(dib.blueMask, c.blue);
  EXPECT_EQ(dib.alphaMask, c.alpha);
  if (c.spec.bitCount <= 8) {
    ASSERT_EQ(dib.colors.size(), 1u << c.spec.bitCount);
    for (std::size_t i = 0; i < c.spec.palette.size(); ++i) {
      EXPECT_EQ(dib.colors[i].blue, c.spec.palette[i][0]);
      EXPECT_EQ(dib.colors[i].green, c.spec.palette[i][1]);
      EXPECT_EQ(dib.colors[i].red, c.spec.palette[i][2]);
    }
  } else {
    EXPECT_TRUE(dib.colors.empty());
  }
}

Bytes Seq(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return b;
}

BmpSpec Spec(std::uint32_t header, std::int32_t w, std::int32_t h, std::uint16_t bits, std::size_t bytes) {
  BmpSpec s;
  s.headerSize = header;
  s.width = w;
  s.height = h;
  s.bitCount = bits;
  s.pixels = Seq(bytes);
  if (bits <= 8) s.palette = Grey(1 << bits);
  return s;
}

std::vector<LayoutCase> LayoutCases() {
  std::vector<LayoutCase> v;
  v.push_back({"mono_9x2", Spec(40, 9, 2, 1, 8), 4, false, 0, 0, 0, 0});
  v.push_back({"nibbles_5x3", Spec(40, 5, 3, 4, 12), 4, false, 0, 0, 0, 0});
  v.push_back({"bytes_5x2", Spec(40, 5, 2, 8, 16), 8, false, 0, 0, 0, 0});
  v.push_back({"rgb555_3x2", Spec(40, 3, 2, 16, 16), 8, false, 0x7C00, 0x03E0, 0x001F, 0});
  v.push_back({"bgr_3x2", Spec(40, 3, 2, 24, 24), 12, false, 0, 0, 0, 0});
  v.push_back({"bgra_2x2", Spec(40, 2, 2, 32, 16), 8, false, 0xFF0000, 0xFF00, 0xFF, 0});
  v.push_back({"core_bgr_2x2", Spec(12, 2, 2, 24, 16), 8, false, 0, 0, 0, 0});
  v.push_back({"core_bytes_4x1", Spec(12, 4, 1, 8, 4), 4, false, 0, 0, 0, 0});
  v.push_back({"v5_bgr_4x4", Spec(124, 4, 4, 24, 48), 12, false, 0, 0, 0, 0});
  v.push_back({"topdown_bgr_3x2", Spec(40, 3, -2, 24, 24), 12, true, 0, 0, 0, 0});

  LayoutCase rgb565{"rgb565_bitfields_2x2", Spec(40, 2, 2, 16, 8), 4, false, 0xF800, 0x07E0, 0x001F, 0};
  rgb565.spec.compression = 3;
  rgb565.spec.masks = {0xF800, 0x07E0, 0x001F};
  v.push_back(rgb565);

  LayoutCase v4{"v4_rgba_bitfields_2x1", Spec(108, 2, 1, 32, 8), 8, false, 0xFF, 0xFF00, 0xFF0000, 0xFF000000};
  v4.spec.compression = 3;
  v4.spec.masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000};
  v.push_back(v4);

  LayoutCase shortPalette{"palette_of_3_entries", Spec(40, 4, 1, 8, 4), 4, false, 0, 0, 0, 0};
  shortPalette.spec.palette = Grey(3);
  shortPalette.spec.clrUsed = 3;
  v.push_back(shortPalette);
  return v;
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpLayout, ::testing::ValuesIn(LayoutCases()),
                         [](const auto& info) { return info.param.name; });

TEST(BmpDecode, ShortPaletteIsPaddedWithBlack) {
  BmpSpec s = Spec(40, 4, 1, 8, 4);
  s.palette = Grey(3);
  s.clrUsed = 3;
  DecodedDib dib;
  ASSERT_TRUE(DecodeBMP(s.Build(), dib));
  ASSERT_EQ(dib.colors.size(), 256u);
  EXPECT_EQ(dib.colors[2].red, s.palette[2][2]);
  EXPECT_EQ(dib.colors[3].red, 0);
  EXPECT_EQ(dib.colors[255].blue, 0);
}

TEST(BmpDecode, LastRowMayLackItsPadding) {
  BmpSpec s = Spec(40, 3, 2, 24, 12 + 9);  // second row: 9 pixel bytes, no padding
  DecodedDib dib;
  ASSERT_TRUE(DecodeBMP(s.Build(), dib));
  ASSERT_EQ(dib.bits.size(), 24u);
  EXPECT_TRUE(std::equal(s.pixels.begin(), s.pixels.end(), dib.bits.begin()));
  EXPECT_EQ(dib.bits[21], 0);
  EXPECT_EQ(dib.bits[23], 0);
}

// Run-length files expand into plain index rows of their depth.
struct RleCase {
  std::string name;
  std::uint16_t bitCount;
  std::int32_t width, height;
  Bytes stream;
  Bytes expected;  // rows of the expanded image, with their padding
};

class BmpRle : public ::testing::TestWithParam<RleCase> {};

TEST_P(BmpRle, Expands) {
  const RleCase& c = GetParam();
  BmpSpec s;
  s.width = c.width;
  s.height = c.height;
  s.bitCount = c.bitCount;
  s.compression = c.bitCount == 8 ? 1 : 2;
  s.palette = Grey(1 << c.bitCount);
  s.pixels = c.stream;
  s.sizeImage = static_cast<std::uint32_t>(c.stream.size());
  DecodedDib dib;
  ASSERT_TRUE(DecodeBMP(s.Build(), dib));
  EXPECT_EQ(dib.bitCount, c.bitCount);
  EXPECT_FALSE(dib.topDown);
  EXPECT_EQ(dib.bits, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, BmpRle,
    ::testing::Values(
        RleCase{"rle8_runs_and_absolute", 8, 6, 2,
                // run 3×5, absolute 3 (padded), end of line, run 2×9, end of bitmap
                {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 2, 9, 0, 1},
                {5, 5, 5, 1, 2, 3, 0, 0, 9, 9, 0, 0, 0, 0, 0, 0}},
        RleCase{"rle8_delta_skips", 8, 4, 3,
                // one pixel, delta (+2, +1), one pixel, end of bitmap
                {1, 7, 0, 2, 2, 1, 1, 8, 0, 1},
                {7, 0, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0}},
        RleCase{"rle8_clips_runs_past_the_row_and_the_image", 8, 2, 1,
                {200, 4, 0, 0, 255, 6, 0, 1},
                {4, 4, 0, 0}},
        RleCase{"rle4_runs_alternate_nibbles", 4, 5, 1,
                {5, 0x12, 0, 1},
                {0x12, 0x12, 0x10, 0}},
        RleCase{"rle4_absolute_padded", 4, 8, 1,
                // absolute 3 nibbles (2 bytes, already even), run of 2 from 0xAB, end of bitmap
                {0, 3, 0x34, 0x50, 2, 0xAB, 0, 1},
                {0x34, 0x5A, 0xB0, 0}}),
    [](const auto& info) { return info.param.name; });

// Files that must be refused, and the valid file each one breaks.
struct BadCase {
  std::string name;
  Bytes file;
};

class BmpRefused : public ::testing::TestWithParam<BadCase> {};

TEST_P(BmpRefused, ReturnsFalse) {
  DecodedDib dib;
  EXPECT_FALSE(DecodeBMP(GetParam().file, dib));
}

Bytes Mutated(BmpSpec s, void (*change)(BmpSpec&)) {
  change(s);
  return s.Build();
}

Bytes Patched(Bytes f, std::size_t at, std::uint32_t v) {
  Put32(f, at, v);
  return f;
}

std::vector<BadCase> BadCases() {
  const BmpSpec ok = Spec(40, 2, 2, 24, 16);
  const Bytes good = ok.Build();
  std::vector<BadCase> v;
  Bytes ba = good;
  ba[1] = 'A';
  v.push_back({"not_BM", ba});
  v.push_back({"empty", {}});
  v.push_back({"header_size_64", Patched(good, 14, 64)});
  v.push_back({"header_beyond_file", Bytes(good.begin(), good.begin() + 30)});
  v.push_back({"pixels_short", Bytes(good.begin(), good.end() - 3)});
  v.push_back({"two_planes", Mutated(ok, [](BmpSpec& s) { s.planes = 2; })});
  v.push_back({"depth_2", Mutated(ok, [](BmpSpec& s) { s.bitCount = 2; })});
  v.push_back({"depth_0", Mutated(ok, [](BmpSpec& s) { s.bitCount = 0; })});
  v.push_back({"width_0", Mutated(ok, [](BmpSpec& s) { s.width = 0; })});
  v.push_back({"width_negative", Mutated(ok, [](BmpSpec& s) { s.width = -2; })});
  v.push_back({"height_0", Mutated(ok, [](BmpSpec& s) { s.height = 0; })});
  v.push_back({"height_min_int", Mutated(ok, [](BmpSpec& s) { s.height = INT32_MIN; })});
  v.push_back({"too_many_pixels", Mutated(ok, [](BmpSpec& s) { s.width = s.height = 65536; })});
  v.push_back({"huge_width_one_row", Mutated(ok, [](BmpSpec& s) { s.width = INT32_MAX; })});
  v.push_back({"jpeg_compression", Mutated(ok, [](BmpSpec& s) { s.compression = 4; })});
  v.push_back({"rle8_on_24_bits", Mutated(ok, [](BmpSpec& s) { s.compression = 1; })});
  v.push_back({"bitfields_on_24_bits", Mutated(ok, [](BmpSpec& s) {
                 s.compression = 3;
                 s.masks = {0xFF0000, 0xFF00, 0xFF};
               })});
  const BmpSpec fields = [] {
    BmpSpec s = Spec(40, 2, 2, 16, 8);
    s.compression = 3;
    return s;
  }();
  v.push_back({"overlapping_masks", Mutated(fields, [](BmpSpec& s) { s.masks = {0xF800, 0x0FE0, 0x001F}; })});
  v.push_back({"scattered_mask", Mutated(fields, [](BmpSpec& s) { s.masks = {0xA800, 0x07E0, 0x001F}; })});
  v.push_back({"mask_wider_than_pixel", Mutated(fields, [](BmpSpec& s) { s.masks = {0x1F0000, 0x07E0, 0x001F}; })});
  v.push_back({"all_masks_empty", Mutated(fields, [](BmpSpec& s) { s.masks = {0, 0, 0}; })});
  v.push_back({"offset_into_header", Mutated(ok, [](BmpSpec& s) { s.offBits = 20; })});
  v.push_back({"offset_past_end", Mutated(ok, [](BmpSpec& s) { s.offBits = 10000; })});

  const BmpSpec rle = [] {
    BmpSpec s = Spec(40, 4, 2, 8, 0);
    s.compression = 1;
    s.pixels = {4, 1, 0, 0, 4, 2, 0, 1};
    return s;
  }();
  v.push_back({"rle_top_down", Mutated(rle, [](BmpSpec& s) { s.height = -2; })});
  v.push_back({"rle_cut_inside_absolute_run", Mutated(rle, [](BmpSpec& s) { s.pixels = {0, 4, 1, 2}; })});
  v.push_back({"rle_cut_inside_delta", Mutated(rle, [](BmpSpec& s) { s.pixels = {0, 2, 1}; })});
  v.push_back({"rle_without_end_mark", Mutated(rle, [](BmpSpec& s) { s.pixels = {4, 1}; })});
  v.push_back({"rle_size_beyond_file", Mutated(rle, [](BmpSpec& s) { s.sizeImage = 100; })});
  v.push_back({"rle4_on_8_bits", Mutated(rle, [](BmpSpec& s) { s.compression = 2; })});
  return v;
}

INSTANTIATE_TEST_SUITE_P(Malformed, BmpRefused, ::testing::ValuesIn(BadCases()),
                         [](const auto& info) { return info.param.name; });

// Every prefix of valid files is either refused or decoded within bounds
// (the sanitizer build checks the bounds); only the whole file decodes fully.
TEST(BmpDecode, EveryTruncationIsRefused) {
  BmpSpec pal = Spec(40, 3, 3, 4, 12);
  BmpSpec v5 = Spec(124, 2, 2, 32, 16);
  for (const Bytes& whole : {pal.Build(), v5.Build(), Spec(12, 3, 1, 24, 12).Build()}) {
    DecodedDib dib;
    ASSERT_TRUE(DecodeBMP(whole, dib));
    // The last row's padding may be missing; anything shorter is refused.
    const std::size_t lastPad = dib.stride - (static_cast<std::size_t>(dib.width) * dib.bitCount + 7) / 8;
    for (std::size_t n = 0; n + lastPad < whole.size(); ++n) {
      const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_FALSE(DecodeBMP(part, dib)) << "prefix of " << n << " bytes";
    }
  }
}

}  // namespace
