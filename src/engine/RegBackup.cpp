#include "engine/RegBackup.h"

#include <winternl.h>

#include <algorithm>

#include "base/Handles.h"
#include "engine/Removal.h"
#include "inventory/Registry.h"

extern "C" NTSTATUS NTAPI NtSetValueKey(HANDLE key, PUNICODE_STRING name, ULONG titleIndex, ULONG type,
                                        PVOID data, ULONG size);

namespace quor {
namespace {

constexpr wchar_t kLinkNotBackedUp[] = L"a registry link: not backed up, left in place";
constexpr wchar_t kNameNotBackedUp[] =
    L"a name the export file cannot hold (line break or NUL): not backed up, left in place";

DWORD WowFlags() { return RegAccessMask(TRegAccess::Read) & (KEY_WOW64_64KEY | KEY_WOW64_32KEY); }

struct TValueRead {
  std::wstring Name;
  DWORD Type = REG_NONE;
  std::vector<BYTE> Data;
};

// Every value of an open key, each read exactly (the data may change
// between calls: a size from an earlier call is never trusted).
std::vector<TValueRead> ReadValues(HKEY key) {
  std::vector<TValueRead> values;
  std::wstring name(16384, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    const LSTATUS status =
        ::RegEnumValueW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) continue;
    TValueRead value;
    value.Name.assign(name.data(), length);
    if (auto read = QueryRegValue(key, value.Name)) {
      value.Type = read->Type;
      value.Data = std::move(read->Data);
      values.push_back(std::move(value));
    }
  }
  return values;
}

TRegFileValue FileValue(const TValueRead& value) {
  TRegFileValue out;
  out.Name = value.Name;
  out.Type = value.Type;
  out.Data.assign(value.Data.begin(), value.Data.end());
  return out;
}

void ExportOpenKey(HKEY key, const std::wstring& displayed, const TKeepSet& keep, TRegExport& out) {
  struct TFrame {
    UniqueRegKey Key;
    std::wstring Path;
  };
  std::vector<TFrame> pending;
  pending.push_back({UniqueRegKey(), displayed});
  HKEY first = key;
  while (!pending.empty()) {
    TFrame frame = std::move(pending.back());
    pending.pop_back();
    const HKEY current = frame.Key ? frame.Key.Get() : first;
    TRegFileKey fileKey;
    fileKey.Path = frame.Path;
    for (auto& value : ReadValues(current)) {
      const std::wstring valuePath = frame.Path + L"\\" + value.Name;
      if (keep.Keeps(valuePath)) continue;
      if (!RegFileCanHoldValueName(value.Name)) {
        out.NotBackedUp.emplace_back(valuePath, kNameNotBackedUp);
        continue;
      }
      out.Bytes += static_cast<int64_t>(value.Data.size());
      fileKey.Values.push_back(FileValue(value));
    }
    out.Keys.push_back(std::move(fileKey));
    std::vector<std::wstring> children;
    GetSubKeyNamesOf(current, children);
    // Pushed last to first, so that keys are written in enumeration order.
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      const std::wstring childPath = frame.Path + L"\\" + *it;
      if (keep.Keeps(childPath)) continue;
      if (!RegFileCanHoldKeyPath(childPath)) {
        out.NotBackedUp.emplace_back(childPath, kNameNotBackedUp);
        continue;
      }
      UniqueRegKey child;
      if (::RegOpenKeyExW(current, it->c_str(), REG_OPTION_OPEN_LINK, KEY_READ | WowFlags(),
                          child.Put()) != ERROR_SUCCESS) {
        child.Reset();
        continue;  // gone since it was listed, or unreadable: the removal reports it
      }
      if (IsRegistryLink(child.Get())) {
        out.NotBackedUp.emplace_back(childPath, kLinkNotBackedUp);
        continue;
      }
      pending.push_back({std::move(child), childPath});
    }
  }
}

// A key path of the file split into its root and the rest; null root when
// the file names no root this program knows.
HKEY SplitRoot(const std::wstring& path, std::wstring& rest) {
  const size_t slash = path.find(L'\\');
  const std::wstring rootName = path.substr(0, slash);
  rest = slash == std::wstring::npos ? std::wstring() : path.substr(slash + 1);
  const HKEY root = RootKeyByName(rootName);
  return SameTextAscii(RootKeyName(root), rootName) ? root : nullptr;
}

// Opens the key, creating what is missing, one level at a time; a registry
// link on the way stops it.
UniqueRegKey CreateKeyExact(HKEY root, const std::wstring& path, std::wstring& why) {
  UniqueRegKey current;
  HKEY parent = root;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find(L'\\', start), path.size());
    const std::wstring name = path.substr(start, end - start);
    if (name.empty()) {
      why = L"the key path has an empty name";
      return {};
    }
    UniqueRegKey next;
    LSTATUS status = ::RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK,
                                     KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | WowFlags(), next.Put());
    if (status == ERROR_FILE_NOT_FOUND) {
      status = ::RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | WowFlags(), nullptr,
                                 next.Put(), nullptr);
    }
    if (status != ERROR_SUCCESS) {
      next.Reset();
      why = SystemErrorText(static_cast<DWORD>(status));
      return {};
    }
    if (IsRegistryLink(next.Get())) {
      why = L"a key on its path is a registry link: nothing written there";
      return {};
    }
    current = std::move(next);
    parent = current.Get();
    if (end == path.size()) break;
    start = end + 1;
  }
  return current;
}

// Stores exactly the given bytes: RegSetValueExW adds a terminator to a
// string whose bytes lack one when the memory after them holds a NUL.
DWORD SetValueExact(HKEY key, const TRegFileValue& value) {
  if (value.Name.size() > 16383 || value.Data.size() > 0xFFFFFFFFu) return ERROR_INVALID_PARAMETER;
  UNICODE_STRING name{static_cast<USHORT>(value.Name.size() * sizeof(wchar_t)),
                      static_cast<USHORT>(value.Name.size() * sizeof(wchar_t)), const_cast<PWSTR>(value.Name.c_str())};
  const NTSTATUS status =
      NtSetValueKey(key, &name, 0, value.Type, const_cast<uint8_t*>(value.Data.data()), static_cast<ULONG>(value.Data.size()));
  return status < 0 ? ::RtlNtStatusToDosError(status) : ERROR_SUCCESS;
}

}  // namespace

void ExportRegKey(HKEY root, const std::wstring& path, const TKeepSet& keep, TRegExport& out) {
  const std::wstring displayed = RootKeyName(root) + L"\\" + path;
  if (keep.Keeps(displayed)) return;
  if (!RegFileCanHoldKeyPath(displayed)) {
    out.NotBackedUp.emplace_back(displayed, kNameNotBackedUp);
    return;
  }
  TDeleteResult result;
  UniqueRegKey key = OpenRegKeyExact(root, path, KEY_READ, result);
  if (!key) {
    if (result.ThroughLink) out.NotBackedUp.emplace_back(displayed, L"a key on its path is a registry link");
    return;  // missing: nothing to back up
  }
  if (IsRegistryLink(key.Get())) {
    out.NotBackedUp.emplace_back(displayed, kLinkNotBackedUp);
    return;
  }
  ExportOpenKey(key.Get(), displayed, keep, out);
}

void ExportRegValue(HKEY root, const std::wstring& path, const std::wstring& name, TRegExport& out) {
  const std::wstring keyPath = RootKeyName(root) + L"\\" + path;
  const std::wstring displayed = keyPath + L"\\" + name;
  if (!RegFileCanHoldKeyPath(keyPath) || !RegFileCanHoldValueName(name)) {
    out.NotBackedUp.emplace_back(displayed, kNameNotBackedUp);
    return;
  }
  TDeleteResult result;
  UniqueRegKey key = OpenRegKeyExact(root, path, KEY_QUERY_VALUE, result);
  if (!key) return;
  if (IsRegistryLink(key.Get())) return;  // the removal leaves a value behind a link alone
  auto read = QueryRegValue(key.Get(), name);
  if (!read) return;
  TRegFileKey fileKey;
  fileKey.Path = keyPath;
  fileKey.Values.push_back(FileValue(TValueRead{name, read->Type, std::move(read->Data)}));
  out.Bytes += static_cast<int64_t>(fileKey.Values.back().Data.size());
  out.Keys.push_back(std::move(fileKey));
}

bool ImportRegFile(const std::vector<TRegFileKey>& keys, bool overwrite, const TRestoreSink& sink) {
  bool all = true;
  auto report = [&](const std::wstring& path, TRestoreState state, const std::wstring& why) {
    all = false;
    if (sink) sink(path, state, why);
  };
  for (const auto& fileKey : keys) {
    if (fileKey.Delete) continue;
    std::wstring rest;
    const HKEY root = SplitRoot(fileKey.Path, rest);
    if (!root || rest.empty()) {
      report(fileKey.Path, TRestoreState::Failed, L"not a key below a known root");
      continue;
    }
    std::wstring why;
    UniqueRegKey key = CreateKeyExact(root, rest, why);
    if (!key) {
      report(fileKey.Path, TRestoreState::Failed, why);
      continue;
    }
    for (const auto& value : fileKey.Values) {
      if (value.Delete) continue;
      const std::wstring path = fileKey.Path + L"\\" + value.Name;
      if (auto present = QueryRegValue(key.Get(), value.Name)) {
        // The same type and bytes: nothing to put back.
        if (present->Type == value.Type &&
            std::equal(present->Data.begin(), present->Data.end(), value.Data.begin(), value.Data.end())) {
          continue;
        }
        if (!overwrite) {
          report(path, TRestoreState::Exists, L"exists: left as it is");
          continue;
        }
      }
      if (const DWORD error = SetValueExact(key.Get(), value); error != ERROR_SUCCESS) {
        report(path, TRestoreState::Failed, SystemErrorText(error));
      }
    }
  }
  return all;
}

}  // namespace quor
