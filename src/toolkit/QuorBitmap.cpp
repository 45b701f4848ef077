#include "toolkit/QuorBitmap.h"

#include <cstring>

namespace quor {

TQuorBitmap& TQuorBitmap::operator=(TQuorBitmap&& other) noexcept {
  if (this == &other) return *this;
  SetSize(0, 0);
  FDc = std::move(other.FDc);
  FBitmap = std::move(other.FBitmap);
  FOldBitmap = std::exchange(other.FOldBitmap, nullptr);
  FBits = std::exchange(other.FBits, nullptr);
  FWidth = std::exchange(other.FWidth, 0);
  FHeight = std::exchange(other.FHeight, 0);
  return *this;
}

bool TQuorBitmap::SetSize(int width, int height) {
  // The DC must let go of the old bitmap before the bitmap is deleted.
  if (FDc && FOldBitmap) ::SelectObject(FDc.Get(), FOldBitmap);
  FOldBitmap = nullptr;
  FBitmap.Reset();
  FBits = nullptr;
  FWidth = FHeight = 0;
  if (width <= 0 || height <= 0) return width == 0 || height == 0;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib || !bits) return false;
  FBitmap.Reset(dib);
  if (!FDc) FDc.Reset(::CreateCompatibleDC(nullptr));
  if (FDc) FOldBitmap = ::SelectObject(FDc.Get(), dib);
  FBits = static_cast<uint8_t*>(bits);
  FWidth = width;
  FHeight = height;
  std::memset(FBits, 0, ByteCount());
  return true;
}

void TQuorBitmap::CopyFrom(const TQuorBitmap& other) {
  if (FWidth != other.FWidth || FHeight != other.FHeight) SetSize(other.FWidth, other.FHeight);
  if (!Empty() && FWidth == other.FWidth && FHeight == other.FHeight) {
    ::GdiFlush();
    std::memcpy(FBits, other.FBits, ByteCount());
  }
}

}  // namespace quor
