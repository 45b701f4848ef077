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

// A name or path made safe for a terminal: C0 controls and DEL as \xHH; C1
// controls, the line and paragraph separators, the bidirectional marks,
// embeddings, overrides and isolates, and lone surrogates as \uHHHH, so that
// no name can move the cursor, clear the screen, break a line or reorder
// what is printed after it.
std::wstring EscapeForTerminal(std::wstring_view text);
// The text escaped and in double quotes, for naming an argument in a message.
std::wstring Quoted(std::wstring_view text);

}  // namespace quor::cli
