#include "toolkit/QuorDirectScrollBar.h"

#include <windowsx.h>

#include <algorithm>

#include "toolkit/QuorDirectForm.h"

namespace quor {
namespace {

}  // namespace

TQuorDirectScrollBar::TQuorDirectScrollBar(TQuorContainer& parent, const TProps& props)
    : TQuorDirectParentControl(parent, props.Control), FProps(props) {
  Rebuild();
}

TQuorDirectScrollBar::~TQuorDirectScrollBar() {
  if (Frame() && FRepeating) Frame()->Host().KillTimer(TimerId());
}

void TQuorDirectScrollBar::SetScrollRes(const TQuorScrollBarRes& res) {
  FProps.ScrollRes = res;
  Rebuild();
  Redraw();
}

void TQuorDirectScrollBar::Rebuild() {
  const TQuorScrollBarRes& r = FProps.ScrollRes;
  FFirst = CutFrames(r.ImgBtnLT, r.BtnStateCount);
  FSecond = CutFrames(r.ImgBtnRB, r.BtnStateCount);
  FCenter = CutFrames(r.ImgCenter, r.CenterStateCount);
  FStretchedTrackLength = -1;
  for (auto& slider : FStretchedSliders) slider.Length = -1;
  FSlider = CutFrames(r.ImgSlider, r.SliderStateCount);
  if (r.BackStateCount > 1) {
    // A strip that does not divide into its frames leaves the track undrawn.
    auto first = CutFrameHor(r.ImgBack, r.BackStateCount, 0);
    FTrack = first ? std::move(*first) : TPngImage();
  } else {
    FTrack = r.ImgBack;
  }
  // The bar's breadth follows the button image.
  if (!FFirst.empty()) {
    TBounds b = Bounds();
    if (Vertical()) b.Width = FFirst[0].Width();
    else b.Height = FFirst[0].Height();
    TQuorDirectParentControl::SetBounds(b);
  }
}

TScrollInput TQuorDirectScrollBar::Input() const {
  TScrollInput in;
  in.Length = Vertical() ? Height() : Width();
  in.ButtonLength = FFirst.empty() ? 0 : (Vertical() ? FFirst[0].Height() : FFirst[0].Width());
  in.BtnoffSet = FProps.ScrollRes.BtnoffSet;
  in.ShowButton = FProps.ScrollRes.ShowButton;
  in.JoinButton = FProps.ScrollRes.JoinButton;
  in.Min = FProps.Min;
  in.Max = FProps.Max;
  in.PageSize = FProps.PageSize;
  in.Position = FProps.Position;
  in.ThumbSize = ::GetSystemMetrics(Vertical() ? SM_CYVTHUMB : SM_CXHTHUMB);
  return in;
}

void TQuorDirectScrollBar::SetRange(int min, int max, int pageSize) {
  FProps.Min = min;
  FProps.Max = std::max(min, max);
  FProps.PageSize = std::max(0, pageSize);
  FProps.Position = std::clamp(FProps.Position, FProps.Min, ScrollMaxPosition(Input()));
  Redraw();
}

void TQuorDirectScrollBar::ApplyPosition(int position) {
  position = std::clamp(position, FProps.Min, ScrollMaxPosition(Input()));
  if (OnScroll) OnScroll(*this, position);
  if (position == FProps.Position) return;
  FProps.Position = position;
  if (OnNeedRepaint) OnNeedRepaint(*this);
  if (!OwnerDrawn()) Redraw();
}

void TQuorDirectScrollBar::SetPosition(int position) { ApplyPosition(position); }

void TQuorDirectScrollBar::ScrollBy(int delta) { ApplyPosition(FProps.Position + delta); }

TQuorDirectScrollBar::THit TQuorDirectScrollBar::HitAt(int along) const {
  const TScrollLayout l = Layout();
  const TScrollInput in = Input();
  if (FProps.ScrollRes.ShowButton && in.ButtonLength > 0) {
    if (along >= l.FirstButton && along < l.FirstButton + in.ButtonLength) return THit::First;
    if (along >= l.SecondButton && along < l.SecondButton + in.ButtonLength) return THit::Second;
  }
  if (l.SliderLength > 0) {
    if (along >= l.SliderStart && along < l.SliderStart + l.SliderLength) return THit::Slider;
    if (along < l.SliderStart && along >= l.TrackStart) return THit::TrackBefore;
    if (along >= l.SliderStart + l.SliderLength && along < l.TrackStart + l.TrackLength)
      return THit::TrackAfter;
  }
  return THit::None;
}

void TQuorDirectScrollBar::MouseDown(int x, int y) {
  const int along = Along(x, y);
  FActive = HitAt(along);
  FLastAlong = along;
  switch (FActive) {
    case THit::First: ScrollBy(-FProps.SmallChange); break;
    case THit::Second: ScrollBy(FProps.SmallChange); break;
    case THit::TrackBefore: ScrollBy(-FProps.LargeChange); break;
    case THit::TrackAfter: ScrollBy(FProps.LargeChange); break;
    case THit::Slider: FGrab = along - Layout().SliderStart; break;
    case THit::None: break;
  }
  if (FActive != THit::None && FActive != THit::Slider && Frame()) {
    FRepeating = true;
    // The first repeat waits for the keyboard delay, the next ones for the repeat interval.
    Frame()->Host().SetTimer(TimerId(), UINT(KeyRepeatDelay()), [this] {
      Frame()->Host().SetTimer(TimerId(), UINT(KeyRepeatInterval()), [this] { RepeatTick(); });
      RepeatTick();
    });
  }
  TQuorDirectParentControl::MouseDown(x, y);
}

void TQuorDirectScrollBar::RepeatTick() {
  const THit now = HitAt(FLastAlong);
  switch (FActive) {
    case THit::First: ScrollBy(-FProps.SmallChange); break;
    case THit::Second: ScrollBy(FProps.SmallChange); break;
    case THit::TrackBefore:
      if (now == THit::TrackBefore) ScrollBy(-FProps.LargeChange);
      break;
    case THit::TrackAfter:
      if (now == THit::TrackAfter) ScrollBy(FProps.LargeChange);
      break;
    default: break;
  }
}

void TQuorDirectScrollBar::MouseMove(int x, int y, WPARAM keys) {
  FLastAlong = Along(x, y);
  if (FActive == THit::Slider && (keys & MK_LBUTTON))
    ApplyPosition(ScrollPositionAt(Input(), Layout(), FLastAlong - FGrab));
  TQuorDirectParentControl::MouseMove(x, y, keys);
}

void TQuorDirectScrollBar::MouseUp(int x, int y) {
  StopRepeat();
  const bool wasActive = FActive != THit::None;
  FActive = THit::None;
  if (wasActive && OnScroll) {
    int final = FProps.Position;
    OnScroll(*this, final);
  }
  TQuorDirectParentControl::MouseUp(x, y);
}

bool TQuorDirectScrollBar::MouseWheel(int delta, int, int) {
  if (delta < 0) ApplyPosition(std::min(FProps.Position + FProps.SmallChange, ScrollMaxPosition(Input())));
  else ApplyPosition(std::max(FProps.Position - FProps.SmallChange, FProps.Min));  // not below Min
  return true;
}

void TQuorDirectScrollBar::CaptureLost() {
  // Another window took the mouse: the held button no longer repeats.
  StopRepeat();
  FActive = THit::None;
  TQuorDirectParentControl::CaptureLost();
}

void TQuorDirectScrollBar::StopRepeat() {
  if (FRepeating && Frame()) Frame()->Host().KillTimer(TimerId());
  FRepeating = false;
}

void TQuorDirectScrollBar::DirectPaint(TPaintContext& ctx) {
  const RECT r = ctx.Rect;
  const TScrollLayout l = Layout();
  const TScrollInput in = Input();
  const TQuorPadding& split = FProps.ScrollRes.SliderSplit;
  auto span = [&](int start, int length) {
    return Vertical() ? RECT{r.left, r.top + start, r.right, r.top + start + length}
                      : RECT{r.left + start, r.top, r.left + start + length, r.bottom};
  };
  // Stretched images are kept until the length they were made for changes.
  if (FProps.ScrollRes.BackUseThree && FStretchedTrackLength != in.Length) {
    FStretchedTrack = Vertical() ? StretchThreePartVer(FTrack, split.Top(), split.Bottom(), 255, clNone, in.Length)
                                 : StretchThreePartHor(FTrack, split.Left(), split.Right(), 255, clNone, in.Length);
    FStretchedTrackLength = in.Length;
  }
  (FProps.ScrollRes.BackUseThree && FStretchedTrack ? *FStretchedTrack : FTrack).Draw(ctx.Canvas, r);

  auto state = [&](THit part) { return FActive == part ? 2 : Hovered() && HitAt(FLastAlong) == part ? 1 : 0; };
  if (FProps.ScrollRes.ShowButton) {
    if (auto* f = StateFrame(FFirst, state(THit::First))) f->Draw(ctx.Canvas, span(l.FirstButton, in.ButtonLength));
    if (auto* f = StateFrame(FSecond, state(THit::Second))) f->Draw(ctx.Canvas, span(l.SecondButton, in.ButtonLength));
  }
  if (l.SliderLength <= 0) return;
  const int s = state(THit::Slider);
  if (const TPngImage* frame = StateFrame(FSlider, s)) {
    TStretchedSlider& cached = FStretchedSliders[size_t(std::min(s, 2))];
    if (cached.Length != l.SliderLength) {
      cached.Image = Vertical() ? StretchThreePartVer(*frame, split.Top(), split.Bottom(), 255, clNone, l.SliderLength)
                                : StretchThreePartHor(*frame, split.Left(), split.Right(), 255, clNone, l.SliderLength);
      cached.Length = l.SliderLength;
    }
    const std::optional<TPngImage>& slider = cached.Image;
    const RECT box = span(l.SliderStart, l.SliderLength);
    (slider ? *slider : *frame).Draw(ctx.Canvas, box);
    if (const TPngImage* grip = StateFrame(FCenter, s))
      grip->Draw(ctx.Canvas, int(box.left + box.right - grip->Width()) / 2,
                 int(box.top + box.bottom - grip->Height()) / 2);
  }
}

}  // namespace quor
