#include "ui/Anchors.h"

#include <gtest/gtest.h>

namespace quor {
namespace {

struct AnchorCase {
  const char* What;
  uint8_t Anchors;
  TBounds Expected;  // of {100, 50, 200, 80} designed for 800 x 500, shown at 1000 x 700
};

TEST(AnchorsTest, EachAnchoredSideKeepsItsDistance) {
  const TBounds design{100, 50, 200, 80};
  const AnchorCase cases[] = {
      {"top left stays", akTopLeft, {100, 50, 200, 80}},
      {"top right moves right", akTopRight, {300, 50, 200, 80}},
      {"bottom right moves both ways", akBottomRight, {300, 250, 200, 80}},
      {"all four stretch", akAll, {100, 50, 400, 280}},
      {"left and right stretch across only", akLeft | akRight | akBottom, {100, 250, 400, 80}},
      // the centre keeps its share: 200/800 of 1000 and 90/500 of 700, less half the size
      {"no anchor keeps the centre's share", 0, {150, 86, 200, 80}},
  };
  for (const AnchorCase& c : cases) {
    SCOPED_TRACE(c.What);
    const TBounds b = AnchoredBounds(design, c.Anchors, {800, 500}, {1000, 700});
    EXPECT_EQ(b.Left, c.Expected.Left);
    EXPECT_EQ(b.Top, c.Expected.Top);
    EXPECT_EQ(b.Width, c.Expected.Width);
    EXPECT_EQ(b.Height, c.Expected.Height);
  }
}

TEST(AnchorsTest, ShrinkingBelowTheDesignNeverGivesANegativeSize) {
  const TBounds b = AnchoredBounds({10, 10, 50, 40}, akAll, {800, 500}, {700, 450});
  EXPECT_EQ(b.Width, 0);
  EXPECT_EQ(b.Height, 0);
  // and back at the design size, the design comes back exactly
  const TBounds same = AnchoredBounds({10, 10, 50, 40}, akAll, {800, 500}, {800, 500});
  EXPECT_EQ(same.Width, 50);
  EXPECT_EQ(same.Height, 40);
}

}  // namespace
}  // namespace quor
