#include "app/LanguageSettings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/IniBytes.h"
#include "app/IniFile.h"
#include "app/LangText.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

using test::PathExists;
using test::TempFolder;
using test::Utf16LeFile;

std::string LanguageFileText(const std::wstring& nativeName, const std::wstring& size) {
  return Utf16LeFile(L"[Lang]\r\nNativeLanguage=" + nativeName +
                     L"\r\n[Translation]\r\nDefaultFontSize=" + size +
                     L"\r\n[Uninstall]\r\nSize=" + nativeName + L" size\r\n");
}

// A program folder with a Languages folder and a settings folder beside it.
class LanguageSettings : public testing::Test {
 protected:
  void TearDown() override {
    SetLanguageFile(L"");
    ReloadLangTexts();
  }

  void AddLanguage(const std::wstring& name, const std::wstring& nativeName = L"",
                   const std::wstring& size = L"8") {
    folder_.MakeFile(L"Program\\Languages\\" + name + L".ini",
                     LanguageFileText(nativeName.empty() ? name : nativeName, size));
  }

  void WriteConfig(const std::string& bytes) { folder_.MakeFile(L"Settings\\Config.ini", bytes); }

  TLanguageSettings MakeSettings() {
    folder_.MakeFolder(L"Program\\Languages");
    folder_.MakeFolder(L"Settings");
    TLanguageSettings settings(folder_ / L"Program", folder_ / L"Settings");
    settings.OnTranslate = [this] { ++translations_; };
    settings.OnLanguageMissing = [this] { ++fatalEnds_; };
    return settings;
  }

  std::wstring SavedLang() const {
    const auto config = LoadIniFile(folder_ / L"Settings\\Config.ini");
    return config ? config->Read(L"General", L"Lang", L"<absent>") : L"<no file>";
  }

  TempFolder folder_{L"QuorSettings"};
  int translations_ = 0;
  int fatalEnds_ = 0;
};

TEST_F(LanguageSettings, ConfigFolderChoice) {
  const std::wstring exeDir = folder_.MakeFolder(L"Program");
  const std::wstring appData = folder_ / L"Users\\Roaming";

  // Without config.ini the folder under application data is made, parents too.
  const std::wstring expected = appData + L"\\Quor Uninstaller\\";
  EXPECT_EQ(TLanguageSettings::GetConfigDir(exeDir, appData), expected);
  EXPECT_TRUE(PathExists(expected));

  // A folder that cannot be made leaves the settings in the program folder.
  folder_.MakeFile(L"Blocked\\Quor Uninstaller", "a file, not a folder");
  EXPECT_EQ(TLanguageSettings::GetConfigDir(exeDir, folder_ / L"Blocked"), exeDir + L"\\");
  EXPECT_EQ(TLanguageSettings::GetConfigDir(exeDir, L""), exeDir + L"\\");

  // A config.ini in the program folder, in any case, keeps the settings there.
  folder_.MakeFile(L"Program\\CONFIG.INI", "[General]\r\nLang=German\r\n");
  EXPECT_EQ(TLanguageSettings::GetConfigDir(exeDir + L"\\", appData), exeDir + L"\\");

  EXPECT_FALSE(TLanguageSettings::AppDataFolder().empty());
}

TEST_F(LanguageSettings, ListsLanguageFilesOnly) {
  AddLanguage(L"English");
  AddLanguage(L"German", L"Deutsch");
  folder_.MakeFile(L"Program\\Languages\\Old.ini.bak", "x");
  folder_.MakeFile(L"Program\\Languages\\Notes.inix", "x");
  folder_.MakeFile(L"Program\\Languages\\Readme.txt", "x");
  folder_.MakeFolder(L"Program\\Languages\\Folder.ini");
  const std::wstring hidden = folder_.MakeFile(L"Program\\Languages\\Hidden.ini", "x");
  ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);

  TLanguageSettings settings = MakeSettings();
  settings.ListLanguages();
  std::vector<std::wstring> names = settings.LangList();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"English", L"German", L"Hidden"}));

  settings.ListLanguages();
  EXPECT_EQ(settings.LangList().size(), 3u) << "a second listing replaces the first";
}

TEST_F(LanguageSettings, NativeNames) {
  AddLanguage(L"German", L"Deutsch");
  folder_.MakeFile(L"Program\\Languages\\Bare.ini", Utf16LeFile(L"[Lang]\r\nOther=1\r\n"));
  TLanguageSettings settings = MakeSettings();
  EXPECT_EQ(settings.GetNativeName(L"German"), L"Deutsch");
  EXPECT_EQ(settings.GetNativeName(L"Bare"), L"");
  EXPECT_EQ(settings.GetNativeName(L"Klingon"), L"Klingon");
}

TEST_F(LanguageSettings, NoLanguageFileIsFatal) {
  TLanguageSettings settings = MakeSettings();
  WriteConfig("[General]\r\nLang=German\r\n");
  EXPECT_EQ(settings.LoadConfig(), TLoadLanguageResult::NoLanguageFile);
  EXPECT_EQ(fatalEnds_, 1);
  EXPECT_EQ(translations_, 0);
}

TEST_F(LanguageSettings, LoadsTheConfiguredLanguage) {
  AddLanguage(L"English");
  AddLanguage(L"German", L"Deutsch", L"10");
  WriteConfig(Utf16LeFile(L"[General]\r\nlang = German\r\n"));
  TLanguageSettings settings = MakeSettings();

  EXPECT_EQ(settings.LoadConfig(), TLoadLanguageResult::Loaded);
  EXPECT_EQ(settings.LangName(), L"German");
  EXPECT_EQ(settings.LangFile(), folder_ / L"Program\\Languages\\German.ini");
  EXPECT_EQ(LanguageFile(), settings.LangFile());
  EXPECT_EQ(GetLangText(L"Uninstall", L"Size", L"Size"), L"Deutsch size");
  EXPECT_EQ(GetLangFontSize(), 10);
  EXPECT_EQ(translations_, 1);

  // Switching reloads the cached texts and translates again.
  EXPECT_EQ(settings.LoadLanguage(L"English"), TLoadLanguageResult::Loaded);
  EXPECT_EQ(GetLangText(L"Uninstall", L"Size", L"Size"), L"English size");
  EXPECT_EQ(translations_, 2);
}

TEST_F(LanguageSettings, MissingLanguageFallsBackToEnglishAndIsKept) {
  AddLanguage(L"English");
  struct Case {
    const char* Config;
    const wchar_t* LangName;
  };
  const Case cases[] = {
      {"[General]\r\nLang=Klingon\r\n", L"Klingon"},
      {"[General]\r\nLang=..\\..\\Settings\\Config\r\n", L"..\\..\\Settings\\Config"},
      {"[General]\r\nLang=\r\n", L"English"},
      {"[Other]\r\nLang=German\r\n", L"English"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Config);
    WriteConfig(c.Config);
    TLanguageSettings settings = MakeSettings();
    const auto result = settings.LoadConfig();
    EXPECT_EQ(settings.LangName(), c.LangName);
    EXPECT_EQ(LanguageFile(), folder_ / L"Program\\Languages\\English.ini");
    EXPECT_EQ(GetLangText(L"Uninstall", L"Size", L"Size"), L"English size");
    if (std::wstring(c.LangName) != L"English") {
      EXPECT_EQ(result, TLoadLanguageResult::FellBackToEnglish);
      ASSERT_TRUE(settings.SaveConfig());
      EXPECT_EQ(SavedLang(), c.LangName);
    }
  }
  EXPECT_EQ(fatalEnds_, 0);
}

TEST_F(LanguageSettings, WithoutConfigFileEnglishIsUsed) {
  AddLanguage(L"English");
  AddLanguage(L"German");
  TLanguageSettings settings = MakeSettings();
  EXPECT_EQ(settings.LoadConfig(), TLoadLanguageResult::Loaded);
  EXPECT_EQ(settings.LangName(), L"English");
}

TEST_F(LanguageSettings, SaveConfigKeepsTheRestOfTheFile) {
  AddLanguage(L"English");
  AddLanguage(L"\u0420\u0443\u0441\u0441\u043a\u0438\u0439");
  WriteConfig(Utf16LeFile(
      L"[Window]\r\nLeft=10\r\n[General]\r\nSkin=Blue\r\nLang=English\r\n[Last]\r\nx=1\r\n"));
  TLanguageSettings settings = MakeSettings();
  settings.LoadConfig();
  settings.LoadLanguage(L"\u0420\u0443\u0441\u0441\u043a\u0438\u0439");
  ASSERT_TRUE(settings.SaveConfig());

  const auto config = LoadIniFile(folder_ / L"Settings\\Config.ini");
  ASSERT_TRUE(config);
  EXPECT_EQ(config->Read(L"General", L"Lang", L""), L"\u0420\u0443\u0441\u0441\u043a\u0438\u0439");
  EXPECT_EQ(config->Read(L"General", L"Skin", L""), L"Blue");
  EXPECT_EQ(config->Read(L"Window", L"Left", L""), L"10");
  EXPECT_EQ(config->Read(L"Last", L"x", L""), L"1");
}

TEST_F(LanguageSettings, SaveConfigCreatesTheFile) {
  AddLanguage(L"English");
  AddLanguage(L"\u65e5\u672c\u8a9e");
  TLanguageSettings settings = MakeSettings();
  settings.LoadLanguage(L"\u65e5\u672c\u8a9e");
  ASSERT_FALSE(PathExists(folder_ / L"Settings\\Config.ini"));
  ASSERT_TRUE(settings.SaveConfig());
  EXPECT_EQ(SavedLang(), L"\u65e5\u672c\u8a9e");
}

}  // namespace
}  // namespace quor
