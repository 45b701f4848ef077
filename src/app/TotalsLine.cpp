#include "app/TotalsLine.h"

#include <string_view>

namespace quor {
namespace {

bool IsLineEnd(wchar_t c) { return c == L'\n' || c == L'\r' || c == L'\u2028' || c == L'\u2029'; }

bool IsCode(std::wstring_view text, size_t at, wchar_t lower) {
  return at + 1 < text.size() && text[at] == L'%' && (text[at + 1] | 0x20) == lower;
}

size_t RunEnd(std::wstring_view text, size_t from, wchar_t lower) {
  while (from < text.size() && (text[from] | 0x20) == lower) ++from;
  return from;
}

struct TSplit {
  std::wstring_view Before, Between, After;
};

// One line against "(.*)%d+(.*)%s+(.*)", case-insensitive and greedy: the last
// "%s" of the line, and the last "%d" that ends before it. Scans the line a
// constant number of times, so a long translation costs no deep recursion.
std::optional<TSplit> SplitLine(std::wstring_view line) {
  size_t size = line.npos;
  for (size_t at = line.size(); at-- > 0;) {
    if (IsCode(line, at, L's')) {
      size = at;
      break;
    }
  }
  if (size == line.npos || size < 2) return std::nullopt;
  for (size_t at = size - 1; at-- > 0;) {
    if (!IsCode(line, at, L'd')) continue;
    const size_t countEnd = RunEnd(line, at + 1, L'd');
    const size_t sizeEnd = RunEnd(line, size + 1, L's');
    return TSplit{line.substr(0, at), line.substr(countEnd, size - countEnd), line.substr(sizeEnd)};
  }
  return std::nullopt;
}

// Like a regular-expression search, the first line that fits is used.
std::optional<TSplit> Split(std::wstring_view text) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = start;
    while (end < text.size() && !IsLineEnd(text[end])) ++end;
    if (auto split = SplitLine(text.substr(start, end - start))) return split;
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace

std::vector<TTotalsSegment> TotalsSegments(const std::wstring& totalsTemplate, int64_t count,
                                           const std::wstring& sizeText) {
  const auto split = Split(totalsTemplate);
  if (!split) return {};
  const TTotalsSegment all[] = {
      {std::wstring(split->Before), kTotalsTextColor, 0},
      {std::to_wstring(count), kTotalsCountColor, 1},
      {std::wstring(split->Between), kTotalsTextColor, 0},
      {sizeText, kTotalsSizeColor, 1},
      {std::wstring(split->After), kTotalsTextColor, 0},
  };
  std::vector<TTotalsSegment> segments;
  for (const TTotalsSegment& s : all)
    if (!s.Text.empty()) segments.push_back(s);
  return segments;
}

std::vector<TTotalsSegment> ShownSegments(const std::wstring& shownTemplate, int64_t shown,
                                          int64_t total, const std::wstring& sizeText) {
  std::vector<TTotalsSegment> segments = TotalsSegments(shownTemplate, total, sizeText);
  // Only text before the total's count can hold the shown count's "%d".
  for (size_t i = 0; i < segments.size() && segments[i].Color == kTotalsTextColor; ++i) {
    const std::wstring text = segments[i].Text;
    size_t at = 0;
    while (at < text.size() && !IsCode(text, at, L'd')) ++at;
    if (at == text.size()) continue;
    const size_t end = RunEnd(text, at + 1, L'd');
    std::vector<TTotalsSegment> parts;
    if (at > 0) parts.push_back({text.substr(0, at), kTotalsTextColor, 0});
    parts.push_back({std::to_wstring(shown), kTotalsCountColor, 1});
    if (end < text.size()) parts.push_back({text.substr(end), kTotalsTextColor, 0});
    segments.erase(segments.begin() + ptrdiff_t(i));
    segments.insert(segments.begin() + ptrdiff_t(i), parts.begin(), parts.end());
    return segments;
  }
  return TotalsSegments(shownTemplate, shown, sizeText);
}

}  // namespace quor
