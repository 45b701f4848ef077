#include "app/FileVersion.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/Text.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

struct VersionCase {
  TFileVersion Version;
  const wchar_t* Text;
};

TEST(FileVersionTest, VersionTextJoinsMinorAndRelease) {
  const VersionCase cases[] = {
      {{1, 0, 3, 42}, L"1.03.42"},
      {{2, 1, 10, 7}, L"2.110.7"},
      {{1, 12, 0, 5}, L"1.120.5"},  // a two-digit minor
      {{0, 0, 0, 0}, L"0.00.0"},
      {{3, 0, 0, 1200}, L"3.00.1200"},
      {{65535, 65535, 65535, 65535}, L"65535.6553565535.65535"},
  };
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "expected " << c.Text);
    EXPECT_EQ(VersionText(c.Version), c.Text);
  }
}

// The build writes the project version into every executable's resource.
TEST(ExecutableResourcesTest, ExecutablesCarryTheProjectVersion) {
  const TFileVersion project{QUOR_VERSION_MAJOR, QUOR_VERSION_MINOR, QUOR_VERSION_RELEASE,
                             QUOR_VERSION_BUILD};
  for (const wchar_t* exe : {L"quor.exe", L"quor_test_helper.exe"}) {
    SCOPED_TRACE(testing::Message() << exe);
    const std::optional<TFileVersion> version = ReadFileVersion(test::ExeFolder() + L"\\" + exe);
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(*version, project);
  }
}

TEST(FileVersionTest, FileWithoutVersionResourceHasNone) {
  test::TempFolder folder;
  EXPECT_FALSE(ReadFileVersion(folder / L"missing.exe").has_value());
  EXPECT_FALSE(ReadFileVersion(folder.MakeFile(L"plain.exe", "MZ")).has_value());
  // this test program is built without the product's resources
  EXPECT_EQ(OwnFileVersion(), TFileVersion{});
}

// Without the manifest's compatibility entries Windows 10 and 11 tell a
// program it runs on 6.2. The prefix is told to be Windows 10 for the helper.
TEST(ExecutableResourcesTest, ManifestLetsTheProgramSeeWindows10) {
  const std::wstring key = L"Software\\Wine\\AppDefaults\\quor_test_helper.exe";
  HKEY h = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h,
                              nullptr),
            ERROR_SUCCESS);
  const wchar_t version[] = L"win10";
  ::RegSetValueExW(h, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), sizeof version);
  ::RegCloseKey(h);
  const test::ProcessResult run =
      test::RunProcess(L"\"" + test::ExeFolder() + L"\\quor_test_helper.exe\" --windows-version");
  ::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
  ASSERT_TRUE(run.Started);
  EXPECT_EQ(run.Out, "10.0");
}

}  // namespace
}  // namespace quor
