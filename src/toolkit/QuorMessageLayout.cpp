#include "toolkit/QuorMessageLayout.h"

#include <algorithm>
#include <utility>

namespace quor {
namespace {

bool Empty(SIZE s) { return s.cx <= 0 || s.cy <= 0; }

RECT At(int left, int top, SIZE s) { return {left, top, left + s.cx, top + s.cy}; }

// A long message widens the box by a third of its one-line width and heightens it by three
// lines; a short one keeps the skin's own size.
void SizeBox(const TMessageLayoutInput& in, TMessageLayout& out) {
  out.Size = in.Form;
  const TQuorPadding& split = in.FormSplit;
  if (!split.HorizontalOrdered() || !split.VerticalOrdered()) return;
  const LONG width = in.MsgStrip.cx + in.Message.cx / 3 + 2 * in.AlphaWidth + 10;
  const LONG height = in.MsgStrip.cy + 3 * in.Message.cy + 2 * in.AlphaWidth + 10;
  out.Size = {std::max(width, in.Form.cx), std::max(height, in.Form.cy)};
  out.NineSlice = out.Size.cx != in.Form.cx || out.Size.cy != in.Form.cy;
}

// A message of several lines: wide enough for its widest line, high enough
// for a row per line above the buttons.
void SizeBoxForLines(const TMessageLayoutInput& in, TMessageLayout& out) {
  out.Size = in.Form;
  const TQuorPadding& split = in.FormSplit;
  if (!split.HorizontalOrdered() || !split.VerticalOrdered()) return;
  const int aw = in.AlphaWidth;
  const bool icon = !Empty(in.MsgStrip);
  const LONG left = icon ? aw + 4 + in.MsgStrip.cx / 4 + 2 : aw + in.CaptionHeight + 4;
  const LONG top = aw + in.CaptionHeight + 4 + (icon ? in.Message.cy / 2 : 0);
  const LONG width = left + in.Message.cx + aw + 4 + 8;
  const LONG height = top + (in.Message.cy + 2) * in.MessageLines + 10 + in.BtnFrame.cy + 10 + aw;
  out.Size = {std::max(width, in.Form.cx), std::max(height, in.Form.cy)};
  out.NineSlice = out.Size.cx != in.Form.cx || out.Size.cy != in.Form.cy;
}

void PlaceTitleBar(const TMessageLayoutInput& in, TMessageLayout& out) {
  const int aw = in.AlphaWidth;
  const LONG w = out.Size.cx;
  const LONG closeRight = w - aw - in.BtnCloseLeft;
  out.Close = {closeRight - in.CloseFrame.cx, aw, closeRight, aw + in.CloseFrame.cy};
  out.TitleBar = {aw, aw, out.Close.left, aw + in.CaptionHeight};
  LONG titleLeft = aw + 4;
  if (!Empty(in.Logo)) {
    out.Logo = At(aw + 4, aw + (in.CaptionHeight - in.Logo.cy) / 2, in.Logo);
    titleLeft = out.Logo.right + 2;
  }
  const LONG titleRight = std::min(titleLeft + in.Title.cx, w - in.CloseFrame.cx - aw - 4);
  const LONG titleTop = aw + (in.CaptionHeight - in.Title.cy) / 2;
  out.Title = {titleLeft, titleTop, titleRight, titleTop + in.Title.cy};
}

void PlaceMessage(const TMessageLayoutInput& in, TMessageLayout& out) {
  const int aw = in.AlphaWidth;
  const int below = aw + in.CaptionHeight + 4;
  const bool icon = !Empty(in.MsgStrip);
  if (icon) out.Icon = {aw + 4, below, aw + 4 + in.MsgStrip.cx / 4, below + in.MsgStrip.cy};
  out.MsgRowCount = out.NineSlice ? 3 : in.MsgRowCount;
  if (in.MessageLines > 1) out.MsgRowCount = std::max(out.MsgRowCount, in.MessageLines);
  const LONG top = icon ? out.Icon.top + in.Message.cy / 2 : below;
  const LONG left = icon ? out.Icon.right + 2 : below;
  out.Message = {left, top, out.Size.cx - aw - 4, top + (in.Message.cy + 2) * out.MsgRowCount};
}

void PlaceButtons(const TMessageLayoutInput& in, TMessageLayout& out) {
  const SIZE b = in.BtnFrame;
  const LONG top = out.Size.cy - in.AlphaWidth - 10 - b.cy;
  if (in.ButtonSet == kMsgButtonsYesNo) {
    out.Button2 = At((out.Size.cx - 2 * b.cx - 4) / 2, top, b);
    out.Button1 = At(out.Button2.right + 4, top, b);
  } else {
    out.Button1 = At((out.Size.cx - b.cx) / 2, top, b);
  }
}

}  // namespace

TMessageLayout LayoutMessageBox(const TMessageLayoutInput& in) {
  TMessageLayout out;
  out.MsgRowCount = in.MsgRowCount;
  if (Empty(in.Form) || Empty(in.CloseFrame) || Empty(in.BtnFrame)) return out;
  out.Composed = true;
  if (in.MessageLines > 1)
    SizeBoxForLines(in, out);
  else
    SizeBox(in, out);
  PlaceTitleBar(in, out);
  PlaceMessage(in, out);
  PlaceButtons(in, out);
  return out;
}

POINT CentreOnWorkArea(SIZE size, const RECT& workArea) {
  return {workArea.left + (workArea.right - workArea.left - size.cx) / 2,
          workArea.top + (workArea.bottom - workArea.top - size.cy) / 2};
}

POINT CentreOver(SIZE size, const RECT& owner) {
  return {owner.left + (owner.right - owner.left - size.cx) / 2,
          owner.top + (owner.bottom - owner.top - size.cy) / 2};
}

void TQuorMessageButtons::Reset(const TMessageLayout& layout, int buttonSet, bool defaultNo) {
  *this = TQuorMessageButtons{};
  FClose = layout.Close;
  FButton1 = layout.Button1;
  FButtonSet = buttonSet;
  if (buttonSet == kMsgButtonsYesNo) {
    FButton2 = layout.Button2;
    Btn2Focused = !defaultNo;
    Btn1Focused = defaultNo;
  } else {
    Btn1Focused = true;
  }
}

bool TQuorMessageButtons::UpdateHot(POINT p) {
  const bool close = PtInRect(&FClose, p);
  const bool b1 = PtInRect(&FButton1, p);
  const bool b2 = PtInRect(&FButton2, p);
  const bool changed = close != CloseHot || b1 != Btn1Hot || b2 != Btn2Hot;
  CloseHot = close;
  Btn1Hot = b1;
  Btn2Hot = b2;
  return changed;
}

TMessageAction TQuorMessageButtons::MouseMove(POINT p, bool leftDown) {
  TMessageAction a;
  const bool idle = !(CloseHot || ClosePressed || Btn1Hot || Btn1Pressed || Btn2Hot || Btn2Pressed);
  if (idle && leftDown) {
    // Held down outside every button: the whole window is a caption to drag.
    a.Drag = true;
    return a;
  }
  a.Redraw = UpdateHot(p);
  return a;
}

TMessageAction TQuorMessageButtons::MouseDown(POINT p) {
  TMessageAction a;
  a.Redraw = UpdateHot(p);
  if (CloseHot) {
    ClosePressed = true;
  } else if (Btn1Hot) {
    Btn1Pressed = Btn1Focused = true;
    Btn2Focused = false;
  } else if (Btn2Hot) {
    Btn2Pressed = Btn2Focused = true;
    Btn1Focused = false;
  } else {
    return a;
  }
  a.Redraw = true;
  return a;
}

TMessageAction TQuorMessageButtons::MouseUp(POINT p) {
  UpdateHot(p);
  if (ClosePressed && CloseHot) return Finish(kMsgResultOk);
  if (Btn1Pressed && Btn1Hot) return Finish(Button1Result());
  if (Btn2Pressed && Btn2Hot) return Finish(kMsgResultYes);
  // Released away from the pressed button: nothing is answered.
  ClosePressed = Btn1Pressed = Btn2Pressed = false;
  return TMessageAction{.Redraw = true};
}

TMessageAction TQuorMessageButtons::KeyDown(UINT key) {
  switch (key) {
    case VK_ESCAPE:
      return Finish(kMsgResultOk);
    case VK_RETURN:
      return Finish(Btn2Focused ? kMsgResultYes : Button1Result());
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (FButtonSet != kMsgButtonsYesNo) return {};
      std::swap(Btn1Focused, Btn2Focused);
      return TMessageAction{.Redraw = true};
    default:
      return {};
  }
}

TMessageAction TQuorMessageButtons::Finish(int result) {
  FResult = result;
  CloseHot = ClosePressed = Btn1Hot = Btn1Pressed = Btn1Focused = false;
  Btn2Hot = Btn2Pressed = Btn2Focused = false;
  return TMessageAction{.Close = true};
}

int TQuorMessageButtons::ButtonFrame(int button) const {
  const bool pressed = button == 1 ? Btn1Pressed : Btn2Pressed;
  const bool hot = button == 1 ? Btn1Hot : Btn2Hot;
  const bool focused = button == 1 ? Btn1Focused : Btn2Focused;
  if (pressed) return 2;
  if (hot) return 1;
  return focused ? 3 : 0;
}

int TQuorMessageButtons::CloseFrame() const {
  if (ClosePressed) return 2;
  return CloseHot ? 1 : 0;
}

}  // namespace quor
