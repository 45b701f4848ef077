#pragma once
// The vendor's web site and the web search, in one place, and opening an
// address with the system's handler.

#include <windows.h>

#include <string>

namespace quor {

inline constexpr wchar_t kVendorSite[] = L"https://www.quor-uninstaller.example";
inline constexpr wchar_t kHelpPath[] = L"/PCE/Help/freeuninstaller/";
inline constexpr wchar_t kProductPath[] = L"/quoruninstallerfree.html";
inline constexpr wchar_t kTranslationPath[] = L"/language.html";
// The update-information file; Config.ini may name a mirror instead.
inline constexpr wchar_t kUpdatePath[] = L"/update/kztverinfo.txt";

// True where a web address must go to the built-in browser: Windows 8 and
// 8.1 (version 6.2 and 6.3) and any text with "http" in it.
bool UseBuiltInBrowser(DWORD major, DWORD minor, const std::wstring& text);

// Opens a web address (see ParseWebAddress) in the browser: the built-in
// one where UseBuiltInBrowser says so, else the handler registered for the
// address's scheme, never whatever the shell would make of the text. False,
// with nothing opened, for any other text or when no browser is registered.
bool OpenWebPage(HWND owner, const std::wstring& text);

// A web address as OpenWebPage does; an existing folder in its window;
// nothing for any other text.
void OpenWebAddress(HWND owner, const std::wstring& text);

}  // namespace quor

namespace quor {

inline constexpr wchar_t kSearchSite[] = L"https://www.google.com";

// The search engine's result page for a text, percent-encoded as UTF-8 so
// that "&", "#", "+" and blanks stay part of what is searched for.
std::wstring SearchAddress(const std::wstring& text);

}  // namespace quor
