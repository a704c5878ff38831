#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/entry.h"
#include "app/frame.h"
#include "support/window_fixture.h"

namespace {

// What a frame hook saw, frame by frame; and the input it plays.
struct FrameSeen {
  bool active = false;
  bool windowExists = false;
  DWORD style = 0;
  RECT rect{};
};

std::vector<FrameSeen> g_frames;
// Input to play after frame n (1-based), as a function of the window.
using Step = void (*)(HWND);
std::vector<std::pair<long, Step>> g_script;

void RecordAndPlay(long frame) {
  FrameSeen seen;
  seen.active = Active;
  seen.windowExists = IsWindow(hWindow) != 0;
  if (seen.windowExists) {
    seen.style = static_cast<DWORD>(GetWindowLongPtrA(hWindow, GWL_STYLE));
    GetWindowRect(hWindow, &seen.rect);
  }
  g_frames.push_back(seen);
  for (const auto& [at, step] : g_script)
    if (at == frame) step(hWindow);
  // A runaway loop is stopped rather than left spinning.
  if (frame > 500) PostMessageA(hWindow, WM_DESTROY, 0, 0);
}

void PressEscape(HWND wnd) { PostMessageA(wnd, WM_KEYDOWN, VK_ESCAPE, 0); }
void CloseButton(HWND wnd) { HeadlessCloseRequest(wnd); }
void LeftDown(HWND wnd) { HeadlessMouseButtonClient(wnd, MouseButton::Left, true, 100, 100); }
void LeftMoveRight30(HWND wnd) { HeadlessMouseMoveClient(wnd, 130, 100); }
void LeftUp(HWND wnd) { HeadlessMouseButtonClient(wnd, MouseButton::Left, false, 130, 100); }
void RightDown(HWND wnd) { HeadlessMouseButtonClient(wnd, MouseButton::Right, true, 100, 100); }
void RightMoveDown20(HWND wnd) { HeadlessMouseMoveClient(wnd, 100, 120); }
void RightUp(HWND wnd) { HeadlessMouseButtonClient(wnd, MouseButton::Right, false, 100, 120); }

class Entry : public HeadlessWindowTest {
 protected:
  void SetUp() override {
    HeadlessWindowTest::SetUp();
    g_frames.clear();
    g_script.clear();
    SetFrameHook(RecordAndPlay);
  }

  // Frames drawn: each starts with clearing colour and depth.
  static int FramesDrawn() {
    int n = 0;
    for (const CapturedCall& c : CaptureLog())
      if (std::string(c.name) == "glClear" && c.arg(0) == (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)) ++n;
    return n;
  }
};

struct AnswerCase {
  const char* what;
  int answer;  // 0: the box could not be shown
  bool fullScreen;
  int width, height;
  DWORD style;
};

TEST_F(Entry, AnswerChoosesWindowedOrFullScreen) {
  const std::vector<AnswerCase> cases = {
      {"No", IDNO, false, 800, 600, 0x96CA0000u},
      {"Yes", IDYES, true, 1920, 1080, 0x96880000u},
      {"failed box", 0, true, 1920, 1080, 0x96880000u},
  };
  for (const AnswerCase& c : cases) {
    SCOPED_TRACE(c.what);
    UseHeadlessPlatform(1920, 1080);
    InstallGLCapture();
    ResetWindowGlobals();
    SetFrameHook(RecordAndPlay);
    g_frames.clear();
    g_script = {{1, PressEscape}};
    HeadlessQueueMessageBoxAnswer(c.answer);

    EXPECT_EQ(GardenRun(), 0);

    ASSERT_EQ(HeadlessMessageBoxLog().size(), 1u);
    const MessageBoxRecord& box = HeadlessMessageBoxLog()[0];
    EXPECT_EQ(box.text, "Settare lo schermo intero?  ");
    EXPECT_EQ(box.caption, "Video!");
    EXPECT_EQ(box.style, 0x24u);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(FullScreen, c.fullScreen);
    EXPECT_EQ(Width, c.width);
    EXPECT_EQ(Height, c.height);
    ASSERT_FALSE(g_frames.empty());
    EXPECT_EQ(g_frames[0].style, c.style);
    EXPECT_EQ(g_frames[0].rect.right - g_frames[0].rect.left, c.width);
    EXPECT_EQ(g_frames[0].rect.bottom - g_frames[0].rect.top, c.height);
    EXPECT_FALSE(IsWindow(hWindow)) << "shutdown destroys the window";
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
  }
}

TEST_F(Entry, EscapeEndsTheLoopAfterTheCurrentFrame) {
  g_script = {{3, PressEscape}};
  EXPECT_EQ(GardenRun(), 0);
  // Esc is posted after frame 3 and handled in frame 4, which is still
  // drawn and swapped in full with the window still there.
  EXPECT_EQ(SwapBuffersCount(), 4);
  EXPECT_EQ(FramesDrawn(), 4);
  ASSERT_EQ(g_frames.size(), 4u);
  EXPECT_TRUE(g_frames[2].active);
  EXPECT_FALSE(g_frames[3].active);
  EXPECT_TRUE(g_frames[3].windowExists);
  EXPECT_FALSE(IsWindow(hWindow));
}

TEST_F(Entry, CloseButtonEndsTheLoopAfterTheCurrentFrame) {
  g_script = {{2, CloseButton}};
  EXPECT_EQ(GardenRun(), 0);
  EXPECT_EQ(FramesDrawn(), 3);
  ASSERT_GE(g_frames.size(), 2u);
  EXPECT_TRUE(g_frames[1].active);
  EXPECT_FALSE(Active);
  EXPECT_FALSE(IsWindow(hWindow));
}

TEST_F(Entry, DragsInTheRunningLoopTurnAndMoveTheGarden) {
  // One message per frame: each scripted step is handled in the frame after.
  g_script = {{1, LeftDown},  {2, LeftMoveRight30}, {3, LeftUp},     {4, RightDown},
              {5, RightMoveDown20}, {6, RightUp}, {7, PressEscape}};
  EXPECT_EQ(GardenRun(), 0);
  EXPECT_FLOAT_EQ(YRot, 30);
  EXPECT_FLOAT_EQ(XRot, 0);
  EXPECT_FLOAT_EQ(Depth, -4);
  EXPECT_EQ(SwapBuffersCount(), 8);
  // The last frame drew with the camera state: translate by -Depth, turn by YRot.
  bool sawDepth = false, sawTurn = false;
  for (const CapturedCall& c : CaptureLog()) {
    const std::string name = c.name;
    if (name == "glTranslatef" && c.arg(0) == 0 && c.arg(1) == 0 && c.arg(2) == 4) sawDepth = true;
    if (name == "glRotatef" && c.arg(0) == 30 && c.arg(2) == 1) sawTurn = true;
  }
  EXPECT_TRUE(sawDepth);
  EXPECT_TRUE(sawTurn);
}

TEST_F(Entry, StartUpSetsTheStateAndTheLightBeforeTheFirstFrame) {
  g_script = {{1, PressEscape}};
  EXPECT_EQ(GardenRun(), 0);
  // Start-up: the perspective, culling and light 0 come before the first
  // frame's clear.
  std::vector<std::string> names;
  for (const CapturedCall& c : CaptureLog()) names.push_back(c.name);
  const auto at = [&](const std::string& n) {
    for (std::size_t i = 0; i < names.size(); ++i)
      if (names[i] == n) return static_cast<long>(i);
    return -1L;
  };
  ASSERT_GE(at("gluPerspective"), 0);
  ASSERT_GE(at("glCullFace"), 0);
  ASSERT_GE(at("glLightfv"), 0);
  ASSERT_GE(at("glClear"), 0);
  EXPECT_LT(at("gluPerspective"), at("glCullFace"));
  EXPECT_LT(at("glCullFace"), at("glLightfv"));
  EXPECT_LT(at("glLightfv"), at("glClear"));
  EXPECT_STREQ(CaptureLog()[static_cast<std::size_t>(at("glClear"))].name, "glClear");
  EXPECT_EQ(CaptureLog()[static_cast<std::size_t>(at("glClear"))].arg(0), GL_COLOR_BUFFER_BIT)
      << "the loop clears the colour buffer before the message and the frame";
  EXPECT_TRUE(CapturedLightState(0).enabled);
}

TEST_F(Entry, StartUpFailureIsReportedAfterTheQuestion) {
  HeadlessFailContexts(true);
  EXPECT_THROW(GardenRun(), WindowError);
  ASSERT_EQ(HeadlessMessageBoxLog().size(), 2u);
  EXPECT_EQ(HeadlessMessageBoxLog()[0].caption, "Video!");
  EXPECT_EQ(HeadlessMessageBoxLog()[1].caption, "Error");
  EXPECT_EQ(HeadlessMessageBoxLog()[1].text, "la rispettiva applicazione non \xE8 stata inizilizata!");
  EXPECT_EQ(SwapBuffersCount(), 0);
}

struct BindCase {
  const char* gl;
  const char* glu;
  const char* message;
};

TEST_F(Entry, MissingLibrariesAreReportedBeforeTheQuestion) {
  const std::vector<BindCase> cases = {
      {"libGL-not-here.so.1", kGLULibrary, "Could not load OpenGL from libGL-not-here.so.1"},
      {kGLLibrary, "libGLU-not-here.so.1", "Could not load GLu from libGLU-not-here.so.1"},
  };
  for (const BindCase& c : cases) {
    SCOPED_TRACE(c.message);
    UseHeadlessPlatform(1920, 1080);
    EXPECT_EQ(GardenMain(c.gl, c.glu), 0);
    ASSERT_EQ(HeadlessMessageBoxLog().size(), 1u) << "no question after a failed binding";
    EXPECT_EQ(HeadlessMessageBoxLog()[0].caption, "Error");
    EXPECT_EQ(HeadlessMessageBoxLog()[0].text, c.message);
    EXPECT_EQ(hWindow, nullptr);
  }
  InstallGLCapture();
}

}  // namespace
