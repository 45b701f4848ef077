#include "inventory/EnvironmentStrings.h"

#include <windows.h>
#include <shlobj.h>

#include "base/Text.h"

namespace quor {

const wchar_t* const kSpecialFolderNames[61] = {
    L"DESKTOP", L"INTERNET", L"PROGRAMS", L"CONTROLS", L"PRINTERS", L"PERSONAL",
    L"FAVORITES", L"STARTUP", L"RECENT", L"SENDTO", L"BITBUCKET", L"STARTMENU",
    L"MYDOCUMENTS", L"MYMUSIC", L"MYVIDEO", L"", L"DESKTOPDIRECTORY", L"DRIVES", L"NETWORK",
    L"NETHOOD", L"FONTS", L"TEMPLATES", L"COMMON_STARTMENU", L"COMMON_PROGRAMS",
    L"COMMON_STARTUP", L"COMMON_DESKTOPDIRECTORY", L"APPDATA", L"PRINTHOOD", L"LOCAL_APPDATA",
    L"ALTSTARTUP", L"COMMON_ALTSTARTUP", L"COMMON_FAVORITES", L"INTERNET_CACHE", L"COOKIES",
    L"HISTORY", L"COMMON_APPDATA", L"WINDOWS", L"SYSTEM", L"PROGRAM_FILES", L"MYPICTURES",
    L"PROFILE", L"SYSTEMX86", L"PROGRAM_FILESX86", L"PROGRAM_FILES_COMMON",
    L"PROGRAM_FILES_COMMONX86", L"COMMON_TEMPLATES", L"COMMON_DOCUMENTS", L"COMMON_ADMINTOOLS",
    L"ADMINTOOLS", L"CONNECTIONS", L"", L"", L"", L"COMMON_MUSIC", L"COMMON_PICTURES",
    L"COMMON_VIDEO", L"RESOURCES", L"RESOURCES_LOCALIZED", L"COMMON_OEM_LINKS", L"CDBURN_AREA",
    L""};

namespace {

constexpr const wchar_t* kEnvironmentNames[] = {
    L"ALLUSERSPROFILE", L"CommonProgramFiles", L"HOMEDRIVE", L"HOMEPATH",
    L"LOCALAPPDATA", L"ProgramData", L"ProgramFiles", L"PUBLIC",
    L"SystemDrive", L"SystemRoot", L"TEMP", L"TMP",
    L"USERPROFILE", L"windir", L"ProgramW6432", L"CommonProgramW6432"};

constexpr int kProfileCsidl = 40;

// Some shells answer a virtual folder with a "::{GUID}" text: only a drive
// path or a UNC path is a folder.
bool IsAbsoluteFolder(const std::wstring& path) {
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return true;
  return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\';
}

std::wstring GetEnvironment(const wchar_t* name) {
  std::wstring value(256, L'\0');
  for (;;) {
    DWORD n = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (n == 0) return {};
    if (n < value.size()) {
      value.resize(n);
      return value;
    }
    value.resize(n);
  }
}

}  // namespace

TEnvironmentStrings::TEnvironmentStrings() {
  LoadSpecialFolders();
  LoadEnvironment();
}

void TEnvironmentStrings::Add(const std::wstring& name, const std::wstring& value) {
  for (const auto& rec : FItems) {
    if (SameTextAscii(rec.Name, name)) return;
  }
  FItems.push_back({name, value});
}

std::wstring TEnvironmentStrings::Expand(const std::wstring& text) const {
  std::wstring result = text;
  for (const auto& rec : FItems) {
    const std::wstring token = L"%" + rec.Name + L"%";
    std::wstring out;
    size_t from = 0;
    for (;;) {
      const size_t at = FindAscii(result, token, from);
      if (at == std::wstring::npos) break;
      out.append(result, from, at - from);
      out += rec.Value;
      from = at + token.size();
    }
    if (from == 0) continue;
    out.append(result, from, std::wstring::npos);
    result = std::move(out);
  }
  return result;
}

std::wstring TEnvironmentStrings::Values(int32_t index) const {
  if (index < 0 || index >= Count()) return {};
  return FItems[static_cast<size_t>(index)].Value;
}

std::wstring TEnvironmentStrings::GetSpecialFolder(int csidl) {
  PIDLIST_ABSOLUTE pidl = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) return {};
  wchar_t path[MAX_PATH] = {};
  const BOOL ok = ::SHGetPathFromIDListW(pidl, path);
  ::CoTaskMemFree(pidl);
  if (!ok) return {};
  std::wstring result(path);
  return IsAbsoluteFolder(result) ? result : std::wstring();
}

void TEnvironmentStrings::LoadSpecialFolders() {
  for (int slot = 0; slot <= 60; ++slot) {
    const std::wstring name = kSpecialFolderNames[slot];
    if (name.empty()) continue;
    const std::wstring path = GetSpecialFolder(slot);
    if (!path.empty()) Add(name, path);
  }
}

void TEnvironmentStrings::LoadEnvironment() {
  const std::wstring profile = GetSpecialFolder(kProfileCsidl);
  // Without a profile folder the computed path would be relative: leave it out.
  if (!profile.empty()) Add(L"LOCAL_APPDATA_LOW", profile + L"\\AppData\\LocalLow");
  for (const wchar_t* name : kEnvironmentNames) {
    const std::wstring value = GetEnvironment(name);
    if (!value.empty()) Add(name, value);
  }
}

std::unique_ptr<TEnvironmentStrings> EnvironmentStrings;

void InitEnvironmentStrings() {
  if (!EnvironmentStrings) EnvironmentStrings = std::make_unique<TEnvironmentStrings>();
}

void DoneEnvironmentStrings() { EnvironmentStrings.reset(); }

std::wstring ExpandEnvironment(const std::wstring& text) {
  return EnvironmentStrings ? EnvironmentStrings->Expand(text) : text;
}

}  // namespace quor
