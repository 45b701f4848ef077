#include "toolkit/QuorMessageForm.h"

#include <windowsx.h>

#include "toolkit/WindowDispatch.h"

namespace quor {

TQuorMessageForm::TQuorMessageForm(HWND owner)
    : THostWindow({.Caption = L"",
                   .Left = 0,
                   .Top = 0,
                   .Width = 1,
                   .Height = 1,
                   .Owner = owner,
                   .ExStyle = WS_EX_LAYERED}) {}

void TQuorMessageForm::SetOwner(HWND owner) {
  if (Handle() && ::GetWindow(Handle(), GW_OWNER) != owner)
    ::SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

LRESULT TQuorMessageForm::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  const POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
      if (OnMouseMove) OnMouseMove(p, (w & MK_LBUTTON) != 0);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (OnMouseDown) OnMouseDown(p);
      return 0;
    case WM_LBUTTONUP:
      if (OnMouseUp) OnMouseUp(p);
      return 0;
    case WM_KEYDOWN:
      if (OnKeyDown) OnKeyDown(UINT(w));
      return 0;
    case WM_CLOSE:
      // Closing from outside (Alt+F4, the taskbar) answers as the close button does.
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
    case WM_GETTEXTLENGTH:
    case WM_GETTEXT:
      return AnswerGetText(msg, w, l, FShownText);
  }
  return THostWindow::HandleMessage(msg, w, l);
}

}  // namespace quor
