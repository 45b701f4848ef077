#include "ui/RestoreSummaryWindow.h"

#include <algorithm>

#include "app/LangText.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorSkinProps.h"

namespace quor {
namespace {

constexpr TColor kInk = 0x453A33;
constexpr int kWidth = 560, kLineHeight = 20, kTop = 44, kBottom = 64;

TFontSpec Font(const TFontSpec& face, uint8_t style = 0) {
  TFontSpec f{L"Tahoma", DEFAULT_CHARSET, 9, style, kInk};
  CopyFontFace(f, face);
  return f;
}

int HeightFor(const std::vector<std::wstring>& lines) {
  return kTop + kLineHeight * int(std::max<size_t>(lines.size(), 1)) + kBottom;
}

std::wstring Joined(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (const std::wstring& line : lines) text += (text.empty() ? L"" : L"\r\n") + line;
  return text;
}

}  // namespace

TFrmRestoreSummary::TFrmRestoreSummary(HWND owner, const std::wstring& caption,
                                       const std::vector<std::wstring>& lines,
                                       const TFontSpec& face)
    : THostWindow({.Caption = caption,
                   .Left = 0,
                   .Top = 0,
                   .Width = kWidth,
                   .Height = HeightFor(lines),
                   .Owner = owner}) {
  TQuorFormProps frame = SkinnedFrameProps(caption);
  frame.FormBtns = {};
  // A frame that cannot be resized takes its skin's size: the skin stretched to the window.
  frame.ImgForm =
      StretchStateFrames(frame.ImgForm, 1, frame.FormSplit, kWidth, HeightFor(lines)).front();
  frame.CaptionFont = Font(face, fsBold);
  FForm = std::make_unique<TQuorDirectForm>(*this, frame);
  int top = kTop;
  for (size_t i = 0; i < lines.size(); ++i, top += kLineHeight) {
    // Paths below the first line: one line each, cut with an ellipsis (the hint shows it whole).
    FForm->Add<TQuorDirectLabel>({.Control = {.Name = L"lblline" + std::to_wstring(i),
                                              .Bounds = {20, top, kWidth - 40, kLineHeight}},
                                  .Font = Font(face, i == 0 ? fsBold : 0),
                                  .Caption = lines[i]});
  }
  const TFontSpec ink = Font(face);
  btnok = &FForm->Add<TQuorDirectStdButton>(
      {.Control = {.Name = L"btnok",
                   .Bounds = {(kWidth - 104) / 2, top + 16, 104, 30},
                   .TabStop = true},
       .ImgBtn = SkinImage(L"std_button"),
       .BtnSplit = {6, 6, 74, 22},
       .Caption = GetLangText(L"GUI", L"ButtonOK", L"OK"),
       .FontNormal = ink,
       .FontOver = ink,
       .FontDown = ink,
       .FontDisable = ink,
       .FontFocus = ink});
  btnok->OnClick = [this](TQuorControlBase&) { Close(); };
  FForm->Load();
  SetCaption(Joined(lines));  // the frame gave the window its own caption
  FForm->SetCaptionHint(L"BtnClose", GetLangText(L"GUI", L"ButtonClose", L"Close"));
  FKeyFilter = TMessageLoop::AddFilter([this](MSG& msg) { return KeyFilter(msg); });
}

TFrmRestoreSummary::~TFrmRestoreSummary() {
  FKeyFilter = {};
  FForm.reset();
}

int TFrmRestoreSummary::ShowModal() {
  CenterOnOwner();
  Show(SW_SHOW);
  btnok->SetFocus();
  return THostWindow::ShowModal();
}

bool TFrmRestoreSummary::KeyFilter(MSG& msg) {
  if (msg.message != WM_KEYDOWN || !Handle()) return false;
  if (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)) return false;
  if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
  Close();
  return true;
}

}  // namespace quor
