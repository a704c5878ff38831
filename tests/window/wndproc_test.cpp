#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/window_fixture.h"

namespace {

class WindowProcedure : public HeadlessWindowTest {
 protected:
  void SetUp() override {
    HeadlessWindowTest::SetUp();
    OpenWindow(false);
    Pump();  // whatever creation queued
  }
};

TEST_F(WindowProcedure, PumpHandlesOneMessagePerCall) {
  PostMessageA(hWindow, WM_MOUSEMOVE, 0, MAKELPARAM(11, 12));
  PostMessageA(hWindow, WM_MOUSEMOVE, 0, MAKELPARAM(21, 22));
  SetGLMsg();
  EXPECT_EQ(SetOMX, 11);
  EXPECT_EQ(SetOMY, 12);
  SetGLMsg();
  EXPECT_EQ(SetOMX, 21);
  EXPECT_EQ(SetOMY, 22);
  SetGLMsg();  // an empty queue: returns at once
  EXPECT_EQ(SetOMX, 21);
}

TEST_F(WindowProcedure, EscapeEndsTheLoopButKeepsTheWindow) {
  ASSERT_TRUE(Active);
  EXPECT_EQ(GLWndProc(hWindow, WM_KEYDOWN, VK_ESCAPE, 0), 0);
  EXPECT_FALSE(Active);
  EXPECT_TRUE(IsWindow(hWindow));
  EXPECT_EQ(SetKey[VK_ESCAPE], 0) << "Esc is never recorded as a held key";
  MSG m;
  bool quit = false;
  for (int i = 0; i < 10 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) quit = quit || m.message == WM_QUIT;
  EXPECT_TRUE(quit) << "the quit message is posted";
}

TEST_F(WindowProcedure, KeysAreHeldUntilReleasedAndReleaseEndsMouseLook) {
  HeadlessKey('A', true);
  Pump();
  EXPECT_EQ(SetKey['A'], -1);
  MouseFree = true;
  HeadlessKey('A', false);
  Pump();
  EXPECT_EQ(SetKey['A'], 0);
  EXPECT_FALSE(MouseFree);
}

struct DragCase {
  const char* what;
  MouseButton button;
  std::int32_t speed;
  int x0, y0, x1, y1;  // client coordinates of the press and of the move
  float dXRot, dYRot, dDepth;
};

TEST_F(WindowProcedure, DragsTurnAndMoveTheCameraScaledBySpeed) {
  const std::vector<DragCase> cases = {
      {"left down 10", MouseButton::Left, 2, 100, 100, 100, 110, 10, 0, 0},
      {"left right 10", MouseButton::Left, 2, 100, 100, 110, 100, 0, 10, 0},
      {"left diagonal, speed 0", MouseButton::Left, 0, 100, 100, 130, 140, 0, 0, 0},
      {"right down 10", MouseButton::Right, 2, 100, 100, 100, 110, 0, 0, -2},
      {"right up 25", MouseButton::Right, 2, 100, 100, 100, 75, 0, 0, 5},
      {"right down 10, speed 0", MouseButton::Right, 0, 100, 100, 100, 110, 0, 0, 0},
      // Past the left edge the captured cursor has a negative position; the
      // turn follows the real motion of 25 pixels to the left.
      {"left past the left edge", MouseButton::Left, 2, 20, 50, -5, 50, 0, -25, 0},
      {"right past the top edge", MouseButton::Right, 2, 100, 10, 100, -10, 0, 0, 4},
  };
  for (const DragCase& c : cases) {
    SCOPED_TRACE(c.what);
    XRot = YRot = XRot2 = YRot2 = 1;
    Depth = Depth2 = 1;
    MSpeed = c.speed;
    HeadlessMouseButtonClient(hWindow, c.button, true, c.x0, c.y0);
    Pump();
    EXPECT_EQ(GetCapture(), hWindow);
    HeadlessMouseMoveClient(hWindow, c.x1, c.y1);
    Pump();
    EXPECT_FLOAT_EQ(XRot, 1 + c.dXRot);
    EXPECT_FLOAT_EQ(YRot, 1 + c.dYRot);
    EXPECT_FLOAT_EQ(Depth, 1 + c.dDepth);
    EXPECT_FLOAT_EQ(XRot2, XRot);
    EXPECT_FLOAT_EQ(YRot2, YRot);
    EXPECT_FLOAT_EQ(Depth2, Depth);
    // The anchors follow the cursor whatever the speed.
    EXPECT_EQ(SetOMX, c.x1);
    EXPECT_EQ(SetOMY, c.y1);
    if (c.button == MouseButton::Left) {
      EXPECT_EQ(XCoord, c.x1);
      EXPECT_EQ(YCoord, c.y1);
      EXPECT_EQ(SetMX, c.x0);
      EXPECT_EQ(SetMY, c.y0);
    } else {
      EXPECT_EQ(ZCoord, c.y1);
    }
    HeadlessMouseButtonClient(hWindow, c.button, false, c.x1, c.y1);
    Pump();
    EXPECT_EQ(GetCapture(), nullptr);
  }
}

TEST_F(WindowProcedure, LeftReleaseZeroesTheAnchors) {
  MSpeed = 2;
  HeadlessMouseButtonClient(hWindow, MouseButton::Left, true, 40, 50);
  HeadlessMouseMoveClient(hWindow, 60, 70);
  Pump();
  ASSERT_TRUE(LeftMouseDown);
  ASSERT_TRUE(LeftMouseDown2);
  HeadlessMouseButtonClient(hWindow, MouseButton::Left, false, 60, 70);
  Pump();
  EXPECT_FALSE(LeftMouseDown);
  EXPECT_FALSE(LeftMouseDown2);
  EXPECT_EQ(XCoord, 0);
  EXPECT_EQ(YCoord, 0);
  EXPECT_EQ(SetMX, 0);
  EXPECT_EQ(SetMY, 0);
  // A move after the release turns nothing.
  const float x = XRot, y = YRot;
  HeadlessMouseMoveClient(hWindow, 90, 90);
  Pump();
  EXPECT_FLOAT_EQ(XRot, x);
  EXPECT_FLOAT_EQ(YRot, y);
}

TEST_F(WindowProcedure, MouseLookRecentresTheCursorAndClampsTheVerticalAngle) {
  MouseFree = true;
  MSpeed = 2;
  SetForegroundWindow(hWindow);
  const int cx = Width / 2, cy = Height / 2;

  SetCursorPos(cx + 50, cy);
  GLWndProc(hWindow, WM_MOUSEMOVE, 0, 0);
  EXPECT_FLOAT_EQ(XRot, 1);
  EXPECT_FLOAT_EQ(YRot, 0);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, cx);
  EXPECT_EQ(p.y, cy);

  SetCursorPos(cx, cy + 100);
  GLWndProc(hWindow, WM_MOUSEMOVE, 0, 0);
  EXPECT_FLOAT_EQ(YRot, 2);
  for (int i = 0; i < 40; ++i) {
    SetCursorPos(cx, cy + 100);
    GLWndProc(hWindow, WM_MOUSEMOVE, 0, 0);
  }
  EXPECT_FLOAT_EQ(YRot, 60);
  EXPECT_FLOAT_EQ(YRot2, 60);
  for (int i = 0; i < 80; ++i) {
    SetCursorPos(cx, cy - 100);
    GLWndProc(hWindow, WM_MOUSEMOVE, 0, 0);
  }
  EXPECT_FLOAT_EQ(YRot, -60);
  EXPECT_FLOAT_EQ(YRot2, -60);
  EXPECT_FLOAT_EQ(XRot, 1);
}

}  // namespace
