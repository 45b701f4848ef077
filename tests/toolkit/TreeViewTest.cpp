// The check tree view as the leftover review uses it: real window, real
// mouse and keyboard messages, state and surface read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GalleryTreeWindow.h"
#include "GuiHelpers.h"
#include "PixelFixtures.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorUtils.h"

namespace quor {
namespace {

using test::At;
using test::Bgra;
using test::Pump;

constexpr TColor kSkin = 0xEEEEEE;

Bgra Colour(TColor c) { return {ColorBlue(c), ColorGreen(c), ColorRed(c), 255}; }

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

struct TTreeFixture {
  // With `paths`, the children's captions are paths too long for the tree.
  explicit TTreeFixture(int children = 3, int height = 200, bool paths = false)
      : form(host, PlainForm()) {
    TQuorDirectTreeView::TProps props = TGalleryTreeWindow::SkinnedTreeProps();
    props.Control.Name = L"tree";
    props.Control.Bounds = {10, 10, 280, height};
    props.HorScrollRes.reset();
    props.PathEllipsis = paths;
    tree = &form.Add<TQuorDirectTreeView>(props);
    tree->BeginUpdate();
    group = &tree->AddRoot(L"Files");
    for (int i = 0; i < children; ++i) {
      const std::wstring name = L"file " + std::to_wstring(i);
      tree->AddChild(
          *group, paths ? L"C:\\Program Files\\Contoso Notes\\a long folder name\\" + name : name);
    }
    other = &tree->AddRoot(L"Registry");
    tree->AddChild(*other, L"key");
    group->SetExpanded(true);
    tree->EndUpdate();
    tree->OnItemCheck = [this](TQuorControlBase&, TQuorDTVItem& item) { checks.push_back(item.Caption()); };
    form.Load();
    host.Show(SW_SHOWNOACTIVATE);
    Pump();
  }
  static TQuorFormProps PlainForm() {
    TQuorFormProps p;
    p.ImgForm = CreateColorImage(300, 240, kSkin, 255);
    p.FormBtns = {};
    return p;
  }
  HWND Handle() const { return tree->Handle(); }
  void Click(const RECT& r) { test::Click(Handle(), Centre(r)); }
  void Key(WPARAM vk) {
    ::SendMessageW(Handle(), WM_KEYDOWN, vk, 0);
    Pump();
  }
  TQuorDTVItem& Child(int i) { return *group->Child(i); }

  test::TRecordingHost host{{.Left = 30, .Top = 30, .Width = 300, .Height = 240}};
  TQuorDirectForm form;
  TQuorDirectTreeView* tree = nullptr;
  TQuorDTVItem* group = nullptr;
  TQuorDTVItem* other = nullptr;
  std::vector<std::wstring> checks;
};

TEST(TreeView, CheckClicksPropagateAndReportEveryRow) {
  TTreeFixture f(2);
  f.Click(f.Child(0).CheckRect);
  EXPECT_EQ(f.Child(0).CheckState(), kCheckTicked);
  EXPECT_EQ(f.group->CheckState(), kCheckPartial) << "one ticked, one clear";
  EXPECT_EQ(f.checks, (std::vector<std::wstring>{L"file 0", L"Files"}));
  // The group's box shows the partial frame (frame 2 of the six-frame strip).
  const std::vector<TPngImage> frames = CutFrames(SkinImage(L"check6"), 6);
  const RECT box = f.group->CheckRect;
  const RECT s = f.tree->SurfaceRect();
  EXPECT_EQ(At(f.form.Surface(), s.left + box.left + 8, s.top + box.top + 8), At(frames[2], 8, 8));

  f.checks.clear();
  f.Click(f.group->CheckRect);  // partial becomes ticked, and so does every child
  EXPECT_EQ(f.group->CheckState(), kCheckTicked);
  EXPECT_EQ(f.Child(1).CheckState(), kCheckTicked);
  EXPECT_EQ(f.checks, (std::vector<std::wstring>{L"Files", L"file 0", L"file 1"}));
}

TEST(TreeView, AGroupOfOneFollowsItsChild) {
  TTreeFixture f(1);
  f.Click(f.Child(0).CheckRect);
  EXPECT_EQ(f.group->CheckState(), kCheckTicked);
  f.Click(f.Child(0).CheckRect);
  EXPECT_EQ(f.group->CheckState(), kCheckClear);
}

// From outside the tree reads as its shown rows: a collapsed group's
// children are not there, each row says its tick, and a row's own text
// replaces its caption when the owner gives one.
TEST(TreeView, ItsWindowTextIsTheShownRowsWithTheirTicks) {
  TTreeFixture f(2);
  f.Click(f.Child(0).CheckRect);
  auto text = [&] {
    wchar_t buffer[512] = {};
    const int n = ::GetWindowTextW(f.Handle(), buffer, 512);
    EXPECT_EQ(n, ::GetWindowTextLengthW(f.Handle()));
    return std::wstring(buffer, size_t(n));
  };
  EXPECT_EQ(text(), L"[-] Files\r\n\t[x] file 0\r\n\t[ ] file 1\r\n[ ] Registry");
  f.tree->OnItemText = [&](const TQuorDTVItem& item) {
    return item.Level() == 0 ? item.Caption() + L" (group)" : item.Caption();
  };
  f.tree->SetExpanded(*f.group, false, false);
  f.tree->SetExpanded(*f.other, true, false);
  EXPECT_EQ(text(), L"[-] Files (group)\r\n[ ] Registry (group)\r\n\t[ ] key");
}

TEST(TreeView, AReleaseOverAnotherRowIsNoClickButAMouseUp) {
  TTreeFixture f(3);
  std::vector<std::wstring> clicks, ups;
  f.tree->OnItemClick = [&](TQuorControlBase&, TQuorDTVItem& item) { clicks.push_back(item.Caption()); };
  f.tree->OnItemMouseUp = [&](TQuorControlBase&, TQuorDTVItem& item, int, int) { ups.push_back(item.Caption()); };
  const POINT from = Centre(f.Child(0).TextRect), to = Centre(f.Child(2).TextRect);
  test::Click(f.Handle(), from, to);
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(ups, std::vector<std::wstring>{L"file 0"});
  test::Click(f.Handle(), to);
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"file 2"});
}

TEST(TreeView, AnOwnerDrawnRowStillDrawsItsChildren) {
  TTreeFixture f(2);
  f.tree->OnItemOwnerDraw = [&](TQuorBitmap&, int, TQuorDTVItem& item, bool& defaultDraw) {
    if (&item == f.group) defaultDraw = false;
  };
  f.tree->Invalidate();
  const RECT s = f.tree->SurfaceRect();
  auto anyInk = [&](const RECT& r) {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (At(f.form.Surface(), s.left + x, s.top + y) != Colour(0xFFFFFF)) return true;
    return false;
  };
  EXPECT_FALSE(anyInk(f.group->CheckRect)) << "no check box on the owner-drawn row";
  EXPECT_FALSE(anyInk(f.group->ButtonRect)) << "no expand button either";
  EXPECT_TRUE(anyInk(f.Child(0).CheckRect)) << "its children are drawn";
}

TEST(TreeView, CollapsingSoThatAllFitsHidesTheBarAndResetsTheOffset) {
  TTreeFixture f(30, 180);
  TQuorDirectScrollBar* bar = f.tree->VerScrollBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(bar->Visible());
  test::Wheel(f.Handle(), {50, 50}, -3 * WHEEL_DELTA);
  EXPECT_LT(f.tree->Model().VerOffset(), 0);
  EXPECT_GT(bar->Position(), 0);
  // Back to the top, then collapse the long group through its button.
  for (int i = 0; i < 5; ++i) test::Wheel(f.Handle(), {50, 50}, WHEEL_DELTA);
  f.Click(f.group->ButtonRect);
  EXPECT_FALSE(f.group->Expanded());
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(f.tree->Model().VerOffset(), 0);
}

TEST(TreeView, TheKeyboardMovesTheCurrentRowAndScrollsItIntoView) {
  TTreeFixture f(30, 180);
  f.tree->SetFocus();
  Pump();
  f.Key(VK_HOME);
  EXPECT_EQ(f.tree->Model().CurrentItem(), f.group);
  f.Key(VK_DOWN);
  EXPECT_EQ(f.tree->Model().CurrentItem(), &f.Child(0));
  f.Key(VK_END);
  EXPECT_EQ(f.tree->Model().CurrentItem(), f.other);
  const RECT r = f.other->RowRect;
  EXPECT_GE(r.top, 0);
  EXPECT_LE(r.bottom, f.tree->Height());
  EXPECT_LT(f.tree->Model().VerOffset(), 0);
  f.Key(VK_LEFT);  // the last root is collapsed: expand it with Right, collapse with Left
  f.Key(VK_RIGHT);
  EXPECT_TRUE(f.other->Expanded());
  f.Key(VK_LEFT);
  EXPECT_FALSE(f.other->Expanded());
}

// A path too wide for its row keeps its root and its name on screen; its hint
// tells it whole, for the row under the pointer also after a scroll has moved
// the rows beneath it.
TEST(TreeView, AHintTellsTheWholePathOfTheRowUnderThePointer) {
  TTreeFixture f(30, 180, true);
  const POINT at = Centre(f.Child(0).TextRect);
  test::Mouse(f.Handle(), WM_MOUSEMOVE, at.x, at.y);
  EXPECT_EQ(f.host.HintText(f.Handle()), f.Child(0).Caption());
  test::Wheel(f.Handle(), at, -WHEEL_DELTA);
  TQuorDTVItem* under = f.tree->Model().HitTest(at).Item;
  ASSERT_NE(under, &f.Child(0)) << "the wheel moved no row";
  ASSERT_NE(under, nullptr);
  EXPECT_EQ(f.tree->Model().HotItem(), under);
  EXPECT_EQ(f.host.HintText(f.Handle()), under->Caption());
  test::Wheel(f.Handle(), at, WHEEL_DELTA);
  EXPECT_EQ(f.host.HintText(f.Handle()), f.Child(0).Caption());
  test::Mouse(f.Handle(), WM_MOUSEMOVE, 5, 5);  // on the group row, which fits
  EXPECT_EQ(f.host.HintText(f.Handle()), L"");
}

// The right button makes the row under it current and asks for its menu
// there; the Apps key and Shift+F10 ask for the current row's, below it.
TEST(TreeView, TheContextMenuIsForTheRowUnderThePointerOrTheCurrentRow) {
  TTreeFixture f(3);
  std::vector<std::pair<TQuorDTVItem*, POINT>> asked;
  f.tree->OnContextMenu = [&](TQuorControlBase&, POINT screen, TQuorDTVItem* item) {
    ::ScreenToClient(f.Handle(), &screen);
    asked.push_back({item, screen});
  };
  const POINT at = Centre(f.Child(1).TextRect);
  test::Mouse(f.Handle(), WM_MOUSEMOVE, at.x, at.y);
  test::Mouse(f.Handle(), WM_RBUTTONDOWN, at.x, at.y, MK_RBUTTON);
  test::Mouse(f.Handle(), WM_RBUTTONUP, at.x, at.y);
  EXPECT_EQ(f.tree->Model().CurrentItem(), &f.Child(1));
  EXPECT_TRUE(f.Child(1).Selected);
  f.Key(VK_DOWN);
  f.Key(VK_APPS);
  ::SendMessageW(f.Handle(), WM_SYSKEYDOWN, VK_F10, 0);  // without Shift: no menu
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].first, &f.Child(1));
  EXPECT_EQ(asked[0].second.x, at.x);
  EXPECT_EQ(asked[0].second.y, at.y);
  EXPECT_EQ(asked[1].first, &f.Child(2));
  EXPECT_EQ(asked[1].second.y, f.Child(2).RowRect.bottom);
}

// Hovering from one row to the next repaints those two rows only and presents once.
TEST(TreeView, AHoverRepaintsTheRowsItLeavesAndEnters) {
  TTreeFixture f(3);
  const POINT first = Centre(f.Child(0).TextRect), second = Centre(f.Child(1).TextRect);
  test::Mouse(f.Handle(), WM_MOUSEMOVE, first.x, first.y);
  const int presents = f.form.PresentCount();
  const RECT s = f.tree->SurfaceRect();
  const RECT other = f.Child(2).RowRect;
  const Bgra untouched = At(f.form.Surface(), s.left + other.left + 40, s.top + other.top + 3);
  test::Mouse(f.Handle(), WM_MOUSEMOVE, second.x, second.y);
  EXPECT_EQ(f.tree->Model().HotItem(), &f.Child(1));
  EXPECT_EQ(f.form.PresentCount(), presents + 1);
  EXPECT_EQ(At(f.form.Surface(), s.left + other.left + 40, s.top + other.top + 3), untouched);
  // The hot row shows the hot look where the plain row shows white.
  const RECT hot = f.Child(1).RowRect;
  EXPECT_NE(At(f.form.Surface(), s.left + hot.right - 20, s.top + hot.top + 3), Colour(0xFFFFFF));
  EXPECT_EQ(At(f.form.Surface(), s.left + other.right - 20, s.top + other.top + 3), Colour(0xFFFFFF));
}

}  // namespace
}  // namespace quor
