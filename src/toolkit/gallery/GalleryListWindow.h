#pragma once
// The gallery's list window: a column list box with a sortable header, check
// boxes, row images, cells and both scroll bars, filled with generated programs.

#include <memory>
#include <string>

#include "toolkit/HostWindow.h"
#include "toolkit/QuorSkinProps.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorDirectListBox.h"
#include "toolkit/QuorImageList.h"

namespace quor {


class TGalleryListWindow : public THostWindow {
 public:
  explicit TGalleryListWindow(bool mainForm = true, int rows = 200);
  ~TGalleryListWindow() override;

  TQuorDirectForm& Form() { return *FForm; }
  TQuorDirectListBox& List() { return *FList; }
  TQuorDirectLabel& StatusLabel() { return *FStatus; }

 private:
  void DefineControls();
  void Fill(int rows);
  void lstProgramsHeadClickEvent(TQuorControlBase& sender, TQuorLbHeadItem& column, int index);
  void lstProgramsItemClick(TQuorControlBase& sender, TQuorLboxItem* item);
  void lstProgramsContextMenu(TQuorControlBase& sender, POINT screen, TQuorLboxItem* item);

  std::unique_ptr<TQuorImageList> FItemIcons;
  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectListBox* FList = nullptr;
  TQuorDirectLabel* FStatus = nullptr;
};

}  // namespace quor
