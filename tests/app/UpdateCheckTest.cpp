#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/UpdateCheck.h"
#include "base/Text.h"
#include "support/LoopbackServer.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

using test::TLoopbackServer;

constexpr wchar_t kDownloadPage[] = L"https://vendor.example/download.html";

struct TResult {
  std::wstring TempFile;
  int32_t Build = 0;
  std::wstring ShowUrl;
  std::vector<std::wstring> NewInfo;
  DWORD Thread = 0;
  TUpdateFailure Failure = TUpdateFailure::None;
  DWORD Detail = 0;
};

// Runs one check of a build-42 program against `url` and waits for its result.
std::optional<TResult> Check(const std::wstring& url, DWORD deadlineMs = 20000,
                             std::optional<std::wstring> tempPath = std::nullopt) {
  TUiCalls ui;
  auto check = TCheckUpdate::Create(42, url, ui.Link());
  check->FDefaultShowUrl = kDownloadPage;
  check->FLimits.DeadlineMs = deadlineMs;
  check->FTempPath = std::move(tempPath);
  std::optional<TResult> result;
  check->FOnResult = [&](TCheckUpdate& sender, const std::wstring& file, int32_t build,
                         const std::wstring& showUrl, const std::vector<std::wstring>& newInfo) {
    result = TResult{file,
                     build,
                     showUrl,
                     newInfo,
                     ::GetCurrentThreadId(),
                     sender.FFailure,
                     sender.FFailureDetail};
  };
  check->Start();
  test::PumpUntil([&] { return result.has_value(); }, 60000);
  return result;
}

TEST(UpdateCheck, ReadsTheServedFileOnTheCallersThread) {
  struct TCase {
    const char* Name;
    std::string Body;
    int32_t Build;
    std::wstring ShowUrl;
    TUpdateOutcome Outcome;
    TUpdateFailure Failure = TUpdateFailure::None;
  };
  const TCase cases[] = {
      {"the same build", "[VerInfo]\r\nBuild=42\r\nShowUrl=https://vendor.example/new\r\n", 42,
       L"https://vendor.example/new", TUpdateOutcome::NoUpdate},
      {"a newer build", "[VerInfo]\r\nBuild=43\r\nShowUrl=https://vendor.example/new\r\n", 43,
       L"https://vendor.example/new", TUpdateOutcome::OpenPage},
      {"a newer build without a show address", "[VerInfo]\r\nBuild=43\r\n", 43, kDownloadPage,
       TUpdateOutcome::OpenPage},
      {"an empty show address", "[VerInfo]\r\nBuild=43\r\nShowUrl=\r\n", 43, L"",
       TUpdateOutcome::Nothing},
      {"a show address naming a local program",
       "[VerInfo]\r\nBuild=99\r\nShowUrl=C:\\windows\\system32\\calc.exe\r\n", 99,
       L"C:\\windows\\system32\\calc.exe", TUpdateOutcome::NoUpdate},
      // An answer without a build number is no update file: the check failed.
      {"a build that is no number", "[VerInfo]\r\nBuild=4x3\r\n", 42, kDownloadPage,
       TUpdateOutcome::NoUpdate, TUpdateFailure::BadAnswer},
      {"a page that is no update file", "<html><body>Welcome</body></html>", 42, kDownloadPage,
       TUpdateOutcome::NoUpdate, TUpdateFailure::BadAnswer},
      {"binary garbage cut at its first zero byte",
       std::string("[VerInfo]\r\nBuild=41\r\n\0\r\nBuild=77\xff\xfe", 30), 41, kDownloadPage,
       TUpdateOutcome::NoUpdate},
      // Only the first 64 KiB are read: the key beyond them is never seen.
      {"a huge body", std::string(200 * 1024, ';') + "\r\n[VerInfo]\r\nBuild=50\r\n", 42,
       kDownloadPage, TUpdateOutcome::NoUpdate, TUpdateFailure::BadAnswer},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoopbackServer server(TLoopbackServer::TMode::Answer, c.Body);
    ASSERT_TRUE(server.Listening());
    const auto result = Check(server.Url());
    ASSERT_TRUE(result.has_value()) << "no result";
    EXPECT_EQ(result->Thread, ::GetCurrentThreadId());
    EXPECT_EQ(result->Build, c.Build);
    EXPECT_EQ(result->ShowUrl, c.ShowUrl);
    EXPECT_EQ(DecideUpdate(42, result->Build, result->ShowUrl), c.Outcome);
    EXPECT_EQ(result->Failure, c.Failure);
    EXPECT_EQ(server.Requests(), 1);
    EXPECT_FALSE(result->TempFile.empty());
    // The check deletes its copy once the result has been handled.
    EXPECT_TRUE(test::PumpUntil([&] { return !test::PathExists(result->TempFile); }, 10000))
        << "the temporary copy is left behind";
  }
}

TEST(UpdateCheck, NewInfoListsItsKeyNamesInOrder) {
  TLoopbackServer server(TLoopbackServer::TMode::Answer,
                         "[NewInfo]\r\nFaster scan=1\r\nNew skin=\r\n[VerInfo]\r\nBuild=44\r\n");
  const auto result = Check(server.Url());
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->NewInfo, (std::vector<std::wstring>{L"Faster scan", L"New skin"}));
  EXPECT_EQ(result->Build, 44);
}

// No connection, an error status, and a server that accepts and never
// answers all end in the running build, each with its reason, the last once
// the deadline has passed.
TEST(UpdateCheck, AFailedOrHangingDownloadSaysWhy) {
  const auto refused =
      Check(L"http://127.0.0.1:" + std::to_wstring(TLoopbackServer::ClosedPort()) + L"/x.txt");
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(refused->Build, 42);
  EXPECT_EQ(refused->TempFile, L"");
  EXPECT_EQ(refused->Failure, TUpdateFailure::NoConnection);
  EXPECT_NE(refused->Detail, 0u);

  TLoopbackServer missing(TLoopbackServer::TMode::NotFound, "[VerInfo]\r\nBuild=50\r\n");
  const auto notFound = Check(missing.Url());
  ASSERT_TRUE(notFound.has_value());
  EXPECT_EQ(notFound->Build, 42) << "the body of an error status was read";
  EXPECT_EQ(notFound->Failure, TUpdateFailure::HttpStatus);
  EXPECT_EQ(notFound->Detail, 404u);

  TLoopbackServer silent(TLoopbackServer::TMode::Silent);
  const auto hanging = Check(silent.Url(), 1500);
  ASSERT_TRUE(hanging.has_value()) << "the check never ended";
  EXPECT_EQ(hanging->Build, 42);
  EXPECT_EQ(hanging->Failure, TUpdateFailure::NoAnswer);
  EXPECT_EQ(silent.Requests(), 1);
}

// Redirects are followed up to five times, and only to web addresses.
TEST(UpdateCheck, RedirectsAreLimitedToFiveWebAddresses) {
  struct TCase {
    const char* Name;
    std::wstring Path;
    int32_t Build;
    int Requests;
    TUpdateFailure Failure;
  };
  const TCase cases[] = {
      {"five redirects", L"/hop/5", 43, 6, TUpdateFailure::None},
      {"six redirects", L"/hop/6", 42, 6, TUpdateFailure::Redirects},
      {"a redirect to itself", L"/loop", 42, 6, TUpdateFailure::Redirects},
      {"a redirect to a local file", L"/away", 42, 1, TUpdateFailure::Redirects},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoopbackServer server(TLoopbackServer::TMode::Redirect, "[VerInfo]\r\nBuild=43\r\n");
    ASSERT_TRUE(server.Listening());
    const auto result = Check(server.Url(c.Path));
    ASSERT_TRUE(result.has_value()) << "no result";
    EXPECT_EQ(result->Build, c.Build);
    EXPECT_EQ(result->Failure, c.Failure);
    EXPECT_EQ(server.Requests(), c.Requests);
  }
}

TEST(UpdateCheck, TemporaryFolderRules) {
  test::TempFolder folder;
  const std::wstring withPercent = folder.MakeFolder(L"100%");
  struct TCase {
    const char* Name;
    std::wstring TempPath;
    std::optional<std::wstring> Expected;
  };
  const TCase cases[] = {
      {"a trailing backslash is added", folder.Path(), folder.Path() + L"\\"},
      {"a folder with a percent sign", withPercent + L"\\", std::nullopt},
      {"a variable left unexpanded", L"%QUOR_NO_TEMP%\\", std::nullopt},
      {"a missing folder", folder.Path() + L"\\gone\\", std::nullopt},
      {"a relative path", L"Temp\\", std::nullopt},
      {"a drive root", folder.Path().substr(0, 3), std::nullopt},
      {"a path that climbs to the root", folder.Path() + L"\\..\\..\\..\\..\\..\\", std::nullopt},
      {"a device path", L"\\\\?\\" + folder.Path() + L"\\", std::nullopt},
      {"nothing", L"", std::nullopt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(UpdateTempFolder(c.TempPath), c.Expected);
  }
  // A short name is written out long.
  const std::wstring longName = folder.MakeFolder(L"A rather long folder name");
  wchar_t shortName[MAX_PATH] = {};
  if (::GetShortPathNameW(longName.c_str(), shortName, MAX_PATH) && longName != shortName) {
    EXPECT_EQ(LongPathForm(shortName), longName);
  }
}

// With a temporary folder that names none, the check writes nowhere (not
// into the drive's root) and finds no update.
TEST(UpdateCheck, ATemporaryFolderThatNamesNoneWritesNothing) {
  test::TempFolder folder;
  const std::wstring withPercent = folder.MakeFolder(L"100%");
  TLoopbackServer server(TLoopbackServer::TMode::Answer, "[VerInfo]\r\nBuild=43\r\n");
  for (const std::wstring& temp : {withPercent + L"\\", std::wstring(L"Temp\\")}) {
    SCOPED_TRACE(ToUtf8(temp));
    const auto result = Check(server.Url(), 20000, temp);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->TempFile, L"");
    EXPECT_EQ(result->Build, 42);
    EXPECT_EQ(result->Failure, TUpdateFailure::NoTempFolder);
  }
}

// Hostile show addresses from the update file: only a web address with a
// host and a path without dot segments (plain, encoded or behind
// backslashes) is ever opened.
TEST(UpdateCheck, OnlyWebAddressesAreOpened) {
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"https://vendor.example/download.html", true},
      {L"HTTP://vendor.example/", true},
      {L"http://127.0.0.1:8080/a/b?c=..&d=%2e%2e#..", true},
      {L"http://[::1]:80/x", true},
      {L"http://x/windows/system32/notepad.exe", true},  // a page on host x
      {L"https://", false},
      {L"http:///windows/notepad.exe", false},
      {L"C:\\windows\\notepad.exe", false},
      {L"file:///C:/windows/notepad.exe", false},
      {L"\\\\server\\share\\setup.exe", false},
      {L"https://vendor.example/ \"C:\\x.exe\"", false},
      {L"javascript:alert(1)", false},
      {L"https://vendor.example/\r\nnext", false},
      {L"http://x/../../../../users/quor/Downloads/probe.exe", false},
      {L"http://x/a/../b", false},
      {L"http://x/./b", false},
      {L"http://x/..", false},
      {L"http://x/%2e%2e/%2E%2E/windows/notepad.exe", false},
      {L"http://x/.%2e/windows/notepad.exe", false},
      {L"http://x/%252e%252e/windows/notepad.exe", false},
      {L"http://x\\..\\..\\windows\\notepad.exe", false},
      {L"http://x/a%5c..%5cwindows%5cnotepad.exe", false},
      {L"http://x/a%2f..%2fb", false},
      {L"http://user@x/", false},
      {L"http://x:99999/", false},
      {L"http://x:/", false},
      {L"http://-x/", false},
      {L"http://x/caf\u00e9", false},
  };
  for (const auto& [text, web] : cases) EXPECT_EQ(IsWebAddress(text), web) << ToUtf8(text);
  EXPECT_EQ(ParseWebAddress(L"HTTPS://Vendor.Example"), L"https://vendor.example/");
  EXPECT_EQ(ParseWebAddress(L"http://Vendor.Example:81/Path?Q=A"),
            L"http://vendor.example:81/Path?Q=A");
}

}  // namespace
}  // namespace quor
