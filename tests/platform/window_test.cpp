// Window classes, window creation and destruction, the default window
// procedure, geometry of windowed and full-screen windows, child windows
// and properties.
#include <cstring>

#include "platform_fixture.h"

namespace {

using WindowTest = PlatformTest;

TEST_F(WindowTest, RegisteringATakenClassNameFails) {
  WNDCLASSA wc;
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = "recorder";  // names compare without case
  EXPECT_EQ(RegisterClassA(&wc), 0);

  WNDCLASSEXA ex;
  ex.cbSize = WNDCLASSEXA_SIZE_32;
  ex.lpfnWndProc = RecordingProc;
  ex.lpszClassName = "IMAGEBUTTON";
  ex.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  EXPECT_NE(RegisterClassExA(&ex), 0);
  EXPECT_EQ(RegisterClassExA(&ex), 0);

  WNDCLASSEXA info;
  ASSERT_TRUE(GetClassInfoExA(nullptr, "IMAGEBUTTON", &info));
  EXPECT_EQ(info.lpfnWndProc, &RecordingProc);
  EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_FALSE(GetClassInfoExA(nullptr, "NOSUCHCLASS", &info));

  ex.lpszClassName = "Other";
  ex.cbSize = 12;  // not a class record
  EXPECT_EQ(RegisterClassExA(&ex), 0);
}

struct CreateSeen {
  void* params = nullptr;
  RECT rectDuringCreate{};
  bool sawCreate = false;
};
CreateSeen g_seen;

LRESULT CreateProbe(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    g_seen.sawCreate = true;
    g_seen.params = cs->lpCreateParams;
    GetWindowRect(hwnd, &g_seen.rectDuringCreate);  // the window already exists
    return std::strcmp(cs->lpszName, "refuse") == 0 ? -1 : 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(WindowTest, CreationSendsWmCreateWithTheCreateParams) {
  WNDCLASSA wc;
  wc.lpfnWndProc = CreateProbe;
  wc.lpszClassName = "Probe";
  ASSERT_NE(RegisterClassA(&wc), 0);
  int token = 0;
  g_seen = {};
  HWND hwnd = CreateWindowExA(0, "Probe", "ok", WS_POPUP, 10, 20, 300, 200, nullptr, nullptr, nullptr, &token);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(g_seen.sawCreate);
  EXPECT_EQ(g_seen.params, &token);
  EXPECT_EQ(g_seen.rectDuringCreate.left, 10);
  EXPECT_EQ(g_seen.rectDuringCreate.bottom, 220);

  g_seen = {};
  EXPECT_EQ(CreateWindowExA(0, "Probe", "refuse", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_TRUE(g_seen.sawCreate);
  EXPECT_EQ(CreateWindowExA(0, "Unknown", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowTest, DestroyWindowSendsWmDestroyToWindowThenChildren) {
  HWND top = MakeWindow();
  HWND child = MakeChild(top, 7, 0, 0, 10, 10);
  ASSERT_TRUE(DestroyWindow(top));
  ASSERT_EQ(ReceivedLog().size(), 2u);
  EXPECT_EQ(ReceivedLog()[0].hwnd, top);
  EXPECT_EQ(ReceivedLog()[0].msg, WM_DESTROY);
  EXPECT_EQ(ReceivedLog()[1].hwnd, child);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(DestroyWindow(top));  // a second destroy finds nothing
  EXPECT_EQ(ReceivedLog().size(), 2u);
}

TEST_F(WindowTest, DefaultProcedureClosesOnlyForCloseRequests) {
  struct Case {
    UINT msg;
    WPARAM wParam;
    bool destroyed;
  };
  const Case cases[] = {
      {WM_CLOSE, 0, true},
      {WM_SYSCOMMAND, SC_CLOSE, true},
      {WM_SYSCOMMAND, SC_CLOSE | 0x2, true},  // the low four bits are the system's own
      {WM_SYSCOMMAND, SC_SCREENSAVE, false},
      {WM_SYSCOMMAND, SC_MONITORPOWER, false},
      {WM_KEYDOWN, VK_F4, false},
      {WM_DESTROY, 0, false},
  };
  for (const Case& c : cases) {
    HWND hwnd = MakeWindow();
    EXPECT_EQ(DefWindowProcA(hwnd, c.msg, c.wParam, 0), 0);
    EXPECT_EQ(!IsWindow(hwnd), c.destroyed) << "message " << c.msg << " wParam " << c.wParam;
    if (c.destroyed) {
      EXPECT_EQ(ReceivedMessages().back(), WM_DESTROY);
    } else {
      DestroyWindow(hwnd);
    }
  }
}

TEST_F(WindowTest, WindowedAndFullScreenGeometry) {
  // Windowed: the outer rectangle is the request at the top-left corner;
  // the client area is smaller by the frame.
  HWND windowed = MakeWindow(kWindowedStyle, 800, 600);
  RECT r;
  ASSERT_TRUE(GetWindowRect(windowed, &r));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 800);
  EXPECT_EQ(r.bottom, 600);
  const RECT frame = HeadlessCaptionFrame();
  ASSERT_TRUE(GetClientRect(windowed, &r));
  EXPECT_EQ(r.right, 800 - frame.left - frame.right);
  EXPECT_EQ(r.bottom, 600 - frame.top - frame.bottom);
  EXPECT_LT(r.right, 800);
  EXPECT_TRUE(IsWindowVisible(windowed));
  EXPECT_EQ(GetForegroundWindow(), windowed);

  // Full screen: the screen's size, no frame.
  HWND full = MakeWindow(kFullScreenStyle, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  ASSERT_TRUE(GetWindowRect(full, &r));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 1920);
  EXPECT_EQ(r.bottom, 1080);
  ASSERT_TRUE(GetClientRect(full, &r));
  EXPECT_EQ(r.right, 1920);
  EXPECT_EQ(r.bottom, 1080);
}

TEST_F(WindowTest, ChildWindowsKeepIdParentAndPosition) {
  HWND top = MakeWindow();
  HWND child = MakeChild(top, 0x7712, 40, 30, 100, 50);
  EXPECT_EQ(GetDlgCtrlID(child), 0x7712);
  EXPECT_EQ(GetDlgCtrlID(top), 0);
  EXPECT_EQ(GetParent(child), top);
  RECT r;
  ASSERT_TRUE(GetWindowRect(child, &r));
  const RECT frame = HeadlessCaptionFrame();
  EXPECT_EQ(r.left, frame.left + 40);
  EXPECT_EQ(r.top, frame.top + 30);
  EXPECT_EQ(r.right - r.left, 100);
  ASSERT_TRUE(MoveWindow(child, 5, 6, 20, 10, FALSE));
  ASSERT_TRUE(GetWindowRect(child, &r));
  EXPECT_EQ(r.left, frame.left + 5);
  EXPECT_EQ(r.bottom - r.top, 10);

  // A child needs a live parent.
  EXPECT_EQ(CreateWindowExA(0, "Recorder", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowTest, PropertiesAreKeptPerWindowUntilRemoved) {
  HWND a = MakeWindow();
  HWND b = MakeWindow();
  int x = 0;
  EXPECT_TRUE(SetPropA(a, "HOVERMODEBYTE", reinterpret_cast<HANDLE>(1)));
  EXPECT_TRUE(SetPropA(a, "NORMALBITMAP", &x));
  EXPECT_EQ(GetPropA(a, "HOVERMODEBYTE"), reinterpret_cast<HANDLE>(1));
  EXPECT_EQ(GetPropA(b, "HOVERMODEBYTE"), nullptr);
  EXPECT_EQ(RemovePropA(a, "NORMALBITMAP"), &x);
  EXPECT_EQ(GetPropA(a, "NORMALBITMAP"), nullptr);
  EXPECT_EQ(RemovePropA(a, "NORMALBITMAP"), nullptr);
  EXPECT_FALSE(SetPropA(nullptr, "X", &x));
}

TEST_F(WindowTest, StatusWindowIsAChildWithItsText) {
  HWND top = MakeWindow();
  HWND status = CreateStatusWindowA(static_cast<LONG>(WS_CHILD | WS_VISIBLE), "Percorso file", top, 30482);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(GetParent(status), top);
  EXPECT_EQ(GetDlgCtrlID(status), 30482);
  char text[32];
  EXPECT_EQ(GetWindowTextA(status, text, sizeof text), 13);
  EXPECT_STREQ(text, "Percorso file");
  int edges[3] = {100, 200, -1};
  EXPECT_EQ(SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges)), TRUE);
  EXPECT_EQ(UpdateWindow(nullptr), FALSE);  // no window: no effect
}

}  // namespace
