#include <gtest/gtest.h>

#include <winternl.h>

#include <functional>

#include "base/FileDelete.h"
#include "engine/ProtectedFolders.h"
#include "engine/ScanFixture.h"
#include "support/RawRegistry.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"
#include "support/TestNames.h"


namespace quor {
namespace {

using test::PathExists;
using test::TempFolder;
using test::TempKey;

constexpr REGSAM kView = KEY_WOW64_64KEY;

using test::CreateRawKey;
using test::DeleteRawKey;
using test::DropRegistryLink;
using test::MakeRegistryLink;
using test::SetRawValue;
using test::ValueExists;

// A symbolic link to a file. Under Wine a Unix link, which a folder listing
// may show as a plain file; on Windows a file symbolic link.
bool MakeFileLink(const std::wstring& link, const std::wstring& target) {
  const std::wstring unixLink = test::UnixPathOf(link);
  if (unixLink.empty()) {
    return ::CreateSymbolicLinkW(link.c_str(), target.c_str(), 0x2 /* allow unprivileged */) != FALSE;
  }
  if (!test::RunUnixCommand(L"Z:\\bin\\ln -s \"" + test::UnixPathOf(target) + L"\" \"" + unixLink + L"\"")) {
    return false;
  }
  // Wine does not always wait for a Unix program to finish: poll for the link.
  for (int attempt = 0; attempt < 100 && !PathExists(link); ++attempt) ::Sleep(20);
  return PathExists(link);
}

TLeftOverItem RegItem(HKEY root, const std::wstring& key, uint8_t kind, const std::wstring& value = {}) {
  TLeftOverItem item;
  item.Kind = kind;
  item.Root = root;
  item.KeyPath = key;
  item.ValueName = value;
  item.Path = RootKeyName(root) + L"\\" + key + (kind == lkRegValue ? L"\\" + value : L"");
  return item;
}

class RemovalTest : public test::ScanFixture {
 protected:
  void TearDown() override {
    SetFolderListedHook(nullptr);
    ScanFixture::TearDown();
  }
  std::shared_ptr<TUninstallObject> WithItems(const std::vector<TLeftOverItem>& items,
                                              const TUninstallItem& record = {}) {
    auto program = Program(record);
    for (const auto& item : items) program->AddLeftover(item);
    return program;
  }
  static std::wstring Outcome(const TUninstallObject& p) {
    std::wstring out;
    for (int32_t i = 0; i < p.LeftoverCount(); ++i) {
      out += std::to_wstring(static_cast<int>(p.LeftoverState(i))) + L" " + p.GetLeftover(i)->Path +
             L" (" + p.LeftoverError(i) + L")\n";
    }
    return out;
  }
};

TEST_F(RemovalTest, FilesFoldersKeysAndValuesGo) {
  TempFolder folder;
  const std::wstring readOnly = folder.MakeFile(L"ro.txt");
  ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  const std::wstring tree = folder.MakeFolder(L"tree");
  folder.MakeFile(L"tree\\listed.txt");
  const std::wstring roInTree = folder.MakeFile(L"tree\\sub\\unlisted-later.txt");  // appeared after the scan
  ::SetFileAttributesW(roInTree.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::wstring deep = folder.MakeFolder(std::wstring(8, L'd') + L"\\" + std::wstring(120, L'e') +
                                              L"\\" + std::wstring(120, L'f'));
  folder.MakeFile(deep.substr(folder.Path().size() + 1) + L"\\long.txt");

  TempKey reg(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorRemove"));
  const std::wstring registration = reg.CreateSubKey(L"Registration");
  reg.CreateSubKey(L"Registration\\child\\grandchild");
  const std::wstring runLike = reg.CreateSubKey(L"Run");
  TempKey runKey(HKEY_CURRENT_USER, runLike);
  runKey.SetString(L"Zeta", L"zeta.exe");
  runKey.SetString(L"Other", L"other.exe");
  const std::wstring withDefault = reg.CreateSubKey(L"WithDefault");
  TempKey defaultKey(HKEY_CURRENT_USER, withDefault);
  defaultKey.SetString(L"", L"C:\\old\\place");
  defaultKey.SetString(L"Named", L"stays");

  const auto program = WithItems({
      {readOnly, lkFile},
      {tree + L"\\", lkFolder},
      {tree + L"\\listed.txt", lkFile},
      {folder / (std::wstring(8, L'd') + L"\\"), lkFolder},
      RegItem(HKEY_CURRENT_USER, registration, lkRegKey),
      RegItem(HKEY_CURRENT_USER, runLike, lkRegValue, L"Zeta"),
      RegItem(HKEY_CURRENT_USER, withDefault, lkRegValue, L""),
      {folder / L"gone-already.txt", lkFile},
      RegItem(HKEY_CURRENT_USER, L"Software\\QuorNoSuchKey", lkRegValue, L"x"),
  });
  Remove(program);

  EXPECT_FALSE(PathExists(readOnly));
  EXPECT_FALSE(PathExists(tree));
  EXPECT_FALSE(PathExists(deep));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, registration));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, runLike, L"Zeta"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, runLike, L"Other"));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, withDefault, L""));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, withDefault, L"Named"));
  ASSERT_EQ(program->LeftoverCount(), 9);  // the list stays as it was
  for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
    EXPECT_EQ(program->LeftoverState(i), TRemovalState::Removed) << Outcome(*program);
  }
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
  EXPECT_EQ(program->LeftoverState(0), TRemovalState::Kept) << Outcome(*program);
  EXPECT_EQ(program->LeftoverState(2), TRemovalState::Kept);
  EXPECT_EQ(program->LeftoverError(2), L"kept");
  EXPECT_EQ(program->LeftoverState(3), TRemovalState::Removed);
}

// An unticked folder or key keeps everything inside it, also the items the
// scan listed on their own below it and left ticked.
TEST_F(RemovalTest, AnUntickedFolderOrKeyKeepsEverythingInsideIt) {
  TempFolder folder;
  const std::wstring app = folder.MakeFolder(L"app");
  const std::wstring data = folder.MakeFolder(L"app\\Data");
  const std::wstring file = folder.MakeFile(L"app\\Data\\notes.txt");
  const std::wstring deep = folder.MakeFile(L"app\\Data\\sub\\deep.txt");
  const std::wstring sibling = folder.MakeFile(L"app\\Data2\\gone.txt");
  TempKey reg(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorKeepInside"));
  const std::wstring settings = reg.CreateSubKey(L"Settings");
  TempKey settingsKey(HKEY_CURRENT_USER, settings);
  settingsKey.SetString(L"Theme", L"dark");
  const std::wstring child = reg.CreateSubKey(L"Settings\\Child");
  const auto program = WithItems({{app + L"\\", lkFolder},
                                  {data + L"\\", lkFolder},                        // 1: unticked
                                  {file, lkFile},                                  // 2
                                  {data + L"\\sub\\", lkFolder},                   // 3
                                  {deep, lkFile},                                  // 4
                                  {sibling, lkFile},                               // 5
                                  RegItem(HKEY_CURRENT_USER, settings, lkRegKey),  // 6: unticked
                                  RegItem(HKEY_CURRENT_USER, settings, lkRegValue, L"Theme"),  // 7
                                  RegItem(HKEY_CURRENT_USER, child, lkRegKey)});               // 8
  program->SetLeftoverKept(1, true);
  program->SetLeftoverKept(6, true);
  Remove(program);
  EXPECT_TRUE(PathExists(file)) << Outcome(*program);
  EXPECT_TRUE(PathExists(deep));
  EXPECT_FALSE(PathExists(sibling));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, settings, L"Theme"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, child));
  for (int32_t i : {2, 3, 4}) {
    EXPECT_EQ(program->LeftoverState(i), TRemovalState::Kept) << Outcome(*program);
    EXPECT_EQ(program->LeftoverError(i), L"kept: inside a kept folder");
  }
  for (int32_t i : {7, 8})
    EXPECT_EQ(program->LeftoverError(i), L"kept: inside a kept key") << Outcome(*program);
  EXPECT_EQ(program->LeftoverState(5), TRemovalState::Removed);
  EXPECT_EQ(program->LeftoverState(0), TRemovalState::Kept) << "holds kept items";
}

// A listed key that holds a kept sub-key loses everything else and stays.
TEST_F(RemovalTest, KeptSubKeyBelowAListedKeyStays) {
  TempKey reg(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorKeepBelow"));
  const std::wstring app = reg.CreateSubKey(L"App");
  TempKey appKey(HKEY_CURRENT_USER, app);
  appKey.SetString(L"Version", L"1");
  TempKey settingsKey(HKEY_CURRENT_USER, reg.CreateSubKey(L"App\\Settings"));
  settingsKey.SetString(L"Theme", L"dark");
  const std::wstring settings = settingsKey.Path();
  const std::wstring cache = reg.CreateSubKey(L"App\\Cache\\Deep");
  const auto program = WithItems({RegItem(HKEY_CURRENT_USER, app, lkRegKey)});
  program->AddKeptBelow(L"hkcu/" + settings + L"\\");
  Remove(program);
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, settings, L"Theme"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, cache));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, app + L"\\Cache"));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, app, L"Version"));
  EXPECT_EQ(program->LeftoverState(0), TRemovalState::Kept) << Outcome(*program);
}

// Each case builds a listed tree and a victim outside it; the removal must
// leave the victim whole, whatever it does with the link itself.
struct TLinkCase {
  const char* Name;
  std::function<std::vector<TLeftOverItem>(const TempFolder& tree, const TempFolder& victim)> Setup;
};

TEST_F(RemovalTest, NeverDeletesThroughAFolderOrFileLink) {
  const TLinkCase cases[] = {
      {"a folder swapped for a link after the scan listed it",
       [](const TempFolder& tree, const TempFolder& victim) -> std::vector<TLeftOverItem> {
         tree.MakeFile(L"app\\sub\\precious.txt");
         std::vector<TLeftOverItem> items = {{tree / L"app\\", lkFolder},
                                             {tree / L"app\\sub\\", lkFolder},
                                             {tree / L"app\\sub\\precious.txt", lkFile}};
         test::RemoveTree(tree / L"app\\sub");
         if (!test::MakeFolderLink(tree / L"app\\sub", victim.Path())) return {};
         return items;
       }},
      {"a folder swapped for a link while the removal walks its parent",
       [](const TempFolder& tree, const TempFolder& victim) -> std::vector<TLeftOverItem> {
         tree.MakeFile(L"app\\sub\\precious.txt");
         const std::wstring sub = tree / L"app\\sub";
         const std::wstring parent = tree / L"app";
         const std::wstring target = victim.Path();
         SetFolderListedHook([=](const std::wstring& folder) {
           if (folder != parent) return;
           ::MoveFileW(sub.c_str(), (sub + L"-moved").c_str());
           test::MakeFolderLink(sub, target);
         });
         return {{tree / L"app\\", lkFolder}};
       }},
      {"a file link",
       [](const TempFolder& tree, const TempFolder& victim) -> std::vector<TLeftOverItem> {
         tree.MakeFolder(L"app");
         if (!MakeFileLink(tree / L"app\\precious.txt", victim / L"precious.txt")) return {};
         return {{tree / L"app\\", lkFolder}, {tree / L"app\\precious.txt", lkFile}};
       }},
      {"an install folder that is a link",
       [](const TempFolder& tree, const TempFolder& victim) -> std::vector<TLeftOverItem> {
         if (!test::MakeFolderLink(tree / L"app", victim.Path())) return {};
         return {{tree / L"app\\", lkFolder}, {tree / L"app\\precious.txt", lkFile}};
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TempFolder victim;
    const std::wstring precious = victim.MakeFile(L"precious.txt");
    TempFolder tree;
    const auto items = c.Setup(tree, victim);
    if (items.empty()) GTEST_SKIP() << "links cannot be made here";
    const auto program = WithItems(items);
    Remove(program);
    SetFolderListedHook(nullptr);
    EXPECT_TRUE(PathExists(precious)) << Outcome(*program);
    EXPECT_EQ(test::ReadFileBytes(precious), "x");
    // What stays is reported, never claimed removed.
    for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
      const bool present = LeftoverExists(*program->GetLeftover(i));
      EXPECT_EQ(program->LeftoverState(i) == TRemovalState::Removed, !present) << Outcome(*program);
    }
  }
}

TEST_F(RemovalTest, RegistryLinksAreDeletedAsThemselves) {
  // Deletion itself: with a backup, a link is refused instead (BackupTest).
  engine->Backup.Enabled = false;
  const std::wstring base = L"Software\\" + test::UniqueName(L"QuorRegLink");
  TempKey victim(HKEY_LOCAL_MACHINE, base + L"\\Victim");
  victim.SetString(L"precious", L"x");
  victim.CreateSubKey(L"child");
  TempKey app(HKEY_LOCAL_MACHINE, base + L"\\App");
  const std::wstring native = L"\\Registry\\Machine\\" + base;
  ASSERT_TRUE(MakeRegistryLink(HKEY_LOCAL_MACHINE, app.Path() + L"\\outside", native + L"\\Victim"));
  ASSERT_TRUE(MakeRegistryLink(HKEY_LOCAL_MACHINE, app.Path() + L"\\loop", native + L"\\App"));
  app.CreateSubKey(L"plain\\deeper");

  const auto program = WithItems({
      RegItem(HKEY_LOCAL_MACHINE, app.Path() + L"\\outside", lkRegValue, L"precious"),
      RegItem(HKEY_LOCAL_MACHINE, app.Path() + L"\\outside\\child", lkRegKey),
      RegItem(HKEY_LOCAL_MACHINE, app.Path(), lkRegKey),
  });
  Remove(program);
  DropRegistryLink(HKEY_LOCAL_MACHINE, app.Path() + L"\\outside");
  DropRegistryLink(HKEY_LOCAL_MACHINE, app.Path() + L"\\loop");

  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, victim.Path(), L"precious")) << Outcome(*program);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, victim.Path() + L"\\child"));
  EXPECT_NE(program->LeftoverState(0), TRemovalState::Removed);
  EXPECT_EQ(program->LeftoverState(1), TRemovalState::Failed);
  EXPECT_EQ(program->LeftoverError(1), L"a key on its path is a link");
  EXPECT_EQ(program->LeftoverState(2), TRemovalState::Removed) << Outcome(*program);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, app.Path()));
}

// Names that a path split or a NUL-terminated call would turn into another
// name: the listed item goes exactly, or stays and says why; its look-alike
// stays in every case.
TEST_F(RemovalTest, HostileNamesAreDeletedExactlyOrNotAtAll) {
  // Deletion itself: with a backup, a name with a line break is refused (BackupTest).
  engine->Backup.Enabled = false;
  TempKey reg(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorHostile"));
  const std::wstring run = reg.CreateSubKey(L"Run");
  TempKey runKey(HKEY_CURRENT_USER, run);
  runKey.SetString(L"", L"default stays");
  runKey.SetString(L"Victim", L"stays");
  runKey.SetString(L"C:\\Tools\\starter.exe", L"goes");
  runKey.SetString(L"ends-in\\", L"goes");
  const std::wstring lookAlike = reg.CreateSubKey(L"Run\\C:\\Tools");  // the old split's target
  TempKey lookAlikeKey(HKEY_CURRENT_USER, lookAlike);
  lookAlikeKey.SetString(L"starter.exe", L"stays");
  reg.CreateSubKey(L"Victim\\child");
  const std::wstring nulKey = std::wstring(L"Victim") + L'\0' + L"App";
  ASSERT_TRUE(CreateRawKey(HKEY_CURRENT_USER, reg.Path(), nulKey));
  const std::wstring nulValue = std::wstring(L"Victim") + L'\0' + L"Run";
  ASSERT_TRUE(SetRawValue(HKEY_CURRENT_USER, run, nulValue));
  const std::wstring escapeKey = reg.CreateSubKey(L"App\x1b[2J\r");

  const auto program = WithItems({
      RegItem(HKEY_CURRENT_USER, run, lkRegValue, L"C:\\Tools\\starter.exe"),
      RegItem(HKEY_CURRENT_USER, run, lkRegValue, L"ends-in\\"),
      RegItem(HKEY_CURRENT_USER, reg.Path() + L"\\" + nulKey, lkRegKey),
      RegItem(HKEY_CURRENT_USER, run, lkRegValue, nulValue),
      RegItem(HKEY_CURRENT_USER, escapeKey, lkRegKey),
  });
  Remove(program);

  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, run, L"C:\\Tools\\starter.exe"));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, run, L"ends-in\\"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, escapeKey));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, lookAlike, L"starter.exe"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, run, L""));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, run, L"Victim"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, reg.Path() + L"\\Victim\\child"));
  EXPECT_EQ(program->LeftoverState(0), TRemovalState::Removed) << Outcome(*program);
  EXPECT_EQ(program->LeftoverState(1), TRemovalState::Removed);
  EXPECT_EQ(program->LeftoverState(2), TRemovalState::Failed);
  EXPECT_EQ(program->LeftoverState(3), TRemovalState::Failed);
  EXPECT_EQ(program->LeftoverState(4), TRemovalState::Removed);
  // The parent of a NUL-named key cannot be emptied: it stays and says so.
  const auto parent = WithItems({RegItem(HKEY_CURRENT_USER, reg.Path(), lkRegKey)});
  Remove(parent);
  EXPECT_EQ(parent->LeftoverState(0), TRemovalState::Failed);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, reg.Path()));
  DeleteRawKey(HKEY_CURRENT_USER, reg.Path(), nulKey);  // a clean-up by name would never end
}

TEST_F(RemovalTest, DataWithATrailingDotIsNotData) {
  TempFolder folder;
  const std::wstring kept = folder.MakeFile(L"data");
  const std::wstring dotted = L"\\\\?\\" + folder.Path() + L"\\data.";
  {
    UniqueKernelHandle h(::CreateFileW(dotted.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    if (!h) GTEST_SKIP() << "no name with a trailing dot here";
  }
  const auto program = WithItems({{folder / L"data.", lkFile}, {kept, lkFile}});
  program->SetLeftoverKept(1, true);
  Remove(program);
  EXPECT_TRUE(PathExists(kept));
  EXPECT_FALSE(ExactPathExists(folder / L"data.")) << Outcome(*program);
  EXPECT_EQ(program->LeftoverState(0), TRemovalState::Removed);
}

// Names that no typed path could spell ("odd.", "50%") are ordinary entries
// of a listed tree: removed with it, not spared as if they were protected.
TEST_F(RemovalTest, OddNamesInsideAListedTreeGoWithIt) {
  TempFolder folder;
  const std::wstring tree = folder.MakeFolder(L"tree");
  folder.MakeFile(L"tree\\50%\\x.txt");
  folder.MakeFile(L"tree\\%TEMP%");
  {
    UniqueKernelHandle h(::CreateFileW((L"\\\\?\\" + tree + L"\\odd.").c_str(), GENERIC_WRITE, 0,
                                       nullptr, CREATE_NEW, 0, nullptr));
  }
  const auto program = WithItems({{tree + L"\\", lkFolder}});
  Remove(program);
  EXPECT_FALSE(PathExists(tree)) << Outcome(*program);
  EXPECT_EQ(program->LeftoverState(0), TRemovalState::Removed) << Outcome(*program);
}

// A file in use stays with the system's reason, and the registration stays
// so that the program can be found and tried again.
TEST_F(RemovalTest, AFileInUseKeepsTheRegistration) {
  // Deletion itself: Wine renames a folder whose file is open, so a backup would move it.
  engine->Backup.Enabled = false;
  TempFolder folder;
  const std::wstring busy = folder.MakeFile(L"app\\busy.dll");
  test::TempRegistration reg(test::TLocation::UserNative);
  TUninstallItem record;
  record.RootKey = HKEY_CURRENT_USER;
  record.KeyPath = reg.Path();
  UniqueKernelHandle hold(::CreateFileW(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(hold);
  auto registration = RegItem(HKEY_CURRENT_USER, reg.Path(), lkRegKey);
  const auto program = WithItems({{folder / L"app\\", lkFolder}, {busy, lkFile}, registration}, record);
  Remove(program);
  EXPECT_TRUE(PathExists(busy));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, reg.Path()));
  EXPECT_EQ(program->LeftoverState(1), TRemovalState::Failed);
  EXPECT_EQ(program->LeftoverError(1), SystemErrorText(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(program->LeftoverState(2), TRemovalState::Failed) << Outcome(*program);

  hold.Reset();
  Remove(program);
  EXPECT_FALSE(PathExists(folder / L"app"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, reg.Path())) << Outcome(*program);
}

// Deep trees: the removal keeps its own stack, so depth cannot exhaust the
// thread's. 3,000 key levels; folders 300 levels deep (Wine's folder opens
// slow down with depth, and its Unix paths end at 4,096 bytes anyway).
TEST_F(RemovalTest, VeryDeepTreesAreRemovedWhole) {
  TempFolder folder;
  std::wstring path = L"\\\\?\\" + folder.Path() + L"\\top";
  int depth = 0;
  for (; depth < 300 && ::CreateDirectoryW(path.c_str(), nullptr); ++depth) path += L"\\d";
  ASSERT_EQ(depth, 300);
  TempKey reg(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorDeep"));
  int keyDepth = 0;
  {
    UniqueRegKey current;
    ::RegOpenKeyExW(HKEY_CURRENT_USER, reg.Path().c_str(), 0, KEY_ALL_ACCESS, current.Put());
    for (; keyDepth < 3000; ++keyDepth) {
      UniqueRegKey next;
      if (::RegCreateKeyExW(current.Get(), L"k", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, next.Put(),
                            nullptr) != ERROR_SUCCESS) {
        break;
      }
      current = std::move(next);
    }
  }
  ASSERT_GE(keyDepth, 500);  // Windows stops at 512 levels
  const auto program =
      WithItems({{folder / L"top\\", lkFolder}, RegItem(HKEY_CURRENT_USER, reg.Path(), lkRegKey)});
  Remove(program);
  EXPECT_FALSE(PathExists(folder / L"top")) << Outcome(*program);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, reg.Path())) << keyDepth << " levels";
}

TEST_F(RemovalTest, WellKnownFoldersAreNeverRemovedAsTrees) {
  TempFolder folder;
  const std::wstring inner = folder.MakeFile(L"well-known\\inside.txt");
  const std::wstring other = folder.MakeFile(L"other.txt");
  TEnvironmentStrings table{TEnvironmentStrings::EmptyTag{}};
  table.Add(L"SOMEWHERE", folder / L"well-known");
  const TProtectedFolders guard(&table);
  const TDeleteResult holder = RemoveFolderItem(folder.Path(), {}, guard);  // holds a well-known folder
  EXPECT_FALSE(holder.Removed());
  EXPECT_FALSE(RemoveFolderItem(folder / L"well-known\\", {}, guard).Removed());
  EXPECT_TRUE(PathExists(inner));
  EXPECT_FALSE(RemoveFolderItem(L"C:\\", {}, TProtectedFolders(&table)).Removed());
  EXPECT_TRUE(PathExists(other));
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

TEST(ComparableItemPathTest, SpellingsOfOnePath) {
  const std::pair<const wchar_t*, const wchar_t*> same[] = {
      {L"C:/Program Files/App/data", L"c:\\program files\\app\\data"},
      {L"  \"C:\\Program Files\\App\\\"  ", L"C:\\PROGRAM FILES\\APP"},
      {L"HKEY_CLASSES_ROOT\\X", L"HKEY_LOCAL_MACHINE\\Software\\Classes\\X"},
      {L"HKCR\\X", L"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\x\\"},
      {L"\\\\?\\C:\\App", L"C:\\App"},
  };
  for (const auto& [a, b] : same) EXPECT_EQ(ComparableItemPath(a), ComparableItemPath(b)) << a;
  EXPECT_NE(ComparableItemPath(L"C:\\App\\data."), ComparableItemPath(L"C:\\App\\data"));
  EXPECT_NE(ComparableItemPath(L"HKEY_LOCAL_MACHINE\\Software\\ClassesX"),
            ComparableItemPath(L"HKEY_CLASSES_ROOT\\X"));
}

}  // namespace
}  // namespace quor
