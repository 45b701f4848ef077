#include "cli/CliOutput.h"

#include <windows.h>

#include "base/Text.h"

namespace quor::cli {
namespace {

void WriteBytes(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return;
    bytes.remove_prefix(written);
  }
}

void Write(DWORD stdHandle, std::wstring_view text) {
  HANDLE h = ::GetStdHandle(stdHandle);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  if (::GetConsoleMode(h, &mode)) {
    DWORD written = 0;
    ::WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  WriteBytes(h, ToUtf8(text));
}

}  // namespace

void WriteOut(std::wstring_view text) { Write(STD_OUTPUT_HANDLE, text); }
void WriteErr(std::wstring_view text) { Write(STD_ERROR_HANDLE, text); }

void WriteOutUtf8(std::string_view text) {
  HANDLE h = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  if (::GetConsoleMode(h, &mode)) {
    WriteOut(FromUtf8(text));
    return;
  }
  WriteBytes(h, text);
}

}  // namespace quor::cli
