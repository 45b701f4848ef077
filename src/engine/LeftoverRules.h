#pragma once
// The fixed places a leftover scan searches, built once at start-up and only
// read afterwards.

#include <string>
#include <vector>

namespace quor {

// Folders whose trees are searched for related shortcuts and folders; each
// ends in a backslash.
extern std::vector<std::wstring> FolderRoots;
// "ROOT[\path]=[value]": an empty value name searches the key's tree, a
// value name examines that one value.
extern std::vector<std::wstring> RegistryRules;
// Sub-key names (wildcard masks) the registry search does not descend into.
extern std::vector<std::wstring> SkippedKeyNames;

// Throws std::runtime_error("The operating system is not be supported") when
// the system is not of the NT family.
void OsCheck();
// OsCheck, then the lists, for the path-variable table and 64-bit flag in force.
void LoadRuleLists();
void FreeRuleLists();

// Progress steps of one scan.
int32_t ScanStepCount();

}  // namespace quor
