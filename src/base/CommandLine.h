#pragma once
// Commands that other programs registered (uninstall and modify commands),
// turned into exactly one program to start and the command line to give it.
// The program is always a full path handed to CreateProcessW as the
// application name, so that the system never searches the current folder or
// this program's own folder for it. What cannot be resolved to exactly one
// program, or would let a second command ride along, is refused with a reason.

#include <string>
#include <vector>

namespace quor {

struct TCommandContext {
  std::wstring SystemFolder;  // without a trailing backslash
  std::wstring WindowsFolder;

  // This system's folders.
  static TCommandContext ForSystem();
};

struct TResolvedCommand {
  std::wstring Application;  // full path of the program to start
  std::wstring CommandLine;  // its command line, the program first, quoted
  std::wstring Error;        // why the command is refused; empty when resolved

  bool Ok() const { return Error.empty(); }
};

// Environment-variable tokens ("%SystemDrive%") are expanded first. Then:
// - a quoted program is taken as it stands; an unquoted one with blanks is
//   taken the way the system would split it only when exactly one of the
//   splits names an existing file;
// - a bare program name is looked for in the system and Windows folders only;
// - "MsiExec.exe", wherever the command says it lies, runs from the system
//   folder, with one "/X{GUID}" or "/I{GUID}" and nothing else;
// - a ".bat" or ".cmd" file runs through the system's command interpreter,
//   each argument quoted; an argument that the interpreter would act on even
//   inside quotes ("%", a quote, a control character) is refused;
// - any other kind of file than a program or a batch file is refused.
TResolvedCommand ResolveRegisteredCommand(const std::wstring& command,
                                          const TCommandContext& context);

// The arguments of a command line split at blanks outside quotes, the quotes
// removed. False when a quote is left open.
bool SplitArguments(const std::wstring& text, std::vector<std::wstring>& args);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with hexadecimal digits.
bool IsGuidText(const std::wstring& text);

}  // namespace quor
