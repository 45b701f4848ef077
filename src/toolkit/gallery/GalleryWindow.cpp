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

}  // namespace



void AddGalleryHeading(TQuorDirectForm& form, const TBounds& titleBounds, const std::wstring& title,
                       const TBounds& introBounds, const std::wstring& intro) {
  form.Add<TQuorDirectLabel>({.Control = {.Name = L"lblTitle", .Bounds = titleBounds},
                              .Font = Font(14, kInk, fsBold),
                              .Caption = title});
  form.Add<TQuorDirectLabel>({.Control = {.Name = L"lblIntro", .Bounds = introBounds},
                              .Font = Font(9, kMuted),
                              .Caption = intro,
                              .WordBreak = true});
}

TGalleryWindow::TGalleryWindow(bool mainForm)
    : THostWindow({.Caption = L"Toolkit gallery", .Left = 80, .Top = 60, .Width = 805,
                   .Height = 476, .MainForm = mainForm}) {
  FItemIcons = std::make_unique<TQuorImageList>(
      TQuorImageList::TProps{.Image = SkinImage(L"item_icons")});
  FForm = std::make_unique<TQuorDirectForm>(*this, SkinnedFrameProps(L"Quor toolkit gallery"));
  DefineControls();
  FForm->Load();
}

TGalleryWindow::~TGalleryWindow() { FForm.reset(); }

void TGalleryWindow::BtnOkClick(TQuorControlBase&) {
  ++FClicks;
  FStatus->SetCaption(L"OK clicked " + std::to_wstring(FClicks) + L" time(s)");
}

// Every control of the window with its property values.
void TGalleryWindow::DefineControls() {
  TQuorDirectForm& f = *FForm;
  const TPngImage button = SkinImage(L"button");
  const TQuorPadding buttonSplit{6, 6, 74, 22};
  const TFontSpec ink = Font(9, kInk);

  AddGalleryHeading(f, {28, 52, 360, 28}, L"Skinned controls", {28, 82, 360, 40},
                    L"Every control below is drawn from the project's own PNG skin into one "
                    L"per-pixel-alpha surface.");

  const TQuorDirectLabel::TProps cut{
      .Control = {.Name = L"lblCut", .Bounds = {28, 126, 150, 22}, .Hint = L"own hint"},
      .Font = ink,
      .Caption = L"A caption far too long for its label"};
  f.Add<TQuorDirectLabel>(cut);
  TQuorDirectLabel::TProps right = cut;
  right.Control.Name = L"lblRight";
  right.Control.Bounds = {190, 126, 198, 22};
  right.Control.Hint.clear();
  right.Alignment = TQuorAlignment::Right;
  right.Caption = L"Right aligned";
  f.Add<TQuorDirectLabel>(right);

  auto& colour = f.Add<TQuorDirectColorLabel>(
      {.Control = {.Name = L"lblTotals", .Bounds = {28, 152, 400, 24}}});
  colour.BeginUpdate();
  colour.AddText(L"128 programs, ", {kInk, L"Tahoma", 9, 0});
  colour.AddText(L"3.2 GB", {kAccent, L"Tahoma", 9, fsBold});
  colour.AddText(L" in total", {kInk, L"Tahoma", 9, 0});
  colour.EndUpdate();

  const wchar_t* tabs[] = {L"General", L"Files", L"Registry"};
  for (int i = 0; i < 3; ++i)
    f.Add<TQuorDirectButton>(
        {.Control = {.Name = L"btnTab" + std::to_wstring(i), .Bounds = {28 + i * 96, 190, 90, 30}},
         .ImgBtn = button,
         .BtnSplit = buttonSplit,
         .Caption = tabs[i],
         .ButtonTab = true,
         .GroupIndex = 1,
         .BtnStatus = i == 0 ? TQuorBtnStatus::bsSelect : TQuorBtnStatus::bsNormal,
         .FontNormal = ink,
         .FontOver = ink,
         .FontDown = ink,
         .FontSelect = Font(9, kInk, fsBold)});

  const TFontSpec white = Font(9, 0xFFFFFF, fsBold);
  const TQuorDirectButton::TProps uninstall{
      .Control = {.Name = L"btnUninstall", .Bounds = {28, 236, 150, 34}},
      .ImgBtn = SkinImage(L"button_accent"),
      .BtnSplit = buttonSplit,
      .Caption = L"Normal Uninstall",
      .Imagelist = FItemIcons.get(),
      .Imgindex = -1,
      .FontNormal = white,
      .FontOver = white,
      .FontDown = white,
      .FontDisable = Font(9, 0xF0F0F0, fsBold)};
  f.Add<TQuorDirectButton>(uninstall);
  TQuorDirectButton::TProps disabled = uninstall;
  disabled.Control.Name = L"btnDisabled";
  disabled.Control.Bounds = {190, 236, 150, 34};
  disabled.Control.Enabled = false;
  disabled.Caption = L"Disabled";
  f.Add<TQuorDirectButton>(disabled);

  const TQuorDirectStdButton::TProps ok{
      .Control = {.Name = L"btnOk", .Bounds = {28, 290, 96, 30}, .TabStop = true},
      .ImgBtn = SkinImage(L"std_button"),
      .BtnSplit = buttonSplit,
      .Caption = L"OK",
      .FontNormal = ink,
      .FontOver = ink,
      .FontDown = ink,
      .FontDisable = Font(9, kMuted),
      .FontFocus = ink};
  auto& btnOk = f.Add<TQuorDirectStdButton>(ok);
  btnOk.OnClick = [this](TQuorControlBase& sender) { BtnOkClick(sender); };
  TQuorDirectStdButton::TProps cancel = ok;
  cancel.Control.Name = L"btnCancel";
  cancel.Control.Bounds = {134, 290, 96, 30};
  cancel.Caption = L"Cancel";
  f.Add<TQuorDirectStdButton>(cancel);

  f.Add<TQuorDirectProgress>({.Control = {.Name = L"pgbScan", .Bounds = {28, 340, 360, 8}},
                              .ImgBack = SkinImage(L"progress_back"),
                              .ImgLoad = SkinImage(L"progress_load"),
                              .ImgFront = SkinImage(L"progress_front"),
                              .Position = 60,
                              .LoadValue = 80,
                              .ImgSplit = {4, 0, 36, 0}});

  f.Add<TQuorDirectImage>({.Control = {.Name = L"imgLogo", .Bounds = {440, 56, 48, 48}},
                           .Image = SkinImage(L"logo_large")});
  f.Add<TQuorDirectImage>({.Control = {.Name = L"imgBusy", .Bounds = {500, 68, 24, 24}},
                           .Image = SkinImage(L"busy_ani"),
                           .imgcount = 12,
                           .imgindex = 3});

  const wchar_t* icons[] = {L"icon_info", L"icon_question", L"icon_warning", L"icon_error"};
  for (int i = 0; i < 4; ++i)
    f.Add<TQuorDirectImage>({.Control = {.Name = std::wstring(L"img") + icons[i],
                                         .Bounds = {440 + i * 44, 120, 32, 32}},
                             .Image = SkinImage(icons[i])});
  const wchar_t* checks[] = {L"check4", L"check6", L"check9"};
  const int counts[] = {4, 6, 9};
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < counts[i]; ++k)
      f.Add<TQuorDirectImage>(
          {.Control = {.Name = std::wstring(L"img") + checks[i] + L"_" + std::to_wstring(k),
                       .Bounds = {440 + k * 22, 170 + i * 24, 16, 16}},
           .Image = SkinImage(checks[i]),
           .imgcount = counts[i],
           .imgindex = k});
  for (int i = 0; i < FItemIcons->Count(); ++i)
    f.Add<TQuorDirectImage>({.Control = {.Name = L"imgItem" + std::to_wstring(i),
                                         .Bounds = {440 + i * 24, 250, 16, 16}},
                             .Image = *FItemIcons->Item(i)});

  const TQuorDirectEdit::TProps search{
      .Control = {.Name = L"edtSearch", .Bounds = {440, 290, 220, 28}, .TabStop = true},
      .Font = ink,
      .Text = L"Search programs",
      .ImgEdit = SkinImage(L"edit"),
      .ImageList = FItemIcons.get(),
      .Imgindex = 1,
      .Imgx1 = 6,
      .ImgX2 = 34,
      .EditStateCount = 4};
  f.Add<TQuorDirectEdit>(search);
  TQuorDirectEdit::TProps number = search;
  number.Control.Name = L"edtNumber";
  number.Control.Bounds = {670, 290, 100, 28};
  number.Imgindex = -1;
  number.Text = L"42";
  number.OnlyNumber = true;
  f.Add<TQuorDirectEdit>(number);

  f.Add<TQuorDirectScrollBar>({.Control = {.Name = L"sbVertical", .Bounds = {770, 56, 12, 220}},
                               .ScrollRes = SkinnedScrollRes(true),
                               .Max = 99,
                               .PageSize = 20,
                               .Position = 10});
  f.Add<TQuorDirectScrollBar>({.Control = {.Name = L"sbHorizontal", .Bounds = {440, 336, 330, 12}},
                               .ScrollRes = SkinnedScrollRes(false),
                               .Max = 199,
                               .PageSize = 50,
                               .Position = 120,
                               .kind = TQuorScrollkind::skHor});

  auto& status = f.Add<TQuorDirectPanel>(
      {.Control = {.Name = L"pnlStatus", .Bounds = {9, 476 - 8 - 1 - 34, 805 - 18, 34}},
       .ImgSplit = {2, 0, 18, 0},
       .ImgBack = SkinImage(L"panel_back")});
  FStatus =
      &status.Add<TQuorDirectLabel>({.Control = {.Name = L"lblStatus", .Bounds = {16, 6, 400, 22}},
                                     .Font = Font(9, kMuted),
                                     .Caption = L"Ready"});
}

}  // namespace quor
