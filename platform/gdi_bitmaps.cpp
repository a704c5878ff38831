// Bitmaps: loading BMP files (LoadImageA), DIB sections, compatible
// bitmaps, colour tables, the objects selected into a DC, block copies
// between device contexts, and the surfaces child windows paint into.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/gdi_pixels.h"

namespace layer {

DibView BitmapView(GdiObject& b) {
  DibView v;
  v.width = b.width;
  v.height = b.height;
  v.topDown = b.topDown;
  v.bitCount = b.bitCount;
  v.stride = static_cast<std::uint32_t>(b.stride);
  v.bits = b.bits.empty() ? nullptr : b.bits.data();
  static_assert(sizeof(RGBQUAD) == 4);
  v.colors = reinterpret_cast<const std::uint8_t*>(b.colors.data());
  v.colorCount = static_cast<std::uint32_t>(b.colors.size());
  v.redMask = b.redMask;
  v.greenMask = b.greenMask;
  v.blueMask = b.blueMask;
  return v;
}

bool ChildSurface(WindowRecord& w, DibView& out) {
  if (!(w.style & WS_CHILD)) return false;
  const int width = ClientWidth(w), height = ClientHeight(w);
  if (width <= 0 || height <= 0) return false;
  if (w.surfaceWidth != width || w.surfaceHeight != height) {
    // A resize starts from a blank surface; the window repaints it.
    w.surface.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    w.surfaceWidth = width;
    w.surfaceHeight = height;
  }
  out = DibView{};
  out.width = width;
  out.height = height;
  out.topDown = true;
  out.bitCount = 32;
  out.stride = static_cast<std::uint32_t>(width) * 4;
  out.bits = reinterpret_cast<std::uint8_t*>(w.surface.data());
  return true;
}

bool DcPixels(HDC dc, DibView& out) {
  GdiObject* d = LookupGdi(dc, GdiKind::Dc);
  if (!d) return false;
  if (d->memory) {
    GdiObject* b = LookupGdi(d->bitmap ? d->bitmap : DefaultBitmap(), GdiKind::Bitmap);
    if (!b) return false;
    out = BitmapView(*b);
    return out.bits != nullptr;
  }
  WindowRecord* w = LookupWindow(d->window);
  return w && ChildSurface(*w, out);
}

}  // namespace layer

using namespace layer;

namespace {

bool ReadFile(LPCSTR name, std::vector<std::uint8_t>& out) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// A 32-bit bitmap object of the given size, zeroed; false when the size is
// not positive or beyond the pixel cap.
bool MakeBitmap32(LONG width, LONG height, bool topDown, GdiObject& o) {
  if (width <= 0 || height <= 0) return false;
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxDibPixels) return false;
  o.kind = GdiKind::Bitmap;
  o.width = width;
  o.height = height;
  o.topDown = topDown;
  o.bitCount = 32;
  o.stride = width * 4;
  o.bits.assign(static_cast<std::size_t>(o.stride) * static_cast<std::size_t>(height), 0);
  return true;
}

GdiObject FromDecoded(DecodedDib&& dib) {
  GdiObject o;
  o.kind = GdiKind::Bitmap;
  o.width = dib.width;
  o.height = dib.height;
  o.topDown = dib.topDown;
  o.bitCount = dib.bitCount;
  o.stride = static_cast<LONG>(dib.stride);
  o.bits = std::move(dib.bits);
  for (const DibColor& c : dib.colors) o.colors.push_back(RGBQUAD{c.blue, c.green, c.red, 0});
  // Only layouts other than the usual ones keep their masks.
  const bool usual = (dib.bitCount == 16 && dib.redMask == 0x7C00 && dib.greenMask == 0x03E0 && dib.blueMask == 0x1F) ||
                     (dib.bitCount == 32 && dib.redMask == 0xFF0000 && dib.greenMask == 0xFF00 && dib.blueMask == 0xFF);
  if (!usual && (dib.bitCount == 16 || dib.bitCount == 32)) {
    o.redMask = dib.redMask;
    o.greenMask = dib.greenMask;
    o.blueMask = dib.blueMask;
  }
  return o;
}

}  // namespace

HANDLE LoadImageA(HINSTANCE, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  // Only bitmaps from files, at their natural size.
  if (type != IMAGE_BITMAP || (flags & LR_LOADFROMFILE) == 0 || name == nullptr || cx != 0 || cy != 0) return nullptr;
  std::vector<std::uint8_t> file;
  DecodedDib dib;
  if (!ReadFile(name, file) || !DecodeBMP(file, dib)) return nullptr;
  GdiObject decoded = FromDecoded(std::move(dib));
  if ((flags & LR_CREATEDIBSECTION) != 0) {
    decoded.dibSection = true;
    return reinterpret_cast<HANDLE>(AddGdiObject(std::move(decoded)));
  }
  // A device bitmap: 32 bits per pixel, its pixels not exposed.
  GdiObject device;
  if (!MakeBitmap32(decoded.width, decoded.height, true, device)) return nullptr;
  DibCopy(BitmapView(device), 0, 0, BitmapView(decoded), 0, 0, decoded.width, decoded.height);
  return reinterpret_cast<HANDLE>(AddGdiObject(std::move(device)));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
  if (bits) *bits = nullptr;
  if (!info || section != nullptr || offset != 0 || usage != DIB_RGB_COLORS) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biCompression != BI_RGB) return nullptr;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return nullptr;
  const LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  const bool topDown = h.biHeight < 0;
  GdiObject o;
  if (h.biBitCount == 32) {
    if (!MakeBitmap32(h.biWidth, height, topDown, o)) return nullptr;
  } else if (h.biBitCount == 24 || h.biBitCount == 16 || h.biBitCount == 8 || h.biBitCount == 4 ||
             h.biBitCount == 1) {
    if (static_cast<std::uint64_t>(h.biWidth) * static_cast<std::uint64_t>(height) > kMaxDibPixels) return nullptr;
    o.kind = GdiKind::Bitmap;
    o.width = h.biWidth;
    o.height = height;
    o.topDown = topDown;
    o.bitCount = h.biBitCount;
    o.stride = static_cast<LONG>((static_cast<std::uint64_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4);
    o.bits.assign(static_cast<std::size_t>(o.stride) * static_cast<std::size_t>(height), 0);
    if (h.biBitCount <= 8) {
      // The colour table follows the header: biClrUsed entries, or all of them.
      const std::uint32_t full = 1u << h.biBitCount;
      const std::uint32_t used = h.biClrUsed == 0 ? full : std::min<std::uint32_t>(h.biClrUsed, full);
      o.colors.assign(full, RGBQUAD{});
      const RGBQUAD* table = info->bmiColors;
      for (std::uint32_t i = 0; i < used; ++i) o.colors[i] = table[i];
    }
  } else {
    return nullptr;
  }
  o.dibSection = true;
  HBITMAP handle = reinterpret_cast<HBITMAP>(AddGdiObject(std::move(o)));
  if (bits) *bits = LookupGdi(handle, GdiKind::Bitmap)->bits.data();
  return handle;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
  GdiObject o;
  if (!MakeBitmap32(width, height, true, o)) return nullptr;
  return reinterpret_cast<HBITMAP>(AddGdiObject(std::move(o)));
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  if (!dc || !dc->memory || !colors) return 0;
  GdiObject* b = LookupGdi(dc->bitmap, GdiKind::Bitmap);
  if (!b || !b->dibSection || start >= b->colors.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(b->colors.size()) - start);
  std::copy_n(b->colors.begin() + start, n, colors);
  return n;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_BITMAP: return dc->memory ? (dc->bitmap ? dc->bitmap : DefaultBitmap()) : nullptr;
    case OBJ_PAL: return dc->palette ? dc->palette : GetStockObject(DEFAULT_PALETTE);
    case OBJ_BRUSH: return dc->brush ? dc->brush : GetStockObject(WHITE_BRUSH);
    case OBJ_PEN: return dc->pen ? dc->pen : GetStockObject(BLACK_PEN);
    case OBJ_FONT: return dc->font ? dc->font : GetStockObject(SYSTEM_FONT);
    default: return nullptr;
  }
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
  DibView to;
  if (!DcPixels(dest, to) || width < 0 || height < 0) return FALSE;
  if (rop == BLACKNESS || rop == WHITENESS) {
    const std::uint8_t v = rop == WHITENESS ? 255 : 0;
    const std::int64_t x0 = std::max(0, x), y0 = std::max(0, y);
    const std::int64_t x1 = std::min<std::int64_t>(to.width, std::int64_t{x} + width);
    const std::int64_t y1 = std::min<std::int64_t>(to.height, std::int64_t{y} + height);
    for (std::int64_t py = y0; py < y1; ++py)
      for (std::int64_t px = x0; px < x1; ++px)
        DibWritePixel(to, static_cast<std::int32_t>(px), static_cast<std::int32_t>(py), DibRgb{v, v, v});
    return TRUE;
  }
  if (rop != SRCCOPY) return FALSE;
  DibView from;
  if (!DcPixels(src, from)) return FALSE;
  if (from.bits == to.bits) {
    // Within one bitmap the blocks may overlap: copy from a snapshot.
    std::vector<std::uint8_t> snapshot(from.bits, from.bits + static_cast<std::size_t>(from.stride) * from.height);
    from.bits = snapshot.data();
    DibCopy(to, x, y, from, srcX, srcY, width, height);
  } else {
    DibCopy(to, x, y, from, srcX, srcY, width, height);
  }
  return TRUE;
}
