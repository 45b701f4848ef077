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

TQuorFormProps SkinnedFrameProps(const std::wstring& caption) {
  TQuorFormProps p;
  p.AlphaWidth = 8;
  p.Caption = caption;
  p.FormSplit = {20, 45, 80, 80};
  p.ImgForm = SkinImage(L"form");
  p.ImgBtnMin = SkinImage(L"btn_min");
  p.ImgBtnMax = SkinImage(L"btn_max");
  p.ImgBtnRestore = SkinImage(L"btn_restore");
  p.ImgBtnClose = SkinImage(L"btn_close");
  p.ImgBtnSkin = SkinImage(L"btn_skin");
  p.ImgBtnSingleClose = SkinImage(L"btn_single_close");
  p.ImgBtnSingleMin = SkinImage(L"btn_single_min");
  p.ImgBtnMenu = SkinImage(L"btn_menu");
  p.ImgLogo = SkinImage(L"logo");
  p.BtnTopFix = 0;
  p.BtnRightFix = 2;
  p.LogoLeftFix = 4;
  p.LogoHint = L"Quor Uninstaller";
  p.BtnMinHint = L"Minimize";
  p.BtnMaxHint = L"Maximize";
  p.BtnRestoreHint = L"Restore";
  p.BtnCloseHint = L"Close";
  p.BtnMenuHint = L"Menu";
  return p;
}

TQuorScrollBarRes SkinScrollBarRes(bool vertical) {
  const std::wstring kind = vertical ? L"scroll_v_" : L"scroll_h_";
  TQuorScrollBarRes res;
  res.ImgBack = SkinImage(kind + L"back");
  res.ImgSlider = SkinImage(kind + L"slider");
  res.ImgBtnLT = SkinImage(kind + L"lt");
  res.ImgBtnRB = SkinImage(kind + L"rb");
  res.ImgCenter = SkinImage(kind + L"center");
  res.SliderSplit = vertical ? TQuorPadding{0, 6, 0, 34} : TQuorPadding{6, 0, 34, 0};
  res.BackUseThree = true;
  return res;
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

  TQuorDirectLabel::TProps title;
  title.Name = L"lblTitle";
  title.Bounds = {28, 52, 360, 28};
  title.Font = Font(14, kInk, fsBold);
  title.Caption = L"Skinned controls";
  f.Add<TQuorDirectLabel>(title);
  TQuorDirectLabel::TProps intro;
  intro.Name = L"lblIntro";
  intro.Bounds = {28, 82, 360, 40};
  intro.Font = Font(9, kMuted);
  intro.WordBreak = true;
  intro.Caption = L"Every control below is drawn from the project's own PNG skin into one "
                  L"per-pixel-alpha surface.";
  f.Add<TQuorDirectLabel>(intro);

  TQuorDirectLabel::TProps cut;
  cut.Name = L"lblCut";
  cut.Bounds = {28, 126, 150, 22};
  cut.Font = Font(9, kInk);
  cut.Caption = L"A caption far too long for its label";
  cut.Hint = L"own hint";
  f.Add<TQuorDirectLabel>(cut);

  TQuorDirectLabel::TProps right = cut;
  right.Name = L"lblRight";
  right.Bounds = {190, 126, 198, 22};
  right.Alignment = TQuorAlignment::Right;
  right.Caption = L"Right aligned";
  right.Hint.clear();
  f.Add<TQuorDirectLabel>(right);

  TQuorDirectColorLabel::TProps totals;
  totals.Name = L"lblTotals";
  totals.Bounds = {28, 152, 400, 24};
  auto& colour = f.Add<TQuorDirectColorLabel>(totals);
  colour.BeginUpdate();
  colour.AddText(L"128 programs, ", {kInk, L"Tahoma", 9, 0});
  colour.AddText(L"3.2 GB", {kAccent, L"Tahoma", 9, fsBold});
  colour.AddText(L" in total", {kInk, L"Tahoma", 9, 0});
  colour.EndUpdate();

  const wchar_t* tabs[] = {L"General", L"Files", L"Registry"};
  for (int i = 0; i < 3; ++i) {
    TQuorDirectButton::TProps tab;
    tab.Name = std::wstring(L"btnTab") + std::to_wstring(i);
    tab.Bounds = {28 + i * 96, 190, 90, 30};
    tab.ImgBtn = button;
    tab.BtnSplit = buttonSplit;
    tab.Caption = tabs[i];
    tab.ButtonTab = true;
    tab.GroupIndex = 1;
    tab.BtnStatus = i == 0 ? TQuorBtnStatus::bsSelect : TQuorBtnStatus::bsNormal;
    tab.FontNormal = tab.FontOver = tab.FontDown = tab.FontSelect = Font(9, kInk);
    tab.FontSelect.Style = fsBold;
    f.Add<TQuorDirectButton>(tab);
  }

  TQuorDirectButton::TProps uninstall;
  uninstall.Name = L"btnUninstall";
  uninstall.Bounds = {28, 236, 150, 34};
  uninstall.ImgBtn = SkinImage(L"button_accent");
  uninstall.BtnSplit = buttonSplit;
  uninstall.Caption = L"Normal Uninstall";
  uninstall.Imagelist = FItemIcons.get();
  uninstall.Imgindex = -1;
  uninstall.FontNormal = uninstall.FontOver = uninstall.FontDown = Font(9, 0xFFFFFF, fsBold);
  uninstall.FontDisable = Font(9, 0xF0F0F0, fsBold);
  f.Add<TQuorDirectButton>(uninstall);

  TQuorDirectButton::TProps disabled = uninstall;
  disabled.Name = L"btnDisabled";
  disabled.Bounds = {190, 236, 150, 34};
  disabled.Caption = L"Disabled";
  disabled.Enabled = false;
  f.Add<TQuorDirectButton>(disabled);

  TQuorDirectStdButton::TProps ok;
  ok.Name = L"btnOk";
  ok.Bounds = {28, 290, 96, 30};
  ok.ImgBtn = SkinImage(L"std_button");
  ok.BtnSplit = buttonSplit;
  ok.Caption = L"OK";
  ok.FontNormal = ok.FontOver = ok.FontDown = ok.FontFocus = Font(9, kInk);
  ok.FontDisable = Font(9, kMuted);
  auto& btnOk = f.Add<TQuorDirectStdButton>(ok);
  btnOk.OnClick = [this](TQuorControlBase& sender) { BtnOkClick(sender); };
  TQuorDirectStdButton::TProps cancel = ok;
  cancel.Name = L"btnCancel";
  cancel.Bounds = {134, 290, 96, 30};
  cancel.Caption = L"Cancel";
  f.Add<TQuorDirectStdButton>(cancel);

  TQuorDirectProgress::TProps progress;
  progress.Name = L"pgbScan";
  progress.Bounds = {28, 340, 360, 8};
  progress.ImgBack = SkinImage(L"progress_back");
  progress.ImgFront = SkinImage(L"progress_front");
  progress.ImgLoad = SkinImage(L"progress_load");
  progress.ImgSplit = {4, 0, 36, 0};
  progress.Position = 60;
  progress.LoadValue = 80;
  f.Add<TQuorDirectProgress>(progress);

  TQuorDirectImage::TProps logo;
  logo.Name = L"imgLogo";
  logo.Bounds = {440, 56, 48, 48};
  logo.Image = SkinImage(L"logo_large");
  f.Add<TQuorDirectImage>(logo);
  TQuorDirectImage::TProps busy;
  busy.Name = L"imgBusy";
  busy.Bounds = {500, 68, 24, 24};
  busy.Image = SkinImage(L"busy_ani");
  busy.imgcount = 12;
  busy.imgindex = 3;
  f.Add<TQuorDirectImage>(busy);

  const wchar_t* icons[] = {L"icon_info", L"icon_question", L"icon_warning", L"icon_error"};
  for (int i = 0; i < 4; ++i) {
    TQuorDirectImage::TProps icon;
    icon.Name = std::wstring(L"img") + icons[i];
    icon.Bounds = {440 + i * 44, 120, 32, 32};
    icon.Image = SkinImage(icons[i]);
    f.Add<TQuorDirectImage>(icon);
  }
  const wchar_t* checks[] = {L"check4", L"check6", L"check9"};
  const int counts[] = {4, 6, 9};
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < counts[i]; ++k) {
      TQuorDirectImage::TProps check;
      check.Name = std::wstring(L"img") + checks[i] + L"_" + std::to_wstring(k);
      check.Bounds = {440 + k * 22, 170 + i * 24, 16, 16};
      check.Image = SkinImage(checks[i]);
      check.imgcount = counts[i];
      check.imgindex = k;
      f.Add<TQuorDirectImage>(check);
    }
  for (int i = 0; i < FItemIcons->Count(); ++i) {
    TQuorDirectImage::TProps icon;
    icon.Name = L"imgItem" + std::to_wstring(i);
    icon.Bounds = {440 + i * 24, 250, 16, 16};
    icon.Image = *FItemIcons->Item(i);
    f.Add<TQuorDirectImage>(icon);
  }

  TQuorDirectEdit::TProps search;
  search.Name = L"edtSearch";
  search.Bounds = {440, 290, 220, 28};
  search.Font = Font(9, kInk);
  search.ImgEdit = SkinImage(L"edit");
  search.EditStateCount = 4;
  search.Imgx1 = 6;
  search.ImgX2 = 34;
  search.ImageList = FItemIcons.get();
  search.Imgindex = 1;
  search.Text = L"Search programs";
  f.Add<TQuorDirectEdit>(search);
  TQuorDirectEdit::TProps number = search;
  number.Name = L"edtNumber";
  number.Bounds = {670, 290, 100, 28};
  number.Imgindex = -1;
  number.Text = L"42";
  number.OnlyNumber = true;
  f.Add<TQuorDirectEdit>(number);

  TQuorDirectScrollBar::TProps vbar;
  vbar.Name = L"sbVertical";
  vbar.Bounds = {770, 56, 12, 220};
  vbar.ScrollRes = SkinScrollBarRes(true);
  vbar.Max = 99;
  vbar.PageSize = 20;
  vbar.Position = 10;
  f.Add<TQuorDirectScrollBar>(vbar);
  TQuorDirectScrollBar::TProps hbar;
  hbar.Name = L"sbHorizontal";
  hbar.Bounds = {440, 336, 330, 12};
  hbar.ScrollRes = SkinScrollBarRes(false);
  hbar.kind = TQuorScrollkind::skHor;
  hbar.Max = 199;
  hbar.PageSize = 50;
  hbar.Position = 120;
  f.Add<TQuorDirectScrollBar>(hbar);

  TQuorDirectPanel::TProps panel;
  panel.Name = L"pnlStatus";
  panel.Bounds = {9, 476 - 8 - 1 - 34, 805 - 18, 34};
  panel.ImgBack = SkinImage(L"panel_back");
  panel.ImgSplit = {2, 0, 18, 0};
  auto& status = f.Add<TQuorDirectPanel>(panel);
  TQuorDirectLabel::TProps statusText;
  statusText.Name = L"lblStatus";
  statusText.Bounds = {16, 6, 400, 22};
  statusText.Font = Font(9, kMuted);
  statusText.Caption = L"Ready";
  FStatus = &status.Add<TQuorDirectLabel>(statusText);
}

}  // namespace quor
