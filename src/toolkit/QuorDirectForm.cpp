// The frame: loading, surface building, presentation and the host hook.
#include "toolkit/QuorDirectForm.h"

#include "toolkit/WindowDispatch.h"

#include <windowsx.h>

#include <algorithm>
#include <system_error>

namespace quor {
namespace {

constexpr wchar_t kFrameProp[] = L"QuorDirectForm";
constexpr LONG kStyleKeep = 0x7F3BFF7F;  // drops caption, border, frame and the box bits
constexpr LONG kStylePopup = LONG(0x80000000 | 0x000B0000);

}  // namespace

TQuorDirectForm::TQuorDirectForm(THostWindow& host, TQuorFormProps props)
    : FHost(host), FProps(std::move(props)), FCaptionFont(FProps.CaptionFont) {}

void TQuorDirectForm::CreateWindows() {
  FHost.Create();
  if (!FHandle) {
    static const wchar_t* const className =
        RegisterWindowClass(L"QuorDirectForm", &TQuorDirectForm::FrameProc, CS_DBLCLKS);
    RECT client{};
    ::GetClientRect(FHost.Handle(), &client);
    ::CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                      client.right, client.bottom, FHost.Handle(), nullptr,
                      ::GetModuleHandleW(nullptr), this);
    if (!FHandle)
      throw std::system_error(int(::GetLastError()), std::system_category(),
                              "cannot create the frame window");
  }
  if (!FProps.Caption.empty()) FHost.SetCaption(FProps.Caption);
  for (auto& child : FChildren) child->CreateHandle();
}

TQuorDirectForm::~TQuorDirectForm() {
  HWND host = FHost.Handle();
  if (host && FPrevHostProc && ::GetPropW(host, kFrameProp) == this) {
    ::SetWindowLongPtrW(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevHostProc));
    ::RemovePropW(host, kFrameProp);
  }
  FChildren.clear();
  if (FHandle) ::DestroyWindow(FHandle);
}

bool TQuorDirectForm::Resizable() const {
  return FProps.SupportResize || FProps.FormBtns.Has(TQuorFormBtn::QbiMaximize);
}

const TQuorBitmap& TQuorDirectForm::CleanSkin() const {
  return FState == TQuorFormState::QsMax && !FCleanMax.Empty() ? FCleanMax : FCleanNormal;
}

void TQuorDirectForm::Load() {
  if (FLoaded) return;
  CreateWindows();
  HWND host = FHost.Handle();
  {
    TUpdateGuard batch(*this);
    const LONG style = ::GetWindowLongW(host, GWL_STYLE);
    ::SetWindowLongW(host, GWL_STYLE, (style & kStyleKeep) | kStylePopup);
    ::SetWindowLongW(host, GWL_EXSTYLE, ::GetWindowLongW(host, GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetWindowPos(host, nullptr, 0, 0, 0, 0, 0x37);
    ::SetPropW(host, kFrameProp, this);
    FPrevHostProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostHook)));
    BuildSurface(true);
    CreateCaptionButtons();
    ComputeRects();
    DrawLogo();
    DrawCaption();
    FLoaded = true;
    RefreshChildren();
    Present();
  }
  if (FVistaOrLater && FProps.SupportResize) {
    const LONG style = ::GetWindowLongW(host, GWL_STYLE);
    ::SetWindowLongW(host, GWL_STYLE, (style & kStyleKeep) | 0x000F0000);
  }
  if (FirstFormShow) FirstFormShow(*this);
}

void TQuorDirectForm::BuildSurface(bool discardParts) {
  if (discardParts) FParts.reset();
  if (FProps.ImgForm.Empty()) return;
  HWND host = FHost.Handle();
  if (Resizable()) {
    RECT r = FHost.WindowRect();
    const int w = FState == TQuorFormState::QsMax && !FCleanNormal.Empty() ? FCleanNormal.Width()
                                                                           : r.right - r.left;
    const int h = FState == TQuorFormState::QsMax && !FCleanNormal.Empty() ? FCleanNormal.Height()
                                                                           : r.bottom - r.top;
    FSurface.SetSize(w, h);
    const TQuorPadding& s = FProps.FormSplit;
    if (s.HorizontalOrdered() && s.VerticalOrdered()) {
      if (!FParts)
        FParts = CutNineParts(FProps.ImgForm, {s.Left(), s.Top()}, {s.Right(), s.Bottom()},
                              FProps.Alpha, FProps.SkinColor);
      if (FParts) DrawNineParts(FSurface, w, h, *FParts);
    }
    FCleanNormal.CopyFrom(FSurface);
    if (FProps.FormBtns.Has(TQuorFormBtn::QbiMaximize)) BuildMaxSkin(discardParts);
    if (FState == TQuorFormState::QsMax && !FCleanMax.Empty()) FSurface.CopyFrom(FCleanMax);
  } else {
    FSurface.SetSize(FProps.ImgForm.Width(), FProps.ImgForm.Height());
    if (FProps.SkinColor == clNone && FProps.Alpha == 255)
      FProps.ImgForm.Draw(FSurface, 0, 0);
    else
      ColorizeImage(FProps.ImgForm, FProps.SkinColor, FProps.Alpha).Draw(FSurface, 0, 0);
    FCleanNormal.CopyFrom(FSurface);
  }
  if (host && FState == TQuorFormState::QsNormal)
    ::SetWindowPos(host, nullptr, 0, 0, FSurface.Width(), FSurface.Height(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (FHandle)
    ::SetWindowPos(FHandle, nullptr, 0, 0, FSurface.Width(), FSurface.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TQuorDirectForm::WorkArea() const {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  HMONITOR monitor = ::MonitorFromWindow(FHost.Handle(), MONITOR_DEFAULTTONEAREST);
  if (monitor && ::GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

void TQuorDirectForm::BuildMaxSkin(bool force) {
  const RECT wa = WorkArea();
  const int aw = FProps.AlphaWidth;
  const int w = wa.right - wa.left + 2 * aw, h = wa.bottom - wa.top + 2 * aw;
  if (!force && FCleanMax.Width() == w && FCleanMax.Height() == h) return;
  if (!FParts) {
    const TQuorPadding& s = FProps.FormSplit;
    FParts = CutNineParts(FProps.ImgForm, {s.Left(), s.Top()}, {s.Right(), s.Bottom()},
                          FProps.Alpha, FProps.SkinColor);
  }
  if (FParts) DrawNineParts(FCleanMax, w, h, *FParts);
  else FCleanMax.SetSize(w, h);
}

void TQuorDirectForm::Present() {
  HWND host = FHost.Handle();
  if (FUpdateCount > 0) {
    FPresentPending = true;
    return;
  }
  FPresentPending = false;
  if (FMinimized || FSurface.Width() == 0 || !host) return;
  if (OnQuorFormPaint) OnQuorFormPaint(*this, FSurface);
  const RECT r = FHost.WindowRect();
  PresentLayered(host, FSurface, {r.left, r.top}, 255);
  ++FPresentCount;
}

void TQuorDirectForm::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FPresentPending) Present();
}

void TQuorDirectForm::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  if (FHandle) ::EnableWindow(FHandle, enabled);
  if (!enabled) {
    FBackup.CopyFrom(FSurface);
    GrayBitmapInner(FSurface, FProps.AlphaWidth);
  } else if (FBackup.Width() == FSurface.Width() && FBackup.Height() == FSurface.Height()) {
    FSurface.CopyFrom(FBackup);
  }
  Present();
}

void TQuorDirectForm::SetAlpha(int alpha) {
  alpha = std::clamp(alpha, 0, 255);
  if (alpha == FProps.Alpha) return;
  FProps.Alpha = alpha;
  if (!FLoaded) return;
  TUpdateGuard batch(*this);
  BuildSurface(true);
  RelayoutAndRedraw();
  Present();
}

void TQuorDirectForm::SetSkinColor(TColor color) {
  if (color == FProps.SkinColor) return;
  FProps.SkinColor = color;
  if (!FLoaded) return;
  TUpdateGuard batch(*this);
  BuildSurface(true);
  RelayoutAndRedraw();
  Present();
}

void TQuorDirectForm::SetCaption(const std::wstring& caption) {
  FProps.Caption = caption;
  FHost.SetCaption(caption);
  if (!FLoaded) return;
  ComputeRects();
  DrawCaption();
  Present();
}

void TQuorDirectForm::SetCaptionFont(const TFontSpec& font) {
  FCaptionFont.Assign(font);
  FProps.CaptionFont = font;
  // The window's own title (the taskbar's) stays as it is.
  if (!FLoaded) return;
  ComputeRects();
  DrawCaption();
  Present();
}

void TQuorDirectForm::RedrawAll() {
  if (!FLoaded) return;
  TUpdateGuard batch(*this);
  FSurface.CopyFrom(CleanSkin());
  DrawLogo();
  DrawCaption();
  RefreshChildren();
  Present();
}

void TQuorDirectForm::RelayoutAndRedraw() {
  PlaceCaptionButtons();
  ComputeRects();
  DrawLogo();
  DrawCaption();
  RefreshChildren();
}

void TQuorDirectForm::SetHostStyleMinimizable() {
  HWND host = FHost.Handle();
  const LONG style = ::GetWindowLongW(host, GWL_STYLE);
  ::SetWindowLongW(host, GWL_STYLE, (style & kStyleKeep) | 0x00C40000 | 0x000B0000);
}

bool TQuorDirectForm::HostMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  switch (msg) {
    case WM_SETFOCUS:
      if (FHandle) ::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, 0x35);
      if (FMinimized) {
        HWND host = FHost.Handle();
        const LONG style = ::GetWindowLongW(host, GWL_STYLE);
        const LONG add = FProps.SupportResize && FVistaOrLater ? LONG(0x800F0000) : LONG(0x800B0000);
        ::SetWindowLongW(host, GWL_STYLE, (style & 0x7F30FF7F) + add);
        FMinimized = false;
        Present();
      }
      return false;
    case WM_NCCALCSIZE:
      if (!FProps.SupportResize || !w) return false;
      {
        const RECT& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(l)->rgrc[0];
        const int width = r.right - r.left, height = r.bottom - r.top;
        // Only a resize of the normal window by the user; maximise and restore size the
        // window and its surface themselves.
        if (FLoaded && !FMinimized && FVistaOrLater && FState == TQuorFormState::QsNormal &&
            (width != FSurface.Width() || height != FSurface.Height())) {
          TUpdateGuard batch(*this);
          FCleanNormal.SetSize(0, 0);
          ::SetWindowPos(FHandle, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
          FSurface.SetSize(width, height);
          if (FParts) DrawNineParts(FSurface, width, height, *FParts);
          FCleanNormal.CopyFrom(FSurface);
          if (OnQuorFormResize) OnQuorFormResize(*this);
          RelayoutAndRedraw();
          Present();
        }
      }
      result = 0;
      return true;
    case WM_SYSCOMMAND:
      if ((w & 0xFFF0) == SC_MINIMIZE) {
        SetHostStyleMinimizable();
        FMinimized = true;
      } else if ((w & 0xFFF0) == SC_MAXIMIZE) {
        Maximize();
        result = 0;
        return true;
      }
      return false;
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ::ScreenToClient(FHost.Handle(), &p);
      result = ResizeHitTest(p);
      return result != HTNOWHERE;
    }
    case WM_KEYDOWN:
      if (w != VK_TAB) return false;
      FocusNext(::GetKeyState(VK_SHIFT) < 0);
      result = 0;
      return true;
    case WM_MOUSEWHEEL:
      DispatchWheel(GET_WHEEL_DELTA_WPARAM(w), {GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      result = 0;
      return true;
    case WM_NCDESTROY:
      ::RemovePropW(FHost.Handle(), kFrameProp);
      return false;
  }
  return false;
}

LRESULT CALLBACK TQuorDirectForm::HostHook(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept {
  auto* self = static_cast<TQuorDirectForm*>(::GetPropW(hwnd, kFrameProp));
  if (!self) return ::DefWindowProcW(hwnd, msg, w, l);
  WNDPROC previous = self->FPrevHostProc;
  LRESULT result = 0;
  try {
    if (self->HostMessage(msg, w, l, result)) return result;
  } catch (...) {
  }
  return ::CallWindowProcW(previous, hwnd, msg, w, l);
}

LRESULT CALLBACK TQuorDirectForm::FrameProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept {
  return DispatchToOwner(hwnd, msg, w, l, &TQuorDirectForm::FHandle, &TQuorDirectForm::FrameMessage);
}

}  // namespace quor
