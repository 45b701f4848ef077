#pragma once

#include <windows.h>

#include <functional>

namespace quor::test {

// Asks `done` every `intervalMs` until it answers true or the time is up;
// answers its last answer. Limits are generous: they only end a hung test.
// Meanwhile this thread's windows handle what is sent or posted to them.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD intervalMs = 50) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (done()) return true;
    if (::GetTickCount64() >= end) return false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, intervalMs, QS_ALLINPUT);
  }
}

}  // namespace quor::test
