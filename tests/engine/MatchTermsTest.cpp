#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/Text.h"
#include "engine/MatchTerms.h"

namespace quor {
namespace {

constexpr auto kHigh = TConfidence::High;
constexpr auto kLow = TConfidence::Low;

const TMatchTerms kTerms{L"c:\\program files\\acme", L"zqx tool", L"zqxsoft",
                         L"{12345678-1234-1234-1234-123456789abc}"};

enum class TTest { Entry, Shortcut, KeyName, ValueText };

std::optional<TMatch> MatchBy(TTest test, const TMatchTerms& terms, const std::wstring& text,
                              const std::wstring& name) {
  switch (test) {
    case TTest::Entry:
      return MatchEntry(terms, text, name);
    case TTest::Shortcut:
      return MatchShortcut(terms, text, name);
    case TTest::KeyName:
      return MatchKeyName(terms, text);
    case TTest::ValueText:
      return MatchValueText(terms, text);
  }
  return std::nullopt;
}

// Each test offers its terms in a fixed order: the first strong match wins,
// else the first weak one, whatever their places in the text.
TEST(MatchTerms, TheFirstStrongTermWinsElseTheFirstWeakOne) {
  const std::wstring roaming = L"c:\\users\\u\\appdata\\roaming\\";
  const std::wstring guid = kTerms.Guid;
  struct Case {
    TTest test;
    std::wstring text;             // the path, target, key name or value text
    std::wstring name;             // an entry's or a shortcut's own name
    std::optional<TMatchedBy> by;  // none: no match
    TConfidence confidence;
  } cases[] = {
      {TTest::Entry, L"c:\\program files\\acme\\data", L"data", TMatchedBy::Location, kHigh},
      {TTest::Entry, L"c:\\program files\\acme tools\\data", L"data", std::nullopt, kHigh},
      {TTest::Entry, roaming + L"zqx tool", L"zqx tool", TMatchedBy::Name, kHigh},
      {TTest::Entry, roaming + L"about zqx tool", L"about zqx tool", TMatchedBy::Name, kLow},
      {TTest::Entry, roaming + L"zqxsoft", L"zqxsoft", TMatchedBy::Folder, kHigh},
      {TTest::Entry, roaming + L"about zqxsoft and zqx tool", L"about zqxsoft and zqx tool",
       TMatchedBy::Name, kLow},
      {TTest::Entry, roaming + L"about zqx tool " + guid, L"about zqx tool " + guid,
       TMatchedBy::Guid, kHigh},
      {TTest::Entry, roaming + L"other", L"other", std::nullopt, kHigh},
      // A shortcut by its target; the product code only by its own name.
      {TTest::Shortcut, L"c:\\program files\\acme\\run.exe", L"run.lnk", TMatchedBy::Location,
       kHigh},
      {TTest::Shortcut, L"c:\\tools\\zqx tool.exe", L"run.lnk", TMatchedBy::Name, kHigh},
      {TTest::Shortcut, L"c:\\windows\\msiexec.exe /x" + guid, L"remove.lnk", std::nullopt, kHigh},
      {TTest::Shortcut, L"c:\\windows\\msiexec.exe", guid + L".lnk", TMatchedBy::Guid, kHigh},
      // A key name by the name or the product code, never by the folder's name.
      {TTest::KeyName, L"zqx tool", L"", TMatchedBy::Name, kHigh},
      {TTest::KeyName, guid, L"", TMatchedBy::Guid, kHigh},
      {TTest::KeyName, L"zqxsoft", L"", std::nullopt, kHigh},
      {TTest::KeyName, L"", L"", std::nullopt, kHigh},
      // A value: the location is strong only at its start.
      {TTest::ValueText, L"\"c:\\program files\\acme\\run.exe\" /tray", L"", TMatchedBy::Location,
       kHigh},
      {TTest::ValueText, L"other.exe --dir \"c:\\program files\\acme\"", L"", TMatchedBy::Location,
       kLow},
      {TTest::ValueText, L"\"c:\\tools\\zqx tool\\zqx.exe\" /min", L"", TMatchedBy::Name, kHigh},
      {TTest::ValueText, L"other.exe \"c:\\program files\\acme\" \"zqx tool\"", L"",
       TMatchedBy::Name, kLow},
      {TTest::ValueText, L"other.exe /zqxsoft", L"", std::nullopt, kHigh},
      {TTest::ValueText, L"", L"", std::nullopt, kHigh},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text) + " | " + ToUtf8(c.name));
    const auto match = MatchBy(c.test, kTerms, c.text, c.name);
    ASSERT_EQ(match.has_value(), c.by.has_value());
    if (!match) continue;
    EXPECT_EQ(match->By, *c.by);
    EXPECT_EQ(match->Confidence, c.confidence);
  }
}

// An empty term (a generic word, a location that names no plain folder)
// takes part in no test, even against empty or blank texts.
TEST(MatchTerms, EmptyTermsMatchNothing) {
  const TMatchTerms none;
  for (const TTest test : {TTest::Entry, TTest::Shortcut, TTest::KeyName, TTest::ValueText}) {
    for (const wchar_t* text : {L"", L" ", L"c:\\program files\\acme", L"\\"}) {
      EXPECT_FALSE(MatchBy(test, none, text, text).has_value())
          << static_cast<int>(test) << " " << ToUtf8(text);
    }
  }
}

}  // namespace
}  // namespace quor
