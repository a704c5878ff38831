// Shared set-up for the window tests: the headless desktop on a 1920 x 1080
// screen, the GL capture in place of a driver, fresh input globals, and
// ThrowError turned into an exception so a failed start-up can be observed.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/headless.h"
#include "render/glcapture.h"
#include "render/glstate.h"
#include "window/window.h"

struct WindowError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

inline void ThrowWindowError(const char* message) { throw WindowError(message); }

// Puts every window and input global back to its start value.
inline void ResetWindowGlobals() {
  hWindow = nullptr;
  DCWindow = nullptr;
  RCWindow = nullptr;
  Width = Height = 0;
  Bits = 0;
  FullScreen = false;
  Active = false;
  Pixel_Format_Flags = 0;
  SetKey.fill(0);
  LeftMouseDown = LeftMouseDown2 = RightMouseDown = RightMouseDown2 = false;
  MouseFree = false;
  XCoord = YCoord = ZCoord = SetMX = SetMY = SetOMX = SetOMY = 0;
  XRot = YRot = XRot2 = YRot2 = Depth = Depth2 = 0;
  MSpeed = 0;
  My = {};
}

class HeadlessWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessPlatform(1920, 1080);
    InstallGLCapture();
    ResetWindowGlobals();
    SetThrowErrorHook(ThrowWindowError);
  }
  void TearDown() override {
    SetThrowErrorHook(nullptr);
    SetFrameHook(nullptr);
    ResetPlatform();
    ResetWindowGlobals();
  }

  // Opens the demo's window the way the demo does.
  void OpenWindow(bool fullScreen) {
    OGLWindowSetting(ARROW, "", GENERIC, "");
    CreateOGLWindow("Generazione di piante varie con frattali 3d", 800, 600, 32, fullScreen);
  }

  // Dispatches queued messages one at a time, as the frame loop does;
  // bounded so a test never spins.
  static void Pump() {
    MSG m;
    for (int i = 0; i < 100 && PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE); ++i) SetGLMsg();
  }
};
