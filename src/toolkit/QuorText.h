#pragma once
// Fonts and text on 32-bit surfaces. GDI text clears the alpha of what it
// writes, so text goes through a copy of the region and RepairTextAlpha.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "toolkit/GdiHandles.h"
#include "toolkit/QuorUtils.h"

namespace quor {

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFontSpec {
  std::wstring Name = L"Tahoma";
  BYTE Charset = DEFAULT_CHARSET;
  int Size = 8;  // points
  uint8_t Style = 0;
  TColor Color = 0x000000;
  bool operator==(const TFontSpec&) const = default;
};

// A font value with its GDI font created on first use.
class TQuorFont {
 public:
  TQuorFont() = default;
  TQuorFont(TFontSpec spec) : FSpec(std::move(spec)) {}
  TQuorFont(const TQuorFont& other) : FSpec(other.FSpec) {}
  TQuorFont& operator=(const TQuorFont& other) {
    Assign(other.FSpec);
    return *this;
  }

  const TFontSpec& Spec() const { return FSpec; }
  TColor Color() const { return FSpec.Color; }
  // Returns whether anything changed.
  bool Assign(const TFontSpec& spec);
  HFONT Handle() const;

 private:
  TFontSpec FSpec;
  mutable UniqueGdiObject FHandle;
};

// DrawTextW flags; every toolkit format ends in an ellipsis.
inline constexpr UINT kTextLeft = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
inline constexpr UINT kTextRight = DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
inline constexpr UINT kTextCenter = DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
inline constexpr UINT kTextWrap = DT_LEFT | DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX;

SIZE MeasureText(const std::wstring& text, const TQuorFont& font);

// The text steps: copy the region, draw the text on the copy, repair its
// alpha against the untouched copy, and put it back with `opacity`.
void DrawSurfaceText(TQuorBitmap& surface, const RECT& rect, const std::wstring& text,
                     const TQuorFont& font, UINT format, int opacity = 255);
// The same, reading the background from `background` (a clean skin) instead of the surface.
void DrawSurfaceTextFrom(const TQuorBitmap& background, TQuorBitmap& surface, const RECT& rect,
                         const std::wstring& text, const TQuorFont& font, UINT format);

// RGBA image of the region with the text; unchanged pixels become transparent.
std::optional<TPngImage> RenderTextImage(const TQuorBitmap& bitmap, const std::wstring& text,
                                         const TQuorFont& font, const RECT& rect,
                                         UINT format = DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS |
                                                       DT_NOPREFIX);

}  // namespace quor
