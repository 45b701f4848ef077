#include "app/IniText.h"

namespace quor {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

wchar_t Fold(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

std::wstring FoldName(std::wstring_view name) {
  std::wstring out(name);
  for (auto& c : out) c = Fold(c);
  return out;
}

std::wstring_view TrimView(std::wstring_view text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && static_cast<unsigned>(text[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned>(text[e - 1]) <= 32) --e;
  return text.substr(b, e - b);
}

// Windows' INI reader drops one pair of enclosing quotes from a value.
std::wstring_view StripQuotes(std::wstring_view value) {
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<wchar_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  }
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  // A trailing odd byte (a truncated file) is dropped.
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    out.push_back(static_cast<wchar_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0));
  }
  return out;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n' || c == L'\0'; }

}  // namespace

std::wstring DecodeLatin1(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (char c : bytes) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return out;
}

std::wstring DecodeUtf8(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, cp = lead & 0x07, minimum = 0x10000;
    }
    size_t taken = 1;
    while (length != 0 && taken < length && i + taken < bytes.size() &&
           (static_cast<unsigned char>(bytes[i + taken]) & 0xC0) == 0x80) {
      cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + taken]) & 0x3F);
      ++taken;
    }
    const bool valid = length != 0 && taken == length && cp >= minimum && cp <= 0x10FFFF &&
                       !(cp >= 0xD800 && cp <= 0xDFFF);
    if (valid) {
      AppendCodePoint(out, cp);
    } else {
      out.push_back(kReplacement);
    }
    i += taken;
  }
  return out;
}

std::wstring DecodeIniBytes(std::string_view bytes, AnsiDecoder ansi) {
  if (StartsWith(bytes, "\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  if (StartsWith(bytes, "\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return DecodeUtf8(bytes.substr(3));
  return (ansi ? ansi : DecodeLatin1)(bytes);
}

TIniText TIniText::Parse(std::string_view bytes, AnsiDecoder ansi) {
  return ParseText(DecodeIniBytes(bytes, ansi));
}

TIniText TIniText::ParseText(std::wstring_view text) {
  TIniText ini;
  TSection* current = nullptr;  // lines before the first section belong to none
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && !IsLineBreak(text[end])) ++end;
    ini.ParseLine(text.substr(start, end - start), current);
    start = end + 1;
  }
  return ini;
}

void TIniText::ParseLine(std::wstring_view line, TSection*& current) {
  line = TrimView(line);
  if (line.empty() || line.front() == L';') return;
  if (line.front() == L'[') {
    const size_t close = line.find(L']');
    const std::wstring_view name =
        TrimView(line.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos
                                                                 : close - 1));
    current = &AddSection(name);
    return;
  }
  const size_t eq = line.find(L'=');
  if (current == nullptr || eq == std::wstring_view::npos) return;
  const std::wstring_view key = TrimView(line.substr(0, eq));
  if (key.empty()) return;
  std::wstring folded = FoldName(key);
  if (current->Index.count(folded) != 0) return;
  current->Index.emplace(std::move(folded), current->Entries.size());
  current->Entries.emplace_back(std::wstring(key),
                                std::wstring(StripQuotes(TrimView(line.substr(eq + 1)))));
}

TIniText::TSection& TIniText::AddSection(std::wstring_view name) {
  std::wstring folded = FoldName(name);
  const auto found = FSectionIndex.find(folded);
  if (found != FSectionIndex.end()) return FSections[found->second];
  FSectionIndex.emplace(std::move(folded), FSections.size());
  FSections.push_back(TSection{std::wstring(name), {}, {}});
  return FSections.back();
}

const TIniText::TSection* TIniText::FindSection(std::wstring_view section) const {
  const auto found = FSectionIndex.find(FoldName(section));
  return found == FSectionIndex.end() ? nullptr : &FSections[found->second];
}

const std::wstring* TIniText::Find(std::wstring_view section, std::wstring_view key) const {
  const TSection* s = FindSection(section);
  if (s == nullptr) return nullptr;
  const auto found = s->Index.find(FoldName(key));
  return found == s->Index.end() ? nullptr : &s->Entries[found->second].second;
}

std::wstring TIniText::Read(std::wstring_view section, std::wstring_view key,
                            std::wstring_view fallback) const {
  const std::wstring* value = Find(section, key);
  return value ? *value : std::wstring(fallback);
}

std::vector<std::wstring> TIniText::SectionNames() const {
  std::vector<std::wstring> names;
  names.reserve(FSections.size());
  for (const auto& s : FSections) names.push_back(s.Name);
  return names;
}

std::vector<std::wstring> TIniText::KeyNames(std::wstring_view section) const {
  std::vector<std::wstring> names;
  if (const TSection* s = FindSection(section)) {
    names.reserve(s->Entries.size());
    for (const auto& entry : s->Entries) names.push_back(entry.first);
  }
  return names;
}

}  // namespace quor
