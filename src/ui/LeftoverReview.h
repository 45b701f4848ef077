#pragma once
// The window-free rules of the leftover review: which group and icon an
// item takes, whether it starts ticked, why it was found, what a group row
// counts and where a double click leads.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "inventory/UninstallObject.h"

namespace quor {

class TQuorDTVItem;

enum class TReviewGroup { Files, Registry, None };

// Files and folders in one group, registry keys and values in the other.
TReviewGroup ReviewGroupOf(uint8_t kind);
// The item icon: 0 folder, 1 file, 2 registry entry; -1 for no known kind.
int ReviewIconOf(uint8_t kind);

// Every item starts ticked but a weak one and one the record already keeps.
bool StartsTicked(const TUninstallObject& program, int32_t index);

// The ticks of every item (by leftover index) at the start of the review:
// StartsTicked, and nothing ticked inside an unticked folder or key.
std::vector<bool> StartTicks(const TUninstallObject& program);

// The ticks after the user changed the tick of item `changed` (or of a whole
// group: -1). A folder or key carries its new tick to everything inside it,
// and an unticked folder or key keeps everything inside it unticked, as the
// removal keeps it.
void FollowFolderTicks(const TUninstallObject& program, std::vector<bool>& ticked, int32_t changed);

// The language key (section "Uninstall") and English text of why the scan
// found an item; a weak item says so whatever matched it.
struct TLangText {
  const wchar_t* Key;
  const wchar_t* Default;
};
TLangText FoundReason(const TLeftOverItem& item);
// FoundReason in the language in use.
std::wstring FoundReasonText(const TLeftOverItem& item);

// The children of a group row that are ticked.
int TickedChildren(const TQuorDTVItem& group);
// " (N Items)" after a group's text, N the ticked children; empty for a
// group without children.
std::wstring GroupCountText(const TQuorDTVItem& group, const std::wstring& itemsWord);

// The key text and value name under which the registry editor shows a
// value item: from the item's own fields when it has them (a value name may
// hold a backslash), else its path split at the last backslash.
struct TRegistryTarget {
  std::wstring KeyText;
  std::wstring ValueName;
  bool operator==(const TRegistryTarget&) const = default;
};
TRegistryTarget RegistryTargetOf(const TLeftOverItem& item);

// What a file or folder item holds on disk.
struct TItemSize {
  enum class TKind { Unknown, Bytes, Link };
  TKind Kind = TKind::Unknown;  // Unknown: a registry item, or nothing there
  int64_t Bytes = 0;
  bool Partial = false;  // the count stopped at kMaxSizeEntries
  bool operator==(const TItemSize&) const = default;
};
// A folder's measurement stops after this many entries: the review shows
// "at least" then, and no tree holds the size column up for long.
inline constexpr int64_t kMaxSizeEntries = 200000;

// A file's size; a folder's, the total of the files below it, counted
// without following links; a file or folder that is itself a link counts as
// a link, not followed. `stop` is asked between entries.
TItemSize MeasureLeftover(const TLeftOverItem& item, const std::function<bool()>& stop = {});
// "12.3 KB", "≥ 1.2 GB" for a partial count, `linkWord` for a link, empty
// for Unknown.
std::wstring ItemSizeText(const TItemSize& size, const std::wstring& linkWord);

}  // namespace quor
