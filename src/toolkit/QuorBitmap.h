#pragma once
// The 32-bit drawing surface: blue, green, red, alpha per pixel, premultiplied,
// held in a top-down DIB section so that GDI text and UpdateLayeredWindow can use it.

#include <windows.h>

#include <cstdint>
#include <utility>

#include "toolkit/GdiHandles.h"

namespace quor {

class TQuorBitmap {
 public:
  TQuorBitmap() = default;
  TQuorBitmap(int width, int height) { SetSize(width, height); }
  ~TQuorBitmap() { SetSize(0, 0); }
  TQuorBitmap(TQuorBitmap&& other) noexcept { *this = std::move(other); }
  TQuorBitmap& operator=(TQuorBitmap&& other) noexcept;
  TQuorBitmap(const TQuorBitmap&) = delete;
  TQuorBitmap& operator=(const TQuorBitmap&) = delete;

  // Resizes and clears to transparent black; false when the DIB cannot be created.
  bool SetSize(int width, int height);
  void CopyFrom(const TQuorBitmap& other);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
  uint8_t* Pixel(int x, int y) { return FBits + (size_t(y) * FWidth + x) * 4; }
  const uint8_t* Pixel(int x, int y) const { return FBits + (size_t(y) * FWidth + x) * 4; }
  size_t ByteCount() const { return size_t(FWidth) * FHeight * 4; }

  // A memory device context with the bitmap selected (the bitmap's "canvas").
  HDC Dc() const { return FDc.Get(); }

 private:
  int FWidth = 0;
  int FHeight = 0;
  uint8_t* FBits = nullptr;
  UniqueMemoryDc FDc;
  UniqueGdiObject FBitmap;
  HGDIOBJ FOldBitmap = nullptr;
};

}  // namespace quor
