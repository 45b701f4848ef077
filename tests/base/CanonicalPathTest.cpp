#include <gtest/gtest.h>

#include "base/CanonicalPath.h"
#include "base/Text.h"

namespace quor {
namespace {

TEST(CanonicalPath, PlainAbsoluteFormsOnlyEverythingElseNamesNothing) {
  const TPathExpander expand = [](const std::wstring& text) {
    std::wstring out = text;
    const size_t at = out.find(L"%APPS%");
    if (at != std::wstring::npos) out.replace(at, 6, L"C:\\Apps");
    return out;
  };
  struct Case {
    std::wstring text;
    const wchar_t* canonical;  // null: names nothing
  } cases[] = {
      {L"C:\\Program Files\\App", L"C:\\Program Files\\App"},
      {L"  c:\\Program Files\\App\\ ", L"C:\\Program Files\\App"},
      {L"\"C:\\Program Files\\App\\\"", L"C:\\Program Files\\App"},
      {L"\"C:\\Program Files\\App\\", L"C:\\Program Files\\App"},  // an uninstall command's folder
      {L"%APPS%\\Tool", L"C:\\Apps\\Tool"},
      {L"C:\\", L"C:\\"},
      {L"\\\\?\\C:\\App", L"C:\\App"},
      {L"\\\\?\\UNC\\server\\share\\App", L"\\\\server\\share\\App"},
      {L"\\\\server\\share\\App\\", L"\\\\server\\share\\App"},
      {L"C:\\Users\\u\\Documents\\x\\..", nullptr},
      {L"C:\\Users\\u\\Documents\\.", nullptr},
      {L"C:\\Users\\u\\Documents.", nullptr},
      {L"C:\\Users\\u\\Documents ", L"C:\\Users\\u\\Documents"},  // trimmed
      {L"C:\\Users\\u\\Documents \\x", nullptr},
      {L"C:/Users/u/Documents", nullptr},
      {L"C:\\Users\\\\u", nullptr},
      {L"C:\\\\Users", nullptr},
      {L"\\\\.\\C:\\Users", nullptr},
      {L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\Users", nullptr},
      {L"\\\\localhost\\C$\\Users", nullptr},
      {L"\\\\127.0.0.1\\share\\Users", nullptr},
      {L"\\\\server\\C$\\Users", nullptr},
      {L"\\\\server", nullptr},
      {L"C:.", nullptr},
      {L"C:..", nullptr},
      {L"C:Users", nullptr},
      {L"C:", nullptr},
      {L"Users\\u", nullptr},
      {L"\\Users\\u", nullptr},
      {L"C:\\Users\\u:stream", nullptr},
      {L"C:\\Use*rs", nullptr},
      {L"%UNKNOWN_QUOR_VARIABLE%\\x", nullptr},
      {std::wstring(L"C:\\Users\\u\0x", 13), nullptr},
      {L"C:\\Users\\u\x1b[2Jx", nullptr},
      {L"", nullptr},
  };
  for (const auto& c : cases) {
    const auto got = CanonicalFolderText(c.text, expand);
    if (c.canonical) {
      ASSERT_TRUE(got.has_value()) << ToUtf8(c.text);
      EXPECT_EQ(*got, c.canonical) << ToUtf8(c.text);
    } else {
      EXPECT_FALSE(got.has_value()) << ToUtf8(c.text) << " -> " << ToUtf8(got.value_or(L""));
    }
  }
}

TEST(CanonicalPath, AtOrBelowFoldsCaseOverUnicodeAndRespectsComponents) {
  struct Case {
    const wchar_t* path;
    const wchar_t* folder;
    bool expected;
  } cases[] = {
      {L"C:\\Users\\u\\Documents", L"C:\\Users\\u", true},
      {L"C:\\USERS\\U", L"c:\\users\\u", true},
      {L"C:\\\u00C4pfel\\x", L"C:\\\u00E4pfel", true},
      {L"C:\\Users\\u2", L"C:\\Users\\u", false},
      {L"C:\\Users", L"C:\\Users\\u", false},
      {L"C:\\anything", L"C:\\", true},
      {L"C:\\x", L"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsAtOrBelow(c.path, c.folder), c.expected)
        << ToUtf8(c.path) << " / " << ToUtf8(c.folder);
  }
  EXPECT_TRUE(IsRootFolder(L"C:\\"));
  EXPECT_TRUE(IsRootFolder(L"\\\\server\\share"));
  EXPECT_FALSE(IsRootFolder(L"\\\\server\\share\\x"));
  EXPECT_FALSE(IsRootFolder(L"C:\\x"));
}

}  // namespace
}  // namespace quor
