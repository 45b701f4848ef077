#include "app/LangText.h"

#include <gtest/gtest.h>

#include <string>

#include "app/IniBytes.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

using test::TempFolder;
using test::Utf16LeFile;

class LangText : public testing::Test {
 protected:
  void TearDown() override {
    SetLanguageFile(L"");
    ReloadLangTexts();
  }

  std::wstring Use(const std::wstring& text, const std::wstring& name = L"Test.ini") {
    const std::wstring path = folder_.MakeFile(name, Utf16LeFile(text));
    SetLanguageFile(path);
    ReloadLangTexts();
    return path;
  }

  TempFolder folder_{L"QuorLang"};
};

TEST_F(LangText, LooksUpKeysWithDefaults) {
  Use(L"[Uninstall]\r\nSize=Gr\u00f6\u00dfe\r\nItems=\r\n");
  EXPECT_EQ(GetLangText(L"uninstall", L"SIZE", L"Size"), L"Gr\u00f6\u00dfe");
  EXPECT_EQ(GetLangText(L"Uninstall", L"Items", L"Items"), L"");
  EXPECT_EQ(GetLangText(L"Uninstall", L"Version", L"Version"), L"Version");
  EXPECT_EQ(GetLangText(L"", L"Size", L"dflt"), L"dflt");
  EXPECT_EQ(GetLangText(L"Uninstall", L"", L"dflt"), L"dflt");
}

TEST_F(LangText, WithoutLanguageFileAnswersDefaults) {
  SetLanguageFile(folder_ / L"Missing.ini");
  ReloadLangTexts();
  EXPECT_EQ(GetLangText(L"Uninstall", L"Size", L"Size"), L"Size");
  EXPECT_EQ(GetLangCharset(), DEFAULT_CHARSET);
  EXPECT_EQ(GetLangFontName(), L"Tahoma");
  EXPECT_EQ(GetLangFontSize(), 8);
}

TEST_F(LangText, TextsAreCachedUntilReloaded) {
  const std::wstring path = Use(L"[Message]\r\nIsBusy=old\r\n");
  EXPECT_EQ(GetLangText(L"Message", L"IsBusy", L"-"), L"old");
  folder_.MakeFile(L"Test.ini", Utf16LeFile(L"[Message]\r\nIsBusy=new\r\n"));
  EXPECT_EQ(GetLangText(L"Message", L"IsBusy", L"-"), L"old");
  ReloadLangTexts();
  EXPECT_EQ(GetLangText(L"Message", L"IsBusy", L"-"), L"new");
  // The font helpers read the file itself.
  folder_.MakeFile(L"Test.ini", Utf16LeFile(L"[Translation]\r\nDefaultFontSize=11\r\n"));
  EXPECT_EQ(GetLangFontSize(), 11);
  EXPECT_EQ(LanguageFile(), path);
}

TEST_F(LangText, FontSettingsOfTheLanguageFile) {
  struct Case {
    const wchar_t* Translation;
    BYTE Charset;
    const wchar_t* Font;
    int Size;
  };
  const Case cases[] = {
      {L"", ANSI_CHARSET, L"Tahoma", 8},
      {L"DefaultFontSize=10\r\n", ANSI_CHARSET, L"Tahoma", 10},
      {L"DefaultCharSet=russian_charset\r\nDefaultFont=Arial\r\n", RUSSIAN_CHARSET, L"Arial", 8},
      {L"DefaultCharSet=GB2312_CHARSET\r\nDefaultFont=Microsoft YaHei\r\nDefaultFontSize=9\r\n",
       GB2312_CHARSET, L"Microsoft YaHei", 9},
      {L"DefaultCharSet=SHIFTJIS_CHARSET\r\n", SHIFTJIS_CHARSET, L"Tahoma", 8},
      {L"DefaultCharSet=EASTEUROPE_CHARSET\r\n", EASTEUROPE_CHARSET, L"Tahoma", 8},
      {L"DefaultCharSet=KLINGON_CHARSET\r\nDefaultFont=\r\nDefaultFontSize=ten\r\n",
       DEFAULT_CHARSET, L"Tahoma", 8},
      {L"DefaultFontSize=0\r\n", ANSI_CHARSET, L"Tahoma", 8},
      {L"DefaultFontSize=99999999999\r\n", ANSI_CHARSET, L"Tahoma", 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.Charset) << " " << c.Size);
    Use(std::wstring(L"[Translation]\r\n") + c.Translation);
    EXPECT_EQ(GetLangCharset(), c.Charset);
    EXPECT_EQ(GetLangFontName(), c.Font);
    EXPECT_EQ(GetLangFontSize(), c.Size);
  }
}

TEST(CopyFontFace, CopiesFaceCharsetAndSizeOnly) {
  struct Font {
    std::wstring Name;
    BYTE Charset;
    int Size;
    COLORREF Color;
    bool Bold;
  };
  Font target{L"Tahoma", ANSI_CHARSET, 8, RGB(1, 2, 3), true};
  const Font source{L"Meiryo UI", SHIFTJIS_CHARSET, 9, RGB(9, 9, 9), false};
  CopyFontFace(target, source);
  EXPECT_EQ(target.Name, L"Meiryo UI");
  EXPECT_EQ(target.Charset, SHIFTJIS_CHARSET);
  EXPECT_EQ(target.Size, 9);
  EXPECT_EQ(target.Color, RGB(1, 2, 3));
  EXPECT_TRUE(target.Bold);

  LOGFONTW to{};
  to.lfWeight = FW_BOLD;
  to.lfItalic = TRUE;
  LOGFONTW from{};
  from.lfHeight = -12;
  from.lfCharSet = RUSSIAN_CHARSET;
  wcscpy_s(from.lfFaceName, L"Segoe UI");
  CopyFontFace(to, from);
  EXPECT_STREQ(to.lfFaceName, L"Segoe UI");
  EXPECT_EQ(to.lfCharSet, RUSSIAN_CHARSET);
  EXPECT_EQ(to.lfHeight, -12);
  EXPECT_EQ(to.lfWeight, FW_BOLD);
  EXPECT_TRUE(to.lfItalic);
}

}  // namespace
}  // namespace quor
