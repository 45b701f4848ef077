// The column list box in a real window, driven by window messages: what it
// shows on the surface, what it reports, and what the model tests cannot see.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GalleryListWindow.h"
#include "GuiHelpers.h"
#include "PixelFixtures.h"
#include "toolkit/QuorDirectListBox.h"
#include "toolkit/QuorDirectPanel.h"
#include "toolkit/QuorUtils.h"

namespace quor {
namespace {

using test::At;
using test::Bgra;
using test::Centre;
using test::Click;
using test::Pump;

constexpr TColor kSkin = 0xEEEEEE, kWhite = 0xFFFFFF, kHot = 0x00C000, kSel = 0xC00000;

Bgra Colour(TColor c) { return {ColorBlue(c), ColorGreen(c), ColorRed(c), 255}; }

// A highlight strip of solid frames, `height` pixels tall.
TPngImage Strip(std::initializer_list<TColor> colours, int height = 20) {
  TPngImage strip(20 * int(colours.size()), height);
  int x = 0;
  for (TColor c : colours) {
    const TPngImage frame = CreateColorImage(20, height, c, 255);
    for (int y = 0; y < height; ++y)
      for (int i = 0; i < 20; ++i) test::Set(strip, x + i, y, At(frame, i, y));
    x += 20;
  }
  return strip;
}

TQuorFormProps PlainForm() {
  TQuorFormProps p;
  p.ImgForm = CreateColorImage(300, 240, kSkin, 255);
  p.FormBtns = {};
  return p;
}

// 200 x 150 at (20, 20), no border, white, rows 20 pixels tall from the
// highlight strip: 7 rows fit.
TQuorDirectListBox::TProps PlainList() {
  TQuorDirectListBox::TProps p;
  p.Control.Name = L"list";
  p.Control.Bounds = {20, 20, 200, 150};
  p.BorderColor = clNone;
  p.Imgitem = Strip({kHot, kSel});
  p.itemsplit = {2, 0, 18, 0};
  p.VerScrollRes = SkinnedScrollRes(true);
  return p;
}

struct TListFixture {
  explicit TListFixture(const TQuorDirectListBox::TProps& props = PlainList(), int rows = 5)
      : form(host, PlainForm()), list(form.Add<TQuorDirectListBox>(props)) {
    for (int i = 0; i < rows; ++i) list.AddItem().SetCaption(L"Row " + std::to_wstring(i));
    list.OnItemClick = [this](TQuorControlBase&, TQuorLboxItem* item) { clicks.push_back(item); };
  }
  void Load() {
    form.Load();
    host.Show(SW_SHOWNOACTIVATE);
    Pump();
  }
  ~TListFixture() { Pump(); }

  HWND Window() const { return list.Handle(); }
  TQuorLboxItem& Row(int i) { return *list.GetItem(i); }
  // A point of the row in the list's own coordinates, right of any text.
  POINT InRow(int i) {
    const RECT& r = Row(i).RowRect;
    return {r.right - 6, (r.top + r.bottom) / 2};
  }
  // What the surface shows at that point.
  Bgra ShownAt(POINT local) {
    const RECT s = list.SurfaceRect();
    return At(form.Surface(), s.left + local.x, s.top + local.y);
  }
  Bgra RowShows(int i) { return ShownAt(InRow(i)); }

  test::TRecordingHost host{{.Left = 40, .Top = 40, .Width = 300, .Height = 240}};
  TQuorDirectForm form;
  TQuorDirectListBox& list;
  std::vector<TQuorLboxItem*> clicks;
};

void Key(HWND window, WPARAM key) {
  ::SendMessageW(window, WM_KEYDOWN, key, 0);
  ::SendMessageW(window, WM_KEYUP, key, 0);
}

TEST(ListBox, ASingleHighlightFrameIsTheSelectedLookAndGivesNoHotLook) {
  struct Case {
    int count;
    TPngImage strip;
    TColor hotShows;
  };
  const Case cases[] = {{2, Strip({kHot, kSel}), kHot}, {1, Strip({kSel}), kWhite}};
  for (const Case& c : cases) {
    auto props = PlainList();
    props.Imgitem = c.strip;
    props.ItemStateCount = c.count;
    TListFixture f(props);
    f.Load();
    test::Mouse(f.Window(), WM_MOUSEMOVE, f.InRow(2).x, f.InRow(2).y);
    EXPECT_EQ(f.list.HotItem(), &f.Row(2));
    EXPECT_EQ(f.RowShows(2), Colour(c.hotShows)) << c.count << " frame(s)";
    EXPECT_EQ(f.RowShows(1), Colour(kWhite));
    test::Click(f.Window(), f.InRow(2));
    EXPECT_EQ(f.RowShows(2), Colour(kSel)) << c.count << " frame(s)";
  }
}

TEST(ListBox, TheHighlightImageFixesTheRowHeight) {
  auto props = PlainList();
  props.Itemheight = 22;
  props.Imgitem = Strip({kHot, kSel}, 30);
  TListFixture f(props);
  f.Load();
  EXPECT_EQ(f.list.Itemheight(), 30);
  EXPECT_EQ(f.Row(1).RowRect.top, 30);
  test::Click(f.Window(), {100, 45});  // 45 is in the second 30-pixel row
  EXPECT_EQ(f.list.GetSelectedItem(), &f.Row(1));
  EXPECT_EQ(f.ShownAt({190, 31}), Colour(kSel));
  EXPECT_EQ(f.ShownAt({190, 59}), Colour(kSel));
  EXPECT_EQ(f.ShownAt({190, 61}), Colour(kWhite));
}

TEST(ListBox, APressOnEmptySpaceClearsTheSelectionAndReportsNoRow) {
  auto props = PlainList();
  props.MultiSelect = true;
  TListFixture f(props, 3);
  f.Load();
  test::Click(f.Window(), f.InRow(0));
  ::SendMessageW(f.Window(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL,
                 MAKELPARAM(f.InRow(2).x, f.InRow(2).y));
  ::SendMessageW(f.Window(), WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(f.InRow(2).x, f.InRow(2).y));
  ASSERT_EQ(f.list.SelectedCount(), 2);
  f.clicks.clear();
  test::Click(f.Window(), {100, 120});  // below the three rows
  EXPECT_EQ(f.list.SelectedCount(), 0);
  ASSERT_EQ(f.clicks.size(), 1u);
  EXPECT_EQ(f.clicks[0], nullptr);
  EXPECT_EQ(f.RowShows(0), Colour(kWhite));
  EXPECT_EQ(f.RowShows(2), Colour(kWhite));
}

TEST(ListBox, AHeaderClickIsReportedBeforeTheSortStateChanges) {
  auto props = PlainList();
  props.HaveHeader = true;
  TListFixture f(props);
  auto& name = f.list.AddHeadItem(std::make_unique<TQuorLbHeadItem>(L"Name", 120));
  name.Sortable = true;
  std::vector<int> seen;
  f.list.OnHeadClickEvent = [&](TQuorControlBase& sender, TQuorLbHeadItem& column, int index) {
    EXPECT_EQ(&sender, &f.list);
    EXPECT_EQ(index, 0);
    seen.push_back(column.SortState);
  };
  f.Load();
  const POINT onCell = test::Centre(name.CellRect);
  test::Click(f.Window(), onCell);
  EXPECT_EQ(name.SortState, 1);
  test::Click(f.Window(), onCell);
  EXPECT_EQ(name.SortState, 2);
  EXPECT_EQ(seen, (std::vector<int>{0, 1}));
  // Pressed on the cell, released on a row: no click.
  test::Click(f.Window(), onCell, f.InRow(1));
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(name.SortState, 2);
}

TEST(ListBox, LosingTheFocusKeepsSelectedRowsHighlighted) {
  auto props = PlainList();
  props.MultiSelect = true;
  TListFixture f(props);
  TQuorDirectPanel::TProps other;
  other.Control.Name = L"other";
  other.Control.Bounds = {230, 20, 40, 40};
  other.Control.TabStop = true;
  auto& panel = f.form.Add<TQuorDirectPanel>(other);
  f.Load();
  test::Click(f.Window(), f.InRow(1));
  Key(f.Window(), VK_DOWN);  // row 2 becomes current and the only selected row
  ::SendMessageW(f.Window(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL,
                 MAKELPARAM(f.InRow(4).x, f.InRow(4).y));
  ::SendMessageW(f.Window(), WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(f.InRow(4).x, f.InRow(4).y));
  test::Mouse(f.Window(), WM_MOUSELEAVE, 0, 0);
  ASSERT_EQ(::GetFocus(), f.Window());
  ASSERT_EQ(f.list.SelectedCount(), 2);
  panel.SetFocus();
  Pump();
  ASSERT_NE(::GetFocus(), f.Window());
  EXPECT_EQ(f.list.CurrentItem(), nullptr);
  EXPECT_EQ(f.RowShows(2), Colour(kSel));
  EXPECT_EQ(f.RowShows(4), Colour(kSel));
  EXPECT_EQ(f.RowShows(1), Colour(kWhite));
  EXPECT_EQ(f.RowShows(3), Colour(kWhite));
}

TEST(ListBox, TheVerticalBarAppearsWithMoreRowsThanFitAndScrollsTheTopRow) {
  TListFixture f(PlainList(), 7);
  f.Load();
  EXPECT_TRUE(!f.list.VerBar() || !f.list.VerBar()->Visible()) << "seven rows fit";
  f.list.AddItem().SetCaption(L"Row 7");
  f.list.AddItem().SetCaption(L"Row 8");
  TQuorDirectScrollBar* bar = f.list.VerBar();
  ASSERT_TRUE(bar && bar->Visible());
  EXPECT_EQ(bar->Bounds().Left + bar->Width(), 200);
  // The rows make room for the bar.
  EXPECT_EQ(f.Row(0).RowRect.right, 200 - 2 - bar->Width());
  // The bar's lower button scrolls one row.
  test::Click(bar->Handle(), {bar->Width() / 2, bar->Height() - 3});
  EXPECT_EQ(f.list.TopItem(), &f.Row(1));
  EXPECT_EQ(bar->Position(), 1);
  // The wheel over the list scrolls it (and goes no further than the last page).
  test::Wheel(f.Window(), {50, 50}, -WHEEL_DELTA);
  EXPECT_EQ(f.list.TopItem(), &f.Row(2));
  EXPECT_EQ(bar->Position(), 2);
  test::Wheel(f.Window(), {50, 50}, 2 * WHEEL_DELTA);
  EXPECT_EQ(f.list.TopItem(), &f.Row(0));
  // Rows deleted until all fit: the bar goes.
  f.list.DeleteItem(&f.Row(8));
  f.list.DeleteItem(&f.Row(7));
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(f.Row(0).RowRect.right, 200 - 2);
}

TEST(ListBox, ACutRowTextOrCellShowsWholeAsTheHint) {
  auto props = PlainList();
  props.HaveHeader = true;
  TListFixture f(props, 0);
  f.list.AddHeadItem(std::make_unique<TQuorLbHeadItem>(L"Name", 90));
  f.list.AddHeadItem(std::make_unique<TQuorLbHeadItem>(L"Publisher", 60));
  const std::wstring longName = L"A program name far wider than its column";
  const std::wstring longPublisher = L"A publisher wider than sixty pixels";
  f.list.AddItem().SetCaption(longName);
  f.list.GetItem(0)->AddSubItem(longPublisher);
  f.list.AddItem().SetCaption(L"Short");
  f.list.GetItem(1)->AddSubItem(L"Ok");
  f.Load();
  auto moveTo = [&](int x, int row) {
    const RECT& r = f.Row(row).RowRect;
    test::Mouse(f.Window(), WM_MOUSEMOVE, x, (r.top + r.bottom) / 2);
  };
  moveTo(40, 0);
  EXPECT_EQ(f.list.RowHint(), longName);
  moveTo(120, 0);  // in the publisher's cell
  EXPECT_EQ(f.list.RowHint(), longPublisher);
  moveTo(40, 1);
  EXPECT_EQ(f.list.RowHint(), L"") << "a text that fits shows no hint";
  moveTo(120, 0);
  test::Mouse(f.Window(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(f.list.RowHint(), L"");
}

TEST(ListBox, RedrawItemRepaintsOnlyItsRowAndPresentsOnce) {
  TListFixture f;
  f.Load();
  f.Row(1).Selected = true;  // fields: nothing redraws yet
  f.Row(3).Selected = true;
  const int before = f.form.PresentCount();
  f.list.RedrawItem(&f.Row(1));
  EXPECT_EQ(f.form.PresentCount(), before + 1);
  EXPECT_EQ(f.RowShows(1), Colour(kSel));
  EXPECT_EQ(f.RowShows(3), Colour(kWhite)) << "another row was repainted";
  // A row the list does not hold changes nothing.
  TQuorListModel elsewhere;
  f.list.RedrawItem(&elsewhere.AddItem());
  f.list.RedrawItem(nullptr);
  EXPECT_EQ(f.form.PresentCount(), before + 1);
}

TEST(ListBox, ANestedUpdateFillsInBulkAndPresentsOnce) {
  auto props = PlainList();
  props.HaveHeader = true;
  TListFixture f(props, 0);
  f.Load();
  const int before = f.form.PresentCount();
  f.list.BeginUpdate();
  f.list.AddHeadItem(std::make_unique<TQuorLbHeadItem>(L"Name", 100));
  f.list.AddHeadItem(std::make_unique<TQuorLbHeadItem>(L"Size", 60));
  {
    f.list.BeginUpdate();
    for (int i = 0; i < 100; ++i) {
      TQuorLboxItem& row = f.list.AddItem();
      row.SetCaption(L"Program " + std::to_wstring(i));
      row.AddSubItem(std::to_wstring(i) + L" MB");
    }
    f.list.EndUpdate();
  }
  EXPECT_EQ(f.form.PresentCount(), before) << "the inner end must not present";
  f.list.GetItem(0)->Selected = true;
  f.list.EndUpdate();
  EXPECT_EQ(f.form.PresentCount(), before + 1);
  EXPECT_TRUE(f.list.VerBar() && f.list.VerBar()->Visible());
  EXPECT_EQ(f.RowShows(0), Colour(kSel));
  // Header, captions and cells drawn: the list stays opaque wherever text went.
  const RECT r = f.list.SurfaceRect();
  int seeThrough = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) seeThrough += f.form.Surface().Pixel(x, y)[3] != 255;
  EXPECT_EQ(seeThrough, 0);
}

TEST(ListBox, KeysMoveTheSelectionAndScrollItIntoView) {
  auto props = PlainList();
  props.MultiSelect = true;
  TListFixture f(props, 0);
  const wchar_t* names[] = {L"Alpha", L"Bravo", L"Charlie", L"Delta",  L"Echo", L"Foxtrot",
                            L"Golf",  L"Hotel", L"India",   L"Juliet", L"Kilo", L"Lima"};
  for (const wchar_t* name : names) f.list.AddItem().SetCaption(name);
  std::vector<TQuorLboxItem*> moved;
  f.list.OnCurrentChange = [&](TQuorControlBase&, TQuorLboxItem* item) { moved.push_back(item); };
  f.Load();
  test::Click(f.Window(), f.InRow(0));
  test::Mouse(f.Window(), WM_MOUSELEAVE, 0, 0);  // no hot row in the way
  auto selected = [&] {
    std::vector<int> s;
    for (int i = 0; i < f.list.ItemCount(); ++i)
      if (f.Row(i).Selected) s.push_back(i);
    return s;
  };
  Key(f.Window(), VK_DOWN);
  Key(f.Window(), VK_DOWN);
  EXPECT_EQ(f.list.CurrentItem(), &f.Row(2));
  EXPECT_EQ(selected(), std::vector<int>{2});
  EXPECT_EQ(f.RowShows(2), Colour(kSel));
  EXPECT_EQ(f.RowShows(0), Colour(kWhite));
  Key(f.Window(), VK_END);
  EXPECT_EQ(selected(), std::vector<int>{11});
  EXPECT_EQ(f.list.TopItem(), &f.Row(5)) << "the last row is scrolled into view";
  EXPECT_EQ(f.RowShows(11), Colour(kSel));
  Key(f.Window(), VK_PRIOR);  // a page is the rows that fit less one
  EXPECT_EQ(f.list.CurrentItem(), &f.Row(5));
  Key(f.Window(), VK_HOME);
  EXPECT_EQ(f.list.TopItem(), &f.Row(0));
  ::SendMessageW(f.Window(), WM_CHAR, L'k', 0);
  EXPECT_EQ(selected(), std::vector<int>{10});
  EXPECT_EQ(f.list.TopItem(), &f.Row(4));
  EXPECT_EQ(moved.size(), 6u);
  EXPECT_EQ(moved.back(), &f.Row(10));
}

TEST(ListBox, TheContextMenuEventComesFromTheRightButtonAndTheKeyboard) {
  auto props = PlainList();
  props.SupportRightSelect = true;
  TListFixture f(props);
  struct TCall {
    POINT screen;
    TQuorLboxItem* item;
  };
  std::vector<TCall> calls;
  f.list.OnContextMenu = [&](TQuorControlBase&, POINT screen, TQuorLboxItem* item) {
    calls.push_back({screen, item});
  };
  f.Load();
  const POINT at = f.InRow(3);
  test::Mouse(f.Window(), WM_RBUTTONDOWN, at.x, at.y, MK_RBUTTON);
  EXPECT_EQ(f.list.GetSelectedItem(), &f.Row(3)) << "the right button selects";
  test::Mouse(f.Window(), WM_RBUTTONUP, at.x, at.y);
  ASSERT_EQ(calls.size(), 1u);
  POINT screen = at;
  ::ClientToScreen(f.Window(), &screen);
  EXPECT_EQ(calls[0].screen.x, screen.x);
  EXPECT_EQ(calls[0].screen.y, screen.y);
  EXPECT_EQ(calls[0].item, &f.Row(3));
  EXPECT_TRUE(f.clicks.empty()) << "a right press is no click";
  // Released over empty space: no row.
  test::Mouse(f.Window(), WM_RBUTTONUP, 100, 140);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].item, nullptr);
  // The context-menu key and Shift+F10 open it at the current row.
  test::Click(f.Window(), f.InRow(1));
  Key(f.Window(), VK_APPS);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].item, &f.Row(1));
  POINT below{0, f.Row(1).RowRect.bottom};
  ::ClientToScreen(f.Window(), &below);
  EXPECT_EQ(calls[2].screen.y, below.y);
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  ::SetKeyboardState(keys);
  ::SendMessageW(f.Window(), WM_SYSKEYDOWN, VK_F10, 0);
  keys[VK_SHIFT] = 0;
  ::SetKeyboardState(keys);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[3].item, &f.Row(1));
}

}  // namespace
}  // namespace quor

namespace quor {
namespace {

// The gallery's list as an application uses it: its header handler sorts with
// the state it sees before the click changes it, and the header scrolls sideways.
TEST(ListBoxGallery, HeaderClicksSortBothWaysAndTheHeaderScrollsSideways) {
  TGalleryListWindow window(false, 60);
  window.Show(SW_SHOWNOACTIVATE);
  Pump();
  TQuorDirectListBox& list = window.List();
  ASSERT_TRUE(list.VerBar() && list.VerBar()->Visible());
  ASSERT_TRUE(list.HorBar() && list.HorBar()->Visible()) << "the columns are wider than the list";
  TQuorLbHeadItem& publisher = *list.GetHeadItem(1);
  auto column = [&](int row) { return list.GetItem(row)->SubItem(0)->Text(); };
  auto sorted = [&](bool ascending) {
    for (int i = 1; i < list.ItemCount(); ++i) {
      const int order = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                                         column(i - 1).c_str(), -1, column(i).c_str(), -1);
      if (ascending ? order == CSTR_GREATER_THAN : order == CSTR_LESS_THAN) return false;
    }
    return true;
  };
  Click(list.Handle(), Centre(publisher.CellRect));
  EXPECT_EQ(publisher.SortState, 1);
  EXPECT_EQ(list.GetHeadItem(0)->SortState, 0);
  EXPECT_TRUE(sorted(true));
  list.VerBar()->SetPosition(5);
  ASSERT_EQ(list.TopItem(), list.GetItem(5));
  Click(list.Handle(), Centre(publisher.CellRect));
  EXPECT_EQ(publisher.SortState, 2);
  EXPECT_TRUE(sorted(false));
  EXPECT_EQ(window.StatusLabel().Caption(), L"Sorted by Publisher, descending");
  EXPECT_EQ(list.VerBar()->Position(), 0) << "sorting goes back to the top";

  const LONG left = publisher.CellRect.left;
  TQuorDirectScrollBar& bar = *list.HorBar();
  bar.SetPosition(10);
  EXPECT_EQ(publisher.CellRect.left, left - 10);
  EXPECT_EQ(list.GetItem(0)->RowRect.left, 2 - 10);
}

}  // namespace
}  // namespace quor
