#include "app/ProgramIcons.h"

#include <regex>

namespace quor {

namespace {

// Both patterns are anchored at the first character (match_continuous), so
// group 1 is always a prefix of the text, even across a line break.
constexpr auto kPrefixOnly = std::regex_constants::match_continuous;

const std::wregex& ExePattern() {
  static const std::wregex pattern(LR"((.*?\.exe))", std::regex_constants::icase);
  return pattern;
}

const std::wregex& IndexPattern() {
  static const std::wregex pattern(LR"((.*?),(\d))", std::regex_constants::icase);
  return pattern;
}

}  // namespace

std::wstring IconPathOf(const std::wstring& text) {
  std::wstring result = text;
  if (result.size() > 2 && (result[0] == L'"' || result[0] == L'\'')) result.erase(0, 1);
  std::wsmatch m;
  if (std::regex_search(result, m, ExePattern(), kPrefixOnly)) return m.str(1);
  return result;
}

TIconSource SplitIconIndex(const std::wstring& text) {
  std::wsmatch m;
  if (std::regex_search(text, m, IndexPattern(), kPrefixOnly))
    return {m.str(1), m.str(2)[0] - L'0'};
  return {text, 0};
}

}  // namespace quor
