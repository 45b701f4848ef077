#pragma once
// INI text as read from language and settings files: sections in square
// brackets, one "key=value" per line. Pure: bytes in, data out, no file or
// window access, so that it builds on any platform and can be fuzzed.
//
// Encodings: UTF-16 LE or BE with a byte-order mark, UTF-8 with a byte-order
// mark, otherwise 8-bit text handed to the caller's ANSI decoder. Section and
// key names ignore the case of A to Z; the first of duplicate keys wins, and a
// section that appears twice is read as one.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quor {

// Converts 8-bit text of some code page to UTF-16.
using AnsiDecoder = std::wstring (*)(std::string_view bytes);

// Each byte is the code point of the same value.
std::wstring DecodeLatin1(std::string_view bytes);
// Malformed sequences become U+FFFD; code points above U+FFFF become
// surrogate pairs, so the result is UTF-16 whatever the size of wchar_t.
std::wstring DecodeUtf8(std::string_view bytes);
// The file's bytes as UTF-16 text, its byte-order mark removed.
std::wstring DecodeIniBytes(std::string_view bytes, AnsiDecoder ansi = DecodeLatin1);

class TIniText {
 public:
  static TIniText Parse(std::string_view bytes, AnsiDecoder ansi = DecodeLatin1);
  static TIniText ParseText(std::wstring_view text);

  // The value, or null when the section or the key is absent.
  const std::wstring* Find(std::wstring_view section, std::wstring_view key) const;
  std::wstring Read(std::wstring_view section, std::wstring_view key,
                    std::wstring_view fallback) const;

  // Names as first spelt in the file, in file order.
  std::vector<std::wstring> SectionNames() const;
  std::vector<std::wstring> KeyNames(std::wstring_view section) const;

 private:
  struct TSection {
    std::wstring Name;
    std::vector<std::pair<std::wstring, std::wstring>> Entries;
    std::unordered_map<std::wstring, size_t> Index;  // folded key -> entry
  };

  const TSection* FindSection(std::wstring_view section) const;
  TSection& AddSection(std::wstring_view name);
  void ParseLine(std::wstring_view line, TSection*& current);

  std::vector<TSection> FSections;
  std::unordered_map<std::wstring, size_t> FSectionIndex;  // folded name -> section
};

}  // namespace quor
