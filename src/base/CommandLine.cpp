#include "base/CommandLine.h"

#include <windows.h>

#include <algorithm>

#include "base/Text.h"

namespace quor {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring Expanded(const std::wstring& text) {
  if (text.find(L'%') == std::wstring::npos) return text;
  std::wstring buffer(32768, L'\0');
  const DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), DWORD(buffer.size()));
  if (n == 0 || n > buffer.size()) return text;
  buffer.resize(n - 1);
  return buffer;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/:");
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring ExtensionOf(const std::wstring& path) {
  const std::wstring name = FileNameOf(path);
  const size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos ? std::wstring() : LowerAscii(name.substr(dot));
}

bool IsAbsolute(const std::wstring& path) {
  const bool drive = path.size() >= 3 && ((path[0] | 0x20) >= L'a' && (path[0] | 0x20) <= L'z') &&
                     path[1] == L':' && path[2] == L'\\';
  return drive || (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\');
}

bool IsBareName(const std::wstring& text) {
  return text.find_first_of(L"\\/:") == std::wstring::npos;
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file the system would start for this text: ".exe" is added to a name
// without an extension.
std::wstring ProgramFile(const std::wstring& text) {
  return ExtensionOf(text).empty() ? text + L".exe" : text;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// The program part and the rest of a command.
struct TSplit {
  std::wstring Program;
  std::wstring Rest;
};

std::wstring AfterBlanks(const std::wstring& text, size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return text.substr(std::min(at, text.size()));
}

// Every way the system could read the program out of an unquoted command:
// each text up to a blank, and the whole command.
std::vector<TSplit> UnquotedSplits(const std::wstring& text) {
  std::vector<TSplit> splits;
  for (size_t i = 1; i < text.size(); ++i) {
    if (IsBlank(text[i]) && !IsBlank(text[i - 1]))
      splits.push_back({text.substr(0, i), AfterBlanks(text, i)});
  }
  splits.push_back({text, L""});
  return splits;
}

std::wstring FindBareProgram(const std::wstring& name, const TCommandContext& context) {
  for (const std::wstring* folder : {&context.SystemFolder, &context.WindowsFolder}) {
    if (folder->empty()) continue;
    const std::wstring path = IncludeBackslash(*folder) + ProgramFile(name);
    if (IsFile(path)) return path;
  }
  return {};
}

// The one existing program the command names, or the reason there is none.
TResolvedCommand FindProgram(const std::wstring& text, const TCommandContext& context,
                             std::wstring& rest) {
  std::vector<TSplit> splits;
  if (text[0] == L'"') {
    const size_t close = text.find(L'"', 1);
    if (close == std::wstring::npos) return {{}, {}, L"its program's quote is never closed"};
    if (close + 1 < text.size() && !IsBlank(text[close + 1]))
      return {{}, {}, L"text follows its quoted program without a blank"};
    splits.push_back({text.substr(1, close - 1), AfterBlanks(text, close + 1)});
  } else {
    splits = UnquotedSplits(text);
  }
  const std::wstring& first = splits.front().Program;
  if (first.empty()) return {{}, {}, L"it names no program"};
  if (IsBareName(first)) {
    const std::wstring found = FindBareProgram(first, context);
    if (found.empty()) return {{}, {}, L"\"" + first + L"\" is not a program of the system folder"};
    rest = splits.front().Rest;
    return {found, {}, {}};
  }
  std::vector<TSplit> found;
  for (const TSplit& s : splits) {
    if (IsAbsolute(s.Program) && IsFile(ProgramFile(s.Program))) found.push_back(s);
  }
  if (found.size() > 1) {
    return {{},
            {},
            L"it could mean more than one program: \"" + ProgramFile(found[0].Program) +
                L"\" and \"" + ProgramFile(found[1].Program) + L"\""};
  }
  if (found.empty()) {
    if (!IsAbsolute(first)) return {{}, {}, L"its program is not named by a full path"};
    if (text.find(L'%') != std::wstring::npos)
      return {{}, {}, L"it names an environment variable that is not set"};
    return {{}, {}, L"its program does not exist"};
  }
  rest = found[0].Rest;
  return {ProgramFile(found[0].Program), {}, {}};
}

TResolvedCommand WindowsInstaller(const std::wstring& rest, const TCommandContext& context) {
  const std::wstring msiexec = IncludeBackslash(context.SystemFolder) + L"msiexec.exe";
  if (!IsFile(msiexec)) return {{}, {}, L"the Windows Installer is missing from the system folder"};
  const std::wstring args = Trim(rest);
  const bool option = args.size() >= 2 && args[0] == L'/' &&
                      (LowerAscii(args[1]) == L'x' || LowerAscii(args[1]) == L'i');
  const std::wstring code = option ? AfterBlanks(args, 2) : std::wstring();
  if (!IsGuidText(code)) {
    return {{},
            {},
            L"a Windows Installer command must be /X or /I with one product code and nothing else"};
  }
  return {msiexec, Quoted(msiexec) + L" " + args.substr(0, 2) + code, {}};
}

TResolvedCommand BatchFile(const std::wstring& file, const std::wstring& rest,
                           const TCommandContext& context) {
  const std::wstring cmd = IncludeBackslash(context.SystemFolder) + L"cmd.exe";
  if (!IsFile(cmd)) return {{}, {}, L"the command interpreter is missing from the system folder"};
  std::vector<std::wstring> args;
  if (!SplitArguments(rest, args)) return {{}, {}, L"a quote in its arguments is never closed"};
  // Inside quotes the interpreter still expands "%" and ends at a quote.
  std::wstring inner = Quoted(file);
  args.insert(args.begin(), file);
  for (size_t i = 0; i < args.size(); ++i) {
    for (wchar_t c : args[i]) {
      if (c == L'%' || c == L'"' || c < L' ')
        return {{},
                {},
                L"the batch file or an argument holds a character that the command "
                L"interpreter would act on (%, a quote or a control character)"};
    }
    if (i > 0) inner += L" " + Quoted(args[i]);
  }
  // /s: the outer quotes are removed and the rest is taken as it stands.
  return {cmd, Quoted(cmd) + L" /d /v:off /s /c \"" + inner + L"\"", {}};
}

}  // namespace

TCommandContext TCommandContext::ForSystem() {
  TCommandContext context;
  wchar_t buffer[MAX_PATH + 1] = {};
  UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH + 1);
  if (n > 0 && n <= MAX_PATH) context.SystemFolder.assign(buffer, n);
  n = ::GetSystemWindowsDirectoryW(buffer, MAX_PATH + 1);
  if (n > 0 && n <= MAX_PATH) context.WindowsFolder.assign(buffer, n);
  return context;
}

bool SplitArguments(const std::wstring& text, std::vector<std::wstring>& args) {
  args.clear();
  std::wstring current;
  bool quoted = false, any = false;
  for (wchar_t c : text) {
    if (c == L'"') {
      quoted = !quoted;
      any = true;
    } else if (IsBlank(c) && !quoted) {
      if (any) args.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) args.push_back(current);
  return !quoted;
}

bool IsGuidText(const std::wstring& text) {
  if (text.size() != 38 || text.front() != L'{' || text.back() != L'}') return false;
  for (size_t i = 1; i < 37; ++i) {
    const wchar_t c = text[i];
    if (i == 9 || i == 14 || i == 19 || i == 24) {
      if (c != L'-') return false;
    } else if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') ||
                 (c >= L'A' && c <= L'F'))) {
      return false;
    }
  }
  return true;
}

TResolvedCommand ResolveRegisteredCommand(const std::wstring& command,
                                          const TCommandContext& context) {
  const std::wstring text = Trim(Expanded(Trim(command)));
  if (text.empty()) return {{}, {}, L"no command is registered"};
  std::wstring rest;
  TResolvedCommand program = FindProgram(text, context, rest);
  if (!program.Ok()) return program;
  const std::wstring name = LowerAscii(FileNameOf(program.Application));
  if (name == L"msiexec.exe") return WindowsInstaller(rest, context);
  const std::wstring extension = ExtensionOf(program.Application);
  if (extension == L".bat" || extension == L".cmd")
    return BatchFile(program.Application, rest, context);
  if (extension != L".exe" && extension != L".com")
    return {{}, {}, L"\"" + program.Application + L"\" is not a program"};
  program.CommandLine = Quoted(program.Application) + (rest.empty() ? L"" : L" " + rest);
  return program;
}

}  // namespace quor
