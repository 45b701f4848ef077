#pragma once
// Registry values for the export file's reader and writer and for the backup
// of a registration: each must come back with its exact type and bytes.

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace quor::test {

inline std::vector<uint8_t> Utf16Bytes(const std::wstring& text, bool terminated) {
  std::vector<uint8_t> out;
  for (wchar_t c : text) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  if (terminated) out.insert(out.end(), {0, 0});
  return out;
}

inline std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
  std::vector<uint8_t> out;
  for (int b : list) out.push_back(static_cast<uint8_t>(b));
  return out;
}

inline std::vector<uint8_t> LongBinary() {
  std::vector<uint8_t> out;
  for (int i = 0; i < 300; ++i) out.push_back(static_cast<uint8_t>(i * 7));
  return out;
}

// Values whose type and bytes must come back exactly, with names that an
// export file must escape or that hold characters outside ASCII.
struct TValueCase {
  std::wstring Name;
  DWORD Type;
  std::vector<uint8_t> Data;
};

inline std::vector<TValueCase> ValueCases() {
  return {
      {L"", REG_SZ, Utf16Bytes(L"default", true)},
      {L"plain", REG_SZ, Utf16Bytes(L"C:\\Program Files\\App \"quoted\"", true)},
      {L"no terminator", REG_SZ, Utf16Bytes(L"abc", false)},
      {L"line break in data", REG_SZ, Utf16Bytes(L"one\r\ntwo", true)},
      {L"expand", REG_EXPAND_SZ, Utf16Bytes(L"%ProgramFiles%\\App", true)},
      {L"multi", REG_MULTI_SZ, Utf16Bytes(std::wstring(L"a\0bc\0\0", 6), false)},
      {L"dword", REG_DWORD, Bytes({0x78, 0x56, 0x34, 0x12})},
      {L"short dword", REG_DWORD, Bytes({1, 2, 3})},
      {L"qword", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 0x88})},
      {L"none", REG_NONE, {}},
      {L"none with bytes", REG_NONE, Bytes({0, 255})},
      {L"binary", REG_BINARY, LongBinary()},
      {L"odd type", 0x4711, Bytes({9})},
      {L"back\\slash\\name", REG_SZ, Utf16Bytes(L"x", true)},
      {L"\"quoted\" = name", REG_DWORD, Bytes({0, 0, 0, 0})},
      {L"Gr\u00fc\u00dfe \u65e5\u672c \u0416", REG_SZ,
       Utf16Bytes(L"\u00e9t\u00e9 \u65e5\u672c", true)},
  };
}

}  // namespace quor::test
