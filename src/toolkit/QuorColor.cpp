// Tint, greying and alpha routines.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolkit/QuorUtils.h"

namespace quor {

int Rnd(double x) { return int(std::nearbyint(x)); }

THsl RgbToHsl(TRgb rgb) {
  const double r = rgb.R / 255.0, g = rgb.G / 255.0, b = rgb.B / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  THsl out;
  const double l = (mx + mn) / 2;
  double s = 0, h = 0;
  if (mx != mn) {
    const double d = mx - mn;
    s = l >= 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
    double sixths;
    if (r == mx)
      sixths = (g - b) / d;
    else if (g != mx)
      sixths = (r - g) / d + 4;
    else
      sixths = (b - r) / d + 2;
    h = sixths / 6;
    if (h < 0) h += 1;
  }
  out.H = h * 360;
  out.S = s * 100;
  out.L = l * 100;
  return out;
}

TRgb HslToRgb(double h, double s, double l) {
  if (!(h >= 0 && h < 360) || !(s >= 0 && s <= 100) || !(l >= 0 && l <= 100)) return {};
  double c[3];
  if (h <= 60) {
    c[0] = 255, c[1] = Rnd(4.25 * h), c[2] = 0;
  } else if (h <= 120) {
    c[0] = Rnd(255 - 4.25 * (h - 60)), c[1] = 255, c[2] = 0;
  } else if (h <= 180) {
    c[0] = 0, c[1] = 255, c[2] = Rnd(4.25 * (h - 120));
  } else if (h <= 240) {
    c[0] = 0, c[1] = Rnd(255 - 4.25 * (h - 180)), c[2] = 255;
  } else if (h <= 300) {
    c[0] = Rnd(4.25 * (h - 240)), c[1] = 0, c[2] = 255;
  } else {
    c[0] = 255, c[1] = 0, c[2] = Rnd(255 - 4.25 * (h - 300));
  }
  const double e = std::abs(s - 100) / 100;
  for (double& v : c) v = Rnd(v - (v - 128) * e);
  const double f = (l - 50) / 50;
  for (double& v : c) {
    if (f > 0) v = Rnd(v + f * (255 - v));
    else if (f < 0) v = Rnd(v + f * v);
  }
  auto byte = [](double v) { return uint8_t(std::clamp(v, 0.0, 255.0)); };
  return {byte(c[0]), byte(c[1]), byte(c[2])};
}

TRgb ColorizePixel(TRgb pixel, TColor tint) {
  const THsl t = RgbToHsl({ColorRed(tint), ColorGreen(tint), ColorBlue(tint)});
  const THsl p = RgbToHsl(pixel);
  return HslToRgb(t.H, t.S, p.L);
}

namespace {

void RehuePixel(uint8_t* p, TColor tint) {
  TRgb c = ColorizePixel({p[2], p[1], p[0]}, tint);
  p[0] = c.B;
  p[1] = c.G;
  p[2] = c.R;
}

void GrayPixel(uint8_t* p) {
  const auto v = uint8_t(std::trunc(0.3 * p[2] + 0.59 * p[1] + 0.11 * p[0]));
  p[0] = p[1] = p[2] = v;
  p[3] = 255;
}

}  // namespace

TPngImage ColorizeImage(const TPngImage& image, TColor tint, int alpha) {
  TPngImage out(image.Width(), image.Height());
  const int a = std::clamp(alpha, 0, 255);
  for (int y = 0; y < image.Height(); ++y) {
    std::memcpy(out.Row(y), image.Row(y), size_t(image.Width()) * 4);
    for (int x = 0; x < image.Width(); ++x) {
      uint8_t* p = out.Pixel(x, y);
      if (tint != clNone) RehuePixel(p, tint);
      p[3] = uint8_t(a * p[3] / 255);
    }
  }
  return out;
}

void ColorizeBitmap(TQuorBitmap& bitmap, TColor tint, int alpha) {
  const int a = std::clamp(alpha, 0, 255);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      uint8_t* p = bitmap.Pixel(x, y);
      if (tint != clNone) RehuePixel(p, tint);
      if (a != 255) p[3] = uint8_t(a * p[3] / 255);
    }
}

void GrayBitmap(TQuorBitmap& bitmap) { GrayBitmapInner(bitmap, 0); }

void GrayBitmapInner(TQuorBitmap& bitmap, int margin) {
  const int m = std::max(margin, 0);
  for (int y = m; y < bitmap.Height() - m; ++y)
    for (int x = m; x < bitmap.Width() - m; ++x) GrayPixel(bitmap.Pixel(x, y));
}

void ClearBitmap(TQuorBitmap& bitmap) {
  if (bitmap.Empty()) return;
  ::GdiFlush();
  std::memset(bitmap.Pixel(0, 0), 0, bitmap.ByteCount());
}

void SetBitmapOpaque(TQuorBitmap& bitmap) {
  SetRectOpaque(bitmap, {0, 0, bitmap.Width(), bitmap.Height()});
}

void SetRectOpaque(TQuorBitmap& bitmap, const RECT& rect) {
  const int x0 = std::max<int>(rect.left, 0), x1 = std::min<int>(rect.right, bitmap.Width());
  const int y0 = std::max<int>(rect.top, 0), y1 = std::min<int>(rect.bottom, bitmap.Height());
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) bitmap.Pixel(x, y)[3] = 255;
}

void SetImageAlpha(TPngImage& image, uint8_t alpha) {
  image.EnsureAlpha();
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) image.Pixel(x, y)[3] = alpha;
}

TPngImage CreateColorImage(int width, int height, TColor color, uint8_t alpha) {
  TPngImage out(width, height);
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) {
      uint8_t* p = out.Pixel(x, y);
      p[0] = ColorBlue(color);
      p[1] = ColorGreen(color);
      p[2] = ColorRed(color);
      p[3] = alpha;
    }
  return out;
}

int KeyRepeatDelayFor(int delaySetting) { return delaySetting * 200 + 200; }

int KeyRepeatIntervalFor(int speedSetting) { return Rnd(1000 / ((speedSetting + 1) * 2.3)); }

int KeyRepeatDelay() {
  int setting = 1;
  if (!::SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &setting, 0)) setting = 1;
  return KeyRepeatDelayFor(std::clamp(setting, 0, 3));
}

int KeyRepeatInterval() {
  DWORD setting = 31;
  if (!::SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &setting, 0)) setting = 31;
  return KeyRepeatIntervalFor(int(std::min<DWORD>(setting, 31)));
}

}  // namespace quor
