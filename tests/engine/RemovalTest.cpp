#include <gtest/gtest.h>

#include "engine/ProtectedFolders.h"
#include "engine/ScanFixture.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"
#include "support/TestNames.h"

namespace quor {
namespace {

using test::PathExists;
using test::TempFolder;
using test::TempKey;

class RemovalTest : public test::ScanFixture {
 protected:
  std::shared_ptr<TUninstallObject> WithItems(const std::vector<TLeftOverItem>& items) {
    auto program = Program(TUninstallItem{});
    for (const auto& item : items) program->AddLeftover(item);
    return program;
  }
  static bool ValueExists(HKEY root, const std::wstring& key, const std::wstring& name) {
    HKEY h = nullptr;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &h) != ERROR_SUCCESS) {
      return false;
    }
    const bool found = ::RegQueryValueExW(h, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                       ERROR_SUCCESS;
    ::RegCloseKey(h);
    return found;
  }
};

TEST_F(RemovalTest, FilesFoldersKeysAndValuesGo) {
  TempFolder folder;
  const std::wstring readOnly = folder.MakeFile(L"ro.txt");
  ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  const std::wstring tree = folder.MakeFolder(L"tree");
  folder.MakeFile(L"tree\\listed.txt");
  folder.MakeFile(L"tree\\sub\\unlisted-later.txt");  // appeared after the scan
  const std::wstring deep = folder.MakeFolder(std::wstring(8, L'd') + L"\\" + std::wstring(120, L'e') +
                                              L"\\" + std::wstring(120, L'f'));
  folder.MakeFile(deep.substr(folder.Path().size() + 1) + L"\\long.txt");

  TempKey reg(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorRemove"));
  const std::wstring registration = reg.CreateSubKey(L"Registration");
  TempKey(HKEY_CURRENT_USER, registration).CreateSubKey(L"child\\grandchild");
  const std::wstring runLike = reg.CreateSubKey(L"Run");
  TempKey runKey(HKEY_CURRENT_USER, runLike);
  runKey.SetString(L"Zeta", L"zeta.exe");
  runKey.SetString(L"Other", L"other.exe");
  const std::wstring withDefault = reg.CreateSubKey(L"WithDefault");
  TempKey defaultKey(HKEY_CURRENT_USER, withDefault);
  defaultKey.SetString(L"", L"C:\\old\\place");
  defaultKey.SetString(L"Named", L"stays");

  const std::wstring hkcu = L"HKEY_CURRENT_USER\\";
  const auto program = WithItems({
      {readOnly, lkFile},
      {tree + L"\\", lkFolder},
      {tree + L"\\listed.txt", lkFile},
      {folder / (std::wstring(8, L'd') + L"\\"), lkFolder},
      {hkcu + registration, lkRegKey},
      {hkcu + runLike + L"\\Zeta", lkRegValue},
      {hkcu + withDefault + L"\\", lkRegValue},
      {folder / L"gone-already.txt", lkFile},
      {hkcu + L"Software\\QuorNoSuchKey\\x", lkRegValue},
  });
  std::vector<std::wstring> reported;
  engine->OnCurrentItem = [&](auto&, const std::wstring& path) { reported.push_back(path); };
  Remove(program);

  EXPECT_FALSE(PathExists(readOnly));
  EXPECT_FALSE(PathExists(tree));
  EXPECT_FALSE(PathExists(deep));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, registration));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, runLike, L"Zeta"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, runLike, L"Other"));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, withDefault, L""));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, withDefault, L"Named"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, withDefault));
  EXPECT_EQ(program->LeftoverCount(), 9);  // the list stays as it was
  EXPECT_EQ(engine->CurrentItem(), folder / (std::wstring(8, L'd') + L"\\"));
  EXPECT_EQ(engine->State(), esIdle);
}

TEST_F(RemovalTest, KeptItemsAndTheFoldersAboveThemStay) {
  TempFolder folder;
  const std::wstring tree = folder.MakeFolder(L"app");
  const std::wstring keptFile = folder.MakeFile(L"app\\data\\user-settings.ini");
  const std::wstring goneFile = folder.MakeFile(L"app\\data\\cache.bin");
  const std::wstring keptFolder = folder.MakeFolder(L"app\\saves");
  folder.MakeFile(L"app\\saves\\slot1.sav");
  const auto program = WithItems({{tree + L"\\", lkFolder},
                                  {tree + L"\\data\\", lkFolder},
                                  {keptFile, lkFile},
                                  {goneFile, lkFile},
                                  {keptFolder + L"\\", lkFolder}});
  program->SetLeftoverKept(2, true);
  program->SetLeftoverKept(4, true);
  Remove(program);
  EXPECT_TRUE(PathExists(keptFile));
  EXPECT_FALSE(PathExists(goneFile));
  EXPECT_TRUE(PathExists(keptFolder + L"\\slot1.sav"));
  EXPECT_TRUE(PathExists(tree));
}

TEST_F(RemovalTest, NeverDeletesThroughAFolderLink) {
  TempFolder outside;
  const std::wstring precious = outside.MakeFile(L"precious.txt");
  const std::wstring emptyTarget = outside.MakeFolder(L"empty");
  TempFolder folder;
  const std::wstring tree = folder.MakeFolder(L"app");
  if (!test::MakeFolderLink(tree + L"\\link", outside.Path())) GTEST_SKIP() << "no links here";
  test::MakeFolderLink(tree + L"\\emptylink", emptyTarget);
  const auto program = WithItems({{tree + L"\\", lkFolder},
                                  {tree + L"\\link\\", lkFolder},
                                  {tree + L"\\emptylink\\", lkFolder}});
  Remove(program);
  EXPECT_TRUE(PathExists(precious));
  EXPECT_TRUE(PathExists(emptyTarget));
}

TEST_F(RemovalTest, WellKnownFoldersAreNeverRemovedAsTrees) {
  TempFolder folder;
  const std::wstring inner = folder.MakeFile(L"well-known\\inside.txt");
  TEnvironmentStrings table{TEnvironmentStrings::EmptyTag{}};
  table.Add(L"SOMEWHERE", folder / L"well-known");
  const TProtectedFolders guard(&table);
  EXPECT_FALSE(RemoveFolderTree(folder.Path(), {}, guard));  // holds a well-known folder
  EXPECT_FALSE(RemoveFolderTree(folder / L"well-known\\", {}, guard));
  EXPECT_TRUE(PathExists(inner));
  EXPECT_FALSE(RemoveFolderTree(L"C:\\", {}, TProtectedFolders(&table)));
}

TEST(DeleteRegKey, PathsWithoutBackslashBlankAndMissing) {
  const std::wstring top = test::UniqueName(L"QuorTopLevel");
  TempKey key(HKEY_CURRENT_USER, top);
  key.CreateSubKey(L"a\\b");
  EXPECT_TRUE(DeleteRegKey(HKEY_CURRENT_USER, top));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, top));
  EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, L""));
  EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, L"   "));
  EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, L"Software\\QuorNoSuchParent\\x"));
  EXPECT_FALSE(DeleteRegKeyItem(L"HKEY_CURRENT_USER"));
  EXPECT_FALSE(DeleteRegValueItem(L"nobackslash"));
}

TEST(KeyExistsTest, MissingDeniedAndPresent) {
  TempKey key(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorExists"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key.Path()));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key.Path() + L"\\missing"));
  test::DenyAllAccess(HKEY_CURRENT_USER, key.Path());
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key.Path()));
}

}  // namespace
}  // namespace quor
