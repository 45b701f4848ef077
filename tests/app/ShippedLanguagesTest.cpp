// The language files shipped in resources/Languages, as the build copies
// them beside the executables.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/IniFile.h"
#include "app/LangText.h"
#include "app/LanguageSettings.h"
#include "base/Text.h"

namespace quor {
namespace {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

using KeySet = std::set<std::wstring>;  // "section.key", lower-cased

KeySet KeysOf(const TIniText& ini) {
  KeySet keys;
  for (const auto& section : ini.SectionNames()) {
    for (const auto& key : ini.KeyNames(section)) keys.insert(LowerAscii(section + L"." + key));
  }
  return keys;
}

std::string Difference(const KeySet& a, const KeySet& b) {
  std::string out;
  for (const auto& key : a) {
    if (!b.count(key)) out += ToUtf8(key) + " ";
  }
  return out;
}

// Where "%d" and "%s" stand in the template; any other conversion is a fault.
std::wstring Conversions(const std::wstring& text) {
  std::wstring found;
  for (size_t at = text.find(L'%'); at != std::wstring::npos; at = text.find(L'%', at + 2)) {
    found += at + 1 < text.size() ? text[at + 1] : L'?';
  }
  return found;
}

class ShippedLanguages : public testing::Test {
 protected:
  void SetUp() override {
    settings_.ListLanguages();
    english_ = LoadIniFile(settings_.LanguageDir() + L"English.ini");
    ASSERT_TRUE(english_) << "English.ini is not beside the test program";
  }

  TLanguageSettings settings_{ProgramFolder(), ProgramFolder()};
  std::optional<TIniText> english_;
};

TEST_F(ShippedLanguages, TheExpectedTranslationsAreThere) {
  const auto& list = settings_.LangList();
  for (const wchar_t* name : {L"English", L"German", L"French", L"Spanish", L"BrazilianPortuguese",
                              L"Russian", L"SimplifiedChinese", L"Japanese", L"Polish"}) {
    EXPECT_NE(std::find(list.begin(), list.end(), name), list.end()) << ToUtf8(name);
  }
}

TEST_F(ShippedLanguages, EveryFileIsCompleteAndWellFormed) {
  const KeySet englishKeys = KeysOf(*english_);
  for (const auto& name : settings_.LangList()) {
    SCOPED_TRACE(ToUtf8(name));
    const std::wstring path = settings_.LanguageDir() + name + L".ini";
    const auto bytes = ReadFileBytes(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 2), "\xFF\xFE") << "not UTF-16 LE with a byte-order mark";
    EXPECT_EQ(bytes->size() % 2, 0u);
    const TIniText ini = TIniText::Parse(*bytes);
    const KeySet keys = KeysOf(ini);
    EXPECT_EQ(Difference(englishKeys, keys), "") << "missing keys";
    EXPECT_EQ(Difference(keys, englishKeys), "") << "keys that English.ini lacks";

    EXPECT_FALSE(ini.Read(L"Lang", L"NativeLanguage", L"").empty());
    const std::wstring charset = ini.Read(L"Translation", L"DefaultCharSet", L"");
    EXPECT_TRUE(CharsetFromName(charset) != DEFAULT_CHARSET || charset == L"DEFAULT_CHARSET")
        << "unknown character set " << ToUtf8(charset);
    EXPECT_FALSE(ini.Read(L"Translation", L"DefaultFont", L"").empty());
    const std::wstring size = ini.Read(L"Translation", L"DefaultFontSize", L"");
    EXPECT_TRUE(!size.empty() && size.find_first_not_of(L"0123456789") == std::wstring::npos);

    EXPECT_EQ(Conversions(ini.Read(L"Uninstall", L"TotalStat", L"")), L"ds");
    // Templates that take one count or one name.
    const std::pair<const wchar_t*, const wchar_t*> templates[] = {
        {L"RestoreDone", L"d"}, {L"RestoreMore", L"d"}, {L"RestoreConfirm", L"s"},
        {L"RestoreAgain", L"s"}};
    for (const auto& [key, conversions] : templates)
      EXPECT_EQ(Conversions(ini.Read(L"Message", key, L"")), conversions) << ToUtf8(key);
    EXPECT_EQ(Conversions(ini.Read(L"Uninstall", L"RemoveFailedMore", L"")), L"d");

    for (const wchar_t* item : {L"pmHelp", L"pmHome", L"pmCheckNew", L"pmLang", L"pmAbout",
                                L"pmOpenEntry", L"pmGoogle", L"N1", L"N2", L"pmRestore"}) {
      EXPECT_EQ(ini.Read(L"Translation", item, L"").find(L'&'), std::wstring::npos)
          << ToUtf8(item);
    }

    // Translated: every text that English has is there, and few are English.
    int same = 0;
    int texts = 0;
    for (const auto& section : english_->SectionNames()) {
      for (const auto& key : english_->KeyNames(section)) {
        const std::wstring reference = english_->Read(section, key, L"");
        if (reference.empty()) continue;
        const std::wstring text = ini.Read(section, key, L"");
        EXPECT_FALSE(text.empty()) << ToUtf8(section + L"." + key);
        ++texts;
        if (text == reference) ++same;
      }
    }
    if (name != L"English") {
      EXPECT_LT(same * 4, texts) << same << " of " << texts << " untranslated";
    }
  }
}

}  // namespace
}  // namespace quor
