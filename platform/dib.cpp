#include "platform/dib.h"

#include <algorithm>
#include <bit>

namespace {

std::uint32_t ReadLE(const std::uint8_t* p, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

void WriteLE(std::uint8_t* p, int bytes, std::uint32_t v) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Scales the field of `pixel` under `mask` to 0..255.
std::uint8_t Extract(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint64_t max = mask >> shift;
  const std::uint64_t v = (pixel & mask) >> shift;
  return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
}

std::uint32_t Insert(std::uint8_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint64_t max = mask >> shift;
  return static_cast<std::uint32_t>(((value * max + 127) / 255) << shift) & mask;
}

struct Masks {
  std::uint32_t red, green, blue;
};

// The channel masks of a 16- or 32-bit bitmap; none given means the usual
// 5-5-5 or 8-8-8 layout.
Masks MasksOf(const DibView& dib) {
  if ((dib.redMask | dib.greenMask | dib.blueMask) != 0) return {dib.redMask, dib.greenMask, dib.blueMask};
  if (dib.bitCount == 16) return {0x7C00, 0x03E0, 0x001F};
  return {0x00FF0000, 0x0000FF00, 0x000000FF};
}

std::uint32_t Nearest(const DibView& dib, DibRgb c) {
  std::uint32_t best = 0;
  int bestDist = 1 << 30;
  for (std::uint32_t i = 0; i < dib.colorCount; ++i) {
    const std::uint8_t* e = dib.colors + 4 * i;
    const int dr = e[2] - c.red, dg = e[1] - c.green, db = e[0] - c.blue;
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDist) bestDist = d, best = i;
  }
  return best;
}

}  // namespace

DibView ViewOf(DecodedDib& dib) {
  DibView v;
  v.width = dib.width;
  v.height = dib.height;
  v.topDown = dib.topDown;
  v.bitCount = dib.bitCount;
  v.stride = dib.stride;
  v.bits = dib.bits.data();
  static_assert(sizeof(DibColor) == 4);
  v.colors = reinterpret_cast<const std::uint8_t*>(dib.colors.data());
  v.colorCount = static_cast<std::uint32_t>(dib.colors.size());
  v.redMask = dib.redMask;
  v.greenMask = dib.greenMask;
  v.blueMask = dib.blueMask;
  return v;
}

std::size_t DibRowOffset(const DibView& dib, std::int32_t y) {
  const std::int32_t row = dib.topDown ? y : dib.height - 1 - y;
  return static_cast<std::size_t>(row) * dib.stride;
}

DibRgb DibReadPixel(const DibView& dib, std::int32_t x, std::int32_t y) {
  const std::uint8_t* row = dib.bits + DibRowOffset(dib, y);
  const auto ux = static_cast<std::size_t>(x);
  if (dib.bitCount <= 8) {
    const unsigned perByte = 8u / dib.bitCount;
    const std::uint8_t byte = row[ux / perByte];
    const unsigned shift = 8u - dib.bitCount * (ux % perByte + 1);
    const std::uint32_t index = (byte >> shift) & ((1u << dib.bitCount) - 1);
    if (index >= dib.colorCount) return {};
    const std::uint8_t* e = dib.colors + 4 * index;
    return {e[2], e[1], e[0]};
  }
  if (dib.bitCount == 24) {
    const std::uint8_t* p = row + ux * 3;
    return {p[2], p[1], p[0]};
  }
  const int bytes = dib.bitCount / 8;
  const std::uint32_t v = ReadLE(row + ux * bytes, bytes);
  const Masks m = MasksOf(dib);
  return {Extract(v, m.red), Extract(v, m.green), Extract(v, m.blue)};
}

void DibWritePixel(const DibView& dib, std::int32_t x, std::int32_t y, DibRgb color) {
  std::uint8_t* row = dib.bits + DibRowOffset(dib, y);
  const auto ux = static_cast<std::size_t>(x);
  if (dib.bitCount <= 8) {
    const unsigned perByte = 8u / dib.bitCount;
    const unsigned shift = 8u - dib.bitCount * (ux % perByte + 1);
    const unsigned mask = ((1u << dib.bitCount) - 1) << shift;
    std::uint8_t& byte = row[ux / perByte];
    byte = static_cast<std::uint8_t>((byte & ~mask) | ((Nearest(dib, color) << shift) & mask));
    return;
  }
  if (dib.bitCount == 24) {
    std::uint8_t* p = row + ux * 3;
    p[0] = color.blue, p[1] = color.green, p[2] = color.red;
    return;
  }
  const int bytes = dib.bitCount / 8;
  WriteLE(row + ux * bytes, bytes,
          Insert(color.red, MasksOf(dib).red) | Insert(color.green, MasksOf(dib).green) |
              Insert(color.blue, MasksOf(dib).blue));
}

void DibCopy(const DibView& dst, std::int32_t dx, std::int32_t dy, const DibView& src, std::int32_t sx,
             std::int32_t sy, std::int32_t w, std::int32_t h) {
  // Clip in 64 bits so that no coordinate sum can overflow.
  std::int64_t x0 = 0, y0 = 0, x1 = w, y1 = h;  // offsets into the block
  x0 = std::max({x0, -std::int64_t{sx}, -std::int64_t{dx}});
  y0 = std::max({y0, -std::int64_t{sy}, -std::int64_t{dy}});
  x1 = std::min({x1, std::int64_t{src.width} - sx, std::int64_t{dst.width} - dx});
  y1 = std::min({y1, std::int64_t{src.height} - sy, std::int64_t{dst.height} - dy});
  if (x0 >= x1 || y0 >= y1 || !src.bits || !dst.bits) return;
  const Masks ms = MasksOf(src), md = MasksOf(dst);
  const bool rawRows = src.bitCount == 32 && dst.bitCount == 32 && ms.red == md.red && ms.green == md.green &&
                       ms.blue == md.blue;
  for (std::int64_t y = y0; y < y1; ++y) {
    const auto srcY = static_cast<std::int32_t>(sy + y), dstY = static_cast<std::int32_t>(dy + y);
    if (rawRows) {
      const std::uint8_t* from = src.bits + DibRowOffset(src, srcY) + (sx + x0) * 4;
      std::uint8_t* to = dst.bits + DibRowOffset(dst, dstY) + (dx + x0) * 4;
      std::copy(from, from + (x1 - x0) * 4, to);
      continue;
    }
    for (std::int64_t x = x0; x < x1; ++x) {
      DibWritePixel(dst, static_cast<std::int32_t>(dx + x), dstY,
                    DibReadPixel(src, static_cast<std::int32_t>(sx + x), srcY));
    }
  }
}
