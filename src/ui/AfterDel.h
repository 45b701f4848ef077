#pragma once
// The leftover review: what the scan found in two groups (files and folders,
// registry entries), each item with a check box and the reason it was found.
// Remove hands the ticks to the record (an unticked item is kept) and closes.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "inventory/UninstallObject.h"
#include "toolkit/HostWindow.h"
#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorDirectTreeView.h"
#include "toolkit/QuorImageList.h"

namespace quor {

class TFrmAfterDel : public THostWindow {
 public:
  // Owned by `owner` (the main window), centred on it when shown.
  explicit TFrmAfterDel(HWND owner);
  ~TFrmAfterDel() override;

  // Set before ShowModal; not owned.
  TUninstallObject* FProgram = nullptr;
  // True from creation; false only when the user left with Remove, which
  // has marked every unticked item of FProgram as kept.
  bool FCancelled = true;

  int ShowModal();

  static constexpr int kClientWidth = 501, kClientHeight = 386;
  TQuorDirectForm& Form() { return *FForm; }
  TQuorDirectTreeView& Tree() { return *lvlist; }
  TQuorDTVItem& FilesGroup() { return *FFilesGroup; }
  TQuorDTVItem& RegGroup() { return *FRegGroup; }
  TQuorDirectStdButton& RemoveButton() { return *btnremove; }
  TQuorDirectStdButton& CancelButton() { return *btncancel; }
  // The leftover index a child row shows, or -1.
  int32_t LeftoverIndex(const TQuorDTVItem& row) const;

 private:
  struct TRow {
    TQuorDTVItem* Item;
    int32_t Index;
  };
  void DefineControls();
  void BuildGroups();
  void FormShow();
  void TranslateAfterDel();
  void FillLeftovers();
  void btnremoveClick(TQuorControlBase& sender);
  void btncancelClick(TQuorControlBase& sender);
  void lvlistItemOwnerDraw(TQuorBitmap& canvas, TQuorDTVItem& item, bool& defaultDraw);
  void lvlistAfterItemDraw(TQuorBitmap& canvas, TQuorDTVItem& item);
  void lvlistItemDbClick(TQuorDTVItem& item);
  void lvlistItemCheck(TQuorDTVItem& item);
  bool KeyFilter(const MSG& msg);

  std::unique_ptr<TQuorImageList> il1, il2;
  TPngImage FGroupBack;
  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectLabel* lblinfo = nullptr;
  TQuorDirectTreeView* lvlist = nullptr;
  TQuorDirectStdButton* btnremove = nullptr;
  TQuorDirectStdButton* btncancel = nullptr;
  TQuorDTVItem* FFilesGroup = nullptr;
  TQuorDTVItem* FRegGroup = nullptr;
  std::vector<TRow> FRows;
  TFontSpec FFont{L"Tahoma", DEFAULT_CHARSET, 8, 0, RGB(56, 56, 56)};
  int FReasonWidth = 0;
};

}  // namespace quor
