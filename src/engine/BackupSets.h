#pragma once
// The backup sets on disk: listing, restoring, deleting, and the retention
// that keeps their age and total size within limits.
//
// A set's folder can be written by anything the user runs, so a set counts
// only when its record carries this program's seal and every field is in
// range; any other folder there is refused with its reason, and neither
// stops the others nor any command. A refused set is never restored, never
// counted against the size limit, and goes by age by its folder's time.

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
  int64_t Size = 0;  // bytes the set holds
  bool Restored = false;
  std::string RestoredTime;  // local, when Restored
  std::vector<TBackupItem> ItemList;
};

// A folder below the backup folder that is no usable set.
struct TRefusedBackupSet {
  std::wstring Id;
  std::wstring Folder;
  std::wstring Reason;
  FILETIME FolderTime{};  // when the folder was made
  bool IsLink = false;    // a link: never deleted through, never followed
};

struct TBackupListing {
  std::vector<TBackupSetInfo> Sets;  // oldest first
  std::vector<TRefusedBackupSet> Refused;
};

// Every folder below `root`: the sound sets and the refused ones.
TBackupListing ReadBackupSets(const std::wstring& root);
// The sound sets below `root`, oldest first.
std::vector<TBackupSetInfo> ListBackupSets(const std::wstring& root);

struct TBackupMatch {
  std::optional<TBackupSetInfo> Set;
  std::optional<TRefusedBackupSet> Refused;  // the one folder named is no usable set
  std::vector<std::wstring> Candidates;      // the ids, when several match
};
// The set with exactly this id, or the only one whose id starts with it.
TBackupMatch MatchBackupSet(const std::wstring& root, const std::wstring& id);

struct TRestoreItemResult {
  std::wstring Path;  // the item, or a path below it, or a registry value
  uint8_t Kind = lkFile;
  TRestoreState State = TRestoreState::Restored;
  std::wstring Reason;
  // A path below the item listed before it (a file of a folder, a value of
  // a key) that was not put back; the item's own line counts it.
  bool Below = false;
};

struct TRestoreReport {
  // One line per item of the set and per path it refused, each counted once
  // in Restored, NotRestored or InPlace; then, after their item, the paths
  // below it that were not put back.
  std::vector<TRestoreItemResult> Items;
  int32_t Restored = 0;
  int32_t NotRestored = 0;
  std::wstring Error;           // nothing was restored: the set is refused, or why not
  bool RestoredBefore = false;  // refused because the set was restored before
  int32_t InPlace = 0;          // put back before: nothing of it is left in the set
};

struct TRestoreOptions {
  bool Overwrite = false;  // replace files and values that exist now
  bool Again = false;      // restore a set that was restored before
};

// Reads the set's record again and checks its seal, then puts its files back
// to the paths it records and imports the registry keys and values it lists
// as items, nothing else; never replaces anything that exists now unless
// `Overwrite`, and never writes to a protected place or through a link.
// A set restored before is refused unless `Again`: a second restore would
// put old files and values over what changed since. Marks the set restored.
TRestoreReport RestoreBackupSet(const TBackupSetInfo& set, const TRestoreOptions& options);

// Deletes a set's folder with everything in it.
bool DeleteBackupSet(const TBackupSetInfo& set);

struct TRetention {
  int32_t MaxAgeDays = 30;            // 0: no age limit
  int64_t MaxTotalBytes = 2LL << 30;  // 0: no size limit
};

// Deletes the sets older than the age limit, then the oldest while the total
// is beyond the size limit; answers the sets deleted. Refused folders go by
// age only.
std::vector<TBackupSetInfo> ApplyRetention(const std::wstring& root, const TRetention& retention,
                                           const FILETIME& now);
// Deletes the sets older than `days` days (all of them for 0), refused
// folders included.
std::vector<TBackupSetInfo> PurgeBackupSets(const std::wstring& root,
                                            std::optional<int32_t> olderThanDays,
                                            const FILETIME& now);

}  // namespace quor
