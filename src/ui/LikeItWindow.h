#pragma once
// The like-it dialog: links to rate, share and follow the program, and to
// the vendor's download page.

#include <windows.h>

#include <memory>
#include <string_view>

#include "toolkit/HostWindow.h"
#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectImage.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorMessageLoop.h"

namespace quor {

class Tfrmlikeit : public THostWindow {
 public:
  static constexpr int kClientWidth = 684, kClientHeight = 414;

  // Owned by `owner`, centred on it when shown.
  explicit Tfrmlikeit(HWND owner);
  ~Tfrmlikeit() override;

  // Translates and runs until the dialog closes.
  int ShowModal();
  void TranslateLikeIt();

  TQuorDirectForm& Form() { return *FForm; }
  TQuorDirectButton& DownloadButton() { return *btndownload; }
  // The label or image named `name`, or nullptr.
  const TQuorDirectLabel* Label(std::wstring_view name) const;
  const TQuorDirectImage* Image(std::wstring_view name) const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void DefineControls();
  bool KeyFilter(const MSG& msg);
  void btndownloadClick(TQuorControlBase& sender);
  void imgmailclick(TQuorControlBase& sender);
  void imgface1click(TQuorControlBase& sender);
  void imgface2click(TQuorControlBase& sender);
  void imgtwitter1click(TQuorControlBase& sender);
  void imgtwitter2click(TQuorControlBase& sender);

  TFontSpec FFont{L"Tahoma", DEFAULT_CHARSET, 8, 0, 0};
  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectLabel* lblTitle = nullptr;
  TQuorDirectLabel* lblinfo = nullptr;
  TQuorDirectLabel* lblrate = nullptr;
  TQuorDirectImage* imgrate = nullptr;
  TQuorDirectLabel* lblshare = nullptr;
  TQuorDirectImage* imgmail = nullptr;
  TQuorDirectImage* imgface1 = nullptr;
  TQuorDirectImage* imgtwitter1 = nullptr;
  TQuorDirectLabel* lblfollow = nullptr;
  TQuorDirectImage* imgface2 = nullptr;
  TQuorDirectImage* imgtwitter2 = nullptr;
  TQuorDirectLabel* lbldownload = nullptr;
  TQuorDirectButton* btndownload = nullptr;
  TMessageLoop::TFilterToken FKeyFilter;
};

// Shows the like-it dialog over `owner` until it closes.
void ShowLikeItDialog(HWND owner);

}  // namespace quor
