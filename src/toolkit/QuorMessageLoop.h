#pragma once
// The user-interface thread's one message loop. Filters see every message
// before it is translated and dispatched (the popup menu's shortcuts and
// its closing on deactivation need that); a filter that returns true
// consumes the message.

#include <windows.h>

#include <functional>
#include <utility>

namespace quor {

using TMessageFilter = std::function<bool(MSG& msg)>;

class TMessageLoop {
 public:
  // Runs until WM_QUIT (returning its exit code) or until `done` says so;
  // a WM_QUIT that ends a nested loop is posted again for the outer one.
  static int Run(const std::function<bool()>& done = {});
  // Dispatches what is waiting now, through the filters; false after WM_QUIT.
  static bool ProcessPending();
  // Installs a filter for this thread until the returned token is destroyed.
  class TFilterToken {
   public:
    TFilterToken() = default;
    explicit TFilterToken(int id) : FId(id) {}
    ~TFilterToken();
    TFilterToken(TFilterToken&& other) noexcept : FId(std::exchange(other.FId, 0)) {}
    TFilterToken& operator=(TFilterToken&& other) noexcept;
    TFilterToken(const TFilterToken&) = delete;
    TFilterToken& operator=(const TFilterToken&) = delete;

   private:
    int FId = 0;
  };
  [[nodiscard]] static TFilterToken AddFilter(TMessageFilter filter);
  // True when a filter consumed the message.
  static bool Filter(MSG& msg);
};

}  // namespace quor
