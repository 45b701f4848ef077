// Mouse, selection and keyboard rules of the column list box model.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "toolkit/QuorListModel.h"

namespace quor {
namespace {

// The part of a hit that shows on screen: a hot row without hot tracking, or
// the header's empty end, looks the same as nothing hot.
TQuorListHit Drawn(TQuorListHit hit, bool hotTrack) {
  if (hit.Part == TQuorListPart::Header) hit.Part = TQuorListPart::None;
  if (hit.Part == TQuorListPart::Row && !hotTrack) hit = {};
  return hit;
}

bool Intersect(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

constexpr int kMinColumnWidth = 30;
constexpr int kBandThreshold = 10;

}  // namespace

bool TQuorListModel::UpdateHot(const TQuorListHit& hit) {
  const TQuorListHit old = FHot;
  FHot = hit;
  return !(Drawn(old, FParams.HotTrack) == Drawn(hit, FParams.HotTrack));
}

void TQuorListModel::ClearSelection() {
  for (auto& item : FItems) item->Selected = false;
}

// A Shift press selects every row between the anchors, hidden ones included;
// the keyboard selects only the rows the user sees.
void TQuorListModel::SelectRange(const TQuorLboxItem* a, const TQuorLboxItem* b, bool visibleOnly) {
  int from = IndexOf(a), to = IndexOf(b);
  if (from < 0 || to < 0) return;
  if (from > to) std::swap(from, to);
  for (int i = from; i <= to; ++i) {
    TQuorLboxItem& item = *FItems[size_t(i)];
    if (!visibleOnly || item.Visible()) item.Selected = true;
  }
}

void TQuorListModel::SelectOnPress(TQuorLboxItem& row, TQuorModifiers keys) {
  if (!FParams.MultiSelect) {
    ClearSelection();
  } else if (keys.Ctrl) {
    // adds to the selection, never removes
  } else if (!keys.Shift) {
    ClearSelection();
    FAnchor1 = &row;
  } else if (!FAnchor1) {
    FAnchor1 = &row;
  } else if (!FAnchor2) {
    FAnchor2 = &row;
    SelectRange(FAnchor1, FAnchor2, false);
  } else {
    // A third Shift press starts a new range.
    ClearSelection();
    FAnchor1 = &row;
    FAnchor2 = nullptr;
  }
  row.Selected = true;
}

// Mouse.

bool TQuorListModel::ResizeColumn(POINT p) {
  TQuorLbHeadItem* column = GetHeadItem(FPressedSplit);
  if (!column || !column->Resizable) return false;
  const int width = FPressWidth + (p.x - FPressX);
  if (width < kMinColumnWidth || width == column->Width()) return false;
  column->SetWidth(width);
  return true;
}

bool TQuorListModel::DragBand(POINT p) {
  FBandPoint = p;
  const std::optional<RECT> band = BandRect();
  if (!band) return true;
  FBandDragged = true;
  for (TQuorLboxItem* row : RowsInView())
    if (row->Enabled) row->Selected = Intersect(row->RowRect, *band);
  return true;
}

std::optional<RECT> TQuorListModel::BandRect() const {
  if (!FParams.MultiSelect || !FParams.RubberBand || !FBandStart || !FBandPoint) return {};
  const POINT s = *FBandStart;
  POINT c = *FBandPoint;
  if (std::abs(c.x - s.x) < kBandThreshold && std::abs(c.y - s.y) < kBandThreshold) return {};
  c.x = std::clamp(c.x, LONG(0), LONG(FParams.Width));
  c.y = std::clamp(c.y, LONG(HeaderBottom()), LONG(std::max(FParams.Height, HeaderBottom())));
  return RECT{std::min(s.x, c.x), std::min(s.y, c.y), std::max(s.x, c.x), std::max(s.y, c.y)};
}

bool TQuorListModel::MouseMove(POINT p, bool leftButton) {
  if (leftButton && FPressedSplit >= 0) return ResizeColumn(p);
  if (leftButton && FParams.MultiSelect && FBandStart) return DragBand(p);
  return UpdateHot(HitTest(p));
}

bool TQuorListModel::MouseDown(POINT p, TQuorModifiers keys) {
  UpdateHot(HitTest(p));
  switch (FHot.Part) {
    case TQuorListPart::HeaderCheck:
      FPressedHeadCheck = FHot.Column;
      return true;
    case TQuorListPart::HeaderCell:
      FPressedCell = FHot.Column;
      return true;
    case TQuorListPart::Separator:
      FPressedSplit = FHot.Column;
      FPressX = p.x;
      FPressWidth = FColumns[size_t(FHot.Column)]->Width();
      return true;
    case TQuorListPart::Header:
      return false;
    default:
      break;
  }
  if (FParams.MultiSelect) {
    FBandStart = p;
    FBandPoint.reset();
    FBandDragged = false;
  }
  switch (FHot.Part) {
    case TQuorListPart::RowButton:
      FPressedButton = FHot;
      break;
    case TQuorListPart::RowCheck:
      FPressedCheck = FHot.Item;
      break;
    case TQuorListPart::Row:
      FPressedItem = FHot.Item;
      SelectOnPress(*FHot.Item, keys);
      break;
    default:
      ClearSelection();
      FCurrentItem = nullptr;
      FHot = {};
      Fire({TQuorListEventKind::ItemClick});
      break;
  }
  return true;
}

bool TQuorListModel::HeaderUp() {
  if (FPressedHeadCheck >= 0) {
    const int index = std::exchange(FPressedHeadCheck, -1);
    TQuorLbHeadItem* column = GetHeadItem(index);
    if (column && FHot.Part == TQuorListPart::HeaderCheck && FHot.Column == index) {
      column->Checked = !column->Checked;
      Fire({TQuorListEventKind::HeadChecked, nullptr, column, index});
    }
  } else if (FPressedCell >= 0) {
    const int index = std::exchange(FPressedCell, -1);
    TQuorLbHeadItem* column = GetHeadItem(index);
    if (column && HotColumn() == index) {
      Fire({TQuorListEventKind::HeadClick, nullptr, column, index});
      // The handler may have rebuilt the header.
      if (GetHeadItem(index) == column && column->Sortable) {
        if (column->SortState == 0)
          for (auto& other : FColumns) other->SortState = 0;
        column->SortState = column->SortState == 1 ? 2 : 1;
      }
    }
  }
  FPressedSplit = -1;
  return true;
}

bool TQuorListModel::MouseUp(POINT p) {
  UpdateHot(HitTest(p));
  if (FPressedHeadCheck >= 0 || FPressedCell >= 0 || FPressedSplit >= 0) return HeaderUp();
  const bool dragged = FBandDragged;
  FBandStart.reset();
  FBandPoint.reset();
  FBandDragged = false;
  const TQuorListHit button = std::exchange(FPressedButton, {});
  TQuorLboxItem* check = std::exchange(FPressedCheck, nullptr);
  TQuorLboxItem* pressed = std::exchange(FPressedItem, nullptr);
  if (FParams.MultiSelect && dragged) {
    Fire({TQuorListEventKind::ItemClick});
    return true;
  }
  if (button.Item) {
    if (FHot.Part == TQuorListPart::RowButton && FHot.Item == button.Item &&
        FHot.Subitem == button.Subitem)
      Fire({FHot.RightPart ? TQuorListEventKind::ThirdMenuButtonClick
                           : TQuorListEventKind::ThirdButtonClick,
            button.Item, nullptr, button.Subitem});
  } else if (check) {
    if (FHot.Part == TQuorListPart::RowCheck && FHot.Item == check) ToggleCheck(*check);
  } else if (pressed && FHot.Item) {
    FCurrentItem = FHot.Item;
    Fire({TQuorListEventKind::ItemClick, FHot.Item});
  }
  return true;
}

bool TQuorListModel::ToggleCheck(TQuorLboxItem& item) {
  item.Checked = !item.Checked;
  Fire({TQuorListEventKind::ItemCheck, &item});
  return true;
}

bool TQuorListModel::MouseLeave() { return UpdateHot({}); }

bool TQuorListModel::EndPress() {
  const bool pressed = FPressedItem || FPressedCheck || FPressedButton.Item || FPressedCell >= 0 ||
                       FPressedHeadCheck >= 0 || FPressedSplit >= 0 || FBandStart;
  FPressedItem = FPressedCheck = nullptr;
  FPressedButton = {};
  FPressedCell = FPressedHeadCheck = FPressedSplit = -1;
  FBandStart.reset();
  FBandPoint.reset();
  FBandDragged = false;
  return pressed;
}

bool TQuorListModel::FocusLost() {
  if (!FCurrentItem) return false;
  FCurrentItem = nullptr;
  FHot = {};
  return true;
}

// Keyboard.

bool TQuorListModel::Navigable(int index) const {
  const TQuorLboxItem* item = GetItem(index);
  return item && item->Visible() && item->Enabled;
}

int TQuorListModel::StepFrom(int index, int steps) const {
  const int direction = steps < 0 ? -1 : 1;
  int result = -1;
  for (int i = index + direction, left = std::abs(steps); left > 0 && i >= 0 && i < ItemCount();
       i += direction) {
    if (!Navigable(i)) continue;
    result = i;
    --left;
  }
  return result;
}

bool TQuorListModel::MoveCurrentTo(int index, TQuorModifiers keys) {
  TQuorLboxItem* row = GetItem(index);
  if (!row) return false;
  ClearSelection();
  if (keys.Shift && FParams.MultiSelect) {
    if (!FAnchor1) FAnchor1 = FCurrentItem ? FCurrentItem : row;
    FAnchor2 = row;
    SelectRange(FAnchor1, row, true);
  } else {
    FAnchor1 = row;
    FAnchor2 = nullptr;
  }
  row->Selected = true;
  FCurrentItem = row;
  EnsureVisible(row);
  Fire({TQuorListEventKind::CurrentChange, row});
  return true;
}

bool TQuorListModel::KeyDown(int vk, TQuorModifiers keys) {
  const int current = FCurrentItem ? IndexOf(FCurrentItem) : -1;
  const int page = std::max(1, RowsThatFit() - 1);
  int target = -1;
  switch (vk) {
    case VK_UP:
    case VK_PRIOR:
      target = current < 0 ? StepFrom(-1, 1) : StepFrom(current, vk == VK_UP ? -1 : -page);
      break;
    case VK_DOWN:
    case VK_NEXT:
      target = StepFrom(current, current < 0 || vk == VK_DOWN ? 1 : page);
      break;
    case VK_HOME:
      target = StepFrom(-1, 1);
      break;
    case VK_END:
      target = StepFrom(ItemCount(), -1);
      break;
    case VK_SPACE:
      if (!FCurrentItem || !FParams.ShowCheckBox || !FCurrentItem->Enabled) return false;
      return ToggleCheck(*FCurrentItem);
    default:
      return false;
  }
  if (target < 0 || (target == current && FCurrentItem->Selected)) return false;
  return MoveCurrentTo(target, keys);
}

int TQuorListModel::FindByPrefix(const std::wstring& prefix, int from) const {
  const int count = ItemCount();
  for (int n = 0; n < count; ++n) {
    const int i = (from + n) % count;
    if (Navigable(i) && StartsWithNoCase(FItems[size_t(i)]->Caption(), prefix)) return i;
  }
  return -1;
}

bool TQuorListModel::KeyChar(wchar_t c, unsigned timeMs) {
  if (c < L' ' || (c == L' ' && !FTypeAhead.Continues(timeMs))) return false;
  const std::wstring& prefix = FTypeAhead.Type(c, timeMs);
  const int current = FCurrentItem ? IndexOf(FCurrentItem) : -1;
  // A longer prefix may still fit the current row; a first letter moves on.
  int found = FindByPrefix(prefix, prefix.size() > 1 ? std::max(current, 0) : current + 1);
  if (found < 0 && FTypeAhead.Repeated()) found = FindByPrefix(prefix.substr(0, 1), current + 1);
  return found >= 0 && MoveCurrentTo(found, {});
}

}  // namespace quor
