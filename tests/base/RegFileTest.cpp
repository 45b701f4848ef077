#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RegFile.h"
#include "base/RegValueCases.h"
#include "base/Text.h"

namespace quor {
namespace {

using test::ValueCases;

TEST(RegFile, EveryValueReadsBackWithItsTypeAndBytes) {
  std::vector<TRegFileKey> keys(2);
  keys[0].Path = L"HKEY_CURRENT_USER\\Software\\Quor \u00c4pp";
  for (const auto& c : ValueCases()) {
    keys[0].Values.push_back({c.Name, c.Type, c.Data, false});
  }
  keys[1].Path = L"HKEY_CURRENT_USER\\Software\\Quor \u00c4pp\\empty sub";
  const std::string bytes = RegFileBytes(keys);
  ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const TRegFileParse parsed = ParseRegFile(bytes);
  ASSERT_TRUE(parsed.Error.empty()) << ToUtf8(parsed.Error) << " line " << parsed.ErrorLine;
  ASSERT_EQ(parsed.Keys.size(), 2u);
  EXPECT_EQ(parsed.Keys[0].Path, keys[0].Path);
  EXPECT_EQ(parsed.Keys[1].Path, keys[1].Path);
  EXPECT_TRUE(parsed.Keys[1].Values.empty());
  ASSERT_EQ(parsed.Keys[0].Values.size(), keys[0].Values.size());
  for (size_t i = 0; i < keys[0].Values.size(); ++i) {
    SCOPED_TRACE(ToUtf8(keys[0].Values[i].Name));
    EXPECT_EQ(parsed.Keys[0].Values[i].Name, keys[0].Values[i].Name);
    EXPECT_EQ(parsed.Keys[0].Values[i].Type, keys[0].Values[i].Type);
    EXPECT_EQ(parsed.Keys[0].Values[i].Data, keys[0].Values[i].Data);
  }
  // The registry editor's forms: text only for whole strings, continued hex lines.
  const std::wstring text = RegFileText(keys);
  EXPECT_NE(text.find(L"\"plain\"=\"C:\\\\Program Files\\\\App \\\"quoted\\\"\"\r\n"),
            std::wstring::npos);
  EXPECT_NE(text.find(L"\"no terminator\"=hex(1):61,00,62,00,63,00\r\n"), std::wstring::npos);
  EXPECT_NE(text.find(L"\"dword\"=dword:12345678\r\n"), std::wstring::npos);
  EXPECT_NE(text.find(L"\"short dword\"=hex(4):01,02,03\r\n"), std::wstring::npos);
  EXPECT_NE(text.find(L"\"none\"=hex(0):\r\n"), std::wstring::npos);
  EXPECT_NE(text.find(L",\\\r\n  "), std::wstring::npos);
  for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos;
       start = end + 2) {
    EXPECT_LE(end - start, 80u) << ToUtf8(text.substr(start, end - start));
  }
}

TEST(RegFile, BrokenFilesSayWhereTheyStop) {
  struct Row {
    const char* Name;
    std::wstring Text;
    size_t Line;
  };
  const std::wstring header = L"Windows Registry Editor Version 5.00\r\n\r\n";
  const Row rows[] = {
      {"no header", L"[HKEY_CURRENT_USER\\x]\r\n", 1},
      {"value before key", header + L"\"a\"=\"b\"\r\n", 3},
      {"unclosed string", header + L"[HKEY_CURRENT_USER\\x]\r\n\"a\"=\"b\r\n", 4},
      {"bad hex byte", header + L"[HKEY_CURRENT_USER\\x]\r\n\"a\"=hex:0g\r\n", 4},
      {"continued past the end", header + L"[HKEY_CURRENT_USER\\x]\r\n\"a\"=hex:01,\\\r\n", 4},
      {"long dword", header + L"[HKEY_CURRENT_USER\\x]\r\n\"a\"=dword:123456789\r\n", 4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    const TRegFileParse parsed = ParseRegFileText(row.Text);
    EXPECT_FALSE(parsed.Error.empty());
    EXPECT_EQ(parsed.ErrorLine, row.Line);
  }
}

// Limits that end the reading of a hostile file early.
TEST(RegFile, RefusesFilesBeyondItsLimits) {
  const std::wstring header =
      L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\x]\r\n";
  struct Row {
    const char* Name;
    std::wstring Text;
  };
  const Row rows[] = {
      {"too many lines", header + std::wstring(2 * kMaxRegFileLines, L'\n')},
      {"a string longer than any value",
       header + L"\"a\"=\"" + std::wstring(kMaxRegValueBytes / 2, L'x') + L"\"\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    EXPECT_FALSE(ParseRegFileText(row.Text).Error.empty());
  }
}

}  // namespace
}  // namespace quor
