// The update check: one at a time, on a thread of its own, its result on
// this window's thread. Nothing waits for a check when the window goes.

#include "app/IniFile.h"
#include "app/LangText.h"
#include "app/UpdateCheck.h"
#include "base/Text.h"
#include "ui/MainWindow.h"
#include "ui/RestoreText.h"
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

// A check that found out nothing says so, with the reason, rather than
// that there is no update.
std::wstring TFrmMain::UpdateFailureText(const TCheckUpdate& check) const {
  switch (check.FFailure) {
    case TUpdateFailure::None:
      return {};
    case TUpdateFailure::NoConnection:
      return FillTemplate(GetLangText(L"Message", L"UpdateNoConnection",
                                      L"no connection to the update server (%s)"),
                          L"%s", check.FFailureText);
    case TUpdateFailure::HttpStatus:
      return FillTemplate(
          GetLangText(L"Message", L"UpdateHttpStatus", L"the server answered with HTTP status %d"),
          L"%d", std::to_wstring(check.FFailureDetail));
    case TUpdateFailure::NoAnswer:
      return GetLangText(L"Message", L"UpdateNoAnswer", L"the server did not answer in time");
    case TUpdateFailure::Redirects:
      return GetLangText(L"Message", L"UpdateRedirects",
                         L"the server redirected the request too often, or to an address that "
                         L"is not a web address");
    case TUpdateFailure::BadAnswer:
      return GetLangText(L"Message", L"UpdateBadAnswer",
                         L"the server's answer is not an update-information file");
    case TUpdateFailure::NoTempFolder:
      return GetLangText(L"Message", L"UpdateNoTempFolder",
                         L"the answer could not be stored in the temporary folder");
  }
  return {};
}

void TFrmMain::CheckUpdateDone(TCheckUpdate& sender, const std::wstring&, int32_t build,
                               const std::wstring& showUrl, const std::vector<std::wstring>&) {
  if (const std::wstring why = UpdateFailureText(sender); !why.empty()) {
    wmsg1->ShowMsg(GetLangText(L"Translation", L"Error", L"Error"),
                   FillTemplate(GetLangText(L"Message", L"UpdateFailed",
                                            L"The check for a new version failed: %s"),
                                L"%s", why),
                   false, Handle(), kMsgButtonsOk, kMsgError);
    FCheckUpdate.reset();
    return;
  }
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
