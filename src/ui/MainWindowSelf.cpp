// Uninstalling Quor Uninstaller from its own list: a warning first, and at
// the end its executables, which cannot go while they run, are deleted once
// it has ended.

#include "app/LangText.h"
#include "app/SelfRemoval.h"
#include "ui/MainWindow.h"
#include "ui/RestoreText.h"

namespace quor {

bool TFrmMain::IsOwnProgram(const TUninstallObject& record) const {
  return IsOwnRegistration(record, OwnExecutableFolder());
}

bool TFrmMain::ConfirmSelfUninstall(const TUninstallObject& record) {
  if (!IsOwnProgram(record)) return true;
  return ConfirmDestructive(
      FillTemplate(GetLangText(L"Message", L"SelfUninstall",
                               L"%s is Quor Uninstaller itself, the program you are using. "
                               L"Uninstall it? Its program files are deleted when you close it."),
                   L"%s", record.DisplayName));
}

// The running executables are named as they stay, never as "nothing left".
void TFrmMain::FinishSelfRemoval() {
  if (FSelfRemovalScheduled) return;
  const std::vector<std::wstring> files = OwnExecutables(OwnExecutablePath());
  if (files.empty()) {
    ShowInfo(GetLangText(L"Uninstall", L"NoLeftOverItem",
                         L"No any leftover files/folders or registry entries found."));
    return;
  }
  std::wstring list;
  for (const std::wstring& file : files) list += L"\r\n" + file;
  TScheduledDeletion scheduled = ScheduleDeletionAfterExit(files, OwnExecutableFolder());
  if (!scheduled.Scheduled) {
    wmsg1->ShowMsg(GetLangText(L"Translation", L"Warning", L"Warning"),
                   FillTemplate(GetLangText(L"Message", L"SelfNotScheduled",
                                            L"These files of Quor Uninstaller could not be "
                                            L"scheduled for deletion (%s). Delete them after "
                                            L"closing it:"),
                                L"%s", scheduled.Error) +
                       list,
                   false, Handle(), kMsgButtonsOk, kMsgWarning);
    return;
  }
  // Closed by the system when this process ends: that end starts the deletion.
  static_cast<void>(scheduled.Hold.Release());
  FSelfRemovalScheduled = true;
  ShowInfo(GetLangText(L"Message", L"SelfScheduled",
                       L"Quor Uninstaller is still running. These files are deleted when you "
                       L"close it:") +
           list);
}

}  // namespace quor
