#pragma once
// Rows, layout, pixel scrolling, hit-testing, check propagation, selection and
// keyboard of the check tree view, free of windows so that the rules can be
// tested directly. The shown rows (expanded and visible) are kept flattened
// with their tops, so finding the rows in view is a binary search and a mouse
// move costs the rows in view; the index is rebuilt after a change of the
// tree's shape.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/QuorListModel.h"
#include "toolkit/QuorTreeItems.h"
#include "toolkit/QuorTypeAhead.h"

namespace quor {

struct TQuorTreeParams {
  int Width = 200, Height = 150;
  int Border = 0;
  int ItemHeight = 22, ItemMargin = 2;
  int VerBarWidth = 0, HorBarHeight = 0;  // 0: no such bar
  bool ShowButton = true;
  SIZE ButtonSize{0, 0};  // one expand-button frame; 0 wide: no button images
  bool ShowCheckBox = false;
  SIZE CheckSize{0, 0};
  int MarginBtnPlus = 2, MarginCheckBox = 2, MarginImageList = 2, MarginText = 2;
  int ImageListWidth = 0;
  int TextHeight = 16;
  bool MultiSelect = false;
  bool RubberBand = false;
  bool HotTrack = true;
};

enum class TQuorTreePart { None, Row, Check, Button };

struct TQuorTreeHit {
  TQuorTreePart Part = TQuorTreePart::None;
  TQuorDTVItem* Item = nullptr;
  bool operator==(const TQuorTreeHit&) const = default;
};

enum class TQuorTreeEventKind {
  ItemClick,
  ItemCheck,  // StateChanged: whether the row's state changed (else only re-reported)
  ItemExpand,
  ItemMouseDown,
  ItemMouseUp,
  CurrentChange,  // the keyboard moved the current row
};

struct TQuorTreeEvent {
  TQuorTreeEventKind Kind;
  TQuorDTVItem* Item = nullptr;
  bool StateChanged = false;
  POINT At{0, 0};
};

class TQuorTreeModel {
 public:
  TQuorTreeModel() = default;
  TQuorTreeModel(const TQuorTreeModel&) = delete;
  TQuorTreeModel& operator=(const TQuorTreeModel&) = delete;

  std::function<void(const TQuorTreeEvent&)> OnEvent;
  std::function<void()> OnChange;
  // The control's OnMeasureItem and OnItemLeftDraw, and its caption width.
  std::function<void(TQuorDTVItem&, int siblingIndex, int& height)> MeasureItem;
  std::function<void(TQuorDTVItem&, int siblingIndex, int& left)> ItemLeft;
  std::function<int(const TQuorDTVItem&)> TextWidth;

  const TQuorTreeParams& Params() const { return FParams; }
  void SetParams(const TQuorTreeParams& params);
  void Resize(int width, int height);

  TQuorDTVItem& AddRoot(const std::wstring& caption = {});
  TQuorDTVItem& AddChild(TQuorDTVItem& parent, const std::wstring& caption = {});
  void Clear();
  int RootCount() const { return int(FRoots.size()); }
  TQuorDTVItem* Root(int index) const;
  void SetExpanded(TQuorDTVItem& row, bool expanded, bool recursive);

  // Layout and scrolling.
  int ContentHeight();
  int ClientHeight();
  int WidestContent();
  TQuorScrollRange VerScroll();
  TQuorScrollRange HorScroll();
  bool VerBarShown();
  int VerOffset();
  int HorOffset() const { return FHorOffset; }
  void SetVerPosition(int position);
  void SetHorPosition(int position);
  void EnsureVisible(const TQuorDTVItem* row);
  // The shown rows that reach into the tree's height, laid out, top to bottom.
  const std::vector<TQuorDTVItem*>& RowsInView();
  // Every shown row in order (expanded and visible), with its parents first.
  int ShownCount();
  TQuorDTVItem* Shown(int index);

  TQuorTreeHit HitTest(POINT p);
  bool MouseMove(POINT p, bool leftButton);
  bool MouseDown(POINT p, TQuorModifiers keys);
  bool MouseUp(POINT p);
  bool MouseLeave();
  bool FocusLost();
  std::optional<RECT> BandRect() const;

  // A click on a row's check box: 2 or 1 become 0, 0 becomes 2, then the
  // descendants follow and the parents are recomputed, each reported.
  void ClickCheck(TQuorDTVItem& row);

  bool KeyDown(int vk, TQuorModifiers keys);
  // Makes a shown row current and the only one selected, as the keyboard
  // does, without telling a click; false for a row that is not shown.
  bool SetCurrent(TQuorDTVItem& row);
  bool KeyChar(wchar_t c, unsigned timeMs);

  const TQuorTreeHit& Hot() const { return FHot; }
  TQuorDTVItem* HotItem() const { return FHot.Item; }
  TQuorDTVItem* PressedItem() const { return FPressedItem; }
  TQuorDTVItem* CurrentItem() const { return FCurrentItem; }
  TQuorDTVItem* SelAnchor(int which) const { return which == 0 ? FAnchor1 : FAnchor2; }

 private:
  friend class TQuorDTVItem;
  struct TShownRow {
    TQuorDTVItem* Item;
    int Top, Height;  // in content coordinates
    int ContentX;     // without the horizontal offset
  };
  void Changed() {
    FIndexValid = FViewValid = false;
    if (OnChange) OnChange();
  }
  void Fire(const TQuorTreeEvent& e) const;
  void Reindex();
  void IndexRow(TQuorDTVItem& row, int siblingIndex, int x, int& y);
  void LayoutRow(const TShownRow& shown);
  void ClampOffset();
  int ShownPosition(const TQuorDTVItem* row);

  // QuorTreeInput.cpp
  bool UpdateHot(const TQuorTreeHit& hit);
  void ClearSelection();
  void SelectOnPress(TQuorDTVItem& row, TQuorModifiers keys);
  void SelectShownRange(int from, int to);
  bool DragBand(POINT p);
  void RecomputeParents(TQuorDTVItem& row);
  bool Navigable(int position);
  int StepFrom(int position, int steps);
  bool MoveCurrentTo(int position, TQuorModifiers keys);
  bool ToggleExpanded(TQuorDTVItem& row);

  TQuorTreeParams FParams;
  std::vector<std::unique_ptr<TQuorDTVItem>> FRoots;
  bool FIndexValid = false, FViewValid = false;
  std::vector<TShownRow> FShown;
  int FContentHeight = 0, FWidest = 0;
  std::vector<TQuorDTVItem*> FInView;
  int FVerOffset = 0, FHorOffset = 0;  // both <= 0

  TQuorTreeHit FHot, FPressed;
  TQuorDTVItem* FPressedItem = nullptr;
  TQuorDTVItem* FCurrentItem = nullptr;
  TQuorDTVItem* FAnchor1 = nullptr;
  TQuorDTVItem* FAnchor2 = nullptr;
  std::optional<POINT> FBandStart, FBandPoint;
  bool FBandDragged = false;
  TQuorTypeAhead FTypeAhead;
};

}  // namespace quor
