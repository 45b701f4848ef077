// The frame menu's "Restore removed items": the restore window, then the
// list again when something came back (a restored registration is a program).

#include "app/LangText.h"
#include "ui/MainWindow.h"
#include "ui/RestoreWindow.h"

namespace quor {

void TFrmMain::pmRestoreClick() {
  if (!EngineIdle()) return;
  const bool restored = ShowRestoreWindow(Handle(), BackupFolderOf(FHelper->Backup), FFont);
  if (!restored || !Handle()) return;  // no window left: it was closed meanwhile
  RunWithProgress(GetLangText(L"Message", L"Collecting", L"Is collecting software information.."),
                  kModeBusy, nullptr);
}

}  // namespace quor
