#include "toolkit/QuorIcon.h"

#include <gtest/gtest.h>

#include <vector>

namespace quor {
namespace {

// An 8 x 8 icon whose colour pixels come from `bgra` (top-down rows) and whose
// mask sets the left half transparent for icons that carry no alpha.
HICON MakeIcon(const std::vector<uint32_t>& bgra) {
  BITMAPV5HEADER h{};
  h.bV5Size = sizeof(h);
  h.bV5Width = 8;
  h.bV5Height = -8;
  h.bV5Planes = 1;
  h.bV5BitCount = 32;
  h.bV5Compression = BI_RGB;
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  HBITMAP colour = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
  ::ReleaseDC(nullptr, screen);
  memcpy(bits, bgra.data(), 8 * 8 * 4);
  // Monochrome rows are word-aligned: one byte of pixels, one of padding.
  uint8_t maskBits[16];
  for (int y = 0; y < 8; ++y) {
    maskBits[y * 2] = 0xF0;  // bits set on the left four pixels
    maskBits[y * 2 + 1] = 0;
  }
  HBITMAP mask = ::CreateBitmap(8, 8, 1, 1, maskBits);
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = ::CreateIconIndirect(&info);
  ::DeleteObject(colour);
  ::DeleteObject(mask);
  return icon;
}

TEST(QuorIconTest, AlphaComesFromTheIconOrElseFromItsMask) {
  const struct {
    const char* What;
    uint32_t Pixel;         // every colour pixel, 0xAARRGGBB
    uint8_t LeftAlpha, RightAlpha;
  } cases[] = {
      {"an icon with alpha keeps it, mask or not", 0x80204060u, 0x80, 0x80},
      {"an icon without alpha takes the mask", 0x00204060u, 0, 255},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    HICON icon = MakeIcon(std::vector<uint32_t>(64, c.Pixel));
    ASSERT_NE(icon, nullptr);
    const auto image = ImageFromIcon(icon);
    ::DestroyIcon(icon);
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->Width(), 8);
    ASSERT_EQ(image->Height(), 8);
    const uint8_t* left = image->Pixel(1, 3);
    const uint8_t* right = image->Pixel(6, 3);
    EXPECT_EQ(left[3], c.LeftAlpha);
    EXPECT_EQ(right[3], c.RightAlpha);
    EXPECT_EQ(right[0], 0x60);  // blue
    EXPECT_EQ(right[1], 0x40);  // green
    EXPECT_EQ(right[2], 0x20);  // red
  }
}

TEST(QuorIconTest, NoIconGivesNothing) {
  EXPECT_FALSE(ImageFromIcon(nullptr).has_value());
  EXPECT_FALSE(SmallIconOfFile(L"C:\\no such folder\\nothing.exe", 0).has_value());
  EXPECT_FALSE(SmallIconOfFile(L"", 0).has_value());
}

}  // namespace
}  // namespace quor
