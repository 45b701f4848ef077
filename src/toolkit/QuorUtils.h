#pragma once
// Pixel routines shared by every skinned control: cutting state strips and
// nine/three-slice skins, tinting, greying, alpha and region work, text on a
// 32-bit surface. None of them touches a window.

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/PngImage.h"
#include "toolkit/QuorBitmap.h"
#include "toolkit/QuorType.h"

namespace quor {

// Nine parts in the order TL, TM, TR, ML, C, MR, BL, BM, BR.
using TNineParts = std::array<TPngImage, 9>;
using TThreeParts = std::array<TPngImage, 3>;

struct THsl {
  double H = 0;  // degrees
  double S = 0;  // 0..100
  double L = 0;  // 0..100
};
struct TRgb {
  uint8_t R = 0, G = 0, B = 0;
  bool operator==(const TRgb&) const = default;
};

// Round to nearest, ties to even.
int Rnd(double x);

std::optional<TPngImage> CutFrameHor(const TPngImage& image, int count, int index);
std::optional<TPngImage> CutFrameVer(const TPngImage& image, int count, int index);

// Every frame of a strip, or none when the strip does not divide into `count`.
std::vector<TPngImage> CutFrames(const TPngImage& strip, int count);
// The frame for a state, falling back to the last one; null without frames.
const TPngImage* StateFrame(const std::vector<TPngImage>& frames, int state);
std::optional<TNineParts> CutNineParts(const TPngImage& image, POINT first, POINT second,
                                       int alpha, TColor tint);
std::optional<TPngImage> BuildNinePartImage(int width, int height, const TNineParts& parts);
void DrawNineParts(TQuorBitmap& bitmap, int width, int height, const TNineParts& parts);

std::optional<TPngImage> StretchThreePartHor(const TPngImage& image, int x1, int x2, int alpha,
                                             TColor tint, int width);
std::optional<TPngImage> StretchThreePartVer(const TPngImage& image, int y1, int y2, int alpha,
                                             TColor tint, int height);
std::optional<TThreeParts> CutThreePartHor(const TPngImage& image, int x1, int x2, int alpha,
                                           TColor tint);
std::optional<TThreeParts> CutThreePartVer(const TPngImage& image, int y1, int y2, int alpha,
                                           TColor tint);
std::optional<std::pair<TPngImage, TPngImage>> SplitImageHor(const TPngImage& image, int x);

// Draws three parts along `rect`: the ends at their size, the middle stretched.
void DrawThreeParts(TQuorBitmap& bitmap, const TThreeParts& parts, const RECT& rect, bool horizontal);
// Shows a bitmap as the whole image of a layered window at `pos`, with a
// constant opacity on top of the per-pixel alpha.
bool PresentLayered(HWND window, const TQuorBitmap& bitmap, POINT pos, int alpha);
// The same at the window's current position.
bool PresentLayered(HWND window, const TQuorBitmap& bitmap, int alpha);
THsl RgbToHsl(TRgb rgb);
TRgb HslToRgb(double h, double s, double l);
TRgb ColorizePixel(TRgb pixel, TColor tint);

TPngImage ColorizeImage(const TPngImage& image, TColor tint, int alpha);
void ColorizeBitmap(TQuorBitmap& bitmap, TColor tint, int alpha);
void GrayBitmap(TQuorBitmap& bitmap);
void GrayBitmapInner(TQuorBitmap& bitmap, int margin);

void ClearBitmap(TQuorBitmap& bitmap);
void SetBitmapOpaque(TQuorBitmap& bitmap);
void SetRectOpaque(TQuorBitmap& bitmap, const RECT& rect);
// Fills a rectangle (clipped to the bitmap) with an opaque colour.
void FillRectOpaque(TQuorBitmap& bitmap, const RECT& rect, TColor color);
void SetImageAlpha(TPngImage& image, uint8_t alpha);
TPngImage CreateColorImage(int width, int height, TColor color, uint8_t alpha);

std::optional<TPngImage> CopyRectToImage(const TQuorBitmap& bitmap, const RECT& rect);
std::optional<TQuorBitmap> CopyRectToBitmap(const TQuorBitmap& bitmap, const RECT& rect);
void PasteImageToBitmap(TQuorBitmap& bitmap, const RECT& rect, const TPngImage& image);
void BlendBitmapToBitmap(const TQuorBitmap& source, TQuorBitmap& dest, const RECT& rect,
                         int opacity);
// Copies the pixels of `from` (a rectangle of `source`) to `dest` at `at`;
// whatever lies outside either bitmap is left out.
void CopyBitmapRect(const TQuorBitmap& source, const RECT& from, TQuorBitmap& dest, POINT at);
void BlendBitmapToCanvas(const TQuorBitmap& source, TQuorBitmap& canvas, const RECT& rect);
void DrawImageClipped(const TPngImage& image, TQuorBitmap& canvas, const RECT& rect);

void DrawTiledHor(TQuorBitmap& bitmap, const TPngImage& image, const RECT& rect);
void DrawTiledVer(TQuorBitmap& bitmap, const TPngImage& image, const RECT& rect);
void DrawTiled(TQuorBitmap& bitmap, const TPngImage& image, const RECT& rect);

// Restores the alpha of pixels that GDI text drawing wrote (it clears alpha).
void RepairTextAlpha(TQuorBitmap& drawn, const TQuorBitmap& reference);
// The same over the top-left width x height of both.
void RepairTextAlpha(TQuorBitmap& drawn, const TQuorBitmap& reference, int width, int height);

int KeyRepeatDelayFor(int delaySetting);
int KeyRepeatIntervalFor(int speedSetting);
int KeyRepeatDelay();
int KeyRepeatInterval();

}  // namespace quor
