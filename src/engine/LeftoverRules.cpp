#include "engine/LeftoverRules.h"

#include <windows.h>

#include <stdexcept>
#include <string_view>

#include "inventory/EnvironmentStrings.h"
#include "inventory/Registry.h"

namespace quor {

std::vector<std::wstring> FolderRoots;
std::vector<std::wstring> RegistryRules;
std::vector<std::wstring> SkippedKeyNames;

namespace {

constexpr const wchar_t* kFolderTemplates[] = {
    L"%appdata%",          L"%PROFILE%\\Recent",         L"%RECENT%",
    L"%startmenu%",        L"%common_startmenu%",        L"%COMMON_DESKTOPDIRECTORY%",
    L"%DESKTOPDIRECTORY%", L"%LOCAL_APPDATA%",           L"%ProgramFiles%",
    L"%PUBLIC%",           L"%COMMON_STARTUP%",          L"%STARTUP%"};
constexpr const wchar_t* kProgramFilesX86 = L"%PROGRAM_FILESX86%";
constexpr const wchar_t* kFolderTemplates64[] = {L"%ProgramW6432%", L"%CommonProgramW6432%"};

constexpr const wchar_t* kRegistryRules[] = {
    L"HKEY_CLASSES_ROOT=",
    L"HKEY_LOCAL_MACHINE\\Software=",
    L"HKEY_CURRENT_USER\\Software=",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows=load",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer=run",
    L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer=run",
    L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce=",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce=",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices=",
    L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices=",
    L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run=",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run=",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce=",
    L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce=",
    L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\services\\eventlog\\Application="};

constexpr const wchar_t* kRegistryRules64[] = {
    L"HKEY_CURRENT_USER\\Software\\Wow6432Node=",
    L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node=",
    L"HKEY_CURRENT_USER\\Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Windows=load",
    L"HKEY_CURRENT_USER\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer=run",
    L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer=run",
    L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce=",
    L"HKEY_CURRENT_USER\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce=",
    L"HKEY_CURRENT_USER\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunServices=",
    L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunServices=",
    L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run=",
    L"HKEY_CURRENT_USER\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run=",
    L"HKEY_CURRENT_USER\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce=",
    L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce="};

}  // namespace

void OsCheck() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;  // 276
  // Deprecated, but it is the call that tells the platform family.
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
  const BOOL ok = ::GetVersionExW(&info);
#else
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL ok = ::GetVersionExW(&info);
#pragma GCC diagnostic pop
#endif
  if (!ok || info.dwPlatformId != VER_PLATFORM_WIN32_NT) {
    throw std::runtime_error("The operating system is not be supported");
  }
}

void LoadRuleLists() {
  OsCheck();
  const bool win64 = IsWin64();
  FolderRoots.clear();
  for (const wchar_t* t : kFolderTemplates) {
    // "%ProgramFiles%" named the 32-bit folder for a 32-bit process; a 64-bit
    // process reads the 64-bit one there, which roots 13 and 14 already
    // search. So this root stays the 32-bit folder.
    const bool programFiles = std::wstring_view(t) == L"%ProgramFiles%";
    if (programFiles && win64 && sizeof(void*) == 8) t = kProgramFilesX86;
    FolderRoots.push_back(IncludeBackslash(ExpandEnvironment(t)));
  }
  if (win64) {
    for (const wchar_t* t : kFolderTemplates64) {
      FolderRoots.push_back(IncludeBackslash(ExpandEnvironment(t)));
    }
  }
  RegistryRules.assign(std::begin(kRegistryRules), std::end(kRegistryRules));
  if (win64) RegistryRules.insert(RegistryRules.end(), std::begin(kRegistryRules64), std::end(kRegistryRules64));
  SkippedKeyNames = {L"CLSID", L"Interface"};
}

void FreeRuleLists() {
  FolderRoots.clear();
  RegistryRules.clear();
  SkippedKeyNames.clear();
}

int32_t ScanStepCount() { return static_cast<int32_t>(FolderRoots.size() + RegistryRules.size()); }

}  // namespace quor
