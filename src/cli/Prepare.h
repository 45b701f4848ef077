#pragma once
// Common start of every command that works on one program: parse the
// selector and the command's own options, enumerate, pick the program.

#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"
#include "inventory/UninstallObject.h"

namespace quor::cli {

struct TPrepared {
  TSoftwareList List;
  std::shared_ptr<TUninstallObject> Program;  // null when ExitCode says why
  std::set<std::wstring> Flags;               // the flags given, e.g. L"--json"
  std::vector<std::wstring> Keep;             // values of --keep
  int ExitCode = kExitOk;
};

// `flags` are the flags `command` accepts; `allowKeep` allows repeated
// "--keep PATH". Anything else is a usage error, told on one line.
std::unique_ptr<TPrepared> Prepare(std::wstring_view command, Args args,
                                   std::initializer_list<const wchar_t*> flags,
                                   bool allowKeep = false);

// Asks a yes/no question on the console; no answer (no console, end of
// input) is no.
bool Confirm(const std::wstring& question);

}  // namespace quor::cli
