#include "toolkit/HostWindow.h"

#include <commctrl.h>

namespace quor {
namespace {

constexpr wchar_t kHostClass[] = L"QuorHostWindow";

void RegisterHostClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = THostWindow::WndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = kHostClass;
    return ::RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

}  // namespace

THostWindow::THostWindow(const THostParams& params) : FMainForm(params.MainForm) {
  RegisterHostClass();
  ::CreateWindowExW(0, kHostClass, params.Caption.c_str(), WS_POPUP | WS_CLIPCHILDREN,
                    params.Left, params.Top, params.Width, params.Height, params.Owner, nullptr,
                    ::GetModuleHandleW(nullptr), this);
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
  if (FHandle) ::SetWindowTextW(FHandle, caption.c_str());
}

void THostWindow::Show(int command) {
  if (FHandle) ::ShowWindow(FHandle, command);
}

int THostWindow::ShowModal() {
  if (!FHandle) return 0;
  HWND owner = ::GetWindow(FHandle, GW_OWNER);
  if (owner) ::EnableWindow(owner, FALSE);
  FModalResult = 0;
  FInModalLoop = true;
  Show(SW_SHOW);
  MSG msg;
  while (FHandle && FModalResult == 0 && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  FInModalLoop = false;
  // The owner is enabled before this window hides, or the system activates another application.
  if (owner) ::EnableWindow(owner, TRUE);
  if (FHandle) ::ShowWindow(FHandle, SW_HIDE);
  return FModalResult;
}

void THostWindow::Close() {
  if (FHandle) ::SendMessageW(FHandle, WM_CLOSE, 0, 0);
}

void THostWindow::CenterOnOwner() {
  if (!FHandle) return;
  RECT area{};
  HWND owner = ::GetWindow(FHandle, GW_OWNER);
  if (owner) ::GetWindowRect(owner, &area);
  else ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
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
  FTooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                               0, 0, 0, 0, FHandle, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

void THostWindow::ShowHint(HWND tool, const std::wstring& text) {
  EnsureTooltip();
  if (!FTooltip) return;
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = FHandle;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  if (!::SendMessageW(FTooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)))
    ::SendMessageW(FTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(FTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  ::SendMessageW(FTooltip, TTM_ACTIVATE, TRUE, 0);
}

void THostWindow::CancelHint(HWND tool) {
  if (!FTooltip) return;
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.hwnd = FHandle;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  ::SendMessageW(FTooltip, TTM_POP, 0, 0);
  ::SendMessageW(FTooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
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
      if (FMainForm) ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(FHandle, msg, w, l);
}

LRESULT CALLBACK THostWindow::WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept {
  THostWindow* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<THostWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    self->FHandle = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<THostWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(hwnd, msg, w, l);
  LRESULT result = 0;
  try {
    result = self->HandleMessage(msg, w, l);
  } catch (...) {
    result = ::DefWindowProcW(hwnd, msg, w, l);
  }
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->FHandle = nullptr;
  }
  return result;
}

}  // namespace quor
