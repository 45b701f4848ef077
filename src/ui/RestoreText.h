#pragma once
// What the restore window shows, kept apart from the window: one row per
// backup set, newest first, and the summary of a restore.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/BackupSets.h"

namespace quor {

struct TRestoreRow {
  std::wstring Program, Date, Items, Size;
  const TBackupSetInfo* Set = nullptr;  // into the vector the rows were made from
};

// "yyyy-mm-ddTHH:MM:SS" as "yyyy-mm-dd HH:MM"; any other text as it is.
std::wstring RestoreDateText(const std::string& time);

// The sets newest first (by their time, then by id); a restored set has
// `restoredMark` after its date, a set without a program name shows its id.
std::vector<TRestoreRow> RestoreRows(const std::vector<TBackupSetInfo>& sets,
                                     const std::wstring& restoredMark);

// The question before a restore: `again` for a set restored before, else
// `first`, with the program's name (or the set's id) for "%s".
std::wstring RestoreQuestion(const TBackupSetInfo& set, const std::wstring& first,
                             const std::wstring& again);

// The translated templates of the summary; "%d" stands for a count.
struct TRestoreSummaryTexts {
  std::wstring Done = L"%d items restored.";
  std::wstring NotDone = L"Not restored:";
  std::wstring Exists = L"exists now, left as it is";
  std::wstring Failed = L"could not be put back";
  std::wstring More = L"and %d more";
};

// The template with its first `conversion` ("%d", "%s") replaced by `value`;
// a template without it is returned as it is.
std::wstring FillTemplate(const std::wstring& text, std::wstring_view conversion,
                          const std::wstring& value);

// The summary's lines: the count restored, then, when something was not,
// a heading and "path (reason)" for each path left, at most `maxListed`
// of them, then how many more there were.
std::vector<std::wstring> RestoreSummary(const TRestoreReport& report,
                                         const TRestoreSummaryTexts& texts, size_t maxListed = 15);

}  // namespace quor
