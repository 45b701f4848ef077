#include "toolkit/QuorDirectPanel.h"

#include "toolkit/QuorDirectForm.h"

namespace quor {

TQuorDirectPanel::TQuorDirectPanel(TQuorContainer& parent, const TProps& props)
    : TQuorDirectParentControl(parent, props.Control), FProps(props) {
  FStateRepaint = false;
}

void TQuorDirectPanel::SetColor(TColor color) {
  if (color == FProps.Color) return;
  FProps.Color = color;
  Redraw();
}

void TQuorDirectPanel::DirectPaint(TPaintContext& ctx) {
  const RECT r = ctx.Rect;
  const TPngImage& img = FProps.ImgBack;
  const TQuorPadding& s = FProps.ImgSplit;
  if (img.Empty()) {
    CreateColorImage(Width(), Height(), FProps.Color, uint8_t(Alpha())).Draw(ctx.Canvas, r);
    return;
  }
  if (s.HorizontalOrdered()) {
    if (auto parts = CutThreePartHor(img, s.Left(), s.Right(), Alpha(), clNone)) {
      DrawThreeParts(ctx.Canvas, *parts, r, true);
      return;
    }
  } else if (s.VerticalOrdered()) {
    if (auto parts = CutThreePartVer(img, s.Top(), s.Bottom(), Alpha(), clNone)) {
      DrawThreeParts(ctx.Canvas, *parts, r, false);
      return;
    }
  }
  img.Draw(ctx.Canvas, r);
}

}  // namespace quor
