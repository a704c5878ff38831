#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/fault.h"
#include "support/window_fixture.h"

namespace {

using GLWindow = HeadlessWindowTest;

struct ModeCase {
  bool fullScreen;
  int width, height;
  DWORD style;
};

TEST_F(GLWindow, WindowedAndFullScreenSizesAndStyles) {
  const std::vector<ModeCase> cases = {
      {false, 800, 600, 0x96CA0000u},
      {true, 1920, 1080, 0x96880000u},
  };
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.fullScreen ? "full screen" : "windowed");
    UseHeadlessPlatform(1920, 1080);
    ResetWindowGlobals();
    EXPECT_TRUE(CreateOGLWindow("Generazione di piante varie con frattali 3d", 800, 600, 32, c.fullScreen));
    EXPECT_EQ(FullScreen, c.fullScreen);
    EXPECT_EQ(Bits, 32);
    EXPECT_EQ(Width, c.width);
    EXPECT_EQ(Height, c.height);
    ASSERT_TRUE(IsWindow(hWindow));
    EXPECT_TRUE(Active);
    EXPECT_TRUE(IsWindowVisible(hWindow));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(hWindow, GWL_STYLE)), c.style);
    RECT r;
    GetWindowRect(hWindow, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, c.width) << "the outer size is the requested size";
    EXPECT_EQ(r.bottom - r.top, c.height);
    std::array<char, 64> title{};
    GetWindowTextA(hWindow, title.data(), static_cast<int>(title.size()));
    EXPECT_STREQ(title.data(), "Generazione di piante varie con frattali 3d");
    EXPECT_NE(DCWindow, nullptr);
    EXPECT_NE(RCWindow, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), RCWindow);

    DeleteOGLWindow();
    EXPECT_FALSE(IsWindow(hWindow));
    EXPECT_FALSE(Active);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
  }
}

TEST_F(GLWindow, PixelFormatRequestAsksEveryCountAtTheColourDepth) {
  Bits = 32;
  const PIXELFORMATDESCRIPTOR pfd = PixelFormatRequest();
  EXPECT_EQ(pfd.nSize, 40);
  EXPECT_EQ(pfd.nVersion, 1);
  EXPECT_EQ(pfd.dwFlags, 0x1067u);
  EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
  const std::array<BYTE, 6> counts = {pfd.cColorBits, pfd.cAlphaBits,   pfd.cAccumBits,
                                      pfd.cDepthBits, pfd.cStencilBits, pfd.cAuxBuffers};
  for (BYTE n : counts) EXPECT_EQ(n, 32);
  EXPECT_EQ(pfd.iLayerType, 1);
  const std::array<BYTE, 10> zeros = {pfd.cRedBits,       pfd.cRedShift,       pfd.cGreenBits,     pfd.cGreenShift,
                                      pfd.cBlueBits,      pfd.cBlueShift,      pfd.cAlphaShift,    pfd.cAccumRedBits,
                                      pfd.cAccumGreenBits, pfd.cAccumAlphaBits};
  for (BYTE n : zeros) EXPECT_EQ(n, 0);
  EXPECT_EQ(pfd.dwLayerMask | pfd.dwVisibleMask | pfd.dwDamageMask | pfd.bReserved, 0u);

  Pixel_Format_Flags = 0x100;
  EXPECT_EQ(PixelFormatRequest().dwFlags, 0x1167u);
}

TEST_F(GLWindow, OutOfRangeRequestsAreCheckedFailures) {
  FaultsThrow faults;
  struct Case {
    std::int32_t bits, flags;
  };
  for (const Case c : {Case{256, 0}, Case{-1, 0}, Case{32, static_cast<std::int32_t>(0x80000000u)}}) {
    Bits = c.bits;
    Pixel_Format_Flags = c.flags;
    try {
      PixelFormatRequest();
      ADD_FAILURE() << "no fault for bits " << c.bits << ", flags " << c.flags;
    } catch (const FaultRaised& f) {
      EXPECT_EQ(f.kind, Fault::RangeCheck);
    }
  }
  Bits = 255;
  Pixel_Format_Flags = 0;
  EXPECT_EQ(PixelFormatRequest().cDepthBits, 255);
}

struct CursorCase {
  std::int32_t kind;
  int systemId;  // 0: no cursor
};

TEST_F(GLWindow, ClassTakesTheChosenCursorAndIcon) {
  const std::vector<CursorCase> cases = {
      {ARROW, 32512}, {SIZE, 32640}, {SIZENWSE, 32642}, {NOCURSOR, 32648}, {HELP, 32651}, {0, 0}, {17, 0},
  };
  for (const CursorCase& c : cases) {
    SCOPED_TRACE("cursor kind " + std::to_string(c.kind));
    UseHeadlessPlatform(1920, 1080);
    OGLWindowSetting(c.kind, "", GENERIC, "");
    ASSERT_TRUE(WindowRegister());
    WNDCLASSEXA wc{};
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "GLWindow", &wc));
    const HCURSOR want = c.systemId ? LoadCursorA(nullptr, MAKEINTRESOURCEA(c.systemId)) : nullptr;
    EXPECT_EQ(wc.hCursor, want);
    EXPECT_EQ(wc.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(wc.lpfnWndProc, GLWndProc);
    EXPECT_EQ(wc.style, CS_VREDRAW | CS_HREDRAW);
  }
  // Cursor and icon files that cannot be read leave the class without them.
  UseHeadlessPlatform(1920, 1080);
  OGLWindowSetting(FILECURSOR, "no-such.cur", FILEICON, "no-such.ico");
  ASSERT_TRUE(WindowRegister());
  WNDCLASSEXA wc{};
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "GLWindow", &wc));
  EXPECT_EQ(wc.hCursor, nullptr);
  EXPECT_EQ(wc.hIcon, nullptr);
  // The image-button class comes with it.
  EXPECT_TRUE(GetClassInfoExA(nullptr, "IMAGEBUTTON", &wc));
}

// Each way start-up can fail, set up before CreateOGLWindow.
struct FailureCase {
  const char* what;
  void (*arrange)();
  const char* message;
};

void TakeTheClassName() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "GLWindow";
  RegisterClassA(&wc);
}
void NoPixelFormat() { HeadlessSetPixelFormats({}); }
void NoContext() { HeadlessFailContexts(true); }
void NoWindow() { HeadlessFailWindows(true); }

const std::vector<FailureCase>& FailureCases() {
  static const std::vector<FailureCase> cases = {
      {"class name taken", TakeTheClassName, "Errore di registro per la rispettiva applicazione!"},
      {"no window", NoWindow, "Impossibile creare la finestra per la rispettiva applicazione!"},
      {"no pixel format", NoPixelFormat, "la rispettiva applicazione non \xE8 stata inizilizata!"},
      {"no context", NoContext, "la rispettiva applicazione non \xE8 stata inizilizata!"},
  };
  return cases;
}

TEST_F(GLWindow, StartUpFailuresShowTheirMessage) {
  for (const FailureCase& c : FailureCases()) {
    SCOPED_TRACE(c.what);
    UseHeadlessPlatform(1920, 1080);
    ResetWindowGlobals();
    c.arrange();
    try {
      OpenWindow(false);
      ADD_FAILURE() << "start-up did not fail";
    } catch (const WindowError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    ASSERT_FALSE(HeadlessMessageBoxLog().empty());
    const MessageBoxRecord& box = HeadlessMessageBoxLog().back();
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, c.message);
    EXPECT_EQ(box.style, 0u);
    EXPECT_EQ(box.owner, nullptr);
  }
}

TEST_F(GLWindow, MissingPixelFormatStillTriesTheContext) {
  HeadlessSetPixelFormats({});
  const long before = ContextAttemptCount();
  EXPECT_THROW(OpenWindow(false), WindowError);
  EXPECT_EQ(ContextAttemptCount(), before + 1) << "the context is attempted before the failure is reported";
}

// The real exit: the message is shown and the program ends with code 0.
const char* g_expectedMessage = "";
void CheckMessageThenExit(const char*) {
  const auto& log = HeadlessMessageBoxLog();
  if (log.empty() || log.back().text != g_expectedMessage || log.back().caption != "Error") std::_Exit(9);
}

TEST_F(GLWindow, StartUpFailuresEndTheProgramWithCodeZero) {
  for (const FailureCase& c : FailureCases()) {
    SCOPED_TRACE(c.what);
    UseHeadlessPlatform(1920, 1080);
    ResetWindowGlobals();
    c.arrange();
    g_expectedMessage = c.message;
    SetThrowErrorHook(CheckMessageThenExit);
    EXPECT_EXIT(OpenWindow(false), ::testing::ExitedWithCode(0), "");
  }
}

}  // namespace
