// The command buttons: which are enabled, the busy rule, and handing the
// selected program to the engine. Every command acts on the selected row
// only while the user can see it.

#include "app/LangText.h"
#include "app/MissingUninstaller.h"
#include "engine/LeftoverScan.h"
#include "ui/MainWindow.h"
#include "ui/RestoreText.h"

namespace quor {
namespace {

TUninstallObject* RecordOf(const TQuorLboxItem* row) {
  return row ? static_cast<TUninstallObject*>(row->Data) : nullptr;
}

bool RegistrationExists(const TUninstallObject& record) {
  return KeyExists(record.RootKey, record.KeyPath, true);
}

std::wstring Named(const wchar_t* key, const wchar_t* text, const std::wstring& name) {
  return FillTemplate(GetLangText(L"Message", key, text), L"%s", name);
}

}  // namespace

// The selected row while the search shows it; a hidden row is never acted on.
TQuorLboxItem* TFrmMain::VisibleSelectedRow() const {
  TQuorLboxItem* row = lstFile ? lstFile->GetSelectedItem() : nullptr;
  return row && row->Visible() ? row : nullptr;
}

// Without a visible selected row every button is disabled.
void TFrmMain::UpdateButtons() {
  if (!FHelper || !BtnNormal) return;
  TUninstallObject* record = RecordOf(VisibleSelectedRow());
  const bool enabled = record && !FHelper->Busy();
  BtnNormal->SetEnabled(enabled);
  btnforce->SetEnabled(enabled);
  btnremove->SetEnabled(enabled);
  btnmodify->SetEnabled(enabled && !record->ModifyPath.empty());
}

// A command that needs the engine goes ahead only while it is idle and the
// list is complete.
bool TFrmMain::EngineIdle() {
  if (FHelper && FHelper->State() == esIdle && !FFilling) return true;
  ShowInfo(GetLangText(L"Message", L"IsBusy", L"Please wait for the curent operation over."));
  return false;
}

TQuorLboxItem* TFrmMain::SelectedProgramRow() {
  TQuorLboxItem* row = VisibleSelectedRow();
  if (!row)
    ShowInfo(GetLangText(L"Message", L"NoProgramSelected", L"Please select a program at first."));
  return row;
}

void TFrmMain::BtnNormalClick(TQuorControlBase&) {
  TQuorLboxItem* row = SelectedProgramRow();
  if (!row || !EngineIdle()) return;
  TUninstallObject* record = RecordOf(row);
  if (!record || !ConfirmSelfUninstall(*record)) return;
  // A missing uninstaller is told at once, with Force Uninstall to offer.
  if (OfferForceUninstall(*record)) return;
  try {
    FHelper->Uninstall(record->shared_from_this(), false);
  } catch (...) {
    // A job that cannot start leaves the engine idle; nothing to report.
  }
}

void TFrmMain::btnmodifyClick(TQuorControlBase&) {
  TQuorLboxItem* row = SelectedProgramRow();
  if (!row || !EngineIdle()) return;
  if (TUninstallObject* record = RecordOf(row)) {
    try {
      FHelper->Modify(record->shared_from_this());
    } catch (...) {
    }
  }
}

void TFrmMain::btnforceClick(TQuorControlBase&) {
  TQuorLboxItem* row = SelectedProgramRow();
  TUninstallObject* record = RecordOf(row);
  if (!record || !ConfirmSelfUninstall(*record)) return;
  if (!ConfirmDestructive(Named(L"ConfirmForce",
                                L"Force uninstall %s? Use it only when the program's own "
                                L"uninstaller does not work. What the program left behind is "
                                L"shown to you before anything is removed.",
                                record->DisplayName)))
    return;
  if (!EngineIdle()) return;
  FindLeftovers(record);
}

// The registration goes into a backup set first, and stays when that set
// cannot be written.
void TFrmMain::btnremoveClick(TQuorControlBase&) {
  TUninstallObject* record = RecordOf(SelectedProgramRow());
  if (!record) return;
  if (!ConfirmDestructive(Named(L"ConfirmDeleteEntry",
                                L"Delete the uninstall entry of %s? The program's files stay "
                                L"where they are. The entry is backed up first and can be "
                                L"restored.",
                                record->DisplayName)))
    return;
  if (!EngineIdle()) return;
  const TEntryDeletion result = FHelper->DeleteEntry(*record);
  if (!RegistrationExists(*record)) {
    RemoveProgramRow(record);
    return;
  }
  const std::wstring reason = result.Error.empty()
                                  ? GetLangText(L"Message", L"EntryStays", L"it is still there")
                                  : result.Error;
  wmsg1->ShowMsg(
      GetLangText(L"Translation", L"Error", L"Error"),
      FillTemplate(Named(L"DeleteEntryFailed", L"The uninstall entry of %s was not deleted: %s",
                         record->DisplayName),
                   L"%s", reason),
      false, Handle(), kMsgButtonsOk, kMsgError);
}

// A program whose uninstaller is missing cannot be uninstalled normally:
// say what is missing and offer Force Uninstall, which goes ahead on Yes.
// Answers whether the uninstaller was missing.
bool TFrmMain::OfferForceUninstall(TUninstallObject& record) {
  const auto missing = FindMissingUninstaller(record.UninstallString, TCommandContext::ForSystem());
  if (!missing) return false;
  const std::wstring what = missing->NoCommand
                                ? GetLangText(L"Message", L"NoUninstallCommand",
                                              L"it has no uninstall command (UninstallString)")
                                : FillTemplate(GetLangText(L"Message", L"UninstallerFileMissing",
                                                           L"its uninstaller %s is missing"),
                                               L"%s", missing->Program);
  const std::wstring question =
      FillTemplate(Named(L"UninstallerMissing",
                         L"%s cannot be uninstalled normally: %s. Force Uninstall searches for "
                         L"what the program left behind and shows it to you before anything is "
                         L"removed. Force uninstall it now?",
                         record.DisplayName),
                   L"%s", what);
  if (ConfirmDestructive(question) && EngineIdle()) FindLeftovers(&record);
  return true;
}

// The end of an uninstall job: after a normal uninstall that removed the
// registration, the leftover flow; after a forced one (often while its
// review is open), the row goes with the registration.
void TFrmMain::UninstallFollowUp(TUninstallHelper&, TUninstallObject* record, bool force) {
  if (record && !force && !FHelper->CommandError().empty()) {
    // Gone between the click and the job's start: offered now.
    if (!OfferForceUninstall(*record))
      ShowCommandError(record, L"UninstallNotRun", L"The uninstall command was not run.");
  } else if (record && !force && !RegistrationExists(*record)) {
    FindLeftovers(record);
  }
  if (record && force && !RegistrationExists(*record)) RemoveProgramRow(record);
  for (TQuorDirectButton* b : {BtnNormal, btnmodify, btnforce, btnremove}) b->SetEnabled(false);
}

void TFrmMain::FindLeftovers(TUninstallObject* record) {
  if (!record) return;
  const auto held = record->shared_from_this();
  RunWithProgress(GetLangText(L"Message", L"StartFindLeftover",
                              L"Analysing for leftover files, folders and registry entries..."),
                  kModeLeftovers, record);
  if (IsOwnProgram(*held) && !RegistrationExists(*held)) FinishSelfRemoval();
}

// Modify tells how it ended: why it could not start, or its exit code.
void TFrmMain::ShowModifyResult(const TUninstallObject* record) {
  if (!record || !FHelper) return;
  if (!FHelper->CommandError().empty()) {
    ShowCommandError(record, L"ModifyNotRun", L"The modify command was not run.");
    return;
  }
  const auto code = FHelper->CommandExitCode();
  if (!code) {
    ShowInfo(
        Named(L"ModifyStarted", L"The modify command of %s was started.", record->DisplayName));
    return;
  }
  ShowInfo(
      FillTemplate(Named(L"ModifyEnded", L"The modify command of %s has ended with exit code %d.",
                         record->DisplayName),
                   L"%d", std::to_wstring(*code)));
}

}  // namespace quor
