#include "ui/AboutText.h"

#include <windows.h>

#include "ui/VendorInfo.h"
#include "ui/WebAddress.h"

namespace quor {
namespace {

constexpr wchar_t kShareSubject[] =
    L"Please Try Quor Uninstaller! - It will uninstall your software and remove all related "
    L"registry and leftovers.";
constexpr wchar_t kShareLinkText[] = L"Please Try Quor Uninstaller!";
constexpr wchar_t kShareText[] =
    L" It will uninstall your software and remove all related registry and leftovers.";
constexpr wchar_t kTweetText[] = L"Fast and easy to clean junk files and traces.";

std::string Utf8(std::wstring_view text) {
  std::string utf8;
  if (text.empty()) return utf8;
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                      nullptr, nullptr);
  utf8.resize(size_t(n));
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), utf8.data(), n, nullptr,
                        nullptr);
  return utf8;
}

}  // namespace

std::wstring PercentEncode(std::wstring_view text) {
  static const wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring out;
  for (unsigned char c : Utf8(text)) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out += wchar_t(c);
    } else {
      out += L'%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::wstring VendorRootPage() { return std::wstring(kVendorSite) + L"/"; }

std::wstring VendorDownloadPage() { return std::wstring(kVendorSite) + kDownloadPath; }

std::wstring SupportMailAddress() { return std::wstring(L"mailto:") + kSupportEmail; }

std::wstring ShareMailAddress() {
  const std::wstring body = std::wstring(L"<html><body><a href=\"") + kVendorSite + kProductPath +
                            L"\">" + kShareLinkText + L"</a>" + kShareText + L"</body></html>";
  return L"mailto:?subject=" + PercentEncode(kShareSubject) + L"&body=" + PercentEncode(body);
}

std::wstring FacebookLikeAddress() {
  return std::wstring(kFacebookHost) + L"/plugins/like.php?href=" +
         PercentEncode(VendorRootPage()) +
         L"&layout=button_count&show_faces=false&width=100&action=like&font=arial"
         L"&layout=button_count";
}

std::wstring TwitterShareAddress() {
  const std::wstring root = PercentEncode(VendorRootPage());
  return std::wstring(kTwitterHost) + L"/share?original_referer=" + root +
         L"&source=tweetbutton&text=" + PercentEncode(kTweetText) + L"&url=" + root + L"&via=" +
         PercentEncode(kTwitterAccount);
}

std::wstring AboutKey(std::wstring_view control) {
  return L"FrmAbout." + std::wstring(control) + L".caption";
}

std::wstring LikeItKey(std::wstring_view control, std::wstring_view part) {
  return L"frmlikeit." + std::wstring(control) + L"." + std::wstring(part);
}

int LikeItTag(std::wstring_view control) {
  if (control == L"lblTitle") return 1;
  if (control == L"btndownload") return 2;
  return 0;
}

int LikeItLabelFontSize(int languageSize, int tag) { return languageSize + tag; }

int LikeItButtonFontSize(int languageSize, bool bold, int tag) {
  return bold ? languageSize + tag : languageSize;
}

}  // namespace quor
