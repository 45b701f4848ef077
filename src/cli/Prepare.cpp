#include "cli/Prepare.h"

#include <windows.h>

#include "base/Text.h"
#include "cli/CliOutput.h"
#include "cli/Selector.h"
#include "inventory/EnumPrograms.h"

namespace quor::cli {

std::unique_ptr<TPrepared> Prepare(Args args, std::initializer_list<const wchar_t*> flags,
                                   bool allowKeep) {
  auto prepared = std::make_unique<TPrepared>();
  auto selector = ParseSelector(args);
  for (size_t i = 0; selector && i < args.size(); ++i) {
    const std::wstring& a = args[i];
    bool known = false;
    for (const wchar_t* f : flags) known |= a == f;
    if (known) {
      prepared->Flags.insert(a);
    } else if (allowKeep && a == L"--keep" && i + 1 < args.size() && !args[i + 1].empty()) {
      prepared->Keep.push_back(args[++i]);
    } else {
      selector.reset();
    }
  }
  if (!selector) {
    PrintUsage();
    prepared->ExitCode = kExitUsage;
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
