#include "toolkit/QuorTypeAhead.h"

#include <algorithm>
#include <cwctype>

namespace quor {

const std::wstring& TQuorTypeAhead::Type(wchar_t c, unsigned timeMs) {
  if (!Continues(timeMs)) FPrefix.clear();
  FLastMs = timeMs;
  FPrefix += c;
  return FPrefix;
}

bool TQuorTypeAhead::Repeated() const {
  return FPrefix.size() > 1 && std::all_of(FPrefix.begin(), FPrefix.end(), [&](wchar_t c) {
           return std::towlower(c) == std::towlower(FPrefix[0]);
         });
}

bool StartsWithNoCase(const std::wstring& caption, const std::wstring& prefix) {
  if (prefix.empty() || caption.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::towlower(caption[i]) != std::towlower(prefix[i])) return false;
  return true;
}

}  // namespace quor
