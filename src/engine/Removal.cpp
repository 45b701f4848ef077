#include "engine/Removal.h"

#include "base/Handles.h"
#include "base/Text.h"
#include "engine/UninstallHelper.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

// Sub-keys first, last to first: a key that still has sub-keys cannot be
// deleted.
bool DeleteKeyTree(HKEY parent, const std::wstring& name) {
  {
    UniqueRegKey key;
    if (::RegOpenKeyExW(parent, name.c_str(), 0, RegAccessMask(TRegAccess::Full), key.Put()) ==
        ERROR_SUCCESS) {
      std::vector<std::wstring> children;
      DWORD count = 0, maxLen = 0;
      if (::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &count, &maxLen, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        std::wstring buffer(maxLen + 1, L'\0');
        for (DWORD i = 0; i < count; ++i) {
          DWORD len = static_cast<DWORD>(buffer.size());
          if (::RegEnumKeyExW(key.Get(), i, buffer.data(), &len, nullptr, nullptr, nullptr,
                              nullptr) == ERROR_SUCCESS) {
            children.emplace_back(buffer.data(), len);
          }
        }
      }
      for (auto it = children.rbegin(); it != children.rend(); ++it) DeleteKeyTree(key.Get(), *it);
    }
  }
  return ::RegDeleteKeyExW(parent, name.c_str(), RegAccessMask(TRegAccess::Full) & KEY_WOW64_64KEY,
                           0) == ERROR_SUCCESS;
}

}  // namespace

void RemoveItems(TUninstallHelper& engine, TUninstallObject& program) {
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    const TLeftOverItem* item = program.GetLeftover(i);
    if (!item) continue;
    engine.SetCurrentItem(item->Path);
    if (item->Kind == lkRegKey) {
      const size_t slash = item->Path.find(L'\\');
      if (slash != std::wstring::npos) {
        DeleteRegKey(RootKeyByName(item->Path.substr(0, slash)), item->Path.substr(slash + 1));
      }
    }
  }
}

bool KeyExists(HKEY root, const std::wstring& path) {
  UniqueRegKey key;
  const LSTATUS rc =
      ::RegOpenKeyExW(root, path.c_str(), 0, RegAccessMask(TRegAccess::Read), key.Put());
  // A key that refuses read access still exists.
  return rc == ERROR_SUCCESS || rc == ERROR_ACCESS_DENIED;
}

bool DeleteRegKey(HKEY root, const std::wstring& path) {
  if (!root || Trim(path).empty()) return false;
  const size_t last = path.rfind(L'\\');
  const size_t n = last == std::wstring::npos ? path.size() : last;
  std::wstring parentPath, name;
  if (n > 1 && n < path.size() - 1) {
    parentPath = path.substr(0, n);
    name = path.substr(n + 1);
  } else {
    name = path;
  }
  UniqueRegKey parent;
  if (parentPath.empty()) {
    return DeleteKeyTree(root, name);
  }
  if (::RegOpenKeyExW(root, parentPath.c_str(), 0, RegAccessMask(TRegAccess::Full), parent.Put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  return DeleteKeyTree(parent.Get(), name);
}

bool DeleteRegValue(HKEY root, const std::wstring& path, const std::wstring& name) {
  UniqueRegKey key;
  if (::RegOpenKeyExW(root, path.c_str(), 0, RegAccessMask(TRegAccess::Full), key.Put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  return ::RegDeleteValueW(key.Get(), name.c_str()) == ERROR_SUCCESS;
}

}  // namespace quor
