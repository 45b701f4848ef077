#pragma once
// Scroll bar skin resource and the skinned scroll bar.

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "toolkit/QuorDirectControl.h"
#include "toolkit/QuorScrollGeometry.h"

namespace quor {

// A skin shared by several scroll bars; assigning it copies everything.
struct TQuorScrollBarRes {
  TPngImage ImgBack, ImgSlider, ImgBtnLT, ImgBtnRB, ImgCenter;
  int SliderStateCount = 3;
  TQuorPadding SliderSplit;
  int BtnoffSet = 0;
  int BtnStateCount = 3;
  int BackStateCount = 1;
  int CenterStateCount = 3;
  bool ShowButton = true;
  bool JoinButton = false;
  bool BackUseThree = false;
};

class TQuorDirectScrollBar : public TQuorDirectParentControl {
 public:
  struct TProps {
    TControlProps Control;
    TQuorScrollBarRes ScrollRes;
    int Min = 0, Max = 100, PageSize = 0, SmallChange = 1, LargeChange = 10, Position = 0;
    TQuorScrollkind kind = TQuorScrollkind::skVer;
  };
  TQuorDirectScrollBar(TQuorContainer& parent, const TProps& props);
  ~TQuorDirectScrollBar() override;

  void SetScrollRes(const TQuorScrollBarRes& res);
  int Position() const { return FProps.Position; }
  int Min() const { return FProps.Min; }
  int Max() const { return FProps.Max; }
  int PageSize() const { return FProps.PageSize; }
  void SetPosition(int position);
  void SetRange(int min, int max, int pageSize);
  TScrollLayout Layout() const { return LayoutScrollBar(Input()); }

  void DirectPaint(TPaintContext& ctx) override;
  void StatePaint(TPaintContext& ctx) override { DirectPaint(ctx); }

  std::function<void(TQuorControlBase& sender, int& scrollPos)> OnScroll;
  TNotifyEvent OnNeedRepaint;

 protected:
  void MouseDown(int x, int y) override;
  void MouseUp(int x, int y) override;
  void MouseMove(int x, int y, WPARAM keys) override;
  bool MouseWheel(int delta, int x, int y) override;
  void CaptureLost() override;

 private:
  enum class THit { None, First, Second, TrackBefore, TrackAfter, Slider };
  TScrollInput Input() const;
  bool Vertical() const { return FProps.kind == TQuorScrollkind::skVer; }
  int Along(int x, int y) const { return Vertical() ? y : x; }
  THit HitAt(int along) const;
  void Rebuild();
  void ScrollBy(int delta);
  void ApplyPosition(int position);
  void RepeatTick();
  void StopRepeat();
  UINT_PTR TimerId() const { return reinterpret_cast<UINT_PTR>(this); }

  struct TStretchedSlider {
    int Length = -1;
    std::optional<TPngImage> Image;
  };

  TProps FProps;
  std::vector<TPngImage> FFirst, FSecond, FSlider, FCenter;
  TPngImage FTrack;
  std::optional<TPngImage> FStretchedTrack;
  int FStretchedTrackLength = -1;
  std::array<TStretchedSlider, 3> FStretchedSliders;  // per state: normal, hot, pressed
  THit FActive = THit::None;
  int FGrab = 0;
  int FLastAlong = 0;
  bool FRepeating = false;
};

}  // namespace quor
