#include "ui/WebAddress.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "base/Text.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

std::wstring DownloadsFolder() {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &path)) && path)
    result = path;
  ::CoTaskMemFree(path);
  return result;
}

std::wstring WithSlashes(std::wstring text) {
  for (wchar_t& c : text)
    if (c == L'\\') c = L'/';
  return text;
}

bool WaitForText(const std::wstring& file, const std::string& text) {
  for (int i = 0; i < 300; ++i) {
    if (test::ReadFileBytes(file).find(text) != std::string::npos) return true;
    ::Sleep(50);
  }
  return false;
}

// Sets the machine's http open command, and puts the old one back.
class THandlerOverride {
 public:
  explicit THandlerOverride(std::wstring command) : FCommand(std::move(command)) {
    wchar_t old[2048] = {};
    DWORD bytes = sizeof old;
    FHadOld = ::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, RRF_RT_REG_SZ, nullptr, old,
                             &bytes) == ERROR_SUCCESS;
    FOld = old;
  }
  ~THandlerOverride() {
    if (FHadOld) Write(FOld);
  }
  bool Set() const { return FHadOld && Write(FCommand); }

 private:
  static bool Write(const std::wstring& value) {
    return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, REG_SZ, value.c_str(),
                             DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  static constexpr const wchar_t* kKey = L"Software\\Classes\\http\\shell\\open\\command";
  std::wstring FCommand, FOld;
  bool FHadOld = false;
};

// A program planted in Downloads, named by a show address through dot
// segments (plain, encoded, behind backslashes) or as a file, never runs;
// a web address that names a local program by its path goes to the scheme's
// registered handler as a web address. Copies of the test helper log each
// start.
TEST(WebAddressTest, AnAddressOpensOnlyAsAWebPage) {
  const std::wstring downloads = DownloadsFolder();
  ASSERT_FALSE(downloads.empty());
  test::TempFolder folder(test::TempFolder::At{downloads, L"quor-probe"});
  const std::wstring helper = test::ExeFolder() + L"\\quor_test_helper.exe";
  const std::wstring probe = folder / L"probe.exe";
  const std::wstring browser = folder / L"browser.exe";
  ASSERT_TRUE(::CopyFileW(helper.c_str(), probe.c_str(), FALSE));
  ASSERT_TRUE(::CopyFileW(helper.c_str(), browser.c_str(), FALSE));
  const std::wstring log = folder / L"ran.log";
  ::SetEnvironmentVariableW(L"QUOR_TEST_RAN_LOG", log.c_str());
  // The machine's http handler, taken over for the test and put back after.
  // (Wine's class root is the machine's alone; a user's own handler or
  // choice would come first on Windows.)
  THandlerOverride handler(L"\"" + browser + L"\" \"%1\"");
  ASSERT_TRUE(handler.Set());

  const std::wstring relative = probe.substr(3);  // below the drive's root
  const std::wstring hostile[] = {
      L"http://x/../../../../../../" + WithSlashes(relative),
      L"http://x/%2e%2e/%2E%2E/.%2e/%2e./%2e%2e/%2e%2e/" + WithSlashes(relative),
      L"http://x\\..\\..\\..\\..\\..\\..\\" + relative,
      L"file:///" + WithSlashes(probe),
      probe,
  };
  for (const std::wstring& text : hostile) {
    SCOPED_TRACE(ToUtf8(text));
    EXPECT_FALSE(OpenWebPage(nullptr, text));
    OpenWebAddress(nullptr, text);
  }
  const std::wstring page = L"http://127.0.0.1:9/" + WithSlashes(relative);
  EXPECT_TRUE(OpenWebPage(nullptr, page));
  ASSERT_TRUE(WaitForText(log, ToUtf8(page))) << test::ReadFileBytes(log);
  // The handler was started after every hostile address: anything they had
  // started would have logged by now.
  ::Sleep(500);
  const std::string ran = test::ReadFileBytes(log);
  EXPECT_EQ(ran.find("probe.exe\t"), std::string::npos) << ran;
  ::SetEnvironmentVariableW(L"QUOR_TEST_RAN_LOG", nullptr);
}

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
