// This program's own registration, and its executables deleted once it has
// ended: here the test holds the waiting handle and closes it as the end.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/SelfRemoval.h"
#include "base/Handles.h"
#include "base/Text.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

using test::PathExists;
using test::TempFolder;

TEST(SelfRemoval, TellsItsOwnRegistrationApart) {
  TempFolder own(L"QuorOwn");
  TempFolder other(L"QuorOther");
  struct TCase {
    const char* Name;
    std::wstring InstallLocation, UninstallString;
    bool Own;
  };
  const TCase cases[] = {
      {"the install location", own.Path(), L"", true},
      {"in other letter case, quoted, with a backslash", L"\"" + LowerAscii(own.Path()) + L"\\\"",
       L"", true},
      {"the uninstaller's folder", L"", L"\"" + own.Path() + L"\\uninstall.exe\" /S", true},
      {"another program's folder", other.Path(), L"\"" + other.Path() + L"\\un.exe\"", false},
      {"installed elsewhere, its uninstaller in this folder", other.Path(),
       L"\"" + own.Path() + L"\\un.exe\"", false},
      {"a folder inside its own", own.Path() + L"\\sub", L"", false},
      {"nothing at all", L"", L"", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TUninstallObject program;
    program.InstallLocation = c.InstallLocation;
    program.UninstallString = c.UninstallString;
    EXPECT_EQ(IsOwnRegistration(program, own.Path()), c.Own);
  }
}

TEST(SelfRemoval, ListsTheRunningExecutableAndTheCommandLineTool) {
  TempFolder folder(L"QuorOwn");
  const std::wstring gui = folder.MakeFile(L"QuorUninstaller.exe");
  EXPECT_EQ(OwnExecutables(gui), std::vector<std::wstring>{gui});
  const std::wstring cli = folder.MakeFile(L"quor.exe");
  EXPECT_EQ(OwnExecutables(gui), (std::vector<std::wstring>{gui, cli}));
  EXPECT_EQ(OwnExecutables(cli), std::vector<std::wstring>{cli});
}

// The files go only once the waiting handle is closed, also those in use
// then; the folder goes with them when nothing else is left in it, and a
// file beside them stays. Characters the command interpreter acts on are
// only text in a path.
TEST(SelfRemoval, DeletesTheFilesOnceTheProgramHasEnded) {
  struct TCase {
    const char* Name;
    const wchar_t* Folder;
    bool Canary;
    bool HeldOpen;  // a file still in use for a while after the end
  };
  const TCase cases[] = {
      {"a plain folder", L"Quor Uninstaller", false, false},
      {"a folder with & % ^ ( )", L"Quor & 100% ^x (y)", false, false},
      {"a file beside them", L"Quor Uninstaller", true, false},
      {"a file still in use at the end", L"Quor Uninstaller", false, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TempFolder base(L"QuorSelf");
    const std::wstring folder = base.MakeFolder(c.Folder);
    const std::wstring gui = base.MakeFile(std::wstring(c.Folder) + L"\\QuorUninstaller.exe");
    const std::wstring cli = base.MakeFile(std::wstring(c.Folder) + L"\\quor.exe");
    const std::wstring canary = folder + L"\\settings.ini";
    if (c.Canary) base.MakeFile(std::wstring(c.Folder) + L"\\settings.ini");
    UniqueKernelHandle held;
    if (c.HeldOpen)
      held.Reset(::CreateFileW(cli.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr));

    TScheduledDeletion scheduled = ScheduleDeletionAfterExit({gui, cli}, folder);
    ASSERT_TRUE(scheduled.Scheduled) << ToUtf8(scheduled.Error);
    EXPECT_FALSE(test::PumpUntil([&] { return !PathExists(gui); }, 700))
        << "deleted while the program still runs";
    scheduled.Hold.Reset();
    if (c.HeldOpen) {
      EXPECT_TRUE(test::PumpUntil([&] { return !PathExists(gui); }, 30000));
      EXPECT_TRUE(PathExists(cli)) << "a file in use went";
      held.Reset();
    }
    EXPECT_TRUE(test::PumpUntil([&] { return !PathExists(gui) && !PathExists(cli); }, 30000))
        << "the executables stay";
    if (c.Canary) {
      EXPECT_TRUE(PathExists(canary));
    } else {
      EXPECT_TRUE(test::PumpUntil([&] { return !PathExists(folder); }, 30000))
          << "the folder stays";
    }
  }
}

TEST(SelfRemoval, RefusesAPathTheInterpreterWouldReadAgain) {
  TempFolder base(L"QuorSelf");
  const std::wstring file = base.MakeFile(L"Bang!\\QuorUninstaller.exe");
  const TScheduledDeletion scheduled = ScheduleDeletionAfterExit({file}, base / L"Bang!");
  EXPECT_FALSE(scheduled.Scheduled);
  EXPECT_NE(scheduled.Error.find(L"!"), std::wstring::npos);
  EXPECT_TRUE(PathExists(file));
}

}  // namespace
}  // namespace quor
