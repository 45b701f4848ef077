#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/IniFile.h"
#include "app/IniText.h"
#include "app/IniBytes.h"
#include "base/Text.h"

namespace quor {
namespace {

using test::Utf16BeFile;
using test::Utf16LeFile;

constexpr wchar_t kSample[] =
    L"[Translation]\r\nDefaultFont=Tahoma\r\n[Uninstall]\r\nSize=Gr\u00f6\u00dfe \u00e9t\u00e9\r\n";

// The sample in the system's ANSI code page, or empty when it cannot hold it.
std::string AnsiSample() {
  BOOL lost = FALSE;
  const int n = ::WideCharToMultiByte(CP_ACP, 0, kSample, -1, nullptr, 0, nullptr, &lost);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, kSample, -1, out.data(), n, nullptr, &lost);
  out.pop_back();
  return lost ? std::string() : out;
}

TEST(IniText, EveryEncodingReadsAlike) {
  struct Case {
    const char* Name;
    std::string Bytes;
  };
  const std::vector<Case> cases = {
      {"UTF-16 LE", Utf16LeFile(kSample)},
      {"UTF-16 BE", Utf16BeFile(kSample)},
      {"UTF-8", "\xEF\xBB\xBF" + ToUtf8(kSample)},
      {"ANSI", AnsiSample()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Bytes.empty()) continue;  // the ANSI code page lacks these letters
    const TIniText ini = TIniText::Parse(c.Bytes, DecodeAnsi);
    EXPECT_EQ(ini.Read(L"Uninstall", L"Size", L"?"), L"Gr\u00f6\u00dfe \u00e9t\u00e9");
    EXPECT_EQ(ini.Read(L"Translation", L"DefaultFont", L"?"), L"Tahoma");
  }
}

TEST(IniText, FollowsWindowsIniRules) {
  const TIniText ini = TIniText::ParseText(
      L"orphan=before any section\n"
      L"[Lang]\n"
      L"  NativeLanguage =  Deutsch  \n"
      L"; NativeLanguage=comment\n"
      L"Empty=\n"
      L"Quoted=\"  spaced  \"\n"
      L"Inner=say \"hi\" now\n"
      L"NoEquals\n"
      L"Dup=first\n"
      L"DUP=second\n"
      L"[other]\r"
      L"a=1\r"
      L"[LANG]\r\n"
      L"Dup=third\r\n"
      L"Later=from the repeated section\r\n"
      L"[ Spaced ]\n"
      L"k=v=w\n"
      L"[Unclosed\n"
      L"x=y");
  struct Case {
    const wchar_t* Section;
    const wchar_t* Key;
    const wchar_t* Expected;  // null: absent
  };
  const Case cases[] = {
      {L"lang", L"nativelanguage", L"Deutsch"},
      {L"Lang", L"Empty", L""},
      {L"Lang", L"Quoted", L"  spaced  "},
      {L"Lang", L"Inner", L"say \"hi\" now"},
      {L"Lang", L"NoEquals", nullptr},
      {L"Lang", L"dup", L"first"},
      {L"Lang", L"Later", L"from the repeated section"},
      {L"Other", L"A", L"1"},
      {L"Spaced", L"k", L"v=w"},
      {L"Unclosed", L"x", L"y"},
      {L"", L"orphan", nullptr},
      {L"Missing", L"a", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << ToUtf8(c.Section) << "." << ToUtf8(c.Key));
    const std::wstring* value = ini.Find(c.Section, c.Key);
    if (c.Expected == nullptr) {
      EXPECT_EQ(value, nullptr);
    } else {
      ASSERT_NE(value, nullptr);
      EXPECT_EQ(*value, c.Expected);
    }
  }
  EXPECT_EQ(ini.KeyNames(L"LANG"),
            (std::vector<std::wstring>{L"NativeLanguage", L"Empty", L"Quoted", L"Inner", L"Dup",
                                       L"Later"}));
  EXPECT_EQ(ini.SectionNames(),
            (std::vector<std::wstring>{L"Lang", L"other", L"Spaced", L"Unclosed"}));
}

TEST(IniText, SurvivesDamagedFiles) {
  const std::string megabyte(4u << 20, 'x');
  struct Case {
    const char* Name;
    std::string Bytes;
    const wchar_t* Key;       // looked up in section "s"
    const wchar_t* Expected;  // null: absent
  };
  const std::vector<Case> cases = {
      {"empty", "", L"k", nullptr},
      {"lone UTF-16 mark", "\xFF\xFE", L"k", nullptr},
      {"lone UTF-8 mark", "\xEF\xBB\xBF", L"k", nullptr},
      {"half a mark", "\xFF", L"k", nullptr},
      {"truncated UTF-16", Utf16LeFile(L"[s]\r\nk=v\r\n") + "\x41", L"k", L"v"},
      {"truncated UTF-16 mid-line", Utf16LeFile(L"[s]\nk=value").substr(0, 2 + 2 * 9), L"k",
       L"val"},
      {"NUL ends a line", std::string("[s]\0k=v\0\0j=w", 12), L"j", L"w"},
      {"NUL in UTF-16", Utf16LeFile(std::wstring(L"[s]\0k=a\0b", 9)), L"k", L"a"},
      {"no line end", "[s]\nk=last", L"k", L"last"},
      {"invalid UTF-8", "\xEF\xBB\xBF[s]\nk=\xC0\xAF\xFF\n", L"k", L"\uFFFD\uFFFD\uFFFD"},
      {"line of megabytes", "[s]\nbig=" + megabyte + "\nk=after", L"k", L"after"},
      {"section of megabytes", "[" + megabyte + "\n[s]\nk=v", L"k", L"v"},
      {"only brackets", "[\n]\n[]\n=\n==\n[s]\nk=v", L"k", L"v"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TIniText ini = TIniText::Parse(c.Bytes, DecodeAnsi);
    const std::wstring* value = ini.Find(L"s", c.Key);
    if (c.Expected == nullptr) {
      EXPECT_EQ(value, nullptr);
    } else {
      ASSERT_NE(value, nullptr);
      EXPECT_EQ(*value, c.Expected);
    }
  }
}

TEST(IniText, Utf8DecodingYieldsUtf16) {
  struct Case {
    const char* Bytes;
    std::wstring Expected;
  };
  const Case cases[] = {
      {"a\xC3\xA9", L"a\u00e9"},
      {"\xE2\x82\xAC", L"\u20ac"},
      {"\xF0\x9F\x98\x80", std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}},
      {"\xE0\x80\xAF", L"\uFFFD"},        // overlong
      {"\xED\xA0\x80", L"\uFFFD"},        // a surrogate written as UTF-8
      {"\xF4\x90\x80\x80", L"\uFFFD"},    // beyond U+10FFFF
      {"\xE2\x82", L"\uFFFD"},            // cut short at the end
      {"\xE2\x82x", L"\uFFFDx"},          // cut short before ASCII
      {"\x80\xBF", L"\uFFFD\uFFFD"},      // continuation bytes alone
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Bytes);
    EXPECT_EQ(DecodeUtf8(c.Bytes), c.Expected);
  }
}

}  // namespace
}  // namespace quor
