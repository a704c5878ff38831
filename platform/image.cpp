// LoadImageA for bitmap files: the file is decoded with DecodeBMP and kept
// as a bitmap object (a DIB section with LR_CREATEDIBSECTION), rows in the
// file's order, for GetObjectA, SelectObject, BitBlt and DeleteObject.
#include <cstring>
#include <fstream>

#include "platform/bmp_decode.h"
#include "platform/gdi_objects.h"
#include "platform/layer.h"

using namespace layer;

HANDLE LoadImageA(HINSTANCE, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  // Only bitmap files at their natural size: the program has no resources.
  if (type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE) || !name || IS_INTRESOURCE(name)) return nullptr;
  if (cx != 0 || cy != 0) return nullptr;
  std::ifstream in(name, std::ios::binary);
  if (!in) return nullptr;
  std::vector<std::uint8_t> file;
  constexpr std::size_t kMaxFile = 512u << 20;
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    file.insert(file.end(), buf, buf + in.gcount());
    if (file.size() > kMaxFile) return nullptr;
  }
  if (in.bad()) return nullptr;
  DecodedDib dib;
  if (!DecodeBMP(file, dib)) return nullptr;
  GdiObject o;
  if (!MakeBitmap(o, dib.width, dib.height, dib.topDown, dib.bitCount)) return nullptr;
  if (o.bits.size() != dib.bits.size() || static_cast<std::uint32_t>(o.stride) != dib.stride) return nullptr;
  o.bits = std::move(dib.bits);
  for (const DibColor& c : dib.colors) o.colors.push_back(RGBQUAD{c.blue, c.green, c.red, 0});
  if (dib.bitCount == 16 || dib.bitCount == 32) {
    o.redMask = dib.redMask;
    o.greenMask = dib.greenMask;
    o.blueMask = dib.blueMask;
  }
  o.dibSection = (flags & LR_CREATEDIBSECTION) != 0;
  if ((flags & LR_LOADTRANSPARENT) && dib.bitCount <= 8 && !o.colors.empty()) {
    // The colour of the first stored pixel becomes the window colour.
    const std::uint8_t first = o.bits[0];
    const unsigned index = dib.bitCount == 8 ? first : dib.bitCount == 4 ? first >> 4 : first >> 7;
    if (index < o.colors.size()) {
      const COLORREF c = GetSysColor(COLOR_WINDOW);
      o.colors[index] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
  }
  return reinterpret_cast<HANDLE>(AddGdiObject(std::move(o)));
}
