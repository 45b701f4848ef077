#include "toolkit/QuorDirectLabel.h"

#include <algorithm>

#include "toolkit/QuorDirectForm.h"

namespace quor {

TQuorDirectLabel::TQuorDirectLabel(TQuorContainer& parent, const TProps& props)
    : TQuorDirectControl(parent, props.Control),
      FProps(props),
      FFont(props.Font),
      FFontOver(props.FontOver),
      FFontDown(props.FontDown) {
  FStateRepaint = FProps.SupportMouseOverDown;
}

void TQuorDirectLabel::SetCaption(const std::wstring& caption) {
  if (caption == FProps.Caption) return;
  FProps.Caption = caption;
  Redraw();
}

void TQuorDirectLabel::SetFont(const TFontSpec& font) {
  FProps.Font = font;
  if (FFont.Assign(font)) Redraw();
}

void TQuorDirectLabel::SetStateFonts(const TFontSpec& normal, const TFontSpec& over,
                                     const TFontSpec& down) {
  FProps.Font = normal;
  FProps.FontOver = over;
  FProps.FontDown = down;
  bool changed = FFont.Assign(normal);
  changed = FFontOver.Assign(over) || changed;
  changed = FFontDown.Assign(down) || changed;
  if (changed) Redraw();
}

void TQuorDirectLabel::SetGraph(const TPngImage& graph) {
  FProps.Graph = graph;
  Redraw();
}

void TQuorDirectLabel::DirectPaint(TPaintContext& ctx) {
  const TQuorFont& font = !FProps.SupportMouseOverDown ? FFont
                          : Pressed()                  ? FFontDown
                          : Hovered()                  ? FFontOver
                                                       : FFont;
  const RECT r = ctx.Rect;
  RECT text = r;
  UINT format = kTextLeft;
  if (FProps.Alignment == TQuorAlignment::Left) {
    int x = r.left + 2;
    if (!FProps.Graph.Empty()) {
      FProps.Graph.Draw(ctx.Canvas, x, int(r.top) + (Height() - FProps.Graph.Height()) / 2);
      x += FProps.Graph.Width() + 2;
    }
    text.left = x;
    text.right = std::min<LONG>(r.right, text.left + Width() - 2);
    if (FProps.WordBreak) format = kTextWrap;
  } else {
    format = FProps.Alignment == TQuorAlignment::Right ? kTextRight : kTextCenter;
  }
  if (!FProps.Caption.empty() && text.right > text.left)
    DrawSurfaceText(ctx.Canvas, text, FProps.Caption, font, format);
  // A caption that does not fit is offered whole as the hint.
  const bool cut =
      !FProps.WordBreak && MeasureText(FProps.Caption, font).cx > text.right - text.left;
  if (cut && !FCut) {
    FSavedHint = Hint();
    FSavedShowHint = ShowHint();
    SetHint(FProps.Caption);
    SetShowHint(true);
  } else if (cut) {
    SetHint(FProps.Caption);
  } else if (FCut) {
    SetHint(FSavedHint);
    SetShowHint(FSavedShowHint);
  }
  FCut = cut;
}

TQuorDirectColorLabel::TQuorDirectColorLabel(TQuorContainer& parent, const TProps& props)
    : TQuorDirectControl(parent, props.Control), FProps(props) {}

void TQuorDirectColorLabel::AddText(const std::wstring& text, const TextSegment& s) {
  if (text.empty()) return;
  FSegments.push_back({text, TQuorFont({s.FontName, DEFAULT_CHARSET, s.Size, s.Style, s.Color})});
  if (!FSuspended) Redraw();
}

void TQuorDirectColorLabel::ClearText() {
  FSegments.clear();
  if (!FSuspended) Redraw();
}

void TQuorDirectColorLabel::EndUpdate() {
  FSuspended = false;
  Redraw();
}

void TQuorDirectColorLabel::DirectPaint(TPaintContext& ctx) {
  const RECT r = ctx.Rect;
  int x = r.left + 2;
  const int limit = r.left + Width() - 2;
  for (const auto& piece : FSegments) {
    if (x >= limit) break;
    const SIZE size = MeasureText(piece.Text, piece.Font);
    const int top = r.top + (Height() - size.cy) / 2;
    const RECT box{x, top, std::min<LONG>(x + size.cx, limit), top + size.cy};
    DrawSurfaceText(ctx.Canvas, box, piece.Text, piece.Font, kTextLeft);
    x = box.right;
  }
}

}  // namespace quor
