#include "ui/LikeItWindow.h"

#include <shellapi.h>

#include "app/LangText.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorSkinProps.h"
#include "ui/AboutText.h"
#include "ui/LinkCursor.h"
#include "ui/VendorInfo.h"
#include "ui/WebAddress.h"

namespace quor {
namespace {

constexpr TColor kInk = 0x453A33;
constexpr TColor kTitle = 0xB8551F;
const TQuorPadding kButtonSplit{6, 6, 74, 22};

TFontSpec Font(TColor color, uint8_t style = 0) {
  return {L"Tahoma", DEFAULT_CHARSET, 8, style, color};
}

THostParams LikeItHostParams(HWND owner) {
  return {.Caption = L"Like it",
          .Left = 0,
          .Top = 0,
          .Width = Tfrmlikeit::kClientWidth,
          .Height = Tfrmlikeit::kClientHeight,
          .Owner = owner};
}

TQuorDirectLabel::TProps Text(const wchar_t* name, TBounds bounds, const wchar_t* caption,
                              TQuorAlignment alignment = TQuorAlignment::Left) {
  return {.Control = {.Name = name, .Bounds = bounds},
          .Alignment = alignment,
          .Font = Font(kInk),
          .Caption = caption};
}

TQuorDirectImage::TProps Picture(const wchar_t* name, int left, int top, const wchar_t* image,
                                 int width = 24) {
  return {.Control = {.Name = name, .Bounds = {left, top, width, 24}}, .Image = SkinImage(image)};
}

}  // namespace

Tfrmlikeit::Tfrmlikeit(HWND owner) : THostWindow(LikeItHostParams(owner)) {
  TQuorFormProps frame = SkinnedFrameProps(L"Like it");
  frame.ImgForm = SkinnedDialogImage(kClientWidth, kClientHeight);
  // Bold, in ink: the light skin has no dark caption bar for a white title.
  frame.CaptionFont = Font(kInk, fsBold);
  frame.FormBtns = {};
  frame.SupportResize = false;
  frame.CanMoveAny = true;
  FForm = std::make_unique<TQuorDirectForm>(*this, frame);
  DefineControls();
  FForm->Load();
  FKeyFilter = TMessageLoop::AddFilter([this](MSG& msg) { return KeyFilter(msg); });
}

Tfrmlikeit::~Tfrmlikeit() {
  FKeyFilter = {};
  FForm.reset();
}

void Tfrmlikeit::DefineControls() {
  TQuorDirectForm& f = *FForm;
  // The program's mark fills the left column; it only decorates.
  f.Add<TQuorDirectImage>({.Control = {.Name = L"imglogo", .Bounds = {72, 48, 56, 54}},
                           .Image = SkinImage(L"logo_large")});
  // Below the caption bar, which the skin draws 30 pixels high.
  TQuorDirectLabel::TProps title =
      Text(L"lblTitle", {165, 40, 489, 38},
           L"If you like Quor Uninstaller, please introduce this lovely tool to your beloved.");
  title.Font = Font(kTitle, fsBold);
  title.WordBreak = true;
  lblTitle = &f.Add<TQuorDirectLabel>(title);
  TQuorDirectLabel::TProps info =
      Text(L"lblinfo", {165, 80, 489, 74},
           L"Please share Quor Uninstaller with your family, friends, classmates, and colleagues "
           L"by Email, Blog, Twitter, YouTube, Facebook, etc. Well done! You will bring "
           L"convenience and efficiency to their lives.");
  info.WordBreak = true;
  lblinfo = &f.Add<TQuorDirectLabel>(info);
  lblrate = &f.Add<TQuorDirectLabel>(
      Text(L"lblrate", {173, 166, 185, 25}, L"Rate Quor Uninstaller:", TQuorAlignment::Right));
  TQuorDirectImage::TProps rate = Picture(L"imgrate", 379, 166, L"like_rate", 135);
  rate.Control.Hint = L"Give us 5 star award";
  rate.Control.ShowHint = true;
  imgrate = &f.Add<TQuorDirectImage>(rate);
  lblshare = &f.Add<TQuorDirectLabel>(
      Text(L"lblshare", {173, 206, 185, 27}, L"Share Quor Uninstaller:", TQuorAlignment::Right));
  imgmail = &f.Add<TQuorDirectImage>(Picture(L"imgmail", 379, 206, L"like_mail"));
  imgface1 = &f.Add<TQuorDirectImage>(Picture(L"imgface1", 419, 206, L"like_facebook"));
  imgtwitter1 = &f.Add<TQuorDirectImage>(Picture(L"imgtwitter1", 456, 206, L"like_twitter"));
  lblfollow = &f.Add<TQuorDirectLabel>(
      Text(L"lblfollow", {173, 246, 185, 27}, L"Follow us on:", TQuorAlignment::Right));
  imgface2 = &f.Add<TQuorDirectImage>(Picture(L"imgface2", 379, 246, L"like_facebook"));
  imgtwitter2 = &f.Add<TQuorDirectImage>(Picture(L"imgtwitter2", 419, 246, L"like_twitter"));
  lbldownload = &f.Add<TQuorDirectLabel>(
      Text(L"lbldownload", {165, 296, 468, 25}, L"More Free Software Download Our Website"));
  const TFontSpec white = Font(0xFFFFFF, fsBold);
  btndownload =
      &f.Add<TQuorDirectButton>({.Control = {.Name = L"btndownload", .Bounds = {165, 336, 252, 41}},
                                 .AutoSize = false,
                                 .ImgBtn = SkinImage(L"button_accent"),
                                 .BtnSplit = kButtonSplit,
                                 .Caption = L"Download",
                                 .CenterJustify = true,
                                 .FontNormal = white,
                                 .FontOver = white,
                                 .FontDown = white,
                                 .FontDisable = Font(0xF0F0F0),
                                 .FontSelect = white,
                                 .FontFocus = white});

  btndownload->OnClick = [this](TQuorControlBase& s) { btndownloadClick(s); };
  imgmail->OnClick = [this](TQuorControlBase& s) { imgmailclick(s); };
  imgface1->OnClick = [this](TQuorControlBase& s) { imgface1click(s); };
  imgface2->OnClick = [this](TQuorControlBase& s) { imgface2click(s); };
  imgtwitter1->OnClick = [this](TQuorControlBase& s) { imgtwitter1click(s); };
  imgtwitter2->OnClick = [this](TQuorControlBase& s) { imgtwitter2click(s); };
}

const TQuorDirectLabel* Tfrmlikeit::Label(std::wstring_view name) const {
  for (const TQuorDirectLabel* l : {lblTitle, lblinfo, lblrate, lblshare, lblfollow, lbldownload})
    if (l->Name() == name) return l;
  return nullptr;
}

const TQuorDirectImage* Tfrmlikeit::Image(std::wstring_view name) const {
  for (const TQuorDirectImage* i : {imgrate, imgmail, imgface1, imgtwitter1, imgface2, imgtwitter2})
    if (i->Name() == name) return i;
  return nullptr;
}

int Tfrmlikeit::ShowModal() {
  TranslateLikeIt();
  CenterOnOwner();
  Show(SW_SHOW);
  ::SetFocus(FForm->Handle());
  return THostWindow::ShowModal();
}

void Tfrmlikeit::TranslateLikeIt() {
  TQuorDirectForm::TUpdateGuard update(*FForm);
  FFont.Charset = GetLangCharset();
  FFont.Name = GetLangFontName();
  FFont.Size = GetLangFontSize();
  FForm->SetCaptionHint(L"BtnClose", GetLangText(L"GUI", L"ButtonClose", L"Close"));
  const std::wstring caption = GetLangText(L"Translation", L"FrmLikeit.caption", kLikeItTitle);
  FForm->SetCaption(caption);
  SetCaption(caption);
  TFontSpec captionFont = FForm->Props().CaptionFont;
  CopyFontFace(captionFont, FFont);
  FForm->SetCaptionFont(captionFont);

  // In the order of the controls: labels and images, then the button.
  const auto translateLabel = [this](TQuorDirectLabel& l) {
    TFontSpec font = l.Font();
    CopyFontFace(font, FFont);
    font.Size = LikeItLabelFontSize(FFont.Size, LikeItTag(l.Name()));
    l.SetFont(font);
    l.SetCaption(GetLangText(L"Translation", LikeItKey(l.Name(), L"Caption"), l.Caption()));
  };
  const auto translateImage = [](TQuorDirectImage& i) {
    i.SetHint(GetLangText(L"Translation", LikeItKey(i.Name(), L"Hint"), i.Hint()));
  };
  for (TQuorDirectLabel* l : {lblTitle, lblinfo, lblrate}) translateLabel(*l);
  translateImage(*imgrate);
  translateLabel(*lblshare);
  for (TQuorDirectImage* i : {imgmail, imgface1, imgtwitter1}) translateImage(*i);
  translateLabel(*lblfollow);
  for (TQuorDirectImage* i : {imgface2, imgtwitter2}) translateImage(*i);
  translateLabel(*lbldownload);

  TQuorDirectButton& b = *btndownload;
  auto fonts = b.Fonts();
  const bool bold = (fonts[0].Style & fsBold) != 0;
  for (TFontSpec& font : fonts) {
    CopyFontFace(font, FFont);
    font.Size = LikeItButtonFontSize(FFont.Size, bold, LikeItTag(b.Name()));
  }
  b.SetFonts(fonts);
  b.SetHint(GetLangText(L"Translation", LikeItKey(b.Name(), L"hint"), b.Hint()));
  if (!b.Caption().empty())
    b.SetCaption(GetLangText(L"Translation", LikeItKey(b.Name(), L"caption"), b.Caption()));
}

// Escape and Enter close: the dialog has no button that takes the focus.
bool Tfrmlikeit::KeyFilter(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !Handle()) return false;
  if (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)) return false;
  if (msg.wParam != VK_ESCAPE && msg.wParam != VK_RETURN) return false;
  Close();
  return true;
}

void Tfrmlikeit::btndownloadClick(TQuorControlBase&) {
  OpenWebAddress(Handle(), VendorDownloadPage());
}

void Tfrmlikeit::imgmailclick(TQuorControlBase&) {
  ::ShellExecuteW(Handle(), L"open", ShareMailAddress().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Tfrmlikeit::imgface1click(TQuorControlBase&) {
  OpenWebAddress(Handle(), FacebookLikeAddress());
}
void Tfrmlikeit::imgface2click(TQuorControlBase&) { OpenWebAddress(Handle(), kFacebookPage); }
void Tfrmlikeit::imgtwitter1click(TQuorControlBase&) {
  OpenWebAddress(Handle(), TwitterShareAddress());
}
void Tfrmlikeit::imgtwitter2click(TQuorControlBase&) { OpenWebAddress(Handle(), kTwitterPage); }

LRESULT Tfrmlikeit::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_SETCURSOR && LOWORD(l) == HTCLIENT &&
      ShowHandOverLinks(*FForm, {imgrate, imgmail, imgface1, imgtwitter1, imgface2, imgtwitter2}))
    return TRUE;
  return THostWindow::HandleMessage(msg, w, l);
}

void ShowLikeItDialog(HWND owner) {
  Tfrmlikeit dialog(owner);
  dialog.ShowModal();
}

}  // namespace quor
