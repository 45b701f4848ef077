#include <gtest/gtest.h>

#include <windows.h>

#include "engine/LeftoverRules.h"
#include "engine/LeftoverScan.h"
#include "engine/ProtectedFolders.h"
#include "inventory/EnumPrograms.h"
#include "inventory/EnvironmentStrings.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

class RuleLists : public ::testing::Test {
 protected:
  void TearDown() override {
    SetIsWin64(true);
    FreeRuleLists();
    DoneEnvironmentStrings();
  }
};

TEST_F(RuleLists, StepsOn64And32BitWindows) {
  InitEnvironmentStrings();
  struct Case {
    bool win64;
    size_t roots, rules;
  } cases[] = {{true, 14, 28}, {false, 12, 15}};
  for (const auto& c : cases) {
    SetIsWin64(c.win64);
    LoadRuleLists();
    EXPECT_EQ(FolderRoots.size(), c.roots);
    EXPECT_EQ(RegistryRules.size(), c.rules);
    EXPECT_EQ(ScanStepCount(), static_cast<int32_t>(c.roots + c.rules));
  }
  EXPECT_EQ(RegistryRules.front(), L"HKEY_CLASSES_ROOT=");
  EXPECT_EQ(RegistryRules[3],
            L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows=load");
  EXPECT_EQ(SkippedKeyNames, (std::vector<std::wstring>{L"CLSID", L"Interface"}));
}

TEST_F(RuleLists, RootsEndInOneBackslashAndUnknownTokensStay) {
  wchar_t saved[MAX_PATH] = {};
  const DWORD had = ::GetEnvironmentVariableW(L"PUBLIC", saved, MAX_PATH);
  ::SetEnvironmentVariableW(L"PUBLIC", nullptr);
  InitEnvironmentStrings();
  LoadRuleLists();
  if (had) ::SetEnvironmentVariableW(L"PUBLIC", saved);

  for (const auto& root : FolderRoots) {
    ASSERT_GE(root.size(), 2u);
    EXPECT_EQ(root.back(), L'\\');
    EXPECT_NE(root[root.size() - 2], L'\\') << root.size();
  }
  EXPECT_EQ(FolderRoots[1], IncludeBackslash(TEnvironmentStrings::GetSpecialFolder(40)) + L"Recent\\");
  EXPECT_EQ(FolderRoots[9], L"%PUBLIC%\\");
  // The program-files root is the 32-bit folder, as "%ProgramFiles%" named it
  // for a 32-bit process; the last two roots are the 64-bit ones.
  ASSERT_TRUE(IsWin64());
  EXPECT_EQ(FolderRoots[8], IncludeBackslash(ExpandEnvironment(L"%PROGRAM_FILESX86%")));
  EXPECT_NE(FolderRoots[8], FolderRoots[12]);
  EXPECT_EQ(FolderRoots[12], IncludeBackslash(ExpandEnvironment(L"%ProgramW6432%")));
}

TEST(RuleHelpers, WildcardsAndSkippedKeys) {
  struct Case {
    std::wstring mask, text;
    bool match;
  } cases[] = {
      {L"CLSID", L"clsid", true},    {L"CLSID", L"CLSIDx", false}, {L"*", L"", true},
      {L"a*c", L"abbbc", true},      {L"a*c", L"abbb", false},     {L"a?c", L"abc", true},
      {L"a?c", L"ac", false},        {L"*x*", L"..x..", true},     {L"", L"", true},
      {L"\u00C4", L"\u00E4", false},
  };
  for (const auto& c : cases) EXPECT_EQ(WildcardMatch(c.mask, c.text), c.match) << c.text.size();
  LoadRuleLists();
  EXPECT_TRUE(IsSkippedKey(L"clsid"));
  EXPECT_TRUE(IsSkippedKey(L"INTERFACE"));
  EXPECT_FALSE(IsSkippedKey(L"CLSIDs"));
  FreeRuleLists();
  EXPECT_FALSE(IsSkippedKey(L"CLSID"));
}

TEST(ProtectedFolders, RootsWellKnownFoldersAndTheirParents) {
  TEnvironmentStrings table{TEnvironmentStrings::EmptyTag{}};
  table.Add(L"PROGRAM_FILES", L"C:\\Program Files");
  table.Add(L"PROFILE", L"C:\\Users\\me");
  table.Add(L"HOMEPATH", L"\\Users\\me");  // not a folder by itself
  const TProtectedFolders guard(&table);
  struct Case {
    std::wstring folder;
    bool protectedFolder;
  } cases[] = {
      {L"C:\\", true},
      {L"c:", true},
      {L"D:\\", true},
      {L"\\\\server\\share\\", true},
      {L"C:\\Program Files\\", true},
      {L"c:\\PROGRAM FILES", true},
      {L"C:\\Users", true},  // holds the profile
      {L"C:\\Users\\me\\", true},
      {L"  C:\\Users\\me  ", true},
      {L"\\\\?\\C:\\Users\\me", true},
      {L"relative\\folder", true},
      {L"C:\\Program Files\\Tool\\", false},
      {L"C:\\Users\\me\\AppData\\Tool", false},
      {L"C:\\Program Files2", false},
      {L"\\\\server\\share\\tool", false},
  };
  for (const auto& c : cases) EXPECT_EQ(guard.Contains(c.folder), c.protectedFolder) << c.folder.size();
}

}  // namespace
}  // namespace quor
