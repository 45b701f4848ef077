#include "toolkit/QuorListModel.h"

#include <algorithm>

namespace quor {

void TQuorListModel::Changed() {
  FLayoutValid = false;
  if (OnChange) OnChange();
}

void TQuorListModel::Fire(const TQuorListEvent& e) const {
  if (OnEvent) OnEvent(e);
}

void TQuorListModel::SetParams(const TQuorListParams& params) {
  FParams = params;
  FLayoutValid = false;
}

void TQuorListModel::Resize(int width, int height) {
  const int oldWidth = FParams.Width;
  FParams.Width = width;
  FParams.Height = height;
  FTopIndex = -1;
  for (auto& column : FColumns) {
    if (!column->Visible() || !column->AutoSize) continue;
    if (column->FWidth + width - oldWidth > 0) column->FWidth += width - oldWidth;
    break;
  }
  FLayoutValid = false;
}

// Rows.

TQuorLboxItem& TQuorListModel::AddItem() {
  FItems.push_back(std::make_unique<TQuorLboxItem>(*this));
  FLayoutValid = false;
  return *FItems.back();
}

void TQuorListModel::ItemVisibleChanged(bool visible) { FHiddenCount += visible ? -1 : 1; }

int TQuorListModel::IndexOf(const TQuorLboxItem* item) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == item) return int(i);
  return -1;
}

TQuorLboxItem* TQuorListModel::GetItem(int index) const {
  return index >= 0 && index < ItemCount() ? FItems[size_t(index)].get() : nullptr;
}

void TQuorListModel::Forget(const TQuorLboxItem* item) {
  auto clear = [item](TQuorLboxItem*& ref) {
    if (ref == item) ref = nullptr;
  };
  clear(FPressedItem);
  clear(FCurrentItem);
  clear(FPressedCheck);
  clear(FAnchor1);
  clear(FAnchor2);
  if (FHot.Item == item) FHot = {};
  if (FPressedButton.Item == item) FPressedButton = {};
  std::erase(FInView, item);
}

void TQuorListModel::DeleteItem(TQuorLboxItem* item) {
  const int index = IndexOf(item);
  if (index < 0) return;
  if (index == FTopIndex)
    FTopIndex = -1;
  else if (index < FTopIndex)
    --FTopIndex;  // the same row stays on top
  Forget(item);
  if (!item->Visible()) --FHiddenCount;
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TQuorListModel::Clear() {
  FItems.clear();
  FInView.clear();
  FHiddenCount = 0;
  FTopIndex = -1;
  FHorOffset = 0;
  FHot = {};
  FPressedButton = {};
  FPressedItem = FCurrentItem = FPressedCheck = FAnchor1 = FAnchor2 = nullptr;
  FBandStart.reset();
  FBandPoint.reset();
  FBandDragged = false;
  FTypeAhead.Reset();
  Changed();
}

TQuorLboxItem* TQuorListModel::GetSelectedItem() const {
  for (auto& item : FItems)
    if (item->Selected) return item.get();
  return nullptr;
}

int TQuorListModel::SelectedCount() const {
  return int(std::count_if(FItems.begin(), FItems.end(), [](auto& i) { return i->Selected; }));
}

void TQuorListModel::SortItems(
    const std::function<int(const TQuorLboxItem&, const TQuorLboxItem&)>& compare) {
  if (FItems.size() < 2 || !compare) return;
  std::sort(FItems.begin(), FItems.end(),
            [&compare](const auto& a, const auto& b) { return compare(*a, *b) < 0; });
  FTopIndex = -1;
  Changed();
}

// Columns.

TQuorLbHeadItem& TQuorListModel::AddHeadItem(std::unique_ptr<TQuorLbHeadItem> column) {
  column->FOwner = this;
  FColumns.push_back(std::move(column));
  Changed();
  return *FColumns.back();
}

void TQuorListModel::ClearHeader() {
  FColumns.clear();
  FHot = {};
  FPressedCell = FPressedHeadCheck = FPressedSplit = -1;
  Changed();
}

TQuorLbHeadItem* TQuorListModel::GetHeadItem(int index) const {
  return index >= 0 && index < HeadCount() ? FColumns[size_t(index)].get() : nullptr;
}

}  // namespace quor
