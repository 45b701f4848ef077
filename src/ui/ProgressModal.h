#pragma once
// The progress dialog: runs one engine job for one program (the leftover
// scan or the removal of the leftovers), shows a line of text, a bar and
// Cancel, and closes itself when the job ends.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/UninstallHelper.h"
#include "toolkit/HostWindow.h"
#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorDirectProgress.h"

namespace quor {

class TFrmProgressModal : public THostWindow {
 public:
  static constexpr uint8_t kModeScan = 1, kModeRemoval = 4;

  // Owned by `owner` (the main window), centred on it when shown.
  explicit TFrmProgressModal(HWND owner);
  ~TFrmProgressModal() override;

  // Set before ShowModal. The engine and the record are not owned.
  TUninstallHelper* FHelper = nullptr;
  std::shared_ptr<TUninstallObject> FProgram;
  uint8_t FMode = kModeScan;
  // True from creation; false once the job has ended, true again by Cancel.
  bool FCancelled = true;

  void SetText(const std::wstring& text);
  void SetMax(int32_t max);

  // Starts the job, runs until it ends or Cancel is pressed, and clears the
  // engine's handlers before it returns.
  int ShowModal();

  static constexpr int kClientWidth = 388, kClientHeight = 118;
  TQuorDirectForm& Form() { return *FForm; }
  const std::wstring& InfoText() const { return lblinfo->Caption(); }
  const TQuorDirectProgress& Bar() const { return *pb1; }
  TQuorDirectStdButton& CancelButton() { return *btncancel; }

 private:
  void DefineControls();
  void FormShow();
  void TranslateProgress();
  void AssignHandlers();
  void StartJob();
  void FormClose();
  void btncancelClick(TQuorControlBase& sender);
  void JobEnded();
  bool KeyFilter(const MSG& msg);

  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectLabel* lblinfo = nullptr;
  TQuorDirectProgress* pb1 = nullptr;
  TQuorDirectStdButton* btncancel = nullptr;
  TFontSpec FFont{L"Tahoma", DEFAULT_CHARSET, 8, 0, RGB(56, 56, 56)};
  bool FTextSet = false;   // the main window has set the line
  bool FClosing = false;   // ended or cancelled: nothing more changes here
  bool FDestroying = false;
  bool FHandlersAssigned = false;
};

}  // namespace quor
