#include "MenuGallery.h"

#include "GalleryWindow.h"
#include "toolkit/QuorSkin.h"

namespace quor {
namespace {

constexpr TColor kInk = 0x453A33;
constexpr TColor kMuted = 0xA0938A;
constexpr TColor kAccent = 0xE06C2B;

TFontSpec Font(int size, TColor color, uint8_t style = 0) {
  return {L"Tahoma", DEFAULT_CHARSET, size, style, color};
}

std::unique_ptr<TQuorMenuItem> Item(const wchar_t* name, const wchar_t* caption) {
  return std::make_unique<TQuorMenuItem>(name, caption);
}

}  // namespace



TMenuGalleryWindow::TMenuGalleryWindow(bool mainForm)
    : THostWindow({.Caption = L"Menu gallery", .Left = 120, .Top = 90, .Width = 520,
                   .Height = 260, .MainForm = mainForm}) {
  FItemIcons = std::make_unique<TQuorImageList>(
      TQuorImageList::TProps{.Image = SkinImage(L"item_icons")});
  FMenu = std::make_unique<TQuorPopupMenu>(SkinnedMenuProps(FItemIcons.get()));
  FBox = std::make_unique<TQuorMessageBox>(SkinnedMessageBoxProps());
  TQuorFormProps frame = SkinnedFrameProps(L"Quor menu gallery");
  frame.BtnPopuMenu = FMenu.get();
  FForm = std::make_unique<TQuorDirectForm>(*this, frame);
  DefineControls();
  FillMenu();
  Create();
  FMenu->SetOwner(Handle());
  FForm->Load();
}

TMenuGalleryWindow::~TMenuGalleryWindow() {
  FForm.reset();
  FMenu.reset();
}

void TMenuGalleryWindow::DefineControls() {
  TQuorDirectForm& f = *FForm;
  const TFontSpec ink = Font(9, kInk);
  AddGalleryHeading(f, {28, 52, 460, 28}, L"Popup menu and message box", {28, 84, 460, 40},
                    L"The menu also opens from the caption's menu button; Ctrl+O, Ctrl+S and F1 "
                    L"fire their items while it is closed.");

  const TQuorDirectButton::TProps menu{
      .Control = {.Name = L"btnMenu", .Bounds = {28, 140, 130, 30}},
      .ImgBtn = SkinImage(L"button"),
      .BtnSplit = {6, 6, 74, 22},
      .Caption = L"Popup menu",
      .FontNormal = ink,
      .FontOver = ink,
      .FontDown = ink};
  auto& btnMenu = f.Add<TQuorDirectButton>(menu);
  btnMenu.OnClick = [this](TQuorControlBase& sender) { BtnMenuClick(sender); };
  TQuorDirectButton::TProps message = menu;
  message.Control.Name = L"btnMessage";
  message.Control.Bounds = {170, 140, 130, 30};
  message.Caption = L"Message box";
  auto& btnMessage = f.Add<TQuorDirectButton>(message);
  btnMessage.OnClick = [this](TQuorControlBase& sender) { BtnMessageClick(sender); };

  FStatus =
      &f.Add<TQuorDirectLabel>({.Control = {.Name = L"lblStatus", .Bounds = {28, 196, 460, 22}},
                                .Font = ink,
                                .Caption = L"Ready"});
}

void TMenuGalleryWindow::FillMenu() {
  auto click = [this](TQuorMenuItem& item) { ItemClick(item); };
  auto add = [&](TQuorMenuItem& parent, const wchar_t* name, const wchar_t* caption) -> TQuorMenuItem& {
    TQuorMenuItem& item = parent.AddChild(Item(name, caption));
    item.OnClick = click;
    return item;
  };

  auto open = Item(L"pmOpen", L"&Open...");
  open->ShortCut = MakeShortCut('O', false, true, false);
  open->ImageIndex = 0;
  auto save = Item(L"pmSave", L"&Save leftovers");
  save->ShortCut = MakeShortCut('S', false, true, false);
  save->ImageIndex = 1;
  auto registry = Item(L"pmRegistry", L"Open in &registry editor");
  registry->ImageIndex = 2;

  auto view = Item(L"pmView", L"&View");
  for (const wchar_t* caption : {L"&Details", L"&Icons", L"&List"}) {
    TQuorMenuItem& radio = add(*view, L"pmViewMode", caption);
    radio.RadioItem = true;
    radio.AutoCheck = true;
    radio.GroupIndex = 1;
    radio.Checked = caption[1] == L'D';
  }
  add(*view, L"pmViewLine", L"-");
  TQuorMenuItem& hidden = add(*view, L"pmHidden", L"Show &hidden entries");
  hidden.AutoCheck = true;
  hidden.Checked = true;
  TQuorMenuItem& sort = add(*view, L"pmSort", L"&Sort by");
  for (const wchar_t* caption : {L"&Name", L"&Publisher", L"Si&ze", L"Install &date"})
    add(sort, L"pmSortBy", caption);

  auto languages = Item(L"pmLanguage", L"&Language");
  const wchar_t* names[] = {L"Afrikaans", L"Bulgarian", L"Catalan", L"Czech", L"Danish",
                            L"Dutch", L"English", L"Estonian", L"Finnish", L"French", L"German",
                            L"Greek", L"Hungarian", L"Italian", L"Japanese", L"Korean",
                            L"Latvian", L"Lithuanian", L"Norwegian", L"Polish", L"Portuguese",
                            L"Romanian", L"Russian", L"Serbian", L"Slovak", L"Slovenian",
                            L"Spanish", L"Swedish", L"Turkish", L"Ukrainian"};
  for (int round = 0; round < 2; ++round)
    for (const wchar_t* name : names) {
      TQuorMenuItem& lang = add(*languages, L"pmLang", name);
      lang.RadioItem = true;
      lang.AutoCheck = true;
      lang.GroupIndex = 2;
      lang.Checked = round == 0 && std::wstring(name) == L"English";
    }

  auto disabled = Item(L"pmDisabled", L"Force uninstall");
  disabled->Enabled = false;
  auto about = Item(L"pmAbout", L"&About");
  about->ShortCut = VK_F1;

  for (auto* item : {open.get(), save.get(), registry.get(), disabled.get(), about.get()})
    item->OnClick = click;
  FMenu->AddMenuItem(std::move(open));
  FMenu->AddMenuItem(std::move(save));
  FMenu->AddMenuItem(std::move(registry));
  FMenu->AddMenuItem(Item(L"pmLine1", L"-"));
  FMenu->AddMenuItem(std::move(view));
  FMenu->AddMenuItem(std::move(languages));
  FMenu->AddMenuItem(Item(L"pmLine2", L"-"));
  FMenu->AddMenuItem(std::move(disabled));
  FMenu->AddMenuItem(std::move(about));
}

void TMenuGalleryWindow::ItemClick(TQuorMenuItem& item) {
  std::wstring caption;
  for (wchar_t c : item.Caption)
    if (c != L'&') caption += c;
  FStatus->SetCaption(L"Clicked: " + caption);
}

void TMenuGalleryWindow::BtnMenuClick(TQuorControlBase& sender) {
  const RECT r = sender.SurfaceRect();
  POINT corner{r.left, r.bottom};
  ::ClientToScreen(FForm->Handle(), &corner);
  FMenu->Popup(corner.x, corner.y);
}

void TMenuGalleryWindow::BtnMessageClick(TQuorControlBase&) {
  const int answer = FBox->ShowMsg(
      L"Remove leftovers",
      L"The uninstaller of Example Application 4.2 has finished, but 12 files, 3 folders and "
      L"5 registry keys that belong to it are still on this computer. Remove them now?",
      false, Handle(), kMsgButtonsYesNo, kMsgConfirmation);
  FStatus->SetCaption(answer == kMsgResultYes  ? L"Answered Yes"
                      : answer == kMsgResultNo ? L"Answered No"
                                               : L"Closed");
}

}  // namespace quor
