#include "toolkit/QuorDirectButton.h"

#include <algorithm>

#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorImageList.h"

namespace quor {

std::vector<TPngImage> StretchStateFrames(const TPngImage& strip, int count,
                                          const TQuorPadding& split, int width, int height) {
  std::vector<TPngImage> frames = CutFrames(strip, count);
  for (TPngImage& frame : frames) {
    std::optional<TPngImage> stretched;
    if (split.HorizontalOrdered() && split.VerticalOrdered()) {
      auto parts = CutNineParts(frame, {split.Left(), split.Top()},
                                {split.Right(), split.Bottom()}, 255, clNone);
      if (parts) stretched = BuildNinePartImage(width, height, *parts);
    } else if (split.HorizontalOrdered()) {
      stretched = StretchThreePartHor(frame, split.Left(), split.Right(), 255, clNone, width);
    }
    if (stretched) frame = std::move(*stretched);
  }
  return frames;
}

// ---- windowless button ------------------------------------------------------

TQuorDirectButton::TQuorDirectButton(TQuorContainer& parent, const TProps& props)
    : TQuorDirectControl(parent, props.Control), FProps(props) {
  const TFontSpec* specs[] = {&props.FontNormal, &props.FontOver,    &props.FontDown,
                              &props.FontDisable, &props.FontSelect, &props.FontFocus};
  for (int i = 0; i < 6; ++i) FFonts[i].Assign(*specs[i]);
  FFrames = StretchStateFrames(props.ImgBtn, props.BtnStateCount, props.BtnSplit, Width(), Height());
}

void TQuorDirectButton::SetBounds(const TBounds& bounds) {
  FFrames = StretchStateFrames(FProps.ImgBtn, FProps.BtnStateCount, FProps.BtnSplit, bounds.Width,
                               bounds.Height);
  TQuorDirectControl::SetBounds(bounds);
}

void TQuorDirectButton::SetBtnStatus(TQuorBtnStatus status) {
  if (status == FProps.BtnStatus) return;
  FProps.BtnStatus = status;
  Redraw();
}

void TQuorDirectButton::SetCaption(const std::wstring& caption) {
  if (caption == FProps.Caption) return;
  FProps.Caption = caption;
  Redraw();
}

std::array<TFontSpec, 6> TQuorDirectButton::Fonts() const {
  return {FProps.FontNormal, FProps.FontOver,   FProps.FontDown,
          FProps.FontDisable, FProps.FontSelect, FProps.FontFocus};
}

void TQuorDirectButton::SetFonts(const std::array<TFontSpec, 6>& fonts) {
  TFontSpec* specs[] = {&FProps.FontNormal, &FProps.FontOver,   &FProps.FontDown,
                        &FProps.FontDisable, &FProps.FontSelect, &FProps.FontFocus};
  bool changed = false;
  for (int i = 0; i < 6; ++i) {
    *specs[i] = fonts[size_t(i)];
    changed = FFonts[i].Assign(fonts[size_t(i)]) || changed;
  }
  if (changed) Redraw();
}

TQuorBtnStatus TQuorDirectButton::DrawnStatus() const {
  using enum TQuorBtnStatus;
  if (!Enabled()) return bsDisable;
  if (FProps.BtnStatus == bsSelect) return bsSelect;
  if (Pressed()) return bsDown;
  if (Hovered()) return bsOver;
  return bsNormal;
}

int TQuorDirectButton::FrameIndex() const {
  switch (DrawnStatus()) {
    case TQuorBtnStatus::bsDisable: return 3;
    case TQuorBtnStatus::bsSelect: return FFrames.size() > 4 ? 4 : 2;
    case TQuorBtnStatus::bsDown: return 2;
    case TQuorBtnStatus::bsOver: return 1;
    default: return 0;
  }
}

const TQuorFont& TQuorDirectButton::StateFont(TQuorBtnStatus status) const {
  return FFonts[static_cast<int>(status)];
}

void TQuorDirectButton::MouseDown(int x, int y) {
  if (!FProps.ButtonTab) {
    TQuorDirectControl::MouseDown(x, y);
    return;
  }
  if (FProps.BtnStatus == TQuorBtnStatus::bsSelect) return;
  if (OnSelect) OnSelect(*this);
  FProps.BtnStatus = TQuorBtnStatus::bsSelect;
  for (auto& sibling : Parent().Children()) {
    auto* other = dynamic_cast<TQuorDirectButton*>(sibling.get());
    if (other && other != this && other->ButtonTab() && other->GroupIndex() == GroupIndex() &&
        other->BtnStatus() == TQuorBtnStatus::bsSelect)
      other->SetBtnStatus(TQuorBtnStatus::bsNormal);
  }
  Redraw();
}

void TQuorDirectButton::DirectPaint(TPaintContext& ctx) {
  const RECT r = ctx.Rect;
  const size_t frame = size_t(FrameIndex());
  if (frame < FFrames.size()) FFrames[frame].Draw(ctx.Canvas, r.left, r.top);
  const bool down = DrawnStatus() == TQuorBtnStatus::bsDown;
  int glyphRight = -1;
  const TPngImage* glyph = nullptr;
  std::optional<TPngImage> listed;
  if (FProps.Imagelist && FProps.Imgindex >= 0) {
    const TPngImage* item = FProps.Imagelist->Item(FProps.Imgindex);
    if (item) glyph = item;
  }
  if (glyph) {
    const int gx = r.left + FProps.GraphLeftFix + 2;
    glyph->Draw(ctx.Canvas, gx, r.top + (Height() - glyph->Height()) / 2 + FProps.GraphTopFix);
    glyphRight = gx + glyph->Width() - r.left;
  } else if (!FProps.Graph.Empty() && !FProps.RightJustify) {
    const TPngImage& g = FProps.Graph;
    const int lower = down && FProps.RightLimite == 0 ? 1 : 0;
    if (FProps.Layout == TQuorLayout::qlGlphyLeft) {
      const int gx = r.left + FProps.GraphLeftFix + 2;
      g.Draw(ctx.Canvas, gx, r.top + (Height() - g.Height()) / 2 + FProps.GraphTopFix + lower);
      glyphRight = gx + g.Width() - r.left;
    } else if (FProps.Layout == TQuorLayout::qlGlphyTop) {
      g.Draw(ctx.Canvas, r.left + (Width() - g.Width()) / 2 + FProps.GraphLeftFix,
             r.top + FProps.GraphTopFix + 2 + (down ? 1 : 0));
    }
  }
  DrawCaption(ctx.Canvas, r, glyphRight);
}

void TQuorDirectButton::DrawCaption(TQuorBitmap& canvas, const RECT& r, int glyphRight) {
  if (FProps.Caption.empty()) return;
  const TQuorFont& font = StateFont(DrawnStatus());
  const SIZE text = MeasureText(FProps.Caption, font);
  int left;
  if (FProps.RightJustify) left = Width() - text.cx - 2;
  else if (FProps.JustCaptionLeft || FProps.CenterJustify) left = FProps.CaptionLeftFix;
  else if (FProps.Layout == TQuorLayout::qlGlphyLeft && glyphRight >= 0)
    left = glyphRight + FProps.CaptionLeftFix + 2;
  else left = ((FProps.RightLimite ? FProps.RightLimite : Width()) - text.cx) / 2 + FProps.CaptionLeftFix;
  bool cut = false;
  if (left <= 0) {
    left = 6;
    cut = true;
  }
  int right = FProps.CenterJustify ? Width() - 2 : left + text.cx;
  if (right > Width() - 2) {
    right = Width() - 2;
    cut = cut || !FProps.CenterJustify || text.cx > right - left;
  }
  const int top = (Height() - text.cy) / 2 + FProps.CaptionTopFix;
  const int bottom = std::min<int>(top + text.cy, Height() - 2);
  if (FProps.RightJustify && !FProps.Graph.Empty()) {
    const TPngImage& g = FProps.Graph;
    g.Draw(canvas, r.left + left - g.Width() - 2,
           r.top + (Height() - g.Height()) / 2 + FProps.GraphTopFix);
  }
  const int opacity = Frame() ? Frame()->Alpha() : 255;
  DrawSurfaceText(canvas, {r.left + left, r.top + top, r.left + right, r.top + bottom},
                  FProps.Caption, font, FProps.CenterJustify ? kTextCenter : kTextLeft, opacity);
  if (cut && !FCut) {
    FSavedHint = Hint();
    FSavedShowHint = ShowHint();
    SetHint(FProps.Caption);
    SetShowHint(true);
  } else if (!cut && FCut) {
    SetHint(FSavedHint);
    SetShowHint(FSavedShowHint);
  }
  FCut = cut;
}

// ---- standard button ------------------------------------------------------------

TQuorDirectStdButton::TQuorDirectStdButton(TQuorContainer& parent, const TProps& props)
    : TQuorDirectParentControl(parent, props.Control), FProps(props) {
  const TFontSpec* specs[] = {&props.FontNormal, &props.FontOver, &props.FontDown,
                              &props.FontDisable, &props.FontFocus};
  for (int i = 0; i < 5; ++i) FFonts[i].Assign(*specs[i]);
  Rebuild();
}

void TQuorDirectStdButton::Rebuild() {
  const TQuorPadding& s = FProps.BtnSplit;
  if (!s.HorizontalOrdered() && FProps.BtnStateCount > 0 && !FProps.ImgBtn.Empty()) {
    // Without a split the button takes one frame's size.
    const int w = FProps.ImgBtn.Width() / FProps.BtnStateCount, h = FProps.ImgBtn.Height();
    if (w != Width() || h != Height())
      TQuorDirectParentControl::SetBounds({Bounds().Left, Bounds().Top, w, h});
  }
  FFrames = StretchStateFrames(FProps.ImgBtn, FProps.BtnStateCount, s, Width(), Height());
}

int TQuorDirectStdButton::FrameIndex() const {
  int index = 0;
  if (!Enabled()) index = 3;
  else if (Pressed()) index = 2;
  else if (Hovered()) index = 1;
  else if (Focused()) index = 4;
  return index < int(FFrames.size()) ? index : 0;
}

void TQuorDirectStdButton::SetCaption(const std::wstring& caption) {
  if (caption == FProps.Caption) return;
  FProps.Caption = caption;
  Redraw();
}

std::array<TFontSpec, 5> TQuorDirectStdButton::Fonts() const {
  return {FProps.FontNormal, FProps.FontOver, FProps.FontDown, FProps.FontDisable, FProps.FontFocus};
}

void TQuorDirectStdButton::SetFonts(const std::array<TFontSpec, 5>& fonts) {
  if (fonts == Fonts()) return;
  TFontSpec* specs[] = {&FProps.FontNormal, &FProps.FontOver, &FProps.FontDown, &FProps.FontDisable,
                        &FProps.FontFocus};
  for (size_t i = 0; i < fonts.size(); ++i) {
    *specs[i] = fonts[i];
    FFonts[i].Assign(fonts[i]);
  }
  Redraw();
}

void TQuorDirectStdButton::DirectPaint(TPaintContext& ctx) {
  const RECT r = ctx.Rect;
  const size_t frame = size_t(FrameIndex());
  if (frame < FFrames.size()) FFrames[frame].Draw(ctx.Canvas, r.left, r.top);
  if (FProps.Caption.empty()) return;
  int fontIndex = 0;
  if (!Enabled()) fontIndex = 3;
  else if (Pressed()) fontIndex = 2;
  else if (Hovered()) fontIndex = 1;
  else if (Focused()) fontIndex = 4;
  const RECT box{r.left + FProps.CaptionLeftFix + 2, r.top + FProps.CaptionTopFix + 2,
                 r.right + FProps.CaptionLeftFix - 2, r.bottom + FProps.CaptionTopFix - 2};
  DrawSurfaceText(ctx.Canvas, box, FProps.Caption, FFonts[fontIndex], kTextCenter);
}

void TQuorDirectStdButton::FocusChanged(bool) { Redraw(); }

void TQuorDirectStdButton::KeyDown(WPARAM key) {
  if (key == VK_RETURN && Enabled()) Click();
}

}  // namespace quor
