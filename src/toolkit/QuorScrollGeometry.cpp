#include "toolkit/QuorScrollGeometry.h"

#include <algorithm>
#include <cmath>

namespace quor {
namespace {

int Rnd(double x) { return int(std::nearbyint(x)); }

int Range(const TScrollInput& in) {
  return in.Max - in.Min - in.PageSize + (in.PageSize != 0 ? 1 : 0);
}

}  // namespace

int ScrollMaxPosition(const TScrollInput& in) {
  return std::max(in.Min, in.Max - in.PageSize + (in.PageSize != 0 ? 1 : 0));
}

TScrollLayout LayoutScrollBar(const TScrollInput& in) {
  TScrollLayout out;
  const int b = in.ButtonLength;
  out.FirstButton = in.JoinButton ? in.Length - 2 * b : 0;
  out.SecondButton = in.Length - b;
  out.TrackStart = 0;
  int end = in.Length;
  if (in.ShowButton) {
    out.TrackStart += b - in.BtnoffSet;
    end -= b - in.BtnoffSet;
  }
  if (in.JoinButton) end -= 2 * b;
  out.TrackLength = std::max(0, end - out.TrackStart);

  int slider;
  if (in.PageSize <= 0) {
    slider = in.ThumbSize;
  } else {
    const int span = in.Max - in.Min + 1;
    slider = span > 0 ? Rnd(double(in.PageSize) * out.TrackLength / span) : out.TrackLength;
    slider = std::max(slider, 3 * in.ThumbSize / 2);
  }
  if (slider >= out.TrackLength) {
    out.SliderLength = 0;
    out.SliderStart = out.TrackStart;
    return out;
  }
  out.SliderLength = slider;
  const int r = Range(in);
  const int f = out.TrackLength - slider;
  if (r < 1) out.SliderStart = out.TrackStart;
  else if (in.Position > in.Max - in.PageSize + 1) out.SliderStart = out.TrackStart + f;
  else out.SliderStart = out.TrackStart + Rnd(double(in.Position - in.Min) * f / r);
  return out;
}

int ScrollPositionAt(const TScrollInput& in, const TScrollLayout& layout, int sliderStart) {
  const int f = layout.TrackLength - layout.SliderLength;
  const int r = Range(in);
  if (f <= 0 || r < 1) return in.Min;
  const int start = std::clamp(sliderStart, layout.TrackStart, layout.TrackStart + f);
  const int pos = Rnd(double(start - layout.TrackStart) * r / f + in.Min);
  return std::clamp(pos, in.Min, ScrollMaxPosition(in));
}

}  // namespace quor
