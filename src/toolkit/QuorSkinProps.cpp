#include "toolkit/QuorSkinProps.h"

#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorSkin.h"

namespace quor {
namespace {

constexpr TColor kInk = 0x453A33;
constexpr TColor kMuted = 0xA0938A;
constexpr TColor kAccent = 0xE06C2B;
constexpr TColor kAccentDark = 0xB8551F;
constexpr TColor kLine = 0xE1DAD5;

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

TPngImage SkinnedDialogImage(int width, int height) {
  const TQuorPadding split{20, 45, 80, 80};
  std::vector<TPngImage> frames = StretchStateFrames(SkinImage(L"form_dialog"), 1, split, width, height);
  return frames.empty() ? TPngImage() : std::move(frames.front());
}

TQuorScrollBarRes SkinnedScrollRes(bool vertical) {
  const wchar_t* tag = vertical ? L"v" : L"h";
  auto image = [&](const wchar_t* part) {
    return SkinImage(std::wstring(L"scroll_") + tag + L"_" + part);
  };
  TQuorScrollBarRes res;
  res.ImgBack = image(L"back");
  res.ImgSlider = image(L"slider");
  res.ImgBtnLT = image(L"lt");
  res.ImgBtnRB = image(L"rb");
  res.ImgCenter = image(L"center");
  res.SliderSplit = vertical ? TQuorPadding{0, 6, 0, 34} : TQuorPadding{6, 0, 34, 0};
  res.BackUseThree = true;
  return res;
}

TQuorDirectListBox::TProps SkinnedListProps() {
  TQuorDirectListBox::TProps p;
  p.Font = Font(9, kInk);
  p.FontColorNormal = kInk;
  p.FontColorOver = kInk;
  p.FontColorDown = kAccentDark;
  p.FontColorDisable = kMuted;
  p.Imgitem = SkinImage(L"row_highlight");
  p.itemsplit = {2, 0, 18, 0};
  p.ImgCheck = SkinImage(L"check4");
  p.ImgSelBox = SkinImage(L"list_selbox");
  p.BorderColor = kLine;
  p.VerScrollRes = SkinnedScrollRes(true);
  p.HorScrollRes = SkinnedScrollRes(false);
  p.HaveHeader = true;
  p.HeaderFont = Font(9, kInk, fsBold);
  p.HeaderHeight = 26;
  p.HeaderSplitWidth = 2;
  p.ImgHeader = SkinImage(L"list_header");
  p.ImgHeaderSplit = SkinImage(L"header_separator");
  p.HeaderSplitStateCount = 1;
  p.ImgHeaderArrow = SkinImage(L"sort_arrows");
  p.MarginText = 6;
  return p;
}

TQuorPopupMenu::TProps SkinnedMenuProps(const TQuorImageList* images) {
  TQuorPopupMenu::TProps p;
  p.AlphaWidth = 4;
  p.FontNormal = p.FontOver = p.FontDown = Font(9, kInk);
  p.FontDisable = Font(9, kMuted);
  p.FontSelect = Font(9, kAccent, fsBold);
  p.ImgBack = SkinImage(L"menu_back");
  p.ImgSplit = {10, 10, 30, 30};
  p.ImgItem = SkinImage(L"menu_item");
  p.ItemSplit = {6, 0, 34, 0};
  p.ItemStateCount = 3;
  p.ImgBtnUpDown = SkinImage(L"menu_updown");
  p.ItemHeight = 24;
  p.ImgLine = SkinImage(L"menu_separator");
  p.MinWidth = 170;
  p.ImgSubArrow = SkinImage(L"menu_arrow");
  p.ImgCheck = SkinImage(L"menu_check");
  p.ImgRadio = SkinImage(L"menu_radio");
  p.ImageList = images;
  return p;
}

TQuorMessageBox::TProps SkinnedMessageBoxProps() {
  TQuorMessageBox::TProps p;
  p.FontTitle = Font(9, kInk, fsBold);
  p.FontMsg = Font(9, kInk);
  p.FontBtn = Font(9, 0xFFFFFF, fsBold);
  p.ImgForm = SkinImage(L"message_frame");
  p.FormSplit = {20, 45, 320, 140};
  p.ImgClose = SkinImage(L"btn_single_close");
  p.ImgLogo = SkinImage(L"logo");
  p.ImgBtn = SkinImage(L"message_button");
  p.ImgMsg = SkinImage(L"message_icons");
  return p;
}

}  // namespace quor
