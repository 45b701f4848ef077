#pragma once
// The window procedure body shared by the toolkit's window-owning classes:
// `this` arrives with WM_NCCREATE, is kept in GWLP_USERDATA and is forgotten
// at WM_NCDESTROY; exceptions never leave the procedure.

#include <windows.h>

namespace quor {

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
    result = 0;
  }
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->*handle = nullptr;
  }
  return result;
}

}  // namespace quor
