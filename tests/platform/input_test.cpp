// The input path: routing to the window under the cursor or the capture
// window, client coordinates packed with 16-bit wrap, MK_ flags, keys to the
// focus window, close requests and the cursor.
#include "platform_fixture.h"

namespace {

using InputTest = PlatformTest;

TEST_F(InputTest, MouseMovesCarryClientCoordinatesAndButtonFlags) {
  HWND hwnd = MakeWindow();
  const RECT frame = HeadlessCaptionFrame();
  HeadlessMouseMove(frame.left + 100, frame.top + 50);  // screen point over client (100, 50)
  HeadlessMouseButtonClient(hwnd, MouseButton::Left, true, 100, 50);
  HeadlessKey(VK_SHIFT, true);
  HeadlessMouseMoveClient(hwnd, 110, 60);
  HeadlessMouseButtonClient(hwnd, MouseButton::Right, true, 110, 60);
  HeadlessMouseButtonClient(hwnd, MouseButton::Left, false, 110, 60);
  HeadlessKey(VK_SHIFT, false);
  HeadlessMouseMoveClient(hwnd, 111, 61);

  struct Expect {
    UINT msg;
    WPARAM flags;
    int x, y;
  };
  const Expect expected[] = {
      {WM_MOUSEMOVE, 0, 100, 50},
      {WM_LBUTTONDOWN, MK_LBUTTON, 100, 50},
      {WM_KEYDOWN, VK_SHIFT, -1, -1},
      {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 110, 60},
      {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_SHIFT, 110, 60},
      {WM_LBUTTONUP, MK_RBUTTON | MK_SHIFT, 110, 60},
      {WM_KEYUP, VK_SHIFT, -1, -1},
      {WM_MOUSEMOVE, MK_RBUTTON, 111, 61},
  };
  const std::vector<MSG> got = Drain();
  ASSERT_EQ(got.size(), std::size(expected));
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].hwnd, hwnd);
    EXPECT_EQ(got[i].message, expected[i].msg);
    EXPECT_EQ(got[i].wParam, expected[i].flags);
    if (expected[i].x >= 0) {
      EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(got[i].lParam)), expected[i].x);
      EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(got[i].lParam)), expected[i].y);
    }
  }
}

TEST_F(InputTest, CaptureKeepsMovesComingOutsideTheWindowWithWrappedCoordinates) {
  HWND hwnd = MakeWindow(kWindowedStyle, 400, 300);
  // Without capture, a move outside the window reaches nobody.
  HeadlessMouseMove(1000, 900);
  EXPECT_TRUE(Drain().empty());

  HeadlessMouseButtonClient(hwnd, MouseButton::Left, true, 10, 10);
  SetCapture(hwnd);
  Drain();
  struct Case {
    int clientX, clientY;
    WORD x, y;
  };
  const Case cases[] = {
      {-1, 5, 0xFFFF, 5},          // just left of the client area
      {-30, -2, 0x10000 - 30, 0xFFFE},
      {1500, 900, 1500, 900},      // right of and below the window
      {70000, 3, 70000 - 65536, 3},  // beyond 16 bits: wrapped
  };
  for (const Case& c : cases) {
    HeadlessMouseMoveClient(hwnd, c.clientX, c.clientY);
    const std::vector<MSG> got = Drain();
    ASSERT_EQ(got.size(), 1u) << c.clientX << "," << c.clientY;
    EXPECT_EQ(got[0].hwnd, hwnd);
    EXPECT_EQ(got[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(got[0].lParam, static_cast<LPARAM>(c.x | (static_cast<std::uint32_t>(c.y) << 16)));
    EXPECT_EQ(GET_X_LPARAM(got[0].lParam), static_cast<std::int16_t>(c.x));
  }
  EXPECT_EQ(GetCapture(), hwnd);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  HeadlessMouseMoveClient(hwnd, -1, 5);
  EXPECT_TRUE(Drain().empty());
}

TEST_F(InputTest, MouseGoesToTheChildUnderTheCursor) {
  HWND top = MakeWindow();
  HWND child = MakeChild(top, 5, 100, 100, 50, 40);
  HeadlessMouseButtonClient(top, MouseButton::Left, true, 110, 120);
  HeadlessMouseButtonClient(top, MouseButton::Left, false, 300, 300);
  const std::vector<MSG> got = Drain();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].hwnd, child);
  EXPECT_EQ(got[0].lParam, MAKELPARAM(10, 20));
  EXPECT_EQ(got[1].hwnd, top);
  // Captured by the child, the parent's area reports to the child in its coordinates.
  SetCapture(child);
  HeadlessMouseMoveClient(top, 90, 95);
  const std::vector<MSG> captured = Drain();
  ASSERT_EQ(captured.size(), 1u);
  EXPECT_EQ(captured[0].hwnd, child);
  EXPECT_EQ(captured[0].lParam, MAKELPARAM(-10, -5));
}

TEST_F(InputTest, KeysGoToTheFocusWindowAndAltF4Closes) {
  HWND first = MakeWindow();
  HWND second = MakeWindow();  // shown last: foreground and focus
  EXPECT_EQ(GetForegroundWindow(), second);
  HeadlessKey('A', true);
  HeadlessKey('A', false);
  SetFocus(first);
  HeadlessKey(VK_ESCAPE, true);
  std::vector<MSG> got = Drain();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].hwnd, second);
  EXPECT_EQ(got[0].message, WM_KEYDOWN);
  EXPECT_EQ(got[0].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(got[1].message, WM_KEYUP);
  EXPECT_EQ(got[2].hwnd, first);
  EXPECT_EQ(got[2].wParam, static_cast<WPARAM>(VK_ESCAPE));

  HeadlessKey(VK_MENU, true);
  HeadlessKey(VK_F4, true);
  HeadlessKey(VK_F4, false);
  HeadlessKey(VK_MENU, false);
  got = Drain();
  const auto close = std::find_if(got.begin(), got.end(), [](const MSG& m) { return m.message == WM_CLOSE; });
  ASSERT_NE(close, got.end());
  EXPECT_EQ(close->hwnd, first);
  EXPECT_EQ(std::count_if(got.begin(), got.end(), [](const MSG& m) { return m.message == WM_KEYDOWN; }), 0);
}

TEST_F(InputTest, CloseButtonArrivesAsWmCloseAndTheDefaultDestroys) {
  HWND hwnd = MakeWindow();
  HeadlessCloseRequest(hwnd);
  MSG m;
  ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), 1);
  EXPECT_EQ(m.message, WM_CLOSE);
  DispatchMessageA(&m);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(ReceivedMessages(), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
}

TEST_F(InputTest, SetCursorPosMovesTheCursorAndRaisesAMove) {
  HWND hwnd = MakeWindow(kFullScreenStyle, 1920, 1080);
  ASSERT_TRUE(SetCursorPos(960, 540));
  POINT p;
  ASSERT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p.x, 960);
  EXPECT_EQ(p.y, 540);
  const std::vector<MSG> got = Drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].hwnd, hwnd);
  EXPECT_EQ(got[0].message, WM_MOUSEMOVE);
  EXPECT_EQ(got[0].lParam, MAKELPARAM(960, 540));
}

TEST_F(InputTest, DestroyingTheCaptureWindowReleasesCapture) {
  HWND hwnd = MakeWindow();
  SetCapture(hwnd);
  DestroyWindow(hwnd);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetForegroundWindow(), nullptr);
}

}  // namespace
