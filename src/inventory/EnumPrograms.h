#pragma once
// Builds the list of installed programs from the uninstall registrations.

#include <windows.h>

#include <array>
#include <string>

#include "inventory/DateTime.h"
#include "inventory/UninstallObject.h"

namespace quor {

class TEnvironmentStrings;
class TKnownFolders;
class TRegValueSet;

inline constexpr const wchar_t* kUninstallKeyPath =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const wchar_t* kUninstallKeyPathWow =
    L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Words that name no program: never a program's folder name, and never a
// term that a leftover scan looks for (lower case).
extern const std::array<const wchar_t*, 79> GenericFolderNames;

// How much of each registration a caller needs. A listing record holds its
// key, display name, publisher, version, size and install date, and nothing
// else: reading fewer values saves a registry call for each one not read.
enum class TProgramDetail { Full, Listing };

// Clears the list, then reads the four uninstall locations in order (the two
// Wow6432Node ones only on 64-bit Windows).
void EnumPrograms(TSoftwareList& list, TProgramDetail detail = TProgramDetail::Full);
void EnumUninstallKey(TSoftwareList& list, HKEY root, const std::wstring& basePath,
                      TProgramDetail detail = TProgramDetail::Full);

bool IsVisibleEntry(HKEY root, const std::wstring& keyPath);
bool IsVisibleEntry(HKEY openKey);
bool IsVisibleEntry(const TRegValueSet& values);

TDateTime ParseInstallDate(const std::wstring& text);
TDateTime GetFolderDate(const std::wstring& folder);
TDateTime FileTimeToDate(const FILETIME& utc);
// The folder of the uninstall command, unless it is a folder no program
// owns (against the machine's known folders, or the given set) or lies
// anywhere below a folder of the user's own files (Downloads, Desktop,
// Temp and the like).
std::wstring GetUninstallFolder(const std::wstring& command);
std::wstring GetUninstallFolder(const std::wstring& command, const TKnownFolders& known);
// False for a text that names no folder in plain form, for a root, and for a
// well-known folder in any spelling: against the machine's known folders,
// the given set, or only the given path-variable table.
bool IsNotKnownFolder(const std::wstring& folder);
bool IsNotKnownFolder(const std::wstring& folder, const TKnownFolders& known);
bool IsNotKnownFolder(const std::wstring& folder, const TEnvironmentStrings* table);
std::wstring GetFolderName(const std::wstring& folder);
// A generic word, or a name of three characters or less.
bool IsGenericFolderName(const std::wstring& name);
// One of the generic words (any length), ignoring the case of A to Z.
bool IsGenericWord(const std::wstring& text);

// Text up to and including the last backslash or colon; empty when there is none.
std::wstring FolderPart(const std::wstring& path);

}  // namespace quor
