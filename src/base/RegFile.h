#pragma once
// Registry export files in the registry editor's own format ("Windows
// Registry Editor Version 5.00", UTF-16 LE with a byte-order mark): writing
// and reading. Pure: text and bytes in, data out, no registry access.
//
// Every value is written so that reading it back gives the same type and the
// same bytes: a string value as text only when its bytes are exactly one
// string with one terminating NUL and no line break, a DWORD as "dword:" only
// when it has four bytes, everything else as hex(n) bytes. Long hex lines are
// continued with a backslash, as the registry editor does.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quor {

struct TRegFileValue {
  std::wstring Name;  // empty: the key's default value ("@")
  uint32_t Type = 0;  // REG_NONE, REG_SZ, ...; any number
  std::vector<uint8_t> Data;
  bool Delete = false;  // "name"=- : remove the value
};

struct TRegFileKey {
  std::wstring Path;    // root's full name, backslash, key path
  bool Delete = false;  // [-path]: remove the key
  std::vector<TRegFileValue> Values;
};

// Whether a key path or value name can be written to a line of the file and
// read back unchanged (no NUL, no line break; a key name holds no "]" at its
// end either).
bool RegFileCanHoldKeyPath(std::wstring_view path);
bool RegFileCanHoldValueName(std::wstring_view name);

// The whole file: header, then each key with its values, as UTF-16 text
// with CR LF line ends.
std::wstring RegFileText(const std::vector<TRegFileKey>& keys);
// The same as file bytes: UTF-16 LE with a byte-order mark.
std::string RegFileBytes(const std::vector<TRegFileKey>& keys);

// Limits on a file this reader takes: larger files, more lines, or a value
// with more data are refused before or while they are read.
inline constexpr size_t kMaxRegFileBytes = 64u << 20;
inline constexpr size_t kMaxRegFileLines = 4'000'000;
inline constexpr size_t kMaxRegValueBytes = 16u << 20;

struct TRegFileParse {
  std::vector<TRegFileKey> Keys;  // in file order
  std::wstring Error;             // empty when the file was read whole
  size_t ErrorLine = 0;           // 1-based
};

// Reads the file's bytes: UTF-16 LE or BE with a byte-order mark, UTF-8
// with or without one. The header must be the version 5.00 line (or
// "REGEDIT4"). Stops at the first line it cannot read and says where.
TRegFileParse ParseRegFile(std::string_view bytes);
TRegFileParse ParseRegFileText(std::wstring_view text);

}  // namespace quor
