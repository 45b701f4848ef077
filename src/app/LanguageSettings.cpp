#include "app/LanguageSettings.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <utility>

#include "app/IniFile.h"
#include "app/LangText.h"
#include "base/Handles.h"
#include "base/Text.h"
#include "base/FileExists.h"
#include "base/FindFile.h"

namespace quor {
namespace {

constexpr wchar_t kConfigSection[] = L"General";
constexpr wchar_t kConfigKey[] = L"Lang";
constexpr wchar_t kDefaultLanguage[] = L"English";
constexpr wchar_t kIniExtension[] = L".ini";

std::wstring WithBackslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A language name comes from Config.ini or the menu; one that would reach
// outside the language folder names no language.
bool IsPlainName(const std::wstring& name) {
  return !name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos && name != L"." &&
         name != L"..";
}

bool HasIniExtension(const std::wstring& fileName) {
  const size_t n = std::char_traits<wchar_t>::length(kIniExtension);
  return fileName.size() > n &&
         SameTextAscii(std::wstring_view(fileName).substr(fileName.size() - n), kIniExtension);
}

}  // namespace

TLanguageSettings::TLanguageSettings(std::wstring exeDir, std::wstring configDir)
    : OnLanguageMissing([] { ShowMissingLanguageAndExit(); }),
      FExeDir(WithBackslash(std::move(exeDir))),
      FConfigDir(WithBackslash(std::move(configDir))) {}

std::wstring TLanguageSettings::AppDataFolder() {
  PIDLIST_ABSOLUTE pidl = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &pidl)) || !pidl) return {};
  wchar_t buffer[MAX_PATH] = {};
  const BOOL ok = ::SHGetPathFromIDListW(pidl, buffer);
  ::CoTaskMemFree(pidl);
  if (!ok || buffer[0] == L'\0') return {};
  return WithBackslash(buffer);
}

std::wstring TLanguageSettings::GetConfigDir(const std::wstring& exeDir,
                                             const std::wstring& appDataDir) {
  const std::wstring programDir = WithBackslash(exeDir);
  if (FileExistsEx(programDir + L"config.ini")) return programDir;
  if (appDataDir.empty()) return programDir;
  const std::wstring settingsDir = WithBackslash(appDataDir) + L"Quor Uninstaller\\";
  if (!IsFolder(settingsDir)) {
    // SHCreateDirectoryExW makes the missing parents too.
    std::wstring withoutSlash = settingsDir.substr(0, settingsDir.size() - 1);
    ::SHCreateDirectoryExW(nullptr, withoutSlash.c_str(), nullptr);
  }
  return IsFolder(settingsDir) ? settingsDir : programDir;
}

void TLanguageSettings::ListLanguages() {
  FLangList.clear();
  for (TFindFile find(LanguageDir(), L"*.ini"); find.Next();) {
    const std::wstring fileName = find.Name();
    // "*.ini" also matches longer extensions through short names, and folders.
    if (find.IsFolder() || !HasIniExtension(fileName)) continue;
    FLangList.push_back(fileName.substr(0, fileName.size() - 4));
  }
}

std::wstring TLanguageSettings::GetNativeName(const std::wstring& name) const {
  const std::wstring file = LanguageDir() + name + kIniExtension;
  if (!IsPlainName(name) || !FileExistsEx(file)) return name;
  const auto texts = LoadIniFile(file);
  return texts ? texts->Read(L"Lang", L"NativeLanguage", L"") : std::wstring();
}

TLoadLanguageResult TLanguageSettings::LoadConfig() {
  FLangName = kDefaultLanguage;
  if (const auto config = LoadIniFile(ConfigFile())) {
    // An empty value names no file; it is taken as the default.
    const std::wstring name = Trim(config->Read(kConfigSection, kConfigKey, kDefaultLanguage));
    if (!name.empty()) FLangName = name;
  }
  return LoadLanguage(FLangName);
}

TLoadLanguageResult TLanguageSettings::LoadLanguage(const std::wstring& name) {
  FLangFile = LanguageDir() + name + kIniExtension;
  TLoadLanguageResult result = TLoadLanguageResult::Loaded;
  if (IsPlainName(name) && FileExistsEx(FLangFile)) {
    SetLanguageFile(FLangFile);
    FLangName = name;
  } else {
    const std::wstring english = LanguageDir() + kDefaultLanguage + kIniExtension;
    SetLanguageFile(english);
    if (!FileExistsEx(english)) {
      if (OnLanguageMissing) OnLanguageMissing();
      return TLoadLanguageResult::NoLanguageFile;
    }
    result = TLoadLanguageResult::FellBackToEnglish;
  }
  ReloadLangTexts();
  if (OnTranslate) OnTranslate();
  return result;
}

bool TLanguageSettings::SaveConfig() const {
  const std::wstring file = ConfigFile();
  if (::GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) CreateUnicodeIni(file);
  return ::WritePrivateProfileStringW(kConfigSection, kConfigKey, FLangName.c_str(),
                                      file.c_str()) != FALSE;
}

void ShowMissingLanguageAndExit() {
  ::MessageBoxW(nullptr, kMissingLanguageText, L"Quor Uninstaller", MB_OK | MB_ICONERROR);
  ::TerminateProcess(::GetCurrentProcess(), 0);
  ::ExitProcess(0);
}

}  // namespace quor
