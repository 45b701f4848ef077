// quor: the command-line companion of Quor Uninstaller.

#include <windows.h>

#include <exception>
#include <stdexcept>

#include "app/FileVersion.h"
#include "base/Text.h"
#include "cli/CliHelp.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "engine/LeftoverRules.h"
#include "inventory/EnvironmentStrings.h"

namespace quor::cli {

namespace {

// Options whose next argument is their value, which may be any text.
bool TakesValue(const std::wstring& option) {
  return option == L"--name" || option == L"--key" || option == L"--keep" ||
         option == L"--older-than";
}

// "--help" alone or after the command, not as the value of an option.
bool AsksForHelp(const Args& all) {
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i] == L"--help" || (i == 0 && (all[i] == L"-h" || all[i] == L"/?"))) return true;
    if (TakesValue(all[i])) ++i;
  }
  return false;
}

int Dispatch(const Args& all) {
  if (all.empty()) return UsageError(L"", L"no command given");
  if (AsksForHelp(all)) {
    const std::wstring one = CommandHelp(all.front());
    WriteOut(one.empty() ? FullHelp() : one);
    return kExitOk;
  }
  if (all.size() == 1 && all.front() == L"--version") {
    const TFileVersion v = OwnFileVersion();
    WriteOut(L"quor " + std::to_wstring(v.Major) + L"." + std::to_wstring(v.Minor) + L"." +
             std::to_wstring(v.Release) + L"." + std::to_wstring(v.Build) + L"\n");
    return kExitOk;
  }
  ApplyStartupRetention();
  const std::wstring& command = all.front();
  const Args rest(all.begin() + 1, all.end());
  if (command == L"list") return RunList(rest);
  if (command == L"size") return RunSize(rest);
  if (command == L"uninstall") return RunUninstall(rest);
  if (command == L"modify") return RunModify(rest);
  if (command == L"scan") return RunScan(rest);
  if (command == L"remove") return RunRemove(rest);
  if (command == L"delete-entry") return RunDeleteEntry(rest);
  if (command == L"backups") return RunBackups(rest);
  if (command == L"restore") return RunRestore(rest);
  if (command.starts_with(L"-")) return UsageError(L"", OptionError(command));
  return UsageError(L"", L"unknown command " + Quoted(command));
}

// The plain table shows only the registrations' own values: it needs neither
// the environment table (some sixty shell-folder look-ups, a good part of so
// short a run) nor the scan rules built from it.
bool NeedsEnvironment(const Args& all) {
  return !(all.size() == 1 && (all.front() == L"list" || all.front() == L"--version")) &&
         !AsksForHelp(all);
}

}  // namespace
}  // namespace quor::cli

int wmain(int argc, wchar_t** argv) {
  try {
    quor::cli::Args args(argv + 1, argv + argc);
    if (quor::cli::NeedsEnvironment(args)) {
      quor::InitEnvironmentStrings();
      quor::LoadRuleLists();
    }
    const int rc = quor::cli::Dispatch(args);
    quor::FreeRuleLists();
    quor::DoneEnvironmentStrings();
    return rc;
  } catch (const std::runtime_error& e) {
    quor::cli::WriteErr(L"quor: " + quor::FromUtf8(e.what()) + L"\n");
    return quor::cli::kExitFailure;
  } catch (const std::exception&) {
    quor::cli::WriteErr(L"quor: internal error\n");
    return quor::cli::kExitFailure;
  }
}
