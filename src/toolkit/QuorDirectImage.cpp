#include "toolkit/QuorDirectImage.h"

#include <algorithm>

#include "toolkit/QuorDirectForm.h"

namespace quor {

TQuorDirectImage::TQuorDirectImage(TQuorContainer& parent, const TProps& props)
    : TQuorDirectControl(parent, props.Control), FProps(props) {
  Cut();
}

TQuorDirectImage::~TQuorDirectImage() {
  if (Frame() && FFadeOpacity < 256) Frame()->Host().KillTimer(TimerId());
}

void TQuorDirectImage::Cut() {
  FFrames.clear();
  if (FProps.imgcount <= 1) {
    if (!FProps.Image.Empty()) FFrames.push_back(FProps.Image);
  } else {
    FFrames = CutFrames(FProps.Image, FProps.imgcount);
  }
  if (FProps.AutoSize && !FFrames.empty())
    TQuorControlBase::SetBounds(
        {Bounds().Left, Bounds().Top, FFrames[0].Width(), FFrames[0].Height()});
}

void TQuorDirectImage::SetImage(const TPngImage& image) {
  FProps.Image = image;
  Cut();
  Redraw();
}

void TQuorDirectImage::SetImgindex(int index) {
  if (index == FProps.imgindex) return;
  FProps.imgindex = index;
  if (FProps.Fade && index != 0 && Frame()) {
    FFadeOpacity = 5;
    Frame()->Host().SetTimer(TimerId(), 33, [this] { FadeTick(); });
  }
  Redraw();
}

void TQuorDirectImage::FadeTick() {
  FFadeOpacity += 5;
  if (FFadeOpacity >= 256) {
    FFadeOpacity = 256;
    if (Frame()) Frame()->Host().KillTimer(TimerId());
  }
  Redraw();
}

void TQuorDirectImage::DirectPaint(TPaintContext& ctx) {
  const RECT r = ctx.Rect;
  const int index = FProps.imgindex;
  if (FProps.imgcount <= 1) {
    if (!FFrames.empty()) FFrames[0].Draw(ctx.Canvas, r);
  } else if (index >= 0 && index < int(FFrames.size())) {
    if (FFadeOpacity < 256 && index >= 1) {
      FFrames[size_t(index - 1)].Draw(ctx.Canvas, r.left, r.top);
      // The new frame goes over the old one with the fade's opacity.
      TPngImage faded = ColorizeImage(FFrames[size_t(index)], clNone, FFadeOpacity);
      faded.Draw(ctx.Canvas, r.left, r.top);
    } else {
      FFrames[size_t(index)].Draw(ctx.Canvas, r.left, r.top);
    }
  }
  if (OnAfterDrawPaint) OnAfterDrawPaint(*this, ctx.Canvas, r);
}

}  // namespace quor
