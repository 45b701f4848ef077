#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "GuiHelpers.h"
#include "PixelFixtures.h"
#include "toolkit/QuorDirectScrollBar.h"
#include "toolkit/QuorUtils.h"

namespace quor {
namespace {

// Every part of the bar's skin in its own colour, so that the surface shows which parts were drawn.
constexpr TColor kTrack = 0x0000FF, kButton = 0x00FF00, kSlider = 0xFF0000, kGrip = 0x00FFFF;

TPngImage Solid(int w, int h, TColor c) { return CreateColorImage(w, h, c, 255); }

TQuorScrollBarRes ColouredSkin() {
  TQuorScrollBarRes res;
  res.ImgBtnLT = Solid(3 * 12, 12, kButton);
  res.ImgBtnRB = Solid(3 * 12, 12, kButton);
  res.ImgBack = Solid(2 * 12, 20, kTrack);
  res.BackStateCount = 2;
  res.ImgSlider = Solid(3 * 12, 40, kSlider);
  res.SliderSplit = {0, 4, 0, 36};
  res.ImgCenter = Solid(3 * 6, 6, kGrip);
  return res;
}

// A small form holding one vertical scroll bar with the coloured skin.
struct TScrollBarForm {
  explicit TScrollBarForm(TQuorDirectScrollBar::TProps props)
      : form(host, FormProps()), bar(form.Add<TQuorDirectScrollBar>(WithPlace(std::move(props)))) {
    form.Load();
    host.Show(SW_SHOWNOACTIVATE);
    test::Pump();
  }
  static TQuorFormProps FormProps() {
    TQuorFormProps props;
    props.ImgForm = Solid(120, 280, 0xEEEEEE);
    props.FormBtns = {};
    return props;
  }
  static TQuorDirectScrollBar::TProps WithPlace(TQuorDirectScrollBar::TProps props) {
    props.Control.Bounds = {20, 40, 12, 200};
    return props;
  }

  test::TRecordingHost host{{.Left = 50, .Top = 50}};
  TQuorDirectForm form;
  TQuorDirectScrollBar& bar;
};

struct TBrokenStrip {
  const char* part;
  std::function<void(TQuorScrollBarRes&)> breakIt;
  std::vector<TColor> gone;
};

TEST(ScrollBar, AStripThatDoesNotDivideIntoItsFramesDrawsNothingOfItsPart) {
  const TBrokenStrip cases[] = {
      {"track", [](TQuorScrollBarRes& r) { r.ImgBack = Solid(25, 20, kTrack); }, {kTrack}},
      {"buttons", [](TQuorScrollBarRes& r) { r.ImgBtnLT = Solid(37, 12, kButton); }, {kButton}},
      // The grip sits on the slider and goes with it.
      {"slider",
       [](TQuorScrollBarRes& r) { r.ImgSlider = Solid(37, 40, kSlider); },
       {kSlider, kGrip}},
      {"grip", [](TQuorScrollBarRes& r) { r.ImgCenter = Solid(19, 6, kGrip); }, {kGrip}},
  };
  for (const TBrokenStrip& c : cases) {
    SCOPED_TRACE(c.part);
    TQuorDirectScrollBar::TProps props;
    props.ScrollRes = ColouredSkin();
    c.breakIt(props.ScrollRes);
    props.Max = 99;
    props.PageSize = 20;
    TScrollBarForm f(std::move(props));
    auto& form = f.form;
    auto& bar = f.bar;

    auto expectParts = [&] {
      const RECT r = bar.SurfaceRect();
      for (TColor colour : {kTrack, kButton, kSlider, kGrip}) {
        const test::Bgra want{ColorBlue(colour), ColorGreen(colour), ColorRed(colour), 255};
        int pixels = 0;
        for (int y = r.top; y < r.bottom; ++y)
          for (int x = r.left; x < r.right; ++x) pixels += test::At(form.Surface(), x, y) == want;
        const bool broken = std::find(c.gone.begin(), c.gone.end(), colour) != c.gone.end();
        EXPECT_EQ(pixels > 0, !broken) << "colour " << std::hex << colour;
      }
    };
    expectParts();
    // A press on the track scrolls and repaints the bar with the broken strip.
    test::Click(bar.Handle(), {6, 180});
    EXPECT_GT(bar.Position(), 0);
    expectParts();
  }
}

// The wheel moves by SmallChange and stops at the range's ends: at Min, not
// at 0, for a range that does not start at 0.
TEST(ScrollBar, TheWheelStaysWithinTheRange) {
  TQuorDirectScrollBar::TProps props;
  props.ScrollRes = ColouredSkin();
  props.Min = 10;
  props.Max = 99;
  props.PageSize = 20;
  props.SmallChange = 5;
  props.Position = 12;
  TScrollBarForm f(std::move(props));
  auto& bar = f.bar;
  const auto wheel = [&](int delta) { test::Wheel(bar.Handle(), {6, 100}, delta); };
  wheel(-WHEEL_DELTA);
  EXPECT_EQ(bar.Position(), 17);
  wheel(WHEEL_DELTA);
  wheel(WHEEL_DELTA);
  EXPECT_EQ(bar.Position(), 10);
  for (int i = 0; i < 30; ++i) wheel(-WHEEL_DELTA);
  EXPECT_EQ(bar.Position(), 80);  // Max - PageSize + 1
}

}  // namespace
}  // namespace quor
