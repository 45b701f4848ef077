#pragma once
// The leftover review: what the scan found in two groups (files and folders,
// registry entries), each item with a check box and the reason it was found.
// Remove hands the ticks to the record (an unticked item is kept) and closes.

#include <windows.h>

#include <string>

#include "inventory/UninstallObject.h"
#include "toolkit/HostWindow.h"

namespace quor {

class TFrmAfterDel : public THostWindow {
 public:
  // Owned by `owner` (the main window), centred on it when shown.
  explicit TFrmAfterDel(HWND owner);
  ~TFrmAfterDel() override;

  // Set before ShowModal; not owned.
  TUninstallObject* FProgram = nullptr;
  // True from creation; false only when the user left with Remove, which
  // has marked every unticked item of FProgram as kept.
  bool FCancelled = true;

  int ShowModal();
};

}  // namespace quor
