#pragma once
// The backup sets on disk: listing, restoring, deleting, and the retention
// that keeps their age and total size within limits.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/FileBackup.h"
#include "engine/Backup.h"

namespace quor {

struct TBackupSetInfo {
  std::wstring Id;      // the set's folder name
  std::wstring Folder;  // full path
  std::string Time;     // local, "yyyy-mm-ddTHH:MM:SS"
  FILETIME TimeUtc{};   // when the set was made
  std::wstring Program;
  int32_t Items = 0;
  int64_t Size = 0;     // bytes the set holds
  bool Restored = false;
  std::vector<TBackupItem> ItemList;
};

// Every readable set below `root`, oldest first.
std::vector<TBackupSetInfo> ListBackupSets(const std::wstring& root);
// The set with exactly this id, or the only one whose id starts with it.
std::optional<TBackupSetInfo> FindBackupSet(const std::wstring& root, const std::wstring& id,
                                            bool& ambiguous);

struct TRestoreItemResult {
  std::wstring Path;  // the item, or a path below it, or a registry value
  uint8_t Kind = lkFile;
  TRestoreState State = TRestoreState::Restored;
  std::wstring Reason;
};

struct TRestoreReport {
  std::vector<TRestoreItemResult> Items;  // one per item put back or not, and each path left out
  int32_t Restored = 0;
  int32_t NotRestored = 0;
  std::wstring Error;  // the set could not be read
};

// Puts the set's files back and imports its registry part; never replaces
// anything that exists now unless `overwrite`. Marks the set restored.
TRestoreReport RestoreBackupSet(const TBackupSetInfo& set, bool overwrite);

// Deletes a set's folder with everything in it.
bool DeleteBackupSet(const TBackupSetInfo& set);

struct TRetention {
  int32_t MaxAgeDays = 30;                   // 0: no age limit
  int64_t MaxTotalBytes = 2LL << 30;         // 0: no size limit
};

// Deletes the sets older than the age limit, then the oldest while the total
// is beyond the size limit; answers the sets deleted.
std::vector<TBackupSetInfo> ApplyRetention(const std::wstring& root, const TRetention& retention,
                                           const FILETIME& now);
// Deletes the sets older than `days` days (all of them for 0).
std::vector<TBackupSetInfo> PurgeBackupSets(const std::wstring& root, std::optional<int32_t> olderThanDays,
                                            const FILETIME& now);

}  // namespace quor
