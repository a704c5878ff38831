// Pixel access on device-independent bitmaps (the layer's DIB sections and
// the bitmaps LoadImageA decodes): reading a pixel's colour whatever the bit
// depth, writing one, making a blank 32-bit section, and copying a block of
// pixels between two bitmaps with clipping.
#pragma once

#include <cstdint>

#include "platform/bmp_decode.h"

struct DibRgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const DibRgb&, const DibRgb&) = default;
};

// A zeroed 32-bit bitmap; rows are stored top-down when `topDown` is true,
// bottom-up otherwise, as a DIB section created with a negative or positive
// height. Returns false for sizes that are not positive or would exceed the
// decoder's pixel cap.
bool MakeDib32(std::int32_t width, std::int32_t height, bool topDown, DecodedDib& out);

// Byte offset of image row `y` (0 = top of the image) in `dib.bits`.
std::size_t DibRowOffset(const DecodedDib& dib, std::int32_t y);

// Colour of the pixel at (x, y), y counted from the top; the caller keeps
// the coordinates inside the bitmap.
DibRgb DibReadPixel(const DecodedDib& dib, std::int32_t x, std::int32_t y);

// Stores a colour at (x, y); palette bitmaps take the nearest table entry.
void DibWritePixel(DecodedDib& dib, std::int32_t x, std::int32_t y, DibRgb color);

// Copies the w × h block at (sx, sy) of `src` to (dx, dy) of `dst`, both
// measured from the top-left corner; the parts falling outside either
// bitmap are left out.
void DibCopy(DecodedDib& dst, std::int32_t dx, std::int32_t dy, const DecodedDib& src, std::int32_t sx,
             std::int32_t sy, std::int32_t w, std::int32_t h);
