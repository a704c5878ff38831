// The SDL backend on a real X server (Xvfb): a window opens with a GL
// context, receives synthetic input through xdotool and closes; a message
// box appears and is answered; and without a display the program says so
// in one line and exits non-zero. Skipped where Xvfb or xdotool is missing.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform_fixture.h"

// The leak checker of sanitizer builds (for this whole test program): SDL
// and the system libraries under it (D-Bus, X11, the GL driver and its
// dispatch) keep process-lifetime allocations that are not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libX11.so\nleak:libGLX_mesa.so\nleak:_dri.so\nleak:libLLVM\n"
         "leak:libSDL2-2.0.so\nleak:libGLdispatch.so\nleak:libEGL_mesa.so\n";
}
// Those libraries are built without frame pointers: unwind allocations
// fully so the suppressions can see which library made them.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

namespace {

bool Installed(const char* path) { return access(path, X_OK) == 0; }

// An Xvfb server on a display of its own for the lifetime of the object;
// it does not reset when its last client leaves (a client connecting during
// a reset is refused).
class Xvfb {
 public:
  Xvfb() {
    display_ = 90 + static_cast<int>(getpid() % 100);
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(display_);
    pid_ = fork();
    if (pid_ == 0) {
      const std::string name = ":" + std::to_string(display_);
      execl("/usr/bin/Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
            "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 100 && !ready_; ++i) {  // up to 10 s
      struct stat st;
      ready_ = stat(socket.c_str(), &st) == 0;
      if (!ready_) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  ~Xvfb() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool ready() const { return ready_; }
  std::string name() const { return ":" + std::to_string(display_); }

 private:
  int display_ = 0;
  pid_t pid_ = -1;
  bool ready_ = false;
};

int RunX(const std::string& display, const std::string& command) {
  const std::string line = "DISPLAY=" + display + " timeout 10 " + command + " >/dev/null 2>&1";
  return std::system(line.c_str());
}

// Pumps messages (dispatching them) until `done` or about five seconds.
template <class Done>
bool PumpUntil(Done done) {
  for (int i = 0; i < 500; ++i) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

bool Received(UINT msg, WPARAM wParam) {
  for (const auto& r : ReceivedLog())
    if (r.msg == msg && r.wParam == wParam) return true;
  return false;
}

class SdlTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!Installed("/usr/bin/Xvfb") || !Installed("/usr/bin/xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
    xvfb_ = std::make_unique<Xvfb>();
    if (!xvfb_->ready()) GTEST_SKIP() << "Xvfb did not start";
    setenv("DISPLAY", xvfb_->name().c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_VIDEODRIVER", "x11", 1);
    UseSdlPlatform();
    ReceivedLog().clear();
  }
  void TearDown() override {
    UseHeadlessPlatform(1920, 1080);  // closes the SDL backend before the server goes
    xvfb_.reset();
  }
  std::unique_ptr<Xvfb> xvfb_;
};

TEST_F(SdlTest, WindowOpensTakesInputAndCloses) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  WNDCLASSA wc;
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = "GLWindow";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND hwnd = CreateWindowExA(0, "GLWindow", "Generazione", 0x96CA0000, CW_USEDEFAULT, CW_USEDEFAULT, 800, 600,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(ReceivedMessages().front(), WM_CREATE);
  RECT r;
  ASSERT_TRUE(GetWindowRect(hwnd, &r));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right - r.left, 800);  // the outer size is the request
  EXPECT_EQ(r.bottom - r.top, 600);

  HDC dc = GetDC(hwnd);
  PIXELFORMATDESCRIPTOR req;
  req.nSize = 40;
  req.nVersion = 1;
  req.dwFlags = 0x1067;
  req.cColorBits = req.cAlphaBits = req.cAccumBits = req.cDepthBits = req.cStencilBits = req.cAuxBuffers = 32;
  req.iLayerType = 1;
  const int format = ChoosePixelFormat(dc, &req);
  ASSERT_NE(format, 0);
  ASSERT_TRUE(SetPixelFormat(dc, format, &req));
  HGLRC rc = wglCreateContext(dc);  // granted after relaxing what the server lacks
  ASSERT_NE(rc, nullptr);
  EXPECT_TRUE(wglMakeCurrent(dc, rc));
  EXPECT_TRUE(SwapBuffers(dc));

  // The pointer over the window gives it the keyboard (no window manager).
  ASSERT_EQ(RunX(xvfb_->name(), "xdotool mousemove 100 120"), 0);
  EXPECT_TRUE(PumpUntil([] {
    for (const auto& m : ReceivedLog())
      if (m.msg == WM_MOUSEMOVE && m.lParam == MAKELPARAM(100, 120)) return true;
    return false;
  }));
  ASSERT_EQ(RunX(xvfb_->name(), "xdotool key a"), 0);
  EXPECT_TRUE(PumpUntil([] { return Received(WM_KEYDOWN, 'A') && Received(WM_KEYUP, 'A'); }));

  // A captured drag keeps reporting past the window's edges; left of and
  // above the client area the coordinates wrap to 16 bits.
  ASSERT_TRUE(MoveWindow(hwnd, 100, 100, 800, 600, FALSE));
  ASSERT_EQ(RunX(xvfb_->name(), "xdotool mousemove 200 200 mousedown 1"), 0);
  ASSERT_TRUE(PumpUntil([] { return Received(WM_LBUTTONDOWN, MK_LBUTTON); }));
  SetCapture(hwnd);
  ReceivedLog().clear();
  ASSERT_EQ(RunX(xvfb_->name(), "xdotool mousemove 90 95"), 0);
  EXPECT_TRUE(PumpUntil([] {
    for (const auto& m : ReceivedLog())
      if (m.msg == WM_MOUSEMOVE && m.lParam == MAKELPARAM(-10, -5)) return true;
    return false;
  }));
  ASSERT_EQ(RunX(xvfb_->name(), "xdotool mouseup 1"), 0);
  ReleaseCapture();

  ASSERT_EQ(RunX(xvfb_->name(), "xdotool mousemove 300 300 key alt+F4"), 0);
  EXPECT_TRUE(PumpUntil([hwnd] { return !IsWindow(hwnd); }));  // WM_CLOSE, then the default destroys
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_TRUE(wglDeleteContext(rc));
}

TEST_F(SdlTest, MessageBoxAppearsAndIsAnswered) {
  // The box runs in a child process so that a box that never appears
  // cannot hold the test; the child's exit code is the answer.
  const pid_t child = fork();
  if (child == 0) {
    const int answer = MessageBoxA(nullptr, "Settare lo schermo intero?  \xE8", "Video!", MB_YESNO | MB_ICONQUESTION);
    _exit(answer);
  }
  // Click Yes: the box is centred horizontally with its two buttons either
  // side of the middle, in the upper part of the screen; try a few heights.
  int status = 0;
  bool done = false;
  const int heights[] = {295, 290, 300, 285, 305, 280, 310};
  for (int i = 0; i < 21 && !done; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    RunX(xvfb_->name(), "xdotool mousemove 466 " + std::to_string(heights[i % 7]) + " click 1");
    done = waitpid(child, &status, WNOHANG) == child;
  }
  if (!done) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  ASSERT_TRUE(done) << "the box did not close";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), IDYES);
}

TEST(SdlNoDisplay, SaysSoInOneLineAndExitsNonZero) {
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  EXPECT_EXIT(
      {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        setenv("SDL_VIDEODRIVER", "x11", 1);
        UseSdlPlatform();
        GetSystemMetrics(SM_CXSCREEN);
        std::exit(0);
      },
      testing::ExitedWithCode(1), "^garden: cannot open a display: [^\n]+\n$");
}

}  // namespace
