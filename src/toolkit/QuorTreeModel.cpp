#include "toolkit/QuorTreeModel.h"

#include <algorithm>

namespace quor {

// Rows.

TQuorDTVItem::TQuorDTVItem(TQuorTreeModel& owner, TQuorDTVItem* parent, std::wstring caption)
    : FOwner(&owner),
      FParent(parent),
      FCaption(std::move(caption)),
      FLevel(parent ? parent->FLevel + 1 : 0) {}

TQuorDTVItem* TQuorDTVItem::Child(int index) const {
  return index >= 0 && index < ChildCount() ? FChildren[size_t(index)].get() : nullptr;
}

int TQuorDTVItem::IndexInParent() const {
  const auto& siblings = FParent ? FParent->FChildren : FOwner->FRoots;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return int(i);
  return -1;
}

void TQuorDTVItem::SetCaption(const std::wstring& caption) {
  FCaption = caption;
  FOwner->Changed();  // the widest caption may change
}

void TQuorDTVItem::SetImageIndex(int index) {
  FImageIndex = index;
  if (FOwner->OnChange) FOwner->OnChange();
}

void TQuorDTVItem::SetCheckState(int state) {
  FCheckState = state;
  if (FOwner->OnChange) FOwner->OnChange();
}

void TQuorDTVItem::SetExpanded(bool expanded) {
  FExpanded = expanded;
  FOwner->Changed();
}

void TQuorDTVItem::SetVisible(bool visible) {
  FVisible = visible;
  FOwner->Changed();
}

// The tree.

void TQuorTreeModel::Fire(const TQuorTreeEvent& e) const {
  if (OnEvent) OnEvent(e);
}

void TQuorTreeModel::SetParams(const TQuorTreeParams& params) {
  FParams = params;
  FIndexValid = FViewValid = false;
}

void TQuorTreeModel::Resize(int width, int height) {
  if (width == FParams.Width && height == FParams.Height) return;
  FParams.Width = width;
  FParams.Height = height;
  // The shown rows, their tops and the widest caption do not depend on the size.
  FViewValid = false;
  if (FIndexValid) ClampOffset();
}

TQuorDTVItem& TQuorTreeModel::AddRoot(const std::wstring& caption) {
  FRoots.push_back(std::make_unique<TQuorDTVItem>(*this, nullptr, caption));
  Changed();
  return *FRoots.back();
}

TQuorDTVItem& TQuorTreeModel::AddChild(TQuorDTVItem& parent, const std::wstring& caption) {
  parent.FChildren.push_back(std::make_unique<TQuorDTVItem>(*this, &parent, caption));
  Changed();
  return *parent.FChildren.back();
}

void TQuorTreeModel::Clear() {
  FRoots.clear();
  FShown.clear();
  FInView.clear();
  FHot = FPressed = {};
  FPressedItem = FCurrentItem = FAnchor1 = FAnchor2 = nullptr;
  FBandStart.reset();
  FBandPoint.reset();
  FBandDragged = false;
  FVerOffset = FHorOffset = 0;
  FTypeAhead.Reset();
  Changed();
}

TQuorDTVItem* TQuorTreeModel::Root(int index) const {
  return index >= 0 && index < RootCount() ? FRoots[size_t(index)].get() : nullptr;
}

void TQuorTreeModel::SetExpanded(TQuorDTVItem& row, bool expanded, bool recursive) {
  if (row.ChildCount() == 0) return;
  row.FExpanded = expanded;
  if (recursive)
    for (auto& child : row.FChildren) SetExpanded(*child, expanded, true);
  Changed();
}

// The index of shown rows.

void TQuorTreeModel::IndexRow(TQuorDTVItem& row, int siblingIndex, int x, int& y) {
  int height = FParams.ItemHeight;
  if (MeasureItem) MeasureItem(row, siblingIndex, height);
  int left = 0;
  if (ItemLeft) ItemLeft(row, siblingIndex, left);
  row.LeftIndent = left;
  const int contentX = x + left;
  FShown.push_back({&row, y, height, contentX});
  y += height + FParams.ItemMargin;

  const bool buttons = FParams.ShowButton && FParams.ButtonSize.cx > 0;
  const int buttonRight = contentX + FParams.MarginBtnPlus + FParams.ButtonSize.cx;
  if (TextWidth) {
    int textLeft = buttons ? buttonRight : contentX;
    if (FParams.ShowCheckBox && FParams.CheckSize.cx > 0)
      textLeft += FParams.MarginCheckBox + FParams.CheckSize.cx;
    if (FParams.ImageListWidth > 0) textLeft += FParams.MarginImageList + FParams.ImageListWidth;
    FWidest = std::max(FWidest, textLeft + FParams.MarginText + TextWidth(row) + 4);
  }
  row.ChildrenHeight = 0;
  if (!row.FExpanded || row.FChildren.empty()) return;
  const int start = y;
  const int childX = (buttons ? buttonRight : 2) + 2;
  for (size_t i = 0; i < row.FChildren.size(); ++i)
    if (row.FChildren[i]->FVisible) IndexRow(*row.FChildren[i], int(i), childX, y);
  row.ChildrenHeight = y - start;
}

void TQuorTreeModel::Reindex() {
  if (FIndexValid) return;
  FShown.clear();
  FWidest = 0;
  int y = 0;
  for (size_t i = 0; i < FRoots.size(); ++i)
    if (FRoots[i]->FVisible) IndexRow(*FRoots[i], int(i), 2, y);
  FContentHeight = FParams.ItemMargin + y;
  FIndexValid = true;
  FViewValid = false;
  ClampOffset();
}

int TQuorTreeModel::ShownCount() {
  Reindex();
  return int(FShown.size());
}

TQuorDTVItem* TQuorTreeModel::Shown(int index) {
  Reindex();
  return index >= 0 && index < int(FShown.size()) ? FShown[size_t(index)].Item : nullptr;
}

int TQuorTreeModel::ShownPosition(const TQuorDTVItem* row) {
  Reindex();
  for (size_t i = 0; i < FShown.size(); ++i)
    if (FShown[i].Item == row) return int(i);
  return -1;
}

// Scrolling.

int TQuorTreeModel::ContentHeight() {
  Reindex();
  return FContentHeight;
}

int TQuorTreeModel::WidestContent() {
  Reindex();
  return FWidest;
}

TQuorScrollRange TQuorTreeModel::HorScroll() {
  Reindex();
  const bool verBar = FParams.VerBarWidth > 0 && FParams.Height < FContentHeight;
  TQuorScrollRange r;
  r.Page = FParams.Width - 2 * FParams.Border - (verBar ? FParams.VerBarWidth : 0);
  r.Needed = FWidest > 0 && FWidest >= r.Page;
  if (!r.Needed) return {};
  r.Max = FWidest;
  r.Position = -FHorOffset;
  return r;
}

int TQuorTreeModel::ClientHeight() {
  Reindex();
  const bool horBar = FParams.HorBarHeight > 0 && HorScroll().Needed;
  return FParams.Height - (horBar ? FParams.HorBarHeight : 0);
}

TQuorScrollRange TQuorTreeModel::VerScroll() {
  TQuorScrollRange r;
  r.Page = ClientHeight();
  r.Needed = r.Page < FContentHeight;
  if (!r.Needed) return {};
  r.Max = FContentHeight;
  r.Position = -FVerOffset;
  return r;
}

bool TQuorTreeModel::VerBarShown() { return FParams.VerBarWidth > 0 && VerScroll().Needed; }

int TQuorTreeModel::VerOffset() {
  Reindex();
  return FVerOffset;
}

void TQuorTreeModel::ClampOffset() {
  const int client = ClientHeight();
  FVerOffset = FContentHeight <= client ? 0 : std::clamp(FVerOffset, client - FContentHeight, 0);
  const TQuorScrollRange h = HorScroll();
  FHorOffset = h.Needed ? std::clamp(FHorOffset, std::min(0, h.Page - h.Max), 0) : 0;
  FViewValid = false;
}

void TQuorTreeModel::SetVerPosition(int position) {
  Reindex();
  FVerOffset = -position;
  ClampOffset();
}

void TQuorTreeModel::SetHorPosition(int position) {
  Reindex();
  FHorOffset = -position;
  ClampOffset();
}

void TQuorTreeModel::EnsureVisible(const TQuorDTVItem* row) {
  const int position = ShownPosition(row);
  if (position < 0) return;
  const TShownRow& shown = FShown[size_t(position)];
  const int client = ClientHeight();
  if (shown.Top < -FVerOffset)
    FVerOffset = -shown.Top;
  else if (shown.Top + shown.Height > client - FVerOffset)
    FVerOffset = client - shown.Top - shown.Height;
  ClampOffset();
}

void TQuorTreeModel::LayoutRow(const TShownRow& shown) {
  TQuorDTVItem& row = *shown.Item;
  const int top = shown.Top + FVerOffset, h = shown.Height;
  const int barWidth = VerBarShown() ? FParams.VerBarWidth : 0;
  row.RowRect = {FHorOffset + 2, top, FParams.Width - 2 - barWidth, top + h};
  int x = shown.ContentX + FHorOffset;
  row.ContentLeft = x;
  auto place = [&](RECT& r, bool shownHere, int margin, SIZE size) {
    r = kNoRect;
    if (!shownHere || size.cx <= 0) return;
    const int y = top + (h - size.cy) / 2;
    r = {x + margin, y, x + margin + size.cx, y + size.cy};
    x = r.right;
  };
  place(row.ButtonRect, FParams.ShowButton, FParams.MarginBtnPlus, FParams.ButtonSize);
  place(row.CheckRect, FParams.ShowCheckBox, FParams.MarginCheckBox, FParams.CheckSize);
  row.ImageLeft = -1;
  if (FParams.ImageListWidth > 0) {
    row.ImageLeft = x + FParams.MarginImageList;
    x += FParams.MarginImageList + FParams.ImageListWidth;
  }
  const int textTop = top + (h - FParams.TextHeight) / 2;
  row.TextRect = {x + FParams.MarginText, textTop, row.RowRect.right - row.RightReserve - 2,
                  textTop + FParams.TextHeight};
}

const std::vector<TQuorDTVItem*>& TQuorTreeModel::RowsInView() {
  Reindex();
  if (FViewValid) return FInView;
  FInView.clear();
  const int client = ClientHeight();
  // The first row whose bottom is below the top edge.
  auto it = std::upper_bound(FShown.begin(), FShown.end(), -FVerOffset,
                             [](int y, const TShownRow& s) { return y < s.Top + s.Height; });
  for (; it != FShown.end() && it->Top + FVerOffset < client; ++it) {
    LayoutRow(*it);
    FInView.push_back(it->Item);
  }
  FViewValid = true;
  return FInView;
}

TQuorTreeHit TQuorTreeModel::HitTest(POINT p) {
  const bool buttons = FParams.ShowButton && FParams.ButtonSize.cx > 0;
  for (TQuorDTVItem* row : RowsInView()) {
    if (!row->Enabled || !RectHolds(row->RowRect, p)) continue;
    if (buttons && row->ChildCount() > 0 && RectHolds(row->ButtonRect, p))
      return {TQuorTreePart::Button, row};
    if (FParams.ShowCheckBox && RectHolds(row->CheckRect, p)) return {TQuorTreePart::Check, row};
    return {TQuorTreePart::Row, row};
  }
  return {};
}

}  // namespace quor
