#include <gtest/gtest.h>

#include "GuiHelpers.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorWindowHint.h"

namespace quor {
namespace {

TQuorWindowHint::TProps BusyProps() {
  TQuorWindowHint::TProps p;
  p.ImgForm = SkinImage(L"busy_back");
  p.ImgAni = SkinImage(L"busy_ani");
  p.NewHint = L"Scanning the registry...";
  return p;
}

TEST(WindowHint, ClosesOnlyWithTheAgreedCodeAndKeepsTheResult) {
  TQuorWindowHint busy(BusyProps());
  EXPECT_EQ(busy.BusyHandle(), nullptr);
  busy.PrepareBusy(nullptr);
  ASSERT_NE(busy.BusyHandle(), nullptr);
  int closed = 0;
  busy.OnClose = [&] { ++closed; };
  busy.ShowBusy(true, 100, false, 100);
  test::Pump();
  EXPECT_TRUE(::IsWindowVisible(busy.BusyHandle()));
  ::SendMessageW(busy.BusyHandle(), WM_CLOSE, 0, 0);  // an ordinary close is refused
  EXPECT_TRUE(::IsWindowVisible(busy.BusyHandle()));
  EXPECT_EQ(closed, 0);
  ::Sleep(80);
  test::Pump();
  EXPECT_NE(busy.CurrentFrame(), 0);  // the animation runs

  // A modal show returns once another part of the program posts the close.
  ::PostMessageW(busy.BusyHandle(), WM_CLOSE, 7, TQuorHintForm::kCloseCode);
  busy.ShowBusy(true, 0, true, 0);
  EXPECT_EQ(busy.ErrorCode(), 7u);
  EXPECT_FALSE(::IsWindowVisible(busy.BusyHandle()));
  EXPECT_GE(closed, 1);
}

// A translation can be much longer than the English text the background was drawn for.
TEST(WindowHint, ALongTextWidensTheWindowInsteadOfBeingCut) {
  const struct {
    const wchar_t* Text;
    bool Wider;
  } cases[] = {
      {L"Scanning...", false},
      {L"Softwareinformationen werden gesammelt, bitte einen Moment warten..", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text: " << c.Text);
    TQuorWindowHint::TProps props = BusyProps();
    props.NewHint = c.Text;
    TQuorWindowHint busy(props);
    busy.PrepareBusy(nullptr);
    busy.ShowBusy(true, 100, false, 100);
    test::Pump();
    RECT r{};
    ::GetWindowRect(busy.BusyHandle(), &r);
    const int backWidth = props.ImgForm.Width();
    if (c.Wider)
      EXPECT_GT(r.right - r.left, backWidth);
    else
      EXPECT_EQ(r.right - r.left, backWidth);
    ::PostMessageW(busy.BusyHandle(), WM_CLOSE, 0, TQuorHintForm::kCloseCode);
    test::Pump();
  }
}

TEST(WindowHint, PercentTextCountsFromTheMinimum) {
  struct Case {
    int min, max, value;
    const wchar_t* text;
  };
  const Case cases[] = {{0, 100, 0, L"0%"}, {0, 100, 5, L"05%"}, {0, 200, 100, L"50%"},
                        {50, 150, 100, L"50%"}, {0, 0, 3, L"0%"}};
  for (const auto& c : cases) {
    TQuorWindowHint::TProps p = BusyProps();
    p.Min = c.min;
    p.Max = c.max;
    p.Precent = c.value;
    EXPECT_EQ(TQuorWindowHint(p).PrecentText(), c.text);
  }
}

}  // namespace
}  // namespace quor
