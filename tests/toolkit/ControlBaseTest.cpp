// The control base as a form uses it: painting within parents, nested
// updates, input routing, tab order, the message loop and window creation.
#include <gtest/gtest.h>

#include <system_error>
#include <vector>

#include "GuiHelpers.h"
#include "PixelFixtures.h"
#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorDirectPanel.h"
#include "toolkit/QuorDirectScrollBar.h"
#include "toolkit/QuorMessageLoop.h"
#include "toolkit/QuorUtils.h"

namespace quor {
namespace {

using test::At;
using test::Bgra;
using test::Pump;

constexpr TColor kSkin = 0xEEEEEE, kOuter = 0x0000FF, kInner = 0xFF0000;

TPngImage Solid(int w, int h, TColor c) { return CreateColorImage(w, h, c, 255); }
Bgra Colour(TColor c) { return {ColorBlue(c), ColorGreen(c), ColorRed(c), 255}; }

TQuorFormProps PlainForm() {
  TQuorFormProps p;
  p.ImgForm = Solid(300, 220, kSkin);
  p.FormBtns = {};
  return p;
}

TQuorDirectPanel::TProps PanelAt(const wchar_t* name, TBounds bounds, TColor colour, bool tabStop = false,
                                 int tabOrder = -1) {
  return {.Control = {.Name = name, .Bounds = bounds, .TabStop = tabStop, .TabOrder = tabOrder},
          .Color = colour};
}

// A panel that records the wheel and the mouse buttons it gets.
class TRecordingPanel : public TQuorDirectPanel {
 public:
  using TQuorDirectPanel::TQuorDirectPanel;
  bool MouseWheel(int delta, int, int) override {
    Wheel.push_back(delta);
    return true;
  }
  void ButtonDown(TMouseButton b, int x, int y) override { Buttons.push_back({b, true, x, y}); }
  void ButtonUp(TMouseButton b, int x, int y) override { Buttons.push_back({b, false, x, y}); }

  struct TPress {
    TMouseButton Button;
    bool Down;
    int X, Y;
    bool operator==(const TPress&) const = default;
  };
  std::vector<int> Wheel;
  std::vector<TPress> Buttons;
};

// A windowless label that records its buttons and passes the wheel on.
class TRecordingLabel : public TQuorDirectLabel {
 public:
  using TQuorDirectLabel::TQuorDirectLabel;
  void ButtonDown(TMouseButton b, int x, int y) override { Buttons.push_back({b, true, x, y}); }
  void ButtonUp(TMouseButton b, int x, int y) override { Buttons.push_back({b, false, x, y}); }
  std::vector<TRecordingPanel::TPress> Buttons;
};

struct TFormFixture {
  TFormFixture() : form(host, PlainForm()) {}
  void Load() {
    form.Load();
    host.Show(SW_SHOWNOACTIVATE);
    Pump();
  }
  ~TFormFixture() { Pump(); }

  test::TRecordingHost host{{.Left = 40, .Top = 40, .Width = 300, .Height = 220}};
  TQuorDirectForm form;
};

TEST(ControlPaint, AChildDrawsOnlyWithinItsParent) {
  TFormFixture f;
  auto& outer = f.form.Add<TQuorDirectPanel>(PanelAt(L"outer", {20, 30, 100, 60}, kOuter));
  // Sticks out of its parent to the right and below.
  outer.Add<TQuorDirectPanel>(PanelAt(L"inner", {60, 40, 100, 60}, kInner));
  f.Load();
  const TQuorBitmap& s = f.form.Surface();
  EXPECT_EQ(At(s, 25, 35), Colour(kOuter));
  EXPECT_EQ(At(s, 100, 80), Colour(kInner));   // inside both
  EXPECT_EQ(At(s, 150, 80), Colour(kSkin));    // right of the parent, inside the child
  EXPECT_EQ(At(s, 100, 110), Colour(kSkin));   // below the parent, inside the child
  // A repaint of the child alone keeps to the same limits.
  f.form.RedrawControl(*outer.FindChild(L"inner"));
  EXPECT_EQ(At(s, 150, 80), Colour(kSkin));
  EXPECT_EQ(At(s, 100, 80), Colour(kInner));
}

TEST(ControlPaint, NestedUpdatesPresentOnceAtTheOutermostEnd) {
  TFormFixture f;
  auto& a = f.form.Add<TQuorDirectPanel>(PanelAt(L"a", {10, 10, 40, 40}, kOuter));
  auto& b = f.form.Add<TQuorDirectPanel>(PanelAt(L"b", {60, 10, 40, 40}, kOuter));
  f.Load();
  const int before = f.form.PresentCount();
  {
    TQuorDirectForm::TUpdateGuard outerUpdate(f.form);
    for (int i = 0; i < 20; ++i) a.SetColor(i % 2 ? kInner : kSkin);
    {
      TQuorDirectForm::TUpdateGuard innerUpdate(f.form);
      b.SetColor(kInner);
    }
    EXPECT_EQ(f.form.PresentCount(), before) << "the inner end must not present";
    a.SetColor(kInner);
  }
  EXPECT_EQ(f.form.PresentCount(), before + 1);
  EXPECT_EQ(At(f.form.Surface(), 70, 20), Colour(kInner));
  // An update in which nothing changed presents nothing.
  { TQuorDirectForm::TUpdateGuard idle(f.form); }
  EXPECT_EQ(f.form.PresentCount(), before + 1);
}

TEST(ControlInput, TheWheelGoesToTheControlUnderTheCursorThenItsParent) {
  TFormFixture f;
  auto& panel = f.form.Add<TRecordingPanel>(PanelAt(L"panel", {20, 20, 200, 150}, kOuter));
  panel.Add<TQuorDirectLabel>({.Control = {.Name = L"label", .Bounds = {10, 10, 60, 20}}});
  panel.Add<TQuorDirectScrollBar>(
      {.Control = {.Name = L"bar", .Bounds = {150, 10, 12, 120}}, .Max = 50});
  f.Load();
  auto& scroll = static_cast<TQuorDirectScrollBar&>(*panel.FindChild(L"bar"));
  const HWND frame = f.form.Handle();
  // The message goes where the system sends it, to the focus window (the frame here).
  test::Wheel(frame, {20 + 20, 20 + 15}, -WHEEL_DELTA);  // over the label: it passes the wheel up
  EXPECT_EQ(panel.Wheel, std::vector<int>{-WHEEL_DELTA});
  test::Wheel(frame, {20 + 155, 20 + 60}, -WHEEL_DELTA);  // over the bar: the bar scrolls
  EXPECT_EQ(scroll.Position(), 1);
  EXPECT_EQ(panel.Wheel.size(), 1u);
  test::Wheel(frame, {250, 200}, -WHEEL_DELTA);  // over no control: nobody
  EXPECT_EQ(panel.Wheel.size(), 1u);
}

TEST(ControlInput, RightMiddleAndExtraButtonsReachTheControlUnderTheMouse) {
  TFormFixture f;
  auto& panel = f.form.Add<TRecordingPanel>(PanelAt(L"panel", {20, 20, 100, 80}, kOuter));
  auto& label =
      f.form.Add<TRecordingLabel>({.Control = {.Name = L"label", .Bounds = {150, 20, 60, 20}}});
  f.Load();
  using P = TRecordingPanel::TPress;
  test::Mouse(panel.Handle(), WM_RBUTTONDOWN, 5, 6, MK_RBUTTON);
  test::Mouse(panel.Handle(), WM_RBUTTONUP, 7, 8);
  ::SendMessageW(panel.Handle(), WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON2), MAKELPARAM(1, 2));
  EXPECT_EQ(panel.Buttons, (std::vector<P>{{TMouseButton::Right, true, 5, 6},
                                           {TMouseButton::Right, false, 7, 8},
                                           {TMouseButton::X2, true, 1, 2}}));
  // A windowless control gets them through the frame, in its own coordinates.
  test::Mouse(f.form.Handle(), WM_MBUTTONDOWN, 155, 25, MK_MBUTTON);
  test::Mouse(f.form.Handle(), WM_RBUTTONUP, 160, 30);
  EXPECT_EQ(label.Buttons, (std::vector<P>{{TMouseButton::Middle, true, 5, 5},
                                           {TMouseButton::Right, false, 10, 10}}));
}

// A scroll bar held down repeats until the button goes up; when another
// window takes the mouse meanwhile, the repeating stops there.
TEST(ControlInput, ALostCaptureStopsTheScrollBarRepeating) {
  TFormFixture f;
  TQuorDirectScrollBar::TProps props{.Control = {.Name = L"bar", .Bounds = {20, 20, 12, 150}},
                                     .Max = 1000};
  props.ScrollRes.ImgBtnLT = Solid(36, 12, kOuter);
  props.ScrollRes.ImgBtnRB = Solid(36, 12, kOuter);
  auto& bar = f.form.Add<TQuorDirectScrollBar>(props);
  f.Load();
  const POINT down{6, 150 - 6};  // the second button
  test::Mouse(bar.Handle(), WM_LBUTTONDOWN, down.x, down.y, MK_LBUTTON);
  ASSERT_EQ(bar.Position(), 1);
  ::SetCapture(f.host.Handle());
  const DWORD wait = DWORD(KeyRepeatDelay() + 4 * KeyRepeatInterval() + 100);
  for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < wait;) Pump();
  ::ReleaseCapture();
  EXPECT_EQ(bar.Position(), 1);
  EXPECT_FALSE(bar.Pressed());
}

TEST(ControlFocus, TabAndShiftTabFollowTheTabOrderAndShowTheMark) {
  TFormFixture f;
  auto& first = f.form.Add<TQuorDirectPanel>(PanelAt(L"first", {10, 10, 40, 30}, kOuter, true, 2));
  auto& group = f.form.Add<TQuorDirectPanel>(PanelAt(L"group", {60, 10, 150, 100}, kSkin, false, 0));
  auto& nested = group.Add<TQuorDirectPanel>(PanelAt(L"nested", {10, 10, 40, 30}, kOuter, true));
  auto& second = f.form.Add<TQuorDirectPanel>(PanelAt(L"second", {10, 50, 40, 30}, kOuter, true, 1));
  f.form.Add<TQuorDirectPanel>(PanelAt(L"notab", {10, 90, 40, 30}, kOuter, false));
  auto& hidden = f.form.Add<TQuorDirectPanel>(PanelAt(L"hidden", {10, 130, 40, 30}, kOuter, true));
  hidden.SetVisible(false);
  f.Load();
  ::SetForegroundWindow(f.host.Handle());
  nested.SetFocus();
  Pump();
  ASSERT_TRUE(nested.Focused());
  EXPECT_EQ(At(f.form.Surface(), 71, 21), Colour(kOuter)) << "no mark before the keyboard is used";

  auto tab = [&](bool shift) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::SendMessageW(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    Pump();
    return ::GetFocus();
  };
  // Order: group (0) with nested inside, second (1), first (2); notab and hidden never.
  EXPECT_EQ(tab(false), second.Handle());
  EXPECT_EQ(tab(false), first.Handle());
  EXPECT_EQ(tab(false), nested.Handle());  // wraps
  EXPECT_EQ(tab(true), first.Handle());
  EXPECT_EQ(tab(true), second.Handle());
  // The focused control shows the dotted mark now: its corner dot is inverted.
  EXPECT_EQ(At(f.form.Surface(), 11, 51), Colour(0xFFFFFF - kOuter));
  EXPECT_EQ(At(f.form.Surface(), 11, 11), Colour(kOuter)) << "only the focused control";
}

TEST(MessageLoop, ShowModalHandsAQuitOnToTheOuterLoop) {
  THostWindow dialog({.Left = 10, .Top = 10, .Width = 50, .Height = 50});
  dialog.Create();
  dialog.SetTimer(1, 20, [] { ::PostQuitMessage(7); });
  dialog.ShowModal();
  MSG msg{};
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

// Keys go to the focused control: after a modal window that never took
// activation, the owner's control must have the focus again.
TEST(MessageLoop, ShowModalGivesTheOwnersFocusBack) {
  THostWindow owner({.Left = 10, .Top = 10, .Width = 200, .Height = 100});
  owner.Create();
  owner.Show(SW_SHOW);
  ::SetForegroundWindow(owner.Handle());
  HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 5, 5, 100, 20,
                                owner.Handle(), nullptr, nullptr, nullptr);
  ::SetFocus(edit);
  ASSERT_EQ(::GetFocus(), edit);
  for (DWORD exStyle : {DWORD(WS_EX_NOACTIVATE), DWORD(0)}) {
    SCOPED_TRACE(exStyle ? "a window that takes no activation" : "an ordinary window");
    THostWindow dialog(
        {.Left = 20, .Top = 20, .Width = 50, .Height = 50, .Owner = owner.Handle(), .ExStyle = exStyle});
    dialog.Create();
    dialog.SetTimer(1, 20, [&] { dialog.SetModalResult(1); });
    dialog.ShowModal();
    test::Pump();
    EXPECT_EQ(::GetFocus(), edit);
  }
}

TEST(MessageLoop, FiltersSeeMessagesFirstAndCanConsumeThem) {
  THostWindow window({.Left = 10, .Top = 10, .Width = 50, .Height = 50});
  window.Create();
  int ticks = 0, seen = 0;
  window.SetTimer(1, 1, [&] { ++ticks; });
  {
    auto token = TMessageLoop::AddFilter([&](MSG& msg) {
      if (msg.message != WM_TIMER) return false;
      ++seen;
      return true;
    });
    for (DWORD start = ::GetTickCount(); seen == 0 && ::GetTickCount() - start < 2000;)
      TMessageLoop::ProcessPending();
    EXPECT_GT(seen, 0);
    EXPECT_EQ(ticks, 0);
  }
  // Without the filter the timer reaches the window again.
  for (DWORD start = ::GetTickCount(); ticks == 0 && ::GetTickCount() - start < 2000;)
    TMessageLoop::ProcessPending();
  EXPECT_GT(ticks, 0);
}

TEST(WindowCreation, AWindowTheSystemRefusesIsReported) {
  test::TRecordingHost host{{.Owner = reinterpret_cast<HWND>(0x4321)}};
  TQuorDirectForm form(host, PlainForm());
  form.Add<TQuorDirectPanel>(PanelAt(L"panel", {10, 10, 40, 30}, kOuter));
  EXPECT_THROW(form.Load(), std::system_error);
  EXPECT_FALSE(form.Loaded());
  EXPECT_EQ(host.Handle(), nullptr);
}

}  // namespace
}  // namespace quor
