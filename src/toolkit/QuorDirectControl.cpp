#include "toolkit/QuorDirectControl.h"

#include <windowsx.h>

#include <algorithm>
#include <system_error>

#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorRect.h"
#include "toolkit/WindowDispatch.h"

namespace quor {
// ---- common base ----------------------------------------------------------

TQuorControlBase::TQuorControlBase(TQuorContainer& parent, const TControlProps& props)
    : FParent(parent),
      FFrame(parent.ContainerFrame()),
      FParentControl(parent.AsParentControl()),
      FControl(props) {}

void TQuorControlBase::SetBounds(const TBounds& bounds) {
  FControl.Bounds = bounds;
  Redraw();
}

void TQuorControlBase::SetVisible(bool visible) {
  if (FControl.Visible == visible) return;
  FControl.Visible = visible;
  Redraw();
}

void TQuorControlBase::SetEnabled(bool enabled) {
  if (FControl.Enabled == enabled) return;
  FControl.Enabled = enabled;
  Redraw();
}

void TQuorControlBase::SetHint(const std::wstring& hint) {
  if (hint == FControl.Hint) return;
  FControl.Hint = hint;
  if (FHovered) {
    if (FFrame) FFrame->CancelControlHint(*this);
    UpdateHintTool();
  }
}

void TQuorControlBase::SetShowHint(bool show) {
  if (show == FControl.ShowHint) return;
  FControl.ShowHint = show;
  if (!FHovered || !FFrame) return;
  if (show) UpdateHintTool();
  else FFrame->CancelControlHint(*this);
}

RECT TQuorControlBase::SurfaceRect() const {
  POINT o = FParent.SurfaceOrigin();
  const TBounds& b = FControl.Bounds;
  return {o.x + b.Left, o.y + b.Top, o.x + b.Left + b.Width, o.y + b.Top + b.Height};
}

RECT TQuorControlBase::ClipRect() const { return RectIntersection(SurfaceRect(), FParent.ChildClip()); }

bool TQuorControlBase::Showing() const { return FParent.ContainerShowing(); }

void TQuorControlBase::MouseDown(int, int) {
  FPressed = true;
  StateChanged();
}

void TQuorControlBase::MouseUp(int x, int y) {
  // The click fires before the pressed look goes, and only inside the control.
  if (x >= 0 && y >= 0 && x < Width() && y < Height() && Enabled()) Click();
  FPressed = false;
  StateChanged();
}

void TQuorControlBase::CaptureLost() {
  if (!FPressed) return;
  FPressed = false;
  StateChanged();
}

void TQuorControlBase::Click() {
  if (OnClick) OnClick(*this);
}

void TQuorControlBase::MouseMove(int, int, WPARAM) {
  if (FHovered) return;
  FHovered = true;
  UpdateHintTool();
  StateChanged();
}

void TQuorControlBase::MouseLeave() {
  if (!FHovered) return;
  FHovered = false;
  if (FFrame) FFrame->CancelControlHint(*this);
  StateChanged();
}

void TQuorControlBase::UpdateHintTool() {
  if (FFrame && ShowHint() && !Hint().empty()) FFrame->ShowControlHint(*this, Hint());
}

void TQuorControlBase::StateChanged() {
  if (FFrame) FFrame->RepaintState(*this);
}

void TQuorControlBase::Redraw() {
  if (FFrame && FFrame->Loaded()) FFrame->RedrawControl(*this);
}

void TQuorControlBase::PaintClipped(TQuorBitmap& surface,
                                    const std::function<void(TPaintContext&)>& draw) {
  const RECT rect = SurfaceRect();
  const RECT clip = RectIntersection(ClipRect(), {0, 0, surface.Width(), surface.Height()});
  if (RectEmpty(clip)) return;
  if (RectContains(clip, rect)) {
    TPaintContext ctx{surface, rect, clip};
    draw(ctx);
    return;
  }
  // Partly hidden: draw on a scratch copy of the control's place and copy back the visible part.
  TQuorBitmap scratch(Width(), Height());
  if (scratch.Empty()) return;
  CopyBitmapRect(surface, rect, scratch, {0, 0});
  const RECT local{clip.left - rect.left, clip.top - rect.top, clip.right - rect.left,
                   clip.bottom - rect.top};
  TPaintContext ctx{scratch, {0, 0, Width(), Height()}, local};
  draw(ctx);
  CopyBitmapRect(scratch, local, surface, {clip.left, clip.top});
}

// ---- container ----------------------------------------------------------------

TQuorControlBase* TQuorContainer::FindChild(const std::wstring& name) const {
  for (auto& c : FChildren)
    if (c->Name() == name) return c.get();
  return nullptr;
}

void TQuorContainer::ChildAdded(TQuorControlBase& child) {
  if (ContainerHandle()) child.CreateHandle();
}

TQuorControlBase* TQuorContainer::HitTest(int x, int y) {
  for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it) {
    TQuorControlBase* c = it->get();
    if (c->Windowed() || !c->Visible() || !c->Enabled()) continue;
    const TBounds& b = c->Bounds();
    if (x >= b.Left && y >= b.Top && x < b.Left + b.Width && y < b.Top + b.Height) return c;
  }
  return nullptr;
}

TQuorControlBase* TQuorContainer::ControlAt(POINT surface) {
  for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it) {
    TQuorControlBase* c = it->get();
    if (!c->Visible() || !c->Enabled() || !RectHolds(c->ClipRect(), surface)) continue;
    if (TQuorContainer* container = c->AsContainer())
      if (TQuorControlBase* inner = container->ControlAt(surface)) return inner;
    return c;
  }
  return nullptr;
}

void TQuorContainer::ForgetChild(TQuorControlBase* child) {
  if (FMouseChild == child) FMouseChild = nullptr;
  if (FCaptureChild == child) FCaptureChild = nullptr;
}

bool TQuorContainer::RouteMouse(UINT msg, WPARAM w, LPARAM l) {
  const int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
  auto localX = [&](TQuorControlBase* c) { return x - c->Bounds().Left; };
  auto localY = [&](TQuorControlBase* c) { return y - c->Bounds().Top; };
  auto button = [&]() {
    switch (msg) {
      case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return TMouseButton::Right;
      case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return TMouseButton::Middle;
      default: return GET_XBUTTON_WPARAM(w) == XBUTTON2 ? TMouseButton::X2 : TMouseButton::X1;
    }
  };
  switch (msg) {
    case WM_MOUSEMOVE: {
      if (!FTrackingLeave) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, ContainerHandle(), 0};
        FTrackingLeave = ::TrackMouseEvent(&tme) != FALSE;
      }
      if (FCaptureChild) {
        FCaptureChild->MouseMove(localX(FCaptureChild), localY(FCaptureChild), w);
        return true;
      }
      TQuorControlBase* hit = HitTest(x, y);
      if (hit != FMouseChild) {
        if (FMouseChild) FMouseChild->MouseLeave();
        FMouseChild = hit;
      }
      if (!hit) return false;
      hit->MouseMove(localX(hit), localY(hit), w);
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      TQuorControlBase* hit = HitTest(x, y);
      if (!hit) return false;
      FCaptureChild = hit;
      ::SetCapture(ContainerHandle());
      hit->MouseDown(localX(hit), localY(hit));
      return true;
    }
    case WM_LBUTTONUP: {
      if (!FCaptureChild) return false;
      TQuorControlBase* target = std::exchange(FCaptureChild, nullptr);
      if (::GetCapture() == ContainerHandle()) ::ReleaseCapture();
      target->MouseUp(localX(target), localY(target));
      // A release outside leaves the control no longer hovered.
      if (HitTest(x, y) != target && FMouseChild == target) {
        FMouseChild = nullptr;
        target->MouseLeave();
      }
      return true;
    }
    case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_XBUTTONDOWN:
    case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK: case WM_XBUTTONDBLCLK: {
      TQuorControlBase* hit = HitTest(x, y);
      if (!hit) return false;
      hit->ButtonDown(button(), localX(hit), localY(hit));
      return true;
    }
    case WM_RBUTTONUP: case WM_MBUTTONUP: case WM_XBUTTONUP: {
      TQuorControlBase* hit = HitTest(x, y);
      if (!hit) return false;
      hit->ButtonUp(button(), localX(hit), localY(hit));
      return true;
    }
    case WM_CAPTURECHANGED:
      // Another window took the mouse while a windowless child held it.
      if (FCaptureChild && reinterpret_cast<HWND>(l) != ContainerHandle())
        std::exchange(FCaptureChild, nullptr)->CaptureLost();
      return false;
    case WM_MOUSELEAVE:
      FTrackingLeave = false;
      if (FMouseChild && !FCaptureChild) std::exchange(FMouseChild, nullptr)->MouseLeave();
      return false;
  }
  return false;
}

// ---- windowless ----------------------------------------------------------

void TQuorDirectControl::TakeSnapshot(TQuorDirectForm& frame) {
  if (Visible()) FSnapshot = CopyRectToImage(frame.Surface(), SurfaceRect());
}

void TQuorDirectControl::PasteSnapshot(TQuorBitmap& surface) const {
  if (FSnapshot) PasteImageToBitmap(surface, SurfaceRect(), *FSnapshot);
}

void TQuorDirectControl::Repaint(TQuorDirectForm& frame) {
  if (!Showing() || !FSnapshot) return;
  PasteSnapshot(frame.Surface());
  if (Visible()) PaintClipped(frame.Surface(), [this](TPaintContext& ctx) { DirectPaint(ctx); });
}

void TQuorDirectControl::RepaintState(TQuorDirectForm& frame) {
  if (!Visible() || !StateRepaint() || !Showing()) return;
  PasteSnapshot(frame.Surface());
  PaintClipped(frame.Surface(), [this](TPaintContext& ctx) { StatePaint(ctx); });
}

void TQuorDirectControl::SetVisible(bool visible) {
  if (Visible() == visible) return;
  TQuorDirectForm* frame = Frame();
  SetVisibleFlag(visible);
  if (!frame || !frame->Loaded()) return;
  TQuorDirectForm::TUpdateGuard batch(*frame);
  if (visible) TakeSnapshot(*frame);
  frame->RedrawControl(*this);  // a hidden control paints its background back
}

void TQuorDirectControl::SetBounds(const TBounds& bounds) {
  TQuorDirectForm* frame = Frame();
  if (!frame || !frame->Loaded()) {
    TQuorControlBase::SetBounds(bounds);
    return;
  }
  TQuorDirectForm::TUpdateGuard batch(*frame);
  PasteSnapshot(frame->Surface());
  TQuorControlBase::SetBounds(bounds);
  TakeSnapshot(*frame);
  frame->RedrawControl(*this);
}

// ---- windowed ------------------------------------------------------------------

TQuorDirectParentControl::TQuorDirectParentControl(TQuorContainer& parent,
                                                   const TControlProps& props)
    : TQuorControlBase(parent, props) {}

TQuorDirectParentControl::~TQuorDirectParentControl() {
  FChildren.clear();
  if (FHandle) ::DestroyWindow(FHandle);
}

void TQuorDirectParentControl::CreateHandle() {
  if (FHandle) return;
  static const wchar_t* const className =
      RegisterWindowClass(L"QuorDirectControl", &TQuorDirectParentControl::WndProc, CS_DBLCLKS);
  const TBounds& b = Bounds();
  ::CreateWindowExW(0, className, Name().c_str(),
                    WS_CHILD | WS_CLIPSIBLINGS | (Visible() ? WS_VISIBLE : 0), b.Left, b.Top,
                    b.Width, b.Height, Parent().ContainerHandle(), nullptr,
                    ::GetModuleHandleW(nullptr), this);
  if (!FHandle)
    throw std::system_error(int(::GetLastError()), std::system_category(),
                            "cannot create the window of a control");
  if (!Enabled()) ::EnableWindow(FHandle, FALSE);
  // Children added before the window existed get theirs now.
  for (auto& child : FChildren) child->CreateHandle();
}

POINT TQuorDirectParentControl::SurfaceOrigin() const {
  RECT r = SurfaceRect();
  return {r.left, r.top};
}

void TQuorDirectParentControl::SetAlpha(int alpha) {
  alpha = std::clamp(alpha, 0, 255);
  if (alpha == Alpha()) return;
  FControl.Alpha = alpha;
  AlphaChanged();
  Redraw();
}

void TQuorDirectParentControl::SetFocus() {
  if (FHandle) ::SetFocus(FHandle);
}

bool TQuorDirectParentControl::CanTakeFocus() const {
  return FHandle && TabStop() && Visible() && Enabled() && Showing();
}

bool TQuorDirectParentControl::ShowsFocusMark() const {
  return Focused() && TabStop() && Frame() && Frame()->KeyboardCues();
}

void TQuorDirectParentControl::SetBounds(const TBounds& bounds) {
  TQuorDirectForm* frame = Frame();
  if (!frame || !frame->Loaded()) {
    TQuorControlBase::SetBounds(bounds);
    if (FHandle)
      ::SetWindowPos(FHandle, nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  TQuorDirectForm::TUpdateGuard batch(*frame);
  PasteSnapshot(frame->Surface());
  TQuorControlBase::SetBounds(bounds);
  if (FHandle)
    ::SetWindowPos(FHandle, nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  TakeSnapshot(*frame);
  frame->RedrawControl(*this);
}

void TQuorDirectParentControl::SetVisible(bool visible) {
  if (Visible() == visible) return;
  if (FHandle) ::ShowWindow(FHandle, visible ? SW_SHOWNA : SW_HIDE);
  TQuorDirectForm* frame = Frame();
  SetVisibleFlag(visible);
  if (!frame || !frame->Loaded()) return;
  TQuorDirectForm::TUpdateGuard batch(*frame);
  if (visible) TakeSnapshot(*frame);
  frame->RedrawControl(*this);  // a hidden control paints its background back
}

void TQuorDirectParentControl::SetEnabled(bool enabled) {
  if (Enabled() == enabled) return;
  if (FHandle) ::EnableWindow(FHandle, enabled);
  TQuorControlBase::SetEnabled(enabled);
}

void TQuorDirectParentControl::TakeSnapshot(TQuorDirectForm& frame) {
  const TQuorDirectParentControl* parent = ParentControl();
  const bool fromSkin = Alpha() != 255 && parent && parent->FSnapshot;
  const TQuorBitmap& source = fromSkin ? frame.CleanSkin() : frame.Surface();
  const RECT r = SurfaceRect();
  const bool inside = r.left >= 0 && r.top >= 0 && r.right <= source.Width() && r.bottom <= source.Height();
  // A snapshot of the same size is refilled: no new DIB section per repaint.
  if (inside && FSnapshot && FSnapshot->Width() == r.right - r.left && FSnapshot->Height() == r.bottom - r.top)
    CopyBitmapRect(source, r, *FSnapshot, {0, 0});
  else
    FSnapshot = CopyRectToBitmap(source, r);
  for (auto& child : FChildren)
    if (child->Visible()) child->TakeSnapshot(frame);
}

void TQuorDirectParentControl::PasteSnapshot(TQuorBitmap& surface) const {
  if (FSnapshot) BlendBitmapToBitmap(*FSnapshot, surface, SurfaceRect(), 255);
}

void TQuorDirectParentControl::Repaint(TQuorDirectForm& frame) {
  const bool draws = Visible() && Showing() && !FOwnerDrawn;
  if (!draws || !Opaque()) PasteSnapshot(frame.Surface());
  if (!draws) return;
  PaintClipped(frame.Surface(), [this](TPaintContext& ctx) {
    DirectPaint(ctx);
    DrawFocusMark(ctx);
  });
  for (auto& child : FChildren) {
    if (!child->Visible()) continue;
    child->TakeSnapshot(frame);
    child->Repaint(frame);
  }
}

void TQuorDirectParentControl::RepaintState(TQuorDirectForm& frame) {
  if (!Visible() || !Enabled() || !StateRepaint() || !Showing()) return;
  if (!Opaque()) PasteSnapshot(frame.Surface());
  PaintClipped(frame.Surface(), [this](TPaintContext& ctx) {
    StatePaint(ctx);
    DrawFocusMark(ctx);
  });
}

void TQuorDirectParentControl::DrawFocusMark(TPaintContext& ctx) const {
  if (!ShowsFocusMark()) return;
  // A dotted rectangle one pixel inside the control, in the inverse of what lies there.
  const RECT& r = ctx.Rect;
  auto dot = [&](int x, int y) {
    if (x < ctx.Clip.left || y < ctx.Clip.top || x >= ctx.Clip.right || y >= ctx.Clip.bottom) return;
    uint8_t* p = ctx.Canvas.Pixel(x, y);
    const uint8_t a = p[3];
    for (int i = 0; i < 3; ++i) p[i] = uint8_t(a - std::min(p[i], a));
  };
  ::GdiFlush();
  for (int x = r.left + 1; x < r.right - 1; x += 2) {
    dot(x, r.top + 1);
    dot(x, r.bottom - 2);
  }
  for (int y = r.top + 3; y < r.bottom - 2; y += 2) {
    dot(r.left + 1, y);
    dot(r.right - 2, y);
  }
}

void TQuorDirectParentControl::Redraw() {
  if (Frame() && Frame()->Loaded()) Frame()->RedrawControl(*this);
}

void TQuorDirectParentControl::FocusChanged(bool) { Redraw(); }

LRESULT TQuorDirectParentControl::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL &&
       msg != WM_MOUSEHWHEEL) ||
      msg == WM_MOUSELEAVE || msg == WM_CAPTURECHANGED) {
    if (RouteMouse(msg, w, l)) return 0;
    const int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
    switch (msg) {
      case WM_LBUTTONDOWN:
        if (TabStop()) SetFocus();
        ::SetCapture(FHandle);
        MouseDown(x, y);
        return 0;
      case WM_LBUTTONUP:
        if (::GetCapture() == FHandle) {
          // Our own release is not a lost capture.
          FReleasingCapture = true;
          ::ReleaseCapture();
          FReleasingCapture = false;
        }
        if (FPressed) MouseUp(x, y);
        return 0;
      case WM_MOUSEMOVE:
        MouseMove(x, y, w);
        return 0;
      case WM_MOUSELEAVE:
        MouseLeave();
        return 0;
      case WM_CAPTURECHANGED:
        if (!FReleasingCapture && reinterpret_cast<HWND>(l) != FHandle) CaptureLost();
        return 0;
      case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
        ButtonDown(TMouseButton::Right, x, y);
        return 0;
      case WM_RBUTTONUP:
        ButtonUp(TMouseButton::Right, x, y);
        return 0;
      case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK:
        ButtonDown(TMouseButton::Middle, x, y);
        return 0;
      case WM_MBUTTONUP:
        ButtonUp(TMouseButton::Middle, x, y);
        return 0;
      case WM_XBUTTONDOWN: case WM_XBUTTONDBLCLK:
        ButtonDown(GET_XBUTTON_WPARAM(w) == XBUTTON2 ? TMouseButton::X2 : TMouseButton::X1, x, y);
        return TRUE;
      case WM_XBUTTONUP:
        ButtonUp(GET_XBUTTON_WPARAM(w) == XBUTTON2 ? TMouseButton::X2 : TMouseButton::X1, x, y);
        return TRUE;
    }
    return ::DefWindowProcW(FHandle, msg, w, l);
  }
  switch (msg) {
    case WM_MOUSEWHEEL:
      if (Frame()) Frame()->DispatchWheel(GET_WHEEL_DELTA_WPARAM(w), {GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      return 0;
    case WM_SETFOCUS:
      FocusChanged(true);
      return 0;
    case WM_KILLFOCUS:
      FocusChanged(false);
      return 0;
    case WM_KEYDOWN:
      if (w == VK_TAB && !WantsTab() && Frame()) {
        Frame()->FocusNext(::GetKeyState(VK_SHIFT) < 0);
        return 0;
      }
      KeyDown(w);
      return 0;
    case WM_CHAR:
      if (w == L'\t' && !WantsTab()) return 0;
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
