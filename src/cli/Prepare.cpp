#include "cli/Prepare.h"

#include <windows.h>

#include "base/Text.h"
#include "cli/CliHelp.h"
#include "cli/CliOutput.h"
#include "cli/Selector.h"
#include "inventory/EnumPrograms.h"

namespace quor::cli {

namespace {

// What is wrong with the command's own options, or empty when nothing is.
std::wstring CheckOptions(const Args& args, std::initializer_list<const wchar_t*> flags,
                          bool allowKeep, TPrepared& prepared) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    bool known = false;
    for (const wchar_t* f : flags) known |= a == f;
    if (known) {
      prepared.Flags.insert(a);
    } else if (allowKeep && a == L"--keep") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return L"--keep needs a path";
      prepared.Keep.push_back(args[++i]);
    } else {
      return OptionError(a);
    }
  }
  return {};
}

}  // namespace

std::unique_ptr<TPrepared> Prepare(std::wstring_view command, Args args,
                                   std::initializer_list<const wchar_t*> flags, bool allowKeep) {
  auto prepared = std::make_unique<TPrepared>();
  std::wstring error;
  const auto selector = ParseSelector(args, error);
  if (selector) error = CheckOptions(args, flags, allowKeep, *prepared);
  if (!error.empty()) {
    prepared->ExitCode = UsageError(command, error);
    return prepared;
  }
  EnumPrograms(prepared->List);
  auto selection = Select(prepared->List, *selector);
  prepared->Program = selection.Program;
  prepared->ExitCode = selection.ExitCode;
  return prepared;
}

bool Confirm(const std::wstring& question) {
  WriteOut(question + L" [y/N] ");
  HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  if (in == nullptr || in == INVALID_HANDLE_VALUE) return false;
  std::wstring answer;
  DWORD mode = 0;
  if (::GetConsoleMode(in, &mode)) {
    wchar_t buf[64] = {};
    DWORD read = 0;
    if (!::ReadConsoleW(in, buf, 63, &read, nullptr)) return false;
    answer.assign(buf, read);
  } else {
    char c = 0;
    DWORD read = 0;
    std::string line;
    while (::ReadFile(in, &c, 1, &read, nullptr) && read == 1 && c != '\n') line += c;
    answer = FromUtf8(line);
  }
  answer = LowerAscii(Trim(answer));
  return answer == L"y" || answer == L"yes";
}

}  // namespace quor::cli
