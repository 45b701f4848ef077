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

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace quor
