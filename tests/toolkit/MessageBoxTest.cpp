// The message box shown modally and answered from a timer, as a user would: keys, clicks,
// centring and the size of a box enlarged for a long message.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "GuiHelpers.h"
#include "MenuGallery.h"
#include "toolkit/QuorMessageLoop.h"

namespace quor {
namespace {

using test::Centre;
using test::Pump;

class MessageBoxGui : public ::testing::Test {
 protected:
  void SetUp() override {
    owner.Create();
    owner.Show(SW_SHOW);
    Pump();
    box = std::make_unique<TQuorMessageBox>(SkinnedMessageBoxProps());
  }
  void TearDown() override {
    owner.KillTimer(1);
    box.reset();
    Pump();
  }
  // Shows the box; once it is up, `drive` runs with its window (from a timer of the owner).
  int Show(int buttonSet, const std::function<void(HWND)>& drive,
           const std::wstring& message = L"Remove the leftovers?", bool centreOnScreen = false) {
    owner.SetTimer(1, 30, [this, drive] {
      owner.KillTimer(1);
      HWND h = box->Form()->Handle();
      ::GetWindowRect(h, &shownAt);
      drive(h);
      // Whatever the driver did, the box must not stay open for ever.
      owner.SetTimer(1, 1000, [this] {
        owner.KillTimer(1);
        timedOut = true;
        ::PostMessageW(box->Form()->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
      });
    });
    return box->ShowMsg(L"Quor Uninstaller", message, centreOnScreen, owner.Handle(), buttonSet,
                        kMsgConfirmation);
  }
  static void Key(HWND h, UINT key) { ::SendMessageW(h, WM_KEYDOWN, key, 0); }

  THostWindow owner{{.Caption = L"owner", .Left = 150, .Top = 120, .Width = 640, .Height = 420}};
  std::unique_ptr<TQuorMessageBox> box;
  RECT shownAt{};
  bool timedOut = false;
};

TEST_F(MessageBoxGui, EnterAnswersYesAtOnceAndNoAfterAnArrowKey) {
  EXPECT_EQ(Show(kMsgButtonsYesNo, [](HWND h) { Key(h, VK_RETURN); }), kMsgResultYes);
  EXPECT_EQ(Show(kMsgButtonsYesNo,
                 [](HWND h) {
                   Key(h, VK_RIGHT);
                   Key(h, VK_RETURN);
                 }),
            kMsgResultNo);
  EXPECT_EQ(Show(kMsgButtonsOk, [](HWND h) {
              Key(h, VK_RIGHT);  // nothing to move to
              Key(h, VK_RETURN);
            }),
            kMsgResultOk);
  EXPECT_FALSE(timedOut);
  EXPECT_FALSE(::IsWindowVisible(box->Form()->Handle()));
  EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
}

TEST_F(MessageBoxGui, EscapeAndTheCloseButtonAnswerOneInBothSets) {
  for (int set : {kMsgButtonsYesNo, kMsgButtonsOk}) {
    EXPECT_EQ(Show(set, [](HWND h) { Key(h, VK_ESCAPE); }), kMsgResultOk) << set;
    EXPECT_EQ(Show(set, [this](HWND h) { test::Click(h, Centre(box->Layout().Close)); }),
              kMsgResultOk)
        << set;
  }
  EXPECT_FALSE(timedOut);
}

TEST_F(MessageBoxGui, AClickOnAButtonAnswersButReleasingOutsideItDoesNot) {
  bool stillOpen = false;
  int pressedFrame = -1;
  const int answer = Show(kMsgButtonsYesNo, [&](HWND h) {
    const POINT no = Centre(box->Layout().Button1);
    test::Mouse(h, WM_MOUSEMOVE, no.x, no.y);
    test::Mouse(h, WM_LBUTTONDOWN, no.x, no.y, MK_LBUTTON);
    pressedFrame = box->Buttons().ButtonFrame(1);
    test::Mouse(h, WM_MOUSEMOVE, 2, 2, MK_LBUTTON);
    test::Mouse(h, WM_LBUTTONUP, 2, 2);
    stillOpen = ::IsWindowVisible(h) && box->Buttons().ButtonFrame(1) != 2;
    test::Click(h, no);
  });
  EXPECT_EQ(pressedFrame, 2);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(answer, kMsgResultNo);
  EXPECT_FALSE(timedOut);
}

TEST_F(MessageBoxGui, TheBoxCentresOverItsOwnerOrOnTheWorkArea) {
  Show(kMsgButtonsOk, [](HWND h) { Key(h, VK_RETURN); });
  const RECT o = owner.WindowRect();
  const int w = shownAt.right - shownAt.left, h = shownAt.bottom - shownAt.top;
  EXPECT_EQ(w, box->Image().Width());
  EXPECT_EQ(shownAt.left, o.left + (o.right - o.left - w) / 2);
  EXPECT_EQ(shownAt.top, o.top + (o.bottom - o.top - h) / 2);
  Show(kMsgButtonsOk, [](HWND hwnd) { Key(hwnd, VK_RETURN); }, L"Centred", true);
  const RECT work = test::WorkAreaOf(owner.Handle());
  EXPECT_EQ(shownAt.left, work.left + (work.right - work.left - w) / 2);
  EXPECT_EQ(shownAt.top, work.top + (work.bottom - work.top - h) / 2);
}

TEST_F(MessageBoxGui, ALongMessageEnlargesTheBoxAndWrapsInThreeRows) {
  const TQuorMessageBox::TProps& p = box->Props();
  Show(kMsgButtonsOk, [](HWND h) { Key(h, VK_RETURN); });
  EXPECT_EQ(box->Image().Width(), p.ImgForm.Width());  // a short message keeps the skin's size
  EXPECT_EQ(box->Image().Height(), p.ImgForm.Height());

  std::wstring message;
  for (int i = 0; i < 12; ++i) message += L"A folder and a registry key were left behind. ";
  Show(kMsgButtonsYesNo, [](HWND h) { Key(h, VK_ESCAPE); }, message);
  const SIZE one = MeasureText(message, TQuorFont(p.FontMsg));
  EXPECT_EQ(box->Image().Width(), p.ImgMsg.Width() + one.cx / 3 + 2 * p.AlphaWidth + 10);
  EXPECT_EQ(shownAt.right - shownAt.left, box->Image().Width());
  EXPECT_EQ(box->MsgRowCount(), 3);
  // The text wraps: its third row has ink.
  const RECT& m = box->Layout().Message;
  EXPECT_EQ(m.bottom - m.top, (one.cy + 2) * 3);
  const TQuorBitmap& image = box->Image();
  bool thirdRowInk = false;
  for (int y = m.top + 2 * (one.cy + 2); y < m.bottom; ++y)
    for (int x = m.left; x < m.right; ++x) {
      const uint8_t* px = image.Pixel(x, y);
      thirdRowInk |= px[0] < 0x80 && px[1] < 0x80 && px[2] < 0x80 && px[3] == 255;
    }
  EXPECT_TRUE(thirdRowInk);
}

// Scripts and screen readers read the box through its window text; a box
// of several lines shows each on a row, and the next box is sized afresh.
TEST_F(MessageBoxGui, TheBoxTellsItsTextAndGivesEachLineARow) {
  std::wstring shown;
  Show(kMsgButtonsOk, [&](HWND h) {
    wchar_t text[256] = {};
    ::GetWindowTextW(h, text, 256);
    shown = text;
    Key(h, VK_RETURN);
  });
  EXPECT_EQ(shown, L"Quor Uninstaller\r\nRemove the leftovers?");
  const SIZE single{box->Image().Width(), box->Image().Height()};

  std::wstring lines = L"These items could not be removed:";
  for (int i = 0; i < 12; ++i)
    lines += L"\nC:\\Program Files\\Fabrikam\\file" + std::to_wstring(i) + L".dll";
  Show(
      kMsgButtonsOk, [](HWND h) { Key(h, VK_RETURN); }, lines);
  const TQuorMessageBox::TProps& p = box->Props();
  const SIZE line = MeasureText(L"C:\\Program Files\\Fabrikam\\file10.dll", TQuorFont(p.FontMsg));
  const RECT& m = box->Layout().Message;
  EXPECT_GE(m.right - m.left, line.cx);
  EXPECT_EQ(m.bottom - m.top, (line.cy + 2) * 13);
  EXPECT_LT(m.bottom, box->Layout().Button1.top);

  Show(kMsgButtonsOk, [](HWND h) { Key(h, VK_RETURN); });
  EXPECT_EQ(box->Image().Width(), single.cx);
  EXPECT_EQ(box->Image().Height(), single.cy);
  EXPECT_FALSE(timedOut);
}

}  // namespace
}  // namespace quor
