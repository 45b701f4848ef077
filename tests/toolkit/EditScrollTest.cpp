#include <gtest/gtest.h>

#include <string>

#include "toolkit/QuorEditText.h"
#include "toolkit/QuorScrollGeometry.h"

namespace quor {
namespace {

TEST(EditText, OnlyNumberAcceptsDigitsAndTheDotButNoLetters) {
  TQuorEditText edit;
  edit.OnlyNumber = true;
  for (wchar_t c : std::wstring(L"1a.5x-")) edit.TypeChar(c);
  EXPECT_EQ(edit.Text(), L"1.5");
  EXPECT_TRUE(edit.Paste(L"2b3"));
  EXPECT_EQ(edit.Text(), L"1.523");
  EXPECT_FALSE(edit.Paste(L"abc"));
}

TEST(EditText, TypingReplacesTheSelectionAndUndoSwapsBack) {
  TQuorEditText edit;
  edit.SetText(L"hello world");
  edit.Select(0, 5);
  EXPECT_EQ(edit.SelText(), L"hello");
  EXPECT_TRUE(edit.TypeChar(L'J'));
  EXPECT_EQ(edit.Text(), L"J world");
  EXPECT_EQ(edit.Caret(), 1);
  EXPECT_TRUE(edit.Undo());
  EXPECT_EQ(edit.Text(), L"hello world");
  EXPECT_TRUE(edit.Undo());  // one level: undo of the undo redoes
  EXPECT_EQ(edit.Text(), L"J world");
  edit.MoveCaret(1, false);
  EXPECT_TRUE(edit.Backspace());
  EXPECT_EQ(edit.Text(), L" world");
  EXPECT_FALSE(edit.Backspace());  // at the start
  edit.MoveCaret(6, false);
  edit.MoveCaret(1, true);
  EXPECT_EQ(edit.SelText(), L"world");
  EXPECT_TRUE(edit.CutSelection());
  EXPECT_EQ(edit.Text(), L" ");
}

TEST(EditText, ReadOnlyAndControlCharactersChangeNothing) {
  TQuorEditText edit;
  edit.SetText(L"fixed");
  edit.OnlyRead = true;
  EXPECT_FALSE(edit.TypeChar(L'x'));
  EXPECT_FALSE(edit.Backspace());
  EXPECT_FALSE(edit.Paste(L"y"));
  edit.OnlyRead = false;
  for (wchar_t c : {L'\0', L'\r', L'\x1b'}) EXPECT_FALSE(edit.TypeChar(c));
  EXPECT_EQ(edit.Text(), L"fixed");
}

TScrollInput Bar(int min, int max, int page, int position) {
  TScrollInput in;
  in.Length = 240;
  in.ButtonLength = 20;
  in.Min = min;
  in.Max = max;
  in.PageSize = page;
  in.Position = position;
  in.ThumbSize = 16;
  return in;
}

TEST(ScrollGeometry, PlacesButtonsTrackAndSlider) {
  // Track 20..220 (200 long); slider rnd(20 * 200 / 100) = 40; r = 100 - 20 + ... = 80.
  TScrollLayout l = LayoutScrollBar(Bar(0, 99, 20, 40));
  EXPECT_EQ(l.FirstButton, 0);
  EXPECT_EQ(l.SecondButton, 220);
  EXPECT_EQ(l.TrackStart, 20);
  EXPECT_EQ(l.TrackLength, 200);
  EXPECT_EQ(l.SliderLength, 40);
  EXPECT_EQ(l.SliderStart, 20 + 80);  // rnd(40 * 160 / 80)

  TScrollInput joined = Bar(0, 99, 20, 0);
  joined.JoinButton = true;
  TScrollLayout j = LayoutScrollBar(joined);
  EXPECT_EQ(j.FirstButton, 200);
  EXPECT_EQ(j.TrackLength, 240 - 20 - 20 - 40);
}

TEST(ScrollGeometry, SliderNeverShorterThanOneAndAHalfThumbsAndGoneWhenThePageCoversAll) {
  EXPECT_EQ(LayoutScrollBar(Bar(0, 9999, 10, 0)).SliderLength, 24);  // 3 * 16 div 2
  EXPECT_EQ(LayoutScrollBar(Bar(0, 99, 0, 0)).SliderLength, 16);     // no page: the thumb size
  EXPECT_EQ(LayoutScrollBar(Bar(0, 99, 100, 0)).SliderLength, 0);
  EXPECT_EQ(LayoutScrollBar(Bar(0, 99, 150, 0)).SliderLength, 0);
}

TEST(ScrollGeometry, DraggingMapsBackToPositionsWithinTheRange) {
  const TScrollInput in = Bar(0, 99, 20, 0);
  const TScrollLayout l = LayoutScrollBar(in);
  EXPECT_EQ(ScrollPositionAt(in, l, l.TrackStart), 0);
  EXPECT_EQ(ScrollPositionAt(in, l, l.TrackStart + 80), 40);
  EXPECT_EQ(ScrollPositionAt(in, l, 10000), 80);  // Max - PageSize + 1
  EXPECT_EQ(ScrollPositionAt(in, l, -50), 0);
  EXPECT_EQ(LayoutScrollBar(Bar(0, 99, 20, 95)).SliderStart, l.TrackStart + 160);
}

}  // namespace
}  // namespace quor
