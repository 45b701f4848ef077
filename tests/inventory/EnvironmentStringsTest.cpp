#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "inventory/EnvironmentStrings.h"

namespace quor {
namespace {

TEnvironmentStrings SmallTable() {
  TEnvironmentStrings t{TEnvironmentStrings::EmptyTag{}};
  t.Add(L"LOCAL_APPDATA", L"C:\\Users\\me\\AppData\\Local");
  t.Add(L"Inner", L"%LOCAL_APPDATA%");  // inserted text is searched by later entries only
  t.Add(L"ProgramFiles", L"C:\\Program Files");
  return t;
}

TEST(EnvironmentStrings, ExpandReplacesTokensIgnoringCase) {
  const auto t = SmallTable();
  struct Case {
    std::wstring in, out;
  } cases[] = {
      {L"%LOCAL_APPDATA%\\x", L"C:\\Users\\me\\AppData\\Local\\x"},
      {L"%local_appdata%\\x", L"C:\\Users\\me\\AppData\\Local\\x"},
      {L"%ProgramFiles%;%PROGRAMFILES%", L"C:\\Program Files;C:\\Program Files"},
      {L"%BITBUCKET%\\x", L"%BITBUCKET%\\x"},
      {L"no tokens", L"no tokens"},
      {L"%Inner%", L"%LOCAL_APPDATA%"},
      {L"%%ProgramFiles%%", L"%C:\\Program Files%"},
  };
  for (const auto& c : cases) EXPECT_EQ(t.Expand(c.in), c.out) << c.in.size();
}

TEST(EnvironmentStrings, AddKeepsTheFirstEntryOfAName) {
  auto t = SmallTable();
  const int32_t before = t.Count();
  t.Add(L"programfiles", L"D:\\Elsewhere");
  EXPECT_EQ(t.Count(), before);
  EXPECT_EQ(t.Values(2), L"C:\\Program Files");
  EXPECT_EQ(t.Values(-1), L"");
  EXPECT_EQ(t.Values(t.Count()), L"");
}

TEST(EnvironmentStrings, BuiltTableHasRealFoldersInOrder) {
  const TEnvironmentStrings t;
  ASSERT_GT(t.Count(), 10);
  int programFiles = -1, lowAppData = -1, windir = -1;
  for (int32_t i = 0; i < t.Count(); ++i) {
    const auto& rec = t.Items()[static_cast<size_t>(i)];
    EXPECT_FALSE(rec.Value.empty()) << i;
    // Special folders are absolute paths only: virtual folders give no entry.
    const bool special = std::any_of(std::begin(kSpecialFolderNames), std::end(kSpecialFolderNames),
                                     [&](const wchar_t* n) { return rec.Name == n; });
    if (special) {
      EXPECT_TRUE(rec.Value.size() >= 3 && (rec.Value[1] == L':' || rec.Value[0] == L'\\'))
          << i;
    }
    if (rec.Name == L"PROGRAM_FILES") programFiles = i;
    if (rec.Name == L"LOCAL_APPDATA_LOW") lowAppData = i;
    if (rec.Name == L"windir") windir = i;
    EXPECT_NE(rec.Name, L"BITBUCKET");
  }
  ASSERT_GE(programFiles, 0);
  ASSERT_GE(lowAppData, 0);
  // special folders, then the computed entry, then the environment
  EXPECT_LT(programFiles, lowAppData);
  if (windir >= 0) {
    EXPECT_LT(lowAppData, windir);
  }
  EXPECT_NE(t.Items()[static_cast<size_t>(lowAppData)].Value.find(L"\\AppData\\LocalLow"),
            std::wstring::npos);
}

TEST(EnvironmentStrings, ExpandEnvironmentWithoutTheGlobalTableIsIdentity) {
  DoneEnvironmentStrings();
  EXPECT_EQ(ExpandEnvironment(L"%windir%"), L"%windir%");
  InitEnvironmentStrings();
  EXPECT_NE(ExpandEnvironment(L"%windir%"), L"%windir%");
  DoneEnvironmentStrings();
}

}  // namespace
}  // namespace quor
