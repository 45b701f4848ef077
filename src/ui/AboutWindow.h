#pragma once
// The About dialog: the program's version, the support address, the web
// site and the names of those who helped.

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "app/FileVersion.h"
#include "toolkit/HostWindow.h"
#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorMessageLoop.h"

namespace quor {

class TFrmAbout : public THostWindow {
 public:
  static constexpr int kClientWidth = 515, kClientHeight = 306;

  // Owned by `owner`, centred on it when shown; reads the program's version.
  explicit TFrmAbout(HWND owner);
  ~TFrmAbout() override;

  // Translates, shows the version and runs until the dialog closes.
  int ShowModal();
  void TranslateAbout();

  TQuorDirectForm& Form() { return *FForm; }
  TQuorDirectStdButton& OkButton() { return *btnok; }
  // The label named `name`, or nullptr.
  const TQuorDirectLabel* Label(std::wstring_view name) const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void DefineControls();
  void FormShow();
  void FitText(TQuorDirectLabel& label);
  bool KeyFilter(const MSG& msg);
  void btnokClick(TQuorControlBase& sender);
  void lblsupportclick(TQuorControlBase& sender);
  void lblwebclick(TQuorControlBase& sender);

  TFileVersion FVersion;
  TFontSpec FFont{L"Tahoma", DEFAULT_CHARSET, 8, 0, 0};
  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectLabel* lblver = nullptr;
  TQuorDirectLabel* lblverinfo = nullptr;
  TQuorDirectLabel* lblemail = nullptr;
  TQuorDirectLabel* lblsupport = nullptr;
  TQuorDirectLabel* lblhome = nullptr;
  TQuorDirectLabel* lblweb = nullptr;
  TQuorDirectLabel* lblthank = nullptr;
  TQuorDirectLabel* lbl = nullptr;
  TQuorDirectStdButton* btnok = nullptr;
  TMessageLoop::TFilterToken FKeyFilter;
};

// Shows the About dialog over `owner` until it closes.
void ShowAboutDialog(HWND owner);

}  // namespace quor
