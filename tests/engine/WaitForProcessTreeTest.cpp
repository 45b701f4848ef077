#include <gtest/gtest.h>

#include <windows.h>

#include "base/Text.h"
#include "engine/HelperCommand.h"
#include "engine/WaitForProcessTree.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

using test::HelperCommand;
using test::PathExists;

// Through a job object, and through process snapshots when no job can be made.
TEST(WaitForProcessTree, ReturnsOnlyAfterARelaunchedCopyAndItsChildrenEnd) {
  for (const bool noJob : {false, true}) {
    SCOPED_TRACE(noJob ? "without a job" : "with a job");
    test::TempFolder folder;
    const std::wstring marker = folder / L"m";
    TwaitProcessTree waiter;
    waiter.SimulateNoJob = noJob;
    // The started program hands over to a copy and exits at once; the copy
    // starts two children that sleep, then write their markers.
    waiter.Run(HelperCommand(L"--relaunch --children 2 --sleep 1500 --marker \"" + marker + L"\""));
    EXPECT_TRUE(PathExists(marker + L".0"));
    EXPECT_TRUE(PathExists(marker + L".1"));
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

}  // namespace
}  // namespace quor
