// The layer's global memory, bitmaps, device contexts, palettes and region
// calls, through their desktop-API entry points on the headless backend.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "platform/gdi_log.h"
#include "platform/globalmem.h"
#include "platform/headless.h"
#include "support/bmp_file.h"

namespace {

class LayerGdi : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessPlatform(800, 600);
    ResetGlobalMemory();
    ResetRegionDataLog();
  }
  void TearDown() override {
    ResetPlatform();
    ResetGlobalMemory();
  }
};

BITMAPINFO Info32(int w, int h) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  return info;
}

std::vector<std::uint8_t> RegionBlock(std::uint32_t count, const std::vector<RECT>& rects) {
  std::vector<std::uint8_t> block(sizeof(RGNDATAHEADER) + sizeof(RECT) * rects.size());
  RGNDATAHEADER h;
  h.dwSize = sizeof(RGNDATAHEADER);
  h.iType = RDH_RECTANGLES;
  h.nCount = count;
  std::memcpy(block.data(), &h, sizeof h);
  if (!rects.empty()) std::memcpy(block.data() + sizeof h, rects.data(), sizeof(RECT) * rects.size());
  return block;
}

}  // namespace

TEST_F(LayerGdi, MovableMemoryCountsLocksAndIsNeverMovedWhileLocked) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8);
  ASSERT_NE(h, nullptr);
  auto* p = static_cast<std::uint8_t*>(GlobalLock(h));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[7], 0);
  p[0] = 0xAB;
  EXPECT_EQ(GlobalLock(h), p);
  EXPECT_EQ(GlobalReAlloc(h, 64, GMEM_MOVEABLE), nullptr) << "a locked block stays where it is";
  EXPECT_TRUE(GlobalUnlock(h)) << "still locked once";
  EXPECT_FALSE(GlobalUnlock(h));
  EXPECT_FALSE(GlobalUnlock(h)) << "unlocking an unlocked block fails";

  ASSERT_EQ(GlobalReAlloc(h, 64, GMEM_MOVEABLE), h) << "a movable block keeps its handle";
  EXPECT_EQ(GlobalSize(h), 64u);
  p = static_cast<std::uint8_t*>(GlobalLock(h));
  EXPECT_EQ(p[0], 0xAB) << "contents survive the reallocation";
  GlobalUnlock(h);

  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(GlobalFree(h), h) << "a stale handle is refused";
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(GlobalReAlloc(h, 8, GMEM_MOVEABLE), nullptr);
  EXPECT_EQ(GlobalLiveBlocks(), 0u);
}

TEST_F(LayerGdi, DibSectionIsDescribedAndTakesCopiesFromOtherDepths) {
  HDC dst = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  BITMAPINFO info = Info32(3, 2);
  HBITMAP section = CreateDIBSection(dst, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(section, nullptr);
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(section, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 3);
  EXPECT_EQ(bm.bmHeight, 2);
  EXPECT_EQ(bm.bmWidthBytes, 12);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(bm.bmBits, bits);
  HGDIOBJ first = SelectObject(dst, section);
  EXPECT_EQ(GetCurrentObject(dst, OBJ_BITMAP), section);
  EXPECT_FALSE(DeleteObject(section)) << "a selected bitmap is not deleted";

  // An 8-bit file: index x + 2y into a four-colour table, copied into the
  // bottom-up 32-bit section.
  ScratchDir dir("gdi");
  const std::vector<Rgb8> table = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
  WriteBmp8(dir.File("p.bmp"), 2, 2, table, [](int x, int y) { return static_cast<std::uint8_t>(x + 2 * y); });
  HBITMAP loaded = static_cast<HBITMAP>(
      LoadImageA(nullptr, dir.File("p.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_NE(loaded, nullptr);
  HDC src = CreateCompatibleDC(nullptr);
  SelectObject(src, loaded);
  std::vector<RGBQUAD> colors(8);
  ASSERT_EQ(GetDIBColorTable(src, 1, 8, colors.data()), 8u);
  std::vector<RGBQUAD> tail(8);
  EXPECT_EQ(GetDIBColorTable(src, 250, 8, tail.data()), 6u) << "the table has 2^8 entries";
  EXPECT_EQ(colors[0].rgbRed, 40);
  EXPECT_EQ(colors[0].rgbBlue, 60);
  ASSERT_TRUE(BitBlt(dst, 1, 0, 5, 5, src, 0, 0, SRCCOPY)) << "the copy is clipped to both bitmaps";

  auto pixel = [&](int x, int y) {  // y from the top; rows stored bottom-up
    const auto* p = static_cast<const std::uint8_t*>(bits) + (1 - y) * 12 + x * 4;
    return Rgb8{p[2], p[1], p[0]};
  };
  struct Want { int x, y; Rgb8 c; };
  for (const Want& w : {Want{0, 0, {0, 0, 0}}, Want{1, 0, table[0]}, Want{2, 0, table[1]}, Want{1, 1, table[2]},
                        Want{2, 1, table[3]}}) {
    const Rgb8 got = pixel(w.x, w.y);
    EXPECT_TRUE(got.r == w.c.r && got.g == w.c.g && got.b == w.c.b) << w.x << "," << w.y;
  }

  EXPECT_EQ(SelectObject(dst, first), section);
  EXPECT_TRUE(DeleteObject(section));
  EXPECT_TRUE(DeleteDC(src));
  EXPECT_TRUE(DeleteObject(loaded)) << "deleting the DC released its bitmap";
  EXPECT_TRUE(DeleteDC(dst));
}

TEST_F(LayerGdi, BadBitmapRequestsAreRefused) {
  ScratchDir dir("gdi_bad");
  std::ofstream(dir.File("junk.bmp")) << "not a bitmap";
  EXPECT_EQ(LoadImageA(nullptr, dir.File("junk.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(LoadImageA(nullptr, dir.File("none.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  struct Case { const char* why; LONG w, h; WORD bits; };
  for (const Case& c : {Case{"zero width", 0, 4, 32}, Case{"zero height", 4, 0, 32}, Case{"12 bits", 4, 4, 12},
                        Case{"too many pixels", 1 << 15, 1 << 15, 32}}) {
    BITMAPINFO info = Info32(c.w, c.h);
    info.bmiHeader.biBitCount = c.bits;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << c.why;
    EXPECT_EQ(bits, nullptr) << c.why;
  }
}

TEST_F(LayerGdi, RegionCallsBuildCombineAndTest) {
  const std::vector<RECT> rects = {{0, 0, 2, 1}, {4, 0, 6, 1}};
  auto block = RegionBlock(2, rects);
  HRGN a = ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()), reinterpret_cast<RGNDATA*>(block.data()));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(RegionDataLog(), std::vector<DWORD>{2});
  auto shortBlock = RegionBlock(3, rects);  // announces more rectangles than it holds
  EXPECT_EQ(ExtCreateRegion(nullptr, static_cast<DWORD>(shortBlock.size()), reinterpret_cast<RGNDATA*>(shortBlock.data())),
            nullptr);
  XFORM xf{1, 0, 0, 1, 0, 0};
  EXPECT_EQ(ExtCreateRegion(&xf, static_cast<DWORD>(block.size()), reinterpret_cast<RGNDATA*>(block.data())), nullptr);

  HRGN b = CreateRectRgn(2, 3, 1, 0);  // corners in either order
  RECT box{};
  EXPECT_EQ(GetRgnBox(b, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 1);
  EXPECT_EQ(box.bottom, 3);
  EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), COMPLEXREGION) << "the destination may be a source";
  struct P { int x, y; bool in; };
  for (const P& p : {P{0, 0, true}, P{1, 2, true}, P{2, 0, false}, P{2, 2, false}, P{5, 0, true}, P{6, 0, false}})
    EXPECT_EQ(PtInRegion(a, p.x, p.y) != FALSE, p.in) << p.x << "," << p.y;
  EXPECT_EQ(CombineRgn(a, a, b, 99), ERROR) << "unknown mode";
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_EQ(PtInRegion(b, 1, 1), FALSE);
  EXPECT_EQ(GetRgnBox(b, &box), ERROR);
}

TEST_F(LayerGdi, WindowOwnsItsRegion) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Plain";
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, "Plain", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  HWND child = CreateWindowExA(0, "Plain", "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, top,
                               reinterpret_cast<HMENU>(std::uintptr_t{7}), nullptr, nullptr);
  HRGN first = CreateRectRgn(0, 0, 5, 5);
  ASSERT_TRUE(SetWindowRgn(child, first, FALSE));
  EXPECT_FALSE(DeleteObject(first)) << "the window's region is not the caller's to delete";
  EXPECT_EQ(WindowFromPoint(POINT{12, 12}), child);
  EXPECT_EQ(WindowFromPoint(POINT{20, 20}), top) << "outside the child's region";

  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(child, copy), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(copy, 4, 4));
  ASSERT_TRUE(SetWindowRgn(child, CreateRectRgn(0, 0, 20, 20), FALSE));
  EXPECT_EQ(GetObjectType(first), 0u) << "replacing the region deletes the old one";
  EXPECT_EQ(WindowFromPoint(POINT{20, 20}), child);
  DestroyWindow(top);
}

TEST_F(LayerGdi, PalettesAreMadeSelectedAndProtected) {
  std::vector<std::uint8_t> record(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 2);
  auto* log = reinterpret_cast<LOGPALETTE*>(record.data());
  log->palVersion = PALETTE_VERSION;
  log->palNumEntries = 3;
  log->palPalEntry[0] = PALETTEENTRY{1, 2, 3, 0};
  HPALETTE pal = CreatePalette(log);
  ASSERT_NE(pal, nullptr);
  EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 3u);
  log->palVersion = 0x200;
  EXPECT_EQ(CreatePalette(log), nullptr) << "wrong version";

  HDC dc = CreateCompatibleDC(nullptr);
  HPALETTE previous = SelectPalette(dc, pal, TRUE);
  EXPECT_EQ(previous, GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), pal);
  EXPECT_FALSE(DeleteObject(pal)) << "selected into a DC";
  EXPECT_EQ(SelectPalette(dc, previous, FALSE), pal);
  EXPECT_TRUE(DeleteObject(pal));
  DeleteDC(dc);
}
