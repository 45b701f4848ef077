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

// The manifest embedded in an executable, as text.
std::string EmbeddedManifest(const std::wstring& file) {
  HMODULE module = ::LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return {};
  std::string text;
  if (HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    if (HGLOBAL data = ::LoadResource(module, found))
      text.assign(static_cast<const char*>(::LockResource(data)), ::SizeofResource(module, found));
  }
  ::FreeLibrary(module);
  return text;
}

// The window asks for the highest rights its user has; the command line runs
// with the rights of whoever calls it.
TEST(ExecutableResourcesTest, EachExecutableHasItsIconAndAsksForItsExecutionLevel) {
  const std::pair<const wchar_t*, const char*> cases[] = {
      {L"QuorUninstaller.exe", "level=\"highestAvailable\""},
      {L"quor.exe", "level=\"asInvoker\""},
  };
  for (const auto& [name, level] : cases) {
    const std::string manifest = EmbeddedManifest(test::ExeFolder() + L"\\" + name);
    EXPECT_NE(manifest.find(level), std::string::npos) << level << " in\n" << manifest;
    EXPECT_NE(manifest.find("8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"), std::string::npos);
    HMODULE module = ::LoadLibraryExW((test::ExeFolder() + L"\\" + name).c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr)
        << "no program icon in " << ToUtf8(name);
    ::FreeLibrary(module);
  }
}

}  // namespace
}  // namespace quor
