// quor: the command-line companion of Quor Uninstaller.

#include <windows.h>

#include <exception>
#include <stdexcept>

#include "app/FileVersion.h"
#include "base/Text.h"

#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "engine/LeftoverRules.h"
#include "inventory/EnvironmentStrings.h"

namespace quor::cli {

namespace {

const wchar_t kUsage[] =
      L"usage: quor <command> [options]\n"
      L"\n"
      L"commands:\n"
      L"  list [--json]                     list the installed programs\n"
      L"  size <selector>                   compute and print a program's size\n"
      L"  uninstall <selector> [--json]     run a program's uninstaller, wait for it to end,\n"
      L"                                    and say whether its registration is gone\n"
      L"  uninstall <selector> --remove [--yes] [--all] [--no-backup]\n"
      L"                                    then, when the registration is gone, scan for\n"
      L"                                    leftovers and remove them (asks first)\n"
      L"  modify <selector>                 run a program's modify command and wait for it\n"
      L"  scan <selector> [--json]          list what the program left behind\n"
      L"  remove <selector> [--yes] [--all] [--keep PATH]... [--no-backup]\n"
      L"                                    scan, then remove what was found, except the\n"
      L"                                    kept paths and what lies below them (asks first);\n"
      L"                                    a kept path must name a listed item or lie below one\n"
      L"\n"
      L"  Weak items (found by a partial match, marked \"weak\" by scan) are kept by\n"
      L"  remove and uninstall --remove unless --all is given. Every item that stays\n"
      L"  is printed with its reason; the exit status is then 1.\n"
      L"  delete-entry <selector> [--yes]   delete the program's registration (asks first)\n"
      L"\n"
      L"  Before remove and uninstall --remove delete anything, they move it into a\n"
      L"  backup set (turned off by --no-backup or by Enabled=0 in section [Backup]\n"
      L"  of Config.ini); an item whose backup cannot be written is not deleted.\n"
      L"  backups [--json]                  list the backup sets\n"
      L"  backups --purge [--older-than DAYS]\n"
      L"                                    delete backup sets (all, or those older)\n"
      L"  restore <id> [--yes] [--overwrite] [--again]\n"
      L"                                    put a backup set back (asks first); what\n"
      L"                                    exists now stays unless --overwrite; a set\n"
      L"                                    restored before is refused (exit 1) unless\n"
      L"                                    --again, and a set that is not this program's\n"
      L"                                    or was changed is never restored\n"
      L"\n"
      L"selector:\n"
      L"  --key \"ROOT\\path\"                 the registration key, as list prints it\n"
      L"  --name \"Display Name\"             the exact display name (ignoring case)\n"
      L"\n"
      L"exit status: 0 done, 1 failed, 2 usage error, 3 no program matches,\n"
      L"             4 several programs (or backups) match (listed on stderr)\n"
      L"\n"
      L"  quor --help, quor <command> --help   print this text\n"
      L"  quor --version                       print the version\n";

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

}  // namespace

void PrintUsage() { WriteErr(kUsage); }

namespace {

int Dispatch(const Args& all) {
  if (all.empty()) {
    PrintUsage();
    return kExitUsage;
  }
  if (AsksForHelp(all)) {
    WriteOut(kUsage);
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
  PrintUsage();
  return kExitUsage;
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
