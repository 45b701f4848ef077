// The About and like-it dialogs' rules without a window: the addresses behind
// their links, their translation keys and the growth of their fonts.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/AboutText.h"

namespace quor {
namespace {

// The text that `encoded` stands for; percent signs must start two hex digits.
std::wstring PercentDecode(const std::wstring& encoded) {
  std::string bytes;
  for (size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] == L'%' && i + 2 < encoded.size()) {
      bytes += char(std::stoi(std::wstring(encoded.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      bytes += char(encoded[i]);
    }
  }
  std::wstring text(bytes.size(), L'\0');
  text.resize(size_t(::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), text.data(),
                                           int(text.size()))));
  return text;
}

TEST(AboutText, PercentEncodingWritesUtf8BytesAndKeepsOnlyUnreservedCharacters) {
  const struct {
    std::wstring Text, Encoded;
  } cases[] = {
      {L"", L""},
      {L"Az09-_.~", L"Az09-_.~"},
      {L"a b&c=d?e#f+g/h:i", L"a%20b%26c%3Dd%3Fe%23f%2Bg%2Fh%3Ai"},
      {L"<a href=\"x\">", L"%3Ca%20href%3D%22x%22%3E"},
      {L"M\u00fcller \u20ac", L"M%C3%BCller%20%E2%82%AC"},
      {L"\U0001F600", L"%F0%9F%98%80"},  // a surrogate pair is one character
      {L"100%", L"100%25"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.Text));
    EXPECT_EQ(PercentEncode(c.Text), c.Encoded);
    EXPECT_EQ(PercentDecode(c.Encoded), c.Text);
  }
}

TEST(AboutText, LinkAddressesCarryTheirQueryKeysInOrder) {
  const std::wstring root = L"https%3A%2F%2Fwww.quor-uninstaller.example%2F";
  const struct {
    const char* Name;
    std::wstring Address, Expected;
  } cases[] = {
      {"support", SupportMailAddress(), L"mailto:support@quor-uninstaller.example"},
      {"root", VendorRootPage(), L"https://www.quor-uninstaller.example/"},
      {"download", VendorDownloadPage(), L"https://www.quor-uninstaller.example/download.html"},
      {"like", FacebookLikeAddress(),
       L"https://www.facebook.com/plugins/like.php?href=" + root +
           L"&layout=button_count&show_faces=false&width=100&action=like&font=arial"
           L"&layout=button_count"},
      {"share", TwitterShareAddress(),
       L"https://twitter.com/share?original_referer=" + root +
           L"&source=tweetbutton&text=Fast%20and%20easy%20to%20clean%20junk%20files%20and%20traces."
           L"&url=" +
           root + L"&via=QuorUninstaller"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.Address, c.Expected);
  }
}

TEST(AboutText, ShareMailHasAnEncodedSubjectAndAnHtmlBodyWithTheProductLink) {
  const std::wstring mail = ShareMailAddress();
  const std::wstring head = L"mailto:?subject=";
  ASSERT_EQ(mail.rfind(head, 0), 0u) << "no recipient, the subject first";
  // Only the separator of the two values is a bare "&"; nothing needs quoting.
  const size_t amp = mail.find(L'&');
  ASSERT_NE(amp, std::wstring::npos);
  EXPECT_EQ(mail.find(L'&', amp + 1), std::wstring::npos);
  EXPECT_EQ(mail.find_first_of(L" <>\"#?", head.size()), std::wstring::npos);
  ASSERT_EQ(mail.compare(amp, 6, L"&body="), 0);

  EXPECT_EQ(PercentDecode(mail.substr(head.size(), amp - head.size())),
            L"Please Try Quor Uninstaller! - It will uninstall your software and remove all "
            L"related registry and leftovers.");
  const std::wstring body = PercentDecode(mail.substr(amp + 6));
  EXPECT_NE(body.find(L"<a href=\"https://www.quor-uninstaller.example/quoruninstallerfree.html\">"
                      L"Please Try Quor Uninstaller!</a> It will uninstall your software and "
                      L"remove all related registry and leftovers."),
            std::wstring::npos)
      << testing::PrintToString(body);
  EXPECT_EQ(body.rfind(L"<html>", 0), 0u);
}

TEST(AboutText, TranslationKeysAndFontGrowth) {
  EXPECT_EQ(AboutKey(L"lblverinfo"), L"FrmAbout.lblverinfo.caption");
  EXPECT_EQ(LikeItKey(L"lblTitle", L"Caption"), L"frmlikeit.lblTitle.Caption");
  EXPECT_EQ(LikeItKey(L"imgrate", L"Hint"), L"frmlikeit.imgrate.Hint");

  // With the language's size 9 the download button ends at 11 and the title at 10.
  const struct {
    const wchar_t* Control;
    bool Button, Bold;
    int Size;
  } cases[] = {
      {L"btndownload", true, true, 11},
      {L"btndownload", true, false, 9},  // a button grows only when bold
      {L"lblTitle", false, true, 10},
      {L"lblinfo", false, false, 9},
      {L"lbldownload", false, false, 9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.Control)));
    const int tag = LikeItTag(c.Control);
    EXPECT_EQ(c.Button ? LikeItButtonFontSize(9, c.Bold, tag) : LikeItLabelFontSize(9, tag),
              c.Size);
  }
}

}  // namespace
}  // namespace quor
