// How controls repaint into the frame's surface: from their background
// snapshot, then their own drawing, then one presentation.
#include <algorithm>

#include "toolkit/QuorDirectForm.h"

namespace quor {
namespace {

bool Fits(const TQuorBitmap& surface, const RECT& r) {
  return r.left >= 0 && r.top >= 0 && r.right <= surface.Width() && r.bottom <= surface.Height();
}

}  // namespace

TQuorControlBase* TQuorDirectForm::HitTest(int x, int y) {
  for (TWDFButton* b : FCaptionButtons) {
    const TBounds& r = b->Bounds();
    if (b->Placed && b->Visible() && x >= r.Left && y >= r.Top && x < r.Left + r.Width &&
        y < r.Top + r.Height)
      return b;
  }
  return TQuorContainer::HitTest(x, y);
}

void TQuorDirectForm::RedrawControl(TQuorDirectControl& control) {
  if (dynamic_cast<TWDFButton*>(&control) || !control.Showing() || !control.FSnapshot) return;
  PasteImageToBitmap(FSurface, control.SurfaceRect(), *control.FSnapshot);
  if (control.Visible()) control.DirectPaint(FSurface);
  Present();
}

void TQuorDirectForm::RepaintControlState(TQuorDirectControl& control) {
  if (auto* button = dynamic_cast<TWDFButton*>(&control)) {
    if (!button->Placed || !button->Visible()) return;
    PasteImageToBitmap(FSurface, button->SurfaceRect(), button->BtnBack);
    button->DirectPaint(FSurface);
  } else {
    if (!control.Visible() || !control.StateRepaint() || !control.Showing()) return;
    if (control.FSnapshot) PasteImageToBitmap(FSurface, control.SurfaceRect(), *control.FSnapshot);
    control.StatePaint(FSurface);
  }
  Present();
}

void TQuorDirectForm::RepaintParentState(TQuorDirectParentControl& control) {
  if (!control.Visible() || !control.Enabled() || !control.StateRepaint() || !control.Showing())
    return;
  if (control.FSnapshot) BlendBitmapToBitmap(*control.FSnapshot, FSurface, control.SurfaceRect(), 255);
  control.StatePaint(FSurface);
  Present();
}

void TQuorDirectForm::RedrawContainer(TQuorDirectParentControl& control) {
  const RECT r = control.SurfaceRect();
  if (!control.Visible() || !control.Showing()) {
    if (control.FSnapshot && Fits(FSurface, r))
      BlendBitmapToBitmap(*control.FSnapshot, FSurface, r, 255);
    Present();
    return;
  }
  if (control.OwnerDrawn()) return;
  {
    const bool wasLocked = FPresentLocked;
    FPresentLocked = true;
    if (control.FSnapshot) BlendBitmapToBitmap(*control.FSnapshot, FSurface, r, 255);
    control.DirectPaint(FSurface);
    for (auto& child : control.Children()) {
      if (!child->Visible()) continue;
      SnapshotBackground(*child);
      if (auto* windowed = dynamic_cast<TQuorDirectParentControl*>(child.get()))
        RedrawContainer(*windowed);
      else if (auto* windowless = dynamic_cast<TQuorDirectControl*>(child.get()))
        RedrawControl(*windowless);
      else if (OnBackGroundPaint)
        OnBackGroundPaint(child.get());
    }
    FPresentLocked = wasLocked;
  }
  Present();
}

void TQuorDirectForm::SnapshotBackground(TQuorControlBase& control) {
  const RECT r = control.SurfaceRect();
  if (auto* windowless = dynamic_cast<TQuorDirectControl*>(&control)) {
    if (!control.Visible()) return;
    windowless->FSnapshot = CopyRectToImage(FSurface, r);
    return;
  }
  auto* windowed = dynamic_cast<TQuorDirectParentControl*>(&control);
  if (!windowed) return;
  const TQuorDirectParentControl* parent = windowed->ParentControl();
  const bool fromSkin = windowed->Alpha() != 255 && parent && parent->FSnapshot;
  windowed->FSnapshot = CopyRectToBitmap(fromSkin ? CleanSkin() : FSurface, r);
  for (auto& child : windowed->Children())
    if (child->Visible()) SnapshotBackground(*child);
}

void TQuorDirectForm::RefreshChildren() {
  const bool wasLocked = FPresentLocked;
  FPresentLocked = true;
  for (TQuorControlBase* child : FRegistered) {
    SnapshotBackground(*child);
    if (auto* windowed = dynamic_cast<TQuorDirectParentControl*>(child))
      RedrawContainer(*windowed);
    else if (auto* windowless = dynamic_cast<TQuorDirectControl*>(child))
      RedrawControl(*windowless);
  }
  FPresentLocked = wasLocked;
}

void TQuorDirectForm::ShowControlHint(TQuorControlBase& control, const std::wstring& text) {
  auto* windowed = dynamic_cast<TQuorDirectParentControl*>(&control);
  FHost.ShowHint(windowed ? windowed->Handle() : FHandle, text);
}

void TQuorDirectForm::CancelControlHint(TQuorControlBase& control) {
  auto* windowed = dynamic_cast<TQuorDirectParentControl*>(&control);
  FHost.CancelHint(windowed ? windowed->Handle() : FHandle);
}

}  // namespace quor
