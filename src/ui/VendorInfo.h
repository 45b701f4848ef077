#pragma once
// The vendor's contact data and the pages of the About and like-it dialogs,
// in one place. The site itself is kVendorSite (ui/WebAddress.h).

namespace quor {

inline constexpr wchar_t kSupportEmail[] = L"support@quor-uninstaller.example";
inline constexpr wchar_t kDownloadPath[] = L"/download.html";

// The vendor's accounts: the name Twitter mentions, and both pages.
inline constexpr wchar_t kTwitterAccount[] = L"QuorUninstaller";
inline constexpr wchar_t kFacebookPage[] = L"https://www.facebook.com/QuorUninstaller";
inline constexpr wchar_t kTwitterPage[] = L"https://twitter.com/QuorUninstaller";

// The hosts of the like button and of the share page.
inline constexpr wchar_t kFacebookHost[] = L"https://www.facebook.com";
inline constexpr wchar_t kTwitterHost[] = L"https://twitter.com";

// Those who helped, as the About dialog thanks them.
inline constexpr wchar_t kContributors[] =
    L"Anna, Bruno, Chen, Dalia, Emre, Fatima, Goran, Hiroshi, Ines, Jonas, Katya, Lucas, "
    L"Maren, Nikos, Olga, Priya, Rafael, Sofia, Tomasz, Yusuf";

inline constexpr wchar_t kLikeItTitle[] = L"Like Quor Uninstaller";

}  // namespace quor
