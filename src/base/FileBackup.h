#pragma once
// Moving files and folder trees into a backup folder before they are gone
// from their place, and back again. The source is reached as FileDelete
// reaches it: one folder at a time, by exact names, through handles, never
// through a link. On the same volume an object moves by a rename of its own
// handle (instant; contents, attributes and times stay as they are);
// otherwise it is copied (contents, attributes, times) and then deleted.
//
// Links: a folder that moves whole by a rename takes any link inside it
// along as the link itself (a rename never follows one). Where the backup
// has to copy, a link is refused: it is not copied, not deleted, and is
// reported. A link given as the object itself is refused likewise.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/FileDelete.h"

namespace quor {

struct TBackupMove {
  TDeleteResult Result;  // what became of the original, as a removal reports it
  bool Renamed = false;  // moved whole by a rename
  int64_t Bytes = 0;     // file bytes now held in the backup
  int64_t Files = 0;
  // Paths (the object itself or entries below it) whose backup could not be
  // written, with the reason; each stays in place.
  std::vector<std::pair<std::wstring, std::wstring>> NotBackedUp;
};

// `dest` is the object's path in the backup; it must not exist, its folder
// must.
TBackupMove MoveFileToBackup(const std::wstring& path, const std::wstring& dest);
// Kept entries (and the folders above them) stay; a tree that holds any is
// copied entry by entry instead of renamed whole. Only what was written to
// the backup is deleted.
TBackupMove MoveFolderToBackup(const std::wstring& folder, const std::wstring& dest,
                               const TKeepTest& keep, const TFailureSink& failed);

// Total bytes and files of a tree as listed (links not entered).
struct TTreeSize {
  int64_t Bytes = 0;
  int64_t Files = 0;
};
TTreeSize MeasureTree(const std::wstring& folder);

enum class TRestoreState { Restored, Exists, Failed };
// Hears of every path that was not put back: Exists (something is there
// now) or Failed (with the system's reason).
using TRestoreSink =
    std::function<void(const std::wstring& path, TRestoreState state, const std::wstring& reason)>;

// Puts what the backup holds at `from` back at `to`: a rename on the same
// volume, else a copy that keeps attributes and times. Something that exists
// at `to` now is left as it is and reported, unless `overwrite` replaces a
// file with the backup's; folders are merged entry by entry. Missing folders
// above `to` are created; nothing is written through a folder link on the
// way. `from` lies below the backup's own folder `within`: when that folder,
// or any folder between it and `from`, or `from` itself is a link, nothing is
// read through it and the whole object is reported as failed. Answers
// whether everything went back.
bool RestoreFromBackup(const std::wstring& within, const std::wstring& from, const std::wstring& to,
                       bool overwrite, const TRestoreSink& sink);

}  // namespace quor
