// Shows the progress dialog (--progress), the About dialog (--about), the
// like-it dialog (--likeit) or the leftover review (--review) with sample content for a few seconds, for the screenshots in docs/.
#include <windows.h>

#include <memory>
#include <string>

#include "app/LangText.h"
#include "inventory/UninstallObject.h"
#include "ui/AboutWindow.h"
#include "ui/AfterDel.h"
#include "ui/LikeItWindow.h"
#include "ui/ProgressModal.h"

namespace {

constexpr UINT kShowMs = 6000;

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring full(path, n);
  return full.substr(0, full.find_last_of(L'\\') + 1);
}

quor::TLeftOverItem Item(std::wstring path, uint8_t kind, quor::TMatchedBy by,
                         quor::TConfidence confidence = quor::TConfidence::High) {
  quor::TLeftOverItem item(std::move(path), kind);
  item.MatchedBy = by;
  item.Confidence = confidence;
  return item;
}

std::unique_ptr<quor::TUninstallObject> SampleProgram() {
  using namespace quor;
  auto p = std::make_unique<TUninstallObject>();
  p->DisplayName = L"Contoso Notes";
  const std::wstring app = L"C:\\Program Files\\Contoso Notes";
  p->AddLeftover(Item(app + L"\\", lkFolder, TMatchedBy::InstallFolder));
  p->AddLeftover(Item(app + L"\\notes.exe", lkFile, TMatchedBy::InstallFolder));
  p->AddLeftover(Item(L"C:\\users\\Public\\Desktop\\Contoso Notes.lnk", lkFile, TMatchedBy::Location));
  p->AddLeftover(Item(L"C:\\users\\demo\\AppData\\Roaming\\Contoso Notes", lkFolder, TMatchedBy::Name));
  p->AddLeftover(Item(L"HKEY_CURRENT_USER\\Software\\Contoso\\Notes", lkRegKey, TMatchedBy::Name));
  p->AddLeftover(Item(L"HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer\\Products\\1F2E3D4C",
                      lkRegKey, TMatchedBy::Guid));
  p->AddLeftover(Item(L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ContosoNotes",
                      lkRegKey, TMatchedBy::Registration));
  p->AddLeftover(Item(L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\NotesHelper",
                      lkRegValue, TMatchedBy::Name, TConfidence::Low));
  return p;
}

template <typename Dialog>
int ShowForAWhile(Dialog& dialog) {
  dialog.SetTimer(99, kShowMs, [&dialog] { dialog.SetModalResult(IDCANCEL); });
  return dialog.ShowModal();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  quor::SetLanguageFile(ExeFolder() + L"Languages\\English.ini");
  const std::wstring args = commandLine ? commandLine : L"";
  if (args.find(L"--progress") != std::wstring::npos) {
    quor::TFrmProgressModal dialog(nullptr);
    dialog.SetText(quor::GetLangText(L"Message", L"StartFindLeftover", L"Searching for leftovers..."));
    dialog.SetMax(100);
    return ShowForAWhile(dialog);
  }
  if (args.find(L"--about") != std::wstring::npos) {
    quor::TFrmAbout dialog(nullptr);
    return ShowForAWhile(dialog);
  }
  if (args.find(L"--likeit") != std::wstring::npos) {
    quor::Tfrmlikeit dialog(nullptr);
    return ShowForAWhile(dialog);
  }
  auto program = SampleProgram();
  quor::TFrmAfterDel dialog(nullptr);
  dialog.FProgram = program.get();
  return ShowForAWhile(dialog);
}
