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

}  // namespace quor::cli
