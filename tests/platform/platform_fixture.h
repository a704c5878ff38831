// Shared fixture of the desktop-API layer tests: a fresh headless layer on
// a 1920x1080 virtual screen and a window procedure that records every
// message it receives.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless.h"
#include "platform/winapi.h"

struct Received {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

inline std::vector<Received>& ReceivedLog() {
  static std::vector<Received> log;
  return log;
}

// Records, then behaves like the default procedure.
inline LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ReceivedLog().push_back({hwnd, msg, wParam, lParam});
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

inline std::vector<UINT> ReceivedMessages() {
  std::vector<UINT> out;
  for (const Received& r : ReceivedLog()) out.push_back(r.msg);
  return out;
}

inline constexpr DWORD kWindowedStyle = 0x96CA0000;    // pop-up with caption, system menu, minimize box
inline constexpr DWORD kFullScreenStyle = 0x96880000;  // pop-up with a border and system menu

class PlatformTest : public testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessPlatform(1920, 1080);
    ReceivedLog().clear();
    WNDCLASSA wc;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "Recorder";
    ASSERT_NE(RegisterClassA(&wc), 0);
  }
  void TearDown() override { ResetPlatform(); }

  HWND MakeWindow(DWORD style = kWindowedStyle, int w = 800, int h = 600) {
    HWND hwnd = CreateWindowExA(0, "Recorder", "test", style, CW_USEDEFAULT, CW_USEDEFAULT, w, h, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(hwnd);  // as a program does after creating its window
    ReceivedLog().clear();
    return hwnd;
  }
  HWND MakeChild(HWND parent, int id, int x, int y, int w, int h) {
    HWND hwnd = CreateWindowExA(0, "Recorder", "", WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
    ReceivedLog().clear();
    return hwnd;
  }
  // Takes every queued message (no paint requests) without dispatching.
  std::vector<MSG> Drain() {
    std::vector<MSG> out;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_PAINT) {
        ValidateRect(m.hwnd, nullptr);
        continue;
      }
      out.push_back(m);
    }
    return out;
  }
};
