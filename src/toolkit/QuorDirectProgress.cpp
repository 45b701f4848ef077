#include "toolkit/QuorDirectProgress.h"

#include <algorithm>
#include <cmath>

#include "toolkit/QuorDirectForm.h"

namespace quor {

TQuorDirectProgress::TQuorDirectProgress(TQuorContainer& parent, const TProps& props)
    : TQuorDirectControl(parent, props.Control), FProps(props), FFont(props.Font) {
  FProps.Position = std::clamp(FProps.Position, FProps.Min, std::max(FProps.Min, FProps.Max));
  FProps.LoadValue = std::clamp(FProps.LoadValue, FProps.Min, std::max(FProps.Min, FProps.Max));
  if (!FProps.ImgBack.Empty()) {
    TBounds b = Bounds();
    if (Horizontal()) b.Height = FProps.ImgBack.Height();
    else b.Width = FProps.ImgBack.Width();
    TQuorControlBase::SetBounds(b);
  }
}

void TQuorDirectProgress::SetPosition(int position) {
  position = std::clamp(position, FProps.Min, std::max(FProps.Min, FProps.Max));
  if (position == FProps.Position) return;
  FProps.Position = position;
  Redraw();
}

void TQuorDirectProgress::SetMax(int max) {
  if (max == FProps.Max) return;
  FProps.Max = max;
  const int top = std::max(FProps.Min, max);
  FProps.Position = std::clamp(FProps.Position, FProps.Min, top);
  FProps.LoadValue = std::clamp(FProps.LoadValue, FProps.Min, top);
  Redraw();
}

void TQuorDirectProgress::SetLoadValue(int value) {
  value = std::clamp(value, FProps.Min, std::max(FProps.Min, FProps.Max));
  if (value == FProps.LoadValue) return;
  FProps.LoadValue = value;
  Redraw();
}

TQuorDirectProgress::TParts TQuorDirectProgress::Cut(const TPngImage& image) const {
  const TQuorPadding& s = FProps.ImgSplit;
  if (Horizontal())
    return s.Left() < s.Right() ? CutThreePartHor(image, s.Left(), s.Right(), 255, clNone)
                                : std::nullopt;
  return s.Top() < s.Bottom() ? CutThreePartVer(image, s.Top(), s.Bottom(), 255, clNone)
                              : std::nullopt;
}

int TQuorDirectProgress::Percent(int value) const {
  // An empty range has no progress to show.
  if (FProps.Max == FProps.Min) return 0;
  return int(std::trunc(double(value - FProps.Min) / (FProps.Max - FProps.Min) * 100));
}

RECT TQuorDirectProgress::BarRect(int percent, const TParts& parts, const TPngImage& whole) const {
  const int len = Length();
  int filled = int(std::trunc(std::clamp(percent, 0, 100) * double(len) / 100));
  int thick = Horizontal() ? Height() : Width();
  if (parts) {
    const auto& [first, middle, last] = *parts;
    const int ends = Horizontal() ? first.Width() + last.Width() : first.Height() + last.Height();
    filled = std::max(filled, ends);
    const int partThick = Horizontal() ? first.Height() : first.Width();
    if (partThick > 0) thick = partThick;
  } else if (!whole.Empty()) {
    const int own = Horizontal() ? whole.Width() : whole.Height();
    if (filled < own && own != len) filled = own;
    thick = Horizontal() ? whole.Height() : whole.Width();
  }
  if (Horizontal()) {
    const int top = (Height() - thick) / 2;
    return {0, top, filled, top + thick};
  }
  const int left = (Width() - thick) / 2;
  return {left, Height() - filled, left + thick, Height()};
}

RECT TQuorDirectProgress::FrontRect() const {
  const int p = Percent(FProps.Position);
  if (p == 0) return {0, 0, 0, 0};
  return BarRect(p, Cut(FProps.ImgFront), FProps.ImgFront);
}

void TQuorDirectProgress::DirectPaint(TPaintContext& ctx) {
  const RECT s = ctx.Rect;
  auto offset = [&](RECT r) { return RECT{r.left + s.left, r.top + s.top, r.right + s.left, r.bottom + s.top}; };
  if (auto back = Cut(FProps.ImgBack)) DrawThreeParts(ctx.Canvas, *back, s, Horizontal());
  else FProps.ImgBack.Draw(ctx.Canvas, s);

  auto load = Cut(FProps.ImgLoad);
  const int q = Percent(FProps.LoadValue);
  if (load && FProps.LoadValue != 0 && q > 0) DrawThreeParts(ctx.Canvas, *load, offset(BarRect(q, load, {})), Horizontal());

  const int p = Percent(FProps.Position);
  if (p != 0) {
    const TPngImage* image = &FProps.ImgFront;
    if (Horizontal()) {
      if (p < FProps.WarningLevel && !FProps.imgWarning.Empty()) image = &FProps.imgWarning;
      else if (p < FProps.Passlevel && !FProps.imgpass.Empty()) image = &FProps.imgpass;
    }
    auto parts = Cut(*image);
    const RECT bar = offset(BarRect(p, parts, *image));
    if (parts) DrawThreeParts(ctx.Canvas, *parts, bar, Horizontal());
    else image->Draw(ctx.Canvas, bar);
  }

  if (FProps.ShowPrecent) {
    const std::wstring text = FProps.AheadPrecentStr + std::to_wstring(FProps.Position) + L"%";
    const SIZE size = MeasureText(text, FFont);
    const int top = s.top + (Height() - size.cy) / 2;
    DrawSurfaceText(ctx.Canvas, {s.left + 2, top, s.right - 2, top + size.cy}, text, FFont, kTextCenter);
  }
}

}  // namespace quor
