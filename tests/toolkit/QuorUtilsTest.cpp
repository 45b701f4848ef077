#include <gtest/gtest.h>

#include "PixelFixtures.h"
#include "toolkit/QuorUtils.h"

namespace quor {
namespace {

using test::At;
using test::Bgra;
using test::Numbered;

Bgra Origin(int x, int y) { return {uint8_t(x), uint8_t(y), 100, 255}; }

TEST(CutFrame, TakesTheFrameOrNothing) {
  struct Case {
    int width, count, index;
    bool ok;
    int firstColumn;
  };
  const Case cases[] = {
      {6, 3, 1, true, 2}, {6, 3, 2, true, 4}, {6, 3, 0, true, 0},
      {7, 3, 0, false, 0},  // not a multiple of the count
      {6, 3, 3, false, 0}, {6, 3, -1, false, 0}, {6, 0, 0, false, 0},
  };
  for (const auto& c : cases) {
    auto frame = CutFrameHor(Numbered(c.width, 2), c.count, c.index);
    ASSERT_EQ(frame.has_value(), c.ok) << c.width << "/" << c.count << "/" << c.index;
    if (!frame) continue;
    EXPECT_EQ(frame->Width(), c.width / c.count);
    EXPECT_EQ(frame->Height(), 2);
    EXPECT_EQ(At(*frame, 0, 1), Origin(c.firstColumn, 1));
  }
  auto vertical = CutFrameVer(Numbered(2, 6), 3, 2);
  ASSERT_TRUE(vertical);
  EXPECT_EQ(At(*vertical, 1, 0), Origin(1, 4));
  EXPECT_FALSE(CutFrameVer(Numbered(2, 5), 3, 0));
  EXPECT_FALSE(CutFrameHor(TPngImage(), 1, 0));
}

TEST(CutNineParts, CutsAtTheSplitPoints) {
  auto parts = CutNineParts(Numbered(6, 5), {2, 1}, {5, 3}, 255, clNone);
  ASSERT_TRUE(parts);
  const int sizes[9][2] = {{2, 1}, {3, 1}, {1, 1}, {2, 2}, {3, 2}, {1, 2}, {2, 2}, {3, 2}, {1, 2}};
  const int origins[9][2] = {{0, 0}, {2, 0}, {5, 0}, {0, 1}, {2, 1}, {5, 1}, {0, 3}, {2, 3}, {5, 3}};
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ((*parts)[i].Width(), sizes[i][0]) << i;
    EXPECT_EQ((*parts)[i].Height(), sizes[i][1]) << i;
    EXPECT_EQ(At((*parts)[i], 0, 0), Origin(origins[i][0], origins[i][1])) << i;
  }
}

TEST(CutNineParts, RefusesPointsOnOrBeyondTheEdgeAndBadArguments) {
  const TPngImage image = Numbered(6, 5);
  struct Case {
    POINT a, b;
    int alpha;
  };
  const Case cases[] = {
      {{2, 1}, {6, 3}, 255},   // x2 = width: on the right edge
      {{2, 1}, {5, 5}, 255},   // y2 = height
      {{3, 1}, {3, 3}, 255},   // x1 = x2
      {{2, 3}, {5, 1}, 255},   // y1 > y2
      {{-1, 1}, {5, 3}, 255},  // outside on the left
      {{2, 1}, {5, 3}, 256},   // alpha out of range
      {{2, 1}, {5, 3}, -1},
  };
  for (const auto& c : cases)
    EXPECT_FALSE(CutNineParts(image, c.a, c.b, c.alpha, clNone)) << c.a.x << "," << c.b.x;
  EXPECT_FALSE(CutNineParts(TPngImage(), {0, 0}, {1, 1}, 255, clNone));
}

TEST(CutNineParts, AppliesTheAlphaFactorAndLeavesColourWithoutTint) {
  TPngImage image = Numbered(3, 3);
  test::Set(image, 1, 1, {7, 8, 9, 200});
  auto parts = CutNineParts(image, {1, 1}, {2, 2}, 128, clNone);
  ASSERT_TRUE(parts);
  EXPECT_EQ(At((*parts)[4], 0, 0), (Bgra{7, 8, 9, 100}));  // 200 * 128 div 255 = 100
  auto same = CutNineParts(image, {1, 1}, {2, 2}, 255, clNone);
  EXPECT_EQ(At((*same)[4], 0, 0), (Bgra{7, 8, 9, 200}));
}

TNineParts NinePartsOf3x3() { return *CutNineParts(Numbered(3, 3), {1, 1}, {2, 2}, 255, clNone); }

TEST(BuildNinePartImage, NeedsOneCentreColumnAndRow) {
  const TNineParts parts = NinePartsOf3x3();
  EXPECT_FALSE(BuildNinePartImage(2, 5, parts));  // exactly TL + TR wide
  EXPECT_FALSE(BuildNinePartImage(5, 2, parts));
  auto narrow = BuildNinePartImage(3, 3, parts);
  ASSERT_TRUE(narrow);
  EXPECT_EQ(At(*narrow, 1, 1), Origin(1, 1));
}

TEST(BuildNinePartImage, KeepsCornersAndRepeatsEdges) {
  auto parts = CutNineParts(Numbered(4, 3), {1, 1}, {3, 2}, 255, clNone);  // 2-wide middle
  ASSERT_TRUE(parts);
  auto image = BuildNinePartImage(7, 4, *parts);
  ASSERT_TRUE(image);
  // Columns: TL 0 | middle 1,2,1,2,1 (k mod 2) | TR 3; rows: 0 | 1,1 | 2.
  const int cols[] = {0, 1, 2, 1, 2, 1, 3}, rows[] = {0, 1, 1, 2};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(At(*image, x, y), Origin(cols[x], rows[y])) << x << "," << y;
}

TEST(DrawNineParts, ResizesClearsAndTilesTheEdges) {
  TQuorBitmap bitmap = test::Filled(2, 2, {9, 9, 9, 9});
  DrawNineParts(bitmap, 5, 4, NinePartsOf3x3());
  ASSERT_EQ(bitmap.Width(), 5);
  const int cols[] = {0, 1, 1, 1, 2}, rows[] = {0, 1, 1, 2};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(bitmap, x, y), Origin(cols[x], rows[y]));
}

TEST(DrawTiled, ScalesTheLastTileIntoTheRemainder) {
  TQuorBitmap bitmap(5, 1);
  DrawTiledHor(bitmap, Numbered(2, 1), {0, 0, 5, 1});
  const int cols[] = {0, 1, 0, 1, 0};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(At(bitmap, x, 0), Origin(cols[x], 0));

  TQuorBitmap wide(4, 1);
  DrawTiledHor(wide, Numbered(3, 1), {0, 0, 4, 1});  // second tile: 3 columns into 1
  EXPECT_EQ(At(wide, 3, 0), Origin(0, 0));

  TQuorBitmap grid(3, 3);
  DrawTiled(grid, Numbered(2, 2), {0, 0, 3, 3});
  EXPECT_EQ(At(grid, 2, 2), Origin(0, 0));
  EXPECT_EQ(At(grid, 1, 2), Origin(1, 0));
}

TEST(ThreePart, StretchRepeatsTheMiddle) {
  auto wide = StretchThreePartHor(Numbered(4, 1), 1, 3, 255, clNone, 7);
  ASSERT_TRUE(wide);
  const int cols[] = {0, 1, 2, 1, 2, 1, 3};
  for (int x = 0; x < 7; ++x) EXPECT_EQ(At(*wide, x, 0), Origin(cols[x], 0));

  auto tall = StretchThreePartVer(Numbered(1, 3), 1, 2, 255, clNone, 5);
  ASSERT_TRUE(tall);
  const int rows[] = {0, 1, 1, 1, 2};
  for (int y = 0; y < 5; ++y) EXPECT_EQ(At(*tall, 0, y), Origin(0, rows[y]));

  const TPngImage image = Numbered(4, 1);
  EXPECT_FALSE(StretchThreePartHor(image, 0, 2, 255, clNone, 9));
  EXPECT_FALSE(StretchThreePartHor(image, 2, 0, 255, clNone, 9));
  EXPECT_FALSE(StretchThreePartHor(image, 3, 2, 255, clNone, 9));
  EXPECT_FALSE(StretchThreePartHor(image, 1, 5, 255, clNone, 9));  // beyond the right edge
  auto parts = CutThreePartVer(Numbered(1, 4), 1, 3, 255, clNone);
  ASSERT_TRUE(parts);
  EXPECT_EQ((*parts)[1].Height(), 2);
  EXPECT_EQ(At((*parts)[2], 0, 0), Origin(0, 3));
}

TEST(SplitImageHor, GivesBothSidesOfTheColumn) {
  auto halves = SplitImageHor(Numbered(5, 1), 2);
  ASSERT_TRUE(halves);
  EXPECT_EQ(halves->first.Width(), 2);
  EXPECT_EQ(At(halves->second, 0, 0), Origin(2, 0));
  EXPECT_FALSE(SplitImageHor(Numbered(5, 1), 6));
}

TEST(Hsl, ConvertsHandComputedColours) {
  struct Case {
    TRgb rgb;
    double h, s, l;
  };
  const Case cases[] = {
      {{255, 0, 0}, 0, 100, 50},     {{0, 255, 0}, 120, 100, 50},
      {{0, 0, 255}, 240, 100, 50},   {{255, 0, 255}, 300, 100, 50},
      {{0, 0, 0}, 0, 0, 0},          {{255, 255, 255}, 0, 0, 100},
      {{64, 128, 128}, 180, 100.0 / 3, 37.647058823529},
  };
  for (const auto& c : cases) {
    THsl hsl = RgbToHsl(c.rgb);
    EXPECT_NEAR(hsl.H, c.h, 1e-9);
    EXPECT_NEAR(hsl.S, c.s, 1e-9);
    EXPECT_NEAR(hsl.L, c.l, 1e-9);
  }
}

TEST(Hsl, BackToRgbRoundsHalvesToEven) {
  struct Case {
    double h, s, l;
    TRgb expected;
  };
  const Case cases[] = {
      {10, 100, 50, {255, 42, 0}},    // 4.25 * 10 = 42.5 -> 42
      {30, 100, 50, {255, 128, 0}},   // 127.5 -> 128
      {10, 50, 50, {192, 85, 64}},    // 255 - 127 * 0.5 = 191.5 -> 192
      {10, 100, 75, {255, 148, 128}}, // 42 + 0.5 * 213 = 148.5 -> 148
      {10, 100, 25, {128, 21, 0}},    // 255 * 0.5 = 127.5 -> 128
      {200, 100, 50, {0, 170, 255}},
      {330, 100, 50, {255, 0, 128}},  // 255 - 127.5 = 127.5 -> 128
      {360, 100, 50, {0, 0, 0}},      // hue out of range gives black
      {-1, 100, 50, {0, 0, 0}},
      {10, 101, 50, {0, 0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(HslToRgb(c.h, c.s, c.l), c.expected) << c.h << "/" << c.l;
}

TEST(Colorize, TakesTheTintsHueAndSaturationAndThePixelsLightness) {
  // Grey 128 has lightness 50.196: f * 255 = 1 lifts the zero channels to 1.
  EXPECT_EQ(ColorizePixel({128, 128, 128}, 0x0000FF), (TRgb{255, 1, 1}));
  EXPECT_EQ(ColorizePixel({0, 0, 0}, 0xFF0000), (TRgb{0, 0, 0}));

  TPngImage image = Numbered(2, 2);
  test::Set(image, 1, 1, {10, 20, 30, 200});
  EXPECT_EQ(ColorizeImage(image, clNone, 255), image);
  TPngImage faded = ColorizeImage(image, clNone, 100);
  EXPECT_EQ(At(faded, 1, 1), (Bgra{10, 20, 30, 78}));  // 100 * 200 div 255

  TQuorBitmap bitmap = test::Filled(1, 1, {128, 128, 128, 200});
  ColorizeBitmap(bitmap, 0x0000FF, 128);
  EXPECT_EQ(At(bitmap, 0, 0), (Bgra{1, 1, 255, 100}));
}

TEST(Gray, UsesTheWeightedSumAndKeepsTheMargin) {
  TQuorBitmap bitmap = test::Filled(4, 4, {200, 150, 100, 30});
  GrayBitmapInner(bitmap, 1);
  // trunc(0.3 * 100 + 0.59 * 150 + 0.11 * 200) = trunc(140.5) = 140
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool inner = x >= 1 && x < 3 && y >= 1 && y < 3;
      const Bgra expected = inner ? Bgra{140, 140, 140, 255} : Bgra{200, 150, 100, 30};
      EXPECT_EQ(At(bitmap, x, y), expected);
    }
  GrayBitmap(bitmap);
  EXPECT_EQ(At(bitmap, 0, 0), (Bgra{140, 140, 140, 255}));
}

TEST(AlphaRoutines, SetAndClear) {
  TQuorBitmap bitmap = test::Filled(3, 3, {1, 2, 3, 4});
  SetRectOpaque(bitmap, {2, 2, 10, 10});
  EXPECT_EQ(At(bitmap, 2, 2)[3], 255);
  EXPECT_EQ(At(bitmap, 1, 1)[3], 4);
  SetBitmapOpaque(bitmap);
  EXPECT_EQ(At(bitmap, 0, 0), (Bgra{1, 2, 3, 255}));
  ClearBitmap(bitmap);
  EXPECT_EQ(At(bitmap, 1, 2), (Bgra{0, 0, 0, 0}));

  TPngImage solid = CreateColorImage(2, 1, 0x00332211, 90);
  EXPECT_EQ(At(solid, 1, 0), (Bgra{0x33, 0x22, 0x11, 90}));
  SetImageAlpha(solid, 7);
  EXPECT_EQ(At(solid, 0, 0)[3], 7);
}

TEST(RegionCopies, CopyOnlyWhollyInsideRectangles) {
  TQuorBitmap bitmap(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) test::Set(bitmap, x, y, {uint8_t(x), uint8_t(y), 7, 9});
  auto image = CopyRectToImage(bitmap, {1, 1, 3, 3});
  ASSERT_TRUE(image);
  EXPECT_EQ(At(*image, 1, 0), (Bgra{2, 1, 7, 9}));
  auto copy = CopyRectToBitmap(bitmap, {0, 0, 4, 3});
  ASSERT_TRUE(copy);
  EXPECT_EQ(At(*copy, 3, 2), (Bgra{3, 2, 7, 9}));
  for (RECT r : {RECT{1, 1, 5, 3}, RECT{-1, 0, 2, 2}, RECT{0, 0, 4, 4}, RECT{2, 2, 2, 3}}) {
    EXPECT_FALSE(CopyRectToImage(bitmap, r));
    EXPECT_FALSE(CopyRectToBitmap(bitmap, r));
  }
  EXPECT_FALSE(CopyRectToImage(TQuorBitmap(), {0, 0, 1, 1}));
}

TEST(RegionCopies, PasteCopiesTheOverlapRaw) {
  TQuorBitmap bitmap = test::Filled(4, 4, {5, 5, 5, 255});
  TPngImage image = Numbered(3, 3);
  test::Set(image, 0, 0, {1, 2, 3, 0});  // transparent pixels are copied too, not blended
  PasteImageToBitmap(bitmap, {1, 1, 3, 4}, image);
  EXPECT_EQ(At(bitmap, 1, 1), (Bgra{1, 2, 3, 0}));
  EXPECT_EQ(At(bitmap, 2, 3), Origin(1, 2));
  EXPECT_EQ(At(bitmap, 3, 1), (Bgra{5, 5, 5, 255}));  // beyond the rectangle's width
  TQuorBitmap untouched = test::Filled(2, 2, {5, 5, 5, 255});
  PasteImageToBitmap(untouched, {0, 0, 3, 2}, image);  // right edge beyond the bitmap
  EXPECT_EQ(At(untouched, 0, 0), (Bgra{5, 5, 5, 255}));
}

TEST(RegionCopies, BlendUsesTheConstantOpacityOnAllFourBytes) {
  TQuorBitmap source = test::Filled(1, 1, {255, 0, 100, 255});
  TQuorBitmap dest = test::Filled(2, 1, {0, 255, 100, 0});
  BlendBitmapToBitmap(source, dest, {1, 0, 2, 1}, 51);  // 0.2
  EXPECT_EQ(At(dest, 1, 0), (Bgra{51, 204, 100, 51}));
  EXPECT_EQ(At(dest, 0, 0), (Bgra{0, 255, 100, 0}));
  BlendBitmapToCanvas(source, dest, {0, 0, 1, 1});
  EXPECT_EQ(At(dest, 0, 0), (Bgra{255, 0, 100, 255}));
  BlendBitmapToBitmap(source, dest, {0, 0, 2, 1}, 255);  // size mismatch: nothing
  EXPECT_EQ(At(dest, 1, 0), (Bgra{51, 204, 100, 51}));
}

TEST(DrawImageClipped, CropsALargeImageAndScalesASmallOne) {
  TQuorBitmap canvas(4, 4);
  DrawImageClipped(Numbered(4, 4), canvas, {1, 1, 3, 3});
  EXPECT_EQ(At(canvas, 2, 2), Origin(1, 1));
  EXPECT_EQ(At(canvas, 3, 3), (Bgra{0, 0, 0, 0}));
  DrawImageClipped(Numbered(1, 1), canvas, {0, 0, 4, 4});
  EXPECT_EQ(At(canvas, 3, 3), Origin(0, 0));
}

TEST(RepairTextAlpha, OpaqueWhereColourChangedAndSquaredWhereOnlyAlphaWasCleared) {
  TQuorBitmap reference = test::Filled(3, 1, {10, 20, 30, 200});
  TQuorBitmap drawn = test::Filled(3, 1, {10, 20, 30, 200});
  test::Set(drawn, 0, 0, {99, 20, 30, 0});  // text pixel in another colour
  test::Set(drawn, 1, 0, {10, 20, 30, 0});  // text pixel in the background's own colour
  RepairTextAlpha(drawn, reference);
  EXPECT_EQ(At(drawn, 0, 0), (Bgra{99, 20, 30, 255}));
  EXPECT_EQ(At(drawn, 1, 0), (Bgra{10, 20, 30, 157}));  // rnd(200 * 200 / 255) = 157
  EXPECT_EQ(At(drawn, 2, 0), (Bgra{10, 20, 30, 200}));
}

TEST(KeyRepeat, FollowsTheKeyboardSettings) {
  const int delays[][2] = {{0, 200}, {1, 400}, {3, 800}};
  for (auto [setting, ms] : delays) EXPECT_EQ(KeyRepeatDelayFor(setting), ms);
  const int intervals[][2] = {{0, 435}, {31, 14}, {9, 43}};  // 1000 / 23 = 43.48
  for (auto [setting, ms] : intervals) EXPECT_EQ(KeyRepeatIntervalFor(setting), ms);
  EXPECT_GE(KeyRepeatDelay(), 200);
  EXPECT_GE(KeyRepeatInterval(), 14);
}

}  // namespace
}  // namespace quor
