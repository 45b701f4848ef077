// quor size | uninstall | modify <selector>

#include "base/Text.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "cli/ProgramJson.h"
#include "cli/Selector.h"
#include "engine/LeftoverScan.h"
#include "engine/Removal.h"
#include "engine/UninstallHelper.h"
#include "inventory/EnumPrograms.h"
#include "inventory/ProgramSize.h"

namespace quor::cli {
namespace {

// Parses the selector and the flags a command accepts, enumerates and picks
// the program. Answers the exit code when it cannot go on.
struct TPrepared {
  TSoftwareList List;
  std::shared_ptr<TUninstallObject> Program;
  bool Json = false;
  int ExitCode = kExitOk;
};

std::unique_ptr<TPrepared> Prepare(Args args, bool allowJson) {
  auto prepared = std::make_unique<TPrepared>();
  auto selector = ParseSelector(args);
  for (const auto& a : args) {
    if (allowJson && a == L"--json") {
      prepared->Json = true;
    } else {
      selector.reset();
    }
  }
  if (!selector) {
    PrintUsage();
    prepared->ExitCode = kExitUsage;
    return prepared;
  }
  EnumPrograms(prepared->List, nullptr);
  auto selection = Select(prepared->List, *selector);
  prepared->Program = selection.Program;
  prepared->ExitCode = selection.ExitCode;
  return prepared;
}

// Runs an uninstall or modify job on this thread and waits for its process tree.
void RunSynchronously(const std::shared_ptr<TUninstallObject>& program, bool modify) {
  TUninstallHelper engine(nullptr);
  if (modify) {
    engine.Modify(program);
  } else {
    engine.Uninstall(program, false);
  }
}

}  // namespace

int RunSize(const Args& args) {
  auto p = Prepare(args, false);
  if (!p->Program) return p->ExitCode;
  const int64_t stated = p->Program->Size.load();
  const int64_t kib = stated > 0 ? stated : CalcSize(*p->Program);
  WriteOut((kib > 0 ? FormatSize(kib * 1024) : std::wstring(L"-")) + L" (" + std::to_wstring(kib) +
           L" KiB)\n");
  return kExitOk;
}

int RunUninstall(const Args& args) {
  auto p = Prepare(args, true);
  if (!p->Program) return p->ExitCode;
  RunSynchronously(p->Program, false);
  const bool removed = !KeyExists(p->Program->RootKey, p->Program->KeyPath);
  if (p->Json) {
    nlohmann::ordered_json j;
    j["program"] = ProgramToJson(*p->Program);
    j["registrationRemoved"] = removed;
    WriteOutUtf8(j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
  } else {
    WriteOut(p->Program->DisplayName +
             (removed ? L": the registration is gone.\n" : L": the registration is still present.\n"));
  }
  return kExitOk;
}

int RunModify(const Args& args) {
  auto p = Prepare(args, false);
  if (!p->Program) return p->ExitCode;
  if (Trim(p->Program->ModifyPath).empty()) {
    WriteErr(L"quor: " + p->Program->DisplayName + L" has no modify command\n");
    return kExitFailure;
  }
  RunSynchronously(p->Program, true);
  WriteOut(p->Program->DisplayName + L": the modify command has ended.\n");
  return kExitOk;
}

}  // namespace quor::cli
