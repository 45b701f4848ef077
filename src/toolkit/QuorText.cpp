#include "toolkit/QuorText.h"

#include <algorithm>
#include <cstring>

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

SIZE MeasureText(const std::wstring& text, const TQuorFont& font) {
  SIZE size{0, 0};
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!dc) return size;
  SelectGuard guard(dc.Get(), font.Handle());
  if (text.empty()) {
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc.Get(), &tm);
    size.cy = tm.tmHeight;
    return size;
  }
  ::GetTextExtentPoint32W(dc.Get(), text.c_str(), int(text.size()), &size);
  return size;
}

namespace {

void DrawTextOn(TQuorBitmap& target, const std::wstring& text, const TQuorFont& font, UINT format) {
  if (!target.Dc()) return;
  SelectGuard guard(target.Dc(), font.Handle());
  ::SetBkMode(target.Dc(), TRANSPARENT);
  const TColor c = font.Color();
  ::SetTextColor(target.Dc(), RGB(ColorRed(c), ColorGreen(c), ColorBlue(c)));
  RECT box{0, 0, target.Width(), target.Height()};
  std::wstring copy = text;  // DT_END_ELLIPSIS may write into the buffer with DT_MODIFYSTRING
  ::DrawTextW(target.Dc(), copy.data(), int(copy.size()), &box, format);
  ::GdiFlush();
}

RECT ClipTo(const TQuorBitmap& bitmap, const RECT& r) {
  return {std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0),
          std::min<LONG>(r.right, bitmap.Width()), std::min<LONG>(r.bottom, bitmap.Height())};
}

}  // namespace

void DrawSurfaceTextFrom(const TQuorBitmap& background, TQuorBitmap& surface, const RECT& rect,
                         const std::wstring& text, const TQuorFont& font, UINT format) {
  const RECT r = ClipTo(surface, rect);
  auto drawn = CopyRectToBitmap(background, r);
  auto reference = CopyRectToBitmap(background, r);
  if (!drawn || !reference) return;
  DrawTextOn(*drawn, text, font, format);
  RepairTextAlpha(*drawn, *reference);
  BlendBitmapToBitmap(*drawn, surface, r, 255);
}

void DrawSurfaceText(TQuorBitmap& surface, const RECT& rect, const std::wstring& text,
                     const TQuorFont& font, UINT format, int opacity) {
  const RECT r = ClipTo(surface, rect);
  auto drawn = CopyRectToBitmap(surface, r);
  auto reference = CopyRectToBitmap(surface, r);
  if (!drawn || !reference) return;
  DrawTextOn(*drawn, text, font, format);
  RepairTextAlpha(*drawn, *reference);
  BlendBitmapToBitmap(*drawn, surface, r, opacity);
}

std::optional<TPngImage> RenderTextImage(const TQuorBitmap& bitmap, const std::wstring& text,
                                         const TQuorFont& font, const RECT& rect, UINT format) {
  // A region outside the bitmap on any side fails rather than reading past it.
  auto drawn = CopyRectToBitmap(bitmap, rect);
  auto reference = CopyRectToImage(bitmap, rect);
  if (!drawn || !reference) return std::nullopt;
  DrawTextOn(*drawn, text, font, format);
  TPngImage out = *CopyRectToImage(*drawn, {0, 0, drawn->Width(), drawn->Height()});
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) {
      uint8_t* p = out.Pixel(x, y);
      const uint8_t* r = reference->Pixel(x, y);
      const int same = (p[0] == r[0]) + (p[1] == r[1]) + (p[2] == r[2]);
      if (same == 3) p[3] = 0;
      else if (same == 0) p[3] = 255;
    }
  return out;
}

}  // namespace quor
