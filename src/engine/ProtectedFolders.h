#pragma once
// The folders a leftover scan or removal must never take as a whole tree:
// the machine's known folders (roots, the Windows folder, the path-variable
// table, the shell's known folders, every profile, this program's folders)
// and, for the program at hand, the install and uninstaller folders of every
// other registration, together with every folder that contains one of them.

#include <string>

#include "base/CanonicalPath.h"
#include "inventory/KnownFolders.h"

namespace quor {

class TEnvironmentStrings;
class TUninstallObject;

class TProtectedFolders {
 public:
  // The machine's known folders, from the given table (the global one when
  // null).
  explicit TProtectedFolders(const TEnvironmentStrings* table = nullptr);

  // The set that guards a scan or a removal of `program` (which may be null):
  // the known folders plus what the other registrations hold, read anew.
  static TProtectedFolders ForProgram(const TUninstallObject* program);

  // A text that names no folder in plain form is protected too.
  bool Contains(const std::wstring& folder) const;
  bool Contains(const TCanonicalFolder& folder) const;
  // By its text alone, without touching the file system: for paths met
  // inside a walk that follows no link, where the text is the real path and
  // a text that names nothing in plain form is an ordinary entry.
  bool ContainsPathText(const std::wstring& path) const;

  // The canonical form of a folder text, "%NAME%" tokens expanded through
  // the path-variable table the set was built from.
  std::optional<TCanonicalFolder> Canonical(const std::wstring& folder) const;

  // Adds another registration's folder (and so every folder containing it).
  void AddOwnedFolder(const std::wstring& folder) { FKnown.AddFolder(folder); }

 private:
  TKnownFolders FKnown;
};

// Lower-cased over A to Z, trimmed, without trailing backslashes.
std::wstring FoldFolder(const std::wstring& folder);

// The folder of the program an uninstall command starts ("C:\App\un.exe" /x
// gives "C:\App"); empty when the command names no folder.
std::wstring CommandFolder(const std::wstring& command);

}  // namespace quor
