#pragma once

#include <functional>

namespace quor::test {

// Handles this thread's messages until `done` answers true or the time is
// up; answers `done()` at the end.
bool PumpUntil(const std::function<bool()>& done, unsigned long timeoutMs = 30000);

// A message-only window that records what reaches it.
class TRecorderWindow {
 public:
  using Handler = std::function<void(unsigned msg, unsigned long long wParam, long long lParam)>;
  explicit TRecorderWindow(Handler handler);
  ~TRecorderWindow();
  TRecorderWindow(const TRecorderWindow&) = delete;
  TRecorderWindow& operator=(const TRecorderWindow&) = delete;
  void* Handle() const { return hwnd_; }

 private:
  void* hwnd_ = nullptr;
  Handler handler_;
};

}  // namespace quor::test
