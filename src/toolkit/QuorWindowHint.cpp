#include "toolkit/QuorWindowHint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quor {
namespace {

constexpr UINT_PTR kAnimationTimer = 1;

}  // namespace

TQuorHintForm::TQuorHintForm(HWND owner)
    : THostWindow({.Caption = L"",
                   .Left = 0,
                   .Top = 0,
                   .Width = 10,
                   .Height = 10,
                   .Owner = owner,
                   .ExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE}) {}

LRESULT TQuorHintForm::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_CLOSE:
      ErrorCode = w;
      CloseCode = l;
      if (OnCloseQuery && !OnCloseQuery()) return 0;
      ::KillTimer(Handle(), kAnimationTimer);
      ReadyShow = false;
      if (OnClosed) OnClosed();
      // The window is kept for the next ShowBusy; a modal loop ends through its result.
      SetModalResult(IDOK);
      ::ShowWindow(Handle(), SW_HIDE);
      return 0;
  }
  return THostWindow::HandleMessage(msg, w, l);
}

TQuorWindowHint::TQuorWindowHint(TProps props)
    : FProps(std::move(props)), FFont(FProps.Font), FPrecentFont(FProps.PrecentFont) {}

TQuorWindowHint::~TQuorWindowHint() {
  FClosing = true;
  FForm.reset();
}

void TQuorWindowHint::PrepareBusy(HWND owner) {
  FForm = std::make_unique<TQuorHintForm>(owner);
  FForm->Create();
  FForm->OnCloseQuery = [this] { return FForm->CloseCode == TQuorHintForm::kCloseCode || FClosing; };
  FForm->OnClosed = [this] { Closed(); };
}

HWND TQuorWindowHint::BusyHandle() const { return FForm ? FForm->Handle() : nullptr; }

// A text too long for the background widens it (its middle stretches), up to
// kMaxWidth; beyond that the text ends in an ellipsis.
void TQuorWindowHint::Compose(const std::wstring& text) {
  constexpr int kMaxWidth = 640;
  const int aw = FProps.AlphaWidth;
  const int count = std::max(FProps.FrameCount, 1);
  const int fw = FProps.ImgAni.Width() / count, fh = FProps.ImgAni.Height();
  const SIZE size = MeasureText(text, FFont);
  TPngImage form = FProps.ImgForm;
  const int needed = 2 * aw + fw + 4 + int(size.cx) + 16;
  if (needed > form.Width() && form.Width() > 4 * aw) {
    const int third = form.Width() / 3;
    if (auto wide = StretchThreePartHor(form, third, form.Width() - third, 255, clNone,
                                        std::min(needed, kMaxWidth)))
      form = std::move(*wide);
  }
  FComposed.SetSize(form.Width(), form.Height());
  form.Draw(FComposed, 0, 0);
  const int room = form.Width() - 2 * aw - fw - 4;
  int frameLeft, textLeft, textRight;
  if (size.cx > room) {
    frameLeft = aw + 2;
    textLeft = frameLeft + fw + 2;
    textRight = form.Width() - aw - 2;
  } else {
    // A short text sits centred together with the animation.
    frameLeft = (form.Width() - (fw + 4 + size.cx)) / 2;
    textLeft = frameLeft + fw + 4;
    textRight = textLeft + size.cx;
  }
  const int frameTop = (form.Height() - fh) / 2;
  FFrameRect = {frameLeft, frameTop, frameLeft + fw, frameTop + fh};
  const int textTop = (form.Height() - size.cy) / 2;
  DrawSurfaceText(FComposed, {textLeft, textTop, textRight, textTop + size.cy}, text, FFont,
                  kTextLeft);
}

std::wstring TQuorWindowHint::PrecentText() const {
  // The share of the range already passed, measured from Min.
  const int span = FProps.Max - FProps.Min;
  const int value = span > 0 ? int(std::trunc(double(FProps.Precent - FProps.Min) * 100 / span)) : 0;
  if (value == 0) return L"0%";
  wchar_t buffer[32];
  std::swprintf(buffer, 32, L"%.2d%%", value);
  return buffer;
}

void TQuorWindowHint::ShowBusy(bool useNewHint, int left, bool modal, int top) {
  if (!FForm || !FForm->Handle()) return;
  Compose(useNewHint ? FProps.NewHint : FProps.RestoreHint);
  HWND h = FForm->Handle();
  ::SetWindowPos(h, nullptr, 0, 0, FComposed.Width(), FComposed.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (left == 0 && top == 0) FForm->CenterOnOwner();
  else ::SetWindowPos(h, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  FFrame = 0;
  FForm->ReadyShow = true;
  FForm->SetTimer(kAnimationTimer, FProps.DrawInterval, [this] { Tick(); });
  FForm->SetCursor(FProps.WorkCusor ? FProps.WorkCusor : ::LoadCursorW(nullptr, IDC_APPSTARTING));
  Present();
  if (modal) FForm->ShowModal();
  else FForm->Show(SW_SHOWNOACTIVATE);
}

void TQuorWindowHint::Tick() {
  FFrame = FFrame + 1 >= FProps.FrameCount ? 0 : FFrame + 1;
  Present();
}

void TQuorWindowHint::Present() {
  if (!FForm || !FForm->Handle() || FComposed.Empty()) return;
  FSurface.CopyFrom(FComposed);
  if (auto frame = CutFrameHor(FProps.ImgAni, FProps.FrameCount, FFrame))
    frame->Draw(FSurface, FFrameRect.left, FFrameRect.top);
  if (FProps.ShowPrecent)
    DrawSurfaceText(FSurface, FFrameRect, PrecentText(), FPrecentFont, kTextCenter);
  const RECT r = FForm->WindowRect();
  PresentLayered(FForm->Handle(), FSurface, {r.left, r.top}, FProps.Alpha);
}

void TQuorWindowHint::Closed() {
  if (FForm) FForm->SetCursor(nullptr);
  if (OnClose) OnClose();
}

}  // namespace quor
