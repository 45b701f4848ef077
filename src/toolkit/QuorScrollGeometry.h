#pragma once
// Where the buttons, track and slider of a scroll bar lie along its length.
// Free of windows so that the arithmetic can be tested directly.

namespace quor {

struct TScrollInput {
  int Length = 0;        // height of a vertical bar, width of a horizontal one
  int ButtonLength = 0;  // along the bar
  int BtnoffSet = 0;
  bool ShowButton = true;
  bool JoinButton = false;
  int Min = 0, Max = 100, PageSize = 0, Position = 0;
  int ThumbSize = 17;  // the system's scroll-bar thumb size
};

struct TScrollLayout {
  int FirstButton = 0, SecondButton = 0;  // starts; both ButtonLength long
  int TrackStart = 0, TrackLength = 0;
  int SliderStart = 0, SliderLength = 0;  // length 0: no slider
};

TScrollLayout LayoutScrollBar(const TScrollInput& in);
// The position for a slider dragged so that it starts at `sliderStart`.
int ScrollPositionAt(const TScrollInput& in, const TScrollLayout& layout, int sliderStart);
// The largest position the bar can take.
int ScrollMaxPosition(const TScrollInput& in);

}  // namespace quor
