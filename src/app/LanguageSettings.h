#pragma once
// The settings folder, the list of language files and the choice of the
// language in use. The main window owns one instance; translating the window
// after a load and the fatal end when no language file exists are callbacks,
// so that all of it runs without a window.

#include <functional>
#include <string>
#include <vector>

namespace quor {

inline constexpr wchar_t kMissingLanguageText[] =
    L"Can not load language file, please re-install the program to fix the issue.";

enum class TLoadLanguageResult {
  Loaded,            // the named language is in use
  FellBackToEnglish, // its file is missing; English is in use, FLangName kept
  NoLanguageFile,    // neither file exists: the program cannot go on
};

class TLanguageSettings {
 public:
  // `exeDir` is the program folder, `configDir` the settings folder (see
  // GetConfigDir); a trailing backslash is added to each when missing.
  TLanguageSettings(std::wstring exeDir, std::wstring configDir);

  // The program folder when it holds a config.ini, else "Quor Uninstaller"
  // in `appDataDir` (created with its parents), else the program folder.
  static std::wstring GetConfigDir(const std::wstring& exeDir,
                                   const std::wstring& appDataDir = AppDataFolder());
  // The user's application-data folder with a trailing backslash, or empty.
  static std::wstring AppDataFolder();

  // Runs after every load that put a language file in use.
  std::function<void()> OnTranslate;
  // Runs when neither the asked-for nor the English file exists; by default
  // it shows the fatal message and ends the process.
  std::function<void()> OnLanguageMissing;

  void ListLanguages();
  std::wstring GetNativeName(const std::wstring& name) const;
  TLoadLanguageResult LoadConfig();
  TLoadLanguageResult LoadLanguage(const std::wstring& name);
  bool SaveConfig() const;

  const std::wstring& ExeDir() const { return FExeDir; }
  const std::wstring& ConfigDir() const { return FConfigDir; }
  std::wstring ConfigFile() const { return FConfigDir + L"Config.ini"; }
  std::wstring LanguageDir() const { return FExeDir + L"Languages\\"; }
  const std::vector<std::wstring>& LangList() const { return FLangList; }
  const std::wstring& LangName() const { return FLangName; }
  const std::wstring& LangFile() const { return FLangFile; }

 private:
  std::wstring FExeDir;
  std::wstring FConfigDir;
  std::vector<std::wstring> FLangList;
  std::wstring FLangName = L"English";
  std::wstring FLangFile;
};

// The plain system message box with kMissingLanguageText, then the process
// ends at once with exit code 0; nothing is saved.
[[noreturn]] void ShowMissingLanguageAndExit();

}  // namespace quor
