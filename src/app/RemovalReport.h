#pragma once
// What the main window tells after a removal: how many items went, stayed
// by choice and failed, every failure and every item the removal itself left
// in place named with its reason, and the backup set it wrote.

#include <cstddef>
#include <string>

#include "inventory/UninstallObject.h"

namespace quor {

struct TRemovalReportTexts {
  std::wstring Heading;  // "These items could not be removed:"
  std::wstring More;     // "and %d more": its "%d" takes the count left out
};

inline constexpr size_t kReportMaxItems = 12;
// A longer path loses folders from its middle; the reason is kept whole.
inline constexpr size_t kReportMaxPathChars = 64;

struct TRemovalSummaryTexts {
  std::wstring Removed;             // "Removed: %d"
  std::wstring Kept;                // "Kept: %d"
  std::wstring Failed;              // "Failed: %d"
  TRemovalReportTexts FailedItems;  // "These items could not be removed:", "and %d more"
  std::wstring LeftInPlace;         // "Left in place:"
  std::wstring NotTried;            // the reason of an item the removal did not reach
  std::wstring BackupSet;           // "Backup set: %s"
  std::wstring NoBackupSet;         // "No backup set was written."
};

struct TRemovalCounts {
  size_t Removed = 0, Kept = 0, Failed = 0;
  bool operator==(const TRemovalCounts&) const = default;
};
// An item the removal did not reach counts as failed.
TRemovalCounts CountRemovalStates(const TUninstallObject& program);

// The three counts, one line each; then the failed items ("path (reason)",
// at most kReportMaxItems, then the More line); then, under LeftInPlace, the
// items that the user left ticked but the removal kept (a link it could not
// remove as itself, a folder holding kept items), with their reasons; then
// the backup set's name, or NoBackupSet. Groups are parted by an empty line.
std::wstring RemovalSummaryText(const TUninstallObject& program, const TRemovalSummaryTexts& texts);

// The path in at most `maxChars` characters, folders taken out of its middle
// first (ShortenPathMiddle).
std::wstring ShortenedPath(const std::wstring& path, size_t maxChars);

}  // namespace quor
