#include "app/RunOnce.h"

namespace quor {

namespace {

constexpr DWORD kSlotSize = sizeof(LONG);
// A first instance that does not answer must not hang every later start.
constexpr UINT kRestoreTimeoutMs = 5000;

std::unique_ptr<TInstanceSlot>& ProcessSlot() {
  static std::unique_ptr<TInstanceSlot> slot;
  return slot;
}

}  // namespace

bool TSystemInstanceWindows::Exists(HWND window) { return ::IsWindow(window) != FALSE; }

void TSystemInstanceWindows::BringForward(HWND window) {
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(window, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, kRestoreTimeoutMs,
                        &ignored);
  const HWND popup = ::GetLastActivePopup(window);
  if (popup == nullptr) return;
  // An open dialog comes to the front rather than the window it blocks.
  HWND front = window;
  if (popup != window && ::IsWindowEnabled(popup)) {
    if (!::IsWindowVisible(popup)) ::ShowWindow(popup, SW_SHOW);
    front = popup;
  }
  ::SetForegroundWindow(front);
}

std::unique_ptr<TInstanceSlot> TInstanceSlot::Open(const wchar_t* name) {
  UniqueKernelHandle section(::OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name));
  const bool created = !section;
  if (created) {
    section.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSlotSize,
                                       name));
    if (!section) return nullptr;
  }
  UniqueMappedView view(::MapViewOfFile(section.Get(), FILE_MAP_ALL_ACCESS, 0, 0, kSlotSize));
  if (!view) return nullptr;
  auto slot = std::make_unique<TInstanceSlot>(std::move(section), std::move(view));
  if (created) slot->Store(nullptr);
  return slot;
}

// Window handles carry 32 significant bits, also in 64-bit processes, so the
// 4-byte slot holds any of them (HandleToLong / LongToHandle).
HWND TInstanceSlot::Stored() const {
  return static_cast<HWND>(LongToHandle(*static_cast<volatile LONG*>(FView.Get())));
}

void TInstanceSlot::Store(HWND window) {
  *static_cast<volatile LONG*>(FView.Get()) = HandleToLong(window);
}

bool TInstanceSlot::CheckPreviousInstance(HWND ownWindow, TInstanceWindows& windows) {
  const HWND stored = Stored();
  if (stored == nullptr || stored == ownWindow || !windows.Exists(stored)) {
    Store(ownWindow);
    return false;
  }
  windows.BringForward(stored);
  return true;
}

void OpenInstanceSlot() { ProcessSlot() = TInstanceSlot::Open(); }

bool CheckPreviousInstance(HWND ownWindow) {
  if (!ProcessSlot()) return false;
  TSystemInstanceWindows windows;
  return ProcessSlot()->CheckPreviousInstance(ownWindow, windows);
}

void CloseInstanceSlot() { ProcessSlot().reset(); }

}  // namespace quor
