#pragma once
// Look-up of translated texts and fonts in the language file in use. The
// parsed texts are cached on first use and reloaded when the language
// changes; every function here may be called from any thread.

#include <windows.h>

#include <concepts>
#include <string>
#include <string_view>

namespace quor {

inline constexpr wchar_t kDefaultFontName[] = L"Tahoma";
inline constexpr int kDefaultFontSize = 8;

// Full path of the language file in use; empty until the first load.
std::wstring LanguageFile();
void SetLanguageFile(const std::wstring& path);

// `fallback` when section or key is empty, when no language file can be
// loaded, or when the key is absent; an empty value yields an empty text.
std::wstring GetLangText(std::wstring_view section, std::wstring_view key,
                         std::wstring_view fallback);
// Drops the cached texts and loads them again from LanguageFile().
void ReloadLangTexts();

// These read the language file itself, not the cache.
BYTE GetLangCharset();
std::wstring GetLangFontName();
int GetLangFontSize();

// The character set named by a font character-set constant ("GB2312_CHARSET"),
// or DEFAULT_CHARSET for a name it does not know.
BYTE CharsetFromName(std::wstring_view name);

// Face name, character set and size pass from one font to another; colour
// and style of the target stay.
template <typename Font>
concept FontFace = requires(Font f) {
  f.Name;
  f.Charset;
  f.Size;
};

template <FontFace Font>
void CopyFontFace(Font& target, const Font& source) {
  target.Name = source.Name;
  target.Charset = source.Charset;
  target.Size = source.Size;
}

void CopyFontFace(LOGFONTW& target, const LOGFONTW& source);

}  // namespace quor
