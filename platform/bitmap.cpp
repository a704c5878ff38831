// Bitmaps and palettes: DIB sections, compatible bitmaps, colour tables,
// logical and halftone palettes, and BitBlt between memory DCs with
// conversion of any stored depth to the destination's.
#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/gdi_objects.h"
#include "platform/layer.h"

namespace layer {
namespace {

constexpr std::uint64_t kMaxBitmapBytes = 256ull << 20;

LONG StrideOf(LONG width, WORD bitCount) {
  return static_cast<LONG>(((static_cast<std::uint64_t>(width) * bitCount + 31) / 32) * 4);
}

int MaskShift(DWORD mask) {
  int s = 0;
  while (mask && !(mask & 1)) mask >>= 1, ++s;
  return s;
}
BYTE MaskValue(DWORD pixel, DWORD mask) {
  if (!mask) return 0;
  const int shift = MaskShift(mask);
  const DWORD m = mask >> shift;
  return static_cast<BYTE>(((pixel & mask) >> shift) * 255 / m);
}

// Colour of pixel (x, y), y counted from the top.
RGBQUAD ReadPixel(const GdiObject& b, LONG x, LONG y) {
  const LONG row = b.topDown ? y : b.height - 1 - y;
  const std::uint8_t* p = b.bits.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(b.stride);
  auto table = [&](unsigned index) {
    return index < b.colors.size() ? b.colors[index] : RGBQUAD{0, 0, 0, 0};
  };
  switch (b.bitCount) {
    case 1: return table((p[x / 8] >> (7 - x % 8)) & 1);
    case 4: return table((p[x / 2] >> (x % 2 ? 0 : 4)) & 0xF);
    case 8: return table(p[x]);
    case 16: {
      const DWORD v = static_cast<DWORD>(p[2 * x] | (p[2 * x + 1] << 8));
      const DWORD r = b.redMask ? b.redMask : 0x7C00, g = b.greenMask ? b.greenMask : 0x03E0,
                  bl = b.blueMask ? b.blueMask : 0x001F;
      return RGBQUAD{MaskValue(v, bl), MaskValue(v, g), MaskValue(v, r), 0};
    }
    case 24: return RGBQUAD{p[3 * x], p[3 * x + 1], p[3 * x + 2], 0};
    case 32: {
      if (b.redMask) {
        const DWORD v = static_cast<DWORD>(p[4 * x]) | (static_cast<DWORD>(p[4 * x + 1]) << 8) |
                        (static_cast<DWORD>(p[4 * x + 2]) << 16) | (static_cast<DWORD>(p[4 * x + 3]) << 24);
        return RGBQUAD{MaskValue(v, b.blueMask), MaskValue(v, b.greenMask), MaskValue(v, b.redMask), 0};
      }
      return RGBQUAD{p[4 * x], p[4 * x + 1], p[4 * x + 2], p[4 * x + 3]};
    }
    default: return RGBQUAD{};
  }
}

// Nearest colour-table entry for palette destinations.
unsigned NearestIndex(const GdiObject& b, RGBQUAD c) {
  unsigned best = 0;
  int bestD = 1 << 30;
  for (unsigned i = 0; i < b.colors.size(); ++i) {
    const int dr = b.colors[i].rgbRed - c.rgbRed, dg = b.colors[i].rgbGreen - c.rgbGreen,
              db = b.colors[i].rgbBlue - c.rgbBlue;
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestD) bestD = d, best = i;
  }
  return best;
}

void WritePixel(GdiObject& b, LONG x, LONG y, RGBQUAD c) {
  const LONG row = b.topDown ? y : b.height - 1 - y;
  std::uint8_t* p = b.bits.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(b.stride);
  switch (b.bitCount) {
    case 1: {
      const unsigned i = NearestIndex(b, c) & 1;
      p[x / 8] = static_cast<std::uint8_t>((p[x / 8] & ~(0x80 >> (x % 8))) | (i << (7 - x % 8)));
      break;
    }
    case 4: {
      const unsigned i = NearestIndex(b, c) & 0xF;
      p[x / 2] = static_cast<std::uint8_t>(x % 2 ? (p[x / 2] & 0xF0) | i : (p[x / 2] & 0x0F) | (i << 4));
      break;
    }
    case 8: p[x] = static_cast<std::uint8_t>(NearestIndex(b, c)); break;
    case 16: {
      const unsigned v = ((c.rgbRed >> 3) << 10) | ((c.rgbGreen >> 3) << 5) | (c.rgbBlue >> 3);
      p[2 * x] = static_cast<std::uint8_t>(v & 0xFF);
      p[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
      break;
    }
    case 24: p[3 * x] = c.rgbBlue, p[3 * x + 1] = c.rgbGreen, p[3 * x + 2] = c.rgbRed; break;
    case 32: p[4 * x] = c.rgbBlue, p[4 * x + 1] = c.rgbGreen, p[4 * x + 2] = c.rgbRed, p[4 * x + 3] = 0; break;
    default: break;
  }
}

GdiObject* SelectedBitmap(HDC hdc) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  if (dc && !dc->memory) return ChildSurface(dc->window);  // child windows paint into their surface
  if (!dc) return nullptr;
  GdiObject* b = LookupGdi(dc->bitmap, GdiKind::Bitmap);
  return (b && !b->bits.empty()) ? b : nullptr;
}

}  // namespace

// Makes a bitmap object; false when the size is unusable.
bool MakeBitmap(GdiObject& o, LONG width, LONG height, bool topDown, WORD bitCount) {
  if (width <= 0 || height <= 0) return false;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return false;
  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bitCount + 31) / 32) * 4;
  if (stride * static_cast<std::uint64_t>(height) > kMaxBitmapBytes) return false;
  o.kind = GdiKind::Bitmap;
  o.width = width;
  o.height = height;
  o.topDown = topDown;
  o.bitCount = bitCount;
  o.stride = StrideOf(width, bitCount);
  o.bits.assign(static_cast<std::size_t>(stride * static_cast<std::uint64_t>(height)), 0);
  return true;
}

}  // namespace layer

using namespace layer;

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
  if (bits) *bits = nullptr;
  if (!info || section || usage != DIB_RGB_COLORS) return nullptr;  // no file-mapping sections
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1) return nullptr;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return nullptr;
  if (h.biHeight == std::numeric_limits<LONG>::min()) return nullptr;
  GdiObject o;
  if (!MakeBitmap(o, h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, h.biHeight < 0, h.biBitCount))
    return nullptr;
  o.dibSection = true;
  const RGBQUAD* table = info->bmiColors;
  if (h.biCompression == BI_BITFIELDS) {
    if (h.biBitCount != 16 && h.biBitCount != 32) return nullptr;
    const auto* masks = reinterpret_cast<const DWORD*>(table);
    o.redMask = masks[0];
    o.greenMask = masks[1];
    o.blueMask = masks[2];
  } else if (h.biBitCount <= 8) {
    const DWORD max = 1u << h.biBitCount;
    const DWORD n = h.biClrUsed ? std::min(h.biClrUsed, max) : max;
    o.colors.assign(table, table + n);
  }
  HBITMAP hb = reinterpret_cast<HBITMAP>(AddGdiObject(std::move(o)));
  if (bits) *bits = LookupGdi(hb)->bits.data();
  return hb;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  if (!LookupGdi(hdc, GdiKind::Dc)) return nullptr;
  GdiObject o;
  if (!MakeBitmap(o, width, height, false, 32)) return nullptr;
  return reinterpret_cast<HBITMAP>(AddGdiObject(std::move(o)));
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  GdiObject* b = dc ? LookupGdi(dc->bitmap, GdiKind::Bitmap) : nullptr;
  if (!b || !colors || start >= b->colors.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(b->colors.size()) - start);
  std::copy_n(b->colors.begin() + start, n, colors);
  return n;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
  GdiObject* ddc = LookupGdi(dest, GdiKind::Dc);
  if (!ddc) return FALSE;
  GdiObject* d = SelectedBitmap(dest);
  if (!d) return TRUE;  // window and screen DCs show nothing through this layer
  if (rop == BLACKNESS || rop == WHITENESS) {
    const BYTE v = rop == WHITENESS ? 255 : 0;
    for (int j = 0; j < height; ++j)
      for (int i = 0; i < width; ++i) {
        const long long dx = static_cast<long long>(x) + i, dy = static_cast<long long>(y) + j;
        if (dx >= 0 && dy >= 0 && dx < d->width && dy < d->height)
          WritePixel(*d, static_cast<LONG>(dx), static_cast<LONG>(dy), RGBQUAD{v, v, v, 0});
      }
    return TRUE;
  }
  if (rop != SRCCOPY) return FALSE;
  GdiObject* s = SelectedBitmap(src);
  if (!s) return LookupGdi(src, GdiKind::Dc) ? TRUE : FALSE;
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) {
      const long long sx = static_cast<long long>(srcX) + i, sy = static_cast<long long>(srcY) + j;
      const long long dx = static_cast<long long>(x) + i, dy = static_cast<long long>(y) + j;
      if (sx < 0 || sy < 0 || sx >= s->width || sy >= s->height) continue;
      if (dx < 0 || dy < 0 || dx >= d->width || dy >= d->height) continue;
      WritePixel(*d, static_cast<LONG>(dx), static_cast<LONG>(dy),
                 ReadPixel(*s, static_cast<LONG>(sx), static_cast<LONG>(sy)));
    }
  }
  return TRUE;
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != PALETTE_VERSION || palette->palNumEntries == 0) return nullptr;
  GdiObject o;
  o.kind = GdiKind::Palette;
  o.entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return reinterpret_cast<HPALETTE>(AddGdiObject(std::move(o)));
}

HPALETTE CreateHalftonePalette(HDC) {
  // A 6x6x6 colour cube with a grey ramp, 256 entries.
  GdiObject o;
  o.kind = GdiKind::Palette;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        o.entries.push_back(PALETTEENTRY{static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51),
                                         static_cast<BYTE>(b * 51), 0});
  while (o.entries.size() < 256) {
    const BYTE v = static_cast<BYTE>((o.entries.size() - 216) * 255 / 39);
    o.entries.push_back(PALETTEENTRY{v, v, v, 0});
  }
  return reinterpret_cast<HPALETTE>(AddGdiObject(std::move(o)));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  if (!dc || !LookupGdi(palette, GdiKind::Palette)) return nullptr;
  HPALETTE old = dc->palette ? dc->palette : reinterpret_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  dc->palette = palette;
  return old;
}

UINT RealizePalette(HDC hdc) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  if (!dc) return static_cast<UINT>(-1);
  return 0;  // true-colour output: no system palette entries change
}
