#pragma once
// Directory listing: every entry of a folder (hidden and system ones
// included) in the order the system returns them, "." and ".." skipped, with
// the long-path prefix so that deep folders list too.

#include <windows.h>

#include <string>
#include <vector>

#include "base/Handles.h"

namespace quor {

class TFindFile {
 public:
  // Lists `folder` (with or without a trailing backslash) against `mask`.
  explicit TFindFile(const std::wstring& folder, const wchar_t* mask = L"*");
  TFindFile(const TFindFile&) = delete;
  TFindFile& operator=(const TFindFile&) = delete;

  // Moves to the next entry; false when there is none (or the folder could
  // not be listed).
  bool Next();

  const WIN32_FIND_DATAW& Entry() const { return FData; }
  const wchar_t* Name() const { return FData.cFileName; }
  bool IsFolder() const { return (FData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  // A folder link, junction or file symbolic link: never walked through.
  bool IsLink() const { return (FData.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

 private:
  UniqueFindHandle FFind;
  WIN32_FIND_DATAW FData{};
  bool FPending = false;  // FData holds an entry not yet handed out
};

// The whole listing at once.
std::vector<WIN32_FIND_DATAW> ListFolder(const std::wstring& folder, const wchar_t* mask = L"*");

bool IsFolderEntry(const WIN32_FIND_DATAW& entry);
bool IsLinkEntry(const WIN32_FIND_DATAW& entry);

}  // namespace quor
