#pragma once
// The command line's help texts and its one-line usage errors.

#include <string>
#include <string_view>

namespace quor::cli {

// The whole usage: every command, the selector and the exit statuses.
std::wstring FullHelp();
// One command's usage, with the selector and exit statuses when it takes a
// program; empty when `command` is no command.
std::wstring CommandHelp(std::wstring_view command);
bool IsCommand(std::wstring_view command);

// Writes one line to stderr naming what was wrong with the command line and
// where the help is, e.g.
//   quor remove: unknown option "--frob" (quor remove --help shows the usage)
// and answers the usage-error exit status. `command` may be empty.
int UsageError(std::wstring_view command, const std::wstring& what);
// "unknown option "--x"" or "unexpected argument "x"", escaped for a terminal.
std::wstring OptionError(std::wstring_view arg);

}  // namespace quor::cli
