#include "toolkit/QuorMenuForm.h"

#include <windowsx.h>

#include "toolkit/QuorUtils.h"

namespace quor {

TQuorMenuForm::TQuorMenuForm(HWND owner, int level)
    : THostWindow({.Caption = L"",
                   .Left = 0,
                   .Top = 0,
                   .Width = 1,
                   .Height = 1,
                   .Owner = owner,
                   .ExStyle = WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE}),
      FLevel(level) {}

void TQuorMenuForm::ShowAt(int left, int top, int alpha) {
  if (!Handle()) return;
  ::SetWindowPos(Handle(), HWND_TOPMOST, left, top, Surface.Width(), Surface.Height(),
                 SWP_NOACTIVATE);
  Present(alpha);
  ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
}

void TQuorMenuForm::Present(int alpha) { PresentLayered(Handle(), Surface, alpha); }

void TQuorMenuForm::Hide() {
  if (Handle()) ::ShowWindow(Handle(), SW_HIDE);
  FTrackingLeave = false;
}

void TQuorMenuForm::TrackLeave() {
  if (FTrackingLeave) return;
  TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
  FTrackingLeave = ::TrackMouseEvent(&track) != FALSE;
}

LRESULT TQuorMenuForm::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  const POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ACTIVATE:
      // Should the system activate the menu anyway, the owner keeps its active look.
      if (LOWORD(w) != WA_INACTIVE) {
        if (HWND owner = ::GetWindow(Handle(), GW_OWNER)) ::SendMessageW(owner, WM_NCACTIVATE, TRUE, 0);
      }
      return 0;
    case WM_ACTIVATEAPP:
      // Every top-level window of the thread hears of the switch, shown or not, so the menu
      // needs no hook on its owner.
      if (!w && OnDeactivateApp) OnDeactivateApp();
      return 0;
    case WM_MOUSEMOVE:
      TrackLeave();
      if (OnMouseMove) OnMouseMove(p);
      return 0;
    case WM_MOUSELEAVE:
      FTrackingLeave = false;
      if (OnMouseLeave) OnMouseLeave();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (OnMouseDown) OnMouseDown(p);
      return 0;
    case WM_LBUTTONUP:
      if (OnMouseUp) OnMouseUp(p);
      return 0;
    case WM_MOUSEWHEEL:
      if (OnWheel) OnWheel(GET_WHEEL_DELTA_WPARAM(w));
      return 0;
    case WM_CLOSE:
      if (OnCloseRequest) OnCloseRequest();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      ::BeginPaint(Handle(), &ps);
      ::EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
  }
  return THostWindow::HandleMessage(msg, w, l);
}

}  // namespace quor
