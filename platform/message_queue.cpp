// The thread's message queue: posted and input messages in arrival order,
// then the quit message, then paint requests for invalid windows; and the
// calls that send and dispatch messages to window procedures.
#include <chrono>
#include <deque>

#include "platform/layer.h"

namespace layer {
namespace {

std::deque<MSG> g_queue;
bool g_quitPending = false;
int g_quitCode = 0;

bool IsDescendant(HWND hwnd, HWND ancestor) {
  for (WindowRecord* w = LookupWindow(hwnd); w; w = LookupWindow(w->parent)) {
    if (w->handle == ancestor) return true;
    if (!(w->style & WS_CHILD)) break;
  }
  return false;
}

bool Matches(const MSG& m, HWND filter, UINT lo, UINT hi) {
  if (filter == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1))) {
    if (m.hwnd) return false;
  } else if (filter && !IsDescendant(m.hwnd, filter)) {
    return false;
  }
  if (lo == 0 && hi == 0) return true;
  return m.message >= lo && m.message <= hi;
}

POINT CursorNow() {
  POINT p;
  GetCursorPos(&p);
  return p;
}

// Finds the next message for the filter; removes it when asked.
bool TakeMessage(MSG* out, HWND filter, UINT lo, UINT hi, bool remove) {
  for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
    if (!Matches(*it, filter, lo, hi)) continue;
    if (out) *out = *it;
    if (remove) g_queue.erase(it);
    return true;
  }
  if (g_quitPending && !filter) {
    MSG q;
    q.message = WM_QUIT;
    q.wParam = static_cast<WPARAM>(static_cast<std::intptr_t>(g_quitCode));
    q.time = TickCount();
    q.pt = CursorNow();
    if (Matches(q, nullptr, lo, hi)) {
      if (out) *out = q;
      if (remove) g_quitPending = false;
      return true;
    }
  }
  for (WindowRecord* w : AllWindows()) {
    if (!w->invalid || !IsWindowVisible(w->handle)) continue;
    MSG p;
    p.hwnd = w->handle;
    p.message = WM_PAINT;
    p.time = TickCount();
    p.pt = CursorNow();
    if (!Matches(p, filter, lo, hi)) continue;
    if (out) *out = p;  // stays until the window is validated
    return true;
  }
  return false;
}

}  // namespace

DWORD TickCount() {
  using namespace std::chrono;
  static const auto start = steady_clock::now();
  return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

void PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = TickCount();
  m.pt = CursorNow();
  g_queue.push_back(m);
}

void ClearQueue() { g_queue.clear(); }

void ResetQueue() {
  g_queue.clear();
  g_quitPending = false;
  g_quitCode = 0;
}

}  // namespace layer

using namespace layer;

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  Backend().pollEvents();
  return TakeMessage(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg) return -1;
  for (;;) {
    Backend().pollEvents();
    if (TakeMessage(msg, hwnd, filterMin, filterMax, true)) return msg->message == WM_QUIT ? 0 : 1;
    // Nothing queued: wait for the window system. When nothing can ever
    // arrive (the headless backend), fail instead of blocking forever.
    if (!Backend().waitEvents(100)) {
      *msg = MSG{};
      return -1;
    }
  }
}

BOOL TranslateMessage(const MSG* msg) {
  // Character messages are not generated: nothing in the program reads them,
  // and every key stays one message in the queue.
  if (!msg) return FALSE;
  return (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  WindowRecord* w = LookupWindow(msg->hwnd);
  if (!w || !w->proc) return 0;  // thread messages and stale handles reach no window
  return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd && !LookupWindow(hwnd)) return FALSE;
  if (msg == WM_QUIT && !hwnd) {
    PostQuitMessage(static_cast<int>(wParam));
    return TRUE;
  }
  PostInput(hwnd, msg, wParam, lParam);
  return TRUE;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !w->proc) return 0;
  return w->proc(hwnd, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  g_quitPending = true;
  g_quitCode = exitCode;
}
