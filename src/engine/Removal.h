#pragma once
// Deletion of leftovers and registrations. Nothing is deleted through a link
// (file-system or registry), names are used exactly as listed, and every
// item that stays is recorded on the program's record with its reason.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/FileDelete.h"
#include "base/Handles.h"
#include "inventory/UninstallObject.h"

namespace quor {

class TEngineCore;
class TProtectedFolders;
struct TBackupOptions;

// Deletes every item of the record's leftover list that the user did not
// keep, nor lies inside a kept folder or key: files and folders first, then registry values, then
// keys, and the program's own registration last, only when every other item went (so a program
// whose removal failed stays in the list). Each item's outcome is stored with SetLeftoverResult.
// Unless `backup` is disabled, a backup set is written first, and an item that cannot be backed up
// is not deleted. A file or folder item that is itself a link goes as the link, without a backup
// (it holds nothing); where the system cannot remove a link without reaching its target, the link
// stays and the item counts as kept, with the reason, so that the registration can still go.
void RemoveItems(TEngineCore& engine, TUninstallObject& program, const TBackupOptions& backup);

// A kept folder or key keeps everything inside it. `kept` holds one flag per
// leftover index; every item at or below a kept folder or key item is set
// kept too. Answers, per index, the kept folder or key item that made it
// kept, or -1 (also for items that were kept already).
std::vector<int32_t> KeepInsideKeptContainers(const TUninstallObject& program,
                                              std::vector<bool>& kept);
// The same on the record's own kept flags.
std::vector<int32_t> KeepItemsInsideKept(TUninstallObject& program);

// The form in which item paths and kept paths are compared: trimmed, one
// pair of surrounding quotes and trailing backslashes removed, forward
// slashes as backslashes, A to Z folded, registry roots by their full name
// and the class roots (HKEY_LOCAL_MACHINE\Software\Classes,
// HKEY_CURRENT_USER\Software\Classes) as HKEY_CLASSES_ROOT.
std::wstring ComparableItemPath(std::wstring_view path);

// Paths that a removal spares, each with everything below it.
class TKeepSet {
 public:
  void Add(std::wstring_view path);
  bool Keeps(std::wstring_view path) const;      // at or below a kept path
  bool HoldsKept(std::wstring_view path) const;  // a kept path lies strictly below
  bool Empty() const { return FPaths.empty(); }

 private:
  std::vector<std::wstring> FPaths;  // comparable form
};

// Removes a listed folder's tree, sparing kept paths and every folder the
// guard protects (with the folders above them); a protected folder itself
// is refused whole.
TDeleteResult RemoveFolderItem(const std::wstring& folder, const TKeepSet& keep,
                               const TProtectedFolders& guard);

// Deletes one file by its exact name, also when it is read-only; a file link
// goes as itself.
bool ForceDeleteFile(const std::wstring& path);
// Path-text forms for callers without an item's fields: the root name before
// the first backslash; for a value, the value name after the last one.
bool DeleteRegKeyItem(const std::wstring& itemPath);
bool DeleteRegValueItem(const std::wstring& itemPath);
// Deletes a key with everything below it; a registry link below it goes as
// itself, never followed.
bool DeleteRegKey(HKEY root, const std::wstring& path);
bool DeleteRegValue(HKEY root, const std::wstring& path, const std::wstring& name);

// Opens a key one level at a time, each as itself: a registry link on the
// way stops the walk (ThroughLink); the key itself may be a link.
UniqueRegKey OpenRegKeyExact(HKEY root, const std::wstring& path, DWORD access, TDeleteResult& result);

// Whether a leftover item is still present on the machine (a link as itself).
bool LeftoverExists(const TLeftOverItem& item);

// Whether the item is the program's own uninstall registration key.
bool IsRegistrationItem(const TLeftOverItem& item, const TUninstallObject& program);

}  // namespace quor
