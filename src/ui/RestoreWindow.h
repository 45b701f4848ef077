#pragma once
// The restore window: lists the backup sets that removals wrote, newest
// first, and puts the chosen set's files and registry entries back on a
// thread of its own.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/UiCalls.h"
#include "engine/BackupSets.h"
#include "toolkit/HostWindow.h"
#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorDirectListBox.h"
#include "toolkit/QuorMessageBox.h"
#include "toolkit/QuorMessageLoop.h"
#include "toolkit/QuorWindowHint.h"

namespace quor {

class TFrmRestore : public THostWindow {
 public:
  static constexpr int kClientWidth = 620, kClientHeight = 400;

  // Owned by `owner`; lists the sets below `root`; texts in the face of `face`.
  TFrmRestore(HWND owner, std::wstring root, const TFontSpec& face);
  ~TFrmRestore() override;

  // Centred on the owner, the list focused; runs until the window closes.
  int ShowModal();
  // Whether a restore put anything back while the window was open.
  bool RestoredAny() const { return FRestoredAny; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void DefineControls();
  void Translate();
  void FillList(const std::wstring& selectId);
  void UpdateButtons();
  const TBackupSetInfo* SelectedSet() const;
  bool KeyFilter(MSG& msg);
  bool AskYesNo(const std::wstring& text);
  void ShowInfo(const std::wstring& text);

  void btnrestoreClick(TQuorControlBase& sender);
  void btncloseClick(TQuorControlBase& sender);
  void StartRestore(const TBackupSetInfo& set);
  void RestoreEnd(const TRestoreReport& report);
  void ShowSummary(const TRestoreReport& report);

  std::wstring FRoot;
  TFontSpec FFace;
  std::vector<TBackupSetInfo> FSets;
  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectLabel* lblinfo = nullptr;
  TQuorDirectListBox* lstSets = nullptr;
  TQuorDirectStdButton* btnrestore = nullptr;
  TQuorDirectStdButton* btnclose = nullptr;
  std::unique_ptr<TQuorMessageBox> wmsg1;
  std::unique_ptr<TQuorWindowHint> whintwin1;
  TMessageLoop::TFilterToken FKeyFilter;
  bool FBusy = false;
  bool FRestoredAny = false;
  std::wstring FRestoringId;
  // The worker hands its report to this window's thread through it.
  TUiCalls FUiCalls;
  // Last: joined before the calls it asks for are dropped.
  std::jthread FWorker;
};

// Opens the restore window over `owner`; answers whether anything was put back.
bool ShowRestoreWindow(HWND owner, const std::wstring& root, const TFontSpec& face);

}  // namespace quor
