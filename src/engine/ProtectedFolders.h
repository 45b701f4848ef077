#pragma once
// Folders that must never be listed or removed as a whole tree: drive roots,
// the well-known folders of the path-variable table, and any folder that
// contains one of them.

#include <string>
#include <vector>

namespace quor {

class TEnvironmentStrings;

class TUninstallObject;

class TProtectedFolders {
 public:
  // The set that guards a scan or a removal of `program` (which may be null):
  // the well-known folders plus what other registrations of the machine hold.
  static TProtectedFolders ForProgram(const TUninstallObject* program);

  // From the given table (the global one when null).
  explicit TProtectedFolders(const TEnvironmentStrings* table = nullptr);
  bool Contains(const std::wstring& folder) const;

 private:
  std::vector<std::wstring> FFolders;  // folded, without trailing backslash
};

// Lower-cased over A to Z, trimmed, without trailing backslashes.
std::wstring FoldFolder(const std::wstring& folder);

}  // namespace quor
