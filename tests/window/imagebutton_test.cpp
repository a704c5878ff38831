// Image buttons through the headless backend: shaping regions from bitmap
// files, palettes for loaded bitmaps, and the button's states, capture,
// painting, clicks and clean-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi_log.h"
#include "platform/globalmem.h"
#include "platform/headless.h"
#include "support/bmp_file.h"
#include "window/imagebutton.h"

namespace {

constexpr Rgb8 kMagenta{255, 0, 255};
constexpr Rgb8 kRed{255, 0, 0};
constexpr Rgb8 kGreen{0, 255, 0};
constexpr Rgb8 kBlue{0, 0, 255};

// Pixel art for bitmaps: '.' is magenta, 't' is within the tolerance of
// magenta, everything else is opaque ('o', 'b' and 'g' just outside the
// tolerance, '#' red).
Rgb8 ArtColor(char c) {
  switch (c) {
    case '.': return kMagenta;
    case 't': return Rgb8{255, 1, 255};
    case 'o': return Rgb8{254, 0, 255};
    case 'b': return Rgb8{255, 0, 254};
    case 'g': return Rgb8{255, 2, 255};
    default: return kRed;
  }
}
bool ArtTransparent(char c) { return c == '.' || c == 't'; }

void WriteArt(const std::string& path, const std::vector<std::string>& art, bool eightBit) {
  const int w = static_cast<int>(art[0].size()), h = static_cast<int>(art.size());
  if (!eightBit) {
    WriteBmp24(path, w, h, [&](int x, int y) { return ArtColor(art[y][x]); });
    return;
  }
  const std::string chars = ".tobg#";
  std::vector<Rgb8> palette;
  for (char c : chars) palette.push_back(ArtColor(c));
  WriteBmp8(path, w, h, palette, [&](int x, int y) { return static_cast<std::uint8_t>(chars.find(art[y][x])); });
}

int CountRuns(const std::vector<std::string>& art) {
  int runs = 0;
  for (const std::string& row : art)
    for (std::size_t x = 0; x < row.size(); ++x)
      if (!ArtTransparent(row[x]) && (x == 0 || ArtTransparent(row[x - 1]))) ++runs;
  return runs;
}

std::intptr_t StateOf(HWND button) { return reinterpret_cast<std::intptr_t>(GetPropA(button, HoverMode)); }

struct Command {
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Command> g_commands;

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND) g_commands.push_back({wParam, lParam});
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

class ImageButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessPlatform(1024, 768);
    ResetRegionDataLog();
    ResetGlobalMemory();
    g_commands.clear();
    BMPType = dir.File("btn_");
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = HoverButtonHandler;
    wc.lpszClassName = szHoverClass;
    ASSERT_NE(RegisterClassExA(&wc), 0);
    WNDCLASSA pc{};
    pc.lpfnWndProc = ParentProc;
    pc.lpszClassName = "ButtonParent";
    ASSERT_NE(RegisterClassA(&pc), 0);
  }
  void TearDown() override {
    BMPType.clear();
    ResetPlatform();
    ResetGlobalMemory();
  }

  // Normal red, hover green, pressed blue: 20 × 12 with a cut-out 4 × 4
  // top-left corner and a 3 × 2 hole at (10, 5).
  static bool Opaque(int x, int y) { return !(x < 4 && y < 4) && !(x >= 10 && x < 13 && y >= 5 && y < 7); }
  void WriteButtonImages(bool normal = true) {
    auto image = [](Rgb8 fill) { return [fill](int x, int y) { return Opaque(x, y) ? fill : kMagenta; }; };
    if (normal) WriteBmp24(BMPType + "N.BMP", 20, 12, image(kRed));
    WriteBmp24(BMPType + "H.BMP", 20, 12, image(kGreen));
    WriteBmp24(BMPType + "P.BMP", 20, 12, image(kBlue));
  }
  HWND MakeParent() {
    return CreateWindowExA(0, "ButtonParent", "", WS_POPUP | WS_VISIBLE, 100, 50, 300, 200, nullptr, nullptr,
                           nullptr, nullptr);
  }
  HWND MakeButton(HWND parent) {
    return CreateWindowExA(0, szHoverClass, "", WS_CHILD | WS_VISIBLE, 30, 40, 5, 5, parent,
                           reinterpret_cast<HMENU>(std::uintptr_t{42}), nullptr, nullptr);
  }
  // Colour of a pixel the button shows, read back through its device context.
  Rgb8 Shown(HWND button, int x, int y) {
    HDC window = GetDC(button);
    HDC mem = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, 1, 1, window, x, y, SRCCOPY);
    const auto* p = static_cast<const std::uint8_t*>(bits);
    const Rgb8 c{p[2], p[1], p[0]};
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(button, window);
    return c;
  }

  ScratchDir dir{"imagebutton"};
};

bool SameColor(Rgb8 a, Rgb8 b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

}  // namespace

// --- Regions from bitmaps ----------------------------------------------------

TEST_F(ImageButtonTest, RegionFollowsTheOpaquePixelsRowByRow) {
  struct Case {
    const char* name;
    std::vector<std::string> art;
  };
  const std::vector<Case> cases = {
      {"solid rectangle", {"............", "..########..", "..########..", "..########..", "............"}},
      {"two runs, an empty row, a full row", {"##...##", ".......", "#######"}},
      {"tolerance widens upward only", {"#.#t#o.b.g#"}},
      {"runs touching the edges", {"#..#", "####", "...#"}},
  };
  for (bool eightBit : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (eightBit ? " (8-bit)" : " (24-bit)"));
      ResetRegionDataLog();
      const std::string file = dir.File("art.bmp");
      WriteArt(file, c.art, eightBit);
      HRGN rgn = BitmapToRegion(file.c_str(), 0xFF00FF, 1);
      ASSERT_NE(rgn, nullptr);
      for (int y = 0; y < static_cast<int>(c.art.size()); ++y)
        for (int x = 0; x < static_cast<int>(c.art[0].size()); ++x)
          EXPECT_EQ(PtInRegion(rgn, x, y) != FALSE, !ArtTransparent(c.art[y][x])) << x << "," << y;
      EXPECT_FALSE(PtInRegion(rgn, -1, 0));
      EXPECT_FALSE(PtInRegion(rgn, 0, static_cast<int>(c.art.size())));
      // One rectangle per run, all in one batch.
      EXPECT_EQ(RegionDataLog(), std::vector<DWORD>{static_cast<DWORD>(CountRuns(c.art))});
      EXPECT_EQ(GlobalLiveBlocks(), 0u) << "the rectangle buffer is freed";
      DeleteObject(rgn);
    }
  }
}

TEST_F(ImageButtonTest, SolidRectangleGivesThatRectangle) {
  const std::string file = dir.File("solid.bmp");
  WriteBmp24(file, 12, 9, [](int x, int y) { return x >= 2 && x < 10 && y >= 3 && y < 7 ? kRed : kMagenta; });
  HRGN rgn = BitmapToRegion(file.c_str(), 0xFF00FF, 1);
  RECT box{};
  EXPECT_EQ(GetRgnBox(rgn, &box), SIMPLEREGION) << "rows of equal runs merge into one rectangle";
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.top, 3);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(box.bottom, 7);
  EXPECT_EQ(RegionDataLog(), std::vector<DWORD>{4});
}

TEST_F(ImageButtonTest, TransparentColourIsReadAsRedGreenBlueFromTheLowByte) {
  const std::string file = dir.File("order.bmp");
  // (10, 20, 30) is the transparent colour; (30, 20, 10) is not.
  WriteBmp24(file, 2, 1, [](int x, int) { return x == 0 ? Rgb8{10, 20, 30} : Rgb8{30, 20, 10}; });
  HRGN rgn = BitmapToRegion(file.c_str(), RGB(10, 20, 30), 0);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_TRUE(PtInRegion(rgn, 1, 0));
}

TEST_F(ImageButtonTest, ManyRectanglesAreFlushedInBatchesOf2000) {
  // 100 × 50 alternating opaque and magenta: 50 runs per row, 2,500 in all.
  const std::string file = dir.File("stripes.bmp");
  WriteBmp24(file, 100, 50, [](int x, int) { return x % 2 == 0 ? kRed : kMagenta; });
  HRGN rgn = BitmapToRegion(file.c_str(), 0xFF00FF, 1);
  ASSERT_NE(rgn, nullptr);
  EXPECT_EQ(RegionDataLog(), (std::vector<DWORD>{2000, 500}));
  // The buffer starts at 100 rectangles and grows by 100 up to 2,000.
  std::vector<std::size_t> sizes;
  for (std::size_t n = 100; n <= 2000; n += 100) sizes.push_back(32 + 16 * n);
  EXPECT_EQ(GlobalSizeLog(), sizes);
  EXPECT_EQ(GlobalLiveBlocks(), 0u);
  for (int y : {0, 24, 25, 49})
    for (int x : {0, 1, 50, 98, 99}) EXPECT_EQ(PtInRegion(rgn, x, y) != FALSE, x % 2 == 0) << x << "," << y;
}

TEST_F(ImageButtonTest, NoOpaquePixelGivesAValidEmptyRegionAndNoFileGivesNone) {
  const std::string file = dir.File("blank.bmp");
  WriteBmp24(file, 5, 4, [](int, int) { return kMagenta; });
  HRGN rgn = BitmapToRegion(file.c_str(), 0xFF00FF, 1);
  ASSERT_NE(rgn, nullptr);
  RECT box{1, 1, 1, 1};
  EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
  EXPECT_EQ(RegionDataLog(), std::vector<DWORD>{0}) << "the final flush runs with no rectangles";

  ResetRegionDataLog();
  EXPECT_EQ(BitmapToRegion(dir.File("missing.bmp").c_str(), 0xFF00FF, 1), nullptr);
  EXPECT_TRUE(RegionDataLog().empty());
  EXPECT_EQ(GlobalLiveBlocks(), 0u);
}

// --- Palettes for loaded bitmaps ---------------------------------------------

TEST_F(ImageButtonTest, PaletteComesFromTheColourTableOrIsTheHalftonePalette) {
  const std::string eight = dir.File("eight.bmp"), deep = dir.File("deep.bmp");
  const std::vector<Rgb8> table = {{1, 2, 3}, {200, 100, 50}, {9, 8, 7}};
  WriteBmp8(eight, 3, 2, table, [](int x, int) { return static_cast<std::uint8_t>(x); });
  WriteBmp24(deep, 3, 2, [](int, int) { return kRed; });

  HPALETTE pal = nullptr;
  HBITMAP bmp = LoadBMPFromFile(eight.c_str(), pal);
  ASSERT_NE(bmp, nullptr);
  std::vector<PALETTEENTRY> entries(256);
  ASSERT_EQ(GetPaletteEntries(pal, 0, 256, entries.data()), 256u);
  for (std::size_t i = 0; i < 256; ++i) {
    const Rgb8 want = i < table.size() ? table[i] : Rgb8{};  // entries beyond the table are black
    EXPECT_TRUE(entries[i].peRed == want.r && entries[i].peGreen == want.g && entries[i].peBlue == want.b) << i;
    EXPECT_EQ(entries[i].peFlags, 0);
  }
  DeleteObject(pal);
  DeleteObject(bmp);

  bmp = LoadBMPFromFile(deep.c_str(), pal);
  ASSERT_NE(bmp, nullptr);
  HPALETTE halftone = CreateHalftonePalette(nullptr);
  const UINT n = GetPaletteEntries(halftone, 0, 0, nullptr);
  ASSERT_GT(n, 0u);
  std::vector<PALETTEENTRY> got(n), want(n);
  ASSERT_EQ(GetPaletteEntries(pal, 0, n, got.data()), n);
  GetPaletteEntries(halftone, 0, n, want.data());
  for (UINT i = 0; i < n; ++i)
    EXPECT_TRUE(got[i].peRed == want[i].peRed && got[i].peGreen == want[i].peGreen && got[i].peBlue == want[i].peBlue);

  HPALETTE before = pal;
  EXPECT_EQ(LoadBMPFromFile(dir.File("missing.bmp").c_str(), pal), nullptr);
  EXPECT_EQ(pal, before) << "a failed load leaves the palette alone";
}

// --- The button window ---------------------------------------------------------

TEST_F(ImageButtonTest, CreationSizesPlacesShapesAndStoresTheImages) {
  WriteButtonImages();
  HWND parent = MakeParent();
  HWND button = MakeButton(parent);
  ASSERT_NE(button, nullptr);

  // Created at (30, 40) in a frameless parent at (100, 50): moved by
  // (-3, -19) and sized like the normal image.
  RECT r{};
  GetWindowRect(button, &r);
  EXPECT_EQ(r.left, 100 + 30 - 3);
  EXPECT_EQ(r.top, 50 + 40 - 19);
  EXPECT_EQ(r.right - r.left, 20);
  EXPECT_EQ(r.bottom - r.top, 12);

  EXPECT_EQ(StateOf(button), kButtonNormal);
  for (const char* p : {NormalBmp, HoverBmp, PressBmp}) EXPECT_EQ(GetObjectType(GetPropA(button, p)), OBJ_MEMDC) << p;
  HRGN hit = static_cast<HRGN>(GetPropA(button, ButtonRgn));
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(button, shape), ERROR);
  ASSERT_NE(hit, nullptr);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) {
      EXPECT_EQ(PtInRegion(shape, x, y) != FALSE, Opaque(x, y)) << x << "," << y;
      EXPECT_EQ(PtInRegion(hit, x, y) != FALSE, Opaque(x, y)) << x << "," << y;
    }
  EXPECT_NE(static_cast<void*>(hit), static_cast<void*>(shape));
  EXPECT_EQ(GlobalLiveBlocks(), 0u);
}

TEST_F(ImageButtonTest, HoverPressAndLeaveChangeStateCaptureAndImage) {
  WriteButtonImages();
  HWND parent = MakeParent();
  HWND button = MakeButton(parent);
  Pump();
  EXPECT_TRUE(SameColor(Shown(button, 8, 8), kRed));

  struct Step {
    const char* what;
    enum { Move, LeftDown, LeftUp, RightDown, RightUp } action;
    int x, y;
    std::intptr_t state;
    bool captured;
    Rgb8 shown;
  };
  const Step steps[] = {
      {"enter", Step::Move, 8, 8, kButtonHover, true, kGreen},
      {"move within", Step::Move, 15, 9, kButtonHover, true, kGreen},
      {"onto a cut-out pixel", Step::Move, 1, 1, kButtonNormal, false, kRed},
      {"cut-out pixels belong to the parent", Step::Move, 2, 2, kButtonNormal, false, kRed},
      {"enter again", Step::Move, 8, 8, kButtonHover, true, kGreen},
      {"leave the rectangle", Step::Move, 30, 30, kButtonNormal, false, kRed},
      {"press outside, drag in", Step::LeftDown, -10, -10, kButtonNormal, false, kRed},
      {"enter while held", Step::Move, 8, 8, kButtonPressed, true, kBlue},
      {"leave while held", Step::Move, -10, 5, kButtonNormal, false, kRed},
      {"release outside", Step::LeftUp, -10, 5, kButtonNormal, false, kRed},
      {"right button held", Step::RightDown, -10, -10, kButtonNormal, false, kRed},
      {"enter with right held", Step::Move, 8, 8, kButtonPressed, true, kBlue},
      {"leave", Step::Move, 40, 8, kButtonNormal, false, kRed},
      {"release right", Step::RightUp, 40, 8, kButtonNormal, false, kRed},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    switch (s.action) {
      case Step::Move: HeadlessMouseMoveClient(button, s.x, s.y); break;
      case Step::LeftDown: HeadlessMouseButtonClient(button, MouseButton::Left, true, s.x, s.y); break;
      case Step::LeftUp: HeadlessMouseButtonClient(button, MouseButton::Left, false, s.x, s.y); break;
      case Step::RightDown: HeadlessMouseButtonClient(button, MouseButton::Right, true, s.x, s.y); break;
      case Step::RightUp: HeadlessMouseButtonClient(button, MouseButton::Right, false, s.x, s.y); break;
    }
    Pump();
    EXPECT_EQ(StateOf(button), s.state);
    EXPECT_EQ(GetCapture() == button, s.captured);
    EXPECT_TRUE(SameColor(Shown(button, 8, 8), s.shown));
  }
  EXPECT_TRUE(g_commands.empty());
}

TEST_F(ImageButtonTest, OnlyAPressAndReleaseOnTheButtonClicks) {
  struct Action {
    bool move;  // else the left button
    bool down;
    int x, y;
  };
  struct Case {
    const char* name;
    std::vector<Action> actions;
    std::size_t commands;
  };
  const std::vector<Case> cases = {
      {"press and release inside", {{false, true, 8, 8}, {false, false, 8, 8}}, 1},
      {"hover, press, move within, release", {{true, false, 8, 8}, {false, true, 8, 8}, {true, false, 15, 9},
                                              {false, false, 15, 9}}, 1},
      {"press inside, move out, release", {{false, true, 8, 8}, {true, false, 40, 8}, {false, false, 40, 8}}, 0},
      {"press on a cut-out pixel", {{false, true, 1, 1}, {false, false, 1, 1}}, 0},
      {"press outside, release inside", {{false, true, -5, -5}, {false, false, 8, 8}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetPlatform();
    SetUp();
    WriteButtonImages();
    HWND parent = MakeParent();
    HWND button = MakeButton(parent);
    Pump();
    for (const Action& a : c.actions) {
      if (a.move) HeadlessMouseMoveClient(button, a.x, a.y);
      else HeadlessMouseButtonClient(button, MouseButton::Left, a.down, a.x, a.y);
      Pump();
    }
    ASSERT_EQ(g_commands.size(), c.commands);
    for (const Command& cmd : g_commands) {
      EXPECT_EQ(cmd.wParam, 42u);
      EXPECT_EQ(cmd.lParam, 0);
    }
    EXPECT_EQ(StateOf(button), kButtonNormal);
    EXPECT_NE(GetCapture(), button);
  }
}

TEST_F(ImageButtonTest, DestroyRemovesEveryPropertyAndReleasesItsObjects) {
  WriteButtonImages();
  HWND parent = MakeParent();
  HWND button = MakeButton(parent);
  std::vector<HGDIOBJ> objects = {GetPropA(button, ButtonRgn)};
  for (const char* p : {NormalBmp, HoverBmp, PressBmp}) {
    HDC dc = static_cast<HDC>(GetPropA(button, p));
    objects.push_back(dc);
    objects.push_back(GetCurrentObject(dc, OBJ_BITMAP));
    objects.push_back(GetCurrentObject(dc, OBJ_PAL));
  }
  SendMessageA(button, WM_DESTROY, 0, 0);
  for (const char* p : {HoverMode, ButtonRgn, NormalBmp, HoverBmp, PressBmp}) EXPECT_EQ(GetPropA(button, p), nullptr) << p;
  for (HGDIOBJ o : objects) EXPECT_EQ(GetObjectType(o), 0u) << "released: " << o;
  EXPECT_TRUE(DestroyWindow(button));
}

TEST_F(ImageButtonTest, MissingNormalImageLeavesTheButtonUnshapedAndUntracked) {
  WriteButtonImages(/*normal=*/false);
  HWND parent = MakeParent();
  HWND button = MakeButton(parent);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(StateOf(button), kButtonNormal);
  EXPECT_EQ(GetPropA(button, ButtonRgn), nullptr);
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(button, shape), ERROR);
  RECT r{};
  GetWindowRect(button, &r);
  EXPECT_EQ(r.right - r.left, 5) << "keeps the size it was created with";
  EXPECT_TRUE(RegionDataLog().empty());

  HeadlessMouseMoveClient(button, 2, 2);
  Pump();
  EXPECT_EQ(StateOf(button), kButtonNormal) << "no hover tracking without a region";
  EXPECT_NE(GetCapture(), button);
}
