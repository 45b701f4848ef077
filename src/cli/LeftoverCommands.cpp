// quor scan | remove | delete-entry <selector>

#include "base/Text.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "cli/LeftoverFlow.h"
#include "cli/Prepare.h"
#include "cli/ProgramJson.h"
#include "engine/LeftoverScan.h"
#include "engine/UninstallHelper.h"
#include "inventory/Registry.h"

namespace quor::cli {

int RunScan(const Args& args) {
  auto p = Prepare(L"scan", args, {L"--json"});
  if (!p->Program) return p->ExitCode;
  TUninstallHelper engine;
  engine.Uninstall(p->Program, true);
  if (p->Flags.count(L"--json")) {
    nlohmann::ordered_json j;
    j["program"] = ProgramToJson(*p->Program);
    j["steps"] = engine.Progress();
    j["leftovers"] = LeftoversToJson(*p->Program);
    WriteOutUtf8(j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
  } else {
    PrintLeftovers(*p->Program);
  }
  return kExitOk;
}

int RunRemove(const Args& args) {
  auto p = Prepare(L"remove", args, {L"--yes", L"--all", L"--no-backup"}, true);
  if (!p->Program) return p->ExitCode;
  TUninstallHelper engine;
  engine.Backup = BackupOptions(p->Flags.count(L"--no-backup") > 0);
  const TLeftoverOptions options{p->Flags.count(L"--yes") > 0, p->Flags.count(L"--all") > 0,
                                 p->Keep};
  const auto outcome = ScanAndRemove(engine, p->Program, options, true);
  if (outcome.UsageError) return kExitUsage;
  // Anything that stays, by choice or not, is told with exit status 1.
  return outcome.Declined || outcome.Failed > 0 || outcome.Kept > 0 ? kExitFailure : kExitOk;
}

int RunDeleteEntry(const Args& args) {
  auto p = Prepare(L"delete-entry", args, {L"--yes"});
  if (!p->Program) return p->ExitCode;
  const std::wstring key =
      EscapeForTerminal(RootKeyName(p->Program->RootKey) + L"\\" + p->Program->KeyPath);
  if (!p->Flags.count(L"--yes") && !Confirm(L"Delete the registration " + key + L"?")) {
    WriteOut(L"Nothing was deleted.\n");
    return kExitFailure;
  }
  TUninstallHelper engine;
  engine.Backup = BackupOptions(false);
  const TEntryDeletion result = engine.DeleteEntry(*p->Program);
  if (!result.Deleted || KeyExists(p->Program->RootKey, p->Program->KeyPath)) {
    WriteErr(L"quor: could not delete " + key +
             (result.Error.empty() ? L"" : L": " + EscapeForTerminal(result.Error)) + L"\n");
    return kExitFailure;
  }
  WriteOut(L"Deleted " + key + L"\n");
  if (!result.BackupId.empty())
    WriteOut(L"Backup set: " + EscapeForTerminal(result.BackupId) + L"\n");
  return kExitOk;
}

}  // namespace quor::cli
