#pragma once
// The totals line under the program list, as coloured text segments.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quor {

inline constexpr COLORREF kTotalsTextColor = RGB(56, 56, 56);
inline constexpr COLORREF kTotalsCountColor = RGB(228, 113, 0);
inline constexpr COLORREF kTotalsSizeColor = RGB(49, 109, 30);

struct TTotalsSegment {
  std::wstring Text;
  COLORREF Color = kTotalsTextColor;
  int SizeDelta = 0;  // added to the window font's size
  bool operator==(const TTotalsSegment&) const = default;
};

// Splits the translated template ("%d programs of %s size in total") around
// its "%d" and the later "%s" and puts the count and the size text in their
// places, each in its own colour; empty segments are left out. A template
// without "%d" followed by "%s" gives no segments: the line stays empty.
std::vector<TTotalsSegment> TotalsSegments(const std::wstring& totalsTemplate, int64_t count,
                                           const std::wstring& sizeText);

// The line while a search hides rows ("%d of %d programs shown, %s size in
// total"): split as above with `total` as the count, then the first "%d"
// left before it takes the number shown, in the count's colour. Without that
// first "%d" the line is the plain totals line of `shown` programs.
std::vector<TTotalsSegment> ShownSegments(const std::wstring& shownTemplate, int64_t shown,
                                          int64_t total, const std::wstring& sizeText);

}  // namespace quor
