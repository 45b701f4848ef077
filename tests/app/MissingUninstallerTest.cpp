#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "app/MissingUninstaller.h"
#include "base/Text.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

// A missing uninstaller is told with what is missing; a command that runs,
// or is refused for another reason, is not "missing".
TEST(MissingUninstaller, TellsWhatIsMissing) {
  test::TempFolder folder(L"QuorMissing");
  const std::wstring present = folder.MakeFile(L"App\\uninst.exe", "MZ");
  folder.MakeFile(L"App Tool\\un.exe", "MZ");
  folder.MakeFile(L"App.exe", "MZ");
  const std::wstring gone = folder / L"Gone App\\uninst.exe";
  struct TCase {
    const char* Name;
    std::wstring Command;
    std::optional<TMissingUninstaller> Expected;
  };
  const TCase cases[] = {
      {"no command", L"", TMissingUninstaller{.NoCommand = true}},
      {"blanks only", L"  \t", TMissingUninstaller{.NoCommand = true}},
      {"a quoted program that is gone", L"\"" + gone + L"\" /S",
       TMissingUninstaller{.Program = gone}},
      {"an unquoted program with blanks that is gone", gone + L" /S",
       TMissingUninstaller{.Program = gone}},
      {"a bare name the system folder does not hold", L"nosuchtool.exe /x",
       TMissingUninstaller{.Program = L"nosuchtool.exe"}},
      {"a program that exists", L"\"" + present + L"\" /S", std::nullopt},
      {"the Windows Installer", L"MsiExec.exe /X{12345678-1234-1234-1234-123456789ABC}",
       std::nullopt},
      {"a command that could mean two programs", folder / L"App Tool\\un.exe", std::nullopt},
      {"a variable that is not set", L"%QUOR_UNSET_FOLDER%\\un.exe", std::nullopt},
  };
  const TCommandContext context = TCommandContext::ForSystem();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto found = FindMissingUninstaller(c.Command, context);
    ASSERT_EQ(found.has_value(), c.Expected.has_value());
    if (!found) continue;
    EXPECT_EQ(found->NoCommand, c.Expected->NoCommand);
    EXPECT_EQ(found->Program, c.Expected->Program);
  }
}

}  // namespace
}  // namespace quor
