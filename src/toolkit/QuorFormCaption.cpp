// The frame's caption: buttons, logo, caption text, moving, maximise,
// restore, minimise and close.
#include <windowsx.h>

#include <algorithm>

#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorPopupMenu.h"

namespace quor {
namespace {

constexpr UINT kCaptionCommand = WM_APP + 1;
enum TCaptionCommand : WPARAM { ccClose, ccMax, ccRestore, ccMin, ccMenu, ccSkin };

bool InRect(const RECT& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

TWDFButton::TWDFButton(TQuorContainer& parent, const TProps& props)
    : TQuorDirectControl(parent, props.Control), FProps(props) {
  std::vector<TPngImage> frames = CutFrames(FProps.Strip, 3);
  frames.resize(3);  // a strip that does not divide leaves the button undrawn
  BtnNormal = std::move(frames[0]);
  BtnOver = std::move(frames[1]);
  BtnDown = std::move(frames[2]);
}

void TWDFButton::DirectPaint(TPaintContext& ctx) {
  const TPngImage& image = Pressed() ? BtnDown : Hovered() ? BtnOver : BtnNormal;
  image.Draw(ctx.Canvas, ctx.Rect.left, ctx.Rect.top);
}

void TWDFButton::Repaint(TQuorDirectForm& frame) {
  if (!Placed || !Visible()) return;
  PasteImageToBitmap(frame.Surface(), SurfaceRect(), BtnBack);
  PaintClipped(frame.Surface(), [this](TPaintContext& ctx) { DirectPaint(ctx); });
}

TWDFButton* TQuorDirectForm::CaptionButton(const std::wstring& name) const {
  for (TWDFButton* b : FCaptionButtons)
    if (b->Name() == name) return b;
  return nullptr;
}

void TQuorDirectForm::CreateCaptionButtons() {
  for (TWDFButton* b : FCaptionButtons) {
    ForgetChild(b);
    std::erase_if(FChildren, [b](const auto& c) { return c.get() == b; });
  }
  FCaptionButtons.clear();
  const auto& p = FProps;
  const bool anyOther = p.FormBtns.Has(TQuorFormBtn::QbiMaximize) ||
                        p.FormBtns.Has(TQuorFormBtn::QbiMinimize) ||
                        p.FormBtns.Has(TQuorFormBtn::QbiMenu);
  auto make = [&](const wchar_t* name, const TPngImage& strip, const std::wstring& hint,
                  TCaptionCommand command) {
    auto& b = Add<TWDFButton>(
        {.Control = {.Name = name, .Hint = hint, .ShowHint = true}, .Strip = strip});
    b.OnClick = [this, command](TQuorControlBase&) { ::PostMessageW(FHandle, kCaptionCommand, command, 0); };
    FCaptionButtons.push_back(&b);
  };
  make(L"BtnClose", anyOther ? p.ImgBtnClose : p.ImgBtnSingleClose, p.BtnCloseHint, ccClose);
  if (p.FormBtns.Has(TQuorFormBtn::QbiMaximize)) {
    make(L"BtnMax", p.ImgBtnMax, p.BtnMaxHint, ccMax);
    make(L"BtnRestore", p.ImgBtnRestore, p.BtnRestoreHint, ccRestore);
  }
  if (p.FormBtns.Has(TQuorFormBtn::QbiMinimize))
    make(L"BtnMin", p.FormBtns.Has(TQuorFormBtn::QbiMenu) ? p.ImgBtnMin : p.ImgBtnSingleMin,
         p.BtnMinHint, ccMin);
  if (p.FormBtns.Has(TQuorFormBtn::QbiMenu)) make(L"BtnMenu", p.ImgBtnMenu, p.BtnMenuHint, ccMenu);
  if (p.FormBtns.Has(TQuorFormBtn::QbiSkin)) make(L"BtnSkin", p.ImgBtnSkin, p.BtnSkinHint, ccSkin);
  PlaceCaptionButtons();
}

void TQuorDirectForm::SetCaptionHint(const std::wstring& part, const std::wstring& hint) {
  TQuorFormProps& p = FProps;
  std::wstring* field = part == L"Logo"         ? &p.LogoHint
                        : part == L"BtnClose"   ? &p.BtnCloseHint
                        : part == L"BtnMax"     ? &p.BtnMaxHint
                        : part == L"BtnRestore" ? &p.BtnRestoreHint
                        : part == L"BtnMin"     ? &p.BtnMinHint
                        : part == L"BtnMenu"    ? &p.BtnMenuHint
                        : part == L"BtnSkin"    ? &p.BtnSkinHint
                                                : nullptr;
  if (!field) return;
  *field = hint;
  if (TWDFButton* b = CaptionButton(part)) b->SetHint(hint);
  if (part == L"Logo" && FLogoHover) {
    if (hint.empty()) FHost.CancelHint(FHandle);
    else FHost.ShowHint(FHandle, hint);
  }
}

void TQuorDirectForm::PlaceCaptionButtons() {
  const int top = FProps.BtnTopFix + FProps.AlphaWidth;
  const int width = FSurface.Width();
  auto place = [&](const wchar_t* name, const TWDFButton* rightOf) -> TWDFButton* {
    TWDFButton* b = CaptionButton(name);
    if (!b) return nullptr;
    b->Placed = !b->BtnNormal.Empty();
    if (!b->Placed) return nullptr;
    const int w = b->BtnNormal.Width();
    const int left = rightOf ? rightOf->Bounds().Left - FProps.BtnMargin - w
                             : width + FProps.BtnRightFix - FProps.AlphaWidth - w - 4;
    b->TQuorControlBase::SetBounds({left, top, w, b->BtnNormal.Height()});
    return b;
  };
  // Bounds are set without a redraw: the buttons are drawn below from their backgrounds.
  TWDFButton* close = place(L"BtnClose", nullptr);
  TWDFButton* max = place(L"BtnMax", close);
  TWDFButton* restore = place(L"BtnRestore", close);
  TWDFButton* min = place(L"BtnMin", max ? max : close);
  TWDFButton* menu = place(L"BtnMenu", min ? min : max ? max : close);
  place(L"BtnSkin", menu ? menu : min ? min : max ? max : close);
  const bool maxed = FState == TQuorFormState::QsMax;
  if (max) max->TQuorControlBase::SetVisible(!maxed);
  if (restore) restore->TQuorControlBase::SetVisible(maxed);
  for (TWDFButton* b : FCaptionButtons) {
    if (!b->Placed) continue;
    auto back = CopyRectToImage(CleanSkin(), b->SurfaceRect());
    b->BtnBack = back ? std::move(*back) : TPngImage();
  }
}

void TQuorDirectForm::ComputeRects() {
  const int aw = FProps.AlphaWidth, width = FSurface.Width();
  FCaptionArea = {aw, aw, width - aw, kCaptionHeight + aw};
  const TPngImage& logo = FProps.ImgLogo;
  if (!logo.Empty()) {
    const int left = FProps.LogoLeftFix + aw + 4;
    const int top = (kCaptionHeight - logo.Height()) / 2 + FProps.LogoTopFix + aw;
    FLogoRect = {left, top, left + logo.Width(), top + logo.Height()};
  } else {
    FLogoRect = {-1, -1, -1, -1};
  }
  const int left = (logo.Empty() ? aw : int(FLogoRect.right)) + FProps.TitleLeftFix + 4;
  if (!FProps.ImgCaption.Empty()) {
    const TPngImage& img = FProps.ImgCaption;
    const int top = (kCaptionHeight - img.Height()) / 2 + FProps.TitleTopFix + aw;
    FCaptionRect = {left, top, left + img.Width(), top + img.Height()};
  } else if (!FProps.Caption.empty()) {
    const SIZE text = MeasureText(FProps.Caption, FCaptionFont);
    int right = width - aw - 4;
    for (const wchar_t* name : {L"BtnSkin", L"BtnMenu", L"BtnMin", L"BtnMax", L"BtnClose"}) {
      const TWDFButton* b = CaptionButton(name);
      if (b && b->Placed) {
        right = b->Bounds().Left;
        break;
      }
    }
    const int top = (kCaptionHeight - text.cy) / 2 + FProps.TitleTopFix + aw;
    FCaptionRect = {left, top, right, top + text.cy};
  } else {
    FCaptionRect = {-1, -1, -1, -1};
  }
}

void TQuorDirectForm::DrawLogo() {
  if (!FProps.ImgLogo.Empty()) FProps.ImgLogo.Draw(FSurface, FLogoRect);
}

void TQuorDirectForm::DrawCaption() {
  const RECT& r = FCaptionRect;
  if (r.left == -1 && r.top == -1 && r.right == -1 && r.bottom == -1) return;
  if (!FProps.ImgCaption.Empty()) {
    FProps.ImgCaption.Draw(FSurface, r);
    return;
  }
  if (r.right <= r.left) return;
  DrawSurfaceTextFrom(CleanSkin(), FSurface, r, FProps.Caption, FCaptionFont, kTextLeft);
}

void TQuorDirectForm::Maximize() {
  if (FState != TQuorFormState::QsNormal || !FProps.FormBtns.Has(TQuorFormBtn::QbiMaximize) ||
      !CaptionButton(L"BtnMax"))
    return;
  {
    TUpdateGuard batch(*this);
    const RECT old = FHost.WindowRect();
    FSavedPos = {old.left, old.top};
    const RECT wa = WorkArea();
    const int aw = FProps.AlphaWidth;
    const int w = wa.right - wa.left + 2 * aw, h = wa.bottom - wa.top + 2 * aw;
    // The state changes before the host grows, so that the resize hook does not take the
    // maximised size for a new normal size (Restore goes back to the normal skin's size).
    FState = TQuorFormState::QsMax;
    ::SetWindowPos(FHost.Handle(), nullptr, wa.left - aw, wa.top - aw, w, h,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(FHandle, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    BuildMaxSkin(false);
    FSurface.CopyFrom(FCleanMax);
    RelayoutAndRedraw();
    Present();
  }
  if (OnQuorFormMax) OnQuorFormMax(*this);
}

void TQuorDirectForm::Restore() {
  if (FState != TQuorFormState::QsMax) return;
  {
    TUpdateGuard batch(*this);
    const int w = FCleanNormal.Width(), h = FCleanNormal.Height();
    ::SetWindowPos(FHost.Handle(), nullptr, FSavedPos.x, FSavedPos.y, w, h,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(FHandle, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    FState = TQuorFormState::QsNormal;
    FSurface.CopyFrom(FCleanNormal);
    RelayoutAndRedraw();
    Present();
  }
  if (OnQuorFormRestore) OnQuorFormRestore(*this);
}

void TQuorDirectForm::Minimize() {
  if (!FHost.IsMainForm()) {
    FHost.Close();
    return;
  }
  SetHostStyleMinimizable();
  FMinimized = true;
  ::ShowWindow(FHost.Handle(), SW_MINIMIZE);
  if (OnMinSize) OnMinSize(*this);
}

void TQuorDirectForm::BtnMenuClick(TWDFButton& button) {
  if (OnBtnMenuClick) OnBtnMenuClick(button);
  TQuorPopupMenu* menu = FProps.BtnPopuMenu;
  if (!menu || !FHandle) return;
  const RECT r = button.SurfaceRect();
  POINT corner{r.left, r.bottom};
  ::ClientToScreen(FHandle, &corner);
  if (!menu->Owner()) menu->SetOwner(FHost.Handle());
  menu->Popup(corner.x, corner.y);
}

void TQuorDirectForm::CloseClick() {
  if (FHost.IsMainForm()) {
    bool canClose = true;
    if (OnQuorCloseQuery) OnQuorCloseQuery(*this, canClose);
    if (!canClose) return;
  }
  FHost.Close();
}

void TQuorDirectForm::FrameMouseMove(int x, int y, WPARAM keys) {
  const bool inLogo = InRect(FLogoRect, x, y);
  if (inLogo != FLogoHover) {
    FLogoHover = inLogo;
    if (inLogo && !FProps.LogoHint.empty()) FHost.ShowHint(FHandle, FProps.LogoHint);
    else if (!inLogo && !FProps.LogoHint.empty()) FHost.CancelHint(FHandle);
  }
  if (inLogo) return;
  if ((keys & MK_LBUTTON) && FProps.CanMove && FState == TQuorFormState::QsNormal && !FLogoDown &&
      (FProps.CanMoveAny || InRect(FCaptionArea, x, y))) {
    ::ReleaseCapture();
    ::SendMessageW(FHost.Handle(), WM_SYSCOMMAND, 0xF012, 0);
    return;
  }
  if (OnQuorFormMouseMove) OnQuorFormMouseMove(*this, keys, x, y);
}

LRESULT TQuorDirectForm::ResizeHitTest(POINT p) const {
  if (!FProps.SupportResize || FState != TQuorFormState::QsNormal || !FLoaded) return HTNOWHERE;
  // The grip is a band just inside the skin's shadow margin.
  constexpr int kGrip = 5;
  const int aw = FProps.AlphaWidth, w = FSurface.Width(), h = FSurface.Height();
  if (p.x < 0 || p.y < 0 || p.x >= w || p.y >= h) return HTNOWHERE;
  const bool left = p.x < aw + kGrip, right = p.x >= w - aw - kGrip;
  const bool top = p.y < aw + kGrip, bottom = p.y >= h - aw - kGrip;
  if (top && left) return HTTOPLEFT;
  if (top && right) return HTTOPRIGHT;
  if (bottom && left) return HTBOTTOMLEFT;
  if (bottom && right) return HTBOTTOMRIGHT;
  if (left) return HTLEFT;
  if (right) return HTRIGHT;
  if (top) return HTTOP;
  if (bottom) return HTBOTTOM;
  return HTNOWHERE;
}

LRESULT TQuorDirectForm::FrameMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCHITTEST) {
    POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    ::ScreenToClient(FHandle, &p);
    // The resize border belongs to the host, which answers with the edge.
    if (ResizeHitTest(p) != HTNOWHERE) return HTTRANSPARENT;
    return ::DefWindowProcW(FHandle, msg, w, l);
  }
  if (msg == WM_MOUSEWHEEL) {
    DispatchWheel(GET_WHEEL_DELTA_WPARAM(w), {GET_X_LPARAM(l), GET_Y_LPARAM(l)});
    return 0;
  }
  if (msg == WM_KEYDOWN && w == VK_TAB) {
    FocusNext(::GetKeyState(VK_SHIFT) < 0);
    return 0;
  }
  if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_MOUSELEAVE ||
      msg == WM_CAPTURECHANGED) {
    if (RouteMouse(msg, w, l)) return 0;
    const int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
    switch (msg) {
      case WM_MOUSEMOVE:
        FrameMouseMove(x, y, w);
        return 0;
      case WM_LBUTTONDOWN:
        if (FLogoHover) FLogoDown = true;
        return 0;
      case WM_LBUTTONUP:
        if (FLogoDown) {
          FLogoDown = false;
          if (FLogoHover && OnLogoClick) OnLogoClick(*this);
        }
        return 0;
      case WM_LBUTTONDBLCLK:
        if (FProps.FormBtns.Has(TQuorFormBtn::QbiMaximize) && InRect(FCaptionArea, x, y)) {
          if (FState == TQuorFormState::QsNormal) Maximize();
          else Restore();
        }
        return 0;
      case WM_MOUSELEAVE:
        FLogoHover = false;
        FLogoDown = false;
        if (OnQuorFormLeave) OnQuorFormLeave(*this);
        return 0;
    }
    return 0;
  }
  switch (msg) {
    case kCaptionCommand:
      switch (w) {
        case ccClose: CloseClick(); break;
        case ccMax: Maximize(); break;
        case ccRestore: Restore(); break;
        case ccMin: Minimize(); break;
        case ccMenu:
          if (TWDFButton* b = CaptionButton(L"BtnMenu")) BtnMenuClick(*b);
          break;
        case ccSkin:
          if (TWDFButton* b = CaptionButton(L"BtnSkin"); b && OnBtnSkinClick) OnBtnSkinClick(*b);
          break;
      }
      return 0;
    case WM_PAINT: {
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

}  // namespace quor
