// Showing child windows over the GL frame, checked against a recording
// stand-in for the GL entry points: what is drawn where, clipped how, and
// that every piece of GL state touched is given back.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/child_composite.h"
#include "platform/headless.h"

namespace {

struct Drawn {
  int x, y, width, height;
  unsigned format;
  std::vector<std::uint8_t> pixels;
};

struct GlLog {
  std::vector<std::string> calls;
  std::vector<Drawn> drawn;
  int rasterX = 0, rasterY = 0;
  int attribDepth = 0, clientDepth = 0, matrixDepth = 0;
};
GlLog g_gl;

void PushAttrib(unsigned) { ++g_gl.attribDepth, g_gl.calls.push_back("PushAttrib"); }
void PopAttrib() { --g_gl.attribDepth, g_gl.calls.push_back("PopAttrib"); }
void PushClientAttrib(unsigned) { ++g_gl.clientDepth, g_gl.calls.push_back("PushClientAttrib"); }
void PopClientAttrib() { --g_gl.clientDepth, g_gl.calls.push_back("PopClientAttrib"); }
void MatrixMode(unsigned) {}
void PushMatrix() { ++g_gl.matrixDepth; }
void PopMatrix() { --g_gl.matrixDepth; }
void Nothing() {}
void Ortho(double, double, double, double, double, double) {}
void Viewport(int, int, int, int) {}
void RasterPos2i(int x, int y) { g_gl.rasterX = x, g_gl.rasterY = y; }
void DrawPixels(int w, int h, unsigned format, unsigned, const void* data) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  g_gl.drawn.push_back({g_gl.rasterX, g_gl.rasterY, w, h, format, std::vector<std::uint8_t>(p, p + w * h * 4)});
}
void Cap(unsigned) {}
void AlphaFunc(unsigned, float) {}
void PixelStorei(unsigned, int) {}
void PixelZoom(float, float) {}
void ColorMask(unsigned char, unsigned char, unsigned char, unsigned char) {}

std::string g_missing;  // an entry point the lookup pretends not to have

void* Lookup(const char* name) {
  static const std::map<std::string, void*> table = {
      {"glPushAttrib", reinterpret_cast<void*>(PushAttrib)},
      {"glPopAttrib", reinterpret_cast<void*>(PopAttrib)},
      {"glPushClientAttrib", reinterpret_cast<void*>(PushClientAttrib)},
      {"glPopClientAttrib", reinterpret_cast<void*>(PopClientAttrib)},
      {"glMatrixMode", reinterpret_cast<void*>(MatrixMode)},
      {"glPushMatrix", reinterpret_cast<void*>(PushMatrix)},
      {"glPopMatrix", reinterpret_cast<void*>(PopMatrix)},
      {"glLoadIdentity", reinterpret_cast<void*>(Nothing)},
      {"glOrtho", reinterpret_cast<void*>(Ortho)},
      {"glViewport", reinterpret_cast<void*>(Viewport)},
      {"glRasterPos2i", reinterpret_cast<void*>(RasterPos2i)},
      {"glDrawPixels", reinterpret_cast<void*>(DrawPixels)},
      {"glEnable", reinterpret_cast<void*>(Cap)},
      {"glDisable", reinterpret_cast<void*>(Cap)},
      {"glAlphaFunc", reinterpret_cast<void*>(AlphaFunc)},
      {"glPixelStorei", reinterpret_cast<void*>(PixelStorei)},
      {"glPixelZoom", reinterpret_cast<void*>(PixelZoom)},
      {"glColorMask", reinterpret_cast<void*>(ColorMask)},
  };
  if (name == g_missing) return nullptr;
  auto it = table.find(name);
  return it == table.end() ? nullptr : it->second;
}

LRESULT Plain(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return DefWindowProcA(hwnd, msg, wParam, lParam); }

class ChildComposite : public testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessPlatform(640, 480);
    g_gl = GlLog{};
    g_missing.clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = Plain;
    wc.lpszClassName = "Plain";
    RegisterClassA(&wc);
    top = CreateWindowExA(0, "Plain", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 80, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override { ResetPlatform(); }

  HWND Child(int x, int y, int w, int h, bool visible = true) {
    return CreateWindowExA(0, "Plain", "", WS_CHILD | (visible ? WS_VISIBLE : 0), x, y, w, h, top,
                           reinterpret_cast<HMENU>(std::uintptr_t{1}), nullptr, nullptr);
  }
  static void PaintWhite(HWND child) {
    HDC dc = GetDC(child);
    ASSERT_TRUE(BitBlt(dc, 0, 0, 100, 100, nullptr, 0, 0, WHITENESS));
    ReleaseDC(child, dc);
  }
  void Composite() { layer::CompositeChildren(*layer::LookupWindow(top), Lookup); }

  HWND top = nullptr;
};

}  // namespace

TEST_F(ChildComposite, PaintedChildrenAreDrawnClippedAndShapedWithStateRestored) {
  HWND shaped = Child(10, 20, 4, 3);
  SetWindowRgn(shaped, CreateRectRgn(0, 0, 2, 3), FALSE);  // left half only
  PaintWhite(shaped);
  HWND corner = Child(98, 78, 5, 5);  // hangs over the bottom-right corner
  PaintWhite(corner);
  HWND hidden = Child(0, 0, 5, 5, false);
  PaintWhite(hidden);
  Child(30, 30, 5, 5);  // never painted

  Composite();
  ASSERT_EQ(g_gl.drawn.size(), 2u);
  const Drawn& a = g_gl.drawn[0];
  EXPECT_EQ(a.x, 10);
  EXPECT_EQ(a.y, 80 - 23) << "GL counts rows from the bottom of the client area";
  EXPECT_EQ(a.width, 4);
  EXPECT_EQ(a.height, 3);
  EXPECT_EQ(a.format, 0x80E1u) << "BGRA";
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(a.pixels[i * 4], 255);
    EXPECT_EQ(a.pixels[i * 4 + 3], (i % 4) < 2 ? 255 : 0) << "alpha follows the window region, pixel " << i;
  }
  const Drawn& b = g_gl.drawn[1];
  EXPECT_EQ(b.x, 98);
  EXPECT_EQ(b.y, 0);
  EXPECT_EQ(b.width, 2);
  EXPECT_EQ(b.height, 2);

  EXPECT_EQ(g_gl.attribDepth, 0);
  EXPECT_EQ(g_gl.clientDepth, 0);
  EXPECT_EQ(g_gl.matrixDepth, 0);
  ASSERT_FALSE(g_gl.calls.empty());
  EXPECT_EQ(g_gl.calls.front(), "PushAttrib");
  EXPECT_EQ(g_gl.calls.back(), "PopAttrib");
}

TEST_F(ChildComposite, NothingIsTouchedWithoutPaintedChildrenOrEntryPoints) {
  Child(10, 10, 5, 5);  // never painted
  Composite();
  EXPECT_TRUE(g_gl.calls.empty());

  HWND painted = Child(20, 20, 5, 5);
  PaintWhite(painted);
  g_missing = "glDrawPixels";
  Composite();
  EXPECT_TRUE(g_gl.calls.empty()) << "no state is saved when the drawing cannot happen";
  EXPECT_TRUE(g_gl.drawn.empty());
}
