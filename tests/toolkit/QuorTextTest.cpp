#include <gtest/gtest.h>

#include "PixelFixtures.h"
#include "toolkit/QuorText.h"

namespace quor {
namespace {

using test::At;
using test::Bgra;

TQuorFont BoldFont(TColor color) {
  return TQuorFont({L"Tahoma", DEFAULT_CHARSET, 12, fsBold, color});
}

struct PixelCount {
  int untouched = 0, opaqueText = 0, squared = 0, other = 0;
};

PixelCount Classify(const TQuorBitmap& bitmap, Bgra background, uint8_t squaredAlpha) {
  PixelCount n;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      Bgra p = At(bitmap, x, y);
      if (p == background)
        ++n.untouched;
      else if (p[3] == 255)
        ++n.opaqueText;
      else if (p == Bgra{background[0], background[1], background[2], squaredAlpha})
        ++n.squared;
      else
        ++n.other;
    }
  return n;
}

TEST(SurfaceText, TextPixelsBecomeOpaqueOverATranslucentBackground) {
  const Bgra background{40, 40, 40, 120};
  TQuorBitmap surface = test::Filled(80, 24, background);
  DrawSurfaceText(surface, {0, 0, 80, 24}, L"Quor", BoldFont(0x00FFFFFF), kTextLeft);
  PixelCount n = Classify(surface, background, 0);
  EXPECT_GT(n.opaqueText, 20);
  EXPECT_GT(n.untouched, 1000);
  EXPECT_EQ(n.other, 0);
}

TEST(SurfaceText, TextInTheBackgroundsColourSquaresTheAlpha) {
  const Bgra background{40, 40, 40, 200};
  TQuorBitmap surface = test::Filled(80, 24, background);
  DrawSurfaceText(surface, {0, 0, 80, 24}, L"Quor", BoldFont(0x00282828), kTextLeft);
  PixelCount n = Classify(surface, background, 157);
  EXPECT_GT(n.squared, 20);
  EXPECT_EQ(n.other + n.opaqueText, 0);
}

TEST(SurfaceText, StaysInsideItsRectangle) {
  TQuorBitmap surface = test::Filled(100, 30, {0, 0, 0, 0});
  DrawSurfaceText(surface, {10, 5, 60, 25}, L"A long caption that does not fit", BoldFont(0xFFFFFF),
                  kTextLeft);
  int inside = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 100; ++x) {
      const bool in = x >= 10 && x < 60 && y >= 5 && y < 25;
      if (At(surface, x, y)[3] != 0) (in ? ++inside : (ADD_FAILURE() << x << "," << y, 0));
    }
  EXPECT_GT(inside, 20);
}

bool SamePixels(const TQuorBitmap& a, const TQuorBitmap& b) {
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (At(a, x, y) != At(b, x, y)) return false;
  return true;
}

// A registration's name is data: an override or isolate inside it must not
// reorder what the user reads ("setup\u202etxt.exe" showing as "setupexe.txt").
TEST(SurfaceText, DirectionOverridesInANameAreDrawnInert) {
  const std::wstring plain = L"setuptxt.exe";
  auto draw = [](const std::wstring& text) {
    TQuorBitmap surface = test::Filled(160, 24, {255, 255, 255, 255});
    DrawSurfaceText(surface, {0, 0, 160, 24}, text, BoldFont(0), kTextLeft);
    return surface;
  };
  const TQuorBitmap expected = draw(plain);
  const TQuorBitmap reordered = draw(L"setupexe.txt");
  ASSERT_FALSE(SamePixels(expected, reordered));  // the fixture tells the two orders apart
  for (const wchar_t* hostile :
       {L"setup\u202etxt.exe", L"setup\u202dtxt.exe\u202c", L"setup\u2067txt.exe\u2069"}) {
    SCOPED_TRACE(testing::Message() << "code " << std::hex << int(hostile[5]));
    EXPECT_TRUE(SamePixels(draw(hostile), expected));
    EXPECT_EQ(MeasureText(hostile, BoldFont(0)).cx, MeasureText(plain, BoldFont(0)).cx);
  }
}

TEST(RenderTextImage, UnchangedPixelsTransparentTextOpaque) {
  TQuorBitmap bitmap = test::Filled(60, 20, {200, 200, 200, 255});
  auto image = RenderTextImage(bitmap, L"Menu", BoldFont(0x00000000), {0, 0, 60, 20});
  ASSERT_TRUE(image);
  int opaque = 0, clear = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      Bgra p = At(*image, x, y);
      if (p == Bgra{200, 200, 200, 0})
        ++clear;
      else if (p[3] == 255)
        ++opaque;
    }
  EXPECT_GT(opaque, 10);
  EXPECT_GT(clear, 600);
  EXPECT_FALSE(RenderTextImage(bitmap, L"x", BoldFont(0), {0, 10, 60, 30}));
  EXPECT_FALSE(RenderTextImage(TQuorBitmap(), L"x", BoldFont(0), {0, 0, 1, 1}));
}

TEST(MeasureText, GrowsWithTheText) {
  const TQuorFont font = BoldFont(0);
  SIZE shortText = MeasureText(L"ab", font), longText = MeasureText(L"abcdef", font);
  EXPECT_GT(longText.cx, shortText.cx);
  EXPECT_GT(shortText.cy, 10);
  EXPECT_EQ(MeasureText(L"", font).cy, shortText.cy);
}

}  // namespace
}  // namespace quor
