#include "toolkit/QuorDirectControl.h"

#include "toolkit/WindowDispatch.h"

#include <windowsx.h>

#include <algorithm>

#include "toolkit/QuorDirectForm.h"

namespace quor {

// ---- common base ----------------------------------------------------------

TQuorControlBase::TQuorControlBase(TQuorContainer& parent, const TControlProps& props)
    : FParent(parent),
      FFrame(parent.ContainerFrame()),
      FParentControl(parent.AsParentControl()),
      FName(props.Name),
      FBounds(props.Bounds),
      FVisible(props.Visible),
      FEnabled(props.Enabled),
      FHint(props.Hint),
      FShowHint(props.ShowHint) {}

void TQuorControlBase::SetBounds(const TBounds& bounds) {
  FBounds = bounds;
  Redraw();
}

void TQuorControlBase::SetVisible(bool visible) {
  if (FVisible == visible) return;
  FVisible = visible;
  Redraw();
}

void TQuorControlBase::SetEnabled(bool enabled) {
  if (FEnabled == enabled) return;
  FEnabled = enabled;
  Redraw();
}

RECT TQuorControlBase::SurfaceRect() const {
  POINT o = FParent.SurfaceOrigin();
  return {o.x + FBounds.Left, o.y + FBounds.Top, o.x + FBounds.Left + FBounds.Width,
          o.y + FBounds.Top + FBounds.Height};
}

bool TQuorControlBase::Showing() const { return FParent.ContainerShowing(); }

void TQuorControlBase::MouseDown(int, int) {
  FPressed = true;
  RepaintState();
}

void TQuorControlBase::MouseUp(int x, int y) {
  // The click fires before the pressed look goes, and only inside the control.
  if (x >= 0 && y >= 0 && x < FBounds.Width && y < FBounds.Height && FEnabled) Click();
  FPressed = false;
  RepaintState();
}

void TQuorControlBase::Click() {
  if (Onclick) Onclick(this);
}

void TQuorControlBase::MouseMove(int, int, WPARAM) {
  if (FHovered) return;
  FHovered = true;
  UpdateHintTool();
  RepaintState();
}

void TQuorControlBase::MouseLeave() {
  if (!FHovered) return;
  FHovered = false;
  if (FFrame) FFrame->CancelControlHint(*this);
  RepaintState();
}

void TQuorControlBase::UpdateHintTool() {
  if (FFrame && FShowHint && !FHint.empty()) FFrame->ShowControlHint(*this, FHint);
}

// ---- container ----------------------------------------------------------------

TQuorControlBase* TQuorContainer::FindChild(const std::wstring& name) const {
  for (auto& c : FChildren)
    if (c->Name() == name) return c.get();
  return nullptr;
}

TQuorControlBase* TQuorContainer::HitTest(int x, int y) {
  for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it) {
    TQuorControlBase* c = it->get();
    if (c->Kind() != TQuorControlBase::TKind::Windowless || !c->Visible() || !c->Enabled()) continue;
    const TBounds& b = c->Bounds();
    if (x >= b.Left && y >= b.Top && x < b.Left + b.Width && y < b.Top + b.Height) return c;
  }
  return nullptr;
}

void TQuorContainer::ForgetChild(TQuorControlBase* child) {
  if (FMouseChild == child) FMouseChild = nullptr;
  if (FCaptureChild == child) FCaptureChild = nullptr;
}

bool TQuorContainer::RouteMouse(UINT msg, WPARAM w, LPARAM l) {
  const int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
  auto local = [&](TQuorControlBase* c, auto&& fn) {
    fn(c, x - c->Bounds().Left, y - c->Bounds().Top);
  };
  switch (msg) {
    case WM_MOUSEMOVE: {
      if (!FTrackingLeave) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, ContainerHandle(), 0};
        FTrackingLeave = ::TrackMouseEvent(&tme) != FALSE;
      }
      if (FCaptureChild) {
        local(FCaptureChild, [&](auto* c, int cx, int cy) { c->MouseMove(cx, cy, w); });
        return true;
      }
      TQuorControlBase* hit = HitTest(x, y);
      if (hit != FMouseChild) {
        if (FMouseChild) FMouseChild->MouseLeave();
        FMouseChild = hit;
      }
      if (!hit) return false;
      local(hit, [&](auto* c, int cx, int cy) { c->MouseMove(cx, cy, w); });
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      TQuorControlBase* hit = HitTest(x, y);
      if (!hit) return false;
      FCaptureChild = hit;
      ::SetCapture(ContainerHandle());
      local(hit, [&](auto* c, int cx, int cy) { c->MouseDown(cx, cy); });
      return true;
    }
    case WM_LBUTTONUP: {
      if (!FCaptureChild) return false;
      TQuorControlBase* target = std::exchange(FCaptureChild, nullptr);
      if (::GetCapture() == ContainerHandle()) ::ReleaseCapture();
      local(target, [&](auto* c, int cx, int cy) { c->MouseUp(cx, cy); });
      // A release outside leaves the control no longer hovered.
      if (HitTest(x, y) != target && FMouseChild == target) {
        FMouseChild = nullptr;
        target->MouseLeave();
      }
      return true;
    }
    case WM_MOUSELEAVE:
      FTrackingLeave = false;
      if (FMouseChild && !FCaptureChild) std::exchange(FMouseChild, nullptr)->MouseLeave();
      return false;
  }
  return false;
}

// ---- windowless ----------------------------------------------------------

void TQuorDirectControl::RepaintState() {
  if (Frame()) Frame()->RepaintControlState(*this);
}

void TQuorDirectControl::Redraw() {
  if (Frame() && Frame()->Loaded()) Frame()->RedrawControl(*this);
}

void TQuorDirectControl::SetVisible(bool visible) {
  if (Visible() == visible) return;
  TQuorDirectForm* frame = Frame();
  if (!visible) {
    if (frame && FSnapshot) PasteImageToBitmap(frame->Surface(), SurfaceRect(), *FSnapshot);
    TQuorControlBase::SetVisible(false);
    if (frame) frame->Present();
    return;
  }
  TQuorControlBase::SetVisible(true);
  if (frame && frame->Loaded()) {
    frame->SnapshotBackground(*this);
    frame->RedrawControl(*this);
  }
}

void TQuorDirectControl::SetBounds(const TBounds& bounds) {
  TQuorDirectForm* frame = Frame();
  if (frame && FSnapshot) PasteImageToBitmap(frame->Surface(), SurfaceRect(), *FSnapshot);
  TQuorControlBase::SetBounds(bounds);
  if (frame && frame->Loaded()) {
    frame->SnapshotBackground(*this);
    frame->RedrawControl(*this);
  }
}

// ---- windowed ------------------------------------------------------------------

namespace {

constexpr wchar_t kControlClass[] = L"QuorDirectControl";

void RegisterControlClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = TQuorDirectParentControl::WndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kControlClass;
    return ::RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

}  // namespace

TQuorDirectParentControl::TQuorDirectParentControl(TQuorContainer& parent, const TProps& props)
    : TQuorControlBase(parent, props), FTabStop(props.TabStop), FAlpha(props.Alpha) {
  RegisterControlClass();
  const TBounds& b = Bounds();
  ::CreateWindowExW(0, kControlClass, props.Name.c_str(),
                    WS_CHILD | WS_CLIPSIBLINGS | (props.Visible ? WS_VISIBLE : 0), b.Left, b.Top,
                    b.Width, b.Height, parent.ContainerHandle(), nullptr,
                    ::GetModuleHandleW(nullptr), this);
  if (FHandle && !props.Enabled) ::EnableWindow(FHandle, FALSE);
}

TQuorDirectParentControl::~TQuorDirectParentControl() {
  FChildren.clear();
  if (FHandle) ::DestroyWindow(FHandle);
}

POINT TQuorDirectParentControl::SurfaceOrigin() const {
  RECT r = SurfaceRect();
  return {r.left, r.top};
}

void TQuorDirectParentControl::SetAlpha(int alpha) {
  alpha = std::clamp(alpha, 0, 255);
  if (alpha == FAlpha) return;
  FAlpha = alpha;
  AlphaChanged();
  Redraw();
}

void TQuorDirectParentControl::SetFocus() {
  if (FHandle) ::SetFocus(FHandle);
}

void TQuorDirectParentControl::SetBounds(const TBounds& bounds) {
  TQuorDirectForm* frame = Frame();
  if (frame && FSnapshot) BlendBitmapToBitmap(*FSnapshot, frame->Surface(), SurfaceRect(), 255);
  TQuorControlBase::SetBounds(bounds);
  if (FHandle)
    ::SetWindowPos(FHandle, nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  if (frame && frame->Loaded()) {
    frame->SnapshotBackground(*this);
    frame->RedrawContainer(*this);
  }
}

void TQuorDirectParentControl::SetVisible(bool visible) {
  if (Visible() == visible) return;
  if (FHandle) ::ShowWindow(FHandle, visible ? SW_SHOWNA : SW_HIDE);
  TQuorDirectForm* frame = Frame();
  if (visible && frame && frame->Loaded()) {
    TQuorControlBase::SetVisible(true);
    frame->SnapshotBackground(*this);
    frame->RedrawContainer(*this);
    return;
  }
  TQuorControlBase::SetVisible(visible);
}

void TQuorDirectParentControl::RepaintState() {
  if (Frame()) Frame()->RepaintParentState(*this);
}

void TQuorDirectParentControl::Redraw() {
  if (FHandle) ::EnableWindow(FHandle, Enabled());
  if (Frame() && Frame()->Loaded()) Frame()->RedrawContainer(*this);
}

LRESULT TQuorDirectParentControl::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_MOUSELEAVE) {
    if (RouteMouse(msg, w, l)) return 0;
    const int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
    switch (msg) {
      case WM_LBUTTONDOWN:
        if (FTabStop) SetFocus();
        ::SetCapture(FHandle);
        MouseDown(x, y);
        return 0;
      case WM_LBUTTONUP:
        if (::GetCapture() == FHandle) ::ReleaseCapture();
        if (FPressed) MouseUp(x, y);
        return 0;
      case WM_MOUSEMOVE:
        MouseMove(x, y, w);
        return 0;
      case WM_MOUSELEAVE:
        MouseLeave();
        return 0;
    }
  }
  switch (msg) {
    case WM_SETFOCUS:
      FocusChanged(true);
      return 0;
    case WM_KILLFOCUS:
      FocusChanged(false);
      return 0;
    case WM_KEYDOWN:
      KeyDown(w);
      return 0;
    case WM_CHAR:
      CharTyped(wchar_t(w));
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_PAINT: {
      // The frame's surface shows this control; the system has nothing to paint.
      PAINTSTRUCT ps;
      ::BeginPaint(FHandle, &ps);
      ::EndPaint(FHandle, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
  }
  return ::DefWindowProcW(FHandle, msg, w, l);
}

LRESULT CALLBACK TQuorDirectParentControl::WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept {
  return DispatchToOwner(hwnd, msg, w, l, &TQuorDirectParentControl::FHandle,
                         &TQuorDirectParentControl::HandleMessage);
}

}  // namespace quor
