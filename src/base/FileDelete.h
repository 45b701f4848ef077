#pragma once
// Deletion of files, folders and folder trees through handles. Every object
// is reached one folder at a time from the drive root, each opened by its
// exact name relative to the folder handle that holds it, never through a
// link, and deleted through its own handle. No path is ever resolved as a
// whole, so "data." and "data" stay two names.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace quor {

// What became of one object.
struct TDeleteResult {
  DWORD Error = ERROR_SUCCESS;  // the system's reason when it stays
  bool LinkLeft = false;        // a link that could not be removed without reaching its target
  bool HoldsKept = false;       // a folder that stays because it holds kept entries
  bool ThroughLink = false;     // not reached: a folder on its path is a link
  bool Removed() const { return Error == ERROR_SUCCESS && !LinkLeft && !HoldsKept && !ThroughLink; }
};

// "\\?\" (or "\\?\UNC\") plus the path when it is an absolute drive or UNC
// path, with no normalisation at all; empty for any other text.
std::wstring ExactLongPath(std::wstring_view path);

// Whether anything, a dangling link included, has exactly this path.
bool ExactPathExists(const std::wstring& path);

// Whether the object at exactly this path, reached without following any
// link on the way, is itself a link.
bool ExactPathIsLink(const std::wstring& path);

// Deletes one file; a file link goes as itself. Read-only is no obstacle.
TDeleteResult DeleteFileExact(const std::wstring& path);

// Asked for every entry below a folder that is being removed, with the
// entry's path (folder path, backslash, names); a kept entry stays, and so
// do the folders above it, emptied of everything else.
using TKeepTest = std::function<bool(const std::wstring& path)>;
// Hears of every entry below the folder that stays for a reason of its own.
using TFailureSink = std::function<void(const std::wstring& path, const TDeleteResult& result)>;

// Removes a folder with everything in it (the folder given may carry a
// trailing backslash). A link inside is removed as a link or left in place,
// never descended into; a folder link given as `folder` likewise. The walk
// keeps its own stack, so any depth is fine.
TDeleteResult RemoveFolderTree(const std::wstring& folder, const TKeepTest& keep,
                               const TFailureSink& failed);

// Test hook: runs with a folder's path after its entries have been read and
// before any of them is opened. Not for production use.
void SetFolderListedHook(std::function<void(const std::wstring& folder)> hook);

// The system's message for an error code, on one line.
std::wstring SystemErrorText(DWORD error);

}  // namespace quor
