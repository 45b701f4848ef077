#include "toolkit/QuorDirectEdit.h"

#include <algorithm>

#include "base/Clipboard.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorImageList.h"
#include "toolkit/WindowDispatch.h"

namespace quor {

TQuorDirectEdit::TQuorDirectEdit(TQuorContainer& parent, const TProps& props)
    : TQuorDirectParentControl(parent, props.Control), FProps(props), FFont(props.Font) {
  FModel.OnlyNumber = props.OnlyNumber;
  FModel.OnlyRead = props.OnlyRead;
  FModel.SetText(props.Text);
  if (props.Imgx1 < props.ImgX2) {
    for (const TPngImage& frame : CutFrames(props.ImgEdit, props.EditStateCount)) {
      auto parts = CutThreePartHor(frame, props.Imgx1, props.ImgX2, 255, clNone);
      if (!parts) {
        FFrames.clear();
        break;
      }
      FFrames.push_back(std::move(*parts));
    }
    if (!FFrames.empty())
      TQuorDirectParentControl::SetBounds(
          {Bounds().Left, Bounds().Top, Width(), FFrames[0][0].Height()});
  }
}

TQuorDirectEdit::~TQuorDirectEdit() {
  if (Frame()) Frame()->Host().KillTimer(TimerId());
}

void TQuorDirectEdit::SetFont(const TFontSpec& font) {
  FProps.Font = font;
  if (FFont.Assign(font)) Redraw();
}

void TQuorDirectEdit::SetText(const std::wstring& text) {
  if (text == FModel.Text()) return;
  FModel.SetText(text);
  Changed();
}

void TQuorDirectEdit::Changed() {
  if (OnChange) OnChange(*this);
  Redraw();
}

int TQuorDirectEdit::FrameIndex() const {
  if (!Enabled()) return 3;
  if (Focused()) return 2;
  return Hovered() ? 1 : 0;
}

std::wstring TQuorDirectEdit::Shown() const {
  return FProps.PasswordChar ? std::wstring(FModel.Text().size(), FProps.PasswordChar)
                             : FModel.Text();
}

RECT TQuorDirectEdit::TextRect(const RECT& r) const {
  int left = r.left + FProps.Boxoffset + 2;
  if (FProps.ImageList && FProps.ImageList->Item(FProps.Imgindex))
    left += FProps.ImageList->Item(FProps.Imgindex)->Width() + 2;
  return {left, r.top + FProps.OutWidth, r.right - FProps.Boxoffset - 2, r.bottom - FProps.OutWidth};
}

int TQuorDirectEdit::PositionAt(int x) const {
  const std::wstring shown = Shown();
  const int left = TextRect({0, 0, Width(), Height()}).left;
  for (size_t i = 1; i <= shown.size(); ++i) {
    const int w = MeasureText(shown.substr(0, i), FFont).cx;
    if (left + w > x) return int(i) - 1;
  }
  return int(shown.size());
}

void TQuorDirectEdit::DirectPaint(TPaintContext& ctx) {
  const RECT r = ctx.Rect;
  const int index = FrameIndex();
  if (size_t(index) < FFrames.size()) {
    const auto& [left, middle, right] = FFrames[size_t(index)];
    left.Draw(ctx.Canvas, r.left, r.top);
    middle.Draw(ctx.Canvas, RECT{r.left + left.Width(), r.top, r.right - right.Width(), r.top + middle.Height()});
    right.Draw(ctx.Canvas, r.right - right.Width(), r.top);
  } else if (FFrames.empty()) {
    CreateColorImage(Width(), Height(), FProps.Color, 255).Draw(ctx.Canvas, r);
  }
  if (FProps.ImageList) {
    if (const TPngImage* icon = FProps.ImageList->Item(FProps.Imgindex))
      icon->Draw(ctx.Canvas, r.left + FProps.Boxoffset + 2, r.top + (Height() - icon->Height()) / 2);
  }
  const RECT box = TextRect(r);
  const std::wstring shown = Shown();
  auto xAt = [&](int chars) { return box.left + MeasureText(shown.substr(0, size_t(chars)), FFont).cx; };
  if (FModel.SelLength() > 0 && Focused()) {
    const int x0 = xAt(FModel.SelStart()), x1 = std::min<int>(xAt(FModel.SelStart() + FModel.SelLength()), box.right);
    CreateColorImage(std::max(0, x1 - x0), box.bottom - box.top - 4, FProps.SelColor, 255)
        .Draw(ctx.Canvas, x0, box.top + 2);
  }
  if (FProps.PasswordChar && !FProps.ImgPassWord.Empty()) {
    const TPngImage& dot = FProps.ImgPassWord;
    for (size_t i = 0; i < shown.size(); ++i) {
      const int x = box.left + int(i) * (dot.Width() + 1);
      if (x + dot.Width() > box.right) break;
      dot.Draw(ctx.Canvas, x, box.top + (box.bottom - box.top - dot.Height()) / 2);
    }
  } else if (!shown.empty()) {
    DrawSurfaceText(ctx.Canvas, box, shown, FFont, kTextLeft);
  }
  if (Focused() && FCaretOn) {
    const int x = std::min<int>(xAt(FModel.Caret()), box.right - 1);
    if (!FProps.ImgInput.Empty())
      FProps.ImgInput.Draw(ctx.Canvas, x, box.top + (box.bottom - box.top - FProps.ImgInput.Height()) / 2);
    else
      CreateColorImage(1, box.bottom - box.top - 6, FFont.Color(), 255).Draw(ctx.Canvas, x, box.top + 3);
  }
}

void TQuorDirectEdit::FocusChanged(bool focused) {
  FCaretOn = focused;
  if (Frame()) {
    if (focused)
      Frame()->Host().SetTimer(TimerId(), 500, [this] {
        FCaretOn = !FCaretOn;
        Redraw();
      });
    else
      Frame()->Host().KillTimer(TimerId());
  }
  if (focused && OnGetFocus) OnGetFocus(*this);
  if (!focused && OnLostFocus) OnLostFocus(*this);
  Redraw();
}

void TQuorDirectEdit::MouseDown(int x, int y) {
  FModel.MoveCaret(PositionAt(x), (::GetKeyState(VK_SHIFT) & 0x8000) != 0);
  TQuorDirectParentControl::MouseDown(x, y);
}

void TQuorDirectEdit::KeyDown(WPARAM key) {
  const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
  const int caret = FModel.Caret();
  switch (key) {
    case VK_LEFT: FModel.MoveCaret(caret - 1, shift); break;
    case VK_RIGHT: FModel.MoveCaret(caret + 1, shift); break;
    case VK_HOME: FModel.MoveCaret(0, shift); break;
    case VK_END: FModel.MoveCaret(int(FModel.Text().size()), shift); break;
    case VK_DELETE:
      if (FModel.Delete()) Changed();
      return;
    default: return;
  }
  FCaretOn = true;
  Redraw();
}

void TQuorDirectEdit::CharTyped(wchar_t c) {
  if (OnkeyPress) OnkeyPress(*this, c);
  bool changed = false;
  switch (c) {
    case 3:  // Ctrl+C
      WriteClipboardText(Handle(), FModel.SelText());
      return;
    case 8: changed = FModel.Backspace(); break;
    case 22:  // Ctrl+V
      changed = FModel.Paste(ReadClipboardText(Handle()));
      break;
    case 24:  // Ctrl+X
      if (FModel.OnlyRead) return;
      WriteClipboardText(Handle(), FModel.SelText());
      changed = FModel.CutSelection();
      break;
    case 26: changed = FModel.Undo(); break;  // Ctrl+Z
    case 0: case 13: case 27: return;
    default: changed = FModel.TypeChar(c);
  }
  FCaretOn = true;
  if (changed) Changed();
  else Redraw();
}

LRESULT TQuorDirectEdit::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_KEYUP && OnKeyUp) OnKeyUp(*this, w);
  // The text for screen readers and scripts; a password stays hidden.
  if ((msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH) && FProps.PasswordChar == 0)
    return AnswerGetText(msg, w, l, Text());
  if (msg == WM_SETCURSOR && LOWORD(l) == HTCLIENT) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
    return TRUE;
  }
  return TQuorDirectParentControl::HandleMessage(msg, w, l);
}

}  // namespace quor
