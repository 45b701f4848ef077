#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "base/Text.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"
#include "support/TestNames.h"

namespace quor {
namespace {

using test::PathExists;
using test::RunProcess;

std::wstring Quor(const std::wstring& args) {
  return L"\"" + test::ExeFolder() + L"\\quor.exe\" " + args;
}

std::wstring ProgramFiles() {
  wchar_t buf[MAX_PATH] = {};
  ::GetEnvironmentVariableW(L"ProgramFiles", buf, MAX_PATH);
  return buf;
}

// A program with an install folder and a registration.
class CliLeftovers : public ::testing::Test {
 protected:
  void SetUp() override {
    name = test::UniqueName(L"Quor Cli App");
    folder = std::make_unique<test::TempFolder>(test::TempFolder::At{ProgramFiles(), name});
    keep = folder->MakeFile(L"profile\\keep.ini");
    drop = folder->MakeFile(L"bin\\app.exe");
    reg.SetString(L"DisplayName", name);
    reg.SetString(L"InstallLocation", folder->Path());
  }
  std::wstring Key() const { return L"--key \"HKEY_CURRENT_USER\\" + reg.Path() + L"\""; }

  std::wstring name, keep, drop;
  std::unique_ptr<test::TempFolder> folder;
  test::TempRegistration reg{test::TLocation::UserNative};
};

TEST_F(CliLeftovers, ScanJsonListsLeftoversInScanOrder) {
  const auto r = RunProcess(Quor(L"scan --json " + Key()));
  ASSERT_EQ(r.ExitCode, 0u) << r.Err;
  const auto j = nlohmann::ordered_json::parse(r.Out);
  std::vector<std::string> keys;
  for (const auto& [k, v] : j.items()) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"program", "steps", "leftovers"}));
  EXPECT_EQ(j["steps"], 42);
  ASSERT_GE(j["leftovers"].size(), 5u);
  EXPECT_EQ(j["leftovers"][0]["path"], ToUtf8(folder->Path() + L"\\"));
  EXPECT_EQ(j["leftovers"][0]["kind"], "folder");
  bool sawKey = false;
  for (const auto& item : j["leftovers"]) {
    sawKey |= item["kind"] == "regkey" && item["path"] == ToUtf8(L"HKEY_CURRENT_USER\\" + reg.Path());
  }
  EXPECT_TRUE(sawKey);
}

TEST_F(CliLeftovers, RemoveAsksFirstAndSparesKeptPaths) {
  const auto declined = RunProcess(Quor(L"remove " + Key()));  // no input: no
  EXPECT_EQ(declined.ExitCode, 1u);
  EXPECT_TRUE(PathExists(drop));

  const auto r = RunProcess(Quor(L"remove --yes " + Key() + L" --keep \"" + folder->Path() +
                                 L"\\PROFILE\""));
  EXPECT_EQ(r.ExitCode, 0u) << r.Out << r.Err;
  EXPECT_TRUE(PathExists(keep));
  EXPECT_FALSE(PathExists(drop));
  EXPECT_FALSE(test::PathExists(folder->Path() + L"\\bin"));
  EXPECT_EQ(RunProcess(Quor(L"scan " + Key())).ExitCode, 3u);  // its registration went too
}

TEST_F(CliLeftovers, DeleteEntryAsksFirst) {
  EXPECT_EQ(RunProcess(Quor(L"delete-entry " + Key())).ExitCode, 1u);
  EXPECT_EQ(RunProcess(Quor(L"size " + Key())).ExitCode, 0u);
  EXPECT_EQ(RunProcess(Quor(L"delete-entry --yes " + Key())).ExitCode, 0u);
  EXPECT_EQ(RunProcess(Quor(L"size " + Key())).ExitCode, 3u);
  EXPECT_TRUE(PathExists(drop));  // only the registration goes
}

}  // namespace
}  // namespace quor
