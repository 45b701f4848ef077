#pragma once
// The window of one open popup-menu level: borderless, layered, stay-on-top, and never
// active. It shows the level's bitmap and hands its mouse input to the menu.

#include <windows.h>

#include <functional>

#include "toolkit/HostWindow.h"
#include "toolkit/QuorBitmap.h"

namespace quor {

class TQuorMenuForm : public THostWindow {
 public:
  TQuorMenuForm(HWND owner, int level);

  int Level() const { return FLevel; }
  // The level's background at its size, kept while the size stays; and the bitmap drawn on it.
  TQuorBitmap Back;
  TQuorBitmap Surface;

  // Moves and sizes the window (stay on top, no activation), presents Surface with the
  // constant opacity and shows the window without activating it.
  void ShowAt(int left, int top, int alpha);
  void Present(int alpha);
  void Hide();
  bool IsShown() const { return Handle() && ::IsWindowVisible(Handle()); }

  // Mouse input in the level's coordinates.
  std::function<void(POINT)> OnMouseMove, OnMouseDown, OnMouseUp;
  std::function<void()> OnMouseLeave;
  std::function<void(int delta)> OnWheel;
  // Another application became active.
  std::function<void()> OnDeactivateApp;
  // Asked to close (WM_CLOSE).
  std::function<void()> OnCloseRequest;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void TrackLeave();

  int FLevel;
  bool FTrackingLeave = false;
};

}  // namespace quor
