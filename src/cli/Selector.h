#pragma once
// Chooses one program record by "--key ROOT\path" or "--name DisplayName".

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "inventory/UninstallObject.h"

namespace quor::cli {

struct TSelector {
  std::wstring Key;   // "HKEY_LOCAL_MACHINE\SOFTWARE\...\Uninstall\X"
  std::wstring Name;  // exact display name, ignoring the case of A to Z
};

// Takes the selector options out of `args`; answers nullopt on a usage error
// (no selector, more than one, a missing value), with what was wrong in
// `error`.
std::optional<TSelector> ParseSelector(Args& args, std::wstring& error);

struct TSelection {
  std::shared_ptr<TUninstallObject> Program;  // set when exactly one matches
  int ExitCode = kExitOk;                     // kExitNoMatch or kExitAmbiguous otherwise
};

// Reports a missing or ambiguous match on stderr.
TSelection Select(const TSoftwareList& list, const TSelector& selector);

}  // namespace quor::cli
