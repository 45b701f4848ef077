#include <gtest/gtest.h>

#include <cstdio>

#include "engine/ProtectedFolders.h"
#include "inventory/EnumPrograms.h"
#include "engine/ScanFixture.h"
#include "support/Shortcut.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"
#include "support/TestNames.h"

namespace quor {
namespace {

using test::Expand;
using test::TempFolder;
using test::TempKey;

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A program installed the way installers do it, under unique names.
class LeftoverScanTest : public test::ScanFixture {
 protected:
  void SetUp() override {
    ScanFixture::SetUp();
    tag = test::UniqueName(L"Qz");
    appName = L"Quor Zeta " + tag;
    folderName = L"ZetaDir" + tag;
    install = std::make_unique<TempFolder>(TempFolder::At{Expand(L"%ProgramFiles%"), folderName});
    install->MakeFile(L"zeta.exe");
    install->MakeFile(L"lib\\core.dll");
    install->MakeFile(L"lib\\deep\\data.bin");
    registration = std::make_unique<test::TempRegistration>(test::TLocation::UserNative);
    registration->CreateSubKey(L"Extra");
  }

  TUninstallItem Item() const {
    TUninstallItem item;
    item.DisplayName = appName;
    item.InstallLocation = install->Path() + L"\\";
    item.FolderName = folderName;
    item.RootKey = registration->Root();
    item.KeyPath = registration->Path();
    return item;
  }

  std::wstring tag, appName, folderName;
  std::unique_ptr<TempFolder> install;
  std::unique_ptr<test::TempRegistration> registration;
};

TEST_F(LeftoverScanTest, InstallFolderTreeComesFirstDepthFirstAndOnce) {
  const auto program = Program(Item());
  Scan(program);
  const std::wstring base = install->Path() + L"\\";
  ASSERT_GE(program->LeftoverCount(), 6) << ToUtf8(Dump(*program));
  EXPECT_EQ(program->GetLeftover(0)->Path, base);
  EXPECT_EQ(program->GetLeftover(0)->Kind, lkFolder);
  const int lib = IndexOf(*program, base + L"lib\\");
  const int deep = IndexOf(*program, base + L"lib\\deep\\");
  const int data = IndexOf(*program, base + L"lib\\deep\\data.bin");
  ASSERT_GE(lib, 0);
  EXPECT_LT(lib, deep);
  EXPECT_LT(deep, data);
  EXPECT_TRUE(Has(*program, base + L"zeta.exe", lkFile));
  // Found again under the program-files root: still one item.
  int count = 0;
  for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
    count += SameTextAscii(program->GetLeftover(i)->Path, base) ? 1 : 0;
  }
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(Has(*program, RootKeyName(registration->Root()) + L"\\" + registration->Path(), lkRegKey));
  EXPECT_EQ(engine->Progress(), ScanStepCount());
}

TEST_F(LeftoverScanTest, ShortcutsByTargetFoldersByNameAndCanariesUntouched) {
  const std::wstring startMenu = Expand(L"%startmenu%");
  const std::wstring lnk = startMenu + L"\\Launcher " + tag + L".lnk";
  ASSERT_TRUE(test::MakeShortcut(lnk, install->Path() + L"\\zeta.exe"));
  TempFolder appData(TempFolder::At{Expand(L"%LOCAL_APPDATA%"), LowerAscii(folderName) + L"\\Cache"});
  appData.MakeFile(L"entry.tmp");
  TempFolder named(TempFolder::At{Expand(L"%appdata%"), L"Vendor " + tag + L"\\QUOR ZETA " + tag});
  TempFolder canary(TempFolder::At{Expand(L"%appdata%"), L"QuorCanary" + tag});
  canary.MakeFile(L"keep.txt");
  const std::wstring unrelatedLnk = startMenu + L"\\Other " + tag + L".lnk";
  ASSERT_TRUE(test::MakeShortcut(unrelatedLnk, canary.Path() + L"\\keep.txt"));

  const auto program = Program(Item());
  Scan(program);
  const std::wstring dump = Dump(*program);
  EXPECT_TRUE(Has(*program, lnk, lkFile)) << ToUtf8(dump);
  const std::wstring cache = Expand(L"%LOCAL_APPDATA%") + L"\\" + LowerAscii(folderName) + L"\\";
  EXPECT_TRUE(Has(*program, cache, lkFolder)) << ToUtf8(dump);
  EXPECT_TRUE(Has(*program, cache + L"Cache\\entry.tmp", lkFile));
  EXPECT_TRUE(Has(*program, named.Path() + L"\\", lkFolder)) << ToUtf8(dump);
  EXPECT_EQ(IndexOf(*program, canary.Path() + L"\\"), -1);
  EXPECT_EQ(IndexOf(*program, unrelatedLnk), -1);
  ::DeleteFileW(lnk.c_str());
  ::DeleteFileW(unrelatedLnk.c_str());
  test::RemoveTree(Expand(L"%appdata%") + L"\\Vendor " + tag);
  test::RemoveTree(Expand(L"%LOCAL_APPDATA%") + L"\\" + LowerAscii(folderName));
}

TEST_F(LeftoverScanTest, NonAsciiCaseDifferenceIsUnrelated) {
  TUninstallItem item = Item();
  item.DisplayName = L"\u00C4rger " + tag;
  item.FolderName.clear();
  item.InstallLocation.clear();
  TempFolder lower(TempFolder::At{Expand(L"%appdata%"), L"\u00E4rger " + tag});
  TempFolder same(TempFolder::At{Expand(L"%LOCAL_APPDATA%"), L"\u00C4RGER " + tag});
  const auto program = Program(item);
  Scan(program);
  EXPECT_EQ(IndexOf(*program, lower.Path() + L"\\"), -1);
  EXPECT_TRUE(Has(*program, same.Path() + L"\\", lkFolder)) << ToUtf8(Dump(*program));
}

TEST_F(LeftoverScanTest, RegistryKeysValuesDefaultsGuidsAndDepth) {
  wchar_t tail[16] = {};
  std::swprintf(tail, 16, L"%012llX",
                (::GetTickCount64() * 4096 + ::GetCurrentProcessId()) & 0xFFFFFFFFFFFFull);
  const std::wstring guid = L"{ABCDEF12-3456-7890-ABCD-" + std::wstring(tail) + L"}";
  TempKey vendor(HKEY_CURRENT_USER, L"Software\\" + appName);  // named after the program
  vendor.CreateSubKey(L"Settings");
  TempKey other(HKEY_CURRENT_USER, L"Software\\QuorOther" + tag);
  const std::wstring byDefault = other.CreateSubKey(L"ByDefault");
  TempKey byDefaultKey(HKEY_CURRENT_USER, byDefault);
  byDefaultKey.SetString(L"", L"Made by " + appName);
  const std::wstring byLocation = other.CreateSubKey(L"ByLocation");
  TempKey byLocationKey(HKEY_CURRENT_USER, byLocation);
  byLocationKey.SetString(L"", install->Path() + L"\\zeta.exe");
  other.SetString(L"Path", install->Path() + L"\\zeta.exe", REG_EXPAND_SZ);
  other.SetDWord(L"Number", 7);
  other.CreateSubKey(LowerAscii(guid));
  other.CreateSubKey(L"A\\B\\" + appName);             // level 3 below the rule key
  other.CreateSubKey(L"CLSID\\" + appName);            // below a skipped key
  const std::wstring runValue = L"Zeta" + tag;
  TempKey run(HKEY_CURRENT_USER, kRunKey);
  run.SetString(runValue, L"\"" + install->Path() + L"\\zeta.exe\" --tray");
  run.SetString(L"Unrelated" + tag, L"C:\\other\\tool.exe");

  TUninstallItem item = Item();
  item.ProductGuid = guid;
  item.FolderName.clear();  // so that the install path matches by location alone
  const auto program = Program(item);
  Scan(program);
  const std::wstring hkcu = L"HKEY_CURRENT_USER\\";
  const std::wstring dump = Dump(*program);
  EXPECT_TRUE(Has(*program, hkcu + vendor.Path(), lkRegKey)) << ToUtf8(dump);
  EXPECT_EQ(IndexOf(*program, hkcu + vendor.Path() + L"\\Settings"), -1);
  EXPECT_TRUE(Has(*program, hkcu + byDefault, lkRegKey));
  // A key found by its default value alone may hold other things: weak.
  EXPECT_EQ(Confidence(*program, hkcu + byDefault), TConfidence::Low);
  EXPECT_EQ(Confidence(*program, hkcu + vendor.Path()), TConfidence::High);
  EXPECT_TRUE(Has(*program, hkcu + byLocation + L"\\", lkRegValue)) << ToUtf8(dump);
  EXPECT_TRUE(Has(*program, hkcu + other.Path() + L"\\Path", lkRegValue));
  EXPECT_EQ(IndexOf(*program, hkcu + other.Path() + L"\\Number"), -1);
  EXPECT_TRUE(Has(*program, hkcu + other.Path() + L"\\" + LowerAscii(guid), lkRegKey));
  EXPECT_EQ(IndexOf(*program, hkcu + other.Path() + L"\\A\\B\\" + appName), -1);
  EXPECT_EQ(IndexOf(*program, hkcu + other.Path() + L"\\CLSID\\" + appName), -1);
  EXPECT_TRUE(Has(*program, hkcu + kRunKey + L"\\" + runValue, lkRegValue)) << ToUtf8(dump);
  EXPECT_EQ(IndexOf(*program, hkcu + kRunKey + L"\\Unrelated" + tag), -1);
  EXPECT_EQ(IndexOf(*program, hkcu + kRunKey), -1);
  run.SetString(runValue, L"");
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, runValue.c_str());
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, (L"Unrelated" + tag).c_str());
}

TEST_F(LeftoverScanTest, AWellKnownInstallLocationIdentifiesNothing) {
  const std::wstring profile = Expand(L"%PROFILE%");
  for (const std::wstring& location : {std::wstring(L"C:\\"), Expand(L"%ProgramFiles%"), profile}) {
    TUninstallItem item;
    item.DisplayName = L"Quor Nothing " + tag;
    item.InstallLocation = location;
    item.FolderName = GetFolderName(location);  // the profile's name is the user's
    item.RootKey = registration->Root();
    item.KeyPath = registration->Path();
    const auto program = Program(item);
    Scan(program);
    const TProtectedFolders guard;
    for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
      const TLeftOverItem* it = program->GetLeftover(i);
      if (it->Kind == lkFolder) {
        EXPECT_FALSE(guard.Contains(it->Path)) << ToUtf8(it->Path);
      }
    }
    // Only the registration itself bears this program's texts.
    EXPECT_EQ(program->LeftoverCount(), 1) << ToUtf8(Dump(*program));
  }
}

TEST_F(LeftoverScanTest, CancelDuringTheFolderRootsLeavesTheRegistryStepsUnrun) {
  const auto program = Program(Item());
  engine->OnProgress = [](TUninstallHelper& e) { e.Cancel(); };
  Scan(program);
  EXPECT_EQ(engine->Progress(), 1);
  EXPECT_EQ(engine->State(), esScanCancelled);
  EXPECT_EQ(IndexOf(*program, RootKeyName(registration->Root()) + L"\\" + registration->Path()), -1);
  EXPECT_GE(IndexOf(*program, install->Path() + L"\\"), 0);  // step 2 ran
}

TEST_F(LeftoverScanTest, AFolderLinkLoopUnderARootEnds) {
  TempFolder loopParent(TempFolder::At{Expand(L"%LOCAL_APPDATA%"), L"QuorLoop" + tag});
  if (!test::MakeFolderLink(loopParent / L"again", loopParent.Path())) GTEST_SKIP() << "no links here";
  TempFolder named(TempFolder::At{loopParent.Path(), folderName});
  test::MakeFolderLink(named / L"back", loopParent.Path());
  named.MakeFile(L"x.txt");
  const auto program = Program(Item());
  Scan(program);
  EXPECT_TRUE(Has(*program, named.Path() + L"\\back\\", lkFolder)) << ToUtf8(Dump(*program));
  EXPECT_EQ(IndexOf(*program, named.Path() + L"\\back\\" + folderName + L"\\"), -1);
}

TEST(FileExistsEx, ProbesProgramExtensionsOnlyWithoutOne) {
  TempFolder folder;
  folder.MakeFile(L"tool.cmd");
  folder.MakeFile(L"app.exe");
  struct Case {
    std::wstring path;
    bool exists;
  } cases[] = {
      {folder / L"tool", true},      {folder / L"tool.cmd", true}, {folder / L"app", true},
      {folder / L"tool.txt", false}, {folder / L"none", false},    {L"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(FileExistsEx(c.path), c.exists) << ToUtf8(c.path);
}

TEST(LinkTarget, ReadsShortcutsAndAnswersEmptyForOtherFiles) {
  TempFolder folder;
  const std::wstring target = folder.MakeFile(L"real.exe");
  ASSERT_TRUE(test::MakeShortcut(folder / L"a.lnk", target));
  EXPECT_TRUE(SameTextAscii(GetLinkTarget(folder / L"a.lnk"), target));
  const std::wstring notLink = folder.MakeFile(L"b.lnk", "not a shortcut");
  EXPECT_EQ(GetLinkTarget(notLink), L"");
  EXPECT_EQ(GetLinkTarget(folder / L"missing.lnk"), L"");
}

TEST(LinkTarget, DropsAWrongX86FromTheTarget) {
  InitEnvironmentStrings();
  const std::wstring pf = ExpandEnvironment(L"%ProgramW6432%");
  TempFolder app(TempFolder::At{pf, test::UniqueName(L"QuorX86")});
  const std::wstring exe = app.MakeFile(L"run.exe");
  const std::wstring claimed = pf + L" (x86)" + exe.substr(pf.size());
  TempFolder folder;
  ASSERT_TRUE(test::MakeShortcut(folder / L"x.lnk", claimed));
  EXPECT_TRUE(SameTextAscii(GetLinkTarget(folder / L"x.lnk"), exe)) << ToUtf8(GetLinkTarget(folder / L"x.lnk"));
  DoneEnvironmentStrings();
}

}  // namespace
}  // namespace quor
