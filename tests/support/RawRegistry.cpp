// Registry keys and values with any name, and registry links.

#include "support/RawRegistry.h"

#include <sddl.h>
#include <winternl.h>

#include <vector>

#include "base/Handles.h"

extern "C" {
NTSTATUS NTAPI NtCreateKey(PHANDLE key, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes,
                           ULONG index, PUNICODE_STRING keyClass, ULONG options, PULONG disposition);
NTSTATUS NTAPI NtSetValueKey(HANDLE key, PUNICODE_STRING name, ULONG index, ULONG type, PVOID data,
                             ULONG size);
NTSTATUS NTAPI NtDeleteKey(HANDLE key);
NTSTATUS NTAPI NtOpenKey(PHANDLE key, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes);
}

namespace quor::test {
namespace {

constexpr REGSAM kView = KEY_WOW64_64KEY;

UNICODE_STRING Counted(const std::wstring& text) {
  return {static_cast<USHORT>(text.size() * sizeof(wchar_t)),
          static_cast<USHORT>(text.size() * sizeof(wchar_t)), const_cast<PWSTR>(text.data())};
}

}  // namespace

bool CreateRawKey(HKEY root, const std::wstring& parent, const std::wstring& name) {
  UniqueRegKey parentKey;
  if (::RegOpenKeyExW(root, parent.c_str(), 0, KEY_ALL_ACCESS | kView, parentKey.Put()) != ERROR_SUCCESS) {
    return false;
  }
  UNICODE_STRING text = Counted(name);
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, 0, parentKey.Get(), nullptr);
  HANDLE key = nullptr;
  if (NtCreateKey(&key, KEY_ALL_ACCESS, &attributes, 0, nullptr, 0, nullptr) < 0) return false;
  ::RegCloseKey(static_cast<HKEY>(key));
  return true;
}

void DeleteRawKey(HKEY root, const std::wstring& parent, const std::wstring& name) {
  UniqueRegKey parentKey;
  if (::RegOpenKeyExW(root, parent.c_str(), 0, KEY_ALL_ACCESS | kView, parentKey.Put()) != ERROR_SUCCESS) {
    return;
  }
  UNICODE_STRING text = Counted(name);
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, 0, parentKey.Get(), nullptr);
  HANDLE key = nullptr;
  if (NtOpenKey(&key, KEY_ALL_ACCESS, &attributes) < 0) return;
  NtDeleteKey(key);
  ::RegCloseKey(static_cast<HKEY>(key));
}

bool SetRawValue(HKEY root, const std::wstring& keyPath, const std::wstring& name) {
  UniqueRegKey key;
  if (::RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_ALL_ACCESS | kView, key.Put()) != ERROR_SUCCESS) {
    return false;
  }
  UNICODE_STRING text = Counted(name);
  wchar_t data[] = L"x";
  return NtSetValueKey(key.Get(), &text, 0, REG_SZ, data, sizeof data) >= 0;
}

bool ValueExists(HKEY root, const std::wstring& key, const std::wstring& name) {
  UniqueRegKey h;
  if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | kView, h.Put()) != ERROR_SUCCESS) return false;
  return ::RegQueryValueExW(h.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// A registry link at root\path to `target` (a native key name such as
// "\Registry\Machine\Software\X").
bool MakeRegistryLink(HKEY root, const std::wstring& path, const std::wstring& target) {
  UniqueRegKey link;
  if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK | kView, nullptr, link.Put(),
                        nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return ::RegSetValueExW(link.Get(), L"SymbolicLinkValue", 0, REG_LINK,
                          reinterpret_cast<const BYTE*>(target.data()),
                          static_cast<DWORD>(target.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Removes a registry link as itself, so that a clean-up that follows links
// cannot reach its target.
void DropRegistryLink(HKEY root, const std::wstring& path) {
  UniqueRegKey link;
  if (::RegOpenKeyExW(root, path.c_str(), REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS | kView, link.Put()) ==
      ERROR_SUCCESS) {
    NtDeleteKey(link.Get());
  }
}

std::wstring NativeUserKeyPath() {
  UniqueKernelHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put())) return {};
  DWORD size = 0;
  ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (!::GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return {};
  PWSTR sid = nullptr;
  if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) return {};
  std::wstring path = L"\\Registry\\User\\" + std::wstring(sid);
  ::LocalFree(sid);
  return path;
}

}  // namespace quor::test
