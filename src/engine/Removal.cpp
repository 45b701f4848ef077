#include "engine/Removal.h"

#include <winternl.h>

#include <vector>

#include "base/Handles.h"
#include "base/LongPath.h"
#include "base/Text.h"
#include "engine/LeftoverScan.h"
#include "engine/ProtectedFolders.h"
#include "engine/UninstallHelper.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

using RtlDosPathNameToNtPathNameFn = BOOLEAN(NTAPI*)(PCWSTR, PUNICODE_STRING, PWSTR*, PVOID);
using NtDeleteFileFn = NTSTATUS(NTAPI*)(POBJECT_ATTRIBUTES);
using RtlFreeUnicodeStringFn = VOID(NTAPI*)(PUNICODE_STRING);

template <typename Fn>
Fn NtdllFunction(const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), name)));
}

bool IsLinkAttr(DWORD attrs) {
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Sub-keys first, last to first: a key that still has sub-keys cannot be
// deleted.
bool DeleteKeyTree(HKEY parent, const std::wstring& name) {
  {
    UniqueRegKey key;
    if (::RegOpenKeyExW(parent, name.c_str(), 0, RegAccessMask(TRegAccess::Full), key.Put()) ==
        ERROR_SUCCESS) {
      std::vector<std::wstring> children;
      GetSubKeyNamesOf(key.Get(), children);
      for (auto it = children.rbegin(); it != children.rend(); ++it) DeleteKeyTree(key.Get(), *it);
    }
  }
  return ::RegDeleteKeyExW(parent, name.c_str(), RegAccessMask(TRegAccess::Full) & KEY_WOW64_64KEY,
                           0) == ERROR_SUCCESS;
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

// A trailing backslash makes the system look through a folder link, so the
// path is tested and removed without it.
void RemoveFolderIfEmpty(const std::wstring& folder) {
  const std::wstring path = WithoutTrailingBackslash(folder);
  const DWORD attrs = ::GetFileAttributesW(LongPath(path).c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) return;
  if (IsLinkAttr(attrs)) {
    RemoveFolderLink(path);
    return;
  }
  ::RemoveDirectoryW(LongPath(path).c_str());
}

std::unordered_set<std::wstring> KeptPaths(const TUninstallObject& program) {
  std::unordered_set<std::wstring> kept;
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    if (program.IsLeftoverKept(i)) kept.insert(FoldFolder(program.GetLeftover(i)->Path));
  }
  return kept;
}

}  // namespace

void RemoveItems(TUninstallHelper& engine, TUninstallObject& program) {
  const std::unordered_set<std::wstring> kept = KeptPaths(program);
  const TProtectedFolders guard;
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    const TLeftOverItem* item = program.GetLeftover(i);
    if (!item || program.IsLeftoverKept(i)) continue;
    engine.ReportCurrentItem(item->Path);
    switch (item->Kind) {
      case lkFile: ForceDeleteFile(item->Path); break;
      case lkFolder: RemoveFolderIfEmpty(item->Path); break;
      case lkRegKey: DeleteRegKeyItem(item->Path); break;
      case lkRegValue: DeleteRegValueItem(item->Path); break;
      default: break;
    }
  }
  // What is left of each listed folder, files added since the scan included;
  // finished before the job reports its end.
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    const TLeftOverItem* item = program.GetLeftover(i);
    if (!item || item->Kind != lkFolder || program.IsLeftoverKept(i)) continue;
    engine.ReportCurrentItem(item->Path);
    RemoveFolderTree(item->Path, kept, guard);
  }
}

bool ForceDeleteFile(const std::wstring& path) {
  const std::wstring longPath = LongPath(path);
  const DWORD attrs = ::GetFileAttributesW(longPath.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY)) return false;
  ::SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  static const auto toNt = NtdllFunction<RtlDosPathNameToNtPathNameFn>("RtlDosPathNameToNtPathName_U");
  static const auto deleteFile = NtdllFunction<NtDeleteFileFn>("NtDeleteFile");
  static const auto freeString = NtdllFunction<RtlFreeUnicodeStringFn>("RtlFreeUnicodeString");
  if (!toNt || !deleteFile || !freeString) return ::DeleteFileW(longPath.c_str()) != FALSE;
  UNICODE_STRING ntPath{};
  if (!toNt(longPath.c_str(), &ntPath, nullptr, nullptr)) return false;
  OBJECT_ATTRIBUTES oa{};
  InitializeObjectAttributes(&oa, &ntPath, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
  const NTSTATUS status = deleteFile(&oa);
  freeString(&ntPath);
  return status == 0;
}

bool DeleteRegKeyItem(const std::wstring& itemPath) {
  const size_t slash = itemPath.find(L'\\');
  if (slash == std::wstring::npos) return false;
  return DeleteRegKey(RootKeyByName(itemPath.substr(0, slash)), itemPath.substr(slash + 1));
}

// Without a backslash after the root the rest is a key path and the value is
// the key's default value; a trailing backslash says the same.
bool DeleteRegValueItem(const std::wstring& itemPath) {
  const size_t slash = itemPath.find(L'\\');
  if (slash == std::wstring::npos) return false;
  const std::wstring rest = itemPath.substr(slash + 1);
  const size_t last = rest.rfind(L'\\');
  const std::wstring key = last == std::wstring::npos ? rest : rest.substr(0, last);
  const std::wstring value = last == std::wstring::npos ? L"" : rest.substr(last + 1);
  return DeleteRegValue(RootKeyByName(itemPath.substr(0, slash)), key, value);
}

bool DeleteRegKey(HKEY root, const std::wstring& path) {
  if (!root || Trim(path).empty()) return false;
  const size_t last = path.rfind(L'\\');
  const size_t n = last == std::wstring::npos ? path.size() : last;
  if (n > 1 && n + 1 < path.size()) {
    UniqueRegKey parent;
    if (::RegOpenKeyExW(root, path.substr(0, n).c_str(), 0, RegAccessMask(TRegAccess::Full),
                        parent.Put()) != ERROR_SUCCESS) {
      return false;
    }
    return DeleteKeyTree(parent.Get(), path.substr(n + 1));
  }
  return DeleteKeyTree(root, path);
}

bool DeleteRegValue(HKEY root, const std::wstring& path, const std::wstring& name) {
  UniqueRegKey key;
  if (::RegOpenKeyExW(root, path.c_str(), 0, RegAccessMask(TRegAccess::Full), key.Put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  return ::RegDeleteValueW(key.Get(), name.c_str()) == ERROR_SUCCESS;
}

bool LeftoverExists(const TLeftOverItem& item) {
  const size_t slash = item.Path.find(L'\\');
  switch (item.Kind) {
    case lkFile:
    case lkFolder:
      return ::GetFileAttributesW(LongPath(WithoutTrailingBackslash(item.Path)).c_str()) !=
             INVALID_FILE_ATTRIBUTES;
    case lkRegKey:
      return slash != std::wstring::npos &&
             KeyExists(RootKeyByName(item.Path.substr(0, slash)), item.Path.substr(slash + 1));
    case lkRegValue: {
      if (slash == std::wstring::npos) return false;
      const std::wstring rest = item.Path.substr(slash + 1);
      const size_t last = rest.rfind(L'\\');
      UniqueRegKey key = OpenKeyForRead(RootKeyByName(item.Path.substr(0, slash)),
                                        last == std::wstring::npos ? rest : rest.substr(0, last));
      return key && QueryRegValue(key.Get(), last == std::wstring::npos ? L"" : rest.substr(last + 1));
    }
    default:
      return false;
  }
}

bool RemoveFolderLink(const std::wstring& path) {
  UniqueKernelHandle h(::CreateFileW(
      LongPath(path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h) return false;
  // Only a handle to the link itself reports the reparse attribute; some
  // systems open the target instead, and deleting through that handle would
  // delete the target.
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!::GetFileInformationByHandleEx(h.Get(), FileAttributeTagInfo, &tag, sizeof tag) ||
      !(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return false;
  }
  FILE_DISPOSITION_INFO disposition{TRUE};
  return ::SetFileInformationByHandle(h.Get(), FileDispositionInfo, &disposition,
                                      sizeof disposition) != FALSE;
}

bool RemoveFolderTree(const std::wstring& folder, const std::unordered_set<std::wstring>& kept,
                      const TProtectedFolders& guard) {
  if (guard.Contains(folder) || kept.count(FoldFolder(folder))) return false;
  const std::wstring base = WithoutTrailingBackslash(folder);
  const DWORD attrs = ::GetFileAttributesW(LongPath(base).c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return true;
  if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (IsLinkAttr(attrs)) return RemoveFolderLink(base);

  WIN32_FIND_DATAW data{};
  UniqueFindHandle find(::FindFirstFileW(LongPath(base + L"\\*").c_str(), &data));
  if (find) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = base + L"\\" + name;
      if (kept.count(FoldFolder(child))) continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolderTree(child, kept, guard);
      } else {
        ForceDeleteFile(child);
      }
    } while (::FindNextFileW(find.Get(), &data));
  }
  find.Reset();
  ::SetFileAttributesW(LongPath(base).c_str(), FILE_ATTRIBUTE_NORMAL);
  return ::RemoveDirectoryW(LongPath(base).c_str()) != FALSE;
}

}  // namespace quor
