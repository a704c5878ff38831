// The message queue: arrival order, peeking without and with removal, the
// one-message-per-frame pump, dispatch to no window, direct sends, the quit
// message and paint requests.
#include "platform_fixture.h"

namespace {

using QueueTest = PlatformTest;

// The frame loop's pump: peek without removing; only if something is there,
// get, translate and dispatch it.
bool PumpOne() {
  MSG m;
  if (!PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) return false;
  GetMessageA(&m, nullptr, 0, 0);
  TranslateMessage(&m);
  DispatchMessageA(&m);
  return true;
}

TEST_F(QueueTest, PostedMessagesArriveInOrderOnePerPump) {
  HWND hwnd = MakeWindow();
  ASSERT_TRUE(PostMessageA(hwnd, WM_USER + 1, 1, 0));
  ASSERT_TRUE(PostMessageA(hwnd, WM_USER + 2, 2, 0));
  ASSERT_TRUE(PostMessageA(hwnd, WM_USER + 3, 3, 0));

  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 1u);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));  // still there
  EXPECT_EQ(m.message, WM_USER + 1u);
  EXPECT_TRUE(ReceivedLog().empty());

  ASSERT_TRUE(PumpOne());
  EXPECT_EQ(ReceivedMessages(), (std::vector<UINT>{WM_USER + 1}));
  ASSERT_TRUE(PumpOne());
  ASSERT_TRUE(PumpOne());
  EXPECT_EQ(ReceivedMessages(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
  EXPECT_EQ(ReceivedLog()[2].wParam, 3u);
  EXPECT_FALSE(PumpOne());
}

TEST_F(QueueTest, FiltersSelectByWindowAndRange) {
  HWND a = MakeWindow();
  HWND b = MakeWindow();
  PostMessageA(a, WM_USER + 1, 0, 0);
  PostMessageA(b, WM_USER + 2, 0, 0);
  PostMessageA(a, WM_KEYDOWN, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 2u);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
  EXPECT_EQ(m.hwnd, a);
  EXPECT_EQ(m.message, WM_KEYDOWN);
  EXPECT_FALSE(PeekMessageA(&m, b, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 1u);
}

TEST_F(QueueTest, MessagesForNoWindowReachNone) {
  HWND hwnd = MakeWindow();
  ASSERT_TRUE(PostMessageA(nullptr, WM_USER, 0, 0));
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0) > 0);
  EXPECT_EQ(m.hwnd, nullptr);
  EXPECT_EQ(DispatchMessageA(&m), 0);
  EXPECT_TRUE(ReceivedLog().empty());

  // A message whose window has gone reaches none either.
  PostMessageA(hwnd, WM_USER + 5, 0, 0);
  DestroyWindow(hwnd);
  ReceivedLog().clear();
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0) > 0);
  EXPECT_EQ(m.message, WM_USER + 5u);
  EXPECT_EQ(DispatchMessageA(&m), 0);
  EXPECT_TRUE(ReceivedLog().empty());
  EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
}

LRESULT AnswerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER) return static_cast<LRESULT>(wParam * 2);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(QueueTest, SendMessageCallsTheProcedureDirectly) {
  WNDCLASSA wc;
  wc.lpfnWndProc = AnswerProc;
  wc.lpszClassName = "Answer";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND hwnd = CreateWindowExA(0, "Answer", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(SendMessageA(hwnd, WM_USER, 21, 0), 42);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));  // nothing was queued
  EXPECT_EQ(SendMessageA(nullptr, WM_USER, 21, 0), 0);
}

TEST_F(QueueTest, QuitComesAfterPendingMessagesAndEndsGetMessage) {
  HWND hwnd = MakeWindow();
  PostQuitMessage(3);
  PostMessageA(hwnd, WM_USER, 0, 0);
  MSG m;
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), 1);
  EXPECT_EQ(m.message, WM_USER);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), 0);
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_EQ(DispatchMessageA(&m), 0);  // taken and dispatched like any other: reaches no window
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(QueueTest, GetMessageOnAnEmptyHeadlessQueueFailsInsteadOfBlocking) {
  MakeWindow();
  MSG m;
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), -1);
}

TEST_F(QueueTest, ExposureAsksForOnePaintAfterOtherMessages) {
  HWND hwnd = MakeWindow();
  ValidateRect(hwnd, nullptr);
  HeadlessExpose(hwnd);
  PostMessageA(hwnd, WM_USER, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_PAINT);
  EXPECT_EQ(m.hwnd, hwnd);
  // Until painted, the request stays; BeginPaint validates the window.
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  PAINTSTRUCT ps;
  ASSERT_NE(BeginPaint(hwnd, &ps), nullptr);
  EXPECT_TRUE(EndPaint(hwnd, &ps));
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(QueueTest, ShownWindowIsPaintedByUpdateWindow) {
  HWND hwnd = CreateWindowExA(0, "Recorder", "t", kWindowedStyle, CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, nullptr,
                              nullptr, nullptr, nullptr);
  ReceivedLog().clear();
  ASSERT_TRUE(UpdateWindow(hwnd));
  EXPECT_EQ(ReceivedMessages(), (std::vector<UINT>{WM_PAINT}));  // sent, not queued
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));  // the default procedure validated it
}

}  // namespace
