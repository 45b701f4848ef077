// Layout, scrolling and hit-testing of the column list box model.
#include <algorithm>

#include "toolkit/QuorListModel.h"

namespace quor {

// Layout.

RECT TQuorListModel::HeaderRect() const {
  const int b = BorderWidth();
  if (!FParams.HaveHeader) return {b, b, FParams.Width - b, 0};
  return {b, b, FParams.Width - b, b + FParams.HeaderHeight};
}

int TQuorListModel::HeaderBottom() const { return HeaderRect().bottom; }

int TQuorListModel::RowsThatFit() const {
  if (FParams.ItemHeight <= 0) return 0;
  return std::max(0, (FParams.Height - 2 * BorderWidth() - HeaderBottom()) / FParams.ItemHeight);
}

void TQuorListModel::LayoutHeader() {
  const RECT header = HeaderRect();
  const bool checks = FParams.CheckSize.cx > 0;
  int x = header.left + FHorOffset;
  bool stopped = !FParams.HaveHeader;
  for (auto& column : FColumns) {
    column->CellRect = column->SplitRect = column->CheckRect = kNoRect;
    if (stopped || !column->Visible()) continue;
    if (x >= header.right) {
      stopped = true;
      continue;
    }
    RECT& cell = column->CellRect;
    cell = {x, header.top, std::min(LONG(x + column->Width()), header.right),
            header.top + FParams.HeaderHeight};
    x += column->Width() + FParams.HeaderSplitWidth;
    if (column->ShowCheckBox && checks) {
      const int top = cell.top + (FParams.HeaderHeight - FParams.CheckSize.cy) / 2;
      column->CheckRect = {cell.left + 2, top, cell.left + 2 + FParams.CheckSize.cx,
                           top + FParams.CheckSize.cy};
    }
    if (cell.right >= header.right) {
      stopped = true;
      continue;
    }
    column->SplitRect = {cell.right, header.top, cell.right + FParams.HeaderSplitWidth,
                         header.bottom};
  }
}

void TQuorListModel::LayoutRow(TQuorLboxItem& item, int top, int height) {
  const int barWidth = VerBarShown() ? FParams.VerBarWidth : 0;
  item.RowRect = {FHorOffset + 2, top, FParams.Width - 2 - barWidth, top + height};
  int x = item.RowRect.left + FParams.ItemLeftFix;
  item.CheckRect = kNoRect;
  if (FParams.ShowCheckBox && FParams.CheckSize.cx > 0) {
    const int checkTop = top + (height - FParams.CheckSize.cy) / 2;
    x += FParams.MarginCheckBox;
    item.CheckRect = {x, checkTop, x + FParams.CheckSize.cx, checkTop + FParams.CheckSize.cy};
    x = item.CheckRect.right;
  }
  item.ImageLeft = -1;
  if (FParams.ImageListWidth > 0) {
    item.ImageLeft = x + FParams.MarginImageList;
    x += FParams.ImageListWidth;
  }
  const TQuorLbHeadItem* first = GetHeadItem(0);
  int textRight = item.RowRect.right - 2;
  if (FParams.HaveHeader && first && first->Visible() && first->CellRect.right >= 0)
    textRight = first->CellRect.right;
  const int textTop = top + (height - FParams.TextHeight) / 2;
  item.TextRect = {x + FParams.MarginText, textTop, textRight, textTop + FParams.TextHeight};

  const int cells = FParams.HaveHeader ? std::min(item.SubItemCount(), HeadCount() - 1) : 0;
  for (int i = 0; i < item.SubItemCount(); ++i) {
    TQuorlboxSubitem& sub = *item.SubItem(i);
    sub.CellRect = kNoRect;
    const TQuorLbHeadItem& column = *FColumns[size_t(i + 1 < HeadCount() ? i + 1 : 0)];
    if (i >= cells || !column.Visible() || column.CellRect.right < 0) continue;
    sub.CellRect = {column.CellRect.left, top, std::min(column.CellRect.right, item.RowRect.right),
                    LONG(top + height)};
  }
}

const std::vector<TQuorLboxItem*>& TQuorListModel::RowsInView() {
  if (FLayoutValid) return FInView;
  if (VisibleCount() <= RowsThatFit()) FTopIndex = -1;  // everything fits
  if (!HorScroll().Needed) FHorOffset = 0;
  LayoutHeader();
  FInView.clear();
  const int fit = RowsThatFit();
  int y = RowsTop();
  for (int i = std::max(FTopIndex, 0); i < ItemCount() && int(FInView.size()) <= fit; ++i) {
    TQuorLboxItem& item = *FItems[size_t(i)];
    if (!item.Visible()) continue;
    int height = FParams.ItemHeight;
    if (MeasureItem) MeasureItem(item, i, height);
    LayoutRow(item, y, height);
    y += height;
    FInView.push_back(&item);
  }
  FLayoutValid = true;
  return FInView;
}

// Scrolling.

int TQuorListModel::VisiblePosition(int index) const {
  if (index < 0) return 0;
  if (FHiddenCount == 0) return index;
  int position = 0;
  for (int i = 0; i < index; ++i)
    if (FItems[size_t(i)]->Visible()) ++position;
  return position;
}

int TQuorListModel::IndexOfVisible(int position) const {
  if (position < 0 || position >= VisibleCount()) return -1;
  if (FHiddenCount == 0) return position;
  for (int i = 0; i < ItemCount(); ++i)
    if (FItems[size_t(i)]->Visible() && position-- == 0) return i;
  return -1;
}

bool TQuorListModel::VerBarShown() const {
  return FParams.VerBarWidth > 0 && VisibleCount() > RowsThatFit();
}

TQuorScrollRange TQuorListModel::VerScroll() const {
  TQuorScrollRange r;
  r.Needed = VisibleCount() > RowsThatFit();
  if (!r.Needed) return r;
  r.Max = VisibleCount() - 1;
  r.Page = RowsThatFit();
  r.Position = VisiblePosition(FTopIndex);
  return r;
}

void TQuorListModel::SetVerPosition(int position) {
  const int last = std::max(0, VisibleCount() - RowsThatFit());
  FTopIndex = IndexOfVisible(std::clamp(position, 0, last));
  FLayoutValid = false;
}

void TQuorListModel::ScrollToTop() {
  FTopIndex = -1;
  FLayoutValid = false;
}

void TQuorListModel::EnsureVisible(const TQuorLboxItem* item) {
  const int index = IndexOf(item);
  if (index < 0 || !item->Visible()) return;
  const int position = VisiblePosition(index);
  const int top = VisiblePosition(FTopIndex);
  const int fit = std::max(RowsThatFit(), 1);
  if (position < top)
    SetVerPosition(position);
  else if (position >= top + fit)
    SetVerPosition(position - fit + 1);
}

TQuorScrollRange TQuorListModel::HorScroll() const {
  TQuorScrollRange r;
  if (!FParams.HaveHeader || FColumns.empty()) return r;
  int total = 0;
  for (auto& column : FColumns)
    if (column->Visible()) total += column->Width();
  const int available =
      FParams.Width - 2 * BorderWidth() - (VerBarShown() ? FParams.VerBarWidth : 0);
  r.Needed = total >= available;
  if (!r.Needed) return r;
  r.Max = total;
  r.Page = available;
  r.Position = -FHorOffset;
  return r;
}

void TQuorListModel::SetHorPosition(int position) {
  const TQuorScrollRange r = HorScroll();
  FHorOffset = r.Needed ? -std::clamp(position, 0, std::max(0, r.Max - r.Page)) : 0;
  FLayoutValid = false;
}

// Hit-testing.

TQuorListHit TQuorListModel::HitTest(POINT p) {
  const std::vector<TQuorLboxItem*>& rows = RowsInView();
  TQuorListHit hit;
  if (FParams.HaveHeader && RectHolds(HeaderRect(), p)) {
    hit.Part = TQuorListPart::Header;
    for (int i = 0; i < HeadCount(); ++i) {
      const TQuorLbHeadItem& column = *FColumns[size_t(i)];
      if (!column.Visible() || !column.Enabled) continue;
      if (RectHolds(column.CellRect, p))
        return {
            RectHolds(column.CheckRect, p) ? TQuorListPart::HeaderCheck : TQuorListPart::HeaderCell,
            i};
      if (RectHolds(column.SplitRect, p)) return {TQuorListPart::Separator, i};
    }
    return hit;
  }
  for (TQuorLboxItem* row : rows) {
    if (!row->Enabled || !RectHolds(row->RowRect, p)) continue;
    hit = {TQuorListPart::Row, -1, row};
    if (FParams.ShowCheckBox && RectHolds(row->CheckRect, p)) hit.Part = TQuorListPart::RowCheck;
    for (int i = 0; row->HasButton() && i < row->SubItemCount(); ++i) {
      const TQuorlboxSubitem& sub = *row->SubItem(i);
      if (!sub.IsButton() || !RectHolds(sub.CellRect, p)) continue;
      hit.Part = TQuorListPart::RowButton;
      hit.Subitem = i;
      hit.RightPart = FParams.MenuButtons && p.x >= sub.CellRect.left + FParams.MenuBtnSplitX;
    }
    return hit;
  }
  return hit;
}

bool TQuorListModel::RowCheckHot(const TQuorLboxItem* item) const {
  return FHot.Part == TQuorListPart::RowCheck && FHot.Item == item;
}

int TQuorListModel::HotColumn() const {
  return FHot.Part == TQuorListPart::HeaderCell || FHot.Part == TQuorListPart::HeaderCheck
             ? FHot.Column
             : -1;
}

int TQuorListModel::HotSeparator() const {
  return FHot.Part == TQuorListPart::Separator ? FHot.Column : -1;
}

}  // namespace quor
