#include "toolkit/QuorDirectLabel.h"

#include <algorithm>

#include "toolkit/QuorDirectForm.h"

namespace quor {

TQuorDirectLabel::TQuorDirectLabel(TQuorContainer& parent, const TProps& props)
    : TQuorDirectControl(parent, props),
      FAlignment(props.Alignment),
      FSupportMouseOverDown(props.SupportMouseOverDown),
      FFont(props.Font),
      FFontOver(props.FontOver),
      FFontDown(props.FontDown),
      FCaption(props.Caption),
      FGraph(props.Graph),
      FWordBreak(props.WordBreak) {
  FStateRepaint = FSupportMouseOverDown;
}

void TQuorDirectLabel::SetCaption(const std::wstring& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Redraw();
}

void TQuorDirectLabel::SetFont(const TFontSpec& font) {
  if (FFont.Assign(font)) Redraw();
}

void TQuorDirectLabel::SetGraph(const TPngImage& graph) {
  FGraph = graph;
  Redraw();
}

void TQuorDirectLabel::DirectPaint(TPaintContext& ctx) {
  const TQuorFont& font = !FSupportMouseOverDown ? FFont
                          : Pressed()            ? FFontDown
                          : Hovered()            ? FFontOver
                                                 : FFont;
  const RECT r = ctx.Rect;
  RECT text = r;
  UINT format = kTextLeft;
  if (FAlignment == TQuorAlignment::Left) {
    int x = r.left + 2;
    if (!FGraph.Empty()) {
      FGraph.Draw(ctx.Canvas, x, int(r.top) + (Height() - FGraph.Height()) / 2);
      x += FGraph.Width() + 2;
    }
    text.left = x;
    text.right = std::min<LONG>(r.right, text.left + Width() - 2);
    if (FWordBreak) format = kTextWrap;
  } else {
    format = FAlignment == TQuorAlignment::Right ? kTextRight : kTextCenter;
  }
  if (!FCaption.empty() && text.right > text.left)
    DrawSurfaceText(ctx.Canvas, text, FCaption, font, format);
  // A caption that does not fit is offered whole as the hint.
  const bool cut = !FWordBreak && MeasureText(FCaption, font).cx > text.right - text.left;
  if (cut && !FCut) {
    FSavedHint = Hint();
    FSavedShowHint = ShowHint();
    SetHint(FCaption);
    SetShowHint(true);
  } else if (cut) {
    SetHint(FCaption);
  } else if (FCut) {
    SetHint(FSavedHint);
    SetShowHint(FSavedShowHint);
  }
  FCut = cut;
}

TQuorDirectColorLabel::TQuorDirectColorLabel(TQuorContainer& parent, const TProps& props)
    : TQuorDirectControl(parent, props) {}

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
