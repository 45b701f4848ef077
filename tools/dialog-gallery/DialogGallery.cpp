// Shows the progress dialog (--progress), the About dialog (--about), the
// like-it dialog (--likeit), the leftover review (--review) or the summary
// after a removal (--summary) with sample content for a few seconds, for the
// screenshots in docs/.
#include <shlobj.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/LangText.h"
#include "inventory/UninstallObject.h"
#include "toolkit/QuorSkinProps.h"
#include "ui/AboutWindow.h"
#include "ui/AfterDel.h"
#include "ui/LikeItWindow.h"
#include "ui/ProgressModal.h"
#include "ui/RemovalSummary.h"

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

std::wstring KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// Sample files, so that the review shows sizes; gone when the object goes.
class TSampleFiles {
 public:
  TSampleFiles() {
    Write(Data() + L"\\settings.ini", 1200);
    Write(Data() + L"\\cache\\notes.db", 5 << 20);
    Write(Desktop(), 1500);
  }
  ~TSampleFiles() {
    for (const std::wstring& file : FFiles) ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW((Data() + L"\\cache").c_str());
    ::RemoveDirectoryW(Data().c_str());
  }
  static std::wstring Data() { return KnownFolder(CSIDL_APPDATA) + L"\\Contoso Notes"; }
  static std::wstring Desktop() {
    return KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Contoso Notes.lnk";
  }

 private:
  void Write(const std::wstring& path, DWORD bytes) {
    ::SHCreateDirectoryExW(nullptr, path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    ::SetFilePointer(file, LONG(bytes), nullptr, FILE_BEGIN);
    ::SetEndOfFile(file);
    ::CloseHandle(file);
    FFiles.push_back(path);
  }
  std::vector<std::wstring> FFiles;
};

std::unique_ptr<quor::TUninstallObject> SampleProgram() {
  using namespace quor;
  auto p = std::make_unique<TUninstallObject>();
  p->DisplayName = L"Contoso Notes";
  const std::wstring app = L"C:\\Program Files\\Contoso Notes";
  p->AddLeftover(Item(TSampleFiles::Data() + L"\\", lkFolder, TMatchedBy::Name));
  p->AddLeftover(Item(TSampleFiles::Data() + L"\\settings.ini", lkFile, TMatchedBy::RelatedFolder));
  p->AddLeftover(Item(TSampleFiles::Desktop(), lkFile, TMatchedBy::Location));
  p->AddLeftover(Item(app + L"\\plugins\\spell-checker\\dictionaries\\en-GB\\en-GB.dic", lkFile,
                      TMatchedBy::InstallFolder));
  p->AddLeftover(Item(L"HKEY_CURRENT_USER\\Software\\Contoso\\Notes", lkRegKey, TMatchedBy::Name));
  p->AddLeftover(Item(L"HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer\\Products\\1F2E3D4C",
                      lkRegKey, TMatchedBy::Guid));
  p->AddLeftover(Item(L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ContosoNotes",
                      lkRegKey, TMatchedBy::Registration));
  p->AddLeftover(Item(L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\NotesHelper",
                      lkRegValue, TMatchedBy::Name, TConfidence::Low));
  return p;
}

// The same items as a removal leaves them: most gone, the weak one kept, a
// link left in place, a file in use.
std::unique_ptr<quor::TUninstallObject> RemovedProgram() {
  using namespace quor;
  auto p = SampleProgram();
  for (int32_t i = 0; i < p->LeftoverCount(); ++i) p->SetLeftoverResult(i, TRemovalState::Removed);
  p->SetLeftoverKept(7, true);
  p->SetLeftoverResult(7, TRemovalState::Kept, L"kept: weak match");
  p->SetLeftoverResult(0, TRemovalState::Kept, L"link left in place");
  p->SetLeftoverResult(
      3, TRemovalState::Failed,
      L"The process cannot access the file because it is being used by another process.");
  p->SetBackupSet(L"2026-12-11 091502 Contoso Notes");
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
  if (args.find(L"--summary") != std::wstring::npos) {
    quor::TQuorMessageBox box(quor::SkinnedMessageBoxProps());
    ::SetTimer(nullptr, 0, kShowMs, [](HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(0); });
    quor::ShowRemovalSummary(box, nullptr, *RemovedProgram());
    return 0;
  }
  const TSampleFiles files;
  auto program = SampleProgram();
  quor::TFrmAfterDel dialog(nullptr, L"");
  dialog.FProgram = program.get();
  return ShowForAWhile(dialog);
}
