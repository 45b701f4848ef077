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

TEST(WaitForProcessTree, ReturnsOnlyAfterARelaunchedCopyAndItsChildrenEnd) {
  test::TempFolder folder;
  const std::wstring marker = folder / L"m";
  TwaitProcessTree waiter;
  // The started program hands over to a copy and exits at once; the copy
  // starts two children that sleep, then write their markers.
  waiter.Run(HelperCommand(L"--relaunch --children 2 --sleep 1500 --marker \"" + marker + L"\""));
  EXPECT_TRUE(PathExists(marker + L".0"));
  EXPECT_TRUE(PathExists(marker + L".1"));
}

TEST(WaitForProcessTree, ReturnsAtOnceForAMissingProgramAndKeepsTheCommand) {
  TwaitProcessTree waiter;
  const std::wstring command = L"\"C:\\nowhere\\no-such-uninstaller.exe\" /S";
  waiter.Run(command);
  EXPECT_EQ(waiter.CommandLine(), command);
  waiter.Run(L"%UNEXPANDED%\\un.exe");
  waiter.Run(L"");
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
