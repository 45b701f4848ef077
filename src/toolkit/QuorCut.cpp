// Cutting state strips and nine/three-slice skins, and assembling them again.
#include <algorithm>
#include <cstring>

#include "toolkit/QuorUtils.h"

namespace quor {
namespace {

bool ValidAlpha(int alpha) { return alpha >= 0 && alpha <= 255; }

// Copies [x0, x1) x [y0, y1) with the alpha factor and tint of the slicing routines.
TPngImage CopyPart(const TPngImage& src, int x0, int y0, int x1, int y1, int alpha, TColor tint) {
  TPngImage part(std::max(x1 - x0, 0), std::max(y1 - y0, 0));
  for (int y = 0; y < part.Height(); ++y) {
    std::memcpy(part.Row(y), src.Pixel(x0, y0 + y), size_t(part.Width()) * 4);
    if (alpha == 255 && tint == clNone) continue;
    for (int x = 0; x < part.Width(); ++x) {
      uint8_t* p = part.Pixel(x, y);
      if (alpha != 255) p[3] = uint8_t(p[3] * alpha / 255);
      if (tint != clNone) {
        TRgb c = ColorizePixel({p[2], p[1], p[0]}, tint);
        p[0] = c.B;
        p[1] = c.G;
        p[2] = c.R;
      }
    }
  }
  return part;
}

// Plain copy (colour and alpha) of a whole part into a destination image.
void PutPart(TPngImage& dst, const TPngImage& part, int left, int top) {
  for (int y = 0; y < part.Height(); ++y) {
    int dy = top + y;
    if (dy < 0 || dy >= dst.Height()) continue;
    for (int x = 0; x < part.Width(); ++x) {
      int dx = left + x;
      if (dx < 0 || dx >= dst.Width()) continue;
      std::memcpy(dst.Pixel(dx, dy), part.Pixel(x, y), 4);
    }
  }
}

// Fills [left, right) x [top, top + part.Height()) with the part's columns repeated.
void PutWrappedHor(TPngImage& dst, const TPngImage& part, int left, int right, int top) {
  if (part.Empty()) return;
  for (int y = 0; y < part.Height(); ++y) {
    int dy = top + y;
    if (dy < 0 || dy >= dst.Height()) continue;
    for (int x = std::max(left, 0); x < std::min(right, dst.Width()); ++x)
      std::memcpy(dst.Pixel(x, dy), part.Pixel((x - left) % part.Width(), y), 4);
  }
}

}  // namespace

std::optional<TPngImage> CutFrameHor(const TPngImage& image, int count, int index) {
  if (image.Empty() || count <= 0 || index < 0 || index >= count || image.Width() % count != 0)
    return std::nullopt;
  const int frame = image.Width() / count;
  TPngImage result = CopyPart(image, index * frame, 0, (index + 1) * frame, image.Height(), 255,
                              clNone);
  return result;
}

std::optional<TPngImage> CutFrameVer(const TPngImage& image, int count, int index) {
  if (image.Empty() || count <= 0 || index < 0 || index >= count || image.Height() % count != 0)
    return std::nullopt;
  const int frame = image.Height() / count;
  return CopyPart(image, 0, index * frame, image.Width(), (index + 1) * frame, 255, clNone);
}

std::optional<TNineParts> CutNineParts(const TPngImage& image, POINT a, POINT b, int alpha,
                                       TColor tint) {
  auto inside = [&](POINT p) {
    return p.x >= 0 && p.x < image.Width() && p.y >= 0 && p.y < image.Height();
  };
  if (image.Empty() || !ValidAlpha(alpha) || a.x >= b.x || a.y >= b.y || !inside(a) || !inside(b))
    return std::nullopt;
  const int xs[4] = {0, int(a.x), int(b.x), image.Width()};
  const int ys[4] = {0, int(a.y), int(b.y), image.Height()};
  TNineParts parts;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      parts[size_t(row * 3 + col)] =
          CopyPart(image, xs[col], ys[row], xs[col + 1], ys[row + 1], alpha, tint);
  return parts;
}

std::optional<TPngImage> BuildNinePartImage(int width, int height, const TNineParts& p) {
  const TPngImage &tl = p[0], &tm = p[1], &tr = p[2], &ml = p[3], &c = p[4], &mr = p[5];
  const TPngImage &bl = p[6], &bm = p[7], &br = p[8];
  if (width < tl.Width() + tr.Width() + 1 || height < tl.Height() + bl.Height() + 1)
    return std::nullopt;
  TPngImage out(width, height);
  PutPart(out, tl, 0, 0);
  PutPart(out, tr, width - tr.Width(), 0);
  PutPart(out, bl, 0, height - bl.Height());
  PutPart(out, br, width - br.Width(), height - bl.Height());
  PutWrappedHor(out, tm, tl.Width(), width - tr.Width(), 0);
  PutWrappedHor(out, bm, bl.Width(), width - br.Width(), height - bl.Height());
  for (int y = tl.Height(); y < height - bl.Height(); ++y) {
    const int k = y - tl.Height();
    auto copyRow = [&](const TPngImage& part, int left, int right) {
      if (part.Empty()) return;
      const int sy = k % part.Height();
      for (int x = std::max(left, 0); x < std::min(right, width); ++x)
        std::memcpy(out.Pixel(x, y), part.Pixel((x - left) % part.Width(), sy), 4);
    };
    copyRow(ml, 0, ml.Width());
    copyRow(mr, width - mr.Width(), width);
    copyRow(c, ml.Width(), width - mr.Width());
  }
  return out;
}

void DrawNineParts(TQuorBitmap& bitmap, int w, int h, const TNineParts& p) {
  if (bitmap.Width() != w || bitmap.Height() != h) bitmap.SetSize(w, h);
  ClearBitmap(bitmap);
  const TPngImage &tl = p[0], &tm = p[1], &tr = p[2], &ml = p[3], &c = p[4], &mr = p[5];
  const TPngImage &bl = p[6], &bm = p[7], &br = p[8];
  tl.Draw(bitmap, 0, 0);
  bl.Draw(bitmap, 0, h - bl.Height());
  tr.Draw(bitmap, w - tr.Width(), 0);
  br.Draw(bitmap, w - br.Width(), h - br.Height());
  DrawTiledHor(bitmap, tm, {tl.Width(), 0, w - tr.Width(), tm.Height()});
  DrawTiledVer(bitmap, ml, {0, tl.Height(), ml.Width(), h - bl.Height()});
  DrawTiledVer(bitmap, mr, {w - mr.Width(), tr.Height(), w, h - br.Height()});
  DrawTiledHor(bitmap, bm, {bl.Width(), h - bm.Height(), w - br.Width(), h});
  DrawTiled(bitmap, c, {ml.Width(), tm.Height(), w - mr.Width(), h - bm.Height()});
}

std::optional<TThreeParts> CutThreePartHor(const TPngImage& image, int x1, int x2, int alpha,
                                           TColor tint) {
  // A split beyond the image's right edge would read outside it.
  if (image.Empty() || !ValidAlpha(alpha) || x1 <= 0 || x2 <= 0 || x2 < x1 ||
      image.Width() < x2)
    return std::nullopt;
  const int h = image.Height();
  return TThreeParts{CopyPart(image, 0, 0, x1, h, alpha, tint),
                     CopyPart(image, x1, 0, x2, h, alpha, tint),
                     CopyPart(image, x2, 0, image.Width(), h, alpha, tint)};
}

std::optional<TThreeParts> CutThreePartVer(const TPngImage& image, int y1, int y2, int alpha,
                                           TColor tint) {
  if (image.Empty() || !ValidAlpha(alpha) || y1 <= 0 || y2 <= 0 || y2 < y1 ||
      image.Height() < y2)
    return std::nullopt;
  const int w = image.Width();
  return TThreeParts{CopyPart(image, 0, 0, w, y1, alpha, tint),
                     CopyPart(image, 0, y1, w, y2, alpha, tint),
                     CopyPart(image, 0, y2, w, image.Height(), alpha, tint)};
}

std::optional<TPngImage> StretchThreePartHor(const TPngImage& image, int x1, int x2, int alpha,
                                             TColor tint, int width) {
  auto parts = CutThreePartHor(image, x1, x2, alpha, tint);
  if (!parts || width <= 0) return std::nullopt;
  const auto& [left, middle, right] = *parts;
  TPngImage out(width, image.Height());
  PutWrappedHor(out, middle, left.Width(), width - right.Width(), 0);
  PutPart(out, left, 0, 0);
  PutPart(out, right, width - right.Width(), 0);
  return out;
}

std::optional<TPngImage> StretchThreePartVer(const TPngImage& image, int y1, int y2, int alpha,
                                             TColor tint, int height) {
  auto parts = CutThreePartVer(image, y1, y2, alpha, tint);
  if (!parts || height <= 0) return std::nullopt;
  const auto& [top, middle, bottom] = *parts;
  TPngImage out(image.Width(), height);
  if (!middle.Empty())
    for (int y = top.Height(); y < height - bottom.Height(); ++y)
      std::memcpy(out.Row(y), middle.Row((y - top.Height()) % middle.Height()),
                  size_t(out.Width()) * 4);
  PutPart(out, top, 0, 0);
  PutPart(out, bottom, 0, height - bottom.Height());
  return out;
}

std::optional<std::pair<TPngImage, TPngImage>> SplitImageHor(const TPngImage& image, int x) {
  if (image.Empty() || image.Width() < x || x < 0) return std::nullopt;
  return std::pair{CopyPart(image, 0, 0, x, image.Height(), 255, clNone),
                   CopyPart(image, x, 0, image.Width(), image.Height(), 255, clNone)};
}

std::vector<TPngImage> CutFrames(const TPngImage& strip, int count) {
  std::vector<TPngImage> out;
  for (int i = 0; i < count; ++i) {
    auto frame = CutFrameHor(strip, count, i);
    if (!frame) return {};
    out.push_back(std::move(*frame));
  }
  return out;
}

const TPngImage* StateFrame(const std::vector<TPngImage>& frames, int state) {
  if (frames.empty()) return nullptr;
  return &frames[size_t(std::clamp<int>(state, 0, int(frames.size()) - 1))];
}

void DrawThreeParts(TQuorBitmap& bitmap, const TThreeParts& parts, const RECT& r, bool horizontal) {
  const auto& [first, middle, last] = parts;
  if (horizontal) {
    first.Draw(bitmap, RECT{r.left, r.top, r.left + first.Width(), r.bottom});
    middle.Draw(bitmap, RECT{r.left + first.Width(), r.top, r.right - last.Width(), r.bottom});
    last.Draw(bitmap, RECT{r.right - last.Width(), r.top, r.right, r.bottom});
  } else {
    first.Draw(bitmap, RECT{r.left, r.top, r.right, r.top + first.Height()});
    middle.Draw(bitmap, RECT{r.left, r.top + first.Height(), r.right, r.bottom - last.Height()});
    last.Draw(bitmap, RECT{r.left, r.bottom - last.Height(), r.right, r.bottom});
  }
}

bool PresentLayered(HWND window, const TQuorBitmap& bitmap, POINT pos, int alpha) {
  if (!window || bitmap.Empty()) return false;
  ::GdiFlush();
  POINT origin{0, 0};
  SIZE size{bitmap.Width(), bitmap.Height()};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, BYTE(std::clamp(alpha, 0, 255)), AC_SRC_ALPHA};
  return ::UpdateLayeredWindow(window, nullptr, &pos, &size, bitmap.Dc(), &origin, 0, &blend,
                               ULW_ALPHA) != FALSE;
}

bool PresentLayered(HWND window, const TQuorBitmap& bitmap, int alpha) {
  RECT r{};
  if (!window || !::GetWindowRect(window, &r)) return false;
  return PresentLayered(window, bitmap, {r.left, r.top}, alpha);
}

}  // namespace quor
