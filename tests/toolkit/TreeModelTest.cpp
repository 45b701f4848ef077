#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "toolkit/QuorTreeModel.h"

namespace quor {
namespace {

// 200 x 100, rows 20 high with a 2-pixel margin: row n lies at 22n .. 22n + 20
// and the content is 2 + 22 per shown row. Buttons 9 x 9, check boxes 13 x 13.
class TreeModel : public testing::Test {
 protected:
  void SetUp() override {
    TQuorTreeParams p;
    p.Height = 100;
    p.ItemHeight = 20;
    p.ItemMargin = 2;
    p.ButtonSize = {9, 9};
    p.ShowCheckBox = true;
    p.CheckSize = {13, 13};
    p.MultiSelect = true;
    tree.SetParams(p);
    tree.OnEvent = [this](const TQuorTreeEvent& e) {
      events.push_back(e);
      log.push_back(e.Item->Caption() + (e.StateChanged ? L"*" : L""));
    };
  }
  TQuorDTVItem& Add(const std::wstring& caption, const std::wstring& parent = {}) {
    TQuorDTVItem& row =
        parent.empty() ? tree.AddRoot(caption) : tree.AddChild(*rows[parent], caption);
    rows[caption] = &row;
    return row;
  }
  void ExpandAll() {
    for (auto& [name, row] : rows) tree.SetExpanded(*row, true, false);
  }
  static POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  POINT CheckOf(const std::wstring& caption) {
    tree.RowsInView();
    return Centre(rows[caption]->CheckRect);
  }
  POINT RowOf(const std::wstring& caption) {
    tree.RowsInView();
    return {150, Centre(rows[caption]->RowRect).y};
  }
  void Click(POINT p, TQuorModifiers keys = {}) {
    tree.MouseDown(p, keys);
    tree.MouseUp(p);
  }
  std::vector<std::wstring> InView() {
    std::vector<std::wstring> v;
    for (auto* row : tree.RowsInView()) v.push_back(row->Caption());
    return v;
  }
  std::set<std::wstring> Selected() {
    std::set<std::wstring> s;
    for (auto& [name, row] : rows)
      if (row->Selected) s.insert(name);
    return s;
  }

  TQuorTreeModel tree;
  std::map<std::wstring, TQuorDTVItem*> rows;
  std::vector<TQuorTreeEvent> events;
  std::vector<std::wstring> log;  // captions of the events, "*" where the state changed
};

TEST_F(TreeModel, CheckClicksPropagateToDescendantsAndParents) {
  struct Case {
    const char* name;
    std::map<std::wstring, int> before;  // R holds G, G holds a, b, c as listed
    bool grandchild;                     // a holds a1
    std::wstring clicked;
    std::map<std::wstring, int> after;
    std::vector<std::wstring> reports;
  };
  const Case cases[] = {
      {"a group of one follows its child",
       {{L"R", 2}, {L"G", 2}, {L"a", 2}},
       false,
       L"a",
       {{L"R", 0}, {L"G", 0}, {L"a", 0}},
       {L"a*", L"G*", L"R*"}},
      {"and back",
       {{L"R", 0}, {L"G", 0}, {L"a", 0}},
       false,
       L"a",
       {{L"R", 2}, {L"G", 2}, {L"a", 2}},
       {L"a*", L"G*", L"R*"}},
      {"ticked and clear make it partial",
       {{L"R", 2}, {L"G", 2}, {L"a", 2}, {L"b", 2}},
       false,
       L"a",
       {{L"R", 1}, {L"G", 1}, {L"a", 0}, {L"b", 2}},
       {L"a*", L"G*", L"R*"}},
      {"clear and partial make it partial",
       {{L"R", 0}, {L"G", 0}, {L"a", 0}, {L"b", 1}, {L"c", 2}},
       false,
       L"a",
       {{L"R", 1}, {L"G", 1}, {L"a", 2}, {L"b", 1}, {L"c", 2}},
       {L"a*", L"G*", L"R*"}},
      {"ticked and partial leave it as it was, still reported",
       {{L"R", 2}, {L"G", 2}, {L"a", 2}, {L"b", 1}},
       false,
       L"a",
       {{L"R", 2}, {L"G", 2}, {L"a", 0}, {L"b", 1}},
       {L"a*", L"G", L"R"}},
      {"all ticked make it ticked",
       {{L"R", 1}, {L"G", 1}, {L"a", 2}, {L"b", 0}},
       false,
       L"a",
       {{L"R", 0}, {L"G", 0}, {L"a", 0}, {L"b", 0}},
       {L"a*", L"G*", L"R*"}},
      {"a partial box becomes ticked",
       {{L"R", 1}, {L"G", 1}, {L"a", 0}, {L"b", 2}},
       false,
       L"G",
       {{L"R", 0}, {L"G", 0}, {L"a", 0}, {L"b", 0}},
       {L"G*", L"a", L"b*", L"R*"}},
      {"ticking a parent ticks every descendant, each reported once",
       {{L"R", 2}, {L"G", 2}, {L"a", 2}, {L"b", 2}},
       true,
       L"R",
       {{L"R", 0}, {L"G", 0}, {L"a", 0}, {L"a1", 0}, {L"b", 0}},
       {L"R*", L"G*", L"a*", L"a1*", L"b*"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tree.Clear();
    rows.clear();
    Add(L"R");
    Add(L"G", L"R");
    for (auto& [name, state] : c.before)
      if (name != L"R" && name != L"G") Add(name, L"G");
    if (c.grandchild) Add(L"a1", L"a").SetCheckState(2);
    for (auto& [name, state] : c.before) rows[name]->SetCheckState(state);
    ExpandAll();
    log.clear();
    Click(CheckOf(c.clicked));
    std::map<std::wstring, int> after;
    for (auto& [name, state] : c.after) after[name] = rows[name]->CheckState();
    EXPECT_EQ(after, c.after);
    EXPECT_EQ(log, c.reports);
  }
}

TEST_F(TreeModel, ContentHeightAndOffsetFollowExpandingAndCollapsing) {
  Add(L"A");
  for (int i = 0; i < 10; ++i) Add(L"a" + std::to_wstring(i), L"A");
  Add(L"B");
  for (int i = 0; i < 3; ++i) Add(L"b" + std::to_wstring(i), L"B");
  EXPECT_EQ(tree.ContentHeight(), 2 + 2 * 22);
  EXPECT_FALSE(tree.VerScroll().Needed);

  tree.SetExpanded(*rows[L"A"], true, false);
  const TQuorScrollRange v = tree.VerScroll();
  ASSERT_TRUE(v.Needed);
  EXPECT_EQ(v.Max, 2 + 12 * 22);
  EXPECT_EQ(v.Page, 100);
  EXPECT_EQ(rows[L"A"]->ChildrenHeight, 10 * 22);
  tree.SetVerPosition(500);  // clamped to the end
  EXPECT_EQ(tree.VerOffset(), 100 - 266);
  EXPECT_EQ(InView(), (std::vector<std::wstring>{L"a6", L"a7", L"a8", L"a9", L"B"}));
  EXPECT_EQ(rows[L"a6"]->RowRect.top, 6 * 22 + 22 - 166);

  // Collapsing a row near the end pulls the offset back to the new end.
  tree.SetExpanded(*rows[L"B"], true, false);
  tree.SetVerPosition(500);
  EXPECT_EQ(tree.VerOffset(), 100 - 332);
  events.clear();
  tree.RowsInView();
  Click(Centre(rows[L"B"]->ButtonRect));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].Kind, TQuorTreeEventKind::ItemExpand);
  EXPECT_FALSE(rows[L"B"]->Expanded());
  EXPECT_EQ(tree.VerOffset(), 100 - 266);

  // Collapsing so that everything fits resets the offset and drops the bar.
  tree.SetExpanded(*rows[L"A"], false, false);
  EXPECT_EQ(tree.VerOffset(), 0);
  EXPECT_FALSE(tree.VerScroll().Needed);

  // So does a resize that makes everything fit.
  tree.SetExpanded(*rows[L"A"], true, false);
  tree.SetVerPosition(100);
  tree.Resize(200, 300);
  EXPECT_EQ(tree.VerOffset(), 0);
}

TEST_F(TreeModel, HitTestingFindsButtonsCheckBoxesAndSkipsHiddenAndDisabledRows) {
  Add(L"A");
  Add(L"gone", L"A").SetVisible(false);
  Add(L"a", L"A");
  Add(L"off", L"A").Enabled = false;
  Add(L"B");
  tree.SetExpanded(*rows[L"A"], true, false);
  // Shown: A 0..20, a 22..42, off 44..64, B 66..86. A child starts 2 right of
  // its parent's button: root button 4..13, root check 15..28; child button 17..26.
  struct Case {
    POINT p;
    TQuorTreePart part;
    const wchar_t* row;
  };
  const Case cases[] = {
      {{8, 10}, TQuorTreePart::Button, L"A"}, {{20, 10}, TQuorTreePart::Check, L"A"},
      {{100, 10}, TQuorTreePart::Row, L"A"},  {{100, 21}, TQuorTreePart::None, nullptr},
      {{20, 32}, TQuorTreePart::Row, L"a"},  // a button's place, but no children
      {{34, 32}, TQuorTreePart::Check, L"a"}, {{100, 50}, TQuorTreePart::None, nullptr},
      {{8, 76}, TQuorTreePart::Row, L"B"},
  };
  EXPECT_EQ(tree.ShownCount(), 4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.p.y);
    const TQuorTreeHit hit = tree.HitTest(c.p);
    EXPECT_EQ(hit.Part, c.part);
    EXPECT_EQ(hit.Item, c.row ? rows[c.row] : nullptr);
  }
}

TEST_F(TreeModel, PressSelectionReachesEveryLevelAndShiftSpansRoots) {
  const TQuorModifiers none{}, ctrl{true, false}, shift{false, true};
  struct Press {
    const wchar_t* row;  // nullptr: empty space
    TQuorModifiers keys;
  };
  struct Case {
    const char* name;
    std::vector<Press> presses;
    std::set<std::wstring> selected;
  };
  const Case cases[] = {
      {"a plain press clears children too", {{L"c0", none}, {L"R3", none}}, {L"R3"}},
      {"Ctrl adds across levels", {{L"R0", none}, {L"c1", ctrl}}, {L"R0", L"c1"}},
      {"Shift selects the roots between",
       {{L"R0", none}, {L"R3", shift}},
       {L"R0", L"R1", L"R2", L"R3"}},
      {"no range from an anchor below the roots", {{L"c0", none}, {L"R3", shift}}, {L"c0", L"R3"}},
      {"empty space clears every level", {{L"R0", none}, {L"c0", ctrl}, {nullptr, none}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tree.Clear();
    rows.clear();
    tree.Resize(200, 300);
    for (int i = 0; i < 5; ++i) Add(L"R" + std::to_wstring(i));
    Add(L"c0", L"R1");
    Add(L"c1", L"R1");
    tree.SetExpanded(*rows[L"R1"], true, false);
    for (const Press& p : c.presses) Click(p.row ? RowOf(p.row) : POINT{100, 250}, p.keys);
    EXPECT_EQ(Selected(), c.selected);
  }
}

TEST_F(TreeModel, ReleaseOverAnotherRowIsNoClickButStillAMouseUp) {
  tree.SetParams([&] {
    TQuorTreeParams p = tree.Params();
    p.MultiSelect = false;
    return p;
  }());
  Add(L"A");
  Add(L"B");
  tree.MouseDown(RowOf(L"A"), {});
  tree.MouseMove(RowOf(L"B"), true);
  tree.MouseUp(RowOf(L"B"));
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].Kind, TQuorTreeEventKind::ItemMouseDown);
  EXPECT_EQ(events[1].Kind, TQuorTreeEventKind::ItemMouseUp);
  EXPECT_EQ(events[1].Item, rows[L"A"]);
  events.clear();
  Click(RowOf(L"B"));
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1].Kind, TQuorTreeEventKind::ItemClick);
  EXPECT_EQ(events[1].Item, rows[L"B"]);
}

TEST_F(TreeModel, KeyboardWalksLevelsExpandsCollapsesAndScrolls) {
  struct Case {
    const char* name;
    bool expandA, expandB;
    const wchar_t* start;
    std::vector<int> keys;
    const wchar_t* current;
    bool aExpanded;
    int offset;
  };
  // A holds a1, a2; B holds b1; then C. 100 high: four rows fit.
  const Case cases[] = {
      {"Right expands", false, false, L"A", {VK_RIGHT}, L"A", true, 0},
      {"Right again goes to the first child",
       false,
       false,
       L"A",
       {VK_RIGHT, VK_RIGHT},
       L"a1",
       true,
       0},
      {"Left goes to the parent", true, false, L"a2", {VK_LEFT}, L"A", true, 0},
      {"Left collapses", true, false, L"A", {VK_LEFT}, L"A", false, 0},
      {"Down walks into children", true, false, L"A", {VK_DOWN, VK_DOWN, VK_DOWN}, L"B", true, 0},
      {"End scrolls the last row in", true, true, L"A", {VK_END}, L"C", true, 100 - 130},
      {"Home scrolls back", true, true, L"A", {VK_END, VK_HOME}, L"A", true, 0},
      {"Page Down moves to the last whole row", true, true, L"A", {VK_NEXT}, L"B", true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tree.Clear();
    rows.clear();
    Add(L"A");
    Add(L"a1", L"A");
    Add(L"a2", L"A");
    Add(L"B");
    Add(L"b1", L"B");
    Add(L"C");
    tree.SetExpanded(*rows[L"A"], c.expandA, false);
    tree.SetExpanded(*rows[L"B"], c.expandB, false);
    Click(RowOf(c.start));
    for (int vk : c.keys) tree.KeyDown(vk, {});
    ASSERT_NE(tree.CurrentItem(), nullptr);
    EXPECT_EQ(tree.CurrentItem()->Caption(), c.current);
    EXPECT_EQ(Selected(), std::set<std::wstring>{c.current});
    EXPECT_EQ(rows[L"A"]->Expanded(), c.aExpanded);
    EXPECT_EQ(tree.VerOffset(), c.offset);
  }
}

TEST_F(TreeModel, SpaceShiftAndTypingActOnTheCurrentRow) {
  Add(L"Apps");
  Add(L"apple", L"Apps");
  Add(L"Bin");
  Add(L"berry", L"Bin");
  ExpandAll();
  Click(RowOf(L"Apps"));
  log.clear();
  tree.KeyDown(VK_SPACE, {});
  EXPECT_EQ(log, (std::vector<std::wstring>{L"Apps*", L"apple*"}));

  tree.KeyDown(VK_DOWN, {false, true});
  tree.KeyDown(VK_DOWN, {false, true});
  EXPECT_EQ(Selected(), (std::set<std::wstring>{L"Apps", L"apple", L"Bin"}));

  tree.KeyChar(L'b', 0);
  EXPECT_EQ(tree.CurrentItem()->Caption(), L"berry");  // the next row starting with b
  tree.KeyChar(L'i', 2000);
  EXPECT_EQ(tree.CurrentItem()->Caption(), L"berry");  // nothing starts with "i"
  tree.KeyChar(L'b', 3500);
  EXPECT_EQ(tree.CurrentItem()->Caption(), L"Bin");  // round from the end
  tree.KeyChar(L'e', 3600);
  EXPECT_EQ(tree.CurrentItem()->Caption(), L"berry");  // the prefix "be"
}

}  // namespace
}  // namespace quor
