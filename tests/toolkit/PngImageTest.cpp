#include <gtest/gtest.h>

#include "toolkit/PngImage.h"
#include "toolkit/QuorUtils.h"
#include "PixelFixtures.h"

namespace quor {
namespace {

using test::At;
using test::Bgra;

// 2x1 RGBA: opaque red, half-transparent blue.
const uint8_t kRgbaPng[] = {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xf4, 0x22, 0x7f, 0x8a, 0x00, 0x00, 0x00, 0x0e, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0x00, 0x42, 0x0d, 0x00, 0x0f, 0x7a, 0x03, 0x7e, 0x77, 0xe9, 0x7f, 0x97, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
// 1x2 RGB without alpha: (10,20,30) over (40,50,60).
const uint8_t kRgbPng[] = {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0x16, 0xe3, 0x21, 0x70, 0x00, 0x00, 0x00, 0x10, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xe0, 0x12, 0x91, 0x63, 0xd0, 0x30, 0xb2, 0x01, 0x00, 0x02, 0x74, 0x00, 0xd3, 0x7e, 0x4c, 0x63, 0x1a, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

TEST(PngImage, DecodesRgbaAndRgbIntoBlueGreenRedAlpha) {
  auto rgba = TPngImage::FromMemory(kRgbaPng);
  ASSERT_TRUE(rgba);
  EXPECT_TRUE(rgba->HasAlpha());
  EXPECT_EQ(At(*rgba, 0, 0), (Bgra{0, 0, 255, 255}));
  EXPECT_EQ(At(*rgba, 1, 0), (Bgra{255, 0, 0, 128}));

  auto rgb = TPngImage::FromMemory(kRgbPng);
  ASSERT_TRUE(rgb);
  EXPECT_FALSE(rgb->HasAlpha());
  EXPECT_EQ(rgb->Width(), 1);
  EXPECT_EQ(At(*rgb, 0, 1), (Bgra{60, 50, 40, 255}));
}

TEST(PngImage, MalformedInputGivesNothing) {
  const std::vector<uint8_t> truncated(std::begin(kRgbaPng), std::begin(kRgbaPng) + 50);
  std::vector<uint8_t> corrupt(std::begin(kRgbaPng), std::end(kRgbaPng));
  corrupt[45] ^= 0xFF;  // inside the compressed data
  const std::vector<uint8_t> notPng = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
  for (const auto& data : {truncated, corrupt, notPng, std::vector<uint8_t>{}})
    EXPECT_FALSE(TPngImage::FromMemory(data));
  EXPECT_FALSE(TPngImage::FromFile(L"C:\\no\\such\\skin.png"));
  EXPECT_FALSE(TPngImage::FromResource(nullptr, L"NO_SUCH_SKIN"));
}

struct ComposeCase {
  Bgra src, dst, expected;
};

TEST(ImageDraw, ComposesSourceOverWithRounding) {
  const ComposeCase cases[] = {
      {{200, 10, 0, 0}, {1, 2, 3, 4}, {1, 2, 3, 4}},            // alpha 0 leaves it
      {{200, 10, 0, 255}, {1, 2, 3, 4}, {200, 10, 0, 255}},     // alpha 255 replaces it
      // (128*200 + 127*100 + 127) div 255 = 150; alpha 255 - (0*127 + 127) div 255 = 255
      {{200, 200, 200, 128}, {100, 100, 100, 255}, {150, 150, 150, 255}},
      // onto transparent black: 25727 div 255 = 100; alpha 255 - 32512 div 255 = 128
      {{200, 0, 255, 128}, {0, 0, 0, 0}, {100, 0, 128, 128}},
  };
  for (const auto& c : cases) {
    TPngImage image(1, 1);
    test::Set(image, 0, 0, c.src);
    TQuorBitmap bitmap = test::Filled(1, 1, c.dst);
    image.Draw(bitmap, 0, 0);
    EXPECT_EQ(At(bitmap, 0, 0), c.expected);
  }
}

TEST(ImageDraw, ScalesByNearestNeighbourTruncating) {
  TPngImage image = test::Numbered(2, 2);
  TQuorBitmap bitmap(5, 3);
  image.Draw(bitmap, RECT{0, 0, 5, 3});
  // ratio 2.5: columns 0,0.4,0.8,1.2,1.6 -> 0,0,0,1,1; ratio 1.5: rows 0,0.67,1.33 -> 0,0,1
  const int cols[] = {0, 0, 0, 1, 1}, rows[] = {0, 0, 1};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(At(bitmap, x, y), (Bgra{uint8_t(cols[x]), uint8_t(rows[y]), 100, 255}));
}

TEST(ImageDraw, ClipsAtTheBitmapEdges) {
  TPngImage image = test::Numbered(3, 3);
  TQuorBitmap bitmap(2, 2);
  image.Draw(bitmap, -1, -1);
  EXPECT_EQ(At(bitmap, 0, 0), (Bgra{1, 1, 100, 255}));
  EXPECT_EQ(At(bitmap, 1, 1), (Bgra{2, 2, 100, 255}));
}

}  // namespace
}  // namespace quor
