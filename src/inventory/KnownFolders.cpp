#include "inventory/KnownFolders.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "base/FindFile.h"
#include "base/Text.h"
#include "inventory/EnvironmentStrings.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

// Known folders that have no old-style special-folder number, or whose
// number some systems do not answer.
const KNOWNFOLDERID* const kKnownFolderIds[] = {
    &FOLDERID_Downloads,         &FOLDERID_SavedGames,         &FOLDERID_Links,
    &FOLDERID_Contacts,          &FOLDERID_SavedSearches,      &FOLDERID_Favorites,
    &FOLDERID_SkyDrive,          &FOLDERID_Public,             &FOLDERID_PublicDesktop,
    &FOLDERID_PublicDocuments,   &FOLDERID_PublicDownloads,    &FOLDERID_PublicMusic,
    &FOLDERID_PublicPictures,    &FOLDERID_PublicVideos,       &FOLDERID_ProgramFilesX64,
    &FOLDERID_ProgramFilesX86,   &FOLDERID_ProgramFilesCommonX64, &FOLDERID_ProgramFilesCommonX86,
    &FOLDERID_ProgramData,       &FOLDERID_Profile,            &FOLDERID_UserProfiles,
    &FOLDERID_Documents,         &FOLDERID_Desktop,            &FOLDERID_Music,
    &FOLDERID_Pictures,          &FOLDERID_Videos,             &FOLDERID_RoamingAppData,
    &FOLDERID_LocalAppData,      &FOLDERID_LocalAppDataLow,    &FOLDERID_Templates,
    &FOLDERID_StartMenu,         &FOLDERID_CommonStartMenu,    &FOLDERID_Programs,
    &FOLDERID_CommonPrograms,    &FOLDERID_Startup,            &FOLDERID_CommonStartup,
    &FOLDERID_Recent,            &FOLDERID_SendTo,             &FOLDERID_Fonts,
};

// Where users keep, receive and unpack files: never a program's own folder,
// at any depth.
const KNOWNFOLDERID* const kUserTreeIds[] = {
    &FOLDERID_Downloads,       &FOLDERID_Desktop,       &FOLDERID_Documents,
    &FOLDERID_Music,           &FOLDERID_Pictures,      &FOLDERID_Videos,
    &FOLDERID_SavedGames,      &FOLDERID_Links,         &FOLDERID_Contacts,
    &FOLDERID_Favorites,       &FOLDERID_SavedSearches, &FOLDERID_SkyDrive,
    &FOLDERID_Public,          &FOLDERID_PublicDesktop, &FOLDERID_PublicDocuments,
    &FOLDERID_PublicDownloads, &FOLDERID_PublicMusic,   &FOLDERID_PublicPictures,
    &FOLDERID_PublicVideos,    &FOLDERID_Recent,        &FOLDERID_SendTo,
    &FOLDERID_Templates,       &FOLDERID_StartMenu,     &FOLDERID_CommonStartMenu,
};

constexpr const wchar_t* kUserTreeVariables[] = {
    L"TEMP", L"TMP", L"PUBLIC", L"OneDrive", L"OneDriveConsumer", L"OneDriveCommercial"};

constexpr const wchar_t* kEnvironmentFolders[] = {
    L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"CommonProgramFiles",
    L"CommonProgramFiles(x86)", L"CommonProgramW6432", L"ProgramData", L"ALLUSERSPROFILE",
    L"PUBLIC", L"USERPROFILE", L"APPDATA", L"LOCALAPPDATA", L"TEMP", L"TMP", L"OneDrive",
    L"OneDriveConsumer", L"OneDriveCommercial", L"SystemRoot", L"windir"};

constexpr const wchar_t* kProfileListKey =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

std::wstring KnownFolderPath(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) {
    result = path;
  }
  ::CoTaskMemFree(path);
  return result;
}

std::wstring EnvironmentValue(const wchar_t* name) {
  const DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return {};
  std::wstring value(n, L'\0');
  const DWORD got = ::GetEnvironmentVariableW(name, value.data(), n);
  value.resize(got < n ? got : 0);
  return value;
}

std::wstring ExpandedRegString(HKEY root, const std::wstring& path, const wchar_t* name) {
  const std::wstring raw = ReadRegString(root, path, name);
  if (raw.find(L'%') == std::wstring::npos) return raw;
  std::wstring buffer(32768, L'\0');
  const DWORD n = ::ExpandEnvironmentStringsW(raw.c_str(), buffer.data(), 32768);
  if (n == 0 || n > 32768) return raw;
  buffer.resize(n - 1);
  return buffer;
}

// Every profile the system knows, and every folder in the profiles folder.
void AddProfiles(TKnownFolders& set) {
  const std::wstring profilesDir = ExpandedRegString(HKEY_LOCAL_MACHINE, kProfileListKey, L"ProfilesDirectory");
  std::vector<std::wstring> sids;
  GetSubKeyNames(HKEY_LOCAL_MACHINE, kProfileListKey, sids);
  for (const auto& sid : sids) {
    const std::wstring image =
        ExpandedRegString(HKEY_LOCAL_MACHINE, IncludeBackslash(kProfileListKey) + sid, L"ProfileImagePath");
    if (!image.empty()) set.AddFolder(image);
  }
  std::wstring dir = profilesDir;
  if (dir.empty()) {
    // The parent of the current profile.
    std::wstring profile = KnownFolderPath(FOLDERID_Profile);
    const size_t cut = profile.find_last_of(L'\\');
    if (cut != std::wstring::npos && cut > 2) dir = profile.substr(0, cut);
  }
  if (dir.empty()) return;
  set.AddFolder(dir);
  for (TFindFile find(dir); find.Next();) {
    if (find.IsFolder()) set.AddFolder(IncludeBackslash(dir) + find.Name());
  }
}

std::wstring ModuleFolder() {
  std::wstring path(32768, L'\0');
  const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  const size_t cut = path.find_last_of(L'\\');
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

}  // namespace

TKnownFolders TKnownFolders::ForMachine(const TEnvironmentStrings* table) {
  if (!table) table = EnvironmentStrings.get();
  TKnownFolders set;
  if (table) {
    set.SetExpander([table](const std::wstring& text) { return table->Expand(text); });
    for (const auto& rec : table->Items()) set.AddFolder(rec.Value);
  }
  for (const KNOWNFOLDERID* id : kKnownFolderIds) set.AddFolder(KnownFolderPath(*id));
  const std::wstring programData = KnownFolderPath(FOLDERID_ProgramData);
  if (!programData.empty()) set.AddFolder(IncludeBackslash(programData) + L"Package Cache");
  for (const wchar_t* name : kEnvironmentFolders) set.AddFolder(EnvironmentValue(name));
  wchar_t windows[MAX_PATH] = {};
  if (::GetWindowsDirectoryW(windows, MAX_PATH)) set.AddTree(windows);
  if (::GetSystemWindowsDirectoryW(windows, MAX_PATH)) set.AddTree(windows);
  AddProfiles(set);
  for (const KNOWNFOLDERID* id : kUserTreeIds) set.AddUserTree(KnownFolderPath(*id));
  for (const wchar_t* name : kUserTreeVariables) set.AddUserTree(EnvironmentValue(name));
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD tempLength = ::GetTempPathW(MAX_PATH + 1, temp);
  if (tempLength > 0 && tempLength <= MAX_PATH) set.AddUserTree(temp);
  // This program's own folders.
  set.AddTree(ModuleFolder());
  // Its settings, and its backups of removed items (which carry the programs'
  // names): the environment's local folder is the one the backups follow.
  for (const std::wstring& base :
       {KnownFolderPath(FOLDERID_RoamingAppData), KnownFolderPath(FOLDERID_LocalAppData),
        EnvironmentValue(L"LOCALAPPDATA"), EnvironmentValue(L"APPDATA")})
    if (!base.empty()) set.AddTree(IncludeBackslash(base) + L"Quor Uninstaller");
  return set;
}

void TKnownFolders::AddCanonical(const std::wstring& text, std::vector<std::wstring>& into) {
  std::wstring key = LowerAscii(Trim(text));
  while (!key.empty() && (key.back() == L'\\' || key.back() == L'"')) key.pop_back();
  if (key.empty()) return;
  // Folders and trees are told apart in the key: the same text may be both.
  const wchar_t* kind = &into == &FTrees ? L"t:" : &into == &FUserTrees ? L"u:" : L"f:";
  if (!FSeen.insert(kind + key).second) return;
  auto folder = CanonicalFolder(text, FExpand);
  if (!folder) return;
  into.push_back(folder->Path);
  if (!SameTextUnicode(folder->Final, folder->Path)) into.push_back(folder->Final);
}

void TKnownFolders::AddFolder(const std::wstring& folder) { AddCanonical(folder, FFolders); }
void TKnownFolders::AddTree(const std::wstring& folder) { AddCanonical(folder, FTrees); }
void TKnownFolders::AddUserTree(const std::wstring& folder) { AddCanonical(folder, FUserTrees); }

bool TKnownFolders::InUserTree(const std::wstring& folder) const {
  auto canonical = CanonicalFolder(folder, FExpand);
  if (!canonical) return true;
  for (const std::wstring* spelling : {&canonical->Path, &canonical->Final}) {
    for (const auto& tree : FUserTrees) {
      if (IsAtOrBelow(*spelling, tree)) return true;
    }
  }
  return false;
}

bool TKnownFolders::Protects(const std::wstring& folder) const {
  auto canonical = CanonicalFolder(folder, FExpand);
  return !canonical || Protects(*canonical);
}

bool TKnownFolders::Protects(const TCanonicalFolder& folder) const {
  for (const std::wstring* spelling : {&folder.Path, &folder.Final}) {
    if (IsRootFolder(*spelling)) return true;
    for (const auto& known : FFolders) {
      if (IsAtOrBelow(known, *spelling)) return true;  // is it, or contains it
    }
    for (const auto& tree : FTrees) {
      if (IsAtOrBelow(*spelling, tree) || IsAtOrBelow(tree, *spelling)) return true;
    }
  }
  return false;
}

}  // namespace quor
