// quor size | uninstall | modify <selector>

#include "base/Text.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "cli/LeftoverFlow.h"
#include "cli/Prepare.h"
#include "cli/ProgramJson.h"
#include "engine/LeftoverScan.h"
#include "engine/UninstallHelper.h"
#include "inventory/ProgramSize.h"

namespace quor::cli {

int RunSize(const Args& args) {
  auto p = Prepare(L"size", args, {});
  if (!p->Program) return p->ExitCode;
  const int64_t stated = p->Program->Size.load();
  const int64_t kib = stated > 0 ? stated : CalcSize(*p->Program);
  WriteOut((kib > 0 ? FormatSize(kib * 1024) : std::wstring(L"-")) + L" (" + std::to_wstring(kib) +
           L" KiB)\n");
  return kExitOk;
}

// As the main window does it: run the uninstaller and wait for its whole
// process tree; when the registration is gone, scan and remove (--remove).
int RunUninstall(const Args& args) {
  auto p =
      Prepare(L"uninstall", args, {L"--json", L"--remove", L"--yes", L"--all", L"--no-backup"});
  if (!p->Program) return p->ExitCode;
  const bool json = p->Flags.count(L"--json") > 0;
  TUninstallHelper engine;
  engine.Backup = BackupOptions(p->Flags.count(L"--no-backup") > 0);
  // The uninstaller's own console output would land in front of the JSON.
  engine.QuietChildren = json;
  engine.Uninstall(p->Program, false);
  const std::wstring commandError = engine.CommandError();
  if (!commandError.empty()) {
    WriteErr(L"quor: " + EscapeForTerminal(p->Program->DisplayName) +
             L": the uninstall command was not run: " + EscapeForTerminal(commandError) + L"\n");
  }
  const bool removed = !KeyExists(p->Program->RootKey, p->Program->KeyPath);
  const std::wstring name = EscapeForTerminal(p->Program->DisplayName);
  if (commandError.empty() && !removed) {
    WriteErr(L"quor: " + name +
             L": the registration is still present after the uninstaller ended\n");
  }

  TLeftoverOutcome outcome;
  if (removed && p->Flags.count(L"--remove")) {
    const TLeftoverOptions options{p->Flags.count(L"--yes") > 0, p->Flags.count(L"--all") > 0, {}};
    outcome = ScanAndRemove(engine, p->Program, options, !json);
  }
  if (json) {
    nlohmann::ordered_json j;
    j["program"] = ProgramToJson(*p->Program);
    j["registrationRemoved"] = removed;
    // Why the uninstall failed, if it did: its command was not run, or the
    // program is still registered after it ended.
    j["result"] = !commandError.empty() ? "commandNotRun" : removed ? "removed" : "stillRegistered";
    if (!commandError.empty()) j["commandError"] = ToUtf8(commandError);
    if (p->Flags.count(L"--remove")) {
      j["leftovers"] = LeftoversToJson(*p->Program);
      j["leftoversRemoved"] = outcome.Removed;
      j["failed"] = FailedToJson(*p->Program);
    }
    WriteOutUtf8(j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
  } else {
    WriteOut(name + (removed ? L": the registration is gone.\n"
                             : L": the registration is still present.\n"));
  }
  return !commandError.empty() || !removed || outcome.Declined || outcome.Failed > 0 ||
                 outcome.Kept > 0
             ? kExitFailure
             : kExitOk;
}

int RunModify(const Args& args) {
  auto p = Prepare(L"modify", args, {});
  if (!p->Program) return p->ExitCode;
  if (Trim(p->Program->ModifyPath).empty()) {
    WriteErr(L"quor: " + EscapeForTerminal(p->Program->DisplayName) + L" has no modify command\n");
    return kExitFailure;
  }
  TUninstallHelper engine;
  engine.Modify(p->Program);
  if (const std::wstring error = engine.CommandError(); !error.empty()) {
    WriteErr(L"quor: " + EscapeForTerminal(p->Program->DisplayName) +
             L": the modify command was not run: " + EscapeForTerminal(error) + L"\n");
    return kExitFailure;
  }
  WriteOut(EscapeForTerminal(p->Program->DisplayName) + L": the modify command has ended.\n");
  return kExitOk;
}

}  // namespace quor::cli
