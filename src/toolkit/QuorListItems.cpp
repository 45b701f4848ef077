#include "toolkit/QuorListItems.h"

#include "toolkit/QuorListModel.h"

namespace quor {

TQuorlboxSubitem::TQuorlboxSubitem(TQuorLboxItem& owner, std::wstring text, bool isButton)
    : FOwner(&owner), FText(std::move(text)), FIsButton(isButton) {}

void TQuorlboxSubitem::SetText(const std::wstring& text) {
  if (text == FText) return;
  FText = text;
  TextWidth = -1;
  FOwner->Changed();
}

void TQuorLboxItem::Changed() const { FOwner->Changed(); }

void TQuorLboxItem::SetCaption(const std::wstring& caption) {
  FCaption = caption;
  CaptionWidth = -1;
  Changed();
}

void TQuorLboxItem::SetImageIndex(int index) {
  FImageIndex = index;
  Changed();
}

void TQuorLboxItem::SetVisible(bool visible) {
  if (visible != FVisible) {
    FVisible = visible;
    FOwner->ItemVisibleChanged(visible);
  }
  Changed();
}

TQuorlboxSubitem& TQuorLboxItem::AddSubItem(const std::wstring& text, bool isButton) {
  FSubItems.push_back(std::make_unique<TQuorlboxSubitem>(*this, text, isButton));
  if (isButton) FHasButton = true;
  Changed();
  return *FSubItems.back();
}

TQuorlboxSubitem* TQuorLboxItem::SubItem(int index) const {
  return index >= 0 && index < SubItemCount() ? FSubItems[size_t(index)].get() : nullptr;
}

void TQuorLbHeadItem::Changed() const {
  if (FOwner) FOwner->Changed();
}

void TQuorLbHeadItem::SetCaption(const std::wstring& caption) {
  FCaption = caption;
  Changed();
}

void TQuorLbHeadItem::SetWidth(int width) {
  FWidth = width;
  Changed();
}

void TQuorLbHeadItem::SetVisible(bool visible) {
  FVisible = visible;
  Changed();
}

}  // namespace quor
