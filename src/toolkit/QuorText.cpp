#include "toolkit/QuorText.h"

#include <algorithm>
#include <cstring>

#include "base/Text.h"

namespace quor {

bool TQuorFont::Assign(const TFontSpec& spec) {
  if (spec == FSpec) return false;
  const bool sameFace = spec.Name == FSpec.Name && spec.Charset == FSpec.Charset &&
                        spec.Size == FSpec.Size && spec.Style == FSpec.Style;
  FSpec = spec;
  if (!sameFace) FHandle.Reset();
  return true;
}

HFONT TQuorFont::Handle() const {
  if (!FHandle) {
    LOGFONTW lf{};
    // Points to pixels at the screen's 96 dpi, as a form file's font sizes assume.
    lf.lfHeight = -MulDiv(FSpec.Size, 96, 72);
    lf.lfWeight = (FSpec.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (FSpec.Style & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (FSpec.Style & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (FSpec.Style & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = FSpec.Charset;
    lf.lfQuality = ANTIALIASED_QUALITY;
    wcsncpy_s(lf.lfFaceName, FSpec.Name.c_str(), _TRUNCATE);
    FHandle.Reset(::CreateFontIndirectW(&lf));
  }
  return static_cast<HFONT>(FHandle.Get());
}

namespace {

// Reused by every text measurement and drawing on this thread, so that a
// caption costs no new device context or DIB section.
struct TTextScratch {
  UniqueMemoryDc MeasureDc{::CreateCompatibleDC(nullptr)};
  TQuorBitmap Drawn, Reference;

  // Both bitmaps at least w x h; they only grow.
  bool Fit(int w, int h) {
    if (Drawn.Width() >= w && Drawn.Height() >= h) return true;
    const int nw = std::max(w, Drawn.Width()), nh = std::max(h, Drawn.Height());
    return Drawn.SetSize(nw, nh) && Reference.SetSize(nw, nh);
  }
};

TTextScratch& Scratch() {
  thread_local TTextScratch scratch;
  return scratch;
}

}  // namespace

SIZE MeasureText(const std::wstring& text, const TQuorFont& font) {
  SIZE size{0, 0};
  HDC dc = Scratch().MeasureDc.Get();
  if (!dc) return size;
  SelectGuard guard(dc, font.Handle());
  if (text.empty()) {
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    size.cy = tm.tmHeight;
    return size;
  }
  const std::wstring shown = WithoutDirectionOverrides(text);
  ::GetTextExtentPoint32W(dc, shown.c_str(), int(shown.size()), &size);
  return size;
}

namespace {

void DrawTextOn(TQuorBitmap& target, RECT box, const std::wstring& text, const TQuorFont& font,
                UINT format) {
  if (!target.Dc()) return;
  SelectGuard guard(target.Dc(), font.Handle());
  ::SetBkMode(target.Dc(), TRANSPARENT);
  const TColor c = font.Color();
  ::SetTextColor(target.Dc(), RGB(ColorRed(c), ColorGreen(c), ColorBlue(c)));
  // A copy: DT_END_ELLIPSIS may write into the buffer with DT_MODIFYSTRING.
  std::wstring copy = WithoutDirectionOverrides(text);
  ::DrawTextW(target.Dc(), copy.data(), int(copy.size()), &box, format);
  ::GdiFlush();
}

RECT ClipTo(const TQuorBitmap& bitmap, const RECT& r) {
  return {std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0),
          std::min<LONG>(r.right, bitmap.Width()), std::min<LONG>(r.bottom, bitmap.Height())};
}

// Draws text over the part `r` of `background` and puts the result on `surface`
// at `r` with the given opacity; GDI's cleared alpha is repaired on the way.
void DrawTextThroughScratch(const TQuorBitmap& background, TQuorBitmap& surface, const RECT& r,
                            const std::wstring& text, const TQuorFont& font, UINT format,
                            int opacity) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  TTextScratch& scratch = Scratch();
  if (w <= 0 || h <= 0 || !scratch.Fit(w, h)) return;
  CopyBitmapRect(background, r, scratch.Drawn, {0, 0});
  CopyBitmapRect(background, r, scratch.Reference, {0, 0});
  DrawTextOn(scratch.Drawn, {0, 0, w, h}, text, font, format);
  RepairTextAlpha(scratch.Drawn, scratch.Reference, w, h);
  const int o = std::clamp(opacity, 0, 255);
  if (o == 255) {
    CopyBitmapRect(scratch.Drawn, {0, 0, w, h}, surface, {r.left, r.top});
    return;
  }
  for (int y = 0; y < h; ++y) {
    uint8_t* d = surface.Pixel(r.left, r.top + y);
    const uint8_t* s = scratch.Drawn.Pixel(0, y);
    for (int i = 0; i < w * 4; ++i) d[i] = uint8_t((o * s[i] + (255 - o) * d[i]) / 255);
  }
}

}  // namespace

void DrawSurfaceTextFrom(const TQuorBitmap& background, TQuorBitmap& surface, const RECT& rect,
                         const std::wstring& text, const TQuorFont& font, UINT format) {
  const RECT r = ClipTo(surface, rect);
  if (r.right > background.Width() || r.bottom > background.Height()) return;
  DrawTextThroughScratch(background, surface, r, text, font, format, 255);
}

void DrawSurfaceText(TQuorBitmap& surface, const RECT& rect, const std::wstring& text,
                     const TQuorFont& font, UINT format, int opacity) {
  DrawTextThroughScratch(surface, surface, ClipTo(surface, rect), text, font, format, opacity);
}

std::optional<TPngImage> RenderTextImage(const TQuorBitmap& bitmap, const std::wstring& text,
                                         const TQuorFont& font, const RECT& rect, UINT format) {
  // A region outside the bitmap on any side fails rather than reading past it.
  auto drawn = CopyRectToBitmap(bitmap, rect);
  auto reference = CopyRectToImage(bitmap, rect);
  if (!drawn || !reference) return std::nullopt;
  DrawTextOn(*drawn, {0, 0, drawn->Width(), drawn->Height()}, text, font, format);
  TPngImage out = *CopyRectToImage(*drawn, {0, 0, drawn->Width(), drawn->Height()});
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) {
      uint8_t* p = out.Pixel(x, y);
      const uint8_t* r = reference->Pixel(x, y);
      const int same = (p[0] == r[0]) + (p[1] == r[1]) + (p[2] == r[2]);
      if (same == 3)
        p[3] = 0;
      else if (same == 0)
        p[3] = 255;
    }
  return out;
}

}  // namespace quor
