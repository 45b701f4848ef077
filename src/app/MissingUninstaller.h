#pragma once
// Whether a program cannot be uninstalled normally because its uninstaller
// is missing: no uninstall command is registered, or the program that the
// command names does not exist. Other reasons a command is refused (it is
// ambiguous, or unsafe) are not "missing".

#include <optional>
#include <string>

#include "base/CommandLine.h"

namespace quor {

struct TMissingUninstaller {
  bool NoCommand = false;  // no UninstallString, or only blanks
  std::wstring Program;    // the named uninstaller that does not exist
};

std::optional<TMissingUninstaller> FindMissingUninstaller(const std::wstring& uninstallString,
                                                          const TCommandContext& context);

}  // namespace quor
