#pragma once
// Single instance: a named 4-byte section holds the first instance's window;
// a later start brings that window forward and ends.

#include <windows.h>

#include <memory>

#include "base/Handles.h"

namespace quor {

inline constexpr wchar_t kInstanceSlotName[] = L"{E317B5E1-4A47-4C48-98C6-4CA9924F2D92}";

// The part that touches the running instance's windows, apart so that the
// slot's rules can be tried without them.
class TInstanceWindows {
 public:
  virtual ~TInstanceWindows() = default;
  // False when the handle names no window any more: its instance has ended.
  virtual bool Exists(HWND window) = 0;
  // Restores the window and brings it, or its open dialog, to the front.
  virtual void BringForward(HWND window) = 0;
};

class TSystemInstanceWindows final : public TInstanceWindows {
 public:
  bool Exists(HWND window) override;
  void BringForward(HWND window) override;
};

struct MappedViewTraits {
  using Type = void*;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type p) noexcept { return p != nullptr; }
  static void Close(Type p) noexcept { ::UnmapViewOfFile(p); }
};
using UniqueMappedView = UniqueHandle<MappedViewTraits>;

class TInstanceSlot {
 public:
  // Opens the section, or creates it holding 0; null when it can be neither
  // opened nor created and mapped (the program then runs unguarded).
  static std::unique_ptr<TInstanceSlot> Open(const wchar_t* name = kInstanceSlotName);

  // True when another instance runs and was brought forward. Otherwise this
  // process is the first: its window goes into the slot, also in place of a
  // window whose instance has ended.
  bool CheckPreviousInstance(HWND ownWindow, TInstanceWindows& windows);

  HWND Stored() const;
  void Store(HWND window);

  TInstanceSlot(UniqueKernelHandle section, UniqueMappedView view)
      : FSection(std::move(section)), FView(std::move(view)) {}

 private:

  UniqueKernelHandle FSection;
  UniqueMappedView FView;
};

// The process's own slot, open from start-up to the end.
void OpenInstanceSlot();
bool CheckPreviousInstance(HWND ownWindow);
// The slot's content stays; the section goes with its last handle.
void CloseInstanceSlot();

}  // namespace quor
