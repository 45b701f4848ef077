#pragma once
// Deletion of leftovers and registrations. Each deletion is tried once; what
// cannot be deleted stays, and nothing is reported.

#include <windows.h>

#include <string>
#include <unordered_set>

#include "inventory/UninstallObject.h"

namespace quor {

class TUninstallHelper;
class TProtectedFolders;

// Deletes every item of the record's leftover list that the user did not
// keep: files, empty folders, keys and values first, then what is left of
// each listed folder's tree.
void RemoveItems(TUninstallHelper& engine, TUninstallObject& program);

// Deletes one file, also when it is read-only, hidden or system.
bool ForceDeleteFile(const std::wstring& path);
bool DeleteRegKeyItem(const std::wstring& itemPath);
bool DeleteRegValueItem(const std::wstring& itemPath);
// Deletes a key with everything below it.
bool DeleteRegKey(HKEY root, const std::wstring& path);
bool DeleteRegValue(HKEY root, const std::wstring& path, const std::wstring& name);

// Removes a folder with everything in it, depth first, in this process.
// Folder links are removed as links, never followed; a link that cannot be
// removed without reaching its target stays. Paths in `kept` (folded over A
// to Z, without trailing backslash) and the folders above them stay, and so
// does the whole tree when `guard` protects the folder. True when it is gone.
bool RemoveFolderTree(const std::wstring& folder, const std::unordered_set<std::wstring>& kept,
                      const TProtectedFolders& guard);

// Whether a leftover item is still present on the machine.
bool LeftoverExists(const TLeftOverItem& item);

// Removes a folder link itself; leaves it when the system would reach
// through it to the target instead.
bool RemoveFolderLink(const std::wstring& path);

}  // namespace quor
