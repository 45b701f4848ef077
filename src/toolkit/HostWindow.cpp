#include "toolkit/HostWindow.h"

#include <commctrl.h>

#include <cwchar>
#include <system_error>

#include "toolkit/QuorMessageLoop.h"
#include "toolkit/WindowDispatch.h"

namespace quor {

void THostWindow::Create() {
  if (FHandle) return;
  static const wchar_t* const className =
      RegisterWindowClass(L"QuorHostWindow", &THostWindow::WndProc, CS_DBLCLKS,
                          ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));
  ::CreateWindowExW(FParams.ExStyle, className, FParams.Caption.c_str(), WS_POPUP | WS_CLIPCHILDREN,
                    FParams.Left, FParams.Top, FParams.Width, FParams.Height, FParams.Owner,
                    nullptr, ::GetModuleHandleW(nullptr), this);
  if (!FHandle)
    throw std::system_error(int(::GetLastError()), std::system_category(),
                            "cannot create a window");
}

THostWindow::~THostWindow() {
  if (FTooltip) ::DestroyWindow(FTooltip);
  if (FHandle) ::DestroyWindow(FHandle);
}

RECT THostWindow::WindowRect() const {
  RECT r{};
  if (FHandle) ::GetWindowRect(FHandle, &r);
  return r;
}

void THostWindow::SetCaption(const std::wstring& caption) {
  FParams.Caption = caption;
  if (FHandle) ::SetWindowTextW(FHandle, caption.c_str());
}

void THostWindow::Show(int command) {
  if (FHandle) ::ShowWindow(FHandle, command);
}

namespace {

// Disabling the owner takes the keyboard focus from it, and an owner that
// stays active (the modal window never took activation) gets no activation
// message to set it again; an owner activated again focuses only itself.
// Either way, give the focus back to the control that had it.
void GiveFocusBack(HWND owner, HWND focus) {
  if (!owner || ::GetActiveWindow() != owner) return;
  const HWND now = ::GetFocus();
  if (now && now != owner) return;  // a control has taken it already
  const bool usable = focus && ::IsWindow(focus) && (focus == owner || ::IsChild(owner, focus)) &&
                      ::IsWindowVisible(focus) && ::IsWindowEnabled(focus);
  if (usable)
    ::SetFocus(focus);
  else if (!now)
    ::SetFocus(owner);
}

}  // namespace

int THostWindow::ShowModal() {
  if (!FHandle) return 0;
  HWND owner = ::GetWindow(FHandle, GW_OWNER);
  const HWND focus = ::GetFocus();
  if (owner) ::EnableWindow(owner, FALSE);
  FModalResult = 0;
  FInModalLoop = true;
  // A window that never takes activation (the busy window) is not activated
  // by showing it modally either; under Wine an activated window also
  // becomes one the window manager must release, which costs seconds to hide.
  Show((FParams.ExStyle & WS_EX_NOACTIVATE) ? SW_SHOWNOACTIVATE : SW_SHOW);
  TMessageLoop::Run([this] { return !FHandle || FModalResult != 0; });
  FInModalLoop = false;
  // The owner is enabled before this window hides, or the system activates another application.
  if (owner) ::EnableWindow(owner, TRUE);
  if (FHandle) ::ShowWindow(FHandle, SW_HIDE);
  GiveFocusBack(owner, focus);
  return FModalResult;
}

void THostWindow::Close() {
  if (FHandle) ::SendMessageW(FHandle, WM_CLOSE, 0, 0);
}

void THostWindow::CenterOnOwner() {
  if (!FHandle) return;
  RECT area{};
  HWND owner = ::GetWindow(FHandle, GW_OWNER);
  if (owner)
    ::GetWindowRect(owner, &area);
  else
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT me = WindowRect();
  const int w = me.right - me.left, h = me.bottom - me.top;
  ::SetWindowPos(FHandle, nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void THostWindow::SetTimer(UINT_PTR id, UINT milliseconds, std::function<void()> onTick) {
  FTimers[id] = std::move(onTick);
  if (FHandle) ::SetTimer(FHandle, id, milliseconds, nullptr);
}

void THostWindow::KillTimer(UINT_PTR id) {
  if (FHandle) ::KillTimer(FHandle, id);
  FTimers.erase(id);
}

void THostWindow::EnsureTooltip() {
  if (FTooltip || !FHandle) return;
  FHintTools.clear();
  FTooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX, 0,
                               0, 0, 0, FHandle, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

// The tooltip is told the text, never asked for it into the caller's string:
// TTM_GETTOOLINFOW copies the tool's current text into lpszText, which would
// overwrite (and overrun) `text`. Which tools are added is known here.
void THostWindow::ShowHint(HWND tool, const std::wstring& text) {
  EnsureTooltip();
  if (!FTooltip) return;
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = FHandle;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<wchar_t*>(text.c_str());  // read only by these two messages
  if (FHintTools.insert(tool).second) {
    ::SendMessageW(FTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    RelayPointer(tool);
  } else {
    ::SendMessageW(FTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  }
  ::SendMessageW(FTooltip, TTM_ACTIVATE, TRUE, 0);
}

// A tool added under a pointer that has stopped would wait for the next
// move before its hint comes: the tooltip is told where the pointer is.
void THostWindow::RelayPointer(HWND tool) {
  POINT p{};
  if (!::GetCursorPos(&p) || ::WindowFromPoint(p) != tool || !::ScreenToClient(tool, &p)) return;
  MSG move{};
  move.hwnd = tool;
  move.message = WM_MOUSEMOVE;
  move.lParam = MAKELPARAM(p.x, p.y);
  ::SendMessageW(FTooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

void THostWindow::CancelHint(HWND tool) {
  if (!FTooltip) return;
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.hwnd = FHandle;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  ::SendMessageW(FTooltip, TTM_POP, 0, 0);
  if (FHintTools.erase(tool))
    ::SendMessageW(FTooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

std::wstring THostWindow::HintText(HWND tool) const {
  if (!FTooltip) return {};
  // A tooltip copies up to INFOTIPSIZE (1024) characters whatever size is
  // given (Wine ignores the size), so the buffer holds that many and the NUL.
  std::wstring text(1025, L'\0');
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.hwnd = FHandle;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = text.data();
  ::SendMessageW(FTooltip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&info));
  text.resize(std::wcslen(text.c_str()));
  return text;
}

LRESULT THostWindow::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_TIMER: {
      auto it = FTimers.find(w);
      if (it != FTimers.end()) {
        auto callback = it->second;  // the callback may kill its own timer
        callback();
      }
      return 0;
    }
    case WM_SETCURSOR:
      if (FCursor && LOWORD(l) == HTCLIENT) {
        ::SetCursor(FCursor);
        return TRUE;
      }
      break;
    case WM_CLOSE:
      if (FInModalLoop) {
        if (FModalResult == 0) FModalResult = IDCANCEL;
        return 0;
      }
      ::DestroyWindow(FHandle);
      return 0;
    case WM_DESTROY:
      if (FParams.MainForm) ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(FHandle, msg, w, l);
}

LRESULT CALLBACK THostWindow::WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept {
  return DispatchToOwner(hwnd, msg, w, l, &THostWindow::FHandle, &THostWindow::HandleMessage);
}

}  // namespace quor
