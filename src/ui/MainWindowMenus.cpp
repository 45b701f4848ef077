// The frame's menu, the list's context menu with its language sub-menu and
// web search, and the window's keyboard.

#include "app/LangText.h"
#include "inventory/Registry.h"
#include "ui/AboutWindow.h"
#include "ui/LikeItWindow.h"
#include "ui/MainWindow.h"
#include "ui/RegistryEditor.h"
#include "ui/WebAddress.h"

namespace quor {
namespace {

std::unique_ptr<TQuorMenuItem> MenuItem(const wchar_t* name, const wchar_t* caption) {
  return std::make_unique<TQuorMenuItem>(name, GetLangText(L"Translation", name, caption));
}

bool KeyDown(int key) { return ::GetKeyState(key) < 0; }

}  // namespace

void TFrmMain::BuildMenus() {
  const HWND owner = Handle();
  pmsys->ClearItems();
  auto help = MenuItem(L"pmHelp", L"Help Online");
  help->ShortCut = VK_F1;
  help->OnClick = [owner](TQuorMenuItem&) {
    OpenWebAddress(owner, std::wstring(kVendorSite) + kHelpPath);
  };
  pmsys->AddMenuItem(std::move(help));
  auto home = MenuItem(L"pmHome", L"Home Page");
  home->OnClick = [owner](TQuorMenuItem&) {
    OpenWebAddress(owner, std::wstring(kVendorSite) + kProductPath);
  };
  pmsys->AddMenuItem(std::move(home));
  pmsys->AddMenuItem(MenuItem(L"N1", L"-"));
  auto checkNew = MenuItem(L"pmCheckNew", L"Checks for new version");
  checkNew->OnClick = [this](TQuorMenuItem&) { StartUpdateCheck(); };
  pmsys->AddMenuItem(std::move(checkNew));
  pmsys->AddMenuItem(MenuItem(L"N2", L"-"));
  auto restore = MenuItem(L"pmRestore", L"Restore removed items...");
  restore->OnClick = [this](TQuorMenuItem&) { pmRestoreClick(); };
  pmsys->AddMenuItem(std::move(restore));
  auto languages = MenuItem(L"pmLang", L"Languages");
  BuildLanguageMenu(*languages);
  pmsys->AddMenuItem(std::move(languages));
  auto about = MenuItem(L"pmAbout", L"About..");
  about->OnClick = [this](TQuorMenuItem& item) { ShowAbout(item); };
  pmsys->AddMenuItem(std::move(about));

  pmbtn->ClearItems();
  auto openEntry = MenuItem(L"pmOpenEntry", L"Open registry entry..");
  openEntry->OnClick = [this](TQuorMenuItem& item) { OpenEntry(item); };
  pmbtn->AddMenuItem(std::move(openEntry));
  FSearchItem = &pmbtn->AddMenuItem(MenuItem(L"pmGoogle", L"Google for"));
}

void TFrmMain::BuildLanguageMenu(TQuorMenuItem& pmLang) {
  for (const std::wstring& name : FLang->LangList()) {
    auto item = std::make_unique<TQuorMenuItem>(L"", FLang->GetNativeName(name));
    item->Data = name;
    item->AutoCheck = true;
    item->RadioItem = true;
    item->GroupIndex = 0;
    item->Checked = name == FLang->LangName();
    item->OnClick = [this](TQuorMenuItem& chosen) { SelectLanguage(chosen); };
    pmLang.AddChild(std::move(item));
  }
  auto translate = std::make_unique<TQuorMenuItem>(
      L"", GetLangText(L"Message", L"TranslateTo", L"Translate to.."));
  const HWND owner = Handle();
  translate->OnClick = [owner](TQuorMenuItem&) {
    OpenWebAddress(owner, std::wstring(kVendorSite) + kTranslationPath);
  };
  pmLang.AddChild(std::move(translate));
}

// The menu has toggled the item already: choosing the checked language
// clears its mark and changes nothing else.
void TFrmMain::SelectLanguage(TQuorMenuItem& item) {
  if (!item.Checked) return;
  FLang->LoadLanguage(item.Data);
}

void TFrmMain::pmbtnPopup(TQuorPopupMenu& sender, bool&) {
  TQuorLboxItem* row = VisibleSelectedRow();
  for (int i = 0; i < sender.Count(); ++i) sender.Items(i)->Enabled = row != nullptr;
  auto* record = row ? static_cast<TUninstallObject*>(row->Data) : nullptr;
  if (!record || !FSearchItem) return;
  FSearchItem->ClearChildren();
  for (const std::wstring& text : {record->DisplayName, record->Publisher}) {
    auto search = std::make_unique<TQuorMenuItem>(L"", text);
    search->OnClick = [this](TQuorMenuItem& item) { SearchWeb(item); };
    FSearchItem->AddChild(std::move(search));
  }
}

void TFrmMain::SearchWeb(TQuorMenuItem& item) {
  OpenWebAddress(Handle(), SearchAddress(item.Caption));
}

// The registry editor at the selected program's registration.
void TFrmMain::OpenEntry(TQuorMenuItem&) {
  TQuorLboxItem* row = VisibleSelectedRow();
  auto* record = row ? static_cast<TUninstallObject*>(row->Data) : nullptr;
  if (!record) return;
  const std::wstring root = RootKeyName(record->RootKey);
  if (root.empty()) return;
  OpenRegistryKey(root + L"\\" + record->KeyPath, {});
}

// The About box and the like-it box, modal over the window.
void TFrmMain::ShowAbout(TQuorMenuItem&) { ShowAboutDialog(Handle()); }
void TFrmMain::btnlikeitClick(TQuorControlBase&) { ShowLikeItDialog(Handle()); }
void TFrmMain::lblcheckverclick(TQuorControlBase&) { StartUpdateCheck(); }

void TFrmMain::QuorDirectImage1click(TQuorControlBase&) { OpenWebAddress(Handle(), kVendorSite); }

void TFrmMain::PopupProgramMenu(POINT screen) { pmbtn->Popup(screen.x, screen.y); }

// Under the selected row when it is in view, else at the list's top-left.
void TFrmMain::PopupProgramMenuAtSelection() {
  POINT p{8, lstFile->Props().HeaderHeight + 4};
  if (TQuorLboxItem* row = VisibleSelectedRow()) {
    const RECT& r = row->RowRect;
    if (r.bottom > r.top && r.top >= 0 && r.bottom <= lstFile->Height())
      p = {r.left + 24, r.bottom};
  }
  ::ClientToScreen(lstFile->Handle(), &p);
  PopupProgramMenu(p);
}

// Like the button, a key uninstalls only the row the user can see.
void TFrmMain::UninstallFromKeyboard() { BtnNormalClick(*BtnNormal); }

// The window's keys, before the focused control sees them.
bool TFrmMain::KeyFilter(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_CHAR)
    return false;
  if (msg.message == WM_SYSKEYDOWN && msg.wParam != VK_F10) return false;
  if (!FCreated || !::IsWindowEnabled(Handle()) || pmsys->Showing() || pmbtn->Showing())
    return false;
  if (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)) return false;
  const bool inSearch = msg.hwnd == edtserach->Handle();
  const bool ctrl = KeyDown(VK_CONTROL), alt = KeyDown(VK_MENU), shift = KeyDown(VK_SHIFT);
  if (msg.message == WM_CHAR) {
    const wchar_t c = wchar_t(msg.wParam);
    if (inSearch || ctrl || alt || c < 32 || c == 127) return false;
    edtserach->SetFocus();
    ::SendMessageW(edtserach->Handle(), WM_CHAR, msg.wParam, msg.lParam);
    return true;
  }
  switch (msg.wParam) {
    case 'F':
      if (!ctrl || alt) return false;
      edtserach->SetFocus();
      return true;
    case VK_ESCAPE:
      if (edtserach->Text().empty()) return false;
      edtserach->SetText(L"");
      return true;
    case VK_RETURN:
    case VK_DELETE:
      if (ctrl || alt || (msg.wParam == VK_DELETE && inSearch)) return false;
      UninstallFromKeyboard();
      return true;
    case VK_F5:
      if (!EngineIdle()) return true;
      RunWithProgress(GetLangText(L"Message", L"Collecting", L"Is collecting software information.."),
                      kModeBusy, nullptr);
      return true;
    case VK_APPS:
    case VK_F10:
      if (msg.wParam == VK_F10 && !shift) return false;
      if (lstFile->Focused()) return false;  // the list opens it at its current row
      PopupProgramMenuAtSelection();
      return true;
  }
  return false;
}

}  // namespace quor
