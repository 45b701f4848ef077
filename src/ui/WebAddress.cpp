#include "ui/WebAddress.h"

#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "app/UpdateCheck.h"
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

namespace {

bool HasOpenHandler(const wchar_t* scheme) {
  for (ASSOCSTR what : {ASSOCSTR_COMMAND, ASSOCSTR_DELEGATEEXECUTE}) {
    wchar_t buffer[2048] = {};
    DWORD length = 2048;
    if (::AssocQueryStringW(ASSOCF_NONE, what, scheme, L"open", buffer, &length) == S_OK &&
        buffer[0] != 0)
      return true;
  }
  return false;
}

std::wstring BuiltInBrowser() {
  PWSTR folder = nullptr;
  std::wstring path;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_ProgramFiles, 0, nullptr, &folder)) && folder)
    path = std::wstring(folder) + L"\\Internet Explorer\\iexplore.exe";
  ::CoTaskMemFree(folder);
  const DWORD attributes =
      path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? path
                                                                                           : L"";
}

// The scheme's own handler with the address as its document: the shell
// never looks at the address as a file. Without a handler the shell would
// fall back to the text itself, so nothing is opened then.
bool OpenWithSchemeHandler(HWND owner, const std::wstring& address) {
  const wchar_t* scheme = address.starts_with(L"https:") ? L"https" : L"http";
  if (!HasOpenHandler(scheme)) return false;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_CLASSNAME | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpVerb = L"open";
  info.lpFile = address.c_str();
  info.lpClass = scheme;
  info.nShow = SW_SHOWNORMAL;
  return ::ShellExecuteExW(&info) != FALSE;
}

}  // namespace

bool OpenWebPage(HWND owner, const std::wstring& text) {
  const auto address = ParseWebAddress(Trim(text));
  if (!address) return false;
  OSVERSIONINFOW info{sizeof(info)};
  // The version as the manifest lets the program see it is what decides here.
  const bool known = ::GetVersionExW(&info) != FALSE;
  if (known && UseBuiltInBrowser(info.dwMajorVersion, info.dwMinorVersion, *address)) {
    const std::wstring browser = BuiltInBrowser();
    if (!browser.empty()) {
      return reinterpret_cast<INT_PTR>(::ShellExecuteW(
                 owner, L"open", browser.c_str(), address->c_str(), nullptr, SW_SHOWNORMAL)) > 32;
    }
  }
  return OpenWithSchemeHandler(owner, *address);
}

void OpenWebAddress(HWND owner, const std::wstring& text) {
  const std::wstring trimmed = Trim(text);
  if (trimmed.empty()) return;
  if (OpenWebPage(owner, trimmed)) return;
  const DWORD attributes = ::GetFileAttributesW(trimmed.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    ::ShellExecuteW(owner, L"open", trimmed.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
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
