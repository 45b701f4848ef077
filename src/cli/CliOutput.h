#pragma once
// Writes text to standard output or standard error: UTF-16 to a console,
// UTF-8 bytes to a pipe or file.

#include <string>
#include <string_view>

namespace quor::cli {

void WriteOut(std::wstring_view text);
void WriteErr(std::wstring_view text);
// Already UTF-8 (JSON).
void WriteOutUtf8(std::string_view text);

// A name or path made safe for a terminal: control characters (below 32,
// DEL) as \xHH and the bidirectional overrides and isolates (U+202A to
// U+202E, U+2066 to U+2069) as \uHHHH, so that no name can move the cursor,
// clear the screen or reorder what is printed after it.
std::wstring EscapeForTerminal(std::wstring_view text);

}  // namespace quor::cli
