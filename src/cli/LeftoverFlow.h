#pragma once
// Scan, review on the console, and removal of one program's leftovers.

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "engine/UninstallHelper.h"

namespace quor::cli {

struct TLeftoverOptions {
  bool Yes = false;                // no question
  bool All = false;                // weak items go too
  std::vector<std::wstring> Keep;  // paths to spare, with what lies below them
};

struct TLeftoverOutcome {
  bool Removed = false;     // the removal ran
  bool Declined = false;    // the user answered no
  bool UsageError = false;  // a kept path names nothing listed; nothing was removed
  int Failed = 0;           // items meant to go that stay
  int Kept = 0;             // items kept (by --keep, as weak, inside a kept item, a link left)
};

// The form in which a --keep path is compared, or nothing when the text is
// not a plain full path: a registry path under a root name (full or short)
// without empty components, or a file path that the canonical form of a
// folder accepts ("\\" for "/" aside): no ".", "..", doubled backslashes,
// streams, trailing dots or blanks in a component, devices or relative forms.
std::optional<std::wstring> CanonicalKeepPath(const std::wstring& text);

// Marks as kept every item whose path is one of `keep` or lies below one; a
// kept path below a listed item is spared by the removal too. Answers the
// kept paths that name no listed item and lie below none. Paths that
// CanonicalKeepPath refuses are answered too.
std::vector<std::wstring> MarkKept(TUninstallObject& program,
                                   const std::vector<std::wstring>& keep);
// Marks every weak item as kept.
void KeepWeakItems(TUninstallObject& program);

TLeftoverOutcome ScanAndRemove(TUninstallHelper& engine,
                               const std::shared_ptr<TUninstallObject>& program,
                               const TLeftoverOptions& options, bool print);

const char* KindName(uint8_t kind);
const char* MatchedByName(TMatchedBy matchedBy);
nlohmann::ordered_json LeftoversToJson(const TUninstallObject& program);
// The items meant to go that stay: {"path", "kind", "error"} each.
nlohmann::ordered_json FailedToJson(const TUninstallObject& program);
void PrintLeftovers(const TUninstallObject& program);
// Each item that stays after a removal, with its reason, and a summary.
void PrintRemovalResult(const TUninstallObject& program);

}  // namespace quor::cli
