#include <gtest/gtest.h>

#include "toolkit/QuorSkin.h"
#include "toolkit/QuorUtils.h"

namespace quor {
namespace {

// Every strip of the skin must divide into its frames, or the control shows nothing.
TEST(Skin, EveryStripDividesIntoItsFrames) {
  struct Strip {
    const wchar_t* name;
    int frames;
  };
  const Strip strips[] = {
      {L"btn_close", 3}, {L"btn_min", 3}, {L"btn_max", 3}, {L"btn_restore", 3},
      {L"btn_menu", 3}, {L"btn_skin", 3}, {L"btn_single_close", 3}, {L"btn_single_min", 3},
      {L"button", 4}, {L"button_accent", 4}, {L"std_button", 5}, {L"message_button", 4},
      {L"check4", 4}, {L"check6", 6}, {L"check9", 9}, {L"edit", 4}, {L"row_highlight", 2},
      {L"header_cell", 3}, {L"menu_item", 3}, {L"busy_ani", 12}, {L"scroll_v_slider", 3},
      {L"scroll_v_lt", 3}, {L"scroll_v_rb", 3}, {L"scroll_h_slider", 3}, {L"scroll_v_center", 3},
      {L"item_icons", 3}, {L"menu_check", 2}, {L"menu_radio", 2}, {L"menu_arrow", 3},
      {L"menu_updown", 6}, {L"message_icons", 4},
      {L"list_header", 4}, {L"sort_arrows", 2},
  };
  for (const auto& s : strips) {
    const TPngImage image = SkinImage(s.name);
    ASSERT_FALSE(image.Empty()) << s.name;
    EXPECT_TRUE(CutFrameHor(image, s.frames, s.frames - 1)) << s.name;
  }
}

// The list and the tree read check strips as every mark plain, then every mark hot.
TEST(Skin, CheckStripsHoldTheClearAndTickedBoxesBeforeTheirHotLooks) {
  struct Strip {
    const wchar_t* name;
    int frames;
    int ticked;  // frame of the plain ticked box
    int hot;     // frame of the hot clear box
  };
  for (const Strip s : {Strip{L"check4", 4, 1, 2}, Strip{L"check6", 6, 1, 3}, Strip{L"check9", 9, 1, 3}}) {
    auto inside = [&](int frame) {
      const auto image = CutFrameHor(SkinImage(s.name), s.frames, frame);
      return image ? image->Pixel(4, 12)[0] : -1;  // blue of the box's inside, off the tick
    };
    EXPECT_EQ(inside(0), 0xFF) << s.name << ": clear box";
    EXPECT_EQ(inside(s.ticked), 0xE0) << s.name << ": ticked box filled with the accent";
    EXPECT_EQ(inside(s.hot), 0xFF) << s.name << ": hot clear box";
  }
}

TEST(Skin, TheWindowFrameSplitsAndHasATransparentMargin) {
  const TPngImage form = SkinImage(L"form");
  ASSERT_EQ(form.Width(), 100);
  EXPECT_TRUE(CutNineParts(form, {20, 45}, {80, 80}, 255, clNone));
  EXPECT_EQ(form.Pixel(0, 0)[3], 0);
  EXPECT_EQ(form.Pixel(50, 60)[3], 255);
  EXPECT_TRUE(SkinImage(L"no_such_image").Empty());
}

}  // namespace
}  // namespace quor
