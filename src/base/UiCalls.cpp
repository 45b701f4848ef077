#include "base/UiCalls.h"

#include <stdexcept>

namespace quor {
namespace {

constexpr wchar_t kClassName[] = L"QuorUiCalls";
constexpr UINT kPosted = WM_APP + 1;  // lParam: a std::function<void()> to run and free
constexpr UINT kSent = WM_APP + 2;    // lParam: a std::function<void()> to run

using TCall = std::function<void()>;

void RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) throw std::runtime_error("cannot register the call window class");
}

void RunGuarded(const TCall& call) noexcept {
  try {
    call();
  } catch (...) {
    // A call's own failure is its own business; the queue goes on.
  }
}

}  // namespace

HWND TUiCallLink::Window() const {
  std::lock_guard lock(FLock);
  return FWindow;
}

bool TUiCallLink::Post(TCall call) const {
  const HWND window = Window();
  if (!window) return false;
  auto owned = std::make_unique<TCall>(std::move(call));
  if (!::PostMessageW(window, kPosted, 0, reinterpret_cast<LPARAM>(owned.get()))) return false;
  owned.release();  // the window frees it, or its owner drops it
  return true;
}

bool TUiCallLink::Send(const TCall& call) const {
  const HWND window = Window();
  if (!window) return false;
  if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
    RunGuarded(call);
    return true;
  }
  // The window answers 1 when it has run the call; a window gone meanwhile answers 0.
  return ::SendMessageW(window, kSent, 0, reinterpret_cast<LPARAM>(&call)) == 1;
}

TUiCalls::TUiCalls() : FLink(std::make_shared<TUiCallLink>()) {
  RegisterClassOnce();
  HWND window = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  if (!window) throw std::runtime_error("cannot create the call window");
  ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TUiCalls::WindowProc));
  std::lock_guard lock(FLink->FLock);
  FLink->FWindow = window;
}

TUiCalls::~TUiCalls() {
  HWND window = nullptr;
  {
    std::lock_guard lock(FLink->FLock);
    window = FLink->FWindow;
    FLink->FWindow = nullptr;
  }
  if (!window) return;
  MSG msg;
  while (::PeekMessageW(&msg, window, kPosted, kPosted, PM_REMOVE))
    std::unique_ptr<TCall>(reinterpret_cast<TCall*>(msg.lParam));
  ::DestroyWindow(window);
}

LRESULT CALLBACK TUiCalls::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == kPosted) {
    const std::unique_ptr<TCall> call(reinterpret_cast<TCall*>(lParam));
    RunGuarded(*call);
    return 0;
  }
  if (msg == kSent) {
    RunGuarded(*reinterpret_cast<const TCall*>(lParam));
    return 1;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace quor
