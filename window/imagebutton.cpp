#include "window/imagebutton.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/checked.h"

std::string BMPType;

namespace {

constexpr COLORREF kMagenta = 0xFF00FF;
constexpr std::uint8_t kShapeTolerance = 1;
constexpr std::int32_t kFlushCount = 2000;  // rectangles per region batch
constexpr std::int32_t kHeaderSize = static_cast<std::int32_t>(sizeof(RGNDATAHEADER));
constexpr std::int32_t kRectSize = static_cast<std::int32_t>(sizeof(RECT));
static_assert(kHeaderSize == 32 && kRectSize == 16);

std::string ButtonFile(const char* letter) { return BMPType + letter + ".BMP"; }

std::intptr_t State(HWND wnd) { return reinterpret_cast<std::intptr_t>(GetPropA(wnd, HoverMode)); }
void SetState(HWND wnd, std::intptr_t state) { SetPropA(wnd, HoverMode, reinterpret_cast<HANDLE>(state)); }

std::int32_t BufferBytes(std::int32_t maxRects) {
  return CheckedAdd(kHeaderSize, CheckedMul(kRectSize, maxRects, "region buffer size"), "region buffer size");
}

// The growable block of region data BitmapToRegion fills: a header kept
// here and copied into the block before each use, and the rectangles
// written into the block directly.
struct RectBuffer {
  HGLOBAL block = nullptr;
  std::uint8_t* data = nullptr;  // locked address
  std::int32_t maxRects = ALLOC_UNIT;
  RGNDATAHEADER header;

  void ClearBatch() {
    header.nCount = 0;
    header.rcBound = RECT{0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
  }
};

bool OpenBuffer(RectBuffer& buf) {
  buf.block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(BufferBytes(buf.maxRects)));
  if (!buf.block) return false;
  buf.data = static_cast<std::uint8_t*>(GlobalLock(buf.block));
  if (!buf.data) {
    GlobalFree(buf.block);
    return false;
  }
  buf.header.dwSize = sizeof(RGNDATAHEADER);
  buf.header.iType = RDH_RECTANGLES;
  buf.header.nRgnSize = 0;
  buf.ClearBatch();
  return true;
}

// Turns the batch into a region and adds it to `result`.
void FlushBatch(RectBuffer& buf, HRGN& result) {
  std::memcpy(buf.data, &buf.header, sizeof buf.header);
  HRGN h = ExtCreateRegion(nullptr, static_cast<DWORD>(BufferBytes(buf.maxRects)),
                           reinterpret_cast<const RGNDATA*>(buf.data));
  if (result) {
    CombineRgn(result, result, h, RGN_OR);
    DeleteObject(h);
  } else {
    result = h;
  }
  buf.ClearBatch();
}

// Adds the rectangle (x0, y, x1, y + 1), growing the block when it is full
// and flushing the batch when it reaches its limit. False when the block
// cannot grow (the rectangle is then dropped and the scan stops).
bool AddRect(RectBuffer& buf, std::int32_t x0, std::int32_t y, std::int32_t x1, HRGN& result) {
  if (static_cast<std::int32_t>(buf.header.nCount) >= buf.maxRects) {
    GlobalUnlock(buf.block);
    const std::int32_t grown = CheckedAdd(buf.maxRects, ALLOC_UNIT, "region buffer size");
    HGLOBAL moved = GlobalReAlloc(buf.block, static_cast<SIZE_T>(BufferBytes(grown)), GMEM_MOVEABLE);
    if (moved) {
      buf.block = moved;
      buf.maxRects = grown;
    }
    buf.data = static_cast<std::uint8_t*>(GlobalLock(buf.block));
    if (!moved || !buf.data) return false;
  }
  const std::int32_t y1 = CheckedAdd(y, 1, "region row");
  const RECT r{x0, y, x1, y1};
  std::memcpy(buf.data + kHeaderSize + static_cast<std::size_t>(buf.header.nCount) * kRectSize, &r, sizeof r);
  RECT& b = buf.header.rcBound;
  b.left = std::min(b.left, x0);
  b.top = std::min(b.top, y);
  b.right = std::max(b.right, x1);
  b.bottom = std::max(b.bottom, y1);
  ++buf.header.nCount;
  if (buf.header.nCount == static_cast<DWORD>(kFlushCount)) FlushBatch(buf, result);
  return true;
}

// Scans the 32-bit section row by row for runs of non-transparent pixels.
// False when the rectangle buffer could not grow.
bool ScanRuns(const std::uint8_t* bits, std::int32_t stride, std::int32_t width, std::int32_t height,
              COLORREF trans, std::uint8_t tolerance, RectBuffer& buf, HRGN& result) {
  const int lr = GetRValue(trans), lg = GetGValue(trans), lb = GetBValue(trans);
  const int hr = std::min(lr + tolerance, 255), hg = std::min(lg + tolerance, 255), hb = std::min(lb + tolerance, 255);
  auto transparent = [&](const std::uint8_t* p) {
    const int b = p[0], g = p[1], r = p[2];
    return r >= lr && r <= hr && g >= lg && g <= hg && b >= lb && b <= hb;
  };
  // Rows are stored bottom-up: the top image row is the last one in memory.
  const std::int32_t lastRow = CheckedMul(CheckedSub(height, 1, "bitmap rows"), stride, "bitmap size");
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* row = bits + (lastRow - static_cast<std::ptrdiff_t>(y) * stride);
    std::int32_t x = 0;
    while (x < width) {
      const std::int32_t x0 = x;
      while (x < width && !transparent(row + static_cast<std::size_t>(x) * 4)) ++x;
      if (x > x0 && !AddRect(buf, x0, y, x, result)) return false;
      ++x;  // step over the transparent pixel that ended the run
    }
  }
  return true;
}

HRGN RegionOfBitmap(HBITMAP inBmp, HPALETTE pal, COLORREF trans, std::uint8_t tolerance) {
  HRGN result = nullptr;
  HDC memDC = CreateCompatibleDC(nullptr);
  if (!memDC) return nullptr;
  BITMAP bm{};
  GetObjectA(inBmp, sizeof bm, &bm);
  const std::int32_t width = bm.bmWidth, height = bm.bmHeight;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: rows stored bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* sectionBits = nullptr;
  HBITMAP section = CreateDIBSection(memDC, &info, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
  if (section) {
    HGDIOBJ oldSection = SelectObject(memDC, section);
    HDC tempDC = CreateCompatibleDC(memDC);
    if (tempDC) {
      HGDIOBJ oldBmp = SelectObject(tempDC, inBmp);
      HPALETTE oldPal = SelectPalette(tempDC, pal, TRUE);
      RealizePalette(tempDC);
      BitBlt(memDC, 0, 0, width, height, tempDC, 0, 0, SRCCOPY);
      SelectPalette(tempDC, oldPal, FALSE);
      SelectObject(tempDC, oldBmp);
      DeleteDC(tempDC);
    }

    BITMAP sbm{};
    GetObjectA(section, sizeof sbm, &sbm);
    std::int32_t stride = sbm.bmWidthBytes;
    if (stride % 4 != 0) stride = CheckedAdd(stride, 4 - stride % 4, "bitmap stride");
    const auto* bits = static_cast<const std::uint8_t*>(sbm.bmBits);

    RectBuffer buf;
    if (bits && OpenBuffer(buf)) {
      if (ScanRuns(bits, stride, width, height, trans, tolerance, buf, result)) {
        // The last batch, also when empty: no opaque pixel gives an empty region.
        FlushBatch(buf, result);
      } else if (result) {
        // Out of memory part way: a partial shape would be wrong, so none.
        DeleteObject(result);
        result = nullptr;
      }
      GlobalUnlock(buf.block);
      GlobalFree(buf.block);
    }
    SelectObject(memDC, oldSection);
    DeleteObject(section);
  }
  DeleteDC(memDC);
  return result;
}

// Releases a memory DC made at creation together with its image and palette.
void ReleaseImageDC(HDC dc) {
  HGDIOBJ bmp = GetCurrentObject(dc, OBJ_BITMAP);
  HGDIOBJ pal = GetCurrentObject(dc, OBJ_PAL);
  DeleteDC(dc);
  DeleteObject(bmp);  // stock objects are left alone
  DeleteObject(pal);
}

void Create(HWND wnd) {
  const std::string normal = ButtonFile("N");

  // Place the button at its client position, sized like the normal image.
  RECT button{}, parent{};
  GetWindowRect(wnd, &button);
  GetWindowRect(GetParent(wnd), &parent);
  std::int32_t w = CheckedSub(button.right, button.left, "button width");
  std::int32_t h = CheckedSub(button.bottom, button.top, "button height");
  HPALETTE pal = nullptr;
  if (HBITMAP bmp = LoadBMPFromFile(normal.c_str(), pal)) {
    BITMAP bm{};
    GetObjectA(bmp, sizeof bm, &bm);
    w = bm.bmWidth;
    h = bm.bmHeight;
    DeleteObject(bmp);
    DeleteObject(pal);
  }
  const std::int32_t x = CheckedSub(CheckedSub(button.left, parent.left, "button position"), 3, "button position");
  const std::int32_t y = CheckedSub(CheckedSub(button.top, parent.top, "button position"), 19, "button position");
  MoveWindow(wnd, x, y, w, h, FALSE);

  const std::array<std::pair<const char*, const char*>, 3> images = {
      {{"N", NormalBmp}, {"H", HoverBmp}, {"P", PressBmp}}};
  for (const auto& [letter, property] : images) {
    HPALETTE imagePal = nullptr;  // a file that does not load leaves it null
    HBITMAP bmp = LoadBMPFromFile(ButtonFile(letter).c_str(), imagePal);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bmp);
    SelectPalette(dc, imagePal, FALSE);
    RealizePalette(dc);
    SetPropA(wnd, property, dc);
  }
  SetState(wnd, kButtonNormal);

  HRGN shape = BitmapToRegion(normal.c_str(), kMagenta, kShapeTolerance);
  if (!shape) return;  // unshaped and not hover-tracked
  SetWindowRgn(wnd, shape, FALSE);
  SetPropA(wnd, ButtonRgn, BitmapToRegion(normal.c_str(), kMagenta, kShapeTolerance));
}

void Destroy(HWND wnd) {
  RemovePropA(wnd, HoverMode);
  if (HANDLE rgn = GetPropA(wnd, ButtonRgn)) {
    DeleteObject(rgn);
    RemovePropA(wnd, ButtonRgn);
  }
  for (const char* property : {PressBmp, HoverBmp, NormalBmp}) {
    if (HANDLE dc = GetPropA(wnd, property)) {
      ReleaseImageDC(static_cast<HDC>(dc));
      RemovePropA(wnd, property);
    }
  }
}

void Paint(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  const char* property = nullptr;
  switch (State(wnd)) {
    case kButtonNormal: property = NormalBmp; break;
    case kButtonHover: property = HoverBmp; break;
    case kButtonPressed: property = PressBmp; break;
    default: break;
  }
  HDC image = property ? static_cast<HDC>(GetPropA(wnd, property)) : nullptr;
  if (!image) {
    // Nothing to show; mark the window painted so no WM_PAINT keeps coming.
    ValidateRect(wnd, nullptr);
    return;
  }
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(wnd, &ps);
  BitBlt(dc, 0, 0, CheckedSub(r.right, r.left, "button width"), CheckedSub(r.bottom, r.top, "button height"), image,
         0, 0, SRCCOPY);
  EndPaint(wnd, &ps);
}

void MouseMove(HWND wnd, WPARAM keys, LPARAM pos) {
  HRGN rgn = static_cast<HRGN>(GetPropA(wnd, ButtonRgn));
  const std::intptr_t state = State(wnd);
  if (!rgn || state == 0) return;
  if (PtInRegion(rgn, GET_X_LPARAM(pos), GET_Y_LPARAM(pos))) {
    if (state != kButtonNormal) return;
    SetState(wnd, (keys & (MK_LBUTTON | MK_RBUTTON)) != 0 ? kButtonPressed : kButtonHover);
    SetCapture(wnd);
    InvalidateRect(wnd, nullptr, FALSE);
    return;
  }
  SetState(wnd, kButtonNormal);
  ReleaseCapture();
  InvalidateRect(wnd, nullptr, FALSE);
}

}  // namespace

HBITMAP LoadBMPFromFile(const char* FileName, HPALETTE& Pal) {
  HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), FileName, IMAGE_BITMAP, 0, 0,
                                                LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bmp) return nullptr;
  BITMAP bm{};
  GetObjectA(bmp, sizeof bm, &bm);
  if (bm.bmPlanes * bm.bmBitsPixel <= 8) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    std::array<RGBQUAD, 256> table{};
    const UINT n = GetDIBColorTable(dc, 0, 256, table.data());
    // A palette record of 256 entries; those the table does not give stay black.
    std::vector<std::uint8_t> record(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY), 0);
    auto* log = reinterpret_cast<LOGPALETTE*>(record.data());
    log->palVersion = PALETTE_VERSION;
    log->palNumEntries = 256;
    for (UINT i = 0; i < n; ++i) {
      const PALETTEENTRY e{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
      std::memcpy(record.data() + offsetof(LOGPALETTE, palPalEntry) + i * sizeof e, &e, sizeof e);
    }
    Pal = CreatePalette(log);
    SelectObject(dc, old);
    DeleteDC(dc);
  } else {
    HDC screen = GetDC(nullptr);
    Pal = CreateHalftonePalette(screen);
    ReleaseDC(nullptr, screen);
  }
  return bmp;
}

HRGN BitmapToRegion(const char* BmpName, COLORREF TransColor, std::uint8_t Tolerance) {
  HPALETTE pal = nullptr;
  HBITMAP inBmp = LoadBMPFromFile(BmpName, pal);
  if (!inBmp) return nullptr;
  HRGN result = RegionOfBitmap(inBmp, pal, TransColor, Tolerance);
  DeleteObject(pal);
  DeleteObject(inBmp);
  return result;
}

LRESULT HoverButtonHandler(HWND Wnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
  switch (iMsg) {
    case WM_CREATE:
      Create(Wnd);
      return 0;
    case WM_DESTROY:
      Destroy(Wnd);
      return 0;
    case WM_PAINT:
      Paint(Wnd);
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(Wnd, wParam, lParam);
      return 0;
    case WM_LBUTTONDOWN:
      SetCapture(Wnd);
      SetState(Wnd, kButtonPressed);
      InvalidateRect(Wnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:
      if (State(Wnd) == kButtonPressed) {
        PostMessageA(GetParent(Wnd), WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID(Wnd)), 0);
      }
      SetState(Wnd, kButtonNormal);
      ReleaseCapture();
      InvalidateRect(Wnd, nullptr, FALSE);
      return 0;
    default:
      return DefWindowProcA(Wnd, iMsg, wParam, lParam);
  }
}
