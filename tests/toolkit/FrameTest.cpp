#include <gtest/gtest.h>

#include "GuiHelpers.h"
#include "PixelFixtures.h"
#include "toolkit/QuorUtils.h"

namespace quor {
namespace {

using test::At;
using test::Bgra;
using test::Centre;
using test::Click;
using test::Pump;

TPngImage Solid(int w, int h, TColor c) { return CreateColorImage(w, h, c, 255); }
TPngImage Strip(TColor c) { return Solid(3 * 20, 20, c); }

constexpr TColor kClose = 0x0000FF, kSingleClose = 0x00FF00, kMin = 0xFF0000, kSingleMin = 0xFFFF00;

TQuorFormProps PlainProps(TQuorFormBtns buttons, bool supportResize) {
  TQuorFormProps p;
  p.SupportResize = supportResize;
  p.AlphaWidth = 4;
  p.ImgForm = Solid(120, 90, 0xEEEEEE);
  p.FormSplit = {10, 40, 110, 80};
  p.FormBtns = buttons;
  p.ImgBtnClose = Strip(kClose);
  p.ImgBtnSingleClose = Strip(kSingleClose);
  p.ImgBtnMin = Strip(kMin);
  p.ImgBtnSingleMin = Strip(kSingleMin);
  p.ImgBtnMax = Strip(0x808080);
  p.ImgBtnRestore = Strip(0x404040);
  p.ImgBtnMenu = Strip(0x202020);
  p.ImgLogo = Solid(16, 16, 0x00FFFF);
  return p;
}

struct FrameFixture {
  explicit FrameFixture(TQuorFormBtns buttons, bool mainForm = false, bool supportResize = false)
      : host({.Left = 50, .Top = 50, .Width = 400, .Height = 300, .MainForm = mainForm}),
        form(std::make_unique<TQuorDirectForm>(host, PlainProps(buttons, supportResize))) {
    form->Load();
    host.Show(SW_SHOWNOACTIVATE);
    Pump();
  }
  ~FrameFixture() {
    form.reset();
    Pump();
  }
  Bgra NormalColour(const wchar_t* name) { return At(form->CaptionButton(name)->BtnNormal, 0, 0); }

  test::TRecordingHost host;
  std::unique_ptr<TQuorDirectForm> form;
};

Bgra Colour(TColor c) { return {ColorBlue(c), ColorGreen(c), ColorRed(c), 255}; }

TEST(Frame, WithoutCaptionButtonsTakesTheSkinsSizeAndTheSingleClose) {
  FrameFixture f({});
  const RECT r = f.host.WindowRect();
  EXPECT_EQ(r.right - r.left, 120);
  EXPECT_EQ(r.bottom - r.top, 90);
  EXPECT_EQ(f.form->Surface().Width(), 120);
  EXPECT_EQ(f.NormalColour(L"BtnClose"), Colour(kSingleClose));
  EXPECT_EQ(f.form->CaptionButton(L"BtnMin"), nullptr);
  // Close sits at Width - AlphaWidth - close width - 4, top at AlphaWidth.
  EXPECT_EQ(f.form->CaptionButton(L"BtnClose")->Bounds().Left, 120 - 4 - 20 - 4);
  EXPECT_EQ(f.form->CaptionButton(L"BtnClose")->Bounds().Top, 4);
}

TEST(Frame, PicksTheSingleOrSharedStripsByTheButtonSet) {
  FrameFixture onlyMin({TQuorFormBtn::QbiMinimize});
  EXPECT_EQ(onlyMin.NormalColour(L"BtnMin"), Colour(kSingleMin));
  EXPECT_EQ(onlyMin.NormalColour(L"BtnClose"), Colour(kClose));
  FrameFixture withMenu({TQuorFormBtn::QbiMinimize, TQuorFormBtn::QbiMenu});
  EXPECT_EQ(withMenu.NormalColour(L"BtnMin"), Colour(kMin));
  // Right to left: close, minimise, menu.
  const int close = withMenu.form->CaptionButton(L"BtnClose")->Bounds().Left;
  EXPECT_EQ(withMenu.form->CaptionButton(L"BtnMin")->Bounds().Left, close - 20);
  EXPECT_EQ(withMenu.form->CaptionButton(L"BtnMenu")->Bounds().Left, close - 40);
}

TEST(Frame, DragsFromTheCaptionButNotFromTheLogoNorWhenMaximised) {
  FrameFixture f({TQuorFormBtn::QbiMaximize});
  HWND h = f.form->Handle();
  int logoClicks = 0;
  f.form->OnLogoClick = [&](TQuorDirectForm&) { ++logoClicks; };
  const POINT logo = Centre(f.form->LogoRect());
  test::Mouse(h, WM_MOUSEMOVE, logo.x, logo.y);
  test::Mouse(h, WM_LBUTTONDOWN, logo.x, logo.y, MK_LBUTTON);
  test::Mouse(h, WM_MOUSEMOVE, logo.x + 1, logo.y, MK_LBUTTON);
  test::Mouse(h, WM_LBUTTONUP, logo.x + 1, logo.y);
  EXPECT_EQ(f.host.Moves, 0);
  EXPECT_EQ(logoClicks, 1);

  test::Mouse(h, WM_MOUSEMOVE, 60, 20, MK_LBUTTON);  // caption area
  EXPECT_EQ(f.host.Moves, 1);
  test::Mouse(h, WM_MOUSEMOVE, 60, 60, MK_LBUTTON);  // below the caption, CanMoveAny off
  EXPECT_EQ(f.host.Moves, 1);

  f.form->Maximize();
  ASSERT_EQ(f.form->FormState(), TQuorFormState::QsMax);
  test::Mouse(h, WM_MOUSEMOVE, 60, 20, MK_LBUTTON);
  EXPECT_EQ(f.host.Moves, 1);
}

TEST(Frame, RestoreGivesBackTheSizeAndPlaceFromBeforeMaximise) {
  for (const bool supportResize : {false, true}) {
    SCOPED_TRACE(supportResize ? "SupportResize" : "fixed size");
    FrameFixture f({TQuorFormBtn::QbiMaximize}, false, supportResize);
    const RECT before = f.host.WindowRect();
    ASSERT_EQ(before.right - before.left, 400);
    const int closeLeft = f.form->CaptionButton(L"BtnClose")->Bounds().Left;

    f.form->Maximize();
    ASSERT_EQ(f.form->FormState(), TQuorFormState::QsMax);
    const RECT wa = test::WorkAreaOf(f.host.Handle());
    const RECT maxed = f.host.WindowRect();
    ASSERT_EQ(maxed.right - maxed.left, wa.right - wa.left + 2 * 4);

    f.form->Restore();
    Pump();
    ASSERT_EQ(f.form->FormState(), TQuorFormState::QsNormal);
    const RECT after = f.host.WindowRect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, 400);
    EXPECT_EQ(after.bottom - after.top, 300);
    EXPECT_EQ(f.form->Surface().Width(), 400);
    EXPECT_EQ(f.form->Surface().Height(), 300);
    EXPECT_EQ(f.form->CaptionButton(L"BtnClose")->Bounds().Left, closeLeft);
  }
}

// With SupportResize the host answers the edges of the skin (inside its shadow
// margin) as resize borders, and the frame lets those points through to it.
TEST(Frame, ResizeBordersAnswerOnlyWithSupportResize) {
  enum TSpot { kNear, kMiddle, kFar };
  struct TEdge {
    TSpot x, y;  // a point 1 pixel inside the 4-pixel shadow margin, or the middle
    LRESULT withResize;
  };
  const TEdge edges[] = {
      {kNear, kMiddle, HTLEFT},    {kFar, kMiddle, HTRIGHT},  {kMiddle, kNear, HTTOP},
      {kMiddle, kFar, HTBOTTOM},   {kNear, kNear, HTTOPLEFT}, {kFar, kFar, HTBOTTOMRIGHT},
      {kNear, kFar, HTBOTTOMLEFT}, {kFar, kNear, HTTOPRIGHT}, {kMiddle, kMiddle, HTCLIENT},
  };
  for (const bool supportResize : {true, false}) {
    FrameFixture f({}, false, supportResize);
    const int w = f.form->Surface().Width(), h = f.form->Surface().Height();
    auto place = [](TSpot spot, int size) {
      return spot == kNear ? 5 : spot == kFar ? size - 6 : size / 2;
    };
    for (const TEdge& e : edges) {
      POINT screen{place(e.x, w), place(e.y, h)};
      SCOPED_TRACE(testing::Message()
                   << (supportResize ? "resizable " : "fixed ") << screen.x << "," << screen.y);
      ::ClientToScreen(f.host.Handle(), &screen);
      const LPARAM l = MAKELPARAM(screen.x, screen.y);
      const LRESULT host = ::SendMessageW(f.host.Handle(), WM_NCHITTEST, 0, l);
      const LRESULT frame = ::SendMessageW(f.form->Handle(), WM_NCHITTEST, 0, l);
      if (supportResize && e.withResize != HTCLIENT) {
        EXPECT_EQ(host, e.withResize);
        EXPECT_EQ(frame, HTTRANSPARENT);
      } else {
        EXPECT_EQ(host, HTCLIENT);
        EXPECT_EQ(frame, HTCLIENT);
      }
    }
  }
}

// A translation changes the caption buttons' tooltips while the window is open;
// one on screen shows the new text at once.
TEST(Frame, CaptionHintsChangeAtRunTime) {
  FrameFixture f({TQuorFormBtn::QbiMinimize});
  TWDFButton* close = f.form->CaptionButton(L"BtnClose");
  const POINT at = Centre(close->SurfaceRect());
  test::Mouse(f.form->Handle(), WM_MOUSEMOVE, at.x, at.y);
  f.form->SetCaptionHint(L"BtnClose", L"Schließen");
  f.form->SetCaptionHint(L"BtnMin", L"Minimieren");
  EXPECT_EQ(close->Hint(), L"Schließen");
  EXPECT_EQ(f.form->CaptionButton(L"BtnMin")->Hint(), L"Minimieren");
  EXPECT_EQ(f.form->Props().BtnCloseHint, L"Schließen");
  EXPECT_EQ(f.host.HintText(f.form->Handle()), L"Schließen");
}

// Hovering from row to row shows one hint after another for the same tool.
// The text handed over belongs to the caller (a row's caption): showing it
// must never write the previous hint into it, nor past its end.
TEST(Frame, HintsNeverWriteIntoTheCallersText) {
  FrameFixture f({});
  const HWND tool = f.form->Handle();
  const std::wstring before =
      L"C:\\users\\demo\\AppData\\Roaming\\Demo Sketch\\" + std::wstring(300, L'x');
  const std::wstring after = L"HKEY_CURRENT_USER\\Software\\Demo";
  struct Step {
    const std::wstring& Text;
    bool CancelFirst;
  };
  for (const Step& step :
       {Step{before, false}, Step{after, false}, Step{before, true}, Step{after, true}}) {
    if (step.CancelFirst) f.host.CancelHint(tool);
    std::wstring shown = step.Text;  // a buffer of the caller's, as long as its text
    shown.shrink_to_fit();
    f.host.ShowHint(tool, shown);
    EXPECT_EQ(shown, step.Text);
    EXPECT_EQ(f.host.HintText(tool), step.Text);
  }
}

TEST(Frame, MinimiseOfASecondaryWindowClosesIt) {
  FrameFixture f({TQuorFormBtn::QbiMinimize});
  Click(f.form->Handle(), Centre(f.form->CaptionButton(L"BtnMin")->SurfaceRect()));
  EXPECT_EQ(f.host.Handle(), nullptr);
}

TEST(Frame, ARefusedCloseQueryKeepsTheMainWindowOpen) {
  FrameFixture f({TQuorFormBtn::QbiMinimize}, true);
  int queries = 0;
  f.form->OnQuorCloseQuery = [&](TQuorDirectForm&, bool& canClose) {
    ++queries;
    canClose = false;
  };
  const POINT close = Centre(f.form->CaptionButton(L"BtnClose")->SurfaceRect());
  const int quits = test::QuitsPumped();
  Click(f.form->Handle(), close);
  EXPECT_EQ(queries, 1);
  EXPECT_TRUE(::IsWindow(f.host.Handle()));
  EXPECT_EQ(test::QuitsPumped(), quits);
  f.form->OnQuorCloseQuery = [&](TQuorDirectForm&, bool&) { ++queries; };
  Click(f.form->Handle(), close);
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(f.host.Handle(), nullptr);
  // The main window's end ends the application.
  EXPECT_EQ(test::QuitsPumped(), quits + 1);
}

TEST(Frame, AlphaChangeRebuildsTheSkinAndPresentsOnce) {
  FrameFixture f({});
  const int presents = f.form->PresentCount();
  f.form->SetAlpha(128);
  EXPECT_EQ(f.form->PresentCount(), presents + 1);
  // 255 * 128 div 255 = 128 at a pixel of the skin's body.
  EXPECT_EQ(At(f.form->Surface(), 60, 60)[3], 128);
}

}  // namespace
}  // namespace quor
