#include "ui/AboutWindow.h"

#include <shellapi.h>

#include <algorithm>

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
constexpr TColor kMuted = 0xA0938A;
constexpr TColor kLink = 0xE06C2B;
constexpr TColor kCaption = 0x000000;
const TQuorPadding kButtonSplit{6, 6, 74, 22};

TFontSpec Font(TColor color, uint8_t style = 0) {
  return {L"Tahoma", DEFAULT_CHARSET, 8, style, color};
}

THostParams AboutHostParams(HWND owner) {
  return {.Caption = L"About",
          .Left = 0,
          .Top = 0,
          .Width = TFrmAbout::kClientWidth,
          .Height = TFrmAbout::kClientHeight,
          .Owner = owner};
}

TQuorDirectLabel::TProps Text(const wchar_t* name, TBounds bounds, const wchar_t* caption) {
  return {.Control = {.Name = name, .Bounds = bounds}, .Font = Font(kInk), .Caption = caption};
}

// A link: accent colour, underlined under the mouse.
TQuorDirectLabel::TProps Link(const wchar_t* name, TBounds bounds, const wchar_t* caption) {
  const TFontSpec normal = Font(kLink);
  return {.Control = {.Name = name, .Bounds = bounds},
          .SupportMouseOverDown = true,
          .Font = normal,
          .FontOver = Font(kLink, fsUnderline),
          .FontDown = Font(kLink, fsUnderline),
          .Caption = caption};
}

}  // namespace

TFrmAbout::TFrmAbout(HWND owner) : THostWindow(AboutHostParams(owner)), FVersion(OwnFileVersion()) {
  TQuorFormProps frame = SkinnedFrameProps(L"About");
  frame.ImgForm = SkinnedDialogImage(kClientWidth, kClientHeight);
  frame.CaptionFont = Font(kCaption, fsBold);
  frame.FormBtns = {};
  frame.SupportResize = false;
  frame.CanMoveAny = true;
  FForm = std::make_unique<TQuorDirectForm>(*this, frame);
  DefineControls();
  FForm->Load();
  FKeyFilter = TMessageLoop::AddFilter([this](MSG& msg) { return KeyFilter(msg); });
}

TFrmAbout::~TFrmAbout() {
  FKeyFilter = {};
  FForm.reset();
}

void TFrmAbout::DefineControls() {
  TQuorDirectForm& f = *FForm;
  lblver = &f.Add<TQuorDirectLabel>(Text(L"lblver", {32, 86, 100, 20}, L"Current Version:"));
  lblverinfo = &f.Add<TQuorDirectLabel>(Text(L"lblverinfo", {144, 86, 100, 20}, L"1.00 beta"));
  lblemail = &f.Add<TQuorDirectLabel>(Text(L"lblemail", {32, 109, 100, 20}, L"Support Email:"));
  lblsupport = &f.Add<TQuorDirectLabel>(Link(L"lblsupport", {143, 109, 194, 20}, kSupportEmail));
  lblhome = &f.Add<TQuorDirectLabel>(Text(L"lblhome", {32, 132, 100, 20}, L"HomePage:"));
  lblweb = &f.Add<TQuorDirectLabel>(Link(L"lblweb", {144, 132, 193, 20}, kVendorSite));
  lblthank = &f.Add<TQuorDirectLabel>(
      Text(L"lblthank", {32, 164, 305, 20}, L"Thanks for the following their controbutions"));
  TQuorDirectLabel::TProps names = Text(L"lbl", {39, 189, 442, 44}, kContributors);
  names.Font = Font(kMuted);
  names.WordBreak = true;
  lbl = &f.Add<TQuorDirectLabel>(names);
  const TFontSpec ink = Font(kInk);
  btnok = &f.Add<TQuorDirectStdButton>(
      {.Control = {.Name = L"btnok", .Bounds = {407, 262, 82, 25}, .TabStop = true, .TabOrder = 0},
       .ImgBtn = SkinImage(L"std_button"),
       .BtnSplit = kButtonSplit,
       .Caption = L"Ok",
       .FontNormal = ink,
       .FontOver = ink,
       .FontDown = ink,
       .FontDisable = Font(kMuted),
       .FontFocus = ink});
  btnok->OnClick = [this](TQuorControlBase& s) { btnokClick(s); };
  lblsupport->OnClick = [this](TQuorControlBase& s) { lblsupportclick(s); };
  lblweb->OnClick = [this](TQuorControlBase& s) { lblwebclick(s); };
}

const TQuorDirectLabel* TFrmAbout::Label(std::wstring_view name) const {
  for (const TQuorDirectLabel* l :
       {lblver, lblverinfo, lblemail, lblsupport, lblhome, lblweb, lblthank, lbl})
    if (l->Name() == name) return l;
  return nullptr;
}

int TFrmAbout::ShowModal() {
  FormShow();
  CenterOnOwner();
  Show(SW_SHOW);
  btnok->SetFocus();
  return THostWindow::ShowModal();
}

void TFrmAbout::FormShow() {
  TranslateAbout();
  lblverinfo->SetCaption(VersionText(FVersion));
}

void TFrmAbout::TranslateAbout() {
  TQuorDirectForm::TUpdateGuard update(*FForm);
  FFont.Charset = GetLangCharset();
  FFont.Name = GetLangFontName();
  FFont.Size = GetLangFontSize();

  const std::wstring caption = GetLangText(L"Translation", L"FrmAbout.caption", FForm->Caption());
  FForm->SetCaption(caption);
  SetCaption(caption);
  const wchar_t* const hints[][3] = {{L"BtnMin", L"ButtonMinimize", L"Minimize"},
                                     {L"BtnMax", L"ButtonMaximize", L"Maximize"},
                                     {L"BtnClose", L"ButtonClose", L"Close"},
                                     {L"BtnRestore", L"ButtonRestore", L"Restore"},
                                     {L"BtnMenu", L"ButtonMenu", L"Menu"}};
  for (const auto& h : hints) FForm->SetCaptionHint(h[0], GetLangText(L"GUI", h[1], h[2]));
  TFontSpec captionFont = FForm->Props().CaptionFont;
  CopyFontFace(captionFont, FFont);
  FForm->SetCaptionFont(captionFont);

  for (TQuorDirectLabel* l :
       {lblver, lblverinfo, lblemail, lblsupport, lblhome, lblweb, lblthank}) {
    // Colour and style stay; a link is underlined under the mouse.
    TFontSpec normal = l->Font();
    CopyFontFace(normal, FFont);
    TFontSpec over = normal;
    if (l == lblsupport || l == lblweb) over.Style = uint8_t(over.Style | fsUnderline);
    l->SetStateFonts(normal, over, over);
    l->SetCaption(GetLangText(L"Translation", AboutKey(l->Name()), l->Caption()));
    FitText(*l);
  }
  auto fonts = btnok->Fonts();
  for (TFontSpec& font : fonts) CopyFontFace(font, FFont);
  btnok->SetFonts(fonts);
  btnok->SetCaption(GetLangText(L"Translation", AboutKey(btnok->Name()), btnok->Caption()));
}

// A label whose text is wider than it grows to the right, up to the dialog's margin.
void TFrmAbout::FitText(TQuorDirectLabel& label) {
  TBounds b = label.Bounds();
  const int needed = int(MeasureText(label.Caption(), TQuorFont(label.Font())).cx) + 4;
  const int room = kClientWidth - 16 - b.Left;
  if (needed <= b.Width || b.Width >= room) return;
  b.Width = std::min(needed, room);
  label.SetBounds(b);
}

// Escape closes; Enter closes too, and on a focused button presses it.
bool TFrmAbout::KeyFilter(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !Handle()) return false;
  if (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)) return false;
  if (msg.wParam != VK_ESCAPE && msg.wParam != VK_RETURN) return false;
  if (msg.wParam == VK_RETURN && msg.hwnd == btnok->Handle()) return false;
  Close();
  return true;
}

void TFrmAbout::btnokClick(TQuorControlBase&) { Close(); }

void TFrmAbout::lblsupportclick(TQuorControlBase&) {
  ::ShellExecuteW(Handle(), L"open", SupportMailAddress().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TFrmAbout::lblwebclick(TQuorControlBase&) { OpenWebAddress(Handle(), VendorRootPage()); }

LRESULT TFrmAbout::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_SETCURSOR && LOWORD(l) == HTCLIENT &&
      ShowHandOverLinks(*FForm, {lblsupport, lblweb}))
    return TRUE;
  return THostWindow::HandleMessage(msg, w, l);
}

void ShowAboutDialog(HWND owner) {
  TFrmAbout dialog(owner);
  dialog.ShowModal();
}

}  // namespace quor
