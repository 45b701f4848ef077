#include "ui/RemovalSummary.h"

#include "app/LangText.h"

namespace quor {
namespace {

std::wstring Uninstall(const wchar_t* key, const wchar_t* english) {
  return GetLangText(L"Uninstall", key, english);
}

}  // namespace

TRemovalSummaryTexts RemovalSummaryTexts() {
  return {.Removed = Uninstall(L"SummaryRemoved", L"Removed: %d"),
          .Kept = Uninstall(L"SummaryKept", L"Kept: %d"),
          .Failed = Uninstall(L"SummaryFailed", L"Failed: %d"),
          .FailedItems = {Uninstall(L"RemoveFailed", L"These items could not be removed:"),
                          Uninstall(L"RemoveFailedMore", L"and %d more")},
          .LeftInPlace = Uninstall(L"SummaryLeftInPlace", L"Left in place:"),
          .NotTried = Uninstall(L"SummaryNotTried", L"not tried"),
          .BackupSet = Uninstall(L"SummaryBackupSet", L"Backup set: %s"),
          .NoBackupSet = Uninstall(L"SummaryNoBackupSet", L"No backup set was written.")};
}

void ShowRemovalSummary(TQuorMessageBox& box, HWND owner, const TUninstallObject& record) {
  const bool failed = CountRemovalStates(record).Failed > 0;
  const std::wstring title = failed ? GetLangText(L"Translation", L"Warning", L"Warning")
                                    : GetLangText(L"Translation", L"Information", L"Information");
  box.ShowMsg(title, RemovalSummaryText(record, RemovalSummaryTexts()), false, owner, kMsgButtonsOk,
              failed ? kMsgWarning : kMsgInformation);
}

}  // namespace quor
