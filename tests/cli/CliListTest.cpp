#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "QuorCommand.h"
#include "app/FileVersion.h"
#include "base/Text.h"
#include "support/ChildProcess.h"
#include "support/TempRegistration.h"
#include "support/TestNames.h"

namespace quor {
namespace {

using test::RunProcess;

using test::Quor;

TEST(CliList, JsonHasEveryRecordWithExactlyTheContractKeys) {
  test::TempRegistration reg(test::TLocation::MachineWow);
  const std::wstring name = L"Quor \u00DCml\u00E4ut \u4E2D\u6587 \"quoted\"";
  reg.SetString(L"DisplayName", name);
  reg.SetString(L"InstallDate", L"20211231");
  reg.SetDWord(L"EstimatedSize", 77);

  const auto result = RunProcess(Quor(L"list --json"));
  ASSERT_TRUE(result.Started);
  ASSERT_EQ(result.ExitCode, 0u) << result.Err;
  const auto json = nlohmann::ordered_json::parse(result.Out);
  ASSERT_TRUE(json.is_array());
  const std::vector<std::string> keys = {
      "index",          "root",        "keyPath",         "displayName", "publisher",
      "displayVersion", "displayIcon", "installLocation", "folderName",  "uninstallString",
      "modifyPath",     "helpLink",    "productGuid",     "sizeKiB",     "installDate"};
  const nlohmann::ordered_json* found = nullptr;
  for (size_t i = 0; i < json.size(); ++i) {
    const auto& p = json[i];
    EXPECT_EQ(p["index"].get<size_t>(), i);
    std::vector<std::string> got;
    for (const auto& [k, v] : p.items()) got.push_back(k);
    EXPECT_EQ(got, keys);
    if (p["keyPath"] == ToUtf8(reg.Path())) found = &p;
  }
  ASSERT_NE(found, nullptr);
  EXPECT_EQ((*found)["displayName"], ToUtf8(name));
  EXPECT_EQ((*found)["root"], "HKEY_LOCAL_MACHINE");
  EXPECT_EQ((*found)["sizeKiB"], 77);
  EXPECT_EQ((*found)["installDate"], "2021-12-31T00:00:00");
}

TEST(CliList, TableNamesTheProgram) {
  test::TempRegistration reg(test::TLocation::UserNative);
  reg.SetString(L"DisplayName", L"Quor Table \u00E9");
  const auto table = RunProcess(Quor(L"list"));
  ASSERT_EQ(table.ExitCode, 0u);
  EXPECT_NE(table.Out.find(ToUtf8(L"Quor Table \u00E9")), std::string::npos);
}

// A usage error is one line on stderr that names what was wrong and where
// the help is, with exit status 2; nothing goes to standard output.
TEST(CliUsage, AUsageErrorIsOneLineNamingTheFault) {
  struct Case {
    const wchar_t* args;
    const char* names;  // what the line must name
    const char* help;   // the help it points to
  } cases[] = {
      {L"", "no command given", "quor --help"},
      {L"frobnicate", "unknown command \"frobnicate\"", "quor --help"},
      {L"--frob", "unknown option \"--frob\"", "quor --help"},
      {L"list --xml", "quor list: unknown option \"--xml\"", "quor list --help"},
      {L"size", "quor size: no program given", "quor size --help"},
      {L"size --name", "--name needs the display name", "quor size --help"},
      {L"size --name a --key b", "more than one program given", "quor size --help"},
      {L"uninstall --name a --verbose", "unknown option \"--verbose\"", "quor uninstall --help"},
      {L"remove --name a extra", "unexpected argument \"extra\"", "quor remove --help"},
      {L"remove --name a --keep", "--keep needs a path", "quor remove --help"},
      {L"backups --purge --older-than x1", "whole number of days, not \"x1\"",
       "quor backups --help"},
      {L"restore", "no backup given", "quor restore --help"},
      {L"restore a b", "more than one backup given", "quor restore --help"},
      {L"list \"--x\x1b[2J\"", "unknown option \"--x\\x1b[2J\"", "quor list --help"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.args));
    const auto bad = RunProcess(Quor(c.args));
    EXPECT_EQ(bad.ExitCode, 2u);
    EXPECT_EQ(bad.Out, "");
    EXPECT_NE(bad.Err.find(c.names), std::string::npos) << bad.Err;
    EXPECT_NE(bad.Err.find(c.help), std::string::npos) << bad.Err;
    EXPECT_EQ(bad.Err.find('\n'), bad.Err.size() - 1) << bad.Err;
  }
}

// "quor <command> --help" prints that command's usage, not every command's.
TEST(CliUsage, CommandHelpIsTheCommandsOwn) {
  const auto all = RunProcess(Quor(L"--help"));
  for (const char* command : {"list", "uninstall", "remove", "delete-entry", "restore"}) {
    SCOPED_TRACE(command);
    const auto help = RunProcess(Quor(FromUtf8(command) + L" --help"));
    EXPECT_EQ(help.ExitCode, 0u);
    EXPECT_NE(help.Out.find(std::string("usage: quor ") + command), std::string::npos) << help.Out;
    EXPECT_NE(help.Out.find(std::string("  ") + command + " "), std::string::npos) << help.Out;
    EXPECT_LT(help.Out.size(), all.Out.size() / 2) << help.Out;
    const bool takesProgram = std::string(command) != "list" && std::string(command) != "restore";
    EXPECT_EQ(help.Out.find("--name \"Display Name\"") != std::string::npos, takesProgram);
  }
  for (const char* command : {"list", "size", "uninstall", "modify", "scan", "remove",
                              "delete-entry", "backups", "restore"}) {
    EXPECT_NE(all.Out.find(std::string("  ") + command + " "), std::string::npos) << command;
  }
}

// Help goes to standard output with success; a usage error stays on
// standard error with exit 2.
TEST(CliUsage, HelpAndVersionPrintToStandardOutput) {
  for (const wchar_t* args :
       {L"--help", L"-h", L"remove --help", L"scan --name x --help", L"restore --help"}) {
    SCOPED_TRACE(ToUtf8(args));
    const auto help = RunProcess(Quor(args));
    EXPECT_EQ(help.ExitCode, 0u);
    EXPECT_NE(help.Out.find("usage: quor"), std::string::npos);
    EXPECT_EQ(help.Err, "");
  }
  // "--help" as the value of --name names a program; none is called so.
  const auto named = RunProcess(Quor(L"scan --name --help"));
  EXPECT_EQ(named.ExitCode, 3u) << named.Out;

  const auto version = ReadFileVersion(test::ExeFolder() + L"\\quor.exe");
  ASSERT_TRUE(version.has_value()) << "quor.exe carries no version resource";
  const auto printed = RunProcess(Quor(L"--version"));
  EXPECT_EQ(printed.ExitCode, 0u);
  EXPECT_EQ(printed.Out,
            "quor " + std::to_string(version->Major) + "." + std::to_string(version->Minor) + "." +
                std::to_string(version->Release) + "." + std::to_string(version->Build) + "\n");
}

// Each cell of a row starts where its heading starts, whatever the widths
// the other registrations in the prefix give the columns.
TEST(CliList, TableRowsLineUpUnderTheHeadings) {
  test::TempRegistration reg(test::TLocation::UserWow);
  const std::wstring name = test::UniqueName(L"QuorRow");
  reg.SetString(L"DisplayName", name);
  reg.SetString(L"DisplayVersion", L"4.5.6", REG_EXPAND_SZ);
  reg.SetString(L"Publisher", L"QuorPub");
  reg.SetDWord(L"EstimatedSize", 77);
  reg.SetString(L"InstallDate", L"20211231");
  const auto table = RunProcess(Quor(L"list"));
  ASSERT_EQ(table.ExitCode, 0u) << table.Err;

  std::string header, row;
  for (size_t at = 0; at < table.Out.size();) {
    const size_t end = table.Out.find('\n', at);
    const std::string line = table.Out.substr(at, end - at);
    if (header.empty()) header = line;
    if (line.rfind(ToUtf8(name) + " ", 0) == 0) row = line;
    at = end == std::string::npos ? end : end + 1;
  }
  ASSERT_FALSE(row.empty()) << table.Out;
  const std::pair<const char*, const char*> cells[] = {{"Version", "4.5.6"},
                                                       {"Publisher", "QuorPub"},
                                                       {"Size KiB", "77"},
                                                       {"Installed", "2021-12-31"},
                                                       {"Key", "HKEY_CURRENT_USER\\"}};
  for (const auto& [heading, cell] : cells) {
    EXPECT_EQ(row.find(std::string("  ") + cell), header.find(std::string("  ") + heading))
        << heading << "\n"
        << header << "\n"
        << row;
  }
  EXPECT_NE(row.find(ToUtf8(reg.Path())), std::string::npos) << row;
}

// Registrations are anyone's data: a name or publisher with terminal
// controls or direction overrides is printed escaped, in the table, in the
// list of several matches and in a command's own messages.
TEST(CliList, HostileNamesArePrintedEscapedEverywhere) {
  const std::wstring name = L"Quor Hostile\x1b[2J\r\u202e" + test::UniqueName(L"");
  const std::string escaped = "Quor Hostile\\x1b[2J\\x0d\\u202e";
  test::TempRegistration one(test::TLocation::UserNative);
  test::TempRegistration two(test::TLocation::UserNative);
  for (auto* reg : {&one, &two}) {
    reg->SetString(L"DisplayName", name);
    reg->SetString(L"Publisher", L"Evil\aCorp");  // BEL
  }
  const auto table = RunProcess(Quor(L"list"));
  const auto several = RunProcess(Quor(L"size --name \"" + name + L"\""));
  const auto modify = RunProcess(Quor(L"modify --key \"HKEY_CURRENT_USER\\" + one.Path() + L"\""));
  EXPECT_EQ(several.ExitCode, 4u);
  EXPECT_EQ(modify.ExitCode, 1u);
  EXPECT_NE(table.Out.find("Evil\\x07Corp"), std::string::npos) << table.Out;
  for (const auto* r : {&table, &several, &modify}) {
    const std::string all = r->Out + r->Err;
    EXPECT_NE(all.find(escaped), std::string::npos) << all;
    for (const std::string& raw :
         {std::string("\x1b"), std::string("\r"), std::string("\x07"), ToUtf8(L"\u202e")}) {
      EXPECT_EQ(all.find(raw), std::string::npos) << all;
    }
  }
}

}  // namespace
}  // namespace quor
