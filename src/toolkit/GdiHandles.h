#pragma once
// RAII owners for the GDI objects the toolkit creates.

#include <windows.h>

#include "base/Handles.h"

namespace quor {

struct GdiObjectTraits {
  using Type = HGDIOBJ;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr; }
  static void Close(Type h) noexcept { ::DeleteObject(h); }
};

struct MemoryDcTraits {
  using Type = HDC;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr; }
  static void Close(Type h) noexcept { ::DeleteDC(h); }
};

struct IconTraits {
  using Type = HICON;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr; }
  static void Close(Type h) noexcept { ::DestroyIcon(h); }
};

using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;

// Selects an object into a device context for the lifetime of the guard.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : FDc(dc), FOld(::SelectObject(dc, obj)) {}
  ~SelectGuard() { ::SelectObject(FDc, FOld); }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC FDc;
  HGDIOBJ FOld;
};

}  // namespace quor
