// Backup sets as an attacker who can write the user's profile would leave
// them: quor restores only what a removal took, to where it took it from,
// and a bad set never stops a command. Every set lives in a folder of the
// test's own; a canary outside it must survive every row.

#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>

#include "QuorCommand.h"
#include "base/RegFile.h"
#include "base/Text.h"
#include "engine/Backup.h"
#include "inventory/Registry.h"
#include "support/ChildProcess.h"
#include "support/RawRegistry.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"
#include "support/TestNames.h"

namespace quor {
namespace {

using test::PathExists;
using test::ReadFileBytes;
using test::RunProcess;
using test::TempFolder;

using test::Quor;

std::wstring WindowsFolder() {
  wchar_t buffer[MAX_PATH] = {};
  ::GetWindowsDirectoryW(buffer, MAX_PATH);
  return buffer;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring out;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) out = path;
  ::CoTaskMemFree(path);
  while (out.size() > 3 && out.back() == L'\\') out.pop_back();
  return out;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file &&
         ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
}

struct TPlanted {
  std::wstring Path;
  uint8_t Kind = lkFile;
  std::string Content;  // the file, or a file "inside.txt" in the folder
};

class CliBackups : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t old[32768] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"LOCALAPPDATA", old, 32768);
    if (n > 0 && n < 32768) FOldAppData = std::wstring(old, n);
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", FAppData.Path().c_str());
    FRoot = BackupFolderOf({});
    FCanary = FOutside.MakeFile(L"canary.txt", "canary");
  }
  void TearDown() override {
    EXPECT_EQ(ReadFileBytes(FCanary), "canary");
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", FOldAppData ? FOldAppData->c_str() : nullptr);
  }

  // A set as this program writes one: each file or folder item held in its
  // place, registry items in registry.reg with `keys`; `edit` may change
  // the items before the record is written. Answers the set's folder.
  std::wstring MakeSet(const std::wstring& name, const std::vector<TPlanted>& items,
                       const std::vector<TRegFileKey>& keys = {},
                       const std::function<void(TBackupWriter&)>& edit = nullptr) {
    TSoftwareList list;
    TUninstallItem record;
    record.DisplayName = name;
    auto program = list.Items(list.Add(-1, record));
    for (const auto& item : items) program->AddLeftover({item.Path, item.Kind});
    TBackupOptions options;
    options.Folder = FRoot;
    std::wstring error;
    auto writer = TBackupWriter::Create(options, *program, error);
    EXPECT_TRUE(writer) << ToUtf8(error);
    if (!writer) return {};
    for (int32_t i = 0; i < static_cast<int32_t>(items.size()); ++i) {
      TBackupItem& held = writer->Item(i);
      held.Outcome = "removed";
      if (items[i].Kind >= lkRegKey) {
        held.Place = kRegistryFileName;
        continue;
      }
      const std::wstring place = writer->PrepareFilePlace(i, items[i].Path, error);
      if (items[i].Kind == lkFolder) {
        ::CreateDirectoryW(place.c_str(), nullptr);
        EXPECT_TRUE(WriteBytes(place + L"\\inside.txt", items[i].Content));
      } else {
        EXPECT_TRUE(WriteBytes(place, items[i].Content));
      }
      held.Size = static_cast<int64_t>(items[i].Content.size());
    }
    if (!keys.empty()) {
      EXPECT_TRUE(writer->WriteRegistry(keys, error)) << ToUtf8(error);
    }
    if (edit) edit(*writer);
    EXPECT_TRUE(writer->WriteRecord(error)) << ToUtf8(error);
    return writer->Folder();
  }

  static std::wstring IdOf(const std::wstring& folder) {
    return folder.substr(folder.rfind(L'\\') + 1);
  }

  // Changes the set's record as a text editor would, without its seal.
  static void EditRecord(const std::wstring& folder,
                         const std::function<void(nlohmann::json&)>& edit) {
    auto j = nlohmann::json::parse(ReadFileBytes(folder + L"\\backup.json"));
    edit(j);
    ASSERT_TRUE(WriteBytes(folder + L"\\backup.json", j.dump(2)));
  }

  test::ProcessResult Restore(const std::wstring& folder, const std::wstring& options = L"") {
    return RunProcess(Quor(L"restore \"" + IdOf(folder) + L"\" --yes" + options));
  }

  TempFolder FAppData{L"QuorHostileSets"};
  TempFolder FOutside{L"QuorHostileOutside"};
  TempFolder FPlace{L"QuorHostilePlace"};
  std::wstring FRoot, FCanary;
  std::optional<std::wstring> FOldAppData;
};

// Each row's set names a target the removal never took, or one that is
// protected: nothing is written there, the command exits 1 and names why.
TEST_F(CliBackups, RestoreWritesOnlyWhereTheRemovalTookFrom) {
  const std::wstring windows = WindowsFolder();
  const std::wstring evil = windows + L"\\system32\\" + test::UniqueName(L"quor-evil") + L".dll";
  const std::wstring winIni = windows + L"\\win.ini";
  const std::string winIniBefore = ReadFileBytes(winIni);
  const std::wstring documents = KnownFolder(FOLDERID_Documents);
  const std::wstring programFiles = KnownFolder(FOLDERID_ProgramFiles);
  ASSERT_FALSE(documents.empty());
  ASSERT_FALSE(programFiles.empty());
  const std::wstring harmless = FPlace / L"harmless.txt";
  struct Row {
    const char* Name;
    TPlanted Item;
    bool Tampered;         // the record is changed to name the target after it was sealed
    std::wstring Options;  // more command-line options
    std::wstring Written;  // must not hold the set's bytes afterwards
    const char* Said;      // in the output: why
  };
  const Row rows[] = {
      {"foreign target written into the record",
       {harmless, lkFile, "evil"},
       true,
       L"",
       evil,
       "cannot be restored"},
      {"system folder target in a sealed record",
       {evil, lkFile, "evil"},
       false,
       L"",
       evil,
       "protected place"},
      {"protected file with --overwrite",
       {winIni, lkFile, "evil"},
       false,
       L" --overwrite",
       winIni,
       "protected place"},
      {"known folder itself",
       {documents, lkFolder, "evil"},
       false,
       L" --overwrite",
       documents + L"\\inside.txt",
       "protected place"},
      {"program files root",
       {programFiles, lkFolder, "evil"},
       false,
       L" --overwrite",
       programFiles + L"\\inside.txt",
       "protected place"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    const std::wstring set = MakeSet(L"Hostile", {row.Item});
    if (row.Tampered) {
      EditRecord(set, [&](nlohmann::json& j) { j["items"][0]["path"] = ToUtf8(evil); });
    }
    const auto r = Restore(set, row.Options);
    EXPECT_EQ(r.ExitCode, 1u) << r.Out << r.Err;
    EXPECT_NE(ReadFileBytes(row.Written), "evil") << r.Out;
    EXPECT_FALSE(PathExists(harmless));
    EXPECT_NE((r.Out + r.Err).find(row.Said), std::string::npos) << r.Out << r.Err;
    // Whatever happened, the machine is put back as it was.
    if (ReadFileBytes(winIni) != winIniBefore) WriteBytes(winIni, winIniBefore);
    for (const auto& path : {evil, documents + L"\\inside.txt", programFiles + L"\\inside.txt"}) {
      if (ReadFileBytes(path) == "evil") ::DeleteFileW(path.c_str());
    }
  }
}

// A folder inside the set that is a link leads outside it: nothing is read
// through it, and what lies behind it stays where it is.
TEST_F(CliBackups, RestoreNeverReadsThroughALinkInTheSet) {
  const std::wstring secret = FOutside.MakeFile(L"App\\secret.txt", "secret");
  const std::wstring target = FPlace / L"App";
  const std::wstring set = MakeSet(L"Linked", {{target, lkFolder, "held"}});
  test::RemoveTree(set + L"\\files\\0");
  if (!test::MakeFolderLink(set + L"\\files\\0", FOutside.Path()))
    GTEST_SKIP() << "links cannot be made here";
  const auto r = Restore(set);
  test::RunUnixCommand(L"Z:\\bin\\rm \"" + test::UnixPathOf(set + L"\\files\\0") + L"\"");
  EXPECT_EQ(r.ExitCode, 1u) << r.Out << r.Err;
  EXPECT_NE(r.Out.find("link"), std::string::npos) << r.Out;
  EXPECT_EQ(ReadFileBytes(secret), "secret");
  EXPECT_FALSE(PathExists(target + L"\\secret.txt"));
}

TRegFileKey StringKey(const std::wstring& path, const std::wstring& name,
                      const std::wstring& text) {
  TRegFileValue value{name, REG_SZ, {}, false};
  for (wchar_t c : text + L'\0') {
    value.Data.push_back(static_cast<uint8_t>(c & 0xFF));
    value.Data.push_back(static_cast<uint8_t>(c >> 8));
  }
  return {path, false, {value}};
}

// registry.reg holds keys that no item names (an autostart value, a
// service, a file class's open command): only the listed value is written,
// whether the extra keys were there when the set was sealed or added later.
TEST_F(CliBackups, RestoreImportsOnlyTheListedRegistryItems) {
  const std::wstring unique = test::UniqueName(L"QuorEvil");
  test::TempKey app(HKEY_CURRENT_USER, L"Software\\" + unique);
  const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::wstring service = L"SYSTEM\\CurrentControlSet\\Services\\" + unique;
  const std::wstring command = L"exefile\\shell\\" + unique;
  const std::vector<TRegFileKey> extra = {
      StringKey(L"HKEY_LOCAL_MACHINE\\" + run, unique, L"C:\\evil.exe"),
      StringKey(L"HKEY_LOCAL_MACHINE\\" + service, L"ImagePath", L"C:\\evil.exe"),
      StringKey(L"HKEY_CLASSES_ROOT\\" + command + L"\\command", L"", L"C:\\evil.exe \"%1\""),
  };
  const std::wstring item = L"HKEY_CURRENT_USER\\" + app.Path() + L"\\Setting";
  auto keysWith = [&](bool withExtra) {
    std::vector<TRegFileKey> keys{
        StringKey(L"HKEY_CURRENT_USER\\" + app.Path(), L"Setting", L"old")};
    if (withExtra) keys.insert(keys.end(), extra.begin(), extra.end());
    return keys;
  };
  for (const bool sealedWithExtra : {true, false}) {
    SCOPED_TRACE(sealedWithExtra ? "extra keys in the sealed file" : "extra keys added afterwards");
    const std::wstring set =
        MakeSet(L"Registry", {{item, lkRegValue, ""}}, keysWith(sealedWithExtra));
    if (!sealedWithExtra) {
      ASSERT_TRUE(WriteBytes(set + L"\\registry.reg", RegFileBytes(keysWith(true))));
    }
    const auto r = Restore(set);
    EXPECT_EQ(r.ExitCode, 1u) << r.Out << r.Err;
    EXPECT_FALSE(test::ValueExists(HKEY_LOCAL_MACHINE, run, unique)) << r.Out;
    EXPECT_FALSE(test::ValueExists(HKEY_LOCAL_MACHINE, service, L"ImagePath")) << r.Out;
    EXPECT_FALSE(test::ValueExists(HKEY_CLASSES_ROOT, command + L"\\command", L"")) << r.Out;
    // The listed value comes back only from the file the seal covers.
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, app.Path(), L"Setting"),
              sealedWithExtra ? L"old" : L"")
        << r.Out;
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, run.c_str(), unique.c_str());
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, service.c_str());
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, command.c_str());
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, app.Path().c_str(), L"Setting");
  }
}

// A restored set restored again with --overwrite would put the old value
// over the user's change: refused unless --again says so.
TEST_F(CliBackups, ASetRestoredBeforeNeedsAgain) {
  test::TempKey app(HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorTwice"));
  const std::wstring file = FPlace / L"settings.ini";
  const std::wstring set = MakeSet(
      L"Twice",
      {{file, lkFile, "old"}, {L"HKEY_CURRENT_USER\\" + app.Path() + L"\\Setting", lkRegValue, ""}},
      {StringKey(L"HKEY_CURRENT_USER\\" + app.Path(), L"Setting", L"old")});
  const auto first = Restore(set);
  ASSERT_EQ(first.ExitCode, 0u) << first.Out << first.Err;
  EXPECT_EQ(ReadFileBytes(file), "old");
  app.SetString(L"Setting", L"changed since");

  const auto second = Restore(set, L" --overwrite");
  EXPECT_EQ(second.ExitCode, 1u) << second.Out << second.Err;
  EXPECT_NE(second.Err.find("restored before"), std::string::npos) << second.Err;
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, app.Path(), L"Setting"), L"changed since");

  const auto forced = Restore(set, L" --overwrite --again");
  EXPECT_EQ(forced.ExitCode, 0u) << forced.Out << forced.Err;
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, app.Path(), L"Setting"), L"old");
}

// Every item of the set gets one line, whatever became of it, and the counts
// add up to those lines: a folder that exists now (its file listed below
// it), a file that lay inside it, a file put back, and one put back before.
TEST_F(CliBackups, RestoreCountsAgreeWithTheItemsListed) {
  const std::wstring folder = FPlace / L"App";
  const std::wstring inside = folder + L"\\inside.txt";
  const std::wstring back = FPlace / L"back.txt";
  const std::wstring before = FPlace / L"before.txt";
  const std::wstring set = MakeSet(L"Counts",
                                   {{folder, lkFolder, "held"},
                                    {inside, lkFile, "held"},
                                    {back, lkFile, "back"},
                                    {before, lkFile, "before"}},
                                   {}, [](TBackupWriter& w) {
                                     w.Item(1).Place = w.Item(0).Place + L"\\inside.txt";
                                     ::DeleteFileW((w.Folder() + L"\\" + w.Item(3).Place).c_str());
                                   });
  ::CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(WriteBytes(inside, "user's own"));
  ASSERT_TRUE(WriteBytes(before, "put back before"));

  const auto r = Restore(set);
  EXPECT_EQ(r.ExitCode, 1u) << r.Out << r.Err;
  EXPECT_EQ(ReadFileBytes(inside), "user's own");
  EXPECT_EQ(ReadFileBytes(back), "back");
  std::vector<std::string> itemLines, belowLines;
  std::string summary;
  std::istringstream lines(r.Out);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("Backup ") || line.empty()) continue;
    if (line.find("items restored") != std::string::npos) {
      summary = line;
    } else {
      (line.starts_with(" ") ? belowLines : itemLines).push_back(line);
    }
  }
  EXPECT_EQ(itemLines.size(), 4u) << r.Out;
  EXPECT_TRUE(summary.starts_with("1 items restored, 1 in place already, 2 not")) << r.Out;
  ASSERT_EQ(belowLines.size(), 1u) << r.Out;
  EXPECT_NE(belowLines[0].find(ToUtf8(inside)), std::string::npos) << r.Out;
}

// Records no removal writes: none stops `backups`, `restore` or
// `backups --purge`; each is named on stderr, the sound set still restores.
TEST_F(CliBackups, BadRecordsNeverStopACommand) {
  const std::wstring file = FPlace / L"kept.txt";
  const std::wstring good = MakeSet(L"Sound", {{file, lkFile, "sound"}});
  const std::wstring bigSize = MakeSet(L"BigSize", {{FPlace / L"a.txt", lkFile, "a"}});
  EditRecord(bigSize, [](nlohmann::json& j) { j["size"] = "big"; });
  const std::wstring deep = MakeSet(L"Deep", {{FPlace / L"b.txt", lkFile, "b"}});
  ASSERT_TRUE(WriteBytes(deep + L"\\backup.json",
                         "{\"format\":1,\"id\":\"" + ToUtf8(IdOf(deep)) +
                             "\",\"timeUtc\":\"2026-01-01T00:00:00Z\",\"size\":0,\"items\":" +
                             std::string(1'000'000, '[') + std::string(1'000'000, ']') + "}"));
  const std::wstring negative = MakeSet(L"Negative", {{FPlace / L"c.txt", lkFile, "c"}}, {},
                                        [](TBackupWriter& w) { w.Item(0).Size = -5; });

  const auto list = RunProcess(Quor(L"backups --json"));
  ASSERT_EQ(list.ExitCode, 0u) << list.Out << list.Err;
  const auto sets = nlohmann::json::parse(list.Out, nullptr, false);
  ASSERT_TRUE(sets.is_array()) << list.Out;
  ASSERT_EQ(sets.size(), 1u) << list.Out;
  EXPECT_EQ(sets[0]["id"], ToUtf8(IdOf(good)));
  for (const auto& bad : {bigSize, deep, negative}) {
    EXPECT_NE(list.Err.find(ToUtf8(IdOf(bad))), std::string::npos) << list.Err;
    const auto r = Restore(bad);
    EXPECT_EQ(r.ExitCode, 1u) << r.Out << r.Err;
    EXPECT_NE(r.Err.find(ToUtf8(IdOf(bad))), std::string::npos) << r.Err;
  }
  const auto restored = Restore(good);
  EXPECT_EQ(restored.ExitCode, 0u) << restored.Out << restored.Err;
  EXPECT_EQ(ReadFileBytes(file), "sound");
  const auto purge = RunProcess(Quor(L"backups --purge"));
  EXPECT_EQ(purge.ExitCode, 0u) << purge.Out << purge.Err;
  EXPECT_FALSE(PathExists(good));
  EXPECT_FALSE(PathExists(deep));
}

}  // namespace
}  // namespace quor
