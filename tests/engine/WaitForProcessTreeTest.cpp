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

// The command is run as it stands: an environment-variable token is not
// expanded, so the copy it would name never runs.
TEST(WaitForProcessTree, StartsNothingForACommandThatCannotRun) {
  test::TempFolder folder;
  const std::wstring marker = folder / L"ran";
  ASSERT_TRUE(::CopyFileW(test::HelperPath().c_str(), (folder / L"un.exe").c_str(), FALSE));
  ASSERT_TRUE(::SetEnvironmentVariableW(L"QUOR_UN_DIR", folder.Path().c_str()));
  const std::wstring commands[] = {
      L"\"C:\\nowhere\\no-such-uninstaller.exe\" /S",
      L"%QUOR_UN_DIR%\\un.exe --marker \"" + marker + L"\"",
      L"",
  };
  for (const bool noJob : {false, true}) {
    for (const auto& command : commands) {
      TwaitProcessTree waiter;
      waiter.SimulateNoJob = noJob;
      waiter.Run(command);
      EXPECT_EQ(waiter.CommandLine(), command);
    }
  }
  ::SetEnvironmentVariableW(L"QUOR_UN_DIR", nullptr);
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
  waiter.Run(command);
  EXPECT_EQ(test::ReadFileBytes(argsFile), ToUtf8(command));
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
