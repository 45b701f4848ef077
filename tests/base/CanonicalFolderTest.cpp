// CanonicalFolder on folders that exist: the file system's own spelling.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/CanonicalPath.h"
#include "base/Text.h"

namespace quor {
namespace {

TEST(CanonicalPath, ExistingFoldersGetTheirLongNamesAndFinalPath) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring folder =
      std::wstring(temp) + L"Quor Canonical Long Name " + std::to_wstring(::GetCurrentProcessId());
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  wchar_t shortName[MAX_PATH] = {};
  const DWORD n = ::GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
  const auto full = CanonicalFolder(folder);
  ASSERT_TRUE(full.has_value());
  EXPECT_TRUE(full->Exists);
  EXPECT_FALSE(full->IsLink);
  if (n > 0 && std::wstring(shortName) != folder) {
    const auto viaShort = CanonicalFolder(shortName);
    ASSERT_TRUE(viaShort.has_value()) << ToUtf8(shortName);
    EXPECT_TRUE(SameTextUnicode(viaShort->Path, full->Path))
        << ToUtf8(shortName) << " -> " << ToUtf8(viaShort->Path) << " vs " << ToUtf8(full->Path);
    EXPECT_TRUE(SameTextUnicode(viaShort->Final, full->Final)) << ToUtf8(viaShort->Final);
  }
  const auto missing = CanonicalFolder(folder + L"\\missing");
  ASSERT_TRUE(missing.has_value());
  EXPECT_FALSE(missing->Exists);
  EXPECT_EQ(missing->Final, missing->Path);
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace quor
