// The snapshot tool's picture against the demo's own frames: the demo runs
// here on the same driver (SDL's offscreen video driver, Mesa), its first
// frame read back from the frame hook, then the camera set as a drag would
// set it for the second frame. The tool must draw both pictures exactly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/entry.h"
#include "export/folders.h"
#include "export/snapshot.h"
#include "platform/headless.h"
#include "render/glstate.h"
#include "render/random.h"
#include "test_files.h"
#include "window/glwindow.h"
#include "window/wndproc.h"

// The GL driver and SDL keep allocations for the process, and they are
// unloaded by the time the leak checker of sanitizer builds runs, so no
// suppression can name them: the demo's run is left out of leak checking
// (these hooks exist only in sanitizer builds).
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

namespace {

constexpr float kTurnX = 25, kTurnY = -60, kTurnDepth = -4;

RgbaImage g_startFrame, g_turnedFrame;

void OnFrame(long frame) {
  if (frame == 1) {
    g_startFrame = ReadFrame(Width, Height);
    // What a drag leaves in the input state before the next frame.
    XRot = kTurnX;
    YRot = kTurnY;
    Depth = kTurnDepth;
  } else {
    g_turnedFrame = ReadFrame(Width, Height);
    Active = false;  // the loop ends after this frame
  }
}

void RunDemo() {
  ResetRandom();
  XRot = YRot = Depth = 0;
  SetFrameHook(OnFrame);
  GardenMain();
  SetFrameHook(nullptr);
}

std::size_t DifferingPixels(const RgbaImage& a, const RgbaImage& b) {
  if (a.width != b.width || a.height != b.height) return static_cast<std::size_t>(-1);
  std::size_t n = 0;
  for (std::size_t i = 0; i < a.rgba.size(); i += 4) {
    if (a.rgba[i] != b.rgba[i] || a.rgba[i + 1] != b.rgba[i + 1] || a.rgba[i + 2] != b.rgba[i + 2]) ++n;
  }
  return n;
}

TEST(ExportSnapshot, PicturesAreTheDemosFramesOnTheSameDriver) {
  // Offscreen only; with no display the start-up question cannot be shown,
  // which the demo takes as full screen (the offscreen screen's size).
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  UseSdlPlatform();
  if (__lsan_disable) __lsan_disable();
  const std::string ran = InFolder(exporttest::RunFolder(), RunDemo);
  if (__lsan_enable) __lsan_enable();
  ASSERT_EQ(ran, "");
  ResetPlatform();
  ASSERT_GT(g_startFrame.width, 0);
  ASSERT_GT(g_turnedFrame.width, 0);
  EXPECT_GT(DifferingPixels(g_startFrame, g_turnedFrame), 1000u);

  const std::string size = std::to_string(g_startFrame.width) + "x" + std::to_string(g_startFrame.height);
  exporttest::ScratchDir dir("snapshot");
  struct Case {
    const char* what;
    std::string args;
    const RgbaImage* frame;
  };
  const std::vector<Case> cases = {
      {"start view", "", &g_startFrame},
      {"turned view", "--xrot 25 --YRot=-60 --depth -4", &g_turnedFrame},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string png = dir / "frame.png";
    // The driver's own allocations at exit are not the tool's leaks.
    const auto r = exporttest::RunTool("ASAN_OPTIONS=detect_leaks=0 " + exporttest::ToolPath("garden_snapshot") +
                                           " --size " + size + " " + c.args + " " + png,
                                       dir / "stderr.txt");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const RgbaImage picture = exporttest::DecodePng(exporttest::ReadFile(png));
    EXPECT_EQ(picture.width, c.frame->width);
    EXPECT_EQ(picture.height, c.frame->height);
    EXPECT_EQ(DifferingPixels(picture, *c.frame), 0u);
  }
}

}  // namespace
