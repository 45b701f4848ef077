#pragma once
// Driving toolkit windows with window messages and reading their surface.

#include <windows.h>

#include "toolkit/HostWindow.h"
#include "toolkit/QuorDirectForm.h"

namespace quor::test {

// WM_QUIT messages that Pump has taken from the queue so far.
inline int& QuitsPumped() {
  static int count = 0;
  return count;
}

inline void Pump() {
  for (int round = 0; round < 3; ++round) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) ++QuitsPumped();
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  }
}

inline void Mouse(HWND target, UINT msg, int x, int y, WPARAM keys = 0) {
  ::SendMessageW(target, msg, keys, MAKELPARAM(x, y));
}

// Moves onto the point, presses and releases there (or at `release`).
inline void Click(HWND target, POINT at, POINT release) {
  Mouse(target, WM_MOUSEMOVE, at.x, at.y);
  Mouse(target, WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
  Mouse(target, WM_MOUSEMOVE, release.x, release.y, MK_LBUTTON);
  Mouse(target, WM_LBUTTONUP, release.x, release.y);
  Pump();
}
inline void Click(HWND target, POINT at) { Click(target, at, at); }

// One wheel notch (or several) with the cursor at a client point of `target`, as
// the system sends it: to the focus window, with the screen position.
inline void Wheel(HWND target, POINT at, int delta, HWND receiver = nullptr) {
  ::ClientToScreen(target, &at);
  ::SendMessageW(receiver ? receiver : target, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(delta)),
                 MAKELPARAM(at.x, at.y));
}

inline POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A host that records system move requests instead of entering the move loop.
class TRecordingHost : public THostWindow {
 public:
  using THostWindow::THostWindow;
  int Moves = 0;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_SYSCOMMAND && (w & 0xFFF0) == SC_MOVE) {
      ++Moves;
      return 0;
    }
    return THostWindow::HandleMessage(msg, w, l);
  }
};

inline RECT WorkAreaOf(HWND hwnd) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

}  // namespace quor::test
