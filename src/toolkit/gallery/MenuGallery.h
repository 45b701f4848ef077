#pragma once
// The second gallery window: a popup menu (from a button and from the caption's menu
// button) and the message box, in the project's skin.

#include <memory>
#include <string>

#include "toolkit/HostWindow.h"
#include "toolkit/QuorSkinProps.h"
#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorImageList.h"
#include "toolkit/QuorMessageBox.h"
#include "toolkit/QuorPopupMenu.h"

namespace quor {


class TMenuGalleryWindow : public THostWindow {
 public:
  explicit TMenuGalleryWindow(bool mainForm = true);
  ~TMenuGalleryWindow() override;

  TQuorDirectForm& Form() { return *FForm; }
  TQuorPopupMenu& Menu() { return *FMenu; }
  TQuorMessageBox& Box() { return *FBox; }
  const std::wstring& Status() const { return FStatus->Caption(); }

  // Pops the menu under the "Popup menu" button.
  void BtnMenuClick(TQuorControlBase& sender);
  void BtnMessageClick(TQuorControlBase& sender);

 private:
  void DefineControls();
  void FillMenu();
  void ItemClick(TQuorMenuItem& item);

  std::unique_ptr<TQuorImageList> FItemIcons;
  std::unique_ptr<TQuorPopupMenu> FMenu;
  std::unique_ptr<TQuorMessageBox> FBox;
  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectLabel* FStatus = nullptr;
};

}  // namespace quor
