#pragma once
// The toolkit gallery: one skinned window with every simple control.

#include <memory>

#include "toolkit/HostWindow.h"
#include "toolkit/QuorSkinProps.h"
#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorDirectEdit.h"
#include "toolkit/QuorDirectScrollBar.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectImage.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorDirectPanel.h"
#include "toolkit/QuorDirectProgress.h"
#include "toolkit/QuorImageList.h"

namespace quor {

// A gallery window's bold title over its wrapped, muted introduction.
void AddGalleryHeading(TQuorDirectForm& form, const TBounds& titleBounds, const std::wstring& title,
                       const TBounds& introBounds, const std::wstring& intro);

class TGalleryWindow : public THostWindow {
 public:
  explicit TGalleryWindow(bool mainForm = true);
  ~TGalleryWindow() override;

  TQuorDirectForm& Form() { return *FForm; }
  template <typename T>
  T& Control(const wchar_t* name) {
    return *dynamic_cast<T*>(FForm->FindChild(name));
  }
  TQuorDirectLabel& StatusLabel() { return *FStatus; }
  int Clicks() const { return FClicks; }

 private:
  void DefineControls();
  void BtnOkClick(TQuorControlBase& sender);

  std::unique_ptr<TQuorImageList> FItemIcons;
  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectLabel* FStatus = nullptr;
  int FClicks = 0;
};

}  // namespace quor
