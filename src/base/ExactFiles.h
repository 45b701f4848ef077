#pragma once
// The building blocks of exact file access shared by deletion and backup:
// objects reached one folder at a time by their exact names, through
// handles, never through a link. For base's own files only.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/FileDelete.h"
#include "base/Handles.h"

namespace quor::exact {

constexpr ACCESS_MASK kDeleteAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
constexpr ACCESS_MASK kFolderAccess = kDeleteAccess | FILE_LIST_DIRECTORY;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// One entry of a folder as its listing reports it. A link shows there as a
// reparse point even on systems whose handles on the link do not.
struct TEntry {
  std::wstring Name;
  DWORD Attributes = 0;
  int64_t FileId = 0;  // 0 where the file system has none
  int64_t Size = 0;    // bytes, as listed
  bool IsFolder() const { return (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  bool IsLink() const { return (Attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

struct THandleFacts {
  DWORD Attributes = 0;
  int64_t FileId = 0;
};

// Every entry of an open folder but "." and "..".
DWORD ListEntries(HANDLE folder, std::vector<TEntry>& entries);
bool QueryFacts(HANDLE h, THandleFacts& facts);
// Marks the object for deletion; it goes when its last handle closes.
DWORD DeleteThroughHandle(HANDLE h, DWORD attributes);
// Removes a link only through a handle that is verifiably the link itself.
TDeleteResult RemoveLink(HANDLE folder, const TEntry& entry);
// Opens a listed entry (with `extra` access besides deletion) and checks
// that the handle holds what was listed; a link fails the check (LinkLeft).
UniqueKernelHandle OpenListed(HANDLE folder, const TEntry& entry, THandleFacts& facts,
                              TDeleteResult& result, ACCESS_MASK extra = 0);
// Opens the folder that holds the path's last component and finds that
// component's entry in it; a link on the way stops the walk (ThroughLink).
UniqueKernelHandle OpenParentOf(const std::wstring& path, TEntry& last, TDeleteResult& result);

}  // namespace quor::exact
