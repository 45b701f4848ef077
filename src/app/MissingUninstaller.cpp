#include "app/MissingUninstaller.h"

#include <windows.h>

#include "base/Text.h"

namespace quor {
namespace {

std::wstring Expanded(const std::wstring& text) {
  std::wstring out(32768, L'\0');
  const DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), out.data(), DWORD(out.size()));
  if (n == 0 || n > out.size()) return text;
  out.resize(n - 1);
  return out;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The program as the command names it: the quoted text, else the shortest
// start that ends in ".exe" before a blank or the end, else the first word.
std::wstring NamedProgram(const std::wstring& text) {
  if (text[0] == L'"') {
    const size_t close = text.find(L'"', 1);
    return close == std::wstring::npos ? std::wstring() : text.substr(1, close - 1);
  }
  const std::wstring lower = LowerAscii(text);
  for (size_t at = lower.find(L".exe"); at != std::wstring::npos;
       at = lower.find(L".exe", at + 1)) {
    const size_t end = at + 4;
    if (end == text.size() || IsBlank(text[end])) return text.substr(0, end);
  }
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return text.substr(0, end);
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsAbsolute(const std::wstring& path) {
  return (path.size() > 2 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
         path.starts_with(L"\\\\");
}

}  // namespace

std::optional<TMissingUninstaller> FindMissingUninstaller(const std::wstring& uninstallString,
                                                          const TCommandContext& context) {
  const std::wstring text = Trim(Expanded(Trim(uninstallString)));
  if (text.empty()) return TMissingUninstaller{.NoCommand = true};
  if (ResolveRegisteredCommand(uninstallString, context).Ok()) return std::nullopt;
  const std::wstring program = Trim(NamedProgram(text));
  if (program.empty() || program.find(L'%') != std::wstring::npos) return std::nullopt;
  if (program.find_first_of(L"\\/:") == std::wstring::npos) {
    // A bare name is looked for in the system folder only.
    const std::wstring inSystem = IncludeBackslash(context.SystemFolder) + program;
    if (IsFile(inSystem) || IsFile(inSystem + L".exe")) return std::nullopt;
    return TMissingUninstaller{.Program = program};
  }
  if (!IsAbsolute(program) || IsFile(program)) return std::nullopt;
  return TMissingUninstaller{.Program = program};
}

}  // namespace quor
