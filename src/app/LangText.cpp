#include "app/LangText.h"

#include <cwchar>
#include <mutex>
#include <optional>

#include "app/IniFile.h"
#include "base/Text.h"
#include "base/FileExists.h"

namespace quor {
namespace {

struct TLangCache {
  std::mutex Lock;
  std::wstring File;
  std::optional<TIniText> Texts;
  bool Loaded = false;
};

TLangCache& Cache() {
  static TLangCache cache;
  return cache;
}

// Caller holds the lock.
void LoadIfNeeded(TLangCache& cache) {
  if (cache.Loaded || cache.File.empty() || !FileExistsEx(cache.File)) return;
  cache.Texts = LoadIniFile(cache.File);
  cache.Loaded = true;
}

std::optional<TIniText> ReadLanguageFile() {
  const std::wstring file = LanguageFile();
  if (file.empty() || !FileExistsEx(file)) return std::nullopt;
  return LoadIniFile(file);
}

struct TCharsetName {
  const wchar_t* Name;
  BYTE Charset;
};

constexpr TCharsetName kCharsets[] = {
    {L"ANSI_CHARSET", ANSI_CHARSET},
    {L"DEFAULT_CHARSET", DEFAULT_CHARSET},
    {L"SYMBOL_CHARSET", SYMBOL_CHARSET},
    {L"MAC_CHARSET", MAC_CHARSET},
    {L"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},
    {L"HANGEUL_CHARSET", HANGEUL_CHARSET},
    {L"HANGUL_CHARSET", HANGUL_CHARSET},
    {L"JOHAB_CHARSET", JOHAB_CHARSET},
    {L"GB2312_CHARSET", GB2312_CHARSET},
    {L"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET},
    {L"GREEK_CHARSET", GREEK_CHARSET},
    {L"TURKISH_CHARSET", TURKISH_CHARSET},
    {L"VIETNAMESE_CHARSET", VIETNAMESE_CHARSET},
    {L"HEBREW_CHARSET", HEBREW_CHARSET},
    {L"ARABIC_CHARSET", ARABIC_CHARSET},
    {L"BALTIC_CHARSET", BALTIC_CHARSET},
    {L"RUSSIAN_CHARSET", RUSSIAN_CHARSET},
    {L"THAI_CHARSET", THAI_CHARSET},
    {L"EASTEUROPE_CHARSET", EASTEUROPE_CHARSET},
    {L"OEM_CHARSET", OEM_CHARSET},
};

}  // namespace

std::wstring LanguageFile() {
  auto& cache = Cache();
  std::lock_guard lock(cache.Lock);
  return cache.File;
}

void SetLanguageFile(const std::wstring& path) {
  auto& cache = Cache();
  std::lock_guard lock(cache.Lock);
  cache.File = path;
}

std::wstring GetLangText(std::wstring_view section, std::wstring_view key,
                         std::wstring_view fallback) {
  if (section.empty() || key.empty()) return std::wstring(fallback);
  auto& cache = Cache();
  std::lock_guard lock(cache.Lock);
  LoadIfNeeded(cache);
  if (!cache.Texts) return std::wstring(fallback);
  return cache.Texts->Read(section, key, fallback);
}

void ReloadLangTexts() {
  auto& cache = Cache();
  std::lock_guard lock(cache.Lock);
  cache.Texts.reset();
  cache.Loaded = false;
  LoadIfNeeded(cache);
}

BYTE CharsetFromName(std::wstring_view name) {
  const std::wstring trimmed = Trim(name);
  for (const auto& entry : kCharsets) {
    if (SameTextAscii(trimmed, entry.Name)) return entry.Charset;
  }
  return DEFAULT_CHARSET;
}

BYTE GetLangCharset() {
  const auto texts = ReadLanguageFile();
  if (!texts) return DEFAULT_CHARSET;
  return CharsetFromName(texts->Read(L"Translation", L"DefaultCharSet", L"ANSI_CHARSET"));
}

std::wstring GetLangFontName() {
  const auto texts = ReadLanguageFile();
  if (!texts) return kDefaultFontName;
  // An empty face would leave the choice of font to GDI's mapper.
  std::wstring name = Trim(texts->Read(L"Translation", L"DefaultFont", kDefaultFontName));
  return name.empty() ? std::wstring(kDefaultFontName) : name;
}

int GetLangFontSize() {
  const auto texts = ReadLanguageFile();
  if (!texts) return kDefaultFontSize;
  const std::wstring value = Trim(texts->Read(L"Translation", L"DefaultFontSize", L""));
  if (value.empty() || value.size() > 3) return kDefaultFontSize;
  int size = 0;
  for (wchar_t c : value) {
    if (c < L'0' || c > L'9') return kDefaultFontSize;
    size = size * 10 + (c - L'0');
  }
  // Sizes that no window can use are taken for a typing error.
  return (size >= 1 && size <= 72) ? size : kDefaultFontSize;
}

void CopyFontFace(LOGFONTW& target, const LOGFONTW& source) {
  std::wmemcpy(target.lfFaceName, source.lfFaceName, LF_FACESIZE);
  target.lfCharSet = source.lfCharSet;
  target.lfHeight = source.lfHeight;
}

}  // namespace quor
