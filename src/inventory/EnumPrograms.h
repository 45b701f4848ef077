#pragma once
// Builds the list of installed programs from the uninstall registrations.

#include <windows.h>

#include <array>
#include <string>

#include "inventory/DateTime.h"
#include "inventory/UninstallObject.h"

namespace quor {

class TEnvironmentStrings;

inline constexpr const wchar_t* kUninstallKeyPath =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const wchar_t* kUninstallKeyPathWow =
    L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Names that never serve as a program's folder name.
extern const std::array<const wchar_t*, 9> GenericFolderNames;

// Clears the list, then reads the four uninstall locations in order (the two
// Wow6432Node ones only on 64-bit Windows). Records are addressed to `owner`.
void EnumPrograms(TSoftwareList& list, HWND owner);
void EnumUninstallKey(TSoftwareList& list, HWND owner, HKEY root, const std::wstring& basePath);

bool IsVisibleEntry(HKEY root, const std::wstring& keyPath);
bool IsVisibleEntry(HKEY openKey);

TDateTime ParseInstallDate(const std::wstring& text);
TDateTime GetFolderDate(const std::wstring& folder);
TDateTime FileTimeToDate(const FILETIME& utc);
std::wstring GetUninstallFolder(const std::wstring& command);
// Against the global path-variable table, or the given one.
bool IsNotKnownFolder(const std::wstring& folder);
bool IsNotKnownFolder(const std::wstring& folder, const TEnvironmentStrings* table);
std::wstring GetFolderName(const std::wstring& folder);
bool IsGenericFolderName(const std::wstring& name);

// Text up to and including the last backslash or colon; empty when there is none.
std::wstring FolderPart(const std::wstring& path);

}  // namespace quor
