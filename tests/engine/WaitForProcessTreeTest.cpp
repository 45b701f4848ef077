#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "base/Text.h"
#include "engine/HelperCommand.h"
#include "engine/WaitForProcessTree.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

using test::HelperCommand;
using test::PathExists;

// Through a job object, and through process snapshots when no job can be
// made. Snapshots follow a process whose parent has ended only when they saw
// that parent alive, so the hand-over to a copy that itself starts children
// and ends at once is a case for the job alone.
TEST(WaitForProcessTree, ReturnsOnlyAfterTheWholeTreeHasEnded) {
  struct Case {
    const char* what;
    std::wstring args;
    std::vector<std::wstring> markers;
    bool jobOnly;
  } cases[] = {
      {"a copy that outlives its starter", L"--relaunch --sleep 1500", {L""}, false},
      {"children of a starter that has ended", L"--children 2 --sleep 1500", {L".0", L".1"}, false},
      {"children of a copy that has ended", L"--relaunch --children 2 --sleep 1500",
       {L".0", L".1"}, true},
  };
  for (const bool noJob : {false, true}) {
    for (const auto& c : cases) {
      if (noJob && c.jobOnly) continue;
      SCOPED_TRACE(std::string(c.what) + (noJob ? ", without a job" : ", with a job"));
      test::TempFolder folder;
      const std::wstring marker = folder / L"m";
      TwaitProcessTree waiter;
      waiter.SimulateNoJob = noJob;
      waiter.Run(HelperCommand(c.args + L" --marker \"" + marker + L"\""));
      for (const auto& suffix : c.markers) EXPECT_TRUE(PathExists(marker + suffix)) << ToUtf8(suffix);
    }
  }
}

// The exit code is the started program's own, also when a copy it started
// runs on after it (an uninstaller that hands over to a copy of itself).
TEST(WaitForProcessTree, TellsTheStartedProgramsExitCode) {
  const struct {
    const char* What;
    std::wstring Args;
    DWORD Code;
  } cases[] = {
      {"success", L"--exit 0", 0},
      {"a failure code", L"--exit 1603", 1603},
      {"a copy still running when it ended", L"--relaunch --sleep 300 --exit 7", 0},
  };
  for (const bool noJob : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.What) + (noJob ? ", without a job" : ", with a job"));
      TwaitProcessTree waiter;
      waiter.SimulateNoJob = noJob;
      ASSERT_TRUE(waiter.Run(HelperCommand(c.Args))) << ToUtf8(waiter.Error());
      EXPECT_EQ(waiter.ExitCode(), std::optional<DWORD>(c.Code));
    }
  }
}

// A command that names no existing program starts nothing and says why.
TEST(WaitForProcessTree, StartsNothingForACommandThatCannotRun) {
  test::TempFolder folder;
  const std::wstring marker = folder / L"ran";
  ASSERT_TRUE(::CopyFileW(test::HelperPath().c_str(), (folder / L"un.exe").c_str(), FALSE));
  const std::wstring commands[] = {
      L"\"C:\\nowhere\\no-such-uninstaller.exe\" /S",
      L"%QUOR_UNSET_FOLDER%\\un.exe --marker \"" + marker + L"\"",
      L"",
  };
  for (const bool noJob : {false, true}) {
    for (const auto& command : commands) {
      SCOPED_TRACE(ToUtf8(command));
      TwaitProcessTree waiter;
      waiter.SimulateNoJob = noJob;
      EXPECT_FALSE(waiter.Run(command));
      EXPECT_FALSE(waiter.Error().empty());
      EXPECT_FALSE(waiter.ExitCode().has_value());
      EXPECT_EQ(waiter.CommandLine(), command);
    }
  }
  EXPECT_FALSE(PathExists(marker));
}

TEST(WaitForProcessTree, HandsQuotesToTheSystemUnchanged) {
  test::TempFolder folder(L"Quor Spaced");
  const std::wstring copy = folder / L"un helper.exe";
  ASSERT_TRUE(::CopyFileW(test::HelperPath().c_str(), copy.c_str(), FALSE));
  const std::wstring argsFile = folder / L"args.txt";
  const std::wstring command =
      L"\"" + copy + L"\" --args-out \"" + argsFile + L"\" \"two words\" /X{ABC}";
  TwaitProcessTree waiter;
  EXPECT_TRUE(waiter.Run(command)) << ToUtf8(waiter.Error());
  EXPECT_EQ(test::ReadFileBytes(argsFile), ToUtf8(command));
}

// Copies of the test helper that log each start (own path and command line)
// to QUOR_TEST_RAN_LOG, planted where a loose reading of a registered
// command would find them: at a blank of an unquoted path, beside this test
// program and in the current folder. Only the registered program may run.
class TRegisteredCommands {
 public:
  TRegisteredCommands() {
    tool = folder.MakeFolder(L"Zqx Tool");
    uninst = Plant(tool + L"\\uninst.exe");
    other = Plant(folder / L"other.exe");
    batRan = Plant(folder / L"bat-ran.exe");
    bat = folder.MakeFile(L"Zqx Tool\\un.bat", "@\"" + ToUtf8(batRan) + "\" %*\r\n");
    fakeSystem = folder.MakeFolder(L"system");
    systemMsiexec = Plant(fakeSystem + L"\\msiexec.exe");
    current = folder.MakeFolder(L"current");
    Plant(current + L"\\MsiExec.exe");
    Plant(current + L"\\uninst.exe");
    besideTests = test::ExeFolder() + L"\\MsiExec.exe";
    Plant(besideTests);
    log = folder / L"ran.log";
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    previousFolder = previous;
    ::SetCurrentDirectoryW(current.c_str());
    ::SetEnvironmentVariableW(L"QUOR_TEST_RAN_LOG", log.c_str());
  }
  ~TRegisteredCommands() {
    ::SetEnvironmentVariableW(L"QUOR_TEST_RAN_LOG", nullptr);
    ::SetCurrentDirectoryW(previousFolder.c_str());
    ::DeleteFileW(besideTests.c_str());
  }
  std::wstring Plant(const std::wstring& path) const {
    EXPECT_TRUE(::CopyFileW(test::HelperPath().c_str(), path.c_str(), FALSE)) << ToUtf8(path);
    return path;
  }
  // Each program that ran, lower-cased, and its command line, in order.
  std::vector<std::pair<std::wstring, std::wstring>> Ran() const {
    std::vector<std::pair<std::wstring, std::wstring>> ran;
    const std::wstring text = FromUtf8(test::ReadFileBytes(log));
    for (size_t at = 0; at < text.size();) {
      size_t end = text.find(L'\n', at);
      if (end == std::wstring::npos) end = text.size();
      const std::wstring line = text.substr(at, end - at);
      const size_t tab = line.find(L'\t');
      if (tab != std::wstring::npos)
        ran.emplace_back(LowerAscii(line.substr(0, tab)), line.substr(tab + 1));
      at = end + 1;
    }
    return ran;
  }

  test::TempFolder folder;
  std::wstring tool, uninst, other, batRan, bat, fakeSystem, systemMsiexec, current, besideTests,
      log;
  std::wstring previousFolder;
};

TEST(WaitForProcessTree, RunsTheRegisteredProgramAndOnlyIt) {
  TRegisteredCommands f;
  const std::wstring zqx = f.folder / L"Zqx.exe";
  const std::wstring guid = L"{12345678-ABCD-ef01-2345-6789ABCDEF01}";
  const std::wstring drive = f.folder.Path().substr(0, 2);
  ASSERT_EQ(f.folder.Path().find(L' '), std::wstring::npos)
      << "the fixture needs a folder without blanks";
  struct TCase {
    const char* Name;
    std::wstring Command;
    bool PlantZqx;      // a program at the first blank of the unquoted path
    bool FakeSystem;    // the system folder is the fixture's
    std::wstring Ran;   // the one program that must run; empty: none
    std::wstring Args;  // text its command line must hold
  };
  const TCase cases[] = {
      {"unquoted with blanks, one program", f.uninst + L" /S", false, false, f.uninst, L" /S"},
      {"unquoted with blanks, a second program at a blank", f.uninst + L" /S", true, false, L"",
       L""},
      {"quoted beside a planted program", L"\"" + f.uninst + L"\" /S", true, false, f.uninst,
       L" /S"},
      {"an environment variable in the path", L"\"%SystemDrive%" + f.uninst.substr(2) + L"\" /S",
       false, false, f.uninst, L" /S"},
      {"a variable that is not set", L"\"%QUOR_NOT_SET%\\uninst.exe\" /S", false, false, L"", L""},
      {"a bare name found only in the current folder", L"uninst.exe /S", false, false, L"", L""},
      {"a batch file and & another program", L"\"" + f.bat + L"\" & \"" + f.other + L"\"", false,
       false, f.batRan, L"\"&\""},
      {"an unquoted batch file and & another program", f.bat + L" & " + f.other, false, false,
       f.batRan, L"\"&\""},
      {"a batch file and an escaped &", L"\"" + f.bat + L"\" x^&" + f.other, false, false, f.batRan,
       L"\"x^&"},
      {"a batch file and a pipe", L"\"" + f.bat + L"\" a|" + f.other + L" >" + f.folder / L"out",
       false, false, f.batRan, L"\"a|"},
      {"a batch file with a percent sign", L"\"" + f.bat + L"\" 100%", false, false, L"", L""},
      {"the Windows Installer", L"MsiExec.exe /X" + guid, false, true, f.systemMsiexec,
       L"\" /X" + guid},
      {"the Windows Installer by another path", drive + L"\\nowhere\\MsiExec.exe /I" + guid, false,
       true, L"", L""},
      {"the Windows Installer, more than a product code", L"MsiExec.exe /X" + guid + L" /qn", false,
       true, L"", L""},
      {"the Windows Installer, no product code", L"MsiExec.exe /X{12345678}", false, true, L"",
       L""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ::DeleteFileW(f.log.c_str());
    if (c.PlantZqx) f.Plant(zqx);
    TwaitProcessTree waiter;
    if (c.FakeSystem) waiter.Context.SystemFolder = f.fakeSystem;
    const bool started = waiter.Run(c.Command);
    if (c.PlantZqx) ::DeleteFileW(zqx.c_str());
    EXPECT_EQ(started, !c.Ran.empty()) << ToUtf8(waiter.Error());
    EXPECT_EQ(waiter.Error().empty(), !c.Ran.empty());
    const auto ran = f.Ran();
    if (c.Ran.empty()) {
      EXPECT_TRUE(ran.empty()) << ToUtf8(ran.front().first);
      continue;
    }
    EXPECT_EQ(ran.size(), 1u) << (ran.size() > 1 ? ToUtf8(ran[1].first) : "nothing ran");
    if (ran.empty()) continue;
    EXPECT_EQ(ran[0].first, LowerAscii(c.Ran));
    EXPECT_NE(ran[0].second.find(c.Args), std::wstring::npos) << ToUtf8(ran[0].second);
  }
  EXPECT_FALSE(PathExists(f.folder / L"out"));
}

bool AwaitChild() {
  for (int i = 0; i < 600; ++i) {
    if (!test::OpenChildProcesses(L"quor_test_helper.exe").empty()) return true;
    ::Sleep(50);
  }
  return false;
}

// The program closes while an uninstaller runs: the wait ends without
// waiting for the uninstaller, which goes on, and the aborted waiter starts
// nothing more. Were the abort ignored, the wait would last the child's 60 s
// and the child would be gone with its marker written.
TEST(WaitForProcessTree, AbortEndsTheWaitAndLeavesTheProcessRunning) {
  for (const bool noJob : {false, true}) {
    SCOPED_TRACE(noJob ? "without a job" : "with a job");
    test::TChildCleanup cleanup(L"quor_test_helper.exe");
    test::TempFolder folder;
    const std::wstring marker = folder / L"m";
    TwaitProcessTree waiter;
    waiter.SimulateNoJob = noJob;
    std::thread wait(
        [&] { waiter.Run(HelperCommand(L"--sleep 60000 --marker \"" + marker + L"\"")); });
    const bool started = AwaitChild();
    waiter.Abort();
    wait.join();
    ASSERT_TRUE(started);
    EXPECT_TRUE(waiter.Aborted());
    EXPECT_EQ(test::OpenChildProcesses(L"quor_test_helper.exe").size(), 1u);
    EXPECT_FALSE(PathExists(marker));

    const std::wstring later = folder / L"later";
    waiter.Run(HelperCommand(L"--marker \"" + later + L"\""));
    EXPECT_FALSE(PathExists(later));
  }
}

}  // namespace
}  // namespace quor
