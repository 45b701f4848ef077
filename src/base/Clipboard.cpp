#include "base/Clipboard.h"

#include <algorithm>

namespace quor {
namespace {

// Open for the life of the object; another program may hold it a moment.
class TOpenClipboard {
 public:
  explicit TOpenClipboard(HWND owner) : FOpen(::OpenClipboard(owner) != FALSE) {}
  ~TOpenClipboard() {
    if (FOpen) ::CloseClipboard();
  }
  TOpenClipboard(const TOpenClipboard&) = delete;
  TOpenClipboard& operator=(const TOpenClipboard&) = delete;
  explicit operator bool() const { return FOpen; }

 private:
  bool FOpen;
};

}  // namespace

std::wstring ReadClipboardText(HWND owner) {
  std::wstring text;
  TOpenClipboard clipboard(owner);
  if (!clipboard) return text;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = p;
      ::GlobalUnlock(data);
    }
  }
  return text;
}

bool WriteClipboardText(HWND owner, const std::wstring& text) {
  if (text.empty()) return false;
  TOpenClipboard clipboard(owner);
  if (!clipboard) return false;
  ::EmptyClipboard();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (!memory) return false;
  if (void* p = ::GlobalLock(memory)) {
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(p));
    ::GlobalUnlock(memory);
    // The clipboard owns the memory once it is set.
    if (::SetClipboardData(CF_UNICODETEXT, memory)) return true;
  }
  ::GlobalFree(memory);
  return false;
}

}  // namespace quor
