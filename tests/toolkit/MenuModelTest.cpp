#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/QuorMenuModel.h"

namespace quor {
namespace {

// Texts 7 pixels per character, 14 high; separators 4 high; arrows 8 wide.
class MenuFixture : public ::testing::Test {
 protected:
  MenuFixture() {
    menu.Metrics.LineHeight = 4;
    menu.Metrics.SubArrowWidth = 8;
    menu.Measure.TextSize = [](const std::wstring& text, TMenuFontState) {
      return SIZE{LONG(7 * text.size()), 14};
    };
    menu.WorkArea = {0, 0, 800, 600};
  }

  TQuorMenuItem& Add(const std::wstring& caption, TQuorMenuItem* parent = nullptr) {
    auto item = std::make_unique<TQuorMenuItem>(caption, caption);
    item->OnClick = [this](TQuorMenuItem& i) { clicked.push_back(i.Caption); };
    return parent ? parent->AddChild(std::move(item)) : menu.AddMenuItem(std::move(item));
  }
  void AddMany(int count, TQuorMenuItem* parent = nullptr) {
    for (int i = 0; i < count; ++i) Add(L"Item" + std::to_wstring(i), parent);
  }
  static POINT Centre(const TQuorMenuItem& item) {
    return {(item.ItemRect.left + item.ItemRect.right) / 2,
            (item.ItemRect.top + item.ItemRect.bottom) / 2};
  }
  static POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  TMenuResult Key(UINT vk) { return menu.KeyDown(vk, false, false, false); }
  // Runs what the window would do with a result's Fire.
  void Fire(const TMenuResult& r) {
    if (r.Fire) FireClick(*r.Fire);
  }

  TQuorMenuModel menu;
  std::vector<std::wstring> clicked;
};

TEST_F(MenuFixture, MeasuresColumnsHeightsAndWidthAndLaysOutTheVisibleItems) {
  Add(L"Open");
  Add(L"-");
  Add(L"Hidden").Visible = false;
  Add(L"Exit").ShortCut = MakeShortCut('X', false, true, false);  // "Ctrl+X"
  TQuorMenuItem& more = Add(L"More");
  Add(L"Sub", &more);

  ASSERT_EQ(menu.Popup({100, 100}).OpenLevel, 0);
  const TMenuLevel& lv = menu.Level(0);
  EXPECT_EQ(lv.CheckColumn, 16);  // no check mark: MenuBarWidth
  EXPECT_EQ(lv.ArrowColumn, 10);
  // Widest is Exit: 16 + 28 + 42 + 2 = 88; More: 16 + 28 + 2 + 10 = 56.
  EXPECT_EQ(lv.Width, 88 + 2 * 8);
  // (22 + 2) + (4 + 2) + (22 + 2) + (22 + 2) + 2 * 8 + 4; the hidden item takes no space.
  EXPECT_EQ(lv.Height, 98);
  EXPECT_EQ(menu.Items(3)->ShortCutSize.cx, 42);
  ASSERT_EQ(lv.Shown.size(), 4u);
  const std::vector<RECT> rects = {
      {10, 10, 94, 32}, {10, 34, 94, 38}, {10, 40, 94, 62}, {10, 64, 94, 86}};
  for (size_t i = 0; i < rects.size(); ++i) {
    EXPECT_EQ(lv.Shown[i]->ItemRect.top, rects[i].top) << i;
    EXPECT_EQ(lv.Shown[i]->ItemRect.bottom, rects[i].bottom) << i;
    EXPECT_EQ(lv.Shown[i]->ItemRect.left, rects[i].left) << i;
    EXPECT_EQ(lv.Shown[i]->ItemRect.right, rects[i].right) << i;
  }
  EXPECT_TRUE(IsRectEmpty(&menu.Items(2)->ItemRect));

  menu.Metrics.MinWidth = 150;
  menu.Popup({100, 100});
  EXPECT_EQ(menu.Level(0).Width, 150);
  menu.Metrics.HaveBack = false;  // no background: not shown at all
  EXPECT_EQ(menu.Popup({100, 100}).OpenLevel, -1);
  EXPECT_FALSE(menu.Showing());
}

TEST_F(MenuFixture, TallMenuGetsScrollButtonsAndLaysOutOnlyTheItemsThatFit) {
  AddMany(20);  // natural height 20 * 24 + 20 = 500
  menu.WorkArea = {0, 0, 800, 300};
  menu.Popup({10, 10});
  EXPECT_FALSE(menu.Level(0).Scrolling);  // no button strip: no scrolling
  EXPECT_EQ(menu.Level(0).Shown.size(), 20u);

  menu.Metrics.ScrollButton = {16, 8};
  menu.Popup({10, 10});
  const TMenuLevel& lv = menu.Level(0);
  ASSERT_TRUE(lv.Scrolling);
  EXPECT_EQ(lv.Height, 300 - 20 + 2 * 8);
  EXPECT_EQ(lv.UpButton.top, 10);
  EXPECT_EQ(lv.UpButton.right - lv.UpButton.left, 16);
  EXPECT_EQ(lv.UpButton.left, (lv.Width - 16) / 2);
  EXPECT_EQ(lv.DownButton.bottom, lv.Height - 10);
  // Items from y = 18, 24 apart, ending above the down button at 278: ten fit.
  ASSERT_EQ(lv.Shown.size(), 10u);
  EXPECT_EQ(lv.Shown.front()->ItemRect.top, 18);
  EXPECT_LE(lv.Shown.back()->ItemRect.bottom, lv.DownButton.top);
  EXPECT_TRUE(IsRectEmpty(&menu.Items(10)->ItemRect));

  menu.Metrics.ScrollButton = {16, 14};  // 280 + 28 would be taller than the work area
  menu.Popup({10, 10});
  EXPECT_EQ(menu.Level(0).Height, 300);
}

TEST_F(MenuFixture, ScrollButtonsWheelAndAutoRepeatStopAtTheEnds) {
  AddMany(20);
  menu.Items(1)->Visible = false;
  menu.WorkArea = {0, 0, 800, 300};
  menu.Metrics.ScrollButton = {16, 8};
  menu.Popup({10, 10});
  const TMenuLevel& lv = menu.Level(0);
  EXPECT_FALSE(menu.Wheel(120).Redraws(0));  // already at the top

  TMenuResult r = menu.MouseDown(0, Centre(lv.DownButton));
  EXPECT_TRUE(r.StartRepeat);
  EXPECT_TRUE(lv.DownPressed);
  EXPECT_EQ(lv.ScrollPos, 2);  // the hidden item is skipped
  int ticks = 0;
  while (!menu.RepeatTick().StopRepeat && ticks < 50) ++ticks;
  EXPECT_EQ(lv.LastShown, 19);
  EXPECT_EQ(ticks, 8);  // 19 visible items, 10 in view: 9 steps, the first at once
  EXPECT_TRUE(menu.MouseUp(0, Centre(lv.DownButton)).StopRepeat);
  EXPECT_FALSE(lv.DownPressed);

  menu.Wheel(-120);  // no further down
  EXPECT_EQ(lv.LastShown, 19);
  menu.Wheel(3 * 120);
  EXPECT_EQ(lv.ScrollPos, 7);
  for (int i = 0; i < 10; ++i) menu.Wheel(120);
  EXPECT_EQ(lv.ScrollPos, 0);
}

TEST_F(MenuFixture, OpensLeftOfOrAboveThePointNearTheWorkAreaEdges) {
  struct Case {
    POINT at;
    RECT area;
    POINT expected;
  } cases[] = {
      {{100, 100}, {0, 0, 800, 600}, {100, 100}},
      {{750, 100}, {0, 0, 800, 600}, {750 - 104, 100}},        // right edge: left of the point
      {{100, 550}, {0, 0, 800, 600}, {100, 600 - 92}},         // bottom edge: ends at the bottom
      {{790, 590}, {0, 0, 800, 600}, {790 - 104, 600 - 92}},   // both
      {{1900, 100}, {1024, 0, 1920, 600}, {1900 - 104, 100}},  // second monitor
      {{60, 10}, {0, 0, 150, 600}, {0, 10}},                   // no room either side
  };
  Add(L"Open");
  Add(L"Close");
  Add(L"Exit").ShortCut = MakeShortCut('X', false, true, false);
  for (const Case& c : cases) {
    menu.WorkArea = c.area;
    menu.Popup(c.at);
    EXPECT_EQ(menu.Level(0).Left, c.expected.x) << c.at.x << "," << c.at.y;
    EXPECT_EQ(menu.Level(0).Top, c.expected.y) << c.at.x << "," << c.at.y;
  }
}

TEST_F(MenuFixture, SubmenuOpensBesideItsItemOrLeftOfItsParentNearTheEdges) {
  AddMany(3);
  TQuorMenuItem& more = Add(L"More");
  AddMany(5, &more);  // 69 wide, 5 * 24 + 20 = 140 high; the root is 72 wide
  struct Case {
    POINT at;
    POINT expected;
  } cases[] = {
      {{100, 100}, {100 + 72 - 8, 100 + 82}},   // right of the parent, at the item's top
      {{690, 100}, {690 + 8 - 69, 100 + 82}},   // would leave the work area: left of it
      {{100, 480}, {100 + 72 - 8, 600 - 140}},  // low item: ends at the bottom, next to it
  };
  for (const Case& c : cases) {
    menu.Popup(c.at);
    TMenuResult r = menu.MouseMove(0, Centre(more));
    ASSERT_EQ(r.OpenLevel, 1);
    EXPECT_EQ(menu.Level(1).Left, c.expected.x) << c.at.x << "," << c.at.y;
    EXPECT_EQ(menu.Level(1).Top, c.expected.y) << c.at.x << "," << c.at.y;
  }
}

TEST_F(MenuFixture, HotItemOpensAndClosesSubmenusUpToThreeLevels) {
  TQuorMenuItem& a = Add(L"A");
  TQuorMenuItem& b = Add(L"B");
  TQuorMenuItem& b1 = Add(L"B1", &b);
  TQuorMenuItem& b2 = Add(L"B2", &b);
  TQuorMenuItem& c1 = Add(L"C1", &b2);
  Add(L"D1", &c1);  // a fourth level is never opened
  Add(L"C").Enabled = false;
  menu.Popup({100, 100});

  TMenuResult r = menu.MouseMove(0, Centre(b));
  EXPECT_EQ(r.OpenLevel, 1);
  EXPECT_EQ(menu.HotItem(), &b);
  EXPECT_EQ(menu.OpenItem(1), &b);
  menu.MouseMove(1, Centre(b2));
  EXPECT_EQ(menu.LevelCount(), 3);
  EXPECT_EQ(menu.HighlightFrameOf(b), 0);  // its submenu is open
  menu.MouseMove(2, Centre(c1));
  EXPECT_EQ(menu.LevelCount(), 3);
  EXPECT_EQ(menu.HotItem(), &c1);

  r = menu.MouseMove(1, Centre(b1));  // a sibling of B2 closes level 2
  EXPECT_EQ(r.CloseFrom, 2);
  EXPECT_EQ(menu.LevelCount(), 2);
  menu.MouseMove(0, Centre(b));  // back on the open item: its submenu stays
  EXPECT_EQ(menu.LevelCount(), 2);
  r = menu.MouseMove(0, Centre(*menu.Items(2)));  // disabled: nothing hot, submenu stays
  EXPECT_EQ(menu.HotItem(), nullptr);
  EXPECT_EQ(menu.LevelCount(), 2);
  r = menu.MouseMove(0, Centre(a));
  EXPECT_EQ(r.CloseFrom, 1);
  EXPECT_EQ(menu.LevelCount(), 1);
  EXPECT_EQ(menu.HotItem(), &a);
}

TEST_F(MenuFixture, ClickingChecksRadioGroupsThenClosesAndFires) {
  struct Case {
    const char* name;
    bool autoCheck, radio;
    int group, siblingGroup;
    bool checked, siblingChecked;
    bool expectChecked, expectSibling;
  } cases[] = {
      {"radio, AutoCheck, checked: toggles off", true, true, 0, 0, true, false, false, false},
      {"radio without AutoCheck stays checked", false, true, 0, 0, true, false, true, false},
      {"checking clears the group", true, true, 0, 0, false, true, true, false},
      {"another group is left alone", true, true, 0, 1, false, true, true, true},
      {"group -1 clears nothing", true, true, -1, -1, false, true, true, true},
      {"a check item clears nothing", true, false, 0, 0, false, true, true, true},
  };
  for (const Case& c : cases) {
    menu.ClearItems();
    clicked.clear();
    TQuorMenuItem& langs = Add(L"Languages");
    TQuorMenuItem& item = Add(L"English", &langs);
    TQuorMenuItem& sibling = Add(L"German", &langs);
    item.AutoCheck = c.autoCheck;
    item.RadioItem = c.radio;
    item.GroupIndex = c.group;
    item.Checked = c.checked;
    sibling.RadioItem = true;
    sibling.GroupIndex = c.siblingGroup;
    sibling.Checked = c.siblingChecked;
    menu.Popup({100, 100});
    menu.MouseMove(0, Centre(langs));
    menu.MouseDown(1, Centre(item));
    TMenuResult r = menu.MouseUp(1, Centre(item));
    EXPECT_TRUE(r.CloseMenu) << c.name;
    EXPECT_FALSE(menu.Showing()) << c.name;
    EXPECT_TRUE(clicked.empty()) << c.name;  // fired by the window after closing
    Fire(r);
    EXPECT_EQ(clicked, std::vector<std::wstring>{L"English"}) << c.name;
    EXPECT_EQ(item.Checked, c.expectChecked) << c.name;
    EXPECT_EQ(sibling.Checked, c.expectSibling) << c.name;
  }
}

TEST_F(MenuFixture, ReleaseOnAnotherItemOrOnAParentDoesNotClick) {
  TQuorMenuItem& a = Add(L"A");
  TQuorMenuItem& b = Add(L"B");
  TQuorMenuItem& parent = Add(L"Parent");
  Add(L"Child", &parent);
  menu.Popup({100, 100});
  menu.MouseDown(0, Centre(a));
  EXPECT_EQ(menu.PressedItem(), &a);
  menu.MouseMove(0, Centre(b));  // a different hot item forgets the pressed one
  EXPECT_EQ(menu.PressedItem(), nullptr);
  TMenuResult r = menu.MouseUp(0, Centre(b));
  EXPECT_EQ(r.Fire, nullptr);
  EXPECT_TRUE(menu.Showing());

  menu.MouseDown(0, Centre(parent));
  r = menu.MouseUp(0, Centre(parent));
  EXPECT_EQ(r.Fire, nullptr);
  EXPECT_FALSE(r.CloseMenu);
  EXPECT_EQ(menu.PressedItem(), nullptr);
  EXPECT_EQ(menu.LevelCount(), 2);
}

TEST_F(MenuFixture, ShortCutsFindTheFirstRegisteredVisibleEnabledItem) {
  const TShortCut f1 = MakeShortCut(VK_F1, false, false, false);
  const TShortCut ctrlX = MakeShortCut('X', false, true, false);
  EXPECT_EQ(ShortCutToText(ctrlX), L"Ctrl+X");
  EXPECT_EQ(ShortCutToText(MakeShortCut(VK_F1, true, true, true)), L"Shift+Ctrl+Alt+F1");

  TQuorMenuItem& hidden = Add(L"Hidden");
  hidden.ShortCut = f1;
  hidden.Visible = false;
  TQuorMenuItem& disabled = Add(L"Disabled");
  disabled.ShortCut = f1;
  disabled.Enabled = false;
  auto toolsItem = std::make_unique<TQuorMenuItem>(L"Tools", L"Tools");
  Add(L"Help", toolsItem.get()).ShortCut = f1;  // registered with its parent
  TQuorMenuItem& tools = menu.AddMenuItem(std::move(toolsItem));
  Add(L"Cut").ShortCut = ctrlX;
  Add(L"Late", &tools).ShortCut = MakeShortCut('L', false, true, false);  // after registering

  TMenuResult r = menu.ShortCut(f1);  // while the menu is closed
  ASSERT_NE(r.Fire, nullptr);
  EXPECT_EQ(r.Fire->Caption, L"Help");
  EXPECT_FALSE(r.CloseMenu);
  Fire(r);
  EXPECT_EQ(clicked, std::vector<std::wstring>{L"Help"});
  EXPECT_EQ(menu.FindShortCut(MakeShortCut('X', false, false, false)), nullptr);  // no Ctrl
  EXPECT_EQ(menu.FindShortCut(MakeShortCut('X', true, true, false)), nullptr);    // extra Shift
  EXPECT_EQ(menu.FindShortCut(ctrlX)->Caption, L"Cut");
  EXPECT_EQ(menu.FindShortCut(MakeShortCut('L', false, true, false)), nullptr);
  EXPECT_EQ(menu.FindShortCut(scNone), nullptr);

  menu.Popup({100, 100});
  r = menu.ShortCut(ctrlX);  // while open: closes first
  EXPECT_TRUE(r.CloseMenu);
  EXPECT_EQ(r.Fire->Caption, L"Cut");

  tools.ClearChildren();  // freed items drop out of the lookup
  EXPECT_EQ(menu.FindShortCut(f1), nullptr);
  menu.ClearItems();
  EXPECT_EQ(menu.FindShortCut(ctrlX), nullptr);
}

TEST_F(MenuFixture, ArrowsSkipUnselectableItemsWrapAndScrollIntoView) {
  Add(L"-");
  AddMany(3);
  menu.Items(2)->Enabled = false;  // Item1
  menu.Items(3)->Visible = false;  // Item2
  AddMany(16);
  menu.WorkArea = {0, 0, 800, 300};
  menu.Metrics.ScrollButton = {16, 8};
  menu.Popup({10, 10});

  Key(VK_DOWN);
  EXPECT_EQ(menu.HotItem()->Caption, L"Item0");  // past the separator
  Key(VK_DOWN);
  EXPECT_EQ(menu.HotItem(), menu.Items(4));  // past disabled and hidden
  Key(VK_UP);
  Key(VK_UP);  // wraps to the last item, which scrolls into view
  EXPECT_EQ(menu.HotItem(), menu.Items(19));
  EXPECT_EQ(menu.Level(0).LastShown, 19);
  EXPECT_GT(menu.Level(0).ScrollPos, 0);
  Key(VK_DOWN);  // wraps to the first, scrolled back
  EXPECT_EQ(menu.HotItem(), menu.Items(1));
  EXPECT_LE(menu.Level(0).ScrollPos, 1);
  EXPECT_FALSE(IsRectEmpty(&menu.Items(1)->ItemRect));
  Key(VK_END);
  EXPECT_EQ(menu.HotItem(), menu.Items(19));
  EXPECT_FALSE(Key('Q').Fire);                                  // a letter no item has does nothing
  EXPECT_FALSE(menu.KeyDown('C', false, true, false).Handled);  // Ctrl+letter: a shortcut's
}

TEST_F(MenuFixture, RightEnterLeftAndEscapeMoveBetweenLevels) {
  TQuorMenuItem& file = Add(L"File");
  TQuorMenuItem& langs = Add(L"Languages");
  Add(L"-", &langs);
  TQuorMenuItem& english = Add(L"English", &langs);
  TQuorMenuItem& more = Add(L"More", &langs);
  Add(L"Deeper", &more);
  menu.Popup({100, 100});

  Key(VK_DOWN);
  Key(VK_RIGHT);  // File has no submenu
  EXPECT_EQ(menu.LevelCount(), 1);
  Key(VK_DOWN);
  EXPECT_EQ(menu.LevelCount(), 1);  // the keyboard does not open on its own
  TMenuResult r = Key(VK_RIGHT);
  EXPECT_EQ(r.OpenLevel, 1);
  EXPECT_EQ(menu.HotItem(), &english);
  Key(VK_DOWN);
  Key(VK_RETURN);  // Enter opens a submenu too
  EXPECT_EQ(menu.LevelCount(), 3);
  r = Key(VK_LEFT);
  EXPECT_EQ(r.CloseFrom, 2);
  EXPECT_EQ(menu.HotItem(), &more);
  r = Key(VK_ESCAPE);
  EXPECT_EQ(r.CloseFrom, 1);
  EXPECT_EQ(menu.HotItem(), &langs);
  Key(VK_LEFT);  // nothing left of the root
  EXPECT_TRUE(menu.Showing());
  Key(VK_UP);
  r = Key(VK_RETURN);
  EXPECT_EQ(r.Fire, &file);
  EXPECT_TRUE(r.CloseMenu);

  menu.Popup({100, 100});
  menu.MouseMove(0, Centre(langs));  // hovered open: Escape closes the submenu first
  EXPECT_FALSE(Key(VK_ESCAPE).CloseMenu);
  EXPECT_EQ(menu.LevelCount(), 1);
  EXPECT_TRUE(Key(VK_ESCAPE).CloseMenu);
  EXPECT_FALSE(menu.Showing());
}

TEST_F(MenuFixture, AccessLettersClickOpenOrCycle) {
  EXPECT_EQ(AccessChar(L"E&xit"), L'X');
  EXPECT_EQ(AccessChar(L"Tom && Jerry"), 0);
  EXPECT_EQ(AccessChar(L"Fish && &chips"), L'C');
  EXPECT_EQ(AccessChar(L"Trailing&"), 0);

  Add(L"&Save");
  Add(L"Tom && Jerry");
  Add(L"&Settings");
  Add(L"&Disabled").Enabled = false;
  Add(L"Fish && &chips");
  TQuorMenuItem& langs = Add(L"&Languages");
  Add(L"&English", &langs);
  Add(L"&Deutsch", &langs);
  menu.Popup({100, 100});

  TMenuResult r = Key('S');  // two items: hot only, no click
  EXPECT_EQ(r.Fire, nullptr);
  EXPECT_EQ(menu.HotItem()->Caption, L"&Save");
  Key('S');
  EXPECT_EQ(menu.HotItem()->Caption, L"&Settings");
  Key('S');
  EXPECT_EQ(menu.HotItem()->Caption, L"&Save");
  EXPECT_EQ(Key('D').Fire, nullptr);  // disabled items take no letter
  Key('J');                           // "&&" is no access mark
  EXPECT_EQ(menu.HotItem()->Caption, L"&Save");

  r = Key('L');
  EXPECT_EQ(r.OpenLevel, 1);
  EXPECT_EQ(menu.HotItem()->Caption, L"&English");
  r = menu.AccessKey(L'd');  // now in the submenu, case-insensitive
  ASSERT_NE(r.Fire, nullptr);
  EXPECT_EQ(r.Fire->Caption, L"&Deutsch");

  menu.Popup({100, 100});
  r = Key('C');
  ASSERT_NE(r.Fire, nullptr);
  EXPECT_EQ(r.Fire->Caption, L"Fish && &chips");
  EXPECT_TRUE(r.CloseMenu);
}

}  // namespace
}  // namespace quor
