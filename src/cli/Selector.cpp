#include "cli/Selector.h"

#include "base/Text.h"
#include "cli/CliOutput.h"
#include "inventory/Registry.h"

namespace quor::cli {
namespace {

bool Matches(const TUninstallObject& p, const TSelector& s) {
  if (!s.Name.empty()) return SameTextAscii(p.DisplayName, s.Name);
  const size_t slash = s.Key.find(L'\\');
  if (slash == std::wstring::npos) return false;
  return SameTextAscii(s.Key.substr(0, slash), RootKeyName(p.RootKey)) &&
         SameTextAscii(s.Key.substr(slash + 1), p.KeyPath);
}

}  // namespace

std::optional<TSelector> ParseSelector(Args& args, std::wstring& error) {
  TSelector selector;
  int found = 0;
  Args rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool key = args[i] == L"--key";
    if (key || args[i] == L"--name") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = args[i] + (key ? L" needs the registration key" : L" needs the display name");
        return std::nullopt;
      }
      (key ? selector.Key : selector.Name) = args[++i];
      ++found;
    } else {
      rest.push_back(args[i]);
    }
  }
  if (found == 0) {
    error = L"no program given: --key \"ROOT\\path\" or --name \"Display Name\"";
    return std::nullopt;
  }
  if (found > 1) {
    error = L"more than one program given: use --key or --name, once";
    return std::nullopt;
  }
  args = rest;
  return selector;
}

TSelection Select(const TSoftwareList& list, const TSelector& selector) {
  std::vector<std::shared_ptr<TUninstallObject>> matches;
  for (int32_t i = 0; i < list.Count(); ++i) {
    auto p = list.Items(i);
    if (Matches(*p, selector)) matches.push_back(p);
  }
  TSelection result;
  if (matches.size() == 1) {
    result.Program = matches.front();
  } else if (matches.empty()) {
    WriteErr(L"quor: no program matches\n");
    result.ExitCode = kExitNoMatch;
  } else {
    std::wstring text = L"quor: several programs match:\n";
    for (const auto& p : matches) {
      text += L"  " + EscapeForTerminal(RootKeyName(p->RootKey) + L"\\" + p->KeyPath) + L"  " +
              EscapeForTerminal(p->DisplayName) + L"\n";
    }
    WriteErr(text);
    result.ExitCode = kExitAmbiguous;
  }
  return result;
}

}  // namespace quor::cli
