#include <gtest/gtest.h>

#include "GalleryWindow.h"
#include "GuiHelpers.h"
#include "PixelFixtures.h"

namespace quor {
namespace {

using test::At;
using test::Bgra;
using test::Centre;
using test::Click;
using test::Pump;

class GalleryGui : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<TGalleryWindow>(false);
    window->Show(SW_SHOWNOACTIVATE);
    Pump();
  }
  void TearDown() override {
    window.reset();
    Pump();
  }
  TQuorDirectForm& Form() { return window->Form(); }
  HWND FrameHandle() { return Form().Handle(); }

  std::unique_ptr<TGalleryWindow> window;
};

TEST_F(GalleryGui, TextIsOpaqueInkAndTheShadowMarginTransparent) {
  const TQuorBitmap& s = Form().Surface();
  ASSERT_EQ(s.Width(), 805);
  EXPECT_EQ(At(s, 0, 0)[3], 0);
  EXPECT_LT(At(s, 2, 200)[3], 60);
  EXPECT_EQ(At(s, 20, 200)[3], 255);
  const RECT r = window->Control<TQuorDirectLabel>(L"lblTitle").SurfaceRect();
  int ink = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const Bgra p = At(s, x, y);
      EXPECT_EQ(p[3], 255);
      if (p[0] < 0x80 && p[1] < 0x80) ++ink;
    }
  EXPECT_GT(ink, 50);
}

TEST_F(GalleryGui, HoverAndPressChangeTheButtonFrame) {
  auto& button = window->Control<TQuorDirectButton>(L"btnUninstall");
  int clicks = 0;
  button.OnClick = [&](TQuorControlBase&) { ++clicks; };
  const RECT r = button.SurfaceRect();
  const POINT probe{r.left + 8, r.top + 4};
  const TQuorBitmap& s = Form().Surface();
  const Bgra normal = At(s, probe.x, probe.y);
  const POINT c = Centre(r);

  test::Mouse(FrameHandle(), WM_MOUSEMOVE, c.x, c.y);
  EXPECT_EQ(button.FrameIndex(), 1);
  const Bgra over = At(s, probe.x, probe.y);
  EXPECT_NE(over, normal);
  test::Mouse(FrameHandle(), WM_LBUTTONDOWN, c.x, c.y, MK_LBUTTON);
  EXPECT_EQ(button.FrameIndex(), 2);
  EXPECT_NE(At(s, probe.x, probe.y), over);

  // Released outside: no click, and the normal look comes back.
  test::Mouse(FrameHandle(), WM_MOUSEMOVE, 700, 400, MK_LBUTTON);
  test::Mouse(FrameHandle(), WM_LBUTTONUP, 700, 400);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(button.FrameIndex(), 0);
  EXPECT_EQ(At(s, probe.x, probe.y), normal);

  Click(FrameHandle(), c);
  EXPECT_EQ(clicks, 1);
}

TEST_F(GalleryGui, DisablingGreysInsideTheMarginOnly) {
  TQuorBitmap before;
  before.CopyFrom(Form().Surface());
  const RECT r = window->Control<TQuorDirectButton>(L"btnUninstall").SurfaceRect();
  const Bgra accent = At(before, r.left + 20, r.top + 4);
  ASSERT_NE(accent[0], accent[2]);  // coloured
  Form().SetEnabled(false);
  const TQuorBitmap& s = Form().Surface();
  const Bgra grey = At(s, r.left + 20, r.top + 4);
  EXPECT_EQ(grey[0], grey[1]);
  EXPECT_EQ(grey[1], grey[2]);
  for (int y = 0; y < s.Height(); y += 7)
    for (int x : {0, 3, 7, s.Width() - 8, s.Width() - 1}) EXPECT_EQ(At(s, x, y), At(before, x, y));
  Form().SetEnabled(true);
  EXPECT_EQ(At(s, r.left + 20, r.top + 4), accent);
}

TEST_F(GalleryGui, MaximiseFillsTheWorkAreaAndRestoreReturns) {
  const RECT before = window->WindowRect();
  TWDFButton* max = Form().CaptionButton(L"BtnMax");
  ASSERT_TRUE(max && max->Visible());
  Click(FrameHandle(), Centre(max->SurfaceRect()));
  ASSERT_EQ(Form().FormState(), TQuorFormState::QsMax);
  const RECT wa = test::WorkAreaOf(window->Handle());
  const RECT now = window->WindowRect();
  EXPECT_EQ(now.left, wa.left - 8);
  EXPECT_EQ(now.top, wa.top - 8);
  EXPECT_EQ(now.right, wa.right + 8);
  EXPECT_EQ(now.bottom, wa.bottom + 8);
  EXPECT_EQ(Form().Surface().Width(), now.right - now.left);
  // The close button sits in the new top-right corner.
  EXPECT_GT(Form().CaptionButton(L"BtnClose")->Bounds().Left, 805);
  TWDFButton* restore = Form().CaptionButton(L"BtnRestore");
  ASSERT_TRUE(restore->Visible());
  EXPECT_FALSE(max->Visible());

  Click(FrameHandle(), Centre(restore->SurfaceRect()));
  EXPECT_EQ(Form().FormState(), TQuorFormState::QsNormal);
  const RECT after = window->WindowRect();
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.right - after.left, 805);
}

TEST_F(GalleryGui, ATabGroupKeepsExactlyOneSelected) {
  int selects = 0;
  for (const wchar_t* name : {L"btnTab0", L"btnTab1", L"btnTab2"})
    window->Control<TQuorDirectButton>(name).OnSelect = [&](TQuorControlBase&) { ++selects; };
  auto selected = [&] {
    int n = 0;
    for (const wchar_t* name : {L"btnTab0", L"btnTab1", L"btnTab2"})
      n += window->Control<TQuorDirectButton>(name).BtnStatus() == TQuorBtnStatus::bsSelect;
    return n;
  };
  EXPECT_EQ(selected(), 1);
  auto& third = window->Control<TQuorDirectButton>(L"btnTab2");
  Click(FrameHandle(), Centre(third.SurfaceRect()));
  EXPECT_EQ(third.BtnStatus(), TQuorBtnStatus::bsSelect);
  EXPECT_EQ(selected(), 1);
  Click(FrameHandle(), Centre(third.SurfaceRect()));
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(selected(), 1);
}

TEST_F(GalleryGui, ALabelShowsItsCutCaptionAsHintAndRestoresItsOwn) {
  auto& label = window->Control<TQuorDirectLabel>(L"lblCut");
  EXPECT_TRUE(label.CaptionCut());
  EXPECT_EQ(label.Hint(), label.Caption());
  EXPECT_TRUE(label.ShowHint());
  label.SetCaption(L"Short");
  EXPECT_FALSE(label.CaptionCut());
  EXPECT_EQ(label.Hint(), L"own hint");
  EXPECT_FALSE(label.ShowHint());
}

TEST_F(GalleryGui, TheFocusedStandardButtonClicksOnEnter) {
  auto& ok = window->Control<TQuorDirectStdButton>(L"btnOk");
  ::SetForegroundWindow(window->Handle());
  ok.SetFocus();
  Pump();
  ASSERT_TRUE(ok.Focused());
  EXPECT_EQ(ok.FrameIndex(), 4);
  ::SendMessageW(ok.Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(window->Clicks(), 1);
  EXPECT_EQ(window->StatusLabel().Caption(), L"OK clicked 1 time(s)");
  // A mouse click on it fires once, on release inside.
  Click(ok.Handle(), {10, 10});
  EXPECT_EQ(window->Clicks(), 2);
}

TEST_F(GalleryGui, TypingIntoANumberBoxKeepsDigitsAndDots) {
  auto& box = window->Control<TQuorDirectEdit>(L"edtNumber");
  int changes = 0;
  box.OnChange = [&](TQuorControlBase&) { ++changes; };
  for (wchar_t c : std::wstring(L"a.7z")) ::SendMessageW(box.Handle(), WM_CHAR, c, 0);
  EXPECT_EQ(box.Text(), L"42.7");
  EXPECT_EQ(changes, 2);
  ::SendMessageW(box.Handle(), WM_CHAR, 26, 0);  // Ctrl+Z
  EXPECT_EQ(box.Text(), L"42.");
}

TEST_F(GalleryGui, ScrollBarButtonsAndTrackMoveThePosition) {
  auto& bar = window->Control<TQuorDirectScrollBar>(L"sbVertical");
  std::vector<int> reported;
  bar.OnScroll = [&](TQuorControlBase&, int& pos) { reported.push_back(pos); };
  ASSERT_EQ(bar.Position(), 10);
  Click(bar.Handle(), {6, 4});  // the up button: SmallChange 1
  EXPECT_EQ(bar.Position(), 9);
  const TScrollLayout l = bar.Layout();
  Click(bar.Handle(), {6, l.SliderStart + l.SliderLength + 5});  // the track below: LargeChange 10
  EXPECT_EQ(bar.Position(), 19);
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.back(), 19);  // the release reports the final position
  test::Wheel(bar.Handle(), {6, 100}, -WHEEL_DELTA);
  EXPECT_EQ(bar.Position(), 20);
}

}  // namespace
}  // namespace quor
