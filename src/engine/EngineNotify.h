#pragma once
// The engine's notification message and its codes. Every notification
// reaches the user-interface thread through the engine's hidden window.

#include <windows.h>

namespace quor {

// First parameter: the code; second parameter: 0, or for the size-ready
// code the serial of the record whose size is known.
inline constexpr UINT EngineNotify = WM_USER + 601;

enum : WPARAM {
  kNotifyRefreshBegin = 0,
  kNotifyRefreshEnd = 1,
  kNotifyScanBegin = 2,
  kNotifyScanEnd = 3,
  kNotifyUninstallBegin = 4,
  kNotifyUninstallEnd = 5,
  kNotifyModifyBegin = 7,
  kNotifyModifyEnd = 8,
  kNotifySizeReady = 9,
  kNotifyCurrentItem = 10,
  kNotifyRemoveBegin = 11,
  kNotifyRemoveEnd = 12,
  // The engine's own: the scan's progress, at most one waiting at a time.
  kNotifyProgress = 14,
};

}  // namespace quor
