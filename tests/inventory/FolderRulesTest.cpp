#include <gtest/gtest.h>

#include "inventory/EnumPrograms.h"
#include "inventory/EnvironmentStrings.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

TEST(ParseInstallDate, EightDigitsNameADayElseToday) {
  const TDateTime today = TDateTime::Today();
  struct Case {
    std::wstring text;
    TDateTime expected;
  } cases[] = {
      {L"20230415", {2023, 4, 15}},
      {L"  20230415 ", {2023, 4, 15}},
      {L"20240229", {2024, 2, 29}},
      {L"20230229", today},  // no such day
      {L"20231301", today},  // month 13
      {L"2023041", today},   // seven digits
      {L"2023-4-1", today},
      {L"00000101", today},  // year 0
      {L"", today},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInstallDate(c.text), c.expected) << c.text.size();
}

TEST(FolderNames, LastComponentAndGenericNames) {
  struct Case {
    std::wstring folder, name;
  } names[] = {
      {L"C:\\Program Files\\Tool\\", L"Tool"}, {L"C:\\Program Files\\Tool", L"Tool"},
      {L"\\Tool", L""},                        {L"Tool", L""},
      {L"C:\\", L""},                          {L"\"C:\\Apps\\Tool\\", L"Tool"},
  };
  for (const auto& c : names) EXPECT_EQ(GetFolderName(c.folder), c.name) << c.folder.size();

  struct Generic {
    std::wstring name;
    bool generic;
  } generics[] = {
      {L"abc", true},           {L"abcd", false},         {L"", true},
      {L"Program Files", true}, {L"PROGRAM FILES(X86)", true}, {L"program files (x86)", false},
      {L"Users", true},         {L"System32", true},      {L"Tools", true},
      {L"Application", true},   {L"Installer", true},     {L"Toolbox", false},
  };
  for (const auto& c : generics) EXPECT_EQ(IsGenericFolderName(c.name), c.generic) << c.name.size();
}

TEST(UninstallFolder, FolderOfTheCommandUnlessWellKnown) {
  TEnvironmentStrings table{TEnvironmentStrings::EmptyTag{}};
  table.Add(L"SYSTEM", L"C:\\windows\\system32");
  table.Add(L"PROGRAM_FILES", L"C:\\Program Files");
  struct Case {
    std::wstring folder;
    bool notKnown;
  } cases[] = {
      {L"C:\\Program Files\\Tool\\", true},
      {L"C:\\Program Files\\", false},
      {L"c:\\PROGRAM FILES", false},
      {L"C:\\Windows\\System32\\", false},
      {L"C:\\", false},
      // Other spellings of a known folder, and texts that name no folder.
      {L"\"C:\\Windows\\System32\\", false},
      {L"\"C:\\Program Files\\Tool\\\"", true},
      {L"%PROGRAM_FILES%\\", false},
      {L"C:\\Program Files\\Tool\\..", false},
      {L"C:/Program Files/", false},
      {L"C:\\Program Files.\\", false},
      {L"C:Program Files", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsNotKnownFolder(c.folder, &table), c.notKnown) << c.folder.size();
  }
  EXPECT_TRUE(IsNotKnownFolder(L"C:\\Anything", nullptr));
  EXPECT_FALSE(IsNotKnownFolder(L"C:", nullptr));
}

TEST(UninstallFolder, TakesTheCommandsFolderPart) {
  InitEnvironmentStrings();
  const std::wstring system = EnvironmentStrings->Expand(L"%SYSTEM%");
  struct Case {
    std::wstring command, folder;
  } cases[] = {
      {L"", L""},
      {L"C:\\Program Files\\Tool\\unins000.exe /S", L"C:\\Program Files\\Tool\\"},
      {L"\"C:\\Program Files\\Tool\\un.exe\" /x", L"\"C:\\Program Files\\Tool\\"},
      {L"uninstall.exe /quiet", L""},
      {system + L"\\msiexec.exe /x{1}", L""},
      {L"\"" + system + L"\\msiexec.exe\" /x{1}", L""},
      {L"\"C:\\Program Files\\Tool\\un.exe\"", L"\"C:\\Program Files\\Tool\\"},
      {L"run.exe /f:foo", L""},  // names no folder
  };
  for (const auto& c : cases) EXPECT_EQ(GetUninstallFolder(c.command), c.folder) << c.command.size();
  DoneEnvironmentStrings();
}

TEST(FolderDate, FirstEntryDecidesElseToday) {
  const TDateTime today = TDateTime::Today();
  test::TempFolder empty;
  EXPECT_EQ(GetFolderDate(empty.Path()), today);
  EXPECT_EQ(GetFolderDate(empty / L"missing"), today);

  test::TempFolder folder;
  folder.MakeFile(L"a.txt");
  WIN32_FIND_DATAW data{};
  HANDLE find = ::FindFirstFileW((folder / L"a.txt").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  ::FindClose(find);
  // The entry's creation time, with its time of day, not today at 00:00.
  EXPECT_EQ(GetFolderDate(folder.Path() + L"\\"), FileTimeToDate(data.ftCreationTime));
  EXPECT_EQ(GetFolderDate(folder.Path()), FileTimeToDate(data.ftCreationTime));
}

}  // namespace
}  // namespace quor
