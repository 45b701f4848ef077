#pragma once
// The skin image: 8-bit blue, green, red and alpha per pixel, decoded from PNG.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quor {

class TQuorBitmap;

class TPngImage {
 public:
  TPngImage() = default;
  // A new image is always RGB with alpha; pixels start fully transparent black.
  TPngImage(int width, int height);

  static std::optional<TPngImage> FromMemory(std::span<const uint8_t> data);
  static std::optional<TPngImage> FromFile(const std::wstring& path);
  // A PNG stored as an RCDATA resource of `module` (nullptr: the executable).
  static std::optional<TPngImage> FromResource(HMODULE module, const std::wstring& name);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
  bool HasAlpha() const { return FHasAlpha; }
  // Gives an image decoded without alpha a fully opaque alpha plane.
  void EnsureAlpha() { FHasAlpha = true; }

  // Pixel (x, y) as four bytes: blue, green, red, alpha.
  uint8_t* Pixel(int x, int y) { return &FPixels[(size_t(y) * FWidth + x) * 4]; }
  const uint8_t* Pixel(int x, int y) const { return &FPixels[(size_t(y) * FWidth + x) * 4]; }
  uint8_t* Row(int y) { return Pixel(0, y); }
  const uint8_t* Row(int y) const { return Pixel(0, y); }

  // Draws into `dest` of the bitmap: nearest-neighbour scaling when the sizes differ,
  // then source-over with the image's own alpha.
  void Draw(TQuorBitmap& target, const RECT& dest) const;
  void Draw(TQuorBitmap& target, int x, int y) const {
    Draw(target, RECT{x, y, x + FWidth, y + FHeight});
  }

  bool operator==(const TPngImage&) const = default;

 private:
  int FWidth = 0;
  int FHeight = 0;
  bool FHasAlpha = true;
  std::vector<uint8_t> FPixels;
};

// Source-over of one straight-alpha pixel onto a surface pixel.
void ComposePixel(uint8_t* dest, const uint8_t* src);

}  // namespace quor
