#pragma once
// Small images and bitmaps built pixel by pixel for the toolkit tests.

#include <array>
#include <cstdint>
#include <initializer_list>

#include "toolkit/PngImage.h"
#include "toolkit/QuorBitmap.h"

namespace quor::test {

using Bgra = std::array<uint8_t, 4>;

inline Bgra At(const TPngImage& image, int x, int y) {
  const uint8_t* p = image.Pixel(x, y);
  return {p[0], p[1], p[2], p[3]};
}
inline Bgra At(const TQuorBitmap& bitmap, int x, int y) {
  const uint8_t* p = bitmap.Pixel(x, y);
  return {p[0], p[1], p[2], p[3]};
}
inline void Set(TPngImage& image, int x, int y, Bgra v) {
  for (int i = 0; i < 4; ++i) image.Pixel(x, y)[i] = v[size_t(i)];
}
inline void Set(TQuorBitmap& bitmap, int x, int y, Bgra v) {
  for (int i = 0; i < 4; ++i) bitmap.Pixel(x, y)[i] = v[size_t(i)];
}

// Pixel (x, y) holds blue = x, green = y, red = 100, alpha = 255: every pixel tells its origin.
inline TPngImage Numbered(int width, int height) {
  TPngImage image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) Set(image, x, y, {uint8_t(x), uint8_t(y), 100, 255});
  return image;
}

inline TQuorBitmap Filled(int width, int height, Bgra v) {
  TQuorBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) Set(bitmap, x, y, v);
  return bitmap;
}

}  // namespace quor::test
