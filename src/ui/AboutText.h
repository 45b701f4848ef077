#pragma once
// What the About and like-it dialogs show and open, without a window: the
// translation keys of their controls, the growth of their fonts, and the
// addresses behind their links.

#include <string>
#include <string_view>

namespace quor {

// UTF-8 bytes of `text`, each one outside A-Z, a-z, 0-9 and "-_.~" written as
// "%" and two upper-case hex digits.
std::wstring PercentEncode(std::wstring_view text);

// The vendor's root page ("https://host/").
std::wstring VendorRootPage();
std::wstring VendorDownloadPage();
// A mail to the support address.
std::wstring SupportMailAddress();
// A mail without recipient that recommends the product: subject and an HTML
// body with a link to the product page.
std::wstring ShareMailAddress();
// The like button's page for the vendor's site, and the share page.
std::wstring FacebookLikeAddress();
std::wstring TwitterShareAddress();

// "FrmAbout.<control>.caption", in section "Translation".
std::wstring AboutKey(std::wstring_view control);
// "frmlikeit.<control>.<part>"; the like-it dialog writes buttons'
// "caption" and "hint", labels' "Caption" and images' "Hint".
std::wstring LikeItKey(std::wstring_view control, std::wstring_view part);

// How many points a like-it control's font is larger than the language's.
int LikeItTag(std::wstring_view control);
// A label grows by its tag; a button only when its font is bold.
int LikeItLabelFontSize(int languageSize, int tag);
int LikeItButtonFontSize(int languageSize, bool bold, int tag);

}  // namespace quor
