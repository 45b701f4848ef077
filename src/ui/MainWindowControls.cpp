// The main window's controls with their design-time values, and how they
// follow the window when it is maximised.

#include "toolkit/QuorSkin.h"
#include "toolkit/QuorSkinProps.h"
#include "ui/Anchors.h"
#include "ui/MainWindow.h"

namespace quor {
namespace {

// The skin is light: texts the dark original header showed in white are ink here.
constexpr TColor kInk = 0x453A33;
constexpr TColor kLink = 0xE06C2B;
const TQuorPadding kButtonSplit{6, 6, 74, 22};

TFontSpec Font(TColor color, uint8_t style = 0, int size = 8) {
  return {L"Tahoma", DEFAULT_CHARSET, size, style, color};
}

TQuorDirectButton::TProps ButtonProps(const wchar_t* name, TBounds bounds, const wchar_t* caption,
                                      bool accent, bool enabled) {
  const TFontSpec face = Font(accent ? 0xFFFFFF : kInk);
  return {.Control = {.Name = name, .Bounds = bounds, .Enabled = enabled},
          .ImgBtn = SkinImage(accent ? L"button_accent" : L"button"),
          .BtnSplit = kButtonSplit,
          .Caption = caption,
          .FontNormal = face,
          .FontOver = face,
          .FontDown = face,
          .FontDisable = Font(accent ? 0xF0F0F0 : 0xA0938A),
          .FontSelect = face,
          .FontFocus = face};
}

}  // namespace

void TFrmMain::Anchor(TQuorControlBase& control, uint8_t anchors) {
  FAnchored.push_back({&control, control.Bounds(), anchors});
}

void TFrmMain::DefineControls() {
  TQuorDirectForm& f = *FForm;
  QuorDirectImage2 = &f.Add<TQuorDirectImage>(
      {.Control = {.Name = L"QuorDirectImage2", .Bounds = {14, 11, 56, 54}},
       .Image = SkinImage(L"logo_large")});
  lblinfo = &f.Add<TQuorDirectLabel>(
      {.Control = {.Name = L"lblinfo", .Bounds = {76, 37, 485, 25}},
       .Font = Font(kInk, fsBold),
       .Caption = L"Provides a powerful way to help you uninstall obstinate software."});
  FSearchIcon = std::make_unique<TQuorImageList>(
      TQuorImageList::TProps{.Image = SkinImage(L"search_icon")});
  edtserach = &f.Add<TQuorDirectEdit>(
      {.Control = {.Name = L"edtserach", .Bounds = {631, 34, 160, 31}, .TabStop = true, .TabOrder = 0},
       .Font = Font(kInk),
       .ImgEdit = SkinImage(L"edit"),
       .ImageList = FSearchIcon.get(),
       .Imgindex = 0,
       .Imgx1 = 6,
       .ImgX2 = 28,
       .EditStateCount = 4});
  edtserach->OnChange = [this](TQuorControlBase& s) { edtserachChange(s); };
  Anchor(*edtserach, akTopRight);

  TQuorDirectListBox::TProps list = SkinnedListProps();
  list.Control = {.Name = L"lstFile", .Bounds = {8, 72, 634, 350}, .TabStop = true, .TabOrder = 1};
  list.Color = 0xFFFFFF;
  list.Font = Font(0x000000);
  list.FontColorNormal = list.FontColorOver = 0x000000;
  list.Itemheight = 30;
  list.HeaderHeight = 19;
  list.HeaderFont = Font(kInk, fsBold);
  list.MultiSelect = false;
  list.Imagelist = il2.get();
  list.MarginImageList = 4;
  list.MarginText = 10;  // counted from the image's own left, not its margin
  list.SupportRightSelect = true;
  lstFile = &f.Add<TQuorDirectListBox>(list);
  lstFile->OnHeadClickEvent = [this](TQuorControlBase& s, TQuorLbHeadItem& c, int i) {
    lstFileHeadClickEvent(s, c, i);
  };
  lstFile->OnItemClick = [this](TQuorControlBase& s, TQuorLboxItem* item) { lstFileItemClick(s, item); };
  lstFile->OnCurrentChange = [this](TQuorControlBase& s, TQuorLboxItem* item) {
    lstFileItemClick(s, item);
  };
  lstFile->OnContextMenu = [this](TQuorControlBase&, POINT screen, TQuorLboxItem*) {
    PopupProgramMenu(screen);
  };
  Anchor(*lstFile, akAll);

  AddCommandButtons();

  QuorDirectPanel1 = &f.Add<TQuorDirectPanel>(
      {.Control = {.Name = L"QuorDirectPanel1", .Bounds = {8, 421, 634, 24}},
       .ImgSplit = {2, 0, 18, 0},
       .ImgBack = SkinImage(L"panel_back")});
  lblinfoex = &QuorDirectPanel1->Add<TQuorDirectColorLabel>(
      {.Control = {.Name = L"lblinfoex", .Bounds = {6, 1, 622, 22}}});
  Anchor(*QuorDirectPanel1, akLeft | akRight | akBottom);

  lblver = &f.Add<TQuorDirectLabel>(
      {.Control = {.Name = L"lblver", .Bounds = {14, 445, 253, 22}}, .Font = Font(kInk, fsBold)});
  const TFontSpec link = Font(kLink);
  TFontSpec linkOver = link;
  linkOver.Style = fsUnderline;
  lblcheckver = &f.Add<TQuorDirectLabel>(
      {.Control = {.Name = L"lblcheckver", .Bounds = {273, 445, 272, 22}},
       .SupportMouseOverDown = true,
       .Font = link,
       .FontOver = linkOver,
       .FontDown = linkOver,
       .Caption = L"Check New Version"});
  Anchor(*lblver, akLeft | akBottom);
  Anchor(*lblcheckver, akLeft | akBottom);

  QuorDirectImage1 = &f.Add<TQuorDirectImage>(
      {.Control = {.Name = L"QuorDirectImage1", .Bounds = {668, 414, 116, 28}},
       .Image = SkinImage(L"vendor_badge")});
  Anchor(*QuorDirectImage1, akBottomRight);
  btnlikeit = &f.Add<TQuorDirectButton>(
      ButtonProps(L"btnlikeit", {704, 445, 89, 22}, L"Like It", false, true));
  Anchor(*btnlikeit, akBottomRight);
  QuorDirectImage1->OnClick = [this](TQuorControlBase& s) { QuorDirectImage1click(s); };
  lblcheckver->OnClick = [this](TQuorControlBase& s) { lblcheckverclick(s); };
  btnlikeit->OnClick = [this](TQuorControlBase& s) { btnlikeitClick(s); };
}

void TFrmMain::AddCommandButtons() {
  TQuorDirectForm& f = *FForm;
  BtnNormal = &f.Add<TQuorDirectButton>(
      ButtonProps(L"BtnNormal", {649, 75, 140, 31}, L"Normal Uninstall", true, false));
  btnmodify = &f.Add<TQuorDirectButton>(
      ButtonProps(L"btnmodify", {649, 112, 140, 31}, L"Modify", false, false));
  btnforce = &f.Add<TQuorDirectButton>(
      ButtonProps(L"btnforce", {649, 149, 140, 31}, L"Force Uninstall", false, false));
  btnremove = &f.Add<TQuorDirectButton>(
      ButtonProps(L"btnremove", {649, 205, 140, 31}, L"Delete Entries", false, false));
  BtnNormal->OnClick = [this](TQuorControlBase& s) { BtnNormalClick(s); };
  btnmodify->OnClick = [this](TQuorControlBase& s) { btnmodifyClick(s); };
  btnforce->OnClick = [this](TQuorControlBase& s) { btnforceClick(s); };
  btnremove->OnClick = [this](TQuorControlBase& s) { btnremoveClick(s); };
  for (TQuorControlBase* b : {(TQuorControlBase*)BtnNormal, (TQuorControlBase*)btnmodify,
                              (TQuorControlBase*)btnforce, (TQuorControlBase*)btnremove})
    Anchor(*b, akTopRight);
}

// Places every anchored control for the frame's present size, then paints
// the whole surface again from the clean skin, in one update. A control that
// moves pastes back what it covered and takes a new snapshot; moved one by
// one, a control would paste its old background over a neighbour that has
// already grown into that place (the list over the buttons' old places when
// maximised), and a snapshot would keep a neighbour's old painting, which it
// pastes later (text beyond the skin after a restore).
void TFrmMain::LayoutControls() {
  const SIZE client{FForm->Surface().Width(), FForm->Surface().Height()};
  if (client.cx <= 0 || client.cy <= 0) return;
  TQuorDirectForm::TUpdateGuard update(*FForm);
  for (const TAnchored& a : FAnchored)
    a.Control->SetBounds(
        AnchoredBounds(a.Design, a.Anchors, {kClientWidth, kClientHeight}, client));
  FForm->RedrawAll();
}

}  // namespace quor
