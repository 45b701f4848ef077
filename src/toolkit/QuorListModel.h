#pragma once
// Rows, columns, layout, scrolling, hit-testing, selection and keyboard of the
// column list box, free of windows so that the rules can be tested directly.
// Only the rows in view are laid out; the list of rows in view and the row on
// top are kept by index, so a mouse move costs the rows in view, not all rows.

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/QuorListItems.h"
#include "toolkit/QuorTypeAhead.h"

namespace quor {

// What the control measures or decides and the model lays out from.
struct TQuorListParams {
  int Width = 200, Height = 150;
  bool Border = true;  // a one-pixel frame and inset
  bool HaveHeader = false;
  int HeaderHeight = 22, HeaderSplitWidth = 3;
  int ItemHeight = 22;
  int VerBarWidth = 0;  // 0: the list has no vertical bar
  bool ShowCheckBox = false;
  SIZE CheckSize{0, 0};  // one check-box frame; 0 wide: no check images
  int ItemLeftFix = 0, MarginCheckBox = 2, MarginImageList = 2, MarginText = 2;
  int ImageListWidth = 0;  // 0: no image list
  int TextHeight = 16;
  bool MenuButtons = false;  // button cells split into a left and a right part
  int MenuBtnSplitX = 0;
  bool MultiSelect = false;
  bool RubberBand = false;  // a rubber-band image exists
  bool HotTrack = true;
};

struct TQuorModifiers {
  bool Ctrl = false, Shift = false;
};

enum class TQuorListPart {
  None,
  Header,
  HeaderCell,
  HeaderCheck,
  Separator,
  Row,
  RowCheck,
  RowButton
};

struct TQuorListHit {
  TQuorListPart Part = TQuorListPart::None;
  int Column = -1;                // header parts
  TQuorLboxItem* Item = nullptr;  // row parts
  int Subitem = -1;               // RowButton
  bool RightPart = false;         // RowButton of a split menu button
  bool operator==(const TQuorListHit&) const = default;
};

enum class TQuorListEventKind {
  ItemClick,  // Item may be none
  ItemCheck,
  HeadClick,  // fired while SortState still holds the previous value
  HeadChecked,
  ThirdButtonClick,      // Item, Subitem
  ThirdMenuButtonClick,  // Item, Subitem: the right part of a split button
  CurrentChange,         // the keyboard moved the current row
};

struct TQuorListEvent {
  TQuorListEventKind Kind;
  TQuorLboxItem* Item = nullptr;
  TQuorLbHeadItem* Column = nullptr;
  int Index = -1;  // column index, or subitem index for the button events
};

struct TQuorScrollRange {
  bool Needed = false;
  int Max = 0, Page = 0, Position = 0;
};

class TQuorListModel {
 public:
  TQuorListModel() = default;
  TQuorListModel(const TQuorListModel&) = delete;
  TQuorListModel& operator=(const TQuorListModel&) = delete;

  // Everything the control reacts to by firing its events, in order.
  std::function<void(const TQuorListEvent&)> OnEvent;
  // A drawn property of a row or column changed.
  std::function<void()> OnChange;
  // Height of a row about to be laid out (the control's OnMeasureItem).
  std::function<void(TQuorLboxItem&, int index, int& height)> MeasureItem;

  const TQuorListParams& Params() const { return FParams; }
  void SetParams(const TQuorListParams& params);
  // A new size: the top row and vertical position go back to the start and the
  // first visible AutoSize column takes up the change of width.
  void Resize(int width, int height);

  // Rows.
  TQuorLboxItem& AddItem();
  void DeleteItem(TQuorLboxItem* item);
  void Clear();
  int ItemCount() const { return int(FItems.size()); }
  TQuorLboxItem* GetItem(int index) const;
  int IndexOf(const TQuorLboxItem* item) const;
  int VisibleCount() const { return ItemCount() - FHiddenCount; }
  TQuorLboxItem* GetSelectedItem() const;
  int SelectedCount() const;
  // `compare` < 0 when a goes before b. The top row goes back to the start.
  void SortItems(const std::function<int(const TQuorLboxItem&, const TQuorLboxItem&)>& compare);

  // Columns.
  TQuorLbHeadItem& AddHeadItem(std::unique_ptr<TQuorLbHeadItem> column);
  void ClearHeader();
  int HeadCount() const { return int(FColumns.size()); }
  TQuorLbHeadItem* GetHeadItem(int index) const;

  // Layout.
  int BorderWidth() const { return FParams.Border ? 1 : 0; }
  RECT HeaderRect() const;
  int RowsThatFit() const;
  // Lays out the header and the rows in view (one partly visible row at the
  // bottom) if anything changed since the last call, and returns those rows.
  const std::vector<TQuorLboxItem*>& RowsInView();
  // For a change the model cannot see (a new row height from MeasureItem).
  void InvalidateLayout() { FLayoutValid = false; }

  // Vertical scrolling by visible rows.
  TQuorLboxItem* TopItem() const { return GetItem(FTopIndex); }
  // Where the rows in view start in the list (0 when no row was put on top).
  int TopIndex() const { return std::max(FTopIndex, 0); }
  bool VerBarShown() const;
  TQuorScrollRange VerScroll() const;
  void SetVerPosition(int position);  // the position-th visible row goes on top
  void ScrollToTop();
  void EnsureVisible(const TQuorLboxItem* item);

  // Horizontal scrolling by pixels (only with a header).
  int HorOffset() const { return FHorOffset; }
  TQuorScrollRange HorScroll() const;
  void SetHorPosition(int position);

  TQuorListHit HitTest(POINT p);

  // Mouse input; each returns whether the picture changed.
  bool MouseMove(POINT p, bool leftButton);
  bool MouseDown(POINT p, TQuorModifiers keys);
  bool MouseUp(POINT p);
  bool MouseLeave();
  bool FocusLost();
  // Ends a press that gets no release (the capture went elsewhere, or a right
  // button press selected like a left one): nothing fires.
  bool EndPress();
  // The rubber band to draw, normalised and clamped, while one is dragged.
  std::optional<RECT> BandRect() const;

  // Keyboard: arrows, Page Up/Down, Home/End (VK_ codes), Space, and letters.
  bool KeyDown(int vk, TQuorModifiers keys);
  bool KeyChar(wchar_t c, unsigned timeMs);

  // State the control draws from.
  TQuorLboxItem* HotItem() const { return FHot.Item; }
  const TQuorListHit& Hot() const { return FHot; }
  TQuorLboxItem* PressedItem() const { return FPressedItem; }
  const TQuorListHit& PressedButton() const { return FPressedButton; }
  TQuorLboxItem* CurrentItem() const { return FCurrentItem; }
  bool RowCheckHot(const TQuorLboxItem* item) const;
  int HotColumn() const;
  int PressedColumn() const { return FPressedCell; }
  int HotSeparator() const;
  int PressedSeparator() const { return FPressedSplit; }
  TQuorLboxItem* SelAnchor(int which) const { return which == 0 ? FAnchor1 : FAnchor2; }

 private:
  friend class TQuorLboxItem;
  friend class TQuorLbHeadItem;
  void ItemVisibleChanged(bool visible);
  void Changed();
  void Fire(const TQuorListEvent& e) const;

  void LayoutHeader();
  void LayoutRow(TQuorLboxItem& item, int top, int height);
  int RowsTop() const { return FParams.HaveHeader ? FParams.HeaderHeight : 0; }
  int VisiblePosition(int index) const;    // among visible rows
  int IndexOfVisible(int position) const;  // -1 when out of range
  int HeaderBottom() const;
  void Forget(const TQuorLboxItem* item);

  // Selection and keyboard (QuorListInput.cpp).
  bool UpdateHot(const TQuorListHit& hit);
  void ClearSelection();
  void SelectRange(const TQuorLboxItem* a, const TQuorLboxItem* b, bool visibleOnly);
  void SelectOnPress(TQuorLboxItem& row, TQuorModifiers keys);
  bool DragBand(POINT p);
  bool ResizeColumn(POINT p);
  bool HeaderUp();
  bool Navigable(int index) const;
  int StepFrom(int index, int steps) const;  // steps < 0 goes up
  int FindByPrefix(const std::wstring& prefix, int from) const;
  bool MoveCurrentTo(int index, TQuorModifiers keys);
  bool ToggleCheck(TQuorLboxItem& item);

  TQuorListParams FParams;
  std::vector<std::unique_ptr<TQuorLboxItem>> FItems;
  std::vector<std::unique_ptr<TQuorLbHeadItem>> FColumns;
  int FHiddenCount = 0;
  int FTopIndex = -1;
  int FHorOffset = 0;
  bool FLayoutValid = false;
  std::vector<TQuorLboxItem*> FInView;

  TQuorListHit FHot;
  TQuorLboxItem* FPressedItem = nullptr;
  TQuorLboxItem* FCurrentItem = nullptr;
  TQuorLboxItem* FPressedCheck = nullptr;
  TQuorListHit FPressedButton;
  int FPressedCell = -1, FPressedHeadCheck = -1, FPressedSplit = -1;
  int FPressX = 0, FPressWidth = 0;
  TQuorLboxItem* FAnchor1 = nullptr;
  TQuorLboxItem* FAnchor2 = nullptr;
  std::optional<POINT> FBandStart, FBandPoint;
  bool FBandDragged = false;
  TQuorTypeAhead FTypeAhead;
};

}  // namespace quor
