#pragma once
// Registry keys and values with any name (a NUL included), and registry
// links, for tests of what the scan and the removal do with them.

#include <windows.h>

#include <string>

namespace quor::test {

bool CreateRawKey(HKEY root, const std::wstring& parent, const std::wstring& name);
void DeleteRawKey(HKEY root, const std::wstring& parent, const std::wstring& name);
// A REG_SZ value "x" whose name may hold any character.
bool SetRawValue(HKEY root, const std::wstring& keyPath, const std::wstring& name);
bool ValueExists(HKEY root, const std::wstring& key, const std::wstring& name);
// A registry link at root\path to `target` (a native key name such as
// "\Registry\Machine\Software\X").
bool MakeRegistryLink(HKEY root, const std::wstring& path, const std::wstring& target);
// Removes a registry link as itself.
void DropRegistryLink(HKEY root, const std::wstring& path);
// "\Registry\User\<sid>": HKEY_CURRENT_USER's native name.
std::wstring NativeUserKeyPath();

}  // namespace quor::test
