#pragma once
// The leftover review: what the scan found in two groups (files and folders,
// registry entries), each item with a check box, its path, its size on disk
// and the reason it was found. The window can be resized and keeps its size.
// Remove hands the ticks to the record (an unticked item is kept) and closes.

#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "base/UiCalls.h"
#include "inventory/UninstallObject.h"
#include "toolkit/HostWindow.h"
#include "toolkit/QuorDirectButton.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectLabel.h"
#include "toolkit/QuorDirectTreeView.h"
#include "toolkit/QuorImageList.h"
#include "toolkit/QuorPopupMenu.h"
#include "ui/LeftoverReview.h"

namespace quor {

class TFrmAfterDel : public THostWindow {
 public:
  // Owned by `owner` (the main window), centred on it when shown. The size
  // the user leaves the dialog at is kept in `configFile` (none when empty).
  explicit TFrmAfterDel(HWND owner, std::wstring configFile = DefaultConfigFile());
  ~TFrmAfterDel() override;

  // Set before ShowModal; not owned.
  TUninstallObject* FProgram = nullptr;
  // True from creation; false only when the user left with Remove, which
  // has marked every unticked item of FProgram as kept.
  bool FCancelled = true;

  int ShowModal();

  // The client size the controls are designed for, and the smallest the
  // dialog takes; it opens larger unless the user left it smaller.
  static constexpr int kClientWidth = 501, kClientHeight = 386;
  static constexpr int kDefaultWidth = 760, kDefaultHeight = 500;
  static constexpr wchar_t kSizeSection[] = L"LeftoverReview";
  // Config.ini as the program finds it.
  static std::wstring DefaultConfigFile();

  TQuorDirectForm& Form() { return *FForm; }
  TQuorDirectTreeView& Tree() { return *lvlist; }
  TQuorDirectLabel& InfoLabel() { return *lblinfo; }
  TQuorDTVItem& FilesGroup() { return *FFilesGroup; }
  TQuorDTVItem& RegGroup() { return *FRegGroup; }
  TQuorDirectStdButton& RemoveButton() { return *btnremove; }
  TQuorDirectStdButton& CancelButton() { return *btncancel; }
  TQuorDirectStdButton& AllButton() { return *btnall; }
  TQuorDirectStdButton& NoneButton() { return *btnnone; }
  TQuorPopupMenu& RowMenu() { return *pmrow; }
  // The smallest client size: the design size, or more where the texts need it.
  SIZE MinimumSize() const { return FMinSize; }
  // The leftover index a child row shows, or -1.
  int32_t LeftoverIndex(const TQuorDTVItem& row) const;
  // A child row's size column: empty until measured, and for registry rows.
  std::wstring SizeText(const TQuorDTVItem& row) const;
  // Ticks or clears every item row, as the select buttons do.
  void TickAll(bool ticked);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  struct TRow {
    TQuorDTVItem* Item;
    int32_t Index;
    std::wstring Size;
  };
  struct TAnchored {
    TQuorControlBase* Control;
    TBounds Design;
    uint8_t Anchors;
  };
  // AfterDel.cpp: the window.
  void DefineControls();
  void DefineTree();
  void DefineButtons();
  void Anchor(TQuorControlBase& control, uint8_t anchors);
  void LayoutControls();
  void FormShow();
  void TranslateAfterDel();
  void FitButtons();
  void KeepSize();
  void btnremoveClick(TQuorControlBase& sender);
  void btncancelClick(TQuorControlBase& sender);
  bool KeyFilter(const MSG& msg);
  // AfterDelRows.cpp: the rows.
  void BuildGroups();
  void FillLeftovers();
  void MeasureColumns();
  const TRow* RowOf(const TQuorDTVItem& item) const;
  std::wstring RowText(const TQuorDTVItem& item) const;
  void lvlistItemOwnerDraw(TQuorBitmap& canvas, TQuorDTVItem& item, bool& defaultDraw);
  void lvlistAfterItemDraw(TQuorBitmap& canvas, TQuorDTVItem& item);
  void lvlistItemCheck(TQuorDTVItem& item);
  void ApplyTicks(const std::vector<bool>& ticked);
  void StartSizes();
  void SizeMeasured(size_t row, const TItemSize& size);
  // AfterDelMenu.cpp: opening, copying and the context menu.
  void BuildRowMenu();
  void lvlistContextMenu(POINT screen, TQuorDTVItem* item);
  void lvlistItemDbClick(TQuorDTVItem& item);
  void OpenLocation(const TLeftOverItem& leftover);
  void CopyPath(const TLeftOverItem& leftover);
  const TLeftOverItem* LeftoverOf(const TQuorDTVItem* item) const;

  std::wstring FConfigFile;
  std::unique_ptr<TQuorImageList> il1, il2;
  TPngImage FGroupBack;
  std::unique_ptr<TQuorPopupMenu> pmrow;
  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectLabel* lblinfo = nullptr;
  TQuorDirectTreeView* lvlist = nullptr;
  TQuorDirectStdButton* btnall = nullptr;
  TQuorDirectStdButton* btnnone = nullptr;
  TQuorDirectStdButton* btnremove = nullptr;
  TQuorDirectStdButton* btncancel = nullptr;
  TQuorDTVItem* FFilesGroup = nullptr;
  TQuorDTVItem* FRegGroup = nullptr;
  TQuorDTVItem* FMenuRow = nullptr;  // the row the context menu is for
  std::vector<TRow> FRows;
  std::unordered_map<const TQuorDTVItem*, size_t> FRowOf;
  std::vector<TAnchored> FAnchored;
  TFontSpec FFont{L"Tahoma", DEFAULT_CHARSET, 8, 0, RGB(56, 56, 56)};
  int FReasonWidth = 0, FSizeWidth = 0;
  SIZE FMinSize{kClientWidth, kClientHeight};
  // The sizes are measured on a thread of their own and handed back through
  // FUiCalls; the thread is stopped and joined, and FUiCalls gone, before the
  // rows are.
  std::unique_ptr<TUiCalls> FUiCalls;
  std::jthread FSizer;
};

}  // namespace quor
