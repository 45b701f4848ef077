#include "app/TotalsLine.h"

#include <regex>

namespace quor {

std::vector<TTotalsSegment> TotalsSegments(const std::wstring& totalsTemplate, int64_t count,
                                           const std::wstring& sizeText) {
  // Greedy groups: with several "%d" or "%s" the last pair that fits is used.
  static const std::wregex pattern(LR"((.*)%d+(.*)%s+(.*))", std::regex_constants::icase);
  std::wsmatch m;
  if (!std::regex_search(totalsTemplate, m, pattern)) return {};
  const TTotalsSegment all[] = {
      {m.str(1), kTotalsTextColor, 0},
      {std::to_wstring(count), kTotalsCountColor, 1},
      {m.str(2), kTotalsTextColor, 0},
      {sizeText, kTotalsSizeColor, 1},
      {m.str(3), kTotalsTextColor, 0},
  };
  std::vector<TTotalsSegment> segments;
  for (const TTotalsSegment& s : all)
    if (!s.Text.empty()) segments.push_back(s);
  return segments;
}

}  // namespace quor
