// The update check: one at a time, on a thread of its own, its result on
// this window's thread. Nothing waits for a check when the window goes.

#include "app/IniFile.h"
#include "app/LangText.h"
#include "app/UpdateCheck.h"
#include "base/Text.h"
#include "ui/MainWindow.h"
#include "ui/VendorInfo.h"
#include "ui/WebAddress.h"

namespace quor {

// The vendor's file, unless Config.ini names a mirror ("UpdateUrl" in
// section "General"), which must be a web address.
std::wstring TFrmMain::UpdateFileAddress() const {
  if (FLang) {
    if (auto ini = LoadIniFile(FLang->ConfigFile())) {
      const std::wstring mirror = Trim(ini->Read(L"General", L"UpdateUrl", L""));
      if (IsWebAddress(mirror)) return mirror;
    }
  }
  return std::wstring(kVendorSite) + kUpdatePath;
}

void TFrmMain::StartUpdateCheck() {
  if (FCheckUpdate || !FUiCalls) return;
  FCheckUpdate = TCheckUpdate::Create(FBuild, UpdateFileAddress(), FUiCalls->Link());
  FCheckUpdate->FSection = L"VerInfo";
  FCheckUpdate->FDefaultShowUrl = std::wstring(kVendorSite) + kDownloadPath;
  FCheckUpdate->FOnResult = [this](TCheckUpdate& sender, const std::wstring& file, int32_t build,
                                   const std::wstring& showUrl,
                                   const std::vector<std::wstring>& newInfo) {
    CheckUpdateDone(sender, file, build, showUrl, newInfo);
  };
  FCheckUpdate->Start();
}

void TFrmMain::CheckUpdateDone(TCheckUpdate&, const std::wstring&, int32_t build,
                               const std::wstring& showUrl, const std::vector<std::wstring>&) {
  switch (DecideUpdate(FBuild, build, showUrl)) {
    case TUpdateOutcome::OpenPage:
      OpenWebPage(Handle(), Trim(showUrl));
      break;
    case TUpdateOutcome::Nothing:
      break;
    case TUpdateOutcome::NoUpdate:
      ShowInfo(GetLangText(L"Message", L"NoNewVer", L"No effective update found."));
      break;
  }
  FCheckUpdate.reset();
}

}  // namespace quor
