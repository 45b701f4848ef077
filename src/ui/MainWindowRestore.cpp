// The frame menu's "Restore removed items": the restore window, then the
// list again when something came back (a restored registration is a program).

#include "app/LangText.h"
#include "ui/MainWindow.h"
#include "ui/RestoreWindow.h"

namespace quor {

void TFrmMain::pmRestoreClick() {
  if (!EngineIdle()) return;
  if (!ShowRestoreWindow(Handle(), BackupFolderOf(FHelper->Backup), FFont)) return;
  RunWithProgress(GetLangText(L"Message", L"Collecting", L"Is collecting software information.."),
                  kModeBusy, nullptr);
}

}  // namespace quor
