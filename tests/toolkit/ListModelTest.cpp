#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "toolkit/QuorListModel.h"

namespace quor {
namespace {

// 200 x 150 with a border and 20-pixel rows: 7 rows fit, rows start at y 0.
// With a header of 22 pixels (bottom 23) 6 fit and rows start at y 22.
class ListModel : public testing::Test {
 protected:
  void Build(int rows, bool multi = false, bool header = false) {
    TQuorListParams p;
    p.ItemHeight = 20;
    p.MultiSelect = multi;
    p.RubberBand = multi;
    p.HaveHeader = header;
    p.ShowCheckBox = true;
    p.CheckSize = {13, 13};
    list.SetParams(p);
    for (int i = 0; i < rows; ++i) list.AddItem().SetCaption(L"Row " + std::to_wstring(i));
    list.OnEvent = [this](const TQuorListEvent& e) {
      events.push_back(e);
      sortStatesSeen.push_back(e.Column ? e.Column->SortState : -1);
    };
  }
  TQuorLboxItem& Row(int i) { return *list.GetItem(i); }
  int Index(const TQuorLboxItem* item) { return item ? list.IndexOf(item) : -1; }
  // The centre of a row's caption area, from its current layout.
  POINT At(int i) {
    list.RowsInView();
    const RECT& r = Row(i).RowRect;
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Click(int i, TQuorModifiers keys = {}) {
    list.MouseDown(At(i), keys);
    list.MouseUp(At(i));
  }
  std::set<int> Selected() {
    std::set<int> s;
    for (int i = 0; i < list.ItemCount(); ++i)
      if (Row(i).Selected) s.insert(i);
    return s;
  }
  std::vector<int> InView() {
    std::vector<int> v;
    for (auto* item : list.RowsInView()) v.push_back(Index(item));
    return v;
  }

  TQuorListModel list;
  std::vector<TQuorListEvent> events;
  std::vector<int> sortStatesSeen;
};

TEST_F(ListModel, HiddenRowsTakeNoSpaceAndScrollingCountsOnlyVisibleRows) {
  struct Case {
    std::vector<int> hidden;
    int position;
    std::vector<int> inView;  // the rows that fit and one partly visible row
    int visibleCount;
  };
  const Case cases[] = {
      {{}, 0, {0, 1, 2, 3, 4, 5, 6, 7}, 12},
      {{1, 3}, 0, {0, 2, 4, 5, 6, 7, 8, 9}, 10},
      {{1, 3}, 2, {4, 5, 6, 7, 8, 9, 10, 11}, 10},       // the 2nd visible row is row 4
      {{0, 1, 2, 3, 4}, 0, {5, 6, 7, 8, 9, 10, 11}, 7},  // all fit: no scrolling
  };
  for (const Case& c : cases) {
    list.Clear();
    Build(12);
    for (int h : c.hidden) Row(h).SetVisible(false);
    list.SetVerPosition(c.position);
    SCOPED_TRACE(c.position);
    EXPECT_EQ(InView(), c.inView);
    EXPECT_EQ(list.VisibleCount(), c.visibleCount);
    // Each row in view sits right under the one before it.
    int y = 0;
    for (int i : c.inView) {
      EXPECT_EQ(Row(i).RowRect.top, y);
      EXPECT_EQ(list.HitTest({50, y + 5}).Item, &Row(i));
      y += 20;
    }
    const TQuorScrollRange v = list.VerScroll();
    EXPECT_EQ(v.Needed, c.visibleCount > 7);
    if (v.Needed) {
      EXPECT_EQ(v.Max, c.visibleCount - 1);
      EXPECT_EQ(v.Page, 7);
      EXPECT_EQ(v.Position, c.position);
    }
  }
}

TEST_F(ListModel, EverythingFittingPutsTheFirstRowBackOnTop) {
  Build(10);
  list.SetVerPosition(3);
  EXPECT_EQ(Index(list.TopItem()), 3);
  for (int i = 0; i < 4; ++i) Row(i).SetVisible(false);  // 6 left, 7 fit
  EXPECT_EQ(InView(), (std::vector<int>{4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(list.TopItem(), nullptr);
  EXPECT_FALSE(list.VerScroll().Needed);
}

TEST_F(ListModel, HeaderCellsSeparatorsAndHorizontalScrolling) {
  Build(3, false, true);
  for (int w : {100, 50, 80}) list.AddHeadItem(std::make_unique<TQuorLbHeadItem>(L"c", w));
  list.GetHeadItem(1)->SetVisible(false);
  list.RowsInView();
  EXPECT_EQ(list.RowsThatFit(), 6);
  EXPECT_EQ(Row(0).RowRect.top, 22);
  const RECT c0 = list.GetHeadItem(0)->CellRect, s0 = list.GetHeadItem(0)->SplitRect;
  EXPECT_EQ((std::vector<LONG>{c0.left, c0.top, c0.right, c0.bottom}),
            (std::vector<LONG>{1, 1, 101, 23}));
  EXPECT_EQ((std::vector<LONG>{s0.left, s0.right}), (std::vector<LONG>{101, 104}));
  EXPECT_EQ(list.GetHeadItem(1)->CellRect.left, -1);  // hidden
  EXPECT_EQ(list.GetHeadItem(2)->CellRect.left, 104);
  EXPECT_EQ(list.GetHeadItem(2)->CellRect.right, 184);
  EXPECT_FALSE(list.HorScroll().Needed);  // 180 of 198

  list.GetHeadItem(1)->SetVisible(true);  // 230 of 198
  const TQuorScrollRange h = list.HorScroll();
  ASSERT_TRUE(h.Needed);
  EXPECT_EQ(h.Max, 230);
  EXPECT_EQ(h.Page, 198);
  list.SetHorPosition(500);  // clamped to the last page
  EXPECT_EQ(list.HorOffset(), -32);
  list.RowsInView();
  EXPECT_EQ(list.GetHeadItem(0)->CellRect.left, -31);
  EXPECT_EQ(Row(0).RowRect.left, -30);
  // The last column reaches the header's end: no separator after it.
  EXPECT_EQ(list.GetHeadItem(2)->CellRect.right, 199);
  EXPECT_EQ(list.GetHeadItem(2)->SplitRect.left, -1);

  list.GetHeadItem(1)->SetVisible(false);  // fits again: the offset returns to 0
  list.RowsInView();
  EXPECT_EQ(list.HorOffset(), 0);
}

TEST_F(ListModel, SeparatorDragNeverGoesBelowThirtyAndIgnoresFixedColumns) {
  struct Case {
    bool resizable;
    std::vector<int> moves;  // x offsets from the press, in order
    int width;
  };
  const Case cases[] = {
      {true, {20}, 120},      {true, {-70}, 30},      {true, {-71}, 100},
      {true, {-60, -75}, 40}, {true, {-75, 10}, 110}, {false, {20}, 100},
  };
  for (const Case& c : cases) {
    list.ClearHeader();
    Build(0, false, true);
    TQuorLbHeadItem& column = list.AddHeadItem(std::make_unique<TQuorLbHeadItem>(L"a", 100));
    list.AddHeadItem(std::make_unique<TQuorLbHeadItem>(L"b", 60));
    column.Resizable = c.resizable;
    list.MouseMove({102, 10}, false);
    ASSERT_EQ(list.HotSeparator(), 0);
    list.MouseDown({102, 10}, {});
    for (int dx : c.moves) list.MouseMove({102 + dx, 10}, true);
    list.MouseUp({102 + c.moves.back(), 10});
    EXPECT_EQ(column.Width(), c.width);
    EXPECT_EQ(list.PressedSeparator(), -1);
  }
}

TEST_F(ListModel, HeaderClickIsReportedBeforeTheSortStateCycles) {
  Build(0, false, true);
  for (int i = 0; i < 3; ++i) {
    auto& c = list.AddHeadItem(std::make_unique<TQuorLbHeadItem>(L"c", 60));
    c.Sortable = i < 2;
  }
  struct Step {
    int column;
    int seen;                // SortState the handler saw
    std::vector<int> after;  // every column's SortState afterwards
  };
  const Step steps[] = {{0, 0, {1, 0, 0}},
                        {0, 1, {2, 0, 0}},
                        {0, 2, {1, 0, 0}},
                        {1, 0, {0, 1, 0}},
                        {2, 0, {0, 1, 0}}};
  for (const Step& s : steps) {
    events.clear();
    sortStatesSeen.clear();
    const POINT p{1 + s.column * 63 + 30, 10};
    list.MouseDown(p, {});
    list.MouseUp(p);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Kind, TQuorListEventKind::HeadClick);
    EXPECT_EQ(events[0].Index, s.column);
    EXPECT_EQ(sortStatesSeen[0], s.seen);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list.GetHeadItem(i)->SortState, s.after[size_t(i)]);
  }
  // Pressed on one cell, released on another: no click, nothing changes.
  events.clear();
  list.MouseDown({30, 10}, {});
  list.MouseUp({100, 10});
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(list.GetHeadItem(1)->SortState, 1);
}

TEST_F(ListModel, PressSelectionFollowsCtrlShiftAndTheTwoAnchors) {
  const TQuorModifiers none{}, ctrl{true, false}, shift{false, true};
  struct Press {
    int row;
    TQuorModifiers keys;
  };
  struct Case {
    const char* name;
    bool multi;
    std::vector<Press> presses;
    std::set<int> selected;
  };
  const Case cases[] = {
      {"single select ignores Ctrl", false, {{1, none}, {3, ctrl}}, {3}},
      {"Ctrl adds", true, {{1, none}, {3, ctrl}, {3, ctrl}}, {1, 3}},
      {"Shift selects to the first anchor", true, {{4, none}, {1, shift}}, {1, 2, 3, 4}},
      {"Shift without an anchor anchors", true, {{2, shift}, {4, shift}}, {2, 3, 4}},
      {"a third Shift press starts over", true, {{1, none}, {3, shift}, {5, shift}}, {5}},
      {"and the next one extends",
       true,
       {{1, none}, {3, shift}, {5, shift}, {2, shift}},
       {2, 3, 4, 5}},
      {"a plain press clears", true, {{3, ctrl}, {5, ctrl}, {1, none}}, {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list.Clear();
    Build(8, c.multi);
    for (const Press& p : c.presses) Click(p.row, p.keys);
    EXPECT_EQ(Selected(), c.selected);
  }
}

TEST_F(ListModel, PressOnEmptySpaceOrADisabledRowClearsTheSelection) {
  for (bool disabledRow : {false, true}) {
    list.Clear();
    Build(3, true);
    Row(2).Enabled = !disabledRow;
    Click(0);
    Click(1, {true, false});
    ASSERT_EQ(Selected(), (std::set<int>{0, 1}));
    events.clear();
    const POINT p = disabledRow ? At(2) : POINT{50, 120};
    list.MouseDown(p, {});
    EXPECT_EQ(Selected(), std::set<int>{});
    EXPECT_EQ(list.CurrentItem(), nullptr);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Kind, TQuorListEventKind::ItemClick);
    EXPECT_EQ(events[0].Item, nullptr);
  }
}

TEST_F(ListModel, ReleaseOverAnotherRowMakesThatRowCurrent) {
  for (bool multi : {false, true}) {
    list.Clear();
    Build(5, multi);
    events.clear();
    const POINT down{50, 37}, up{53, 43};  // a small move across the edge of rows 1 and 2
    list.MouseDown(down, {});
    list.MouseMove(up, true);
    list.MouseUp(up);
    EXPECT_EQ(list.CurrentItem(), &Row(2));
    EXPECT_EQ(list.PressedItem(), nullptr);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Item, &Row(2));
  }
}

// A press that never gets its release (the capture went elsewhere) must not
// leave a pressed row, cell, separator or band behind for a later release.
TEST_F(ListModel, AnEndedPressFiresNothingOnTheNextRelease) {
  Build(5, true, true);
  list.AddHeadItem(std::make_unique<TQuorLbHeadItem>(L"Name", 80)).Sortable = true;
  list.RowsInView();
  const RECT cell = list.GetHeadItem(0)->CellRect;
  const POINT onCell{cell.left + 20, (cell.top + cell.bottom) / 2};
  const POINT onSplit{list.GetHeadItem(0)->SplitRect.left + 1, onCell.y};
  for (POINT press : {At(1), onCell, onSplit}) {
    events.clear();
    list.MouseDown(press, {});
    EXPECT_TRUE(list.EndPress());
    EXPECT_EQ(list.PressedItem(), nullptr);
    EXPECT_EQ(list.PressedColumn(), -1);
    EXPECT_EQ(list.PressedSeparator(), -1);
    list.MouseMove({press.x + 40, press.y + 40}, true);
    list.MouseUp(press);
    EXPECT_TRUE(events.empty()) << "press at " << press.x << "," << press.y;
    EXPECT_FALSE(list.BandRect());
  }
  EXPECT_EQ(list.GetHeadItem(0)->SortState, 0);
  EXPECT_EQ(list.GetHeadItem(0)->Width(), 80);
  EXPECT_FALSE(list.EndPress()) << "nothing was pressed";
}

TEST_F(ListModel, RubberBandSelectsTheEnabledRowsItCrosses) {
  Build(12, true);
  Row(3).Enabled = false;
  Row(3).Selected = true;
  Row(10).Selected = true;                  // out of view: kept
  list.MouseDown({50, 25}, {true, false});  // Ctrl keeps the other rows
  list.MouseMove({55, 30}, true);           // less than 10 pixels: no band yet
  EXPECT_FALSE(list.BandRect());
  EXPECT_EQ(Selected(), (std::set<int>{1, 3, 10}));
  list.MouseMove({60, 85}, true);
  EXPECT_EQ(Selected(), (std::set<int>{1, 2, 3, 4, 10}));
  list.MouseMove({60, 45}, true);  // shrinking the band deselects
  EXPECT_EQ(Selected(), (std::set<int>{1, 2, 3, 10}));
  list.MouseMove({500, -40}, true);  // clamped to the list
  const RECT band = *list.BandRect();
  EXPECT_EQ((std::vector<LONG>{band.left, band.top, band.right, band.bottom}),
            (std::vector<LONG>{50, 0, 200, 25}));
  events.clear();
  list.MouseUp({500, -40});
  EXPECT_FALSE(list.BandRect());
  ASSERT_EQ(events.size(), 1u);  // a drag ends with a click on no row
  EXPECT_EQ(events[0].Item, nullptr);
}

TEST_F(ListModel, RubberBandStopsAtTheHeader) {
  Build(12, true, true);
  list.AddHeadItem(std::make_unique<TQuorLbHeadItem>(L"a", 150));
  list.MouseDown({50, 80}, {});
  list.MouseMove({60, -20}, true);
  EXPECT_EQ(list.BandRect()->top, 23);
}

TEST_F(ListModel, DeletingARowForgetsEveryReferenceToIt) {
  struct Case {
    const char* name;
    int victim;
  };
  // Row 5 on top, anchors 6 and 8, current 8, row 9 hot and pressed.
  const Case cases[] = {
      {"top", 5}, {"first anchor", 6}, {"second anchor and current", 8}, {"hot and pressed", 9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list.Clear();
    Build(20, true);
    list.SetVerPosition(5);
    Click(6);
    Click(8, {false, true});
    const POINT p9 = At(9);
    list.MouseDown(p9, {true, false});
    TQuorLboxItem* victim = &Row(c.victim);
    list.DeleteItem(victim);
    for (TQuorLboxItem* r : {list.HotItem(), list.TopItem(), list.SelAnchor(0), list.SelAnchor(1),
                             list.CurrentItem(), list.PressedItem()})
      EXPECT_NE(r, victim);
    for (auto* r : list.RowsInView()) EXPECT_NE(r, victim);
    // The release of a press on the deleted row clicks nothing.
    events.clear();
    list.MouseUp(p9);
    EXPECT_EQ(events.size(), c.victim == 9 ? 0u : 1u);
  }
  // Deleting a row above the top one keeps the same row on top.
  list.SetVerPosition(5);
  TQuorLboxItem* top = list.TopItem();
  list.DeleteItem(&Row(2));
  EXPECT_EQ(list.TopItem(), top);
  list.DeleteItem(nullptr);  // not in the list: ignored
  EXPECT_EQ(list.ItemCount(), 18);
}

TEST_F(ListModel, SortClearAndSelectionQueries) {
  Build(10);
  list.SetVerPosition(3);
  Row(7).Selected = Row(2).Selected = true;
  list.SortItems([](const TQuorLboxItem& a, const TQuorLboxItem& b) {
    return b.Caption().compare(a.Caption());  // descending
  });
  EXPECT_EQ(Row(0).Caption(), L"Row 9");
  EXPECT_EQ(list.TopItem(), nullptr);
  EXPECT_EQ(list.GetSelectedItem()->Caption(), L"Row 7");
  EXPECT_EQ(list.SelectedCount(), 2);
  list.Clear();
  EXPECT_EQ(list.ItemCount(), 0);
  EXPECT_EQ(list.GetSelectedItem(), nullptr);
  EXPECT_EQ(list.GetItem(0), nullptr);
}

TEST_F(ListModel, KeyboardMovesSelectsAndScrolls) {
  const TQuorModifiers none{}, shift{false, true};
  struct Key {
    int vk;
    TQuorModifiers keys;
  };
  struct Case {
    const char* name;
    int current;  // -1: none
    std::vector<Key> keys;
    int expectCurrent;
    std::set<int> selected;
    int top;  // -1: none
  };
  // 20 rows, row 3 hidden, row 4 disabled, 7 fit.
  const Case cases[] = {
      {"Down with no current row", -1, {{VK_DOWN, none}}, 0, {0}, -1},
      {"Down skips hidden and disabled", 2, {{VK_DOWN, none}}, 5, {5}, -1},
      {"Up skips them too", 5, {{VK_UP, none}}, 2, {2}, -1},
      {"End scrolls to the last page", 0, {{VK_END, none}}, 19, {19}, 13},
      {"Home", 0, {{VK_END, none}, {VK_HOME, none}}, 0, {0}, 0},
      {"Page Down", 0, {{VK_NEXT, none}}, 8, {8}, 1},
      {"Page Up", 0, {{VK_NEXT, none}, {VK_PRIOR, none}}, 0, {0}, 0},
      {"Shift extends over visible rows",
       1,
       {{VK_DOWN, shift}, {VK_DOWN, shift}},
       5,
       {1, 2, 4, 5},
       -1},
      {"and back", 1, {{VK_DOWN, shift}, {VK_DOWN, shift}, {VK_UP, shift}}, 2, {1, 2}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list.Clear();
    Build(20, true);
    Row(3).SetVisible(false);
    Row(4).Enabled = false;
    if (c.current >= 0) Click(c.current);
    for (const Key& k : c.keys) list.KeyDown(k.vk, k.keys);
    EXPECT_EQ(Index(list.CurrentItem()), c.expectCurrent);
    EXPECT_EQ(Selected(), c.selected);
    EXPECT_EQ(Index(list.TopItem()), c.top);
    EXPECT_EQ(events.back().Kind, TQuorListEventKind::CurrentChange);
  }
}

TEST_F(ListModel, SpaceTogglesTheCurrentRowsCheckBox) {
  Build(3);
  EXPECT_FALSE(list.KeyDown(VK_SPACE, {}));  // no current row
  Click(1);
  events.clear();
  EXPECT_TRUE(list.KeyDown(VK_SPACE, {}));
  EXPECT_TRUE(Row(1).Checked);
  list.KeyDown(VK_SPACE, {});
  EXPECT_FALSE(Row(1).Checked);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].Kind, TQuorListEventKind::ItemCheck);
  EXPECT_EQ(events[1].Item, &Row(1));
}

TEST_F(ListModel, TypingSelectsTheNextRowStartingWithTheLetters) {
  const wchar_t* captions[] = {L"Alpha",  L"beta",   L"Bravo", L"Charlie",
                               L"alpine", L"bridge", L"Brush"};
  struct Typed {
    wchar_t c;
    unsigned ms;
  };
  struct Case {
    const char* name;
    std::vector<Typed> typed;
    const wchar_t* current;
  };
  const Case cases[] = {
      {"first letter, any case", {{L'B', 0}}, L"beta"},
      {"letters add up", {{L'b', 0}, {L'r', 500}}, L"Bravo"},
      {"and keep going", {{L'b', 0}, {L'r', 500}, {L'u', 900}}, L"Brush"},
      {"a pause starts over", {{L'b', 0}, {L'r', 500}, {L'c', 1600}}, L"Charlie"},
      {"a letter again moves on", {{L'b', 0}, {L'b', 2000}}, L"Bravo"},
      {"a repeated letter cycles", {{L'a', 0}, {L'a', 100}, {L'a', 200}}, L"Alpha"},
      {"no match keeps the row", {{L'c', 0}, {L'z', 100}}, L"Charlie"},
      {"disabled rows are skipped", {{L'b', 0}, {L'r', 10}, {L'i', 20}}, L"Bravo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list.Clear();
    Build(0);
    for (const wchar_t* caption : captions) list.AddItem().SetCaption(caption);
    Row(5).Enabled = false;  // "bridge"
    for (const Typed& t : c.typed) list.KeyChar(t.c, t.ms);
    ASSERT_NE(list.CurrentItem(), nullptr);
    EXPECT_EQ(list.CurrentItem()->Caption(), c.current);
    EXPECT_EQ(Selected(), std::set<int>{list.IndexOf(list.CurrentItem())});
  }
}

}  // namespace
}  // namespace quor
