// The About and like-it dialogs as real windows: translated from a language
// file written for the test, driven with window messages inside their modal
// loops, state read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "app/FileVersion.h"
#include "app/LangText.h"
#include "support/TempFolder.h"
#include "ui/AboutWindow.h"
#include "ui/LikeItWindow.h"
#include "ui/VendorInfo.h"
#include "ui/WebAddress.h"

namespace quor {
namespace {

constexpr UINT_PTR kActTimer = 77;

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void Click(HWND target, POINT at) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  ::SendMessageW(target, WM_MOUSEMOVE, 0, where);
  ::SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
  ::SendMessageW(target, WM_LBUTTONUP, 0, where);
}

// Runs `act` once the modal loop runs; a dialog still open two seconds later
// is closed with IDABORT, so that a fault fails the test instead of hanging it.
template <typename Window>
int ShowAndAct(Window& window, const std::function<void()>& act) {
  window.SetTimer(kActTimer, 30, [&] {
    window.KillTimer(kActTimer);
    act();
    window.SetTimer(kActTimer + 1, 2000, [&] {
      window.KillTimer(kActTimer + 1);
      window.SetModalResult(IDABORT);
    });
  });
  const int result = window.ShowModal();
  window.KillTimer(kActTimer + 1);
  return result;
}

// A language file in UTF-16 with the given lines, in use while the object lives.
class TestLanguage {
 public:
  explicit TestLanguage(const std::wstring& lines) {
    std::wstring text = L"\xFEFF[Lang]\r\nNativeLanguage=Test\r\n" + lines;
    const std::string bytes(reinterpret_cast<const char*>(text.data()),
                            text.size() * sizeof(wchar_t));
    SetLanguageFile(FFolder.MakeFile(L"Test.ini", bytes));
    ReloadLangTexts();
  }
  ~TestLanguage() {
    SetLanguageFile(L"");
    ReloadLangTexts();
  }

 private:
  test::TempFolder FFolder{L"QuorAbout"};
};

std::wstring ExecutablePath() {
  wchar_t path[MAX_PATH] = {};
  return std::wstring(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
}

std::wstring LabelText(const TFrmAbout& d, const wchar_t* name) {
  const TQuorDirectLabel* l = d.Label(name);
  return l ? l->Caption() : L"<no label " + std::wstring(name) + L">";
}

TEST(AboutDialog, LanguageWithoutKeysShowsTheDesignTextsAndTheExecutablesVersion) {
  const std::optional<TFileVersion> own = ReadFileVersion(ExecutablePath());
  ASSERT_TRUE(own.has_value()) << "the test executable carries a version resource";
  const std::wstring version = VersionText(*own);
  ASSERT_NE(version, L"1.00 beta");

  TestLanguage language(L"[Translation]\r\n");
  TFrmAbout dialog(nullptr);
  const int result = ShowAndAct(dialog, [&] {
    const RECT window = dialog.WindowRect();
    EXPECT_EQ(window.right - window.left, TFrmAbout::kClientWidth);
    EXPECT_EQ(window.bottom - window.top, TFrmAbout::kClientHeight);
    EXPECT_EQ(dialog.Form().Caption(), L"About");
    EXPECT_EQ(LabelText(dialog, L"lblverinfo"), version);
    const std::pair<const wchar_t*, std::wstring> design[] = {
        {L"lblver", L"Current Version:"},
        {L"lblemail", L"Support Email:"},
        {L"lblsupport", kSupportEmail},
        {L"lblhome", L"HomePage:"},
        {L"lblweb", kVendorSite},
        {L"lblthank", L"Thanks for the following their controbutions"},
        {L"lbl", kContributors}};
    for (const auto& [name, text] : design) EXPECT_EQ(LabelText(dialog, name), text) << name;
    for (const wchar_t* link : {L"lblsupport", L"lblweb"})
      EXPECT_FALSE(dialog.Label(link)->CaptionCut()) << "a link shows its whole address";
    EXPECT_EQ(dialog.OkButton().Caption(), L"Ok");
    EXPECT_TRUE(dialog.Form().CaptionButton(L"BtnClose"));
    EXPECT_FALSE(dialog.Form().CaptionButton(L"BtnMin"));
    dialog.Close();
  });
  EXPECT_NE(result, IDABORT);
}

TEST(AboutDialog, TranslatesEveryControlButTheNamesAndKeepsTheVersion) {
  TestLanguage language(
      L"[Translation]\r\nDefaultFontSize=10\r\nFrmAbout.caption=Info\r\n"
      L"frmabout.lblver.CAPTION=Version:\r\nFrmAbout.lblverinfo.caption=never shown\r\n"
      L"FrmAbout.lblweb.caption=Web\r\nFrmAbout.lbl.caption=Nobody\r\n"
      L"FrmAbout.btnok.caption=Schliessen\r\n[GUI]\r\nButtonClose=Zu\r\n");
  TFrmAbout dialog(nullptr);
  ShowAndAct(dialog, [&] {
    EXPECT_EQ(dialog.Form().Caption(), L"Info");
    EXPECT_EQ(LabelText(dialog, L"lblver"), L"Version:");
    EXPECT_EQ(LabelText(dialog, L"lblweb"), L"Web");
    EXPECT_EQ(LabelText(dialog, L"lblverinfo"), VersionText(OwnFileVersion()));
    EXPECT_EQ(LabelText(dialog, L"lbl"), kContributors) << "the names are never translated";
    EXPECT_EQ(dialog.Label(L"lblver")->Font().Size, 10);
    EXPECT_EQ(dialog.OkButton().Caption(), L"Schliessen");
    EXPECT_EQ(dialog.OkButton().Fonts()[0].Size, 10);
    ASSERT_TRUE(dialog.Form().CaptionButton(L"BtnClose"));
    EXPECT_EQ(dialog.Form().CaptionButton(L"BtnClose")->Hint(), L"Zu");
    dialog.Close();
  });
}

TEST(AboutDialog, EnterEscapeAndTheCloseButtonCloseIt) {
  const struct {
    const char* Name;
    std::function<void(TFrmAbout&)> Leave;
  } cases[] = {
      {"Enter on Ok",
       [](TFrmAbout& d) { ::SendMessageW(d.OkButton().Handle(), WM_KEYDOWN, VK_RETURN, 0); }},
      {"Enter on the dialog",
       [](TFrmAbout& d) { ::PostMessageW(d.Form().Handle(), WM_KEYDOWN, VK_RETURN, 0); }},
      {"Escape",
       [](TFrmAbout& d) { ::PostMessageW(d.OkButton().Handle(), WM_KEYDOWN, VK_ESCAPE, 0); }},
      {"close button",
       [](TFrmAbout& d) {
         TWDFButton* close = d.Form().CaptionButton(L"BtnClose");
         ASSERT_TRUE(close);
         Click(d.Form().Handle(), Centre(close->SurfaceRect()));
       }},
      {"Ok clicked",
       [](TFrmAbout& d) {
         Click(d.OkButton().Handle(), {10, 10});
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TFrmAbout dialog(nullptr);
    EXPECT_NE(ShowAndAct(dialog, [&] { c.Leave(dialog); }), IDABORT) << "still open";
  }
}

TEST(LikeItDialog, FontsGrowByTagFromTheLanguagesSizeAndKeysAreCaseFree) {
  TestLanguage language(
      L"[Translation]\r\nDefaultFontSize=9\r\nFrmLikeit.caption=Gefaellt\r\n"
      L"FRMLIKEIT.lblrate.caption=Bewerten:\r\nfrmlikeit.imgrate.hint=Sterne\r\n"
      L"frmlikeit.btndownload.Caption=Laden\r\n");
  Tfrmlikeit dialog(nullptr);
  const int result = ShowAndAct(dialog, [&] {
    const RECT window = dialog.WindowRect();
    EXPECT_EQ(window.right - window.left, Tfrmlikeit::kClientWidth);
    EXPECT_EQ(window.bottom - window.top, Tfrmlikeit::kClientHeight);
    for (const TFontSpec& font : dialog.DownloadButton().Fonts()) EXPECT_EQ(font.Size, 11);
    EXPECT_EQ(dialog.Label(L"lblTitle")->Font().Size, 10);
    EXPECT_NE(dialog.Label(L"lblTitle")->Font().Style & fsBold, 0);
    EXPECT_EQ(dialog.Label(L"lblinfo")->Font().Size, 9);
    EXPECT_EQ(dialog.Form().Caption(), L"Gefaellt");
    EXPECT_EQ(dialog.Label(L"lblrate")->Caption(), L"Bewerten:");
    EXPECT_EQ(dialog.Label(L"lblshare")->Caption(), L"Share Quor Uninstaller:");
    EXPECT_EQ(dialog.Image(L"imgrate")->Hint(), L"Sterne");
    EXPECT_EQ(dialog.DownloadButton().Caption(), L"Laden");
    ::PostMessageW(dialog.Form().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_NE(result, IDABORT) << "Escape did not close it";
}

TEST(LikeItDialog, WithoutKeysShowsTheDefaultTitleAndCloses) {
  const struct {
    const char* Name;
    std::function<void(Tfrmlikeit&)> Leave;
  } cases[] = {
      {"Enter", [](Tfrmlikeit& d) { ::PostMessageW(d.Form().Handle(), WM_KEYDOWN, VK_RETURN, 0); }},
      {"close button",
       [](Tfrmlikeit& d) {
         TWDFButton* close = d.Form().CaptionButton(L"BtnClose");
         ASSERT_TRUE(close);
         Click(d.Form().Handle(), Centre(close->SurfaceRect()));
       }},
  };
  TestLanguage language(L"[Translation]\r\n");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Tfrmlikeit dialog(nullptr);
    const int result = ShowAndAct(dialog, [&] {
      EXPECT_EQ(dialog.Form().Caption(), kLikeItTitle);
      EXPECT_EQ(dialog.Image(L"imgrate")->Hint(), L"Give us 5 star award");
      EXPECT_EQ(dialog.DownloadButton().Fonts()[0].Size, kDefaultFontSize + 2);
      c.Leave(dialog);
    });
    EXPECT_NE(result, IDABORT) << "still open";
  }
}

}  // namespace
}  // namespace quor
