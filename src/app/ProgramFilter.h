#pragma once
// The search box's rule for which program rows stay visible.

#include <string_view>

namespace quor {

// True when the row stays visible for the search text: always for a text of
// blanks only; otherwise when the text as typed (not trimmed) occurs in the
// caption or the publisher, letters A to Z compared without case.
bool FilterMatches(std::wstring_view searchText, std::wstring_view caption,
                   std::wstring_view publisher);

}  // namespace quor
