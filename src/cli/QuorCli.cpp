// quor: the command-line companion of Quor Uninstaller.

#include <windows.h>

#include <exception>

#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "inventory/EnvironmentStrings.h"

namespace quor::cli {

void PrintUsage() {
  WriteErr(
      L"usage: quor <command> [options]\n"
      L"\n"
      L"commands:\n"
      L"  list [--json]                     list the installed programs\n");
}

namespace {

int Dispatch(const Args& all) {
  if (all.empty()) {
    PrintUsage();
    return kExitUsage;
  }
  const std::wstring& command = all.front();
  const Args rest(all.begin() + 1, all.end());
  if (command == L"list") return RunList(rest);
  PrintUsage();
  return kExitUsage;
}

}  // namespace
}  // namespace quor::cli

int wmain(int argc, wchar_t** argv) {
  try {
    quor::InitEnvironmentStrings();
    quor::cli::Args args(argv + 1, argv + argc);
    const int rc = quor::cli::Dispatch(args);
    quor::DoneEnvironmentStrings();
    return rc;
  } catch (const std::exception&) {
    quor::cli::WriteErr(L"quor: internal error\n");
    return quor::cli::kExitFailure;
  }
}
