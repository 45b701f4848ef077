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

std::wstring EscapeForTerminal(std::wstring_view text) {
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::wstring out;
  out.reserve(text.size());
  for (const wchar_t c : text) {
    if (c < 32 || c == 127) {
      out += L"\\x";
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
    } else if ((c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069)) {
      out += L"\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace quor::cli
