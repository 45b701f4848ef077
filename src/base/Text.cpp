#include "base/Text.h"

#include <windows.h>

namespace quor {

wchar_t LowerAscii(wchar_t c) noexcept {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

std::wstring LowerAscii(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) c = LowerAscii(c);
  return out;
}

bool SameTextAscii(std::wstring_view a, std::wstring_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool StartsWithAscii(std::wstring_view text, std::wstring_view prefix) noexcept {
  return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

size_t FindAscii(std::wstring_view text, std::wstring_view needle, size_t from) noexcept {
  if (needle.empty()) return from <= text.size() ? from : std::wstring_view::npos;
  if (needle.size() > text.size()) return std::wstring_view::npos;
  for (size_t i = from; i + needle.size() <= text.size(); ++i) {
    if (SameTextAscii(text.substr(i, needle.size()), needle)) return i;
  }
  return std::wstring_view::npos;
}

std::wstring Trim(std::wstring_view text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && text[b] <= L' ') ++b;
  while (e > b && text[e - 1] <= L' ') --e;
  return std::wstring(text.substr(b, e - b));
}

std::wstring IncludeBackslash(const std::wstring& text) {
  if (text.empty() || text.back() == L'\\') return text;
  return text + L'\\';
}

bool IsLetterOrDigit(wchar_t c) noexcept {
  if (c < 128) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
  }
  WORD type = 0;
  if (!::GetStringTypeW(CT_CTYPE1, &c, 1, &type)) return false;
  return (type & (C1_ALPHA | C1_DIGIT)) != 0;
}

bool SameTextUnicode(std::wstring_view a, std::wstring_view b) noexcept {
  if (a.size() != b.size()) return false;
  if (a.empty()) return true;
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool StartsWithUnicode(std::wstring_view text, std::wstring_view prefix) noexcept {
  return text.size() >= prefix.size() && SameTextUnicode(text.substr(0, prefix.size()), prefix);
}

std::wstring WithoutDirectionOverrides(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (const wchar_t c : text) {
    if ((c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069)) continue;
    out += c;
  }
  return out;
}

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
  }
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) {
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  }
  return out;
}

}  // namespace quor
