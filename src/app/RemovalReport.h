#pragma once
// What the main window tells after a removal that left items behind: one
// line per item that could not be removed, with the reason.

#include <cstddef>
#include <string>

#include "inventory/UninstallObject.h"

namespace quor {

struct TRemovalReportTexts {
  std::wstring Heading;  // "These items could not be removed:"
  std::wstring More;     // "and %d more": its "%d" takes the count left out
};

inline constexpr size_t kReportMaxItems = 12;
// A longer path loses characters in its middle; the reason is kept whole.
inline constexpr size_t kReportMaxPathChars = 64;

// The heading, then "path (reason)" for each failed item in list order, at
// most kReportMaxItems of them, then the More line for the rest. Empty when
// no item failed (kept items are no failure).
std::wstring RemovalFailureText(const TUninstallObject& program, const TRemovalReportTexts& texts);

// The path shortened to `maxChars` with "..." in place of its middle.
std::wstring ShortenedPath(const std::wstring& path, size_t maxChars);

}  // namespace quor
