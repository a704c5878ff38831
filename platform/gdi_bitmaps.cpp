// Bitmaps: loading BMP files (LoadImageA), DIB sections, compatible
// bitmaps, colour tables, and block copies between device contexts.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/dib.h"
#include "platform/gdi_objects.h"

namespace {

bool ReadFile(LPCSTR name, std::vector<std::uint8_t>& out) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// A device-dependent bitmap: 32 bits per pixel, pixels not exposed.
bool ToDeviceBitmap(const DecodedDib& dib, DecodedDib& out) {
  if (!MakeDib32(dib.width, dib.height, true, out)) return false;
  DibCopy(out, 0, 0, dib, 0, 0, dib.width, dib.height);
  return true;
}

}  // namespace

HANDLE LoadImageA(HINSTANCE, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  // Only bitmaps from files, at their natural size.
  if (type != IMAGE_BITMAP || (flags & LR_LOADFROMFILE) == 0 || name == nullptr || cx != 0 || cy != 0) return nullptr;
  std::vector<std::uint8_t> file;
  if (!ReadFile(name, file)) return nullptr;
  GdiBitmap bitmap;
  if (!DecodeBMP(file, bitmap.dib)) return nullptr;
  if ((flags & LR_CREATEDIBSECTION) != 0) {
    bitmap.dibSection = true;
  } else {
    DecodedDib device;
    if (!ToDeviceBitmap(bitmap.dib, device)) return nullptr;
    bitmap.dib = std::move(device);
  }
  return GdiAddBitmap(std::move(bitmap));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
  if (bits) *bits = nullptr;
  if (!info || section != nullptr || offset != 0 || usage != DIB_RGB_COLORS) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biCompression != BI_RGB) return nullptr;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return nullptr;
  GdiBitmap bitmap;
  bitmap.dibSection = true;
  DecodedDib& dib = bitmap.dib;
  const std::int32_t height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  if (h.biBitCount == 32) {
    if (!MakeDib32(h.biWidth, height, h.biHeight < 0, dib)) return nullptr;
  } else if (h.biBitCount == 24 || h.biBitCount == 8 || h.biBitCount == 4 || h.biBitCount == 1) {
    if (static_cast<std::uint64_t>(h.biWidth) * static_cast<std::uint64_t>(height) > kMaxDibPixels) return nullptr;
    dib.width = h.biWidth;
    dib.height = height;
    dib.topDown = h.biHeight < 0;
    dib.bitCount = h.biBitCount;
    dib.stride = static_cast<std::uint32_t>((static_cast<std::uint64_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4);
    dib.bits.assign(static_cast<std::size_t>(dib.stride) * static_cast<std::size_t>(height), 0);
    if (h.biBitCount <= 8) {
      // The colour table follows the header: biClrUsed entries, or all of them.
      const std::uint32_t full = 1u << h.biBitCount;
      const std::uint32_t used = h.biClrUsed == 0 ? full : std::min(h.biClrUsed, full);
      dib.colors.assign(full, DibColor{});
      const RGBQUAD* table = info->bmiColors;
      for (std::uint32_t i = 0; i < used; ++i) {
        dib.colors[i] = DibColor{table[i].rgbBlue, table[i].rgbGreen, table[i].rgbRed, 0};
      }
    }
  } else {
    return nullptr;
  }
  HBITMAP handle = GdiAddBitmap(std::move(bitmap));
  if (bits) *bits = GdiFindBitmap(handle)->dib.bits.data();
  return handle;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
  GdiBitmap bitmap;
  if (!MakeDib32(width, height, true, bitmap.dib)) return nullptr;
  return GdiAddBitmap(std::move(bitmap));
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
  GdiDC* dc = GdiFindDC(hdc);
  if (!dc || !colors) return 0;
  GdiBitmap* b = GdiFindBitmap(dc->bitmap);
  if (!b || !b->dibSection || start >= b->dib.colors.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(b->dib.colors.size()) - start);
  for (UINT i = 0; i < n; ++i) {
    const DibColor& c = b->dib.colors[start + i];
    colors[i] = RGBQUAD{c.blue, c.green, c.red, 0};
  }
  return n;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
  DecodedDib* to = GdiTarget(dest);
  if (!to || width < 0 || height < 0) return FALSE;
  if (rop == BLACKNESS || rop == WHITENESS) {
    const BYTE v = rop == WHITENESS ? 255 : 0;
    const std::int64_t x0 = std::max(0, x), y0 = std::max(0, y);
    const std::int64_t x1 = std::min<std::int64_t>(to->width, std::int64_t{x} + width);
    const std::int64_t y1 = std::min<std::int64_t>(to->height, std::int64_t{y} + height);
    for (std::int64_t py = y0; py < y1; ++py)
      for (std::int64_t px = x0; px < x1; ++px)
        DibWritePixel(*to, static_cast<std::int32_t>(px), static_cast<std::int32_t>(py), DibRgb{v, v, v});
    return TRUE;
  }
  if (rop != SRCCOPY) return FALSE;
  const DecodedDib* from = GdiTarget(src);
  if (!from) return FALSE;
  if (from == to) {
    // Overlapping copy within one bitmap: go through a copy of the source.
    const DecodedDib copy = *from;
    DibCopy(*to, x, y, copy, srcX, srcY, width, height);
  } else {
    DibCopy(*to, x, y, *from, srcX, srcY, width, height);
  }
  return TRUE;
}
