// Paths shortened in their middle, measured here one unit per character.
#include <gtest/gtest.h>

#include <string>

#include "base/PathEllipsis.h"

namespace quor {
namespace {

int Characters(std::wstring_view text) { return int(text.size()); }

std::string Ascii(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c == kEllipsis[0] ? '~' : c < 128 ? char(c) : '?';
  return out;
}

TEST(PathEllipsis, TheRootEndsAfterTheDriveShareOrFirstName) {
  const struct {
    const wchar_t* Path;
    size_t Root;
  } cases[] = {
      {L"C:\\Program Files\\x", 3},
      {L"c:\\", 3},
      {L"\\\\server\\share\\dir\\f", 15},
      {L"\\\\server\\share", 0},
      {L"\\\\?\\C:\\dir", 7},
      {L"\\\\?\\UNC\\srv\\sh\\dir", 15},
      {L"HKEY_CURRENT_USER\\Software", 18},
      {L"C:relative\\x", 11},
      {L"name", 0},
      {L"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Ascii(c.Path));
    EXPECT_EQ(PathRootLength(c.Path), c.Root);
  }
}

TEST(PathEllipsis, FoldersLeaveTheMiddleFirstAndTheRootAndNameStay) {
  const std::wstring e = kEllipsis;
  const struct {
    const char* What;
    const wchar_t* Path;
    int Width;
    std::wstring Shown;
  } cases[] = {
      {"fits whole", L"C:\\a\\b.txt", 10, L"C:\\a\\b.txt"},
      {"folders near the name kept first", L"C:\\Program Files\\Contoso\\Notes\\notes.exe", 30,
       L"C:\\" + e + L"\\Contoso\\Notes\\notes.exe"},
      {"then those after the root", L"C:\\a\\bbbbbbbbbbbb\\Notes\\notes.exe", 23,
       L"C:\\a\\" + e + L"\\Notes\\notes.exe"},
      {"only the root and the name", L"C:\\Program Files\\Contoso\\Notes\\notes.exe", 14,
       L"C:\\" + e + L"\\notes.exe"},
      {"a folder keeps its backslash", L"C:\\users\\demo\\AppData\\Roaming\\Contoso Notes\\", 30,
       L"C:\\" + e + L"\\Roaming\\Contoso Notes\\"},
      {"a registry value",
       L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Helper", 45,
       L"HKEY_CURRENT_USER\\" + e + L"\\CurrentVersion\\Run\\Helper"},
      {"a share", L"\\\\server\\share\\a\\b\\c\\file.txt", 26,
       L"\\\\server\\share\\" + e + L"\\file.txt"},
      {"a name too long: its end", L"C:\\dir\\a very long file name.txt", 15,
       L"C:\\" + e + L"le name.txt"},
      {"not even the root: the start", L"C:\\dir\\file.txt", 3, L"C:" + e},
      {"no room at all", L"C:\\dir\\file.txt", 0, L""},
      {"no backslash: the start", L"averylongname", 5, L"aver" + e},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    const std::wstring shown = ShortenPathMiddle(c.Path, c.Width, Characters);
    EXPECT_EQ(Ascii(shown), Ascii(c.Shown));
    EXPECT_LE(Characters(shown), c.Width);
  }
}

// A character outside the basic plane is two code units: never cut in half.
TEST(PathEllipsis, ACutNeverSplitsACharacter) {
  const std::wstring smile{wchar_t(0xD83D), wchar_t(0xDE00)};  // U+1F600 in UTF-16
  const std::wstring name = L"C:\\z" + smile + L"abcdefgh";
  EXPECT_EQ(ShortenPathMiddle(name, 13, Characters),
            L"C:\\" + std::wstring(kEllipsis) + L"abcdefgh");
  EXPECT_EQ(ShortenPathMiddle(smile + L"abcdef", 2, Characters), std::wstring(kEllipsis));
}

}  // namespace
}  // namespace quor
