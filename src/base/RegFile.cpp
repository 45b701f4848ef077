#include "base/RegFile.h"

#include <cwctype>

#include "base/Text.h"

namespace quor {
namespace {

constexpr wchar_t kHeader[] = L"Windows Registry Editor Version 5.00";
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegDword = 4;
// The registry editor breaks a hex line once it reaches this many characters.
constexpr size_t kHexLineLimit = 77;

bool HoldsLineBreakOrNul(std::wstring_view text) {
  return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != std::wstring_view::npos;
}

std::wstring Quoted(std::wstring_view text) {
  std::wstring out = L"\"";
  for (wchar_t c : text) {
    if (c == L'\\' || c == L'"') out += L'\\';
    out += c;
  }
  return out + L"\"";
}

// The value's text when its bytes are one whole string with a single
// terminating NUL and no line break; nothing otherwise.
std::optional<std::wstring> PlainString(const std::vector<uint8_t>& data) {
  if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
  std::wstring text;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  }
  if (text.back() != L'\0') return std::nullopt;
  text.pop_back();
  if (HoldsLineBreakOrNul(text)) return std::nullopt;
  return text;
}

wchar_t HexDigit(unsigned v) { return static_cast<wchar_t>(v < 10 ? L'0' + v : L'a' + v - 10); }

std::wstring HexValue(std::wstring_view lead, uint32_t type, const std::vector<uint8_t>& data) {
  std::wstring out(lead);
  if (type == 3) {
    out += L"hex:";
  } else {
    wchar_t number[16] = {};
    swprintf(number, 16, L"hex(%x):", type);
    out += number;
  }
  size_t lineLength = out.size();
  for (size_t i = 0; i < data.size(); ++i) {
    out += HexDigit(data[i] >> 4);
    out += HexDigit(data[i] & 15);
    lineLength += 2;
    if (i + 1 == data.size()) break;
    out += L',';
    ++lineLength;
    if (lineLength >= kHexLineLimit) {
      out += L"\\\r\n  ";
      lineLength = 2;
    }
  }
  return out;
}

std::wstring ValueLine(const TRegFileValue& value) {
  const std::wstring lead = (value.Name.empty() ? std::wstring(L"@") : Quoted(value.Name)) + L"=";
  if (value.Delete) return lead + L"-";
  if (value.Type == kRegSz) {
    if (auto text = PlainString(value.Data)) return lead + Quoted(*text);
  }
  if (value.Type == kRegDword && value.Data.size() == 4) {
    const uint32_t v = value.Data[0] | (value.Data[1] << 8) | (value.Data[2] << 16) |
                       (static_cast<uint32_t>(value.Data[3]) << 24);
    wchar_t number[16] = {};
    swprintf(number, 16, L"dword:%08x", v);
    return lead + number;
  }
  return HexValue(lead, value.Type, value.Data);
}

// ---- reading ----

std::wstring DecodeBytes(std::string_view bytes) {
  auto utf16 = [&](size_t from, bool little) {
    std::wstring text;
    text.reserve((bytes.size() - from) / 2);
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
      const auto a = static_cast<uint8_t>(bytes[i]);
      const auto b = static_cast<uint8_t>(bytes[i + 1]);
      text += static_cast<wchar_t>(little ? a | (b << 8) : (a << 8) | b);
    }
    return text;
  };
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return utf16(2, true);
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') return utf16(2, false);
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return FromUtf8(bytes.substr(3));
  return FromUtf8(bytes);
}

std::vector<std::wstring_view> SplitLines(std::wstring_view text) {
  std::vector<std::wstring_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\r' && text[i] != L'\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view TrimBlanks(std::wstring_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

class TReader {
 public:
  explicit TReader(std::wstring_view text) : FLines(SplitLines(text)) {}

  TRegFileParse Run() {
    if (FLines.size() > kMaxRegFileLines) return Fail(L"more lines than this reader takes");
    if (!ReadHeader())
      return Fail(L"the first line is not \"Windows Registry Editor Version 5.00\"");
    while (FNext < FLines.size()) {
      const size_t number = FNext + 1;
      std::wstring_view line = TrimBlanks(FLines[FNext++]);
      if (line.empty() || line.front() == L';') continue;
      FLine = number;
      if (line.front() == L'[') {
        if (!ReadKey(line)) return Fail(L"a key line without its closing \"]\"");
      } else if (FResult.Keys.empty()) {
        return Fail(L"a value before the first key");
      } else if (!ReadValue(line)) {
        return FResult;
      }
    }
    return std::move(FResult);
  }

 private:
  TRegFileParse Fail(const std::wstring& why) {
    FResult.Error = why;
    FResult.ErrorLine = FLine;
    return FResult;
  }

  bool Bad(const wchar_t* why) {
    Fail(why);
    return false;
  }

  bool ReadHeader() {
    while (FNext < FLines.size()) {
      FLine = FNext + 1;
      const std::wstring_view line = TrimBlanks(FLines[FNext++]);
      if (line.empty()) continue;
      return line == kHeader;
    }
    return false;
  }

  bool ReadKey(std::wstring_view line) {
    const size_t close = line.rfind(L']');
    if (close == std::wstring_view::npos || close == 0) return false;
    TRegFileKey key;
    std::wstring_view path = line.substr(1, close - 1);
    if (!path.empty() && path.front() == L'-') {
      key.Delete = true;
      path.remove_prefix(1);
    }
    key.Path = std::wstring(path);
    FResult.Keys.push_back(std::move(key));
    return true;
  }

  // A quoted text from `pos` (at the opening quote); answers the position
  // after the closing quote, or npos.
  static size_t ReadQuoted(std::wstring_view line, size_t pos, std::wstring& out) {
    for (size_t i = pos + 1; i < line.size(); ++i) {
      const wchar_t c = line[i];
      if (c == L'"') return i + 1;
      if (c == L'\\' && i + 1 < line.size()) {
        const wchar_t next = line[++i];
        switch (next) {
          case L'\\':
            out += L'\\';
            break;
          case L'"':
            out += L'"';
            break;
          case L'n':
            out += L'\n';
            break;
          case L'r':
            out += L'\r';
            break;
          case L'0':
            out += L'\0';
            break;
          default:
            out += L'\\';
            out += next;
            break;
        }
        continue;
      }
      out += c;
    }
    return std::wstring_view::npos;
  }

  bool ReadValue(std::wstring_view line) {
    TRegFileValue value;
    size_t pos = 0;
    if (line.front() == L'@') {
      pos = 1;
    } else if (line.front() == L'"') {
      pos = ReadQuoted(line, 0, value.Name);
      if (pos == std::wstring_view::npos) return Bad(L"a value name without its closing quote");
    } else {
      return Bad(L"a line that is neither a key nor a value");
    }
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != L'=') return Bad(L"a value name without \"=\"");
    std::wstring_view data = TrimBlanks(line.substr(pos + 1));
    if (!ReadData(data, value)) return false;
    FResult.Keys.back().Values.push_back(std::move(value));
    return true;
  }

  bool ReadData(std::wstring_view data, TRegFileValue& value) {
    if (data == L"-") {
      value.Delete = true;
      return true;
    }
    if (!data.empty() && data.front() == L'"') {
      std::wstring text;
      const size_t end = ReadQuoted(data, 0, text);
      if (end == std::wstring_view::npos) return Bad(L"a string without its closing quote");
      const std::wstring_view rest = TrimBlanks(data.substr(end));
      if (!rest.empty() && rest.front() != L';') return Bad(L"text after a string value");
      if (text.size() >= kMaxRegValueBytes / 2)
        return Bad(L"a value with more data than this reader takes");
      value.Type = kRegSz;
      for (wchar_t c : text) {
        value.Data.push_back(static_cast<uint8_t>(c & 0xFF));
        value.Data.push_back(static_cast<uint8_t>(c >> 8));
      }
      value.Data.push_back(0);
      value.Data.push_back(0);
      return true;
    }
    if (StartsWithAscii(data, L"dword:")) return ReadDword(data.substr(6), value);
    if (StartsWithAscii(data, L"hex")) return ReadHex(data.substr(3), value);
    return Bad(L"a value of a form this reader does not know");
  }

  static int HexValueOf(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
  }

  bool ReadDword(std::wstring_view digits, TRegFileValue& value) {
    digits = TrimBlanks(digits);
    const size_t comment = digits.find(L';');
    if (comment != std::wstring_view::npos) digits = TrimBlanks(digits.substr(0, comment));
    if (digits.empty() || digits.size() > 8) return Bad(L"a dword that is not 1 to 8 hex digits");
    uint32_t v = 0;
    for (wchar_t c : digits) {
      const int d = HexValueOf(c);
      if (d < 0) return Bad(L"a dword that is not 1 to 8 hex digits");
      v = (v << 4) | static_cast<uint32_t>(d);
    }
    value.Type = kRegDword;
    value.Data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                  static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    return true;
  }

  // "hex:" or "hex(n):" then bytes; a line ending in a backslash goes on in
  // the next line. Each line is read as it comes: the data is never joined
  // into one text, so a long value costs its length once.
  bool ReadHex(std::wstring_view rest, TRegFileValue& value) {
    value.Type = 3;
    if (!rest.empty() && rest.front() == L'(') {
      const size_t close = rest.find(L')');
      if (close == std::wstring_view::npos || close == 1 || close > 9)
        return Bad(L"a hex type without its number");
      uint32_t type = 0;
      for (wchar_t c : rest.substr(1, close - 1)) {
        const int d = HexValueOf(c);
        if (d < 0) return Bad(L"a hex type without its number");
        type = (type << 4) | static_cast<uint32_t>(d);
      }
      value.Type = type;
      rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest.front() != L':') return Bad(L"a hex value without \":\"");
    std::wstring_view line = rest.substr(1);
    for (;;) {
      std::wstring_view part = TrimBlanks(line);
      bool more = !part.empty() && part.back() == L'\\';
      if (more) part.remove_suffix(1);
      if (const size_t comment = part.find(L';'); comment != std::wstring_view::npos) {
        part = part.substr(0, comment);
        more = false;  // a comment ends the value
      }
      if (!ReadHexBytes(part, value.Data))
        return Bad(L"a hex byte that is not one or two hex digits");
      if (value.Data.size() > kMaxRegValueBytes)
        return Bad(L"a value with more data than this reader takes");
      if (!more) return true;
      if (FNext >= FLines.size()) return Bad(L"a continued hex line at the end of the file");
      line = FLines[FNext++];
    }
  }

  // Comma-separated bytes of one line; a comma may end the line.
  static bool ReadHexBytes(std::wstring_view list, std::vector<uint8_t>& data) {
    list = TrimBlanks(list);
    while (!list.empty()) {
      const size_t comma = list.find(L',');
      const std::wstring_view item = TrimBlanks(list.substr(0, comma));
      if (item.empty() || item.size() > 2 || HexValueOf(item[0]) < 0 ||
          (item.size() == 2 && HexValueOf(item[1]) < 0)) {
        return false;
      }
      data.push_back(static_cast<uint8_t>(
          item.size() == 1 ? HexValueOf(item[0]) : HexValueOf(item[0]) * 16 + HexValueOf(item[1])));
      if (comma == std::wstring_view::npos) break;
      list = TrimBlanks(list.substr(comma + 1));
    }
    return true;
  }

  std::vector<std::wstring_view> FLines;
  size_t FNext = 0;
  size_t FLine = 0;
  TRegFileParse FResult;
};

}  // namespace

bool RegFileCanHoldKeyPath(std::wstring_view path) {
  return !path.empty() && !HoldsLineBreakOrNul(path) && path.back() != L']' && path.front() != L'-';
}

bool RegFileCanHoldValueName(std::wstring_view name) { return !HoldsLineBreakOrNul(name); }

std::wstring RegFileText(const std::vector<TRegFileKey>& keys) {
  std::wstring out = std::wstring(kHeader) + L"\r\n\r\n";
  for (const auto& key : keys) {
    out += (key.Delete ? L"[-" : L"[") + key.Path + L"]\r\n";
    for (const auto& value : key.Values) out += ValueLine(value) + L"\r\n";
    out += L"\r\n";
  }
  return out;
}

std::string RegFileBytes(const std::vector<TRegFileKey>& keys) {
  const std::wstring text = RegFileText(keys);
  std::string bytes = "\xFF\xFE";
  bytes.reserve(2 + text.size() * 2);
  for (wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  return bytes;
}

TRegFileParse ParseRegFile(std::string_view bytes) {
  if (bytes.size() > kMaxRegFileBytes) return {{}, L"larger than this reader takes", 0};
  return ParseRegFileText(DecodeBytes(bytes));
}

TRegFileParse ParseRegFileText(std::wstring_view text) {
  if (text.size() > kMaxRegFileBytes) return {{}, L"larger than this reader takes", 0};
  return TReader(text).Run();
}

}  // namespace quor
