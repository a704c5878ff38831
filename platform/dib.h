// Pixel access on device-independent bitmaps, whoever stores them (the
// layer's bitmap objects, decoded BMP files, window surfaces): reading a
// pixel's colour whatever the bit depth, writing one, and copying a block
// of pixels between two bitmaps with clipping.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/bmp_decode.h"

struct DibRgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const DibRgb&, const DibRgb&) = default;
};

// A bitmap's layout over pixels held elsewhere.
struct DibView {
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool topDown = false;          // rows stored top to bottom, else bottom-up
  std::uint16_t bitCount = 0;    // 1, 4, 8, 16, 24 or 32
  std::uint32_t stride = 0;      // bytes per stored row
  std::uint8_t* bits = nullptr;  // height * stride bytes
  const std::uint8_t* colors = nullptr;  // colour table: blue, green, red, unused per entry
  std::uint32_t colorCount = 0;
  std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;  // 16 and 32 bits; 0: the usual layout
};

DibView ViewOf(DecodedDib& dib);

// Byte offset of image row `y` (0 = top of the image).
std::size_t DibRowOffset(const DibView& dib, std::int32_t y);

// Colour of the pixel at (x, y), y counted from the top; the caller keeps
// the coordinates inside the bitmap.
DibRgb DibReadPixel(const DibView& dib, std::int32_t x, std::int32_t y);

// Stores a colour at (x, y); palette bitmaps take the nearest table entry.
void DibWritePixel(const DibView& dib, std::int32_t x, std::int32_t y, DibRgb color);

// Copies the w × h block at (sx, sy) of `src` to (dx, dy) of `dst`, both
// measured from the top-left corner; the parts falling outside either
// bitmap are left out. The two must not share pixels.
void DibCopy(const DibView& dst, std::int32_t dx, std::int32_t dy, const DibView& src, std::int32_t sx,
             std::int32_t sy, std::int32_t w, std::int32_t h);
