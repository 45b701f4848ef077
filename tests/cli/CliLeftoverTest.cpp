#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "QuorCommand.h"
#include "base/Handles.h"
#include "base/Text.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"
#include "support/TestNames.h"

namespace quor {
namespace {

using test::PathExists;
using test::RunProcess;

using test::Quor;

std::wstring ProgramFiles() {
  wchar_t buf[MAX_PATH] = {};
  ::GetEnvironmentVariableW(L"ProgramFiles", buf, MAX_PATH);
  return buf;
}

// A program with an install folder and a registration; quor keeps its
// backups in a folder of the test's own.
struct TCliApp {
  TCliApp() {
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", localAppData.Path().c_str());
    name = test::UniqueName(L"Quor Cli App");
    folder = std::make_unique<test::TempFolder>(test::TempFolder::At{ProgramFiles(), name});
    keep = folder->MakeFile(L"profile\\keep.ini");
    drop = folder->MakeFile(L"bin\\app.exe");
    reg.SetString(L"DisplayName", name);
    reg.SetString(L"InstallLocation", folder->Path());
  }
  std::wstring Key() const { return L"--key \"HKEY_CURRENT_USER\\" + reg.Path() + L"\""; }
  bool Registered() const { return RunProcess(Quor(L"size " + Key())).ExitCode == 0; }

  test::TempFolder localAppData{L"QuorLocalAppData"};
  std::wstring name, keep, drop;
  std::unique_ptr<test::TempFolder> folder;
  test::TempRegistration reg{test::TLocation::UserNative};
};

class CliLeftovers : public ::testing::Test, public TCliApp {};

// The id after "Backup set: " in quor's output; empty when none is named.
std::string BackupSetNamed(const std::string& out) {
  const std::string mark = "Backup set: ";
  const size_t at = out.find(mark);
  if (at == std::string::npos) return {};
  const size_t end = out.find_first_of("\r\n", at);
  return out.substr(at + mark.size(), end - at - mark.size());
}

TEST_F(CliLeftovers, ScanJsonListsLeftoversInScanOrder) {
  const auto r = RunProcess(Quor(L"scan --json " + Key()));
  ASSERT_EQ(r.ExitCode, 0u) << r.Err;
  const auto j = nlohmann::ordered_json::parse(r.Out);
  std::vector<std::string> keys;
  for (const auto& [k, v] : j.items()) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"program", "steps", "leftovers"}));
  EXPECT_EQ(j["steps"], 42);
  ASSERT_GE(j["leftovers"].size(), 5u);
  EXPECT_EQ(j["leftovers"][0]["path"], ToUtf8(folder->Path() + L"\\"));
  EXPECT_EQ(j["leftovers"][0]["kind"], "folder");
  bool sawKey = false;
  for (const auto& item : j["leftovers"]) {
    EXPECT_TRUE(item["confidence"] == "high" || item["confidence"] == "low") << item.dump();
    EXPECT_TRUE(item["matchedBy"].is_string()) << item.dump();
    sawKey |=
        item["kind"] == "regkey" && item["path"] == ToUtf8(L"HKEY_CURRENT_USER\\" + reg.Path());
  }
  EXPECT_TRUE(sawKey);
}

TEST_F(CliLeftovers, RemoveAsksFirstAndSparesKeptPaths) {
  const auto declined = RunProcess(Quor(L"remove " + Key()));  // no input: no
  EXPECT_EQ(declined.ExitCode, 1u);
  EXPECT_TRUE(PathExists(drop));

  const auto r =
      RunProcess(Quor(L"remove --yes " + Key() + L" --keep \"" + folder->Path() + L"\\PROFILE\""));
  EXPECT_EQ(r.ExitCode, 1u) << r.Out << r.Err;  // kept items stay: not "done"
  EXPECT_NE(r.Out.find("items were kept."), std::string::npos) << r.Out;
  EXPECT_FALSE(BackupSetNamed(r.Out).empty()) << r.Out;
  EXPECT_TRUE(PathExists(keep));
  EXPECT_FALSE(PathExists(drop));
  EXPECT_FALSE(test::PathExists(folder->Path() + L"\\bin"));
  EXPECT_EQ(RunProcess(Quor(L"scan " + Key())).ExitCode, 3u);  // its registration went too
}

// Asked first; then the registration goes into a backup set whose name is
// printed, and restoring that set brings the program back to the list.
TEST_F(CliLeftovers, DeleteEntryAsksFirstAndNamesItsBackup) {
  EXPECT_EQ(RunProcess(Quor(L"delete-entry " + Key())).ExitCode, 1u);
  EXPECT_EQ(RunProcess(Quor(L"size " + Key())).ExitCode, 0u);
  const auto deleted = RunProcess(Quor(L"delete-entry --yes " + Key()));
  EXPECT_EQ(deleted.ExitCode, 0u) << deleted.Err;
  EXPECT_EQ(RunProcess(Quor(L"size " + Key())).ExitCode, 3u);
  EXPECT_TRUE(PathExists(drop));  // only the registration goes
  const std::string set = BackupSetNamed(deleted.Out);
  ASSERT_FALSE(set.empty()) << deleted.Out;
  const auto restored = RunProcess(Quor(L"restore \"" + FromUtf8(set) + L"\" --yes"));
  EXPECT_EQ(restored.ExitCode, 0u) << restored.Out << restored.Err;
  EXPECT_EQ(RunProcess(Quor(L"size " + Key())).ExitCode, 0u);
}

// Each row: a --keep spelling, the exit status, and what must still be
// there. A spelling that the canonical form refuses is a usage error and
// nothing goes; a kept item makes the exit status 1.
TEST(CliKeep, SpellingsOfKeptPaths) {
  struct Row {
    const char* Name;
    std::function<std::wstring(const TCliApp&)> Keep;
    unsigned long Exit;
    bool DropGone;
    bool KeepStays;
  };
  const auto at = [](const wchar_t* tail) {
    return [tail](const TCliApp& a) { return a.folder->Path() + tail; };
  };
  const Row rows[] = {
      {"forward slashes",
       [](const TCliApp& a) {
         std::wstring p = a.folder->Path() + L"/profile";
         for (auto& c : p) c = c == L'\\' ? L'/' : c;
         return p;
       },
       1, true, true},
      {"the kept file itself", [](const TCliApp& a) { return a.keep; }, 1, true, true},
      {"nothing listed there", [](const TCliApp&) { return std::wstring(L"C:\\QuorNowhere\\x"); },
       2, false, true},
      {"a sub-key of a listed key",
       [](const TCliApp& a) { return L"HKEY_CURRENT_USER\\" + a.reg.Path() + L"\\Sub\\"; }, 1, true,
       false},
      {"a doubled backslash in a key",
       [](const TCliApp& a) { return L"HKCU\\\\" + a.reg.Path() + L"\\Sub"; }, 2, false, true},
      {"a .. component", at(L"\\bin\\..\\profile"), 2, false, true},
      {"a . component", at(L"\\.\\profile"), 2, false, true},
      {"a trailing dot", at(L"\\profile."), 2, false, true},
      {"a doubled backslash", at(L"\\\\profile"), 2, false, true},
      {"a stream", [](const TCliApp& a) { return a.keep + L":stream"; }, 2, false, true},
      {"a relative path", [](const TCliApp&) { return std::wstring(L"profile\\keep.ini"); }, 2,
       false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    TCliApp app;
    test::TempKey sub(HKEY_CURRENT_USER, app.reg.Path() + L"\\Sub");
    sub.SetString(L"setting", L"1");
    const auto r =
        RunProcess(Quor(L"remove --yes " + app.Key() + L" --keep \"" + row.Keep(app) + L"\""));
    EXPECT_EQ(r.ExitCode, row.Exit) << r.Out << r.Err;
    EXPECT_EQ(PathExists(app.keep), row.KeepStays);
    EXPECT_EQ(PathExists(app.drop), !row.DropGone);
    if (row.Exit == 2) {
      EXPECT_TRUE(app.Registered());  // nothing removed
    }
  }
}

// An unticked folder keeps everything inside it, also what the scan lists
// on its own inside it, whatever the case of its letters in the kept path.
TEST(CliKeep, AKeptFolderKeepsItsListedContents) {
  TCliApp app;
  const std::wstring inside = app.folder->MakeFile(L"Profil\u00e4\\notes\\today.txt");
  const auto r = RunProcess(Quor(L"remove --yes " + app.Key() + L" --keep \"" + app.folder->Path() +
                                 L"\\PROFIL\u00c4\""));
  EXPECT_EQ(r.ExitCode, 1u) << r.Out << r.Err;
  EXPECT_TRUE(PathExists(inside)) << r.Out;
  EXPECT_FALSE(PathExists(app.drop));
}

TEST(CliKeep, ClassesRootAliasSparesItsTwin) {
  TCliApp app;
  test::TempKey classes(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + app.name);
  classes.SetString(L"", L"document");
  const auto scan = RunProcess(Quor(L"scan --json " + app.Key()));
  const std::string listed = ToUtf8(L"HKEY_CLASSES_ROOT\\" + app.name);
  if (scan.Out.find(nlohmann::json(listed).dump()) == std::string::npos) {
    GTEST_SKIP() << "the scan does not list the class key here";
  }
  const auto r =
      RunProcess(Quor(L"remove --yes " + app.Key() +
                      L" --keep \"HKEY_LOCAL_MACHINE\\Software\\Classes\\" + app.name + L"\""));
  EXPECT_EQ(r.ExitCode, 1u) << r.Out << r.Err;
  UniqueRegKey kept;
  EXPECT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + app.name).c_str(), 0,
                            KEY_READ | KEY_WOW64_64KEY, kept.Put()),
            ERROR_SUCCESS);
}

// A weak item that --all did not take stays, with its reason: not "Removed.",
// and exit status 1; the registration still goes.
TEST_F(CliLeftovers, AWeakItemKeptEndsWithExitOne) {
  wchar_t appData[MAX_PATH] = {};
  ::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
  test::TempFolder weak(test::TempFolder::At{appData, L"Old" + name});
  const std::wstring inWeak = weak.MakeFile(L"x.txt");
  const auto r = RunProcess(Quor(L"remove --yes " + Key()));
  EXPECT_EQ(r.ExitCode, 1u) << r.Out << r.Err;
  EXPECT_NE(r.Out.find("kept    folder   " + ToUtf8(weak.Path()) + "\\  (kept: weak match)"),
            std::string::npos)
      << r.Out;
  EXPECT_EQ(r.Out.find("Removed."), std::string::npos) << r.Out;
  EXPECT_TRUE(PathExists(inWeak));
  EXPECT_FALSE(PathExists(drop));
  EXPECT_FALSE(Registered());
}

// A file in use stays, is named with the system's reason, the exit status
// says so, and the registration stays for another try.
TEST_F(CliLeftovers, AFileInUseIsReportedAndKeepsTheRegistration) {
  UniqueKernelHandle hold(::CreateFileW(drop.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(hold);
  // Deletion itself: Wine renames a folder whose file is open, so a backup would move it.
  const auto r = RunProcess(Quor(L"remove --yes --no-backup " + Key()));
  EXPECT_EQ(r.ExitCode, 1u) << r.Out;
  EXPECT_NE(r.Out.find("failed  file     " + ToUtf8(drop)), std::string::npos) << r.Out;
  EXPECT_TRUE(PathExists(drop));
  EXPECT_TRUE(Registered());
}

// remove backs up, backups lists the set, restore puts it back and will not
// replace what exists; --no-backup writes no set.
TEST_F(CliLeftovers, RemoveBackupsAndRestore) {
  const std::string content = test::ReadFileBytes(drop);
  ASSERT_EQ(RunProcess(Quor(L"remove --yes " + Key())).ExitCode, 0u);
  ASSERT_FALSE(PathExists(drop));
  const auto list = RunProcess(Quor(L"backups --json"));
  ASSERT_EQ(list.ExitCode, 0u) << list.Err;
  const auto sets = nlohmann::ordered_json::parse(list.Out);
  ASSERT_EQ(sets.size(), 1u);
  std::vector<std::string> keys;
  for (const auto& [k, v] : sets[0].items()) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"id", "time", "program", "items", "size", "restored"}));
  EXPECT_EQ(sets[0]["program"], ToUtf8(name));
  const std::wstring id = FromUtf8(sets[0]["id"].get<std::string>());

  EXPECT_EQ(RunProcess(Quor(L"restore \"" + id + L"\"")).ExitCode, 1u);  // asks; no answer is no
  EXPECT_FALSE(PathExists(drop));
  EXPECT_EQ(RunProcess(Quor(L"restore \"no such backup\" --yes")).ExitCode, 3u);
  ::CreateDirectoryW(folder->Path().c_str(), nullptr);  // gone with the removal
  folder->MakeFile(L"profile\\keep.ini", "made since");
  const auto r = RunProcess(Quor(L"restore \"" + id + L"\" --yes"));
  EXPECT_EQ(r.ExitCode, 1u) << r.Out;  // keep.ini exists now
  EXPECT_NE(r.Out.find("exists    folder   " + ToUtf8(keep)), std::string::npos) << r.Out;
  EXPECT_EQ(test::ReadFileBytes(drop), content);
  EXPECT_EQ(test::ReadFileBytes(keep), "made since");
  EXPECT_TRUE(Registered());
  EXPECT_EQ(RunProcess(Quor(L"backups --purge")).ExitCode, 0u);
  EXPECT_EQ(nlohmann::ordered_json::parse(RunProcess(Quor(L"backups --json")).Out).size(), 0u);

  EXPECT_EQ(RunProcess(Quor(L"remove --yes --no-backup " + Key())).ExitCode, 0u);
  EXPECT_FALSE(PathExists(drop));
  EXPECT_EQ(nlohmann::ordered_json::parse(RunProcess(Quor(L"backups --json")).Out).size(), 0u);
}

// Names are printed escaped: no control character or direction override
// reaches the terminal.
TEST_F(CliLeftovers, HostileNamesArePrintedEscaped) {
  test::TempKey hostile(HKEY_CURRENT_USER, L"Software\\" + name + L"\x1b[2J\r\u202e");
  const auto r = RunProcess(Quor(L"scan " + Key()));
  ASSERT_EQ(r.ExitCode, 0u);
  EXPECT_NE(r.Out.find(ToUtf8(name) + "\\x1b[2J\\x0d\\u202e"), std::string::npos) << r.Out;
  EXPECT_EQ(r.Out.find('\x1b'), std::string::npos);
  EXPECT_EQ(r.Out.find('\r'), std::string::npos);
  EXPECT_EQ(r.Out.find(ToUtf8(L"\u202e")), std::string::npos);
}

}  // namespace
}  // namespace quor
