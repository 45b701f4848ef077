#include "ui/WebAddress.h"

#include <shellapi.h>

#include "base/Text.h"

#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // GetVersionExW
#elif defined(_MSC_VER)
#pragma warning(disable : 4996)  // GetVersionExW
#endif

namespace quor {

bool UseBuiltInBrowser(DWORD major, DWORD minor, const std::wstring& text) {
  if (major != 6 || minor <= 1) return false;
  std::wstring lower = text;
  for (wchar_t& c : lower)
    if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
  return lower.find(L"http") != std::wstring::npos;
}

void OpenWebAddress(HWND owner, const std::wstring& text) {
  if (Trim(text).empty()) return;
  OSVERSIONINFOW info{sizeof(info)};
  // The version as the manifest lets the program see it is what decides here.
  const bool known = ::GetVersionExW(&info) != FALSE;
  if (known && UseBuiltInBrowser(info.dwMajorVersion, info.dwMinorVersion, text))
    ::ShellExecuteW(owner, L"open", L"IExplore.EXE", text.c_str(), nullptr, SW_SHOWNORMAL);
  else
    ::ShellExecuteW(owner, L"open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quor

namespace quor {

std::wstring SearchAddress(const std::wstring& text) {
  std::string utf8;
  if (!text.empty()) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    utf8.resize(size_t(n));
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), utf8.data(), n, nullptr,
                          nullptr);
  }
  static const wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring query;
  for (unsigned char c : utf8) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      query += wchar_t(c);
    } else {
      query += L'%';
      query += kHex[c >> 4];
      query += kHex[c & 15];
    }
  }
  return std::wstring(kSearchSite) + L"/search?q=" + query + L"&ie=UTF-8";
}

}  // namespace quor
