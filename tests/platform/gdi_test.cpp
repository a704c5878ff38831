// Device contexts, pixel-format choice, GL contexts and buffer swaps, and
// the GDI objects behind bitmaps, regions, palettes, cursors and global
// memory.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "platform_fixture.h"

namespace {

using GdiTest = PlatformTest;

PIXELFORMATDESCRIPTOR Request(DWORD flags, BYTE bits) {
  PIXELFORMATDESCRIPTOR p;
  p.nSize = 40;
  p.nVersion = 1;
  p.dwFlags = flags;
  p.iPixelType = PFD_TYPE_RGBA;
  p.cColorBits = p.cAlphaBits = p.cAccumBits = p.cDepthBits = p.cStencilBits = p.cAuxBuffers = bits;
  p.iLayerType = 1;
  return p;
}

PIXELFORMATDESCRIPTOR Offer(DWORD flags, BYTE color, BYTE depth, BYTE stencil) {
  PIXELFORMATDESCRIPTOR p;
  p.nSize = 40;
  p.nVersion = 1;
  p.dwFlags = flags | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  p.cColorBits = color;
  p.cDepthBits = depth;
  p.cStencilBits = stencil;
  return p;
}

TEST_F(GdiTest, ChoosePixelFormatPicksTheNearestOffer) {
  HWND hwnd = MakeWindow();
  HDC dc = GetDC(hwnd);
  ASSERT_NE(dc, nullptr);
  HeadlessSetPixelFormats({
      Offer(0, 32, 24, 8),                 // 1: single buffered
      Offer(PFD_DOUBLEBUFFER, 16, 16, 0),  // 2
      Offer(PFD_DOUBLEBUFFER, 32, 24, 8),  // 3
      Offer(PFD_DOUBLEBUFFER, 32, 16, 0),  // 4
  });
  struct Case {
    PIXELFORMATDESCRIPTOR request;
    int expected;
  };
  const Case cases[] = {
      {Request(0x1067, 32), 3},  // the program's request: everything at 32 bits, double buffered
      {Request(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER, 16), 2},
      {Request(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL, 32), 1},
      {Request(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER_DONTCARE, 32), 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ChoosePixelFormat(dc, &c.request), c.expected);

  const PIXELFORMATDESCRIPTOR req = Request(0x1067, 32);
  EXPECT_EQ(ChoosePixelFormat(nullptr, &req), 0);
  HeadlessSetPixelFormats({});
  EXPECT_EQ(ChoosePixelFormat(dc, &req), 0);  // 0 only when there is none at all
  EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
}

TEST_F(GdiTest, ContextNeedsAPixelFormatAndFollowsItsWindow) {
  HWND hwnd = MakeWindow();
  HDC dc = GetDC(hwnd);
  const PIXELFORMATDESCRIPTOR req = Request(0x1067, 32);
  EXPECT_FALSE(SetPixelFormat(dc, 0, &req));
  EXPECT_EQ(wglCreateContext(dc), nullptr);  // no pixel format yet
  EXPECT_EQ(ContextAttemptCount(), 1);

  const int format = ChoosePixelFormat(dc, &req);
  ASSERT_TRUE(SetPixelFormat(dc, format, &req));
  EXPECT_EQ(GetPixelFormat(dc), format);
  HGLRC rc = wglCreateContext(dc);
  ASSERT_NE(rc, nullptr);
  ASSERT_TRUE(wglMakeCurrent(dc, rc));
  EXPECT_EQ(wglGetCurrentContext(), rc);
  EXPECT_EQ(wglGetCurrentDC(), dc);

  // Closing the window releases the context bound to it; the program's
  // teardown calls on the dead handles are then harmless.
  DestroyWindow(hwnd);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_FALSE(SwapBuffers(dc));
  EXPECT_TRUE(wglMakeCurrent(dc, nullptr));
  EXPECT_TRUE(wglDeleteContext(rc));
  EXPECT_FALSE(wglDeleteContext(rc));
  EXPECT_EQ(ReleaseDC(hwnd, dc), 0);
  EXPECT_FALSE(DestroyWindow(hwnd));

  HWND other = MakeWindow();
  HDC odc = GetDC(other);
  ASSERT_TRUE(SetPixelFormat(odc, 1, &req));
  HeadlessFailContexts(true);
  EXPECT_EQ(wglCreateContext(odc), nullptr);
}

int g_hookFrames = 0;
HWND g_hookWindow = nullptr;
void CloseOnThirdFrame(long frame) {
  ++g_hookFrames;
  if (frame == 3) PostMessageA(g_hookWindow, WM_CLOSE, 0, 0);
}

TEST_F(GdiTest, SwapBuffersCountsFramesAndCallsTheHook) {
  g_hookWindow = MakeWindow();
  HDC dc = GetDC(g_hookWindow);
  g_hookFrames = 0;
  SetFrameHook(CloseOnThirdFrame);
  // A frame loop: one message per frame, until the window is gone.
  for (int guard = 0; guard < 100 && IsWindow(g_hookWindow); ++guard) {
    MSG m;
    if (PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) {
      GetMessageA(&m, nullptr, 0, 0);
      DispatchMessageA(&m);
    }
    SwapBuffers(dc);
  }
  EXPECT_FALSE(IsWindow(g_hookWindow));
  // The closing message is handled in the fourth frame, whose swap finds
  // no window and is not counted.
  EXPECT_EQ(SwapBuffersCount(), 3);
  EXPECT_EQ(g_hookFrames, 3);
  ResetPlatform();
  EXPECT_EQ(SwapBuffersCount(), 0);
}

// A 3x2 8-bit palette BMP, bottom-up: bottom row red, green, blue; top row
// white, black, magenta.
std::string WriteTestBmp() {
  std::vector<std::uint8_t> f;
  auto u16 = [&](unsigned v) { f.push_back(v & 0xFF); f.push_back((v >> 8) & 0xFF); };
  auto u32 = [&](unsigned v) { u16(v & 0xFFFF); u16(v >> 16); };
  const unsigned colors = 6, stride = 4, offset = 14 + 40 + colors * 4;
  f.push_back('B');
  f.push_back('M');
  u32(offset + stride * 2);
  u32(0);
  u32(offset);
  u32(40); u32(3); u32(2); u16(1); u16(8); u32(0); u32(stride * 2); u32(0); u32(0); u32(colors); u32(0);
  const std::uint8_t table[6][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {0, 0, 0}, {255, 0, 255}};
  for (auto& c : table) { f.push_back(c[0]); f.push_back(c[1]); f.push_back(c[2]); f.push_back(0); }  // B, G, R
  for (std::uint8_t v : {0, 1, 2, 0, 3, 4, 5, 0}) f.push_back(v);
  const std::string path = std::string(GARDEN_BINARY_DIR) + "/platform_test_image.bmp";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
  return path;
}

TEST_F(GdiTest, LoadedBitmapDescribesItselfAndCopiesIntoA32BitSection) {
  const std::string path = WriteTestBmp();
  HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), path.c_str(), IMAGE_BITMAP, 0, 0,
                                                LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_NE(bmp, nullptr);
  BITMAP info;
  ASSERT_EQ(GetObjectA(bmp, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
  EXPECT_EQ(info.bmWidthBytes, 4);
  EXPECT_EQ(info.bmPlanes, 1);
  EXPECT_EQ(info.bmBitsPixel, 8);
  EXPECT_NE(info.bmBits, nullptr);

  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, bmp);
  ASSERT_NE(old, nullptr);
  RGBQUAD table[256];
  EXPECT_EQ(GetDIBColorTable(src, 0, 256, table), 256u);  // the decoder fills the whole table
  EXPECT_EQ(table[5].rgbRed, 255);
  EXPECT_EQ(table[5].rgbGreen, 0);

  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = 3;
  bi.bmiHeader.biHeight = 2;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(src, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(section, nullptr);
  HDC dst = CreateCompatibleDC(nullptr);
  SelectObject(dst, section);
  ASSERT_TRUE(BitBlt(dst, 0, 0, 3, 2, src, 0, 0, SRCCOPY));
  const auto* px = static_cast<const std::uint8_t*>(bits);
  // Bottom-up: the first stored row is the bottom one (red, green, blue).
  EXPECT_EQ(px[2], 255);  // red of pixel (0, bottom)
  EXPECT_EQ(px[4 + 1], 255);  // green of pixel (1, bottom)
  EXPECT_EQ(px[12 + 8 + 0], 255);  // blue of magenta, top right
  EXPECT_EQ(px[12 + 8 + 2], 255);

  EXPECT_FALSE(DeleteObject(bmp));  // still selected
  SelectObject(src, old);
  EXPECT_TRUE(DeleteObject(bmp));
  EXPECT_EQ(GetObjectA(bmp, sizeof info, &info), 0);
  DeleteDC(src);
  DeleteDC(dst);
  DeleteObject(section);

  EXPECT_EQ(LoadImageA(nullptr, "no-such-file.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  std::ofstream(path, std::ios::binary) << "BM too short";
  EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  std::remove(path.c_str());
}

TEST_F(GdiTest, RegionsCombineAndHitTest) {
  // Region data as a growable block of global memory: header + rectangles.
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(RGNDATAHEADER) + 2 * sizeof(RECT));
  auto* data = static_cast<RGNDATA*>(GlobalLock(block));
  data->rdh.dwSize = 32;
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = 2;
  const RECT rects[2] = {{0, 0, 4, 1}, {6, 0, 8, 1}};
  std::memcpy(data->Buffer, rects, sizeof rects);
  GlobalUnlock(block);
  block = GlobalReAlloc(block, sizeof(RGNDATAHEADER) + 3 * sizeof(RECT), GMEM_MOVEABLE);
  data = static_cast<RGNDATA*>(GlobalLock(block));
  ASSERT_EQ(data->rdh.nCount, 2u);  // contents survive the reallocation
  HRGN a = ExtCreateRegion(nullptr, static_cast<DWORD>(GlobalSize(block)), data);
  ASSERT_NE(a, nullptr);
  data->rdh.nCount = 4;  // more rectangles than the block holds
  EXPECT_EQ(ExtCreateRegion(nullptr, static_cast<DWORD>(GlobalSize(block)), data), nullptr);
  GlobalUnlock(block);
  EXPECT_EQ(GlobalFree(block), nullptr);

  HRGN b = CreateRectRgn(2, 0, 7, 2);
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  struct Case {
    int mode;
    int x, y;
    bool inside;
  };
  const Case cases[] = {
      {RGN_OR, 5, 0, true},   {RGN_OR, 5, 1, true},   {RGN_OR, 8, 0, false},
      {RGN_AND, 3, 0, true},  {RGN_AND, 5, 0, false}, {RGN_AND, 1, 0, false},
      {RGN_DIFF, 1, 0, true}, {RGN_DIFF, 3, 0, false}, {RGN_DIFF, 7, 0, true},
      {RGN_XOR, 5, 1, true},  {RGN_XOR, 3, 0, false},
  };
  for (const Case& c : cases) {
    ASSERT_NE(CombineRgn(r, a, b, c.mode), ERROR);
    EXPECT_EQ(PtInRegion(r, c.x, c.y) != 0, c.inside) << "mode " << c.mode << " at " << c.x << "," << c.y;
  }
  RECT box;
  EXPECT_EQ(CombineRgn(r, a, b, RGN_AND), COMPLEXREGION);
  EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.right, 7);
  EXPECT_EQ(CombineRgn(r, b, b, RGN_DIFF), NULLREGION);

  // A window takes ownership of its region.
  HWND hwnd = MakeWindow();
  ASSERT_TRUE(SetWindowRgn(hwnd, a, FALSE));
  EXPECT_FALSE(DeleteObject(a));
  DestroyWindow(hwnd);
  EXPECT_EQ(GetObjectType(a), 0u);
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_TRUE(DeleteObject(r));
}

TEST_F(GdiTest, CursorsIconsBrushesAndStockObjects) {
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // shared
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(32647)), nullptr);                           // no such cursor
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
  EXPECT_NE(GetSysColorBrush(COLOR_BTNFACE), nullptr);
  EXPECT_EQ(GetObjectType(GetStockObject(NULL_BRUSH)), OBJ_BRUSH);
  EXPECT_TRUE(DeleteObject(GetStockObject(NULL_BRUSH)));  // stock objects survive deletion
  EXPECT_EQ(GetObjectType(GetStockObject(NULL_BRUSH)), OBJ_BRUSH);

  // A one-entry cursor file: directory, then a bitmap info header.
  std::vector<std::uint8_t> cur = {0, 0, 2, 0, 1, 0,                  // reserved, cursor, one entry
                                   32, 32, 0, 0, 5, 0, 7, 0,          // 32x32, hot spot (5, 7)
                                   40, 0, 0, 0, 22, 0, 0, 0};         // 40 bytes at offset 22
  cur.resize(22 + 40, 0);
  cur[22] = 40;
  const std::string path = std::string(GARDEN_BINARY_DIR) + "/platform_test.cur";
  auto write = [&](std::size_t n) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(cur.data()), static_cast<std::streamsize>(n));
  };
  write(cur.size());
  HCURSOR c = LoadCursorFromFileA(path.c_str());
  EXPECT_NE(c, nullptr);
  EXPECT_TRUE(DestroyCursor(c));
  write(cur.size() - 1);  // the image runs past the end of the file
  EXPECT_EQ(LoadCursorFromFileA(path.c_str()), nullptr);
  write(4);
  EXPECT_EQ(LoadCursorFromFileA(path.c_str()), nullptr);
  EXPECT_EQ(LoadCursorFromFileA(""), nullptr);
  EXPECT_EQ(LoadCursorFromFileA("no-such.cur"), nullptr);
  std::remove(path.c_str());
}

}  // namespace
