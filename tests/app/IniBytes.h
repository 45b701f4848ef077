#pragma once
// File contents in the encodings that language files come in.

#include <string>
#include <string_view>

namespace quor::test {

// UTF-16 little-endian with its byte-order mark.
inline std::string Utf16LeFile(std::wstring_view text) {
  std::string out = "\xFF\xFE";
  for (wchar_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return out;
}

inline std::string Utf16BeFile(std::wstring_view text) {
  std::string out = "\xFE\xFF";
  for (wchar_t c : text) {
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
    out.push_back(static_cast<char>(c & 0xFF));
  }
  return out;
}

}  // namespace quor::test
