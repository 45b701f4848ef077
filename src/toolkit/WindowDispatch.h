#pragma once
// The window procedure body and the class registration shared by every
// toolkit window: `this` arrives with WM_NCCREATE, is kept in GWLP_USERDATA
// and is forgotten at WM_NCDESTROY; exceptions never leave the procedure.

#include <windows.h>

#include <algorithm>
#include <string>

namespace quor {

// Answers WM_GETTEXT (buffer size `w`, buffer `l`) or WM_GETTEXTLENGTH with
// `text`, for windows whose text is drawn rather than stored.
inline LRESULT AnswerGetText(UINT msg, WPARAM w, LPARAM l, const std::wstring& text) {
  if (msg == WM_GETTEXTLENGTH) return LRESULT(text.size());
  if (w == 0 || l == 0) return 0;
  const size_t n = std::min(text.size(), size_t(w) - 1);
  auto* out = reinterpret_cast<wchar_t*>(l);
  text.copy(out, n);
  out[n] = L'\0';
  return LRESULT(n);
}

// Registers a window class of this module once per name and returns the name.
inline const wchar_t* RegisterWindowClass(const wchar_t* name, WNDPROC proc, UINT style,
                                          HICON icon = nullptr) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (::GetClassInfoExW(::GetModuleHandleW(nullptr), name, &wc)) return name;
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = icon;
  wc.lpszClassName = name;
  ::RegisterClassExW(&wc);  // a failure shows when the first window is made
  return name;
}

template <typename T>
LRESULT DispatchToOwner(HWND hwnd, UINT msg, WPARAM w, LPARAM l, HWND T::*handle,
                        LRESULT (T::*handler)(UINT, WPARAM, LPARAM)) noexcept {
  T* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    self->*handle = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<T*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(hwnd, msg, w, l);
  LRESULT result = 0;
  try {
    result = (self->*handler)(msg, w, l);
  } catch (...) {
    result = ::DefWindowProcW(hwnd, msg, w, l);
  }
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->*handle = nullptr;
  }
  return result;
}

}  // namespace quor
