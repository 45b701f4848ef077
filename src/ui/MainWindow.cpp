#include "ui/MainWindow.h"

#include "app/BackupSettings.h"
#include "app/FileVersion.h"
#include "app/LangText.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorSkinProps.h"

namespace quor {
namespace {

constexpr UINT_PTR kTimerStart = 1;
constexpr UINT kStartDelayMs = 300;

THostParams MainHostParams() {
  RECT work{0, 0, 1024, 768};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return {.Caption = L"Quor Power Unintaller",
          .Left = work.left + (work.right - work.left - TFrmMain::kClientWidth) / 2,
          .Top = work.top + (work.bottom - work.top - TFrmMain::kClientHeight) / 2,
          .Width = TFrmMain::kClientWidth,
          .Height = TFrmMain::kClientHeight,
          .MainForm = true};
}

std::wstring ExeFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

}  // namespace

TFrmMain::TFrmMain() : THostWindow(MainHostParams()) { Create(); }

TFrmMain::~TFrmMain() {
  if (FCreated) FormDestroy();
  FForm.reset();
}

void TFrmMain::FormCreate() {
  FShown = false;
  const TFileVersion version = OwnFileVersion();
  FVersionText = VersionText(version);
  FBuild = version.Build;

  il3 = std::make_unique<TQuorImageList>(
      TQuorImageList::TProps{.Image = SkinImage(L"program_default_small")});
  // The list takes its image width from il2's first image: the default icon
  // is there from the start.
  il2 = std::make_unique<TQuorImageList>(TQuorImageList::TProps{});
  if (const TPngImage* fallback = il3->Item(0)) il2->Add(*fallback);
  whintwin1 =
      std::make_unique<TQuorWindowHint>(TQuorWindowHint::TProps{.ImgForm = SkinImage(L"busy_back"),
                                                                .ImgAni = SkinImage(L"busy_ani"),
                                                                .FrameCount = 12,
                                                                .DrawInterval = 33});
  wmsg1 = std::make_unique<TQuorMessageBox>(SkinnedMessageBoxProps());
  pmsys = std::make_unique<TQuorPopupMenu>(SkinnedMenuProps(nullptr));
  pmbtn = std::make_unique<TQuorPopupMenu>(SkinnedMenuProps(nullptr));
  pmbtn->OnBeforPopup = [this](TQuorPopupMenu& s, bool& canShow) { pmbtnPopup(s, canShow); };

  TQuorFormProps frame = SkinnedFrameProps(L"Quor Uninstaller Beta");
  frame.CaptionFont = {L"Tahoma", DEFAULT_CHARSET, 9, fsBold, 0x453A33};
  frame.ImgLogo = {};
  frame.TitleLeftFix = 68;
  frame.TitleTopFix = 6;
  frame.SupportResize = false;
  frame.CanMoveAny = true;
  frame.BtnPopuMenu = pmsys.get();
  FForm = std::make_unique<TQuorDirectForm>(*this, frame);
  FForm->OnQuorFormMax = [this](TQuorDirectForm&) { LayoutControls(); };
  FForm->OnQuorFormRestore = [this](TQuorDirectForm&) { LayoutControls(); };
  DefineControls();
  FForm->Load();
  SetCaption(L"Quor Power Unintaller");
  pmsys->SetOwner(Handle());
  pmbtn->SetOwner(Handle());
  wmsg1->SetFonts(wmsg1->Props().FontTitle, wmsg1->Props().FontMsg, wmsg1->Props().FontBtn);

  const std::wstring exeDir = ExeFolder();
  FLang = std::make_unique<TLanguageSettings>(exeDir, TLanguageSettings::GetConfigDir(exeDir));
  FLang->OnTranslate = [this] { TranslateMainWindow(); };
  FLang->ListLanguages();
  FLang->LoadConfig();
  CreateColumns();
  BuildMenus();
  CreateEngine();
  FUiCalls = std::make_unique<TUiCalls>();
  FKeyFilter = TMessageLoop::AddFilter([this](MSG& msg) { return KeyFilter(msg); });
  FCreated = true;
}

void TFrmMain::CreateEngine() {
  FHelper = std::make_unique<TUninstallHelper>();
  FHelper->Threaded = true;
  // Removals write a backup set first unless Config.ini turns it off; sets
  // past their age or beyond the total size go now, oldest first.
  const TBackupSettings backup = ReadBackupSettings(FLang->ConfigFile());
  FHelper->Backup.Enabled = backup.Enabled;
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  ApplyRetention(BackupFolderOf(FHelper->Backup), backup.Retention, now);
  FHelper->OnSizeReady = [this](TUninstallHelper&, TUninstallObject* record) {
    if (record) SizeReady(*record);
  };
  FHelper->OnRefreshEnd = [this](TUninstallHelper& s) { OnRefreshEnd(s); };
  FHelper->OnUninstallBegin = [this](TUninstallHelper&, TUninstallObject*, bool) {
    UpdateButtons();
  };
  FHelper->OnUninstallEnd = [this](TUninstallHelper& s, TUninstallObject* r, bool force) {
    UninstallFollowUp(s, r, force);
  };
  FHelper->OnModifyBegin = [this](TUninstallHelper&, TUninstallObject*, bool) { UpdateButtons(); };
  FHelper->OnModifyEnd = [this](TUninstallHelper&, TUninstallObject* r, bool) {
    UpdateButtons();
    ShowModifyResult(r);
  };
}

void TFrmMain::FormShow() {
  Show(SW_SHOW);
  ::SetForegroundWindow(Handle());
  if (FShown) return;
  FShown = true;
  SetTimer(kTimerStart, kStartDelayMs, [this] { tmr1Timer(); });
}

void TFrmMain::tmr1Timer() {
  KillTimer(kTimerStart);
  RunWithProgress(GetLangText(L"Message", L"Collecting", L"Is collecting software information.."),
                  kModeBusy, nullptr);
}

// The language list goes with FLang; the engine may still run a job, which
// it stops (an uninstaller it started goes on by itself).
void TFrmMain::FormDestroy() {
  FCreated = false;
  FKeyFilter = {};
  FUiCalls.reset();
  const TLanguageSettings* lang = FLang.get();
  FHelper.reset();
  if (lang && !FSelfRemovalScheduled) lang->SaveConfig();
  FLang.reset();
}

// Closing while a job runs asks first; the engine does not wait for an
// uninstaller's process tree when it goes.
bool TFrmMain::CloseQuery() {
  // A refresh is the program's own work and stops with it; only an
  // uninstaller, a modify command, a scan or a removal is worth a question.
  if (!FHelper || FHelper->State() == esIdle || FHelper->State() == esRefreshing) return true;
  return AskYesNo(GetLangText(L"Message", L"CloseWhileBusy",
                              L"An uninstall is still running. Close Quor Uninstaller anyway? "
                              L"The program's own uninstaller goes on by itself."));
}

LRESULT TFrmMain::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CLOSE:
      if (!CloseQuery()) return 0;
      break;
  }
  return THostWindow::HandleMessage(msg, w, l);
}

void TFrmMain::ShowInfo(const std::wstring& text) {
  wmsg1->ShowMsg(GetLangText(L"Translation", L"Information", L"Information"), text, false, Handle(),
                 kMsgButtonsOk, kMsgInformation);
}

void TFrmMain::ShowCommandError(const TUninstallObject* record, const wchar_t* key,
                                const wchar_t* text) {
  const std::wstring error = FHelper ? FHelper->CommandError() : std::wstring();
  if (error.empty()) return;
  const std::wstring name = record ? record->DisplayName + L": " : std::wstring();
  wmsg1->ShowMsg(GetLangText(L"Translation", L"Error", L"Error"),
                 GetLangText(L"Message", key, text) + L"\r\n" + name + error, false, Handle(),
                 kMsgButtonsOk, kMsgError);
}

// Every answer but No consents: closing the box counts as Yes.
bool TFrmMain::AskYesNo(const std::wstring& text) {
  return wmsg1->ShowMsg(GetLangText(L"Translation", L"Warning", L"Warning"), text, false, Handle(),
                        kMsgButtonsYesNo, kMsgWarning) != kMsgResultNo;
}

bool TFrmMain::ConfirmDestructive(const std::wstring& text) {
  return wmsg1->ShowMsg(GetLangText(L"Translation", L"Warning", L"Warning"), text, false, Handle(),
                        kMsgButtonsYesNo, kMsgWarning, true) == kMsgResultYes;
}

}  // namespace quor
