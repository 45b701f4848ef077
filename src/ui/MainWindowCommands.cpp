// The command buttons: which are enabled, the busy rule, and handing the
// selected program to the engine.

#include "app/LangText.h"
#include "engine/LeftoverScan.h"
#include "ui/MainWindow.h"

namespace quor {
namespace {

TUninstallObject* RecordOf(const TQuorLboxItem* row) {
  return row ? static_cast<TUninstallObject*>(row->Data) : nullptr;
}

bool RegistrationExists(const TUninstallObject& record) {
  return KeyExists(record.RootKey, record.KeyPath, true);
}

}  // namespace

void TFrmMain::UpdateButtons() {
  TUninstallObject* record = RecordOf(FCurItem);
  if (!record || !FHelper) return;
  const bool idle = !FHelper->Busy();
  BtnNormal->SetEnabled(idle);
  btnforce->SetEnabled(idle);
  btnremove->SetEnabled(idle);
  btnmodify->SetEnabled(idle && !record->ModifyPath.empty());
}

// A command that needs the engine goes ahead only while it is idle and the
// list is complete.
bool TFrmMain::EngineIdle() {
  if (FHelper && FHelper->State() == esIdle && !FFilling) return true;
  ShowInfo(GetLangText(L"Message", L"IsBusy", L"Please wait for the curent operation over."));
  return false;
}

// The first selected row, hidden by the search or not.
TQuorLboxItem* TFrmMain::SelectedProgramRow() {
  TQuorLboxItem* row = lstFile->GetSelectedItem();
  if (!row)
    ShowInfo(GetLangText(L"Message", L"NoProgramSelected", L"Please select a program at first."));
  return row;
}

void TFrmMain::BtnNormalClick(TQuorControlBase&) {
  TQuorLboxItem* row = SelectedProgramRow();
  if (!row || !EngineIdle()) return;
  if (TUninstallObject* record = RecordOf(row)) {
    try {
      FHelper->Uninstall(record->shared_from_this(), false);
    } catch (...) {
      // A job that cannot start leaves the engine idle; nothing to report.
    }
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
  if (!row) return;
  if (!AskYesNo(GetLangText(L"Message", L"BeSureUseForce",
                            L"Force uninstall only when safe uninstall doesn't work,be sure use?")))
    return;
  if (!EngineIdle()) return;
  if (TUninstallObject* record = RecordOf(row)) FindLeftovers(record);
}

void TFrmMain::btnremoveClick(TQuorControlBase&) {
  TQuorLboxItem* row = SelectedProgramRow();
  if (!row) return;
  if (!AskYesNo(GetLangText(L"Message", L"ConfirmRemove",
                            L"Are you sure you want to remove this entry?")))
    return;
  if (!EngineIdle()) return;
  if (TUninstallObject* record = RecordOf(row)) {
    FHelper->DeleteEntry(*record);
    if (!RegistrationExists(*record)) RemoveProgramRow(record);
  }
}

// The end of an uninstall job: after a normal uninstall that removed the
// registration, the leftover flow; after a forced one (often while its
// review is open), the row goes with the registration.
void TFrmMain::UninstallFollowUp(TUninstallHelper&, TUninstallObject* record, bool force) {
  if (!force) ShowCommandError(record, L"UninstallNotRun", L"The uninstall command was not run.");
  if (record && !force && !RegistrationExists(*record)) FindLeftovers(record);
  if (record && force && !RegistrationExists(*record)) RemoveProgramRow(record);
  for (TQuorDirectButton* b : {BtnNormal, btnmodify, btnforce, btnremove}) b->SetEnabled(false);
}

void TFrmMain::FindLeftovers(TUninstallObject* record) {
  if (!record) return;
  RunWithProgress(GetLangText(L"Message", L"StartFindLeftover",
                              L"Analysing for leftover files, folders and registry entries..."),
                  kModeLeftovers, record);
}

}  // namespace quor
