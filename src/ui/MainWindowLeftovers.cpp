// The leftover flow: the scan behind the progress dialog, the review of what
// it found, the removal behind a second progress dialog, and what is told
// afterwards.

#include "app/LangText.h"
#include "engine/LeftoverRules.h"
#include "engine/LeftoverScan.h"
#include "ui/AfterDel.h"
#include "ui/MainWindow.h"
#include "ui/ProgressModal.h"
#include "ui/RemovalSummary.h"

namespace quor {

void TFrmMain::RunLeftoverFlow(const std::wstring& text,
                               const std::shared_ptr<TUninstallObject>& record) {
  if (!record || !FHelper) return;
  if (!ScanForLeftovers(text, record)) return;
  if (record->LeftoverCount() == 0) {
    // Uninstalling itself, its own files are still there: FindLeftovers names them.
    if (IsOwnProgram(*record) && !KeyExists(record->RootKey, record->KeyPath, true)) return;
    ShowInfo(GetLangText(L"Uninstall", L"NoLeftOverItem",
                         L"No any leftover files/folders or registry entries found."));
    return;
  }
  TFrmAfterDel review(Handle());
  review.FProgram = record.get();
  review.ShowModal();
  if (review.FCancelled || !FHelper) return;
  if (!RemoveLeftovers(record)) {
    ShowInfo(GetLangText(L"Uninstall", L"Canceled", L"The operation has been canceled."));
    return;
  }
  ShowRemovalSummary(*wmsg1, Handle(), *record);
  // An unticked or undeletable registration keeps its row.
  if (!KeyExists(record->RootKey, record->KeyPath, true)) RemoveProgramRow(record.get());
}

// Answers whether the scan completed; a cancelled one is told to stop.
bool TFrmMain::ScanForLeftovers(const std::wstring& text,
                                const std::shared_ptr<TUninstallObject>& record) {
  bool cancelled = true;
  {
    TFrmProgressModal progress(Handle());
    progress.FHelper = FHelper.get();
    progress.FProgram = record;
    progress.FMode = TFrmProgressModal::kModeScan;
    progress.SetText(text);
    progress.SetMax(ScanStepCount());
    progress.ShowModal();
    cancelled = progress.FCancelled;
  }
  if (cancelled && FHelper) FHelper->Cancel();
  return !cancelled && FHelper;
}

// Answers whether the removal ran to its end with the dialog open.
bool TFrmMain::RemoveLeftovers(const std::shared_ptr<TUninstallObject>& record) {
  TFrmProgressModal progress(Handle());
  progress.FHelper = FHelper.get();
  progress.FProgram = record;
  progress.FMode = TFrmProgressModal::kModeRemoval;
  progress.SetMax(record->LeftoverCount());
  progress.ShowModal();
  return !progress.FCancelled;
}

}  // namespace quor
