#pragma once
// The message box's own window: borderless and layered; a click never activates it, and
// its keys and mouse input go to the message box.

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "toolkit/HostWindow.h"

namespace quor {

class TQuorMessageForm : public THostWindow {
 public:
  explicit TQuorMessageForm(HWND owner);

  // A box shown for another owner form is owned (and its owner disabled) by that form.
  void SetOwner(HWND owner);
  // What the window answers to WM_GETTEXT: the text it draws, for screen
  // readers and scripts.
  void SetShownText(std::wstring text) { FShownText = std::move(text); }

  std::function<void(POINT p, bool leftDown)> OnMouseMove;
  std::function<void(POINT p)> OnMouseDown, OnMouseUp;
  std::function<void(UINT key)> OnKeyDown;
  std::function<void()> OnCloseRequest;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  std::wstring FShownText;
};

}  // namespace quor
