#include "ui/UserInput.h"

#include "ui/Polling.h"

namespace quor::test {
namespace {

void Send(INPUT* inputs, UINT count) { ::SendInput(count, inputs, sizeof(INPUT)); }

// Absolute coordinates run from 0 to 65535 across the primary screen; the
// system maps them back with (value * width) >> 16, so round up.
LONG Normalised(LONG pixel, int extent) {
  return LONG((int64_t(pixel) * 65536 + extent - 1) / extent);
}

}  // namespace

POINT CentreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void MoveMouseTo(POINT screen) {
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = Normalised(screen.x, ::GetSystemMetrics(SM_CXSCREEN));
  move.mi.dy = Normalised(screen.y, ::GetSystemMetrics(SM_CYSCREEN));
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send(&move, 1);
  WaitUntil(
      [&] {
        POINT at{};
        return ::GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
      },
      5000);
  // The window under the pointer handles the move before the next input.
  ::Sleep(50);
}

void ClickAt(POINT screen) {
  MoveMouseTo(screen);
  INPUT click[2]{};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  Send(click, 2);
  ::Sleep(50);
}

void RightClickAt(POINT screen) {
  MoveMouseTo(screen);
  INPUT click[2]{};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  Send(click, 2);
  ::Sleep(50);
}

void PressKey(WORD virtualKey) {
  INPUT key[2]{};
  key[0].type = key[1].type = INPUT_KEYBOARD;
  key[0].ki.wVk = key[1].ki.wVk = virtualKey;
  key[1].ki.dwFlags = KEYEVENTF_KEYUP;
  Send(key, 2);
  ::Sleep(50);
}

void TypeText(const std::wstring& text) {
  for (wchar_t c : text) {
    INPUT key[2]{};
    key[0].type = key[1].type = INPUT_KEYBOARD;
    key[0].ki.wScan = key[1].ki.wScan = c;
    key[0].ki.dwFlags = KEYEVENTF_UNICODE;
    key[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    Send(key, 2);
    ::Sleep(10);
  }
  ::Sleep(50);
}

bool BringToFront(HWND window, DWORD timeoutMs) {
  return WaitUntil(
      [&] {
        if (::GetForegroundWindow() == window) return true;
        ::SetForegroundWindow(window);
        return false;
      },
      timeoutMs, 100);
}

}  // namespace quor::test
