#include "ui/WebAddress.h"

#include <gtest/gtest.h>

namespace quor {
namespace {

TEST(WebAddressTest, SearchTextIsPercentEncodedAsUtf8) {
  const struct {
    const wchar_t* Text;
    const wchar_t* Query;
  } cases[] = {
      {L"Demo", L"Demo"},
      {L"AT&T Tools", L"AT%26T%20Tools"},
      {L"C# Studio", L"C%23%20Studio"},
      {L"Notepad++", L"Notepad%2B%2B"},
      {L"100% sure?", L"100%25%20sure%3F"},
      {L"Wörterbuch", L"W%C3%B6rterbuch"},
      {L"日本", L"%E6%97%A5%E6%9C%AC"},
      {L"a=b/c", L"a%3Db%2Fc"},
      {L"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text: " << c.Text);
    EXPECT_EQ(SearchAddress(c.Text),
              std::wstring(kSearchSite) + L"/search?q=" + c.Query + L"&ie=UTF-8");
  }
}

TEST(WebAddressTest, OnlyWindows8WebAddressesGoToTheBuiltInBrowser) {
  const struct {
    DWORD Major, Minor;
    const wchar_t* Text;
    bool BuiltIn;
  } cases[] = {
      {6, 2, L"https://example.com/help", true},
      {6, 3, L"HTTP://EXAMPLE.COM", true},
      {6, 1, L"https://example.com", false},   // Windows 7
      {10, 0, L"https://example.com", false},  // Windows 10 and 11 with the manifest
      {6, 2, L"mailto:someone@example.com", false},
      {6, 2, L"C:\\Program Files", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Major << "." << c.Minor << " " << c.Text);
    EXPECT_EQ(UseBuiltInBrowser(c.Major, c.Minor, c.Text), c.BuiltIn);
  }
}

}  // namespace
}  // namespace quor
