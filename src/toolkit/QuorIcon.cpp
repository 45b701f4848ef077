#include "toolkit/QuorIcon.h"

#include <shellapi.h>

#include <vector>

#include "toolkit/GdiHandles.h"

namespace quor {
namespace {

// Top-down 32-bit rows of a bitmap, or nothing.
std::optional<std::vector<uint8_t>> BitmapBits(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint8_t> bits(size_t(width) * height * 4);
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!dc || ::GetDIBits(dc.Get(), bitmap, 0, UINT(height), bits.data(), &info, DIB_RGB_COLORS) == 0)
    return std::nullopt;
  return bits;
}

}  // namespace

std::optional<TPngImage> ImageFromIcon(HICON icon) {
  ICONINFO info{};
  if (!icon || !::GetIconInfo(icon, &info)) return std::nullopt;
  UniqueGdiObject colour(info.hbmColor), mask(info.hbmMask);
  BITMAP bm{};
  if (!info.hbmColor || !::GetObjectW(info.hbmColor, sizeof(bm), &bm)) return std::nullopt;
  const int w = bm.bmWidth, h = bm.bmHeight;
  if (w <= 0 || h <= 0) return std::nullopt;
  auto pixels = BitmapBits(info.hbmColor, w, h);
  if (!pixels) return std::nullopt;
  bool hasAlpha = false;
  for (size_t i = 3; i < pixels->size(); i += 4) hasAlpha = hasAlpha || (*pixels)[i] != 0;
  std::optional<std::vector<uint8_t>> maskBits;
  if (!hasAlpha && info.hbmMask) maskBits = BitmapBits(info.hbmMask, w, h);
  TPngImage image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t at = (size_t(y) * w + x) * 4;
      uint8_t* p = image.Pixel(x, y);
      p[0] = (*pixels)[at];
      p[1] = (*pixels)[at + 1];
      p[2] = (*pixels)[at + 2];
      if (hasAlpha)
        p[3] = (*pixels)[at + 3];
      else
        p[3] = maskBits && (*maskBits)[at] != 0 ? 0 : 255;  // a set mask bit is transparent
    }
  return image;
}

std::optional<TPngImage> SmallIconOfFile(const std::wstring& file, int index) {
  HICON large = nullptr, small = nullptr;
  if (file.empty() || ::ExtractIconExW(file.c_str(), index, &large, &small, 1) == 0) return std::nullopt;
  UniqueIcon largeOwner(large), smallOwner(small);
  if (!small) return std::nullopt;
  return ImageFromIcon(small);
}

}  // namespace quor
