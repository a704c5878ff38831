// Decoding of BMP files into device-independent bitmap sections, as the
// layer's LoadImageA keeps them: rows in file order (bottom-up stays
// bottom-up), each row padded to 4 bytes, colour table kept for palette
// images, run-length encoded files expanded to their bit depth.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct DibColor {
  std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
};

struct DecodedDib {
  std::int32_t width = 0;
  std::int32_t height = 0;       // always positive; see topDown
  bool topDown = false;          // true when the file's rows run top to bottom
  std::uint16_t bitCount = 0;    // 1, 4, 8, 16, 24 or 32 as stored in `bits`
  std::uint32_t stride = 0;      // bytes per row, a multiple of 4
  std::vector<std::uint8_t> bits;        // height * stride bytes, rows in file order
  std::vector<DibColor> colors;          // colour table (palette images only): always 2^bitCount
                                         // entries, those the file does not give are black
  std::uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;  // 16/32-bit layouts
};

// Pixel-count cap: larger images are refused rather than allocated.
inline constexpr std::uint64_t kMaxDibPixels = 64ull * 1024 * 1024;

// Decodes a whole BMP file. Returns false, leaving `out` unspecified, for any
// truncated, malformed, unsupported or oversized input; never reads or
// writes out of bounds.
bool DecodeBMP(std::span<const std::uint8_t> file, DecodedDib& out);
