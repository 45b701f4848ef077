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

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Characters a terminal acts on or that change how the rest of the line
// reads: C0 and C1 controls, DEL, the line and paragraph separators, and the
// bidirectional marks, embeddings, overrides and isolates.
bool MustEscape(wchar_t c) {
  return c < 32 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void AppendHex(std::wstring& out, wchar_t c) {
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  if (c < 0x80) {
    out += L"\\x";
    out += kHex[(c >> 4) & 0xF];
    out += kHex[c & 0xF];
    return;
  }
  out += L"\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
}

}  // namespace

std::wstring EscapeForTerminal(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      out += c;
      out += text[++i];
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || MustEscape(c)) {
      AppendHex(out, c);  // a lone surrogate has no UTF-8 form of its own
    } else {
      out += c;
    }
  }
  return out;
}

std::wstring Quoted(std::wstring_view text) { return L"\"" + EscapeForTerminal(text) + L"\""; }

}  // namespace quor::cli
