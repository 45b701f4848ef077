#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <functional>
#include <map>

#include "base/FileBackup.h"
#include "base/RegFile.h"
#include "base/RegValueCases.h"
#include "engine/BackupSets.h"
#include "engine/ScanFixture.h"
#include "support/ChildProcess.h"
#include "support/RawRegistry.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"
#include "support/TestNames.h"

namespace quor {
namespace {

using test::PathExists;
using test::TempFolder;
using test::TempKey;
using test::ValueCases;

// What the system's registry editor writes reads back as the registry holds it.
TEST(RegFile, ReadsTheSystemRegistryEditorsExport) {
  TempKey key(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorRegedit"));
  size_t values = 0;
  for (const auto& c : ValueCases()) {
    // Wine's editor writes a DWORD of the wrong size as "dword:" with four
    // bytes, and drops the last character of a string stored without its NUL.
    if ((c.Type == REG_DWORD && c.Data.size() != 4) || (c.Type == REG_SZ && (c.Data.size() < 2 || c.Data.back() != 0 || c.Data[c.Data.size() - 2] != 0))) {
      continue;
    }
    key.SetRaw(c.Name, c.Type, c.Data);
    ++values;
  }
  TempKey sub(HKEY_CURRENT_USER, key.Path() + L"\\Sub \u00c4");
  sub.SetDWord(L"inner", 7);
  TempFolder folder;
  const std::wstring file = folder / L"export.reg";
  const auto run = test::RunProcess(L"regedit.exe /e \"" + file + L"\" \"HKEY_CURRENT_USER\\" + key.Path() + L"\"");
  ASSERT_TRUE(run.Started);
  for (int i = 0; i < 100 && !PathExists(file); ++i) ::Sleep(50);
  const std::string bytes = test::ReadFileBytes(file);
  ASSERT_FALSE(bytes.empty()) << "regedit /e wrote nothing";
  const TRegFileParse parsed = ParseRegFile(bytes);
  ASSERT_TRUE(parsed.Error.empty()) << ToUtf8(parsed.Error) << " line " << parsed.ErrorLine;
  ASSERT_EQ(parsed.Keys.size(), 2u);
  EXPECT_EQ(parsed.Keys[1].Path, L"HKEY_CURRENT_USER\\" + sub.Path());
  size_t compared = 0;
  for (const auto& [k, fileKey] : {std::pair{&key, &parsed.Keys[0]}, std::pair{&sub, &parsed.Keys[1]}}) {
    UniqueRegKey open;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, k->Path().c_str(), 0, KEY_READ, open.Put()), ERROR_SUCCESS);
    for (const auto& value : fileKey->Values) {
      SCOPED_TRACE(ToUtf8(value.Name));
      const auto stored = QueryRegValue(open.Get(), value.Name);
      ASSERT_TRUE(stored.has_value());
      EXPECT_EQ(value.Type, stored->Type);
      EXPECT_EQ(value.Data, std::vector<uint8_t>(stored->Data.begin(), stored->Data.end()));
      ++compared;
    }
  }
  EXPECT_EQ(compared, values + 1);  // every value was in the export
}

struct TFileFacts {
  std::string Bytes;
  DWORD Attributes = 0;
  FILETIME Created{}, Written{};
};

TFileFacts FactsOf(const std::wstring& path) {
  TFileFacts facts;
  facts.Bytes = test::ReadFileBytes(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  facts.Attributes = data.dwFileAttributes;
  facts.Created = data.ftCreationTime;
  facts.Written = data.ftLastWriteTime;
  return facts;
}

void SetTimes(const std::wstring& path, uint64_t ticks) {
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  UniqueKernelHandle h(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  FILETIME created{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  FILETIME written{static_cast<DWORD>(ticks + 1234567), static_cast<DWORD>((ticks + 1234567) >> 32)};
  ::SetFileTime(h.Get(), &created, nullptr, &written);
}

bool operator==(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
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

class BackupTest : public test::ScanFixture {
 protected:
  std::shared_ptr<TUninstallObject> WithItems(const std::vector<TLeftOverItem>& items) {
    TUninstallItem record;
    record.DisplayName = L"Backup Demo: \u00c4pp/1?";
    auto program = Program(record);
    for (const auto& item : items) program->AddLeftover(item);
    return program;
  }
  std::vector<TBackupSetInfo> Sets() const { return ListBackupSets(backups->Path()); }
  static std::wstring Outcome(const TUninstallObject& p) {
    std::wstring out;
    for (int32_t i = 0; i < p.LeftoverCount(); ++i) {
      out += std::to_wstring(static_cast<int>(p.LeftoverState(i))) + L" " + p.GetLeftover(i)->Path + L" (" +
             p.LeftoverError(i) + L")\n";
    }
    return out;
  }
};

// Install, remove with backup, restore: the files (bytes, attributes, times)
// and the registry values (types and bytes) are as they were, and a canary
// beside them was never touched.
TEST_F(BackupTest, RemovalAndRestoreLeaveTheMachineAsItWas) {
  TempFolder root;
  const std::wstring canary = root.MakeFile(L"canary.txt", "canary");
  const std::wstring app = root.MakeFolder(L"App");
  struct FileRow {
    std::wstring Relative;
    std::string Content;
    DWORD Attributes;
  };
  const FileRow files[] = {
      {L"App\\app.exe", std::string("MZ\0\x01\x02", 5), FILE_ATTRIBUTE_ARCHIVE},
      {L"App\\read-only.dat", "ro", FILE_ATTRIBUTE_READONLY},
      {L"App\\sub\\hidden.ini", "[x]", FILE_ATTRIBUTE_HIDDEN},
      {L"App\\\u65e5\u672c.txt", "unicode name", FILE_ATTRIBUTE_ARCHIVE},
      {L"single.log", std::string(70000, 'z'), FILE_ATTRIBUTE_ARCHIVE},
  };
  std::map<std::wstring, TFileFacts> before;
  uint64_t ticks = 132000000000000000ULL;
  for (const auto& f : files) {
    const std::wstring path = root.MakeFile(f.Relative, f.Content);
    SetTimes(path, ticks += 10000000);
    ::SetFileAttributesW(path.c_str(), f.Attributes);
    before[path] = FactsOf(path);
  }
  SetTimes(app + L"\\sub", ticks + 99);
  const TFileFacts subBefore = FactsOf(app + L"\\sub");

  TempKey reg(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorBackup"));
  const std::wstring appKey = reg.CreateSubKey(L"App");
  TempKey appValues(HKEY_CURRENT_USER, appKey);
  for (const auto& c : ValueCases()) appValues.SetRaw(c.Name, c.Type, c.Data);
  TempKey deeper(HKEY_CURRENT_USER, reg.CreateSubKey(L"App\\Deeper\\Empty"));
  const std::wstring runKey = reg.CreateSubKey(L"Run");
  TempKey run(HKEY_CURRENT_USER, runKey);
  run.SetString(L"Demo\\App", L"app.exe /tray");
  run.SetString(L"Other", L"other.exe");

  const auto program = WithItems({
      {app + L"\\", lkFolder},
      {app + L"\\app.exe", lkFile},
      {root / L"single.log", lkFile},
      RegItem(HKEY_CURRENT_USER, appKey, lkRegKey),
      RegItem(HKEY_CURRENT_USER, runKey, lkRegValue, L"Demo\\App"),
  });
  Remove(program);
  for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
    EXPECT_EQ(program->LeftoverState(i), TRemovalState::Removed) << Outcome(*program);
  }
  EXPECT_FALSE(PathExists(app));
  EXPECT_FALSE(PathExists(root / L"single.log"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, appKey));
  EXPECT_FALSE(test::ValueExists(HKEY_CURRENT_USER, runKey, L"Demo\\App"));

  // The set: named after time and program, its record complete.
  auto sets = Sets();
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_NE(sets[0].Id.find(L"Backup Demo_ \u00c4pp_1_"), std::wstring::npos) << ToUtf8(sets[0].Id);
  EXPECT_EQ(sets[0].Program, L"Backup Demo: \u00c4pp/1?");
  EXPECT_EQ(program->BackupSet(), sets[0].Id) << "the record names the set it wrote";
  const auto record = nlohmann::json::parse(test::ReadFileBytes(sets[0].Folder + L"\\backup.json"));
  EXPECT_EQ(record["program"]["displayName"], ToUtf8(L"Backup Demo: \u00c4pp/1?"));
  ASSERT_EQ(record["items"].size(), 5u);
  EXPECT_EQ(record["items"][0]["kind"], "folder");
  EXPECT_EQ(record["items"][0]["place"], "files\\0\\App");
  EXPECT_EQ(record["items"][1]["place"], "files\\0\\App\\app.exe");  // went with its folder
  EXPECT_EQ(record["items"][2]["size"], 70000);
  EXPECT_EQ(record["items"][3]["place"], "registry.reg");
  for (const auto& item : record["items"]) EXPECT_EQ(item["outcome"], "removed") << item.dump();
  const std::string reg0 = test::ReadFileBytes(sets[0].Folder + L"\\registry.reg");
  EXPECT_EQ(reg0.substr(0, 2), "\xFF\xFE");

  const TRestoreReport report = RestoreBackupSet(sets[0], {});
  EXPECT_EQ(report.NotRestored, 0);
  for (const auto& item : report.Items) {
    EXPECT_EQ(item.State, TRestoreState::Restored) << ToUtf8(item.Path) << ": " << ToUtf8(item.Reason);
  }
  for (const auto& [path, facts] : before) {
    SCOPED_TRACE(ToUtf8(path));
    const TFileFacts after = FactsOf(path);
    EXPECT_EQ(after.Bytes, facts.Bytes);
    EXPECT_EQ(after.Attributes, facts.Attributes);
    EXPECT_TRUE(after.Created == facts.Created);
    EXPECT_TRUE(after.Written == facts.Written);
  }
  EXPECT_TRUE(FactsOf(app + L"\\sub").Written == subBefore.Written);
  UniqueRegKey restored;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, appKey.c_str(), 0, KEY_READ, restored.Put()), ERROR_SUCCESS);
  for (const auto& c : ValueCases()) {
    SCOPED_TRACE(ToUtf8(c.Name));
    const auto value = QueryRegValue(restored.Get(), c.Name);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->Type, c.Type);
    EXPECT_EQ(std::vector<uint8_t>(value->Data.begin(), value->Data.end()), c.Data);
  }
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, deeper.Path()));
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, runKey, L"Demo\\App"), L"app.exe /tray");
  EXPECT_EQ(test::ReadFileBytes(canary), "canary");
  EXPECT_TRUE(Sets()[0].Restored);
}

TEST_F(BackupTest, RestoreLeavesWhatWasCreatedSinceUnlessOverwrite) {
  TempFolder root;
  const std::wstring canary = root.MakeFile(L"canary.txt", "canary");
  const std::wstring file = root.MakeFile(L"App\\settings.ini", "old");
  const std::wstring other = root.MakeFile(L"App\\other.ini", "other");
  TempKey reg(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorBackup"));
  reg.SetString(L"Setting", L"old");
  const auto program = WithItems({{root / L"App\\", lkFolder}, RegItem(HKEY_CURRENT_USER, reg.Path(), lkRegValue, L"Setting")});
  Remove(program);
  ASSERT_FALSE(PathExists(file)) << Outcome(*program);
  root.MakeFile(L"App\\settings.ini", "new");  // made since the removal
  reg.SetString(L"Setting", L"new");

  const auto sets = Sets();
  ASSERT_EQ(sets.size(), 1u);
  const TRestoreReport first = RestoreBackupSet(sets[0], {});
  EXPECT_EQ(test::ReadFileBytes(file), "new");
  EXPECT_EQ(test::ReadFileBytes(other), "other");  // the rest of the folder came back
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, reg.Path(), L"Setting"), L"new");
  EXPECT_EQ(first.NotRestored, 2);
  bool reportedFile = false;
  for (const auto& item : first.Items) {
    reportedFile |= item.Path == file && item.State == TRestoreState::Exists;
  }
  EXPECT_TRUE(reportedFile);

  const TRestoreReport second = RestoreBackupSet(Sets()[0], {.Overwrite = true, .Again = true});
  EXPECT_EQ(second.NotRestored, 0);
  EXPECT_EQ(test::ReadFileBytes(file), "old");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, reg.Path(), L"Setting"), L"old");
  EXPECT_EQ(test::ReadFileBytes(canary), "canary");
}

// A backup folder that cannot be made: nothing is deleted, and every item
// says why.
TEST_F(BackupTest, UnwritableBackupFolderDeletesNothing) {
  TempFolder root;
  const std::wstring blocker = root.MakeFile(L"not-a-folder", "file");
  engine->Backup.Folder = blocker + L"\\Backups";
  const std::wstring file = root.MakeFile(L"App\\app.exe");
  const std::wstring single = root.MakeFile(L"single.txt");
  TempKey reg(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorBackup"));
  reg.SetString(L"Setting", L"x");
  const auto program = WithItems({{root / L"App\\", lkFolder},
                                  {single, lkFile},
                                  RegItem(HKEY_CURRENT_USER, reg.Path(), lkRegKey)});
  Remove(program);
  EXPECT_TRUE(PathExists(file));
  EXPECT_TRUE(PathExists(single));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, reg.Path()));
  EXPECT_EQ(program->BackupSet(), L"") << "no set was written";
  for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
    EXPECT_EQ(program->LeftoverState(i), TRemovalState::Failed);
    EXPECT_NE(program->LeftoverError(i).find(L"backup could not be written"), std::wstring::npos)
        << ToUtf8(program->LeftoverError(i));
  }
}

// Where the backup must copy (kept entries inside), a link is neither copied
// nor deleted, and its item says so; the link's target is never touched.
TEST_F(BackupTest, LinksAreNotBackedUpByCopyingAndStay) {
  TempFolder root;
  TempFolder outside;
  const std::wstring target = outside.MakeFile(L"target.txt", "outside");
  root.MakeFile(L"App\\keep\\kept.ini", "kept");
  const std::wstring dropped = root.MakeFile(L"App\\drop.txt", "drop");
  if (!test::MakeFolderLink(root / L"App\\link", outside.Path())) GTEST_SKIP() << "links cannot be made here";
  const auto program = WithItems({{root / L"App\\", lkFolder}, {root / L"App\\keep\\", lkFolder}});
  program->SetLeftoverKept(1, true);
  Remove(program);
  EXPECT_FALSE(PathExists(dropped));
  EXPECT_TRUE(PathExists(root / L"App\\keep\\kept.ini"));
  EXPECT_TRUE(PathExists(root / L"App\\link"));
  EXPECT_EQ(test::ReadFileBytes(target), "outside");
  EXPECT_EQ(program->LeftoverState(0), TRemovalState::Failed) << Outcome(*program);
  EXPECT_NE(program->LeftoverError(0).find(L"link"), std::wstring::npos);
  const auto sets = Sets();
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(test::ReadFileBytes(sets[0].Folder + L"\\files\\0\\App\\drop.txt"), "drop");
  EXPECT_FALSE(PathExists(sets[0].Folder + L"\\files\\0\\App\\keep\\kept.ini"));
  test::RunUnixCommand(L"Z:\\bin\\rm \"" + test::UnixPathOf(root / L"App\\link") + L"\"");
}

// What the export file cannot hold (a registry link, a name with a line
// break) is not deleted: the item fails and says why; the link's target is
// never touched.
TEST_F(BackupTest, RegistryLinksAndUnwritableNamesStay) {
  const std::wstring base = L"Software\\" + test::UniqueName(L"QuorBackupLink");
  TempKey victim(HKEY_CURRENT_USER, base + L"\\Victim");
  victim.SetString(L"precious", L"x");
  TempKey app(HKEY_CURRENT_USER, base + L"\\App");
  app.SetString(L"plain", L"goes");
  const std::wstring odd = app.CreateSubKey(L"line\rbreak");
  TempKey oddKey(HKEY_CURRENT_USER, odd);
  oddKey.SetString(L"inner", L"stays");
  const std::wstring native = L"\\Registry\\Machine\\" + base;
  TempKey machineVictim(HKEY_LOCAL_MACHINE, base + L"\\Victim");
  machineVictim.SetString(L"precious", L"x");
  TempKey machineApp(HKEY_LOCAL_MACHINE, base + L"\\App");
  ASSERT_TRUE(test::MakeRegistryLink(HKEY_LOCAL_MACHINE, machineApp.Path() + L"\\outside", native + L"\\Victim"));
  const auto program = WithItems({RegItem(HKEY_CURRENT_USER, app.Path(), lkRegKey),
                                  RegItem(HKEY_LOCAL_MACHINE, machineApp.Path(), lkRegKey)});
  Remove(program);
  test::DropRegistryLink(HKEY_LOCAL_MACHINE, machineApp.Path() + L"\\outside");
  EXPECT_TRUE(test::ValueExists(HKEY_LOCAL_MACHINE, machineVictim.Path(), L"precious"));
  EXPECT_TRUE(test::ValueExists(HKEY_CURRENT_USER, odd, L"inner"));
  EXPECT_FALSE(test::ValueExists(HKEY_CURRENT_USER, app.Path(), L"plain"));
  for (int32_t i = 0; i < 2; ++i) {
    EXPECT_EQ(program->LeftoverState(i), TRemovalState::Failed) << Outcome(*program);
    EXPECT_NE(program->LeftoverError(i).find(L"not backed up"), std::wstring::npos) << Outcome(*program);
  }
}

// Delete Entries: the registration goes into a set of its own first, which
// the restore puts back whole; without a set nothing is deleted.
TEST_F(BackupTest, DeleteEntryBacksTheRegistrationUpFirst) {
  struct TCase {
    const char* Name;
    bool BlockBackups;  // the backup folder cannot be made
    bool OddSubKey;     // a sub-key whose name the export cannot hold
    bool BackupsOff;
    bool Deleted;
    size_t Sets;
  };
  const TCase cases[] = {
      {"a plain registration", false, false, false, true, 1},
      {"no folder for the set", true, false, false, false, 0},
      {"a name the set cannot hold", false, true, false, false, 0},
      {"backups turned off", false, false, true, true, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TempFolder root;
    const std::wstring blocker = root.MakeFile(L"not-a-folder", "file");
    engine->Backup.Folder = c.BlockBackups ? blocker + L"\\Backups" : backups->Path();
    engine->Backup.Enabled = !c.BackupsOff;
    test::TempRegistration reg(test::TLocation::UserNative);
    reg.SetString(L"DisplayName", L"Entry Demo");
    reg.SetString(L"UninstallString", L"C:\\missing\\uninst.exe");
    reg.SetDWord(L"NoModify", 1);
    TempKey sub(HKEY_CURRENT_USER, reg.CreateSubKey(c.OddSubKey ? L"line\rbreak" : L"Parts"));
    sub.SetString(L"inner", L"kept");
    TUninstallItem item;
    item.RootKey = reg.Root();
    item.KeyPath = reg.Path();
    item.DisplayName = L"Entry Demo";
    const auto program = Program(item);

    const TEntryDeletion result = engine->DeleteEntry(*program);
    EXPECT_EQ(result.Deleted, c.Deleted) << ToUtf8(result.Error);
    EXPECT_EQ(KeyExists(reg.Root(), reg.Path()), !c.Deleted);
    if (!c.Deleted) {
      EXPECT_TRUE(test::ValueExists(HKEY_CURRENT_USER, sub.Path(), L"inner"));
      EXPECT_FALSE(result.Error.empty());
    }
    const auto sets = Sets();
    ASSERT_EQ(sets.size(), c.Sets);
    EXPECT_EQ(result.BackupId, c.Sets ? sets[0].Id : L"");
    if (c.Sets == 0) continue;
    EXPECT_EQ(sets[0].Program, L"Entry Demo");
    const TRestoreReport report = RestoreBackupSet(sets[0], {});
    EXPECT_EQ(report.NotRestored, 0) << ToUtf8(report.Error);
    EXPECT_EQ(ReadRegString(reg.Root(), reg.Path(), L"UninstallString"),
              L"C:\\missing\\uninst.exe");
    EXPECT_EQ(ReadRegDWord(reg.Root(), reg.Path(), L"NoModify"), 1);
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, sub.Path(), L"inner"), L"kept");
    ASSERT_TRUE(DeleteBackupSet(sets[0]));
  }
}
FILETIME DaysBefore(const FILETIME& now, int days) {
  const uint64_t ticks = ((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) -
                         static_cast<uint64_t>(days) * 24 * 3600 * 10000000ULL;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// A set of one file for a program of that name, `days` old, holding `size`
// bytes as its record says; answers its folder.
std::wstring WriteSet(const std::wstring& root, const std::wstring& name, const FILETIME& time, int64_t size) {
  TSoftwareList list;
  TUninstallItem item;
  item.DisplayName = name;
  auto program = list.Items(list.Add(-1, item));
  program->AddLeftover({L"C:\\x\\" + name, lkFile});
  TBackupOptions options;
  options.Folder = root;
  options.Time = time;
  std::wstring error;
  auto writer = TBackupWriter::Create(options, *program, error);
  EXPECT_TRUE(writer) << ToUtf8(error);
  if (!writer) return {};
  writer->Item(0).Place = L"files\\0\\x";
  writer->Item(0).Size = size;
  EXPECT_TRUE(writer->WriteRecord(error)) << ToUtf8(error);
  return writer->Folder();
}

void EditRecord(const std::wstring& folder, const std::function<void(nlohmann::json&)>& edit) {
  auto j = nlohmann::json::parse(test::ReadFileBytes(folder + L"\\backup.json"));
  edit(j);
  const std::string text = j.dump(2);
  UniqueKernelHandle file(::CreateFileW((folder + L"\\backup.json").c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}

// Beside two sound sets (20 and 1 days old, 1100 bytes against a limit of
// 1000), a planted or broken record: retention deletes the oldest sound set
// and nothing else, whatever the planted record says, and never stops.
TEST(BackupRetention, PlantedRecordsDecideNothing) {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  struct Row {
    const char* Name;
    std::function<void(const std::wstring& root)> Plant;
  };
  const Row rows[] = {
      {"huge size", [&](const std::wstring& root) { WriteSet(root, L"huge", DaysBefore(now, 10), int64_t{1} << 62); }},
      {"negative size",
       [&](const std::wstring& root) { WriteSet(root, L"negative", DaysBefore(now, 10), -(int64_t{1} << 40)); }},
      {"size that is no number",
       [&](const std::wstring& root) {
         EditRecord(WriteSet(root, L"big", DaysBefore(now, 10), 5), [](nlohmann::json& j) { j["size"] = "big"; });
       }},
      {"item size that is no number",
       [&](const std::wstring& root) {
         EditRecord(WriteSet(root, L"item", DaysBefore(now, 10), 5),
                    [](nlohmann::json& j) { j["items"][0]["size"] = {{"a", 1}}; });
       }},
      {"size changed after the seal",
       [&](const std::wstring& root) {
         EditRecord(WriteSet(root, L"changed", DaysBefore(now, 10), 5), [](nlohmann::json& j) { j["size"] = 1LL << 50; });
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    TempFolder root;
    WriteSet(root.Path(), L"old", DaysBefore(now, 20), 600);
    WriteSet(root.Path(), L"new", DaysBefore(now, 1), 500);
    row.Plant(root.Path());
    std::vector<std::wstring> deleted;
    for (const auto& set : ApplyRetention(root.Path(), TRetention{30, 1000}, now)) deleted.push_back(set.Program);
    EXPECT_EQ(deleted, std::vector<std::wstring>{L"old"});
    std::vector<std::wstring> left;
    for (const auto& set : ListBackupSets(root.Path())) left.push_back(set.Program);
    EXPECT_EQ(left, std::vector<std::wstring>{L"new"});
  }
}

// Age first, then size, oldest first.
TEST(BackupRetention, ByAgeAndBySize) {
  TempFolder root;
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  auto daysAgo = [&](int days) {
    const uint64_t ticks = ((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) -
                           static_cast<uint64_t>(days) * 24 * 3600 * 10000000ULL;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  };
  struct Row {
    const wchar_t* Name;
    int DaysAgo;
    int64_t Size;
  };
  const Row rows[] = {{L"ancient", 45, 10}, {L"old", 20, 600}, {L"middle", 10, 500}, {L"new", 1, 300}};
  for (const auto& row : rows) {
    TSoftwareList list;
    TUninstallItem item;
    item.DisplayName = row.Name;
    auto program = list.Items(list.Add(-1, item));
    program->AddLeftover({L"C:\\x\\" + std::wstring(row.Name), lkFile});
    TBackupOptions options;
    options.Folder = root.Path();
    options.Time = daysAgo(row.DaysAgo);
    std::wstring error;
    auto writer = TBackupWriter::Create(options, *program, error);
    ASSERT_TRUE(writer) << ToUtf8(error);
    writer->Item(0).Place = L"files\\0\\x";
    writer->Item(0).Size = row.Size;
    ASSERT_TRUE(writer->WriteRecord(error));
  }
  auto names = [&] {
    std::vector<std::wstring> out;
    for (const auto& set : ListBackupSets(root.Path())) out.push_back(set.Program);
    return out;
  };
  ASSERT_EQ(names(), (std::vector<std::wstring>{L"ancient", L"old", L"middle", L"new"}));
  const auto deleted = ApplyRetention(root.Path(), TRetention{30, 1000}, now);
  ASSERT_EQ(deleted.size(), 2u);  // ancient by age, then old until 800 <= 1000
  EXPECT_EQ(names(), (std::vector<std::wstring>{L"middle", L"new"}));
  EXPECT_TRUE(ApplyRetention(root.Path(), TRetention{0, 0}, now).empty());  // no limits
  EXPECT_EQ(PurgeBackupSets(root.Path(), 5, now).size(), 1u);
  EXPECT_EQ(names(), (std::vector<std::wstring>{L"new"}));
}

}  // namespace
}  // namespace quor
