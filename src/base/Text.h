#pragma once
// Text helpers. Names and paths are compared with the letters A to Z folded
// only, as the registry and the file system of the product's users expect.

#include <string>
#include <string_view>

namespace quor {

wchar_t LowerAscii(wchar_t c) noexcept;
std::wstring LowerAscii(std::wstring_view text);
bool SameTextAscii(std::wstring_view a, std::wstring_view b) noexcept;
bool StartsWithAscii(std::wstring_view text, std::wstring_view prefix) noexcept;

// Position of `needle` in `text` ignoring the case of A to Z, or npos.
size_t FindAscii(std::wstring_view text, std::wstring_view needle, size_t from = 0) noexcept;

// Removes leading and trailing characters with codes up to 32.
std::wstring Trim(std::wstring_view text);

// The text with one backslash at its end (empty text stays empty).
std::wstring IncludeBackslash(const std::wstring& text);

// A letter or digit of any script.
bool IsLetterOrDigit(wchar_t c) noexcept;

// Comparisons that fold case over all of Unicode, as the file system does:
// for guards, where being too careful is safe.
bool SameTextUnicode(std::wstring_view a, std::wstring_view b) noexcept;
bool StartsWithUnicode(std::wstring_view text, std::wstring_view prefix) noexcept;

// The text without the bidirectional embeddings, overrides and isolates
// (U+202A to U+202E, U+2066 to U+2069): drawn, a name then reads in the order
// of its characters, so "tool\u202etxt.exe" cannot pose as a text file. The
// direction marks, which only place neutral characters, stay.
std::wstring WithoutDirectionOverrides(std::wstring_view text);

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace quor
