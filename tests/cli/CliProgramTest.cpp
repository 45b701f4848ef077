#include <gtest/gtest.h>
#include <windows.h>

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

using test::Quor;
using test::RunProcess;

std::wstring Helper(const std::wstring& args) {
  return L"\"" + test::ExeFolder() + L"\\quor_test_helper.exe\" " + args;
}
std::wstring KeyArg(const test::TempKey& reg) {
  return L"--key \"" +
         std::wstring(reg.Root() == HKEY_CURRENT_USER ? L"HKEY_CURRENT_USER"
                                                      : L"HKEY_LOCAL_MACHINE") +
         L"\\" + reg.Path() + L"\"";
}

// A job without JOB_OBJECT_LIMIT_BREAKAWAY_OK: whatever quor starts inside
// it cannot leave it (starting it with breakaway fails with access denied),
// so quor cannot use a job of its own the usual way.
quor::UniqueKernelHandle JobRefusingBreakaway() {
  return quor::UniqueKernelHandle(::CreateJobObjectW(nullptr, nullptr));
}

// The uninstaller hands over to a copy of itself that starts a child; each
// of them writes to its standard output and error, which must not reach
// quor's JSON. quor waits for all of them, also from inside a job that
// refuses breakaway.
TEST(CliUninstall, WaitsForTheRelaunchedUninstallerAndKeepsItsOutputOutOfTheJson) {
  for (const bool inJob : {false, true}) {
    SCOPED_TRACE(inJob ? "in a job that refuses breakaway" : "free");
    test::TempRegistration reg(test::TLocation::MachineNative);
    test::TempFolder folder;
    const std::wstring marker = folder / L"done";
    reg.SetString(L"DisplayName", L"Quor CLI uninstall");
    reg.SetString(L"UninstallString",
                  Helper(L"--print \"uninstaller says hello\" --relaunch --children 1 --sleep 1200 "
                         L"--delete-key \"HKEY_LOCAL_MACHINE\\" +
                         reg.Path() + L"\" --marker \"" + marker + L"\""));
    auto job = inJob ? JobRefusingBreakaway() : quor::UniqueKernelHandle();
    const auto r = RunProcess(Quor(L"uninstall " + KeyArg(reg) + L" --json"), 60000, job.Get());
    ASSERT_EQ(r.ExitCode, 0u) << r.Err;
    EXPECT_TRUE(test::PathExists(marker));
    EXPECT_TRUE(test::PathExists(marker + L".0"));
    ASSERT_TRUE(nlohmann::json::accept(r.Out)) << r.Out;
    EXPECT_EQ(r.Err.find("says hello"), std::string::npos) << r.Err;
    const auto j = nlohmann::json::parse(r.Out);
    EXPECT_EQ(j["registrationRemoved"], true);
    EXPECT_EQ(j["result"], "removed");
    EXPECT_EQ(j["program"]["displayName"], "Quor CLI uninstall");
    EXPECT_EQ(j["program"]["keyPath"], ToUtf8(reg.Path()));
  }
}

// An uninstall that leaves the program registered is a failure: exit 1, a
// line on stderr, and "result" says whether the uninstaller ran at all.
TEST(CliUninstall, AProgramStillRegisteredIsAFailure) {
  test::TempFolder folder;
  struct Case {
    const char* name;
    std::wstring command;  // the UninstallString; empty: none registered
    const char* result;
    const char* err;
  } cases[] = {
      {"the uninstaller fails", Helper(L"--exit 3"), "stillRegistered",
       "still present after the uninstaller ended"},
      {"the uninstaller is missing", L"\"" + (folder / L"gone\\unins000.exe") + L"\"",
       "commandNotRun", "the uninstall command was not run"},
      {"no uninstaller is registered", L"", "commandNotRun", "no command is registered"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempRegistration reg(test::TLocation::UserNative);
    reg.SetString(L"DisplayName", L"Quor CLI stays");
    if (!c.command.empty()) reg.SetString(L"UninstallString", c.command);
    for (const bool json : {false, true}) {
      const auto r = RunProcess(Quor(L"uninstall " + KeyArg(reg) + (json ? L" --json" : L"")));
      EXPECT_EQ(r.ExitCode, 1u) << r.Out << r.Err;
      EXPECT_NE(r.Err.find(c.err), std::string::npos) << r.Err;
      if (!json) {
        EXPECT_NE(r.Out.find("still present"), std::string::npos) << r.Out;
        continue;
      }
      ASSERT_TRUE(nlohmann::json::accept(r.Out)) << r.Out;
      const auto j = nlohmann::json::parse(r.Out);
      EXPECT_EQ(j["registrationRemoved"], false);
      EXPECT_EQ(j["result"], c.result);
    }
  }
}

// An unquoted command whose path could also mean a planted program runs
// neither: uninstall and modify say so on stderr and exit 1, and the JSON
// adds the reason.
TEST(CliUninstall, ACommandThatIsNotRunIsAFailure) {
  test::TempFolder folder;
  const std::wstring tool = folder.MakeFolder(L"Zqx Tool");
  ASSERT_TRUE(::CopyFileW((test::ExeFolder() + L"\\quor_test_helper.exe").c_str(),
                          (tool + L"\\uninst.exe").c_str(), FALSE));
  ASSERT_TRUE(::CopyFileW((test::ExeFolder() + L"\\quor_test_helper.exe").c_str(),
                          (folder / L"Zqx.exe").c_str(), FALSE));
  const std::wstring marker = folder / L"ran";
  const std::wstring command = tool + L"\\uninst.exe --marker " + marker;
  test::TempRegistration reg(test::TLocation::UserNative);
  reg.SetString(L"DisplayName", L"Quor CLI ambiguous");
  reg.SetString(L"UninstallString", command);
  reg.SetString(L"ModifyPath", command);
  for (const wchar_t* args : {L"uninstall ", L"uninstall --json ", L"modify "}) {
    SCOPED_TRACE(ToUtf8(args));
    const auto r = RunProcess(Quor(args + KeyArg(reg)));
    EXPECT_EQ(r.ExitCode, 1u) << r.Out;
    EXPECT_NE(r.Err.find("was not run: it could mean more than one program"), std::string::npos)
        << r.Err;
    if (std::wstring(args).find(L"--json") != std::wstring::npos) {
      const auto j = nlohmann::json::parse(r.Out);
      EXPECT_EQ(j["registrationRemoved"], false);
      EXPECT_TRUE(j["commandError"].is_string());
    }
  }
  EXPECT_FALSE(test::PathExists(marker));
}

// After the uninstaller, a leftover in use stays: the JSON names it with the
// system's reason in "failed", the rest goes, and the exit status says so.
TEST(CliUninstall, RemoveJsonReportsEachItemThatStays) {
  test::TempRegistration reg(test::TLocation::UserNative);
  test::TempFolder folder;
  const std::wstring busy = folder.MakeFile(L"bin\\busy.dll");
  const std::wstring data = folder.MakeFile(L"data.txt");
  const std::wstring name = test::UniqueName(L"Quor CLI leftovers");
  reg.SetString(L"DisplayName", name);
  reg.SetString(L"InstallLocation", folder.Path());
  reg.SetString(L"UninstallString",
                Helper(L"--delete-key \"HKEY_CURRENT_USER\\" + reg.Path() + L"\""));
  UniqueKernelHandle hold(::CreateFileW(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(hold);
  // Deletion itself: Wine renames a folder whose file is open, so a backup would move it.
  const auto r =
      RunProcess(Quor(L"uninstall " + KeyArg(reg) + L" --remove --yes --json --no-backup"));
  EXPECT_EQ(r.ExitCode, 1u) << r.Out << r.Err;
  ASSERT_TRUE(nlohmann::json::accept(r.Out)) << r.Out;
  const auto j = nlohmann::json::parse(r.Out);
  EXPECT_EQ(j["registrationRemoved"], true);
  EXPECT_EQ(j["leftoversRemoved"], true);
  bool named = false;
  for (const auto& item : j["failed"]) {
    if (item["path"] == ToUtf8(busy)) {
      named = true;
      EXPECT_EQ(item["kind"], "file");
      EXPECT_FALSE(item["error"].get<std::string>().empty());
    }
  }
  EXPECT_TRUE(named) << r.Out;
  EXPECT_TRUE(test::PathExists(busy));
  EXPECT_FALSE(test::PathExists(data));
}

TEST(CliSelectors, ExitCodesForNoMatchSeveralMatchesAndUsage) {
  const std::wstring name = test::UniqueName(L"Quor Twin");
  test::TempRegistration a(test::TLocation::UserNative);
  test::TempRegistration b(test::TLocation::MachineNative);
  a.SetString(L"DisplayName", name);
  b.SetString(L"DisplayName", LowerAscii(name));

  const auto several = RunProcess(Quor(L"size --name \"" + name + L"\""));
  EXPECT_EQ(several.ExitCode, 4u);
  EXPECT_NE(several.Err.find(ToUtf8(a.Path())), std::string::npos);
  EXPECT_NE(several.Err.find(ToUtf8(b.Path())), std::string::npos);

  struct Case {
    std::wstring args;
    unsigned long code;
  } cases[] = {
      {L"size --name \"No Such Program Anywhere\"", 3},
      {L"uninstall --key \"HKEY_CURRENT_USER\\Software\\Nothing\\Here\"", 3},
      {L"modify --key \"HKEY_NOWHERE\\x\"", 3},
      {L"size", 2},
      {L"size --name", 2},
      {L"size --name a --key b", 2},
      {L"size --name a --json", 2},
      {L"uninstall --name a --verbose", 2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RunProcess(Quor(c.args)).ExitCode, c.code) << ToUtf8(c.args);
}

TEST(CliSize, MeasuresTheInstallFolderOrPrintsTheStatedSize) {
  test::TempFolder folder;
  folder.MakeFile(L"a.bin", std::string(3000, 'x'));
  folder.MakeFile(L"sub\\b.bin", std::string(2000, 'x'));
  test::TempRegistration measured(test::TLocation::UserNative);
  measured.SetString(L"DisplayName", L"Quor measured");
  measured.SetString(L"InstallLocation", folder.Path());
  const auto r = RunProcess(Quor(L"size " + KeyArg(measured)));
  ASSERT_EQ(r.ExitCode, 0u) << r.Err;
  EXPECT_NE(r.Out.find("(4 KiB)"), std::string::npos) << r.Out;

  test::TempRegistration stated(test::TLocation::UserNative);
  stated.SetString(L"DisplayName", L"Quor stated");
  stated.SetDWord(L"EstimatedSize", 2048);
  const auto s = RunProcess(Quor(L"size " + KeyArg(stated)));
  EXPECT_NE(s.Out.find("(2048 KiB)"), std::string::npos) << s.Out;
}

TEST(CliModify, RunsTheModifyCommandAndWaits) {
  test::TempFolder folder;
  const std::wstring marker = folder / L"modified";
  test::TempRegistration reg(test::TLocation::UserNative);
  reg.SetString(L"DisplayName", L"Quor modify");
  reg.SetString(L"ModifyPath", Helper(L"--relaunch --sleep 800 --marker \"" + marker + L"\""));
  EXPECT_EQ(RunProcess(Quor(L"modify " + KeyArg(reg))).ExitCode, 0u);
  EXPECT_TRUE(test::PathExists(marker));

  test::TempRegistration none(test::TLocation::UserNative);
  none.SetString(L"DisplayName", L"Quor no modify");
  EXPECT_EQ(RunProcess(Quor(L"modify " + KeyArg(none))).ExitCode, 1u);
}

}  // namespace
}  // namespace quor
