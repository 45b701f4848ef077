#include "support/MessagePump.h"

#include <windows.h>

#include <algorithm>

namespace quor::test {

bool PumpUntil(const std::function<bool()>& done, unsigned long timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (!done()) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= end) return done();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 50)),
                                QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return true;
}

namespace {

LRESULT CALLBACK RecorderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* handler = reinterpret_cast<TRecorderWindow::Handler*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (handler && msg >= WM_USER) {
    (*handler)(msg, wParam, lParam);
    return 1;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

TRecorderWindow::TRecorderWindow(Handler handler) : handler_(std::move(handler)) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = RecorderProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"QuorTestRecorder";
  ::RegisterClassW(&wc);  // fails harmlessly when already registered
  HWND hwnd = ::CreateWindowExW(0, L"QuorTestRecorder", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr);
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handler_));
  hwnd_ = hwnd;
}

TRecorderWindow::~TRecorderWindow() { ::DestroyWindow(static_cast<HWND>(hwnd_)); }

}  // namespace quor::test
