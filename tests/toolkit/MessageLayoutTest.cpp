#include <gtest/gtest.h>

#include <initializer_list>

#include "toolkit/QuorMessageLayout.h"

namespace quor {
namespace {

// A 300x160 skin split at (20, 40)-(280, 120); four 32-pixel icons; 16-pixel message lines.
TMessageLayoutInput Input(LONG messageWidth, int buttonSet = kMsgButtonsYesNo) {
  TMessageLayoutInput in;
  in.Form = {300, 160};
  in.FormSplit = TQuorPadding(20, 40, 280, 120);
  in.CloseFrame = {20, 18};
  in.Logo = {16, 16};
  in.BtnFrame = {70, 24};
  in.MsgStrip = {128, 32};
  in.MsgRowCount = 2;
  in.Message = {messageWidth, 16};
  in.Title = {80, 14};
  in.ButtonSet = buttonSet;
  return in;
}

void ExpectRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom, const char* what) {
  EXPECT_EQ(r.left, left) << what;
  EXPECT_EQ(r.top, top) << what;
  EXPECT_EQ(r.right, right) << what;
  EXPECT_EQ(r.bottom, bottom) << what;
}

TEST(MessageLayout, LongMessagesEnlargeTheBoxShortOnesKeepTheSkinAndItsRows) {
  struct Case {
    const char* name;
    SIZE message;
    bool goodSplit;
    SIZE size;
    bool nineSlice;
    int rows;
  } cases[] = {
      // 128 + 300 / 3 + 16 + 10 = 254 wide and 32 + 3 * 16 + 26 = 106 high fit in the skin.
      {"short", {300, 16}, true, {300, 160}, false, 2},
      {"a third of a long line wider", {900, 16}, true, {128 + 300 + 26, 160}, true, 3},
      {"three tall lines higher", {300, 40}, true, {300, 32 + 120 + 26}, true, 3},
      {"unordered split keeps the skin", {900, 16}, false, {300, 160}, false, 2},
  };
  for (const Case& c : cases) {
    TMessageLayoutInput in = Input(c.message.cx);
    in.Message = c.message;
    if (!c.goodSplit) in.FormSplit = TQuorPadding(280, 40, 20, 120);
    const TMessageLayout l = LayoutMessageBox(in);
    ASSERT_TRUE(l.Composed) << c.name;
    EXPECT_EQ(l.Size.cx, c.size.cx) << c.name;
    EXPECT_EQ(l.Size.cy, c.size.cy) << c.name;
    EXPECT_EQ(l.NineSlice, c.nineSlice) << c.name;
    EXPECT_EQ(l.MsgRowCount, c.rows) << c.name;
    // Below the icon's top by half a line, rows of line height + 2.
    EXPECT_EQ(l.Message.top, 42 + c.message.cy / 2) << c.name;
    EXPECT_EQ(l.Message.bottom - l.Message.top, (c.message.cy + 2) * c.rows) << c.name;
  }
}

// A message with line breaks gets a row per line, as wide as its widest
// line, and its buttons stay below the last row.
TEST(MessageLayout, LinesOfTheirOwnEachGetARow) {
  struct Case {
    const char* name;
    int lines;
    LONG widest;
    SIZE size;
    int rows;
  } cases[] = {
      // Text from 46 (icon) and 50 (half a line below the icon's top); 12 to the right edge.
      {"ten lines", 10, 500, {46 + 500 + 20, 50 + 10 * 18 + 52}, 10},
      {"two short lines keep the skin and its rows", 2, 100, {300, 160}, 2},
      {"three short lines take a row each", 3, 100, {300, 160}, 3},
  };
  for (const Case& c : cases) {
    TMessageLayoutInput in = Input(c.widest);
    in.MessageLines = c.lines;
    const TMessageLayout l = LayoutMessageBox(in);
    EXPECT_EQ(l.Size.cx, c.size.cx) << c.name;
    EXPECT_EQ(l.Size.cy, c.size.cy) << c.name;
    EXPECT_EQ(l.MsgRowCount, c.rows) << c.name;
    EXPECT_GE(l.Message.right - l.Message.left, c.widest) << c.name;
    EXPECT_EQ(l.Message.bottom - l.Message.top, 18 * c.rows) << c.name;
    EXPECT_LT(l.Message.bottom, l.Button1.top) << c.name;
    EXPECT_LE(l.Button1.bottom, l.Size.cy - 8) << c.name;
  }
}

TEST(MessageLayout, PlacesTitleBarIconMessageAndButtons) {
  TMessageLayout l = LayoutMessageBox(Input(900));  // 454 x 160
  ExpectRect(l.Close, 454 - 8 - 4 - 20, 8, 454 - 8 - 4, 8 + 18, "close");
  ExpectRect(l.TitleBar, 8, 8, 422, 38, "title bar");
  ExpectRect(l.Logo, 12, 8 + 7, 28, 31, "logo");
  ExpectRect(l.Title, 30, 16, 110, 30, "title");
  ExpectRect(l.Icon, 12, 42, 12 + 32, 74, "icon: a quarter of the strip");
  ExpectRect(l.Message, 46, 50, 454 - 12, 50 + 3 * 18, "message");
  // Yes left of No, centred as a pair, 4 apart, ending 10 above the bottom margin.
  ExpectRect(l.Button2, 155, 118, 225, 142, "yes");
  ExpectRect(l.Button1, 229, 118, 299, 142, "no");

  l = LayoutMessageBox(Input(900, kMsgButtonsOk));
  ExpectRect(l.Button1, 192, 118, 262, 142, "ok");
  EXPECT_TRUE(IsRectEmpty(&l.Button2));

  TMessageLayoutInput bare = Input(900);
  bare.Logo = {};
  bare.MsgStrip = {};
  bare.Title = {1000, 14};
  l = LayoutMessageBox(bare);
  EXPECT_EQ(l.Title.left, 12);
  EXPECT_EQ(l.Title.right, l.Size.cx - 20 - 8 - 4);  // a long title stops short of the close button
  ExpectRect(l.Message, 42, 42, l.Size.cx - 12, 42 + 3 * 18, "message without icon");

  bare.BtnFrame = {};
  EXPECT_FALSE(LayoutMessageBox(bare).Composed);
}

TEST(MessageButtons, KeysAnswerByFocus) {
  struct Case {
    const char* name;
    int buttonSet;
    std::initializer_list<UINT> keys;
    int result;
    bool defaultNo = false;
  } cases[] = {
      {"Enter answers Yes at once", kMsgButtonsYesNo, {VK_RETURN}, kMsgResultYes},
      {"an arrow moves to No", kMsgButtonsYesNo, {VK_RIGHT, VK_RETURN}, kMsgResultNo},
      {"a second arrow back to Yes", kMsgButtonsYesNo, {VK_DOWN, VK_UP, VK_RETURN}, kMsgResultYes},
      {"Escape in Yes/No", kMsgButtonsYesNo, {VK_LEFT, VK_ESCAPE}, kMsgResultOk},
      {"Enter on OK", kMsgButtonsOk, {VK_RIGHT, VK_RETURN}, kMsgResultOk},
      {"Escape on OK", kMsgButtonsOk, {VK_ESCAPE}, kMsgResultOk},
      {"with No as the default, Enter answers No",
       kMsgButtonsYesNo,
       {VK_RETURN},
       kMsgResultNo,
       true},
      {"with No as the default, an arrow moves to Yes",
       kMsgButtonsYesNo,
       {VK_LEFT, VK_RETURN},
       kMsgResultYes,
       true},
      {"No as the default means nothing to OK", kMsgButtonsOk, {VK_RETURN}, kMsgResultOk, true},
  };
  for (const Case& c : cases) {
    TQuorMessageButtons buttons;
    buttons.Reset(LayoutMessageBox(Input(900, c.buttonSet)), c.buttonSet, c.defaultNo);
    TMessageAction last;
    for (UINT key : c.keys) {
      EXPECT_FALSE(last.Close) << c.name;
      last = buttons.KeyDown(key);
    }
    EXPECT_TRUE(last.Close) << c.name;
    EXPECT_EQ(buttons.Result(), c.result) << c.name;
    EXPECT_FALSE(buttons.Btn1Focused || buttons.Btn2Focused) << c.name;  // closing clears all
  }
}

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST(MessageButtons, ClicksAnswerOnlyWhenReleasedOnThePressedButton) {
  for (int set : {kMsgButtonsYesNo, kMsgButtonsOk}) {
    const TMessageLayout l = LayoutMessageBox(Input(900, set));
    TQuorMessageButtons buttons;
    buttons.Reset(l, set);
    buttons.MouseMove(Centre(l.Close), false);
    EXPECT_EQ(buttons.CloseFrame(), 1);
    buttons.MouseDown(Centre(l.Close));
    EXPECT_EQ(buttons.CloseFrame(), 2);
    EXPECT_TRUE(buttons.MouseUp(Centre(l.Close)).Close);
    EXPECT_EQ(buttons.Result(), kMsgResultOk) << set;
  }

  const TMessageLayout l = LayoutMessageBox(Input(900));
  TQuorMessageButtons buttons;
  buttons.Reset(l, kMsgButtonsYesNo);
  EXPECT_EQ(buttons.ButtonFrame(2), 3);  // Yes starts focused
  buttons.MouseMove(Centre(l.Button1), false);
  EXPECT_EQ(buttons.ButtonFrame(1), 1);
  buttons.MouseDown(Centre(l.Button1));
  EXPECT_EQ(buttons.ButtonFrame(1), 2);
  EXPECT_EQ(buttons.ButtonFrame(2), 0);                           // focus went to No
  EXPECT_FALSE(buttons.MouseMove(Centre(l.Button2), true).Drag);  // pressed: no drag
  TMessageAction a = buttons.MouseUp(Centre(l.Button2));          // released on Yes
  EXPECT_FALSE(a.Close);
  EXPECT_TRUE(a.Redraw);
  EXPECT_FALSE(buttons.Btn1Pressed);
  a = buttons.MouseUp({2, 2});  // and outside every button
  EXPECT_FALSE(a.Close);
  EXPECT_EQ(buttons.KeyDown(VK_RETURN).Close, true);
  EXPECT_EQ(buttons.Result(), kMsgResultNo);  // the press moved the focus

  buttons.Reset(l, kMsgButtonsYesNo);
  buttons.MouseDown(Centre(l.Button2));
  EXPECT_TRUE(buttons.MouseUp(Centre(l.Button2)).Close);
  EXPECT_EQ(buttons.Result(), kMsgResultYes);
}

TEST(MessageButtons, HoldingTheButtonOutsideTheButtonsDragsTheWindow) {
  const TMessageLayout l = LayoutMessageBox(Input(900));
  TQuorMessageButtons buttons;
  buttons.Reset(l, kMsgButtonsYesNo);
  EXPECT_FALSE(buttons.MouseMove({100, 90}, false).Drag);  // a plain move only hovers
  EXPECT_TRUE(buttons.MouseMove({100, 90}, true).Drag);
  buttons.MouseMove(Centre(l.Button2), false);
  EXPECT_FALSE(buttons.MouseMove(Centre(l.Button2), true).Drag);  // over a button
}

TEST(MessageLayout, CentresOverTheOwnerOrOnTheWorkArea) {
  const SIZE box{454, 160};
  POINT p = CentreOver(box, {100, 50, 900, 650});
  EXPECT_EQ(p.x, 100 + (800 - 454) / 2);
  EXPECT_EQ(p.y, 50 + (600 - 160) / 2);
  p = CentreOnWorkArea(box, {0, 0, 1920, 1040});
  EXPECT_EQ(p.x, (1920 - 454) / 2);
  EXPECT_EQ(p.y, (1040 - 160) / 2);
  p = CentreOnWorkArea(box, {0, 40, 1920, 1080});  // a task bar along the top
  EXPECT_EQ(p.y, 40 + (1040 - 160) / 2);
}

}  // namespace
}  // namespace quor
