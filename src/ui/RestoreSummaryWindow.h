#pragma once
// The result of a restore: one line each, in a small skinned window with an
// OK button. The window's text (WM_GETTEXT) is the lines, for screen readers.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/HostWindow.h"
#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorMessageLoop.h"

namespace quor {

class TFrmRestoreSummary : public THostWindow {
 public:
  TFrmRestoreSummary(HWND owner, const std::wstring& caption,
                     const std::vector<std::wstring>& lines, const TFontSpec& face);
  ~TFrmRestoreSummary() override;

  // Centred on the owner; Enter, Escape, OK and the close button end it.
  int ShowModal();

 private:
  bool KeyFilter(MSG& msg);

  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectStdButton* btnok = nullptr;
  TMessageLoop::TFilterToken FKeyFilter;
};

}  // namespace quor
