#include "cli/CliHelp.h"

#include "cli/CliOutput.h"
#include "cli/Commands.h"

namespace quor::cli {
namespace {

struct TCommandHelp {
  const wchar_t* Name;
  bool TakesProgram;  // works on one program chosen by a selector
  const wchar_t* Text;
};

const TCommandHelp kCommands[] = {
    {L"list", false, L"  list [--json]                     list the installed programs\n"},
    {L"size", true, L"  size <selector>                   compute and print a program's size\n"},
    {L"uninstall", true,
     L"  uninstall <selector> [--json]     run a program's uninstaller, wait for it to end,\n"
     L"                                    and say whether its registration is gone; exit\n"
     L"                                    status 1 when the uninstaller could not be run or\n"
     L"                                    the registration is still there\n"
     L"  uninstall <selector> --remove [--yes] [--all] [--no-backup]\n"
     L"                                    then, when the registration is gone, scan for\n"
     L"                                    leftovers and remove them (asks first)\n"},
    {L"modify", true,
     L"  modify <selector>                 run a program's modify command and wait for it\n"},
    {L"scan", true, L"  scan <selector> [--json]          list what the program left behind\n"},
    {L"remove", true,
     L"  remove <selector> [--yes] [--all] [--keep PATH]... [--no-backup]\n"
     L"                                    scan, then remove what was found, except the\n"
     L"                                    kept paths and what lies below them (asks first);\n"
     L"                                    a kept path must name a listed item or lie below one\n"
     L"\n"
     L"  Weak items (found by a partial match, marked \"weak\" by scan) are kept by\n"
     L"  remove and uninstall --remove unless --all is given. Every item that stays\n"
     L"  is printed with its reason; the exit status is then 1.\n"
     L"  Before remove and uninstall --remove delete anything, they move it into a\n"
     L"  backup set, whose name they print (turned off by --no-backup or by Enabled=0\n"
     L"  in section [Backup] of Config.ini); an item whose backup cannot be written\n"
     L"  is not deleted.\n"},
    {L"delete-entry", true,
     L"  delete-entry <selector> [--yes]   delete the program's registration (asks first),\n"
     L"                                    after moving a copy of it into a backup set,\n"
     L"                                    whose name it prints (none when backups are off)\n"},
    {L"backups", false,
     L"  backups [--json]                  list the backup sets\n"
     L"  backups --purge [--older-than DAYS]\n"
     L"                                    delete backup sets (all, or those older)\n"},
    {L"restore", false,
     L"  restore <id> [--yes] [--overwrite] [--again]\n"
     L"                                    put a backup set back (asks first); what\n"
     L"                                    exists now stays unless --overwrite; a set\n"
     L"                                    restored before is refused (exit 1) unless\n"
     L"                                    --again, and a set that is not this program's\n"
     L"                                    or was changed is never restored\n"},
};

const wchar_t kSelector[] =
    L"selector:\n"
    L"  --key \"ROOT\\path\"                 the registration key, as list prints it\n"
    L"  --name \"Display Name\"             the exact display name (ignoring case)\n";

const wchar_t kExitStatus[] =
    L"exit status: 0 done, 1 failed, 2 usage error, 3 no program matches,\n"
    L"             4 several programs (or backups) match (listed on stderr)\n";

const TCommandHelp* Find(std::wstring_view command) {
  for (const auto& c : kCommands) {
    if (command == c.Name) return &c;
  }
  return nullptr;
}

}  // namespace

bool IsCommand(std::wstring_view command) { return Find(command) != nullptr; }

std::wstring FullHelp() {
  std::wstring text = L"usage: quor <command> [options]\n\ncommands:\n";
  for (const auto& c : kCommands) text += c.Text;
  text += L"\n";
  text += kSelector;
  text += L"\n";
  text += kExitStatus;
  text +=
      L"\n"
      L"  quor --help                          print this text\n"
      L"  quor <command> --help                print one command's usage\n"
      L"  quor --version                       print the version\n";
  return text;
}

std::wstring CommandHelp(std::wstring_view command) {
  const TCommandHelp* c = Find(command);
  if (!c) return {};
  std::wstring text = L"usage: quor " + std::wstring(command) + L" [options]\n\n";
  text += c->Text;
  if (c->TakesProgram) text += std::wstring(L"\n") + kSelector;
  text += std::wstring(L"\n") + kExitStatus;
  return text;
}

int UsageError(std::wstring_view command, const std::wstring& what) {
  const std::wstring who = command.empty() ? L"quor" : L"quor " + std::wstring(command);
  const std::wstring help = IsCommand(command) ? who + L" --help" : L"quor --help";
  WriteErr(who + L": " + what + L" (" + help + L" shows the usage)\n");
  return kExitUsage;
}

std::wstring OptionError(std::wstring_view arg) {
  return (arg.starts_with(L"-") ? L"unknown option " : L"unexpected argument ") + Quoted(arg);
}

}  // namespace quor::cli
