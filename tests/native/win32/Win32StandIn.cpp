// The functions of the <windows.h> stand-in, for the native build only. The
// text functions follow the documented behaviour of their Windows
// namesakes for the arguments the code under test passes (flags 0); the
// file functions fail as for a missing file.

#include <locale.h>
#include <wctype.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

extern char** environ;

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Character classes and case over all of Unicode, whatever locale the
// process has set.
locale_t UnicodeLocale() {
  static const locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    if (l == nullptr) {
      std::fputs("the C.UTF-8 locale is missing\n", stderr);
      std::abort();
    }
    return l;
  }();
  return locale;
}

size_t Length(const WCHAR* text, int count) {
  return count < 0 ? std::wcslen(text) + 1 : static_cast<size_t>(count);
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// UTF-16 code units to code points; a lone surrogate becomes U+FFFD. A
// value above U+FFFF, which only a 32-bit wchar_t holds, is that code point.
std::u32string CodePoints(const WCHAR* text, size_t n) {
  std::u32string out;
  for (size_t i = 0; i < n; ++i) {
    const auto c = static_cast<char32_t>(text[i]);
    if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
      const auto low = static_cast<char32_t>(text[++i]);
      out.push_back(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
    } else {
      out.push_back(IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF ? kReplacement : c);
    }
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Malformed sequences (overlong, surrogates, beyond U+10FFFF, cut short)
// become one U+FFFD per maximal invalid part, as Windows does.
std::u16string FromUtf8(const char* text, size_t n) {
  std::u16string out;
  size_t i = 0;
  while (i < n) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    char32_t cp = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead < 0x80) {
      length = 1, cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, cp = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, cp = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    }
    size_t taken = 1;
    while (taken < length && i + taken < n) {
      const auto b = static_cast<unsigned char>(text[i + taken]);
      if (taken == 1 ? (b < low || b > high) : (b & 0xC0) != 0x80) break;
      cp = (cp << 6) | (b & 0x3F);
      ++taken;
    }
    AppendUtf16(out, length != 0 && taken == length ? cp : kReplacement);
    i += taken;
  }
  return out;
}

// Windows-1252 at 0x80..0x9F; the five unassigned bytes map to the C1
// control of the same value, as Windows maps them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t FromCp1252(unsigned char b) {
  return b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
}

// The byte for a code point, or -1 when the code page lacks it.
int ToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kCp1252High[i] == cp) return 0x80 + i;
  }
  return -1;
}

// Copies `text` out as the Windows conversion functions do: the length
// needed when there is no room given, 0 when the room is too small.
template <typename Char, typename Out>
int CopyOut(const std::basic_string<Char>& text, Out* out, int outSize) {
  if (outSize < 0) return 0;
  if (outSize == 0) return static_cast<int>(text.size());
  if (text.size() > static_cast<size_t>(outSize)) return 0;
  for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<Out>(text[i]);
  return static_cast<int>(text.size());
}

// The value of an environment variable, its name compared without case.
std::optional<std::wstring> Variable(const std::wstring& name) {
  if (name.empty()) return std::nullopt;
  for (char** e = environ; *e != nullptr; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (eq == nullptr || static_cast<size_t>(eq - *e) != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) {
      const auto c = static_cast<wint_t>(static_cast<unsigned char>((*e)[i]));
      same = towupper_l(c, UnicodeLocale()) ==
             towupper_l(static_cast<wint_t>(name[i]), UnicodeLocale());
    }
    if (!same) continue;
    const int n = static_cast<int>(std::strlen(eq + 1));
    if (n == 0) return std::wstring();
    const int wide = MultiByteToWideChar(CP_UTF8, 0, eq + 1, n, nullptr, 0);
    std::wstring value(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, eq + 1, n, value.data(), wide);
    return value;
  }
  return std::nullopt;
}

}  // namespace

BOOL PtInRect(const RECT* rect, POINT point) {
  return rect != nullptr && point.x >= rect->left && point.x < rect->right &&
                 point.y >= rect->top && point.y < rect->bottom
             ? TRUE
             : FALSE;
}

BOOL IsRectEmpty(const RECT* rect) {
  return rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top ? TRUE : FALSE;
}

BOOL GetStringTypeW(DWORD infoType, const WCHAR* text, int count, WORD* types) {
  if (infoType != CT_CTYPE1 || text == nullptr || types == nullptr || count == 0) return FALSE;
  const size_t n = Length(text, count);
  for (size_t i = 0; i < n; ++i) {
    const auto c = static_cast<wint_t>(text[i]);
    WORD t = 0;
    if (iswupper_l(c, UnicodeLocale())) t |= C1_UPPER;
    if (iswlower_l(c, UnicodeLocale())) t |= C1_LOWER;
    if (iswdigit_l(c, UnicodeLocale())) t |= C1_DIGIT;
    if (iswalpha_l(c, UnicodeLocale())) t |= C1_ALPHA;
    types[i] = t;
  }
  return TRUE;
}

int CompareStringOrdinal(const WCHAR* a, int countA, const WCHAR* b, int countB, BOOL ignoreCase) {
  if (a == nullptr || b == nullptr) return 0;
  const size_t na = countA < 0 ? std::wcslen(a) : static_cast<size_t>(countA);
  const size_t nb = countB < 0 ? std::wcslen(b) : static_cast<size_t>(countB);
  for (size_t i = 0; i < na && i < nb; ++i) {
    auto ca = static_cast<wint_t>(a[i]);
    auto cb = static_cast<wint_t>(b[i]);
    if (ignoreCase) {
      ca = towupper_l(ca, UnicodeLocale());
      cb = towupper_l(cb, UnicodeLocale());
    }
    if (ca != cb) return ca < cb ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
  }
  return na == nb ? CSTR_EQUAL : (na < nb ? CSTR_LESS_THAN : CSTR_GREATER_THAN);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* text, int count, char* out,
                        int outSize, const char* defaultChar, BOOL* usedDefaultChar) {
  if (flags != 0 || text == nullptr || count == 0) return 0;
  const std::u32string points = CodePoints(text, Length(text, count));
  std::string bytes;
  if (codePage == CP_UTF8) {
    if (defaultChar != nullptr || usedDefaultChar != nullptr) return 0;
    for (const char32_t cp : points) AppendUtf8(bytes, cp);
  } else if (codePage == CP_ACP) {
    bool used = false;
    for (const char32_t cp : points) {
      const int b = ToCp1252(cp);
      used = used || b < 0;
      bytes.push_back(b < 0 ? (defaultChar ? *defaultChar : '?') : static_cast<char>(b));
    }
    if (usedDefaultChar != nullptr) *usedDefaultChar = used ? TRUE : FALSE;
  } else {
    return 0;
  }
  return CopyOut(bytes, out, outSize);
}

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int count, WCHAR* out,
                        int outSize) {
  if (flags != 0 || text == nullptr || count == 0) return 0;
  const size_t n = count < 0 ? std::strlen(text) + 1 : static_cast<size_t>(count);
  std::u16string units;
  if (codePage == CP_UTF8) {
    units = FromUtf8(text, n);
  } else if (codePage == CP_ACP) {
    for (size_t i = 0; i < n; ++i) units.push_back(FromCp1252(static_cast<unsigned char>(text[i])));
  } else {
    return 0;
  }
  return CopyOut(units, out, outSize);
}

DWORD ExpandEnvironmentStringsW(const WCHAR* text, WCHAR* out, DWORD outSize) {
  if (text == nullptr) return 0;
  const std::wstring in(text);
  std::wstring expanded;
  size_t i = 0;
  while (i < in.size()) {
    const size_t close = in[i] == L'%' ? in.find(L'%', i + 1) : std::wstring::npos;
    if (close == std::wstring::npos) {
      expanded += in[i++];
      continue;
    }
    const auto value = Variable(in.substr(i + 1, close - i - 1));
    if (!value) {
      expanded += L'%';  // unknown: left as written, the closing % may open the next name
      ++i;
      continue;
    }
    expanded += *value;
    i = close + 1;
  }
  const auto needed = static_cast<DWORD>(expanded.size() + 1);
  if (out != nullptr && outSize >= needed) {
    std::wmemcpy(out, expanded.c_str(), needed);
  }
  return needed;
}

HANDLE CreateFileW(const WCHAR*, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) {
  return INVALID_HANDLE_VALUE;
}
BOOL GetFileSizeEx(HANDLE, LARGE_INTEGER*) { return FALSE; }
BOOL ReadFile(HANDLE, void*, DWORD, DWORD*, void*) { return FALSE; }
DWORD GetFileAttributesW(const WCHAR*) { return INVALID_FILE_ATTRIBUTES; }
DWORD GetFullPathNameW(const WCHAR*, DWORD, WCHAR*, WCHAR**) { return 0; }
DWORD GetLongPathNameW(const WCHAR*, WCHAR*, DWORD) { return 0; }
DWORD GetFinalPathNameByHandleW(HANDLE, WCHAR*, DWORD, DWORD) { return 0; }
BOOL CloseHandle(HANDLE) { return TRUE; }
