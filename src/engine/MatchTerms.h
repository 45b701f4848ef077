#pragma once
// A program's identifying texts, and the tests that tell whether a name, a
// path or a registry value bears one of them, and how surely.

#include <optional>
#include <string>

#include "inventory/UninstallObject.h"

namespace quor {

class TProtectedFolders;

struct TMatch {
  TMatchedBy By = TMatchedBy::Name;
  TConfidence Confidence = TConfidence::High;
};

// Lower-cased over A to Z; an empty term takes part in no test.
struct TMatchTerms {
  std::wstring Location;  // the canonical install folder
  std::wstring Name;
  std::wstring Folder;
  std::wstring Guid;
};

// The terms of a record. An install location that names no folder in plain
// form, or a protected one, gives neither a location nor a folder term; a
// name or folder term that is a generic word is no term; a product code is a
// term only in the form "{8-4-4-4-12}".
TMatchTerms MakeMatchTerms(const TUninstallObject& program, const TProtectedFolders& guard);

// Texts are lower-cased over A to Z by the caller. Each test tries its terms
// in order; the first strong match wins, else the first weak one.
// A file or folder: `path` is its full path, `name` its own name.
std::optional<TMatch> MatchEntry(const TMatchTerms& terms, const std::wstring& path,
                                 const std::wstring& name);
// A shortcut: by its target path, then by its own name's product code.
std::optional<TMatch> MatchShortcut(const TMatchTerms& terms, const std::wstring& target,
                                    const std::wstring& name);
// A registry key's own name.
std::optional<TMatch> MatchKeyName(const TMatchTerms& terms, const std::wstring& name);
// The text of a registry value: strong only by its lead path (see
// MatchValueTerm), or the install location at its start.
std::optional<TMatch> MatchValueText(const TMatchTerms& terms, const std::wstring& text);

}  // namespace quor
