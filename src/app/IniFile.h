#pragma once
// Reading INI files from disk into TIniText; 8-bit files are decoded in the
// system's ANSI code page.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/IniText.h"

namespace quor {

// Larger files are read only up to this size: no language or settings file
// comes near it, and a stray huge file must not exhaust memory.
inline constexpr size_t kMaxIniBytes = 16u << 20;

std::wstring DecodeAnsi(std::string_view bytes);
// The file's first `limit` bytes, or nothing when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::wstring& path, size_t limit = kMaxIniBytes);
std::optional<TIniText> LoadIniFile(const std::wstring& path);

// A value that is a whole non-negative number of at most 12 digits (blanks
// around it allowed), or nothing.
std::optional<int64_t> WholeNumber(const std::wstring* text);
// Creates an empty INI file that starts as UTF-16, so that
// WritePrivateProfileStringW keeps every character; an existing file stays.
void CreateUnicodeIni(const std::wstring& path);

}  // namespace quor
