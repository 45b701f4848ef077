#pragma once
// A row of the check tree view. Rows belong to a TQuorTreeModel, which creates
// them; a row owns its children. Setters of what changes the picture or the
// layout tell the model.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/QuorListItems.h"

namespace quor {

class TQuorTreeModel;

enum : int { kCheckTicked = 0, kCheckPartial = 1, kCheckClear = 2 };

class TQuorDTVItem {
 public:
  TQuorDTVItem(TQuorTreeModel& owner, TQuorDTVItem* parent, std::wstring caption);
  TQuorDTVItem(const TQuorDTVItem&) = delete;
  TQuorDTVItem& operator=(const TQuorDTVItem&) = delete;

  TQuorTreeModel& Owner() const { return *FOwner; }
  TQuorDTVItem* Parent() const { return FParent; }
  int Level() const { return FLevel; }
  int ChildCount() const { return int(FChildren.size()); }
  TQuorDTVItem* Child(int index) const;
  int IndexInParent() const;  // among its siblings

  const std::wstring& Caption() const { return FCaption; }
  void SetCaption(const std::wstring& caption);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);
  int CheckState() const { return FCheckState; }
  void SetCheckState(int state);
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool expanded);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);

  std::wstring Text2;  // the application's, not read here
  int ExpandedImageIndex = -1;
  bool Enabled = true;
  int RightReserve = 0;  // taken off the right of the text area
  bool Selected = false;
  bool HighlightEnabled = true;
  void* Data = nullptr;  // the application's, not owned
  // Laid out for the rows in view; kNoRect before.
  RECT RowRect = kNoRect, ButtonRect = kNoRect, TextRect = kNoRect, CheckRect = kNoRect;
  int ImageLeft = -1;
  int ContentLeft = 0;
  int ChildrenHeight = 0;  // expanded: the height its shown descendants take, margins included
  int LeftIndent = 0;

 private:
  friend class TQuorTreeModel;

  TQuorTreeModel* FOwner;
  TQuorDTVItem* FParent;
  std::vector<std::unique_ptr<TQuorDTVItem>> FChildren;
  std::wstring FCaption;
  int FLevel;
  int FImageIndex = -1;
  int FCheckState = kCheckClear;
  bool FExpanded = false;
  bool FVisible = true;
};

}  // namespace quor
