#pragma once
// Functions asked for on any thread and run on the thread that made the
// TUiCalls, through a hidden message-only window. A worker that may outlive
// the window's owner holds a TUiCallLink: once the owner has gone, its
// calls are dropped and answer false.

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>

namespace quor {

class TUiCallLink {
 public:
  // Queued for the owner's thread; false (and not run) when the owner is gone.
  bool Post(std::function<void()> call) const;
  // Runs on the owner's thread and returns when it has run; false (and not
  // run) when the owner is gone. Called on the owner's thread, it runs at once.
  bool Send(const std::function<void()>& call) const;

 private:
  friend class TUiCalls;
  HWND Window() const;
  mutable std::mutex FLock;
  HWND FWindow = nullptr;
};

class TUiCalls {
 public:
  // Throws std::runtime_error when the window cannot be made.
  TUiCalls();
  // Drops every call still queued; later calls through a link answer false.
  ~TUiCalls();
  TUiCalls(const TUiCalls&) = delete;
  TUiCalls& operator=(const TUiCalls&) = delete;

  std::shared_ptr<const TUiCallLink> Link() const { return FLink; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  std::shared_ptr<TUiCallLink> FLink;
};

}  // namespace quor
