// How controls repaint into the frame's surface: from their background
// snapshot, then their own drawing, then one presentation.
#include "toolkit/QuorDirectForm.h"

namespace quor {

TQuorControlBase* TQuorDirectForm::HitTest(int x, int y) {
  for (TWDFButton* b : FCaptionButtons) {
    const TBounds& r = b->Bounds();
    if (b->Placed && b->Visible() && x >= r.Left && y >= r.Top && x < r.Left + r.Width &&
        y < r.Top + r.Height)
      return b;
  }
  return TQuorContainer::HitTest(x, y);
}

void TQuorDirectForm::RedrawControl(TQuorControlBase& control) {
  if (!FLoaded) return;
  {
    TUpdateGuard batch(*this);
    control.Repaint(*this);
    Present();
  }
}

void TQuorDirectForm::RepaintState(TQuorControlBase& control) {
  if (!FLoaded) return;
  TUpdateGuard batch(*this);
  control.RepaintState(*this);
  Present();
}

void TQuorDirectForm::SnapshotBackground(TQuorControlBase& control) { control.TakeSnapshot(*this); }

void TQuorDirectForm::RefreshChildren() {
  TUpdateGuard batch(*this);
  for (auto& child : FChildren) {
    child->TakeSnapshot(*this);
    child->Repaint(*this);
  }
}

void TQuorDirectForm::ShowControlHint(TQuorControlBase& control, const std::wstring& text) {
  HWND tool = control.WindowHandle();
  FHost.ShowHint(tool ? tool : FHandle, text);
}

void TQuorDirectForm::CancelControlHint(TQuorControlBase& control) {
  HWND tool = control.WindowHandle();
  FHost.CancelHint(tool ? tool : FHandle);
}

}  // namespace quor
