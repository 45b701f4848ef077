#include "app/ProgramFilter.h"

#include "base/Text.h"

namespace quor {

bool FilterMatches(std::wstring_view searchText, std::wstring_view caption,
                   std::wstring_view publisher) {
  if (Trim(searchText).empty()) return true;
  return FindAscii(caption, searchText) != std::wstring_view::npos ||
         FindAscii(publisher, searchText) != std::wstring_view::npos;
}

}  // namespace quor
