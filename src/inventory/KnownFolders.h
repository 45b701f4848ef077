#pragma once
// Folders of the machine that no program owns: drive and share roots, the
// Windows folder and everything below it, the path-variable table's folders,
// the shell's known folders, every user profile and this program's own
// folders. Such a folder, and every folder that contains one, never stands
// for a program: it is never listed or removed as a whole tree and never
// serves as a program's install folder.

#include <string>
#include <unordered_set>
#include <vector>

#include "base/CanonicalPath.h"

namespace quor {

class TEnvironmentStrings;

class TKnownFolders {
 public:
  // Only what the rules say without any folder (roots, texts that name
  // nothing); for tests and for callers that add their own.
  TKnownFolders() = default;

  // The machine's set, from the given path-variable table (the global one
  // when null).
  static TKnownFolders ForMachine(const TEnvironmentStrings* table = nullptr);

  // `folder` and every folder that contains it are protected.
  void AddFolder(const std::wstring& folder);
  // `folder` and everything at or below it are protected, and so is every
  // folder that contains it.
  void AddTree(const std::wstring& folder);

  // True for a text that names no folder in plain form, a root, a listed
  // folder, a folder that contains one, and anything in a protected tree.
  bool Protects(const std::wstring& folder) const;
  bool Protects(const TCanonicalFolder& folder) const;

  // Folders where the user keeps or receives files of many origins
  // (Downloads, Desktop, Documents, the temporary folders and the like): a
  // program found anywhere below one does not own the folder it lies in.
  void AddUserTree(const std::wstring& folder);
  // True for a text that names no folder in plain form, and for a folder at
  // or below a user tree.
  bool InUserTree(const std::wstring& folder) const;

  // Expands "%NAME%" tokens through the table the set was built from.
  const TPathExpander& Expander() const { return FExpand; }
  void SetExpander(TPathExpander expand) { FExpand = std::move(expand); }

 private:
  void AddCanonical(const std::wstring& text, std::vector<std::wstring>& into);

  std::unordered_set<std::wstring> FSeen;  // texts already added, folded
  std::vector<std::wstring> FFolders;  // canonical and final spellings
  std::vector<std::wstring> FTrees;
  std::vector<std::wstring> FUserTrees;
  TPathExpander FExpand;
};

}  // namespace quor
