// Region copies, blending and tiling on 32-bit surfaces.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolkit/QuorUtils.h"

namespace quor {
namespace {

bool Inside(const TQuorBitmap& bitmap, const RECT& r) {
  return !bitmap.Empty() && r.left >= 0 && r.top >= 0 && r.right <= bitmap.Width() &&
         r.bottom <= bitmap.Height() && r.left < r.right && r.top < r.bottom;
}

}  // namespace

std::optional<TPngImage> CopyRectToImage(const TQuorBitmap& bitmap, const RECT& r) {
  if (!Inside(bitmap, r)) return std::nullopt;
  ::GdiFlush();
  TPngImage out(r.right - r.left, r.bottom - r.top);
  for (int y = 0; y < out.Height(); ++y)
    std::memcpy(out.Row(y), bitmap.Pixel(r.left, r.top + y), size_t(out.Width()) * 4);
  return out;
}

std::optional<TQuorBitmap> CopyRectToBitmap(const TQuorBitmap& bitmap, const RECT& r) {
  if (!Inside(bitmap, r)) return std::nullopt;
  ::GdiFlush();
  TQuorBitmap out;
  if (!out.SetSize(r.right - r.left, r.bottom - r.top)) return std::nullopt;
  for (int y = 0; y < out.Height(); ++y)
    std::memcpy(out.Pixel(0, y), bitmap.Pixel(r.left, r.top + y), size_t(out.Width()) * 4);
  return out;
}

void PasteImageToBitmap(TQuorBitmap& bitmap, const RECT& r, const TPngImage& image) {
  if (r.right > bitmap.Width() || r.bottom > bitmap.Height() || image.Empty()) return;
  const int w = std::min<int>(r.right - r.left, image.Width());
  const int h = std::min<int>(r.bottom - r.top, image.Height());
  ::GdiFlush();
  // A rectangle starting left of or above the bitmap is clipped rather than written outside.
  for (int y = std::max(0, -int(r.top)); y < h; ++y) {
    const int x0 = std::max(0, -int(r.left));
    if (w - x0 > 0)
      std::memcpy(bitmap.Pixel(r.left + x0, r.top + y), image.Pixel(x0, y), size_t(w - x0) * 4);
  }
}

void BlendBitmapToBitmap(const TQuorBitmap& source, TQuorBitmap& dest, const RECT& r,
                         int opacity) {
  if (source.Empty() || source.Width() != r.right - r.left ||
      source.Height() != r.bottom - r.top || !Inside(dest, r))
    return;
  ::GdiFlush();
  const int o = std::clamp(opacity, 0, 255);
  for (int y = 0; y < source.Height(); ++y) {
    uint8_t* d = dest.Pixel(r.left, r.top + y);
    const uint8_t* s = source.Pixel(0, y);
    if (o == 255) {
      std::memcpy(d, s, size_t(source.Width()) * 4);
      continue;
    }
    for (int i = 0; i < source.Width() * 4; ++i) d[i] = uint8_t((o * s[i] + (255 - o) * d[i]) / 255);
  }
}

void CopyBitmapRect(const TQuorBitmap& source, const RECT& from, TQuorBitmap& dest, POINT at) {
  int left = from.left, top = from.top, right = from.right, bottom = from.bottom;
  // Clip to the source, then to the destination.
  const int shiftLeft = std::max({0, -left, -int(at.x)});
  const int shiftTop = std::max({0, -top, -int(at.y)});
  left += shiftLeft, top += shiftTop, at.x += shiftLeft, at.y += shiftTop;
  right = std::min({right, source.Width(), left + dest.Width() - int(at.x)});
  bottom = std::min({bottom, source.Height(), top + dest.Height() - int(at.y)});
  if (right <= left || bottom <= top) return;
  ::GdiFlush();
  for (int y = top; y < bottom; ++y)
    std::memcpy(dest.Pixel(at.x, at.y + (y - top)), source.Pixel(left, y), size_t(right - left) * 4);
}

void FillRectOpaque(TQuorBitmap& bitmap, const RECT& rect, TColor color) {
  const int left = std::max<int>(0, rect.left), top = std::max<int>(0, rect.top);
  const int right = std::min<int>(bitmap.Width(), rect.right), bottom = std::min<int>(bitmap.Height(), rect.bottom);
  if (right <= left || bottom <= top) return;
  ::GdiFlush();
  const uint8_t pixel[4] = {ColorBlue(color), ColorGreen(color), ColorRed(color), 255};
  uint8_t* first = bitmap.Pixel(left, top);
  for (int x = 0; x < right - left; ++x) std::memcpy(first + x * 4, pixel, 4);
  for (int y = top + 1; y < bottom; ++y) std::memcpy(bitmap.Pixel(left, y), first, size_t(right - left) * 4);
}

void BlendBitmapToCanvas(const TQuorBitmap& source, TQuorBitmap& canvas, const RECT& r) {
  BlendBitmapToBitmap(source, canvas, r, 255);
}

void DrawImageClipped(const TPngImage& image, TQuorBitmap& canvas, const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w < 0 || h < 0 || image.Empty()) return;
  if (image.Width() < w || image.Height() < h) {
    image.Draw(canvas, r);
    return;
  }
  ::GdiFlush();
  for (int y = 0; y < h; ++y) {
    const int dy = r.top + y;
    if (dy < 0 || dy >= canvas.Height()) continue;
    for (int x = 0; x < w; ++x) {
      const int dx = r.left + x;
      if (dx < 0 || dx >= canvas.Width()) continue;
      ComposePixel(canvas.Pixel(dx, dy), image.Pixel(x, y));
    }
  }
}

void DrawTiledHor(TQuorBitmap& bitmap, const TPngImage& image, const RECT& r) {
  if (image.Empty()) return;
  for (int x = r.left; x < r.right; x += image.Width())
    image.Draw(bitmap, RECT{x, r.top, std::min<int>(x + image.Width(), r.right), r.bottom});
}

void DrawTiledVer(TQuorBitmap& bitmap, const TPngImage& image, const RECT& r) {
  if (image.Empty()) return;
  for (int y = r.top; y < r.bottom; y += image.Height())
    image.Draw(bitmap, RECT{r.left, y, r.right, std::min<int>(y + image.Height(), r.bottom)});
}

void DrawTiled(TQuorBitmap& bitmap, const TPngImage& image, const RECT& r) {
  if (image.Empty()) return;
  for (int x = r.left; x < r.right; x += image.Width())
    for (int y = r.top; y < r.bottom; y += image.Height())
      image.Draw(bitmap, RECT{x, y, std::min<int>(x + image.Width(), r.right),
                              std::min<int>(y + image.Height(), r.bottom)});
}

void RepairTextAlpha(TQuorBitmap& drawn, const TQuorBitmap& reference) {
  if (drawn.Width() != reference.Width() || drawn.Height() != reference.Height()) return;
  RepairTextAlpha(drawn, reference, drawn.Width(), drawn.Height());
}

void RepairTextAlpha(TQuorBitmap& drawn, const TQuorBitmap& reference, int width, int height) {
  width = std::min({width, drawn.Width(), reference.Width()});
  height = std::min({height, drawn.Height(), reference.Height()});
  ::GdiFlush();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* d = drawn.Pixel(x, y);
      const uint8_t* r = reference.Pixel(x, y);
      if (d[0] != r[0] || d[1] != r[1] || d[2] != r[2]) {
        d[3] = 255;
      } else if (d[3] != r[3]) {
        const double ad = d[3], ar = r[3];
        const double t = (1 - (1 - ad) * (1 - ar)) / 255;
        for (int c = 0; c < 4; ++c)
          d[c] = uint8_t(std::clamp(Rnd(t * r[c] + (1 - t) * d[c]), 0, 255));
      }
    }
}

}  // namespace quor
