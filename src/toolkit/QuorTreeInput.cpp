// Mouse, check propagation, selection and keyboard rules of the tree model.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "toolkit/QuorTreeModel.h"

namespace quor {
namespace {

constexpr int kBandThreshold = 10;

bool Intersect(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

template <class F>
void ForEachDescendant(TQuorDTVItem& row, const F& f) {
  for (int i = 0; i < row.ChildCount(); ++i) {
    f(*row.Child(i));
    ForEachDescendant(*row.Child(i), f);
  }
}

}  // namespace

// Check boxes.

void TQuorTreeModel::ClickCheck(TQuorDTVItem& row) {
  const int state = row.FCheckState == kCheckTicked ? kCheckClear : kCheckTicked;
  row.FCheckState = state;
  Fire({TQuorTreeEventKind::ItemCheck, &row, true});
  ForEachDescendant(row, [&](TQuorDTVItem& d) {
    const bool changed = d.FCheckState != state;
    d.FCheckState = state;
    Fire({TQuorTreeEventKind::ItemCheck, &d, changed});
  });
  RecomputeParents(row);
  if (OnChange) OnChange();
}

// A parent of one child follows it; else its children's states decide, and a
// mix the rules do not name (partial with ticked) leaves it as it was.
void TQuorTreeModel::RecomputeParents(TQuorDTVItem& row) {
  TQuorDTVItem* child = &row;
  for (TQuorDTVItem* parent = row.FParent; parent; child = parent, parent = parent->FParent) {
    const int old = parent->FCheckState;
    if (parent->ChildCount() == 1) {
      parent->FCheckState = child->FCheckState;
    } else {
      bool ticked = false, partial = false, clear = false;
      for (auto& c : parent->FChildren) {
        ticked |= c->FCheckState == kCheckTicked;
        partial |= c->FCheckState == kCheckPartial;
        clear |= c->FCheckState == kCheckClear;
      }
      if (ticked && !partial && !clear)
        parent->FCheckState = kCheckTicked;
      else if (clear && !ticked && !partial)
        parent->FCheckState = kCheckClear;
      else if (clear && ticked != partial)
        parent->FCheckState = kCheckPartial;
    }
    Fire({TQuorTreeEventKind::ItemCheck, parent, parent->FCheckState != old});
  }
}

// Selection.

void TQuorTreeModel::ClearSelection() {
  for (auto& root : FRoots) {
    root->Selected = false;
    ForEachDescendant(*root, [](TQuorDTVItem& d) { d.Selected = false; });
  }
}

void TQuorTreeModel::SelectOnPress(TQuorDTVItem& row, TQuorModifiers keys) {
  if (!FParams.MultiSelect) {
    ClearSelection();
  } else if (keys.Ctrl) {
    // adds to the selection
  } else if (!keys.Shift) {
    ClearSelection();
    FAnchor1 = &row;
  } else if (!FAnchor1) {
    FAnchor1 = &row;
  } else if (!FAnchor2) {
    FAnchor2 = &row;
    // The range spans root rows only; with an anchor below the roots it is empty.
    if (!FAnchor1->FParent && !FAnchor2->FParent) {
      int from = FAnchor1->IndexInParent(), to = FAnchor2->IndexInParent();
      if (from > to) std::swap(from, to);
      for (int i = from; i <= to; ++i) FRoots[size_t(i)]->Selected = true;
    }
  } else {
    ClearSelection();
    FAnchor1 = &row;
    FAnchor2 = nullptr;
  }
  row.Selected = true;
}

// Mouse.

bool TQuorTreeModel::UpdateHot(const TQuorTreeHit& hit) {
  auto drawn = [this](TQuorTreeHit h) {
    return h.Part == TQuorTreePart::Row && !FParams.HotTrack ? TQuorTreeHit{} : h;
  };
  const bool changed = !(drawn(FHot) == drawn(hit));
  FHot = hit;
  return changed;
}

std::optional<RECT> TQuorTreeModel::BandRect() const {
  if (!FParams.MultiSelect || !FParams.RubberBand || !FBandStart || !FBandPoint) return {};
  const POINT s = *FBandStart;
  POINT c = *FBandPoint;
  if (std::abs(c.x - s.x) < kBandThreshold && std::abs(c.y - s.y) < kBandThreshold) return {};
  c.x = std::clamp(c.x, LONG(0), LONG(FParams.Width));
  c.y = std::clamp(c.y, LONG(0), LONG(FParams.Height));
  return RECT{std::min(s.x, c.x), std::min(s.y, c.y), std::max(s.x, c.x), std::max(s.y, c.y)};
}

bool TQuorTreeModel::DragBand(POINT p) {
  FBandPoint = p;
  const std::optional<RECT> band = BandRect();
  if (!band) return true;
  FBandDragged = true;
  for (TQuorDTVItem* row : RowsInView())
    if (!row->FParent && row->Enabled) row->Selected = Intersect(row->RowRect, *band);
  return true;
}

bool TQuorTreeModel::MouseMove(POINT p, bool leftButton) {
  if (leftButton && FParams.MultiSelect && FBandStart) return DragBand(p);
  return UpdateHot(HitTest(p));
}

bool TQuorTreeModel::MouseDown(POINT p, TQuorModifiers keys) {
  UpdateHot(HitTest(p));
  if (FParams.MultiSelect) {
    FBandStart = p;
    FBandPoint.reset();
    FBandDragged = false;
  }
  switch (FHot.Part) {
    case TQuorTreePart::Button:
    case TQuorTreePart::Check:
      FPressed = FHot;
      break;
    case TQuorTreePart::Row:
      FCurrentItem = FPressedItem = FHot.Item;
      SelectOnPress(*FHot.Item, keys);
      Fire({TQuorTreeEventKind::ItemMouseDown, FHot.Item, false, p});
      break;
    case TQuorTreePart::None:
      ClearSelection();
      FCurrentItem = nullptr;
      FHot = {};
      break;
  }
  return true;
}

bool TQuorTreeModel::ToggleExpanded(TQuorDTVItem& row) {
  row.SetExpanded(!row.FExpanded);
  Fire({TQuorTreeEventKind::ItemExpand, &row});
  return true;
}

bool TQuorTreeModel::MouseUp(POINT p) {
  UpdateHot(HitTest(p));
  const bool dragged = FBandDragged;
  FBandStart.reset();
  FBandPoint.reset();
  FBandDragged = false;
  const TQuorTreeHit pressed = std::exchange(FPressed, {});
  TQuorDTVItem* pressedItem = std::exchange(FPressedItem, nullptr);
  if (FParams.MultiSelect && dragged) return true;
  if (pressed.Part == TQuorTreePart::Button) {
    if (FHot == pressed) ToggleExpanded(*pressed.Item);
  } else if (pressed.Part == TQuorTreePart::Check) {
    if (FHot == pressed) ClickCheck(*pressed.Item);
  } else if (pressedItem) {
    if (FHot.Item == pressedItem) Fire({TQuorTreeEventKind::ItemClick, pressedItem});
    Fire({TQuorTreeEventKind::ItemMouseUp, pressedItem, false, p});
  }
  return true;
}

bool TQuorTreeModel::MouseLeave() { return UpdateHot({}); }

bool TQuorTreeModel::FocusLost() {
  if (!FCurrentItem) return false;
  FCurrentItem = nullptr;
  FHot = {};
  return true;
}

// Keyboard, over the shown rows.

bool TQuorTreeModel::Navigable(int position) {
  const TQuorDTVItem* row = Shown(position);
  return row && row->Enabled;
}

int TQuorTreeModel::StepFrom(int position, int steps) {
  const int direction = steps < 0 ? -1 : 1;
  int result = -1;
  for (int i = position + direction, left = std::abs(steps); left > 0 && i >= 0 && i < ShownCount();
       i += direction) {
    if (!Navigable(i)) continue;
    result = i;
    --left;
  }
  return result;
}

void TQuorTreeModel::SelectShownRange(int from, int to) {
  if (from < 0 || to < 0) return;
  if (from > to) std::swap(from, to);
  for (int i = from; i <= to; ++i) FShown[size_t(i)].Item->Selected = true;
}

bool TQuorTreeModel::MoveCurrentTo(int position, TQuorModifiers keys) {
  TQuorDTVItem* row = Shown(position);
  if (!row) return false;
  ClearSelection();
  if (keys.Shift && FParams.MultiSelect) {
    if (!FAnchor1) FAnchor1 = FCurrentItem ? FCurrentItem : row;
    FAnchor2 = row;
    SelectShownRange(ShownPosition(FAnchor1), position);
  } else {
    FAnchor1 = row;
    FAnchor2 = nullptr;
  }
  row->Selected = true;
  FCurrentItem = row;
  EnsureVisible(row);
  Fire({TQuorTreeEventKind::CurrentChange, row});
  return true;
}

bool TQuorTreeModel::KeyDown(int vk, TQuorModifiers keys) {
  const int current = FCurrentItem ? ShownPosition(FCurrentItem) : -1;
  const int rowHeight = std::max(1, FParams.ItemHeight + FParams.ItemMargin);
  const int page = std::max(1, ClientHeight() / rowHeight - 1);
  TQuorDTVItem* row = FCurrentItem;
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
      target = StepFrom(ShownCount(), -1);
      break;
    case VK_LEFT:
      if (current < 0) return false;
      if (row->FExpanded && row->ChildCount() > 0) return ToggleExpanded(*row);
      target = ShownPosition(row->FParent);
      keys = {};
      break;
    case VK_RIGHT:
      if (current < 0 || row->ChildCount() == 0) return false;
      if (!row->FExpanded) return ToggleExpanded(*row);
      if (Shown(current + 1) && Shown(current + 1)->FParent == row) target = current + 1;
      keys = {};
      break;
    case VK_SPACE:
      if (!row || !FParams.ShowCheckBox || !row->Enabled) return false;
      ClickCheck(*row);
      return true;
    default:
      return false;
  }
  if (target < 0 || (target == current && row->Selected)) return false;
  return MoveCurrentTo(target, keys);
}

bool TQuorTreeModel::SetCurrent(TQuorDTVItem& row) {
  const int position = ShownPosition(&row);
  return position >= 0 && MoveCurrentTo(position, {});
}

bool TQuorTreeModel::KeyChar(wchar_t c, unsigned timeMs) {
  if (c < L' ' || (c == L' ' && !FTypeAhead.Continues(timeMs))) return false;
  const std::wstring& prefix = FTypeAhead.Type(c, timeMs);
  const int count = ShownCount();
  const int current = FCurrentItem ? ShownPosition(FCurrentItem) : -1;
  auto find = [&](const std::wstring& text, int from) {
    for (int n = 0; n < count; ++n) {
      const int i = (from + n) % count;
      if (Navigable(i) && StartsWithNoCase(FShown[size_t(i)].Item->Caption(), text)) return i;
    }
    return -1;
  };
  int found = find(prefix, prefix.size() > 1 ? std::max(current, 0) : current + 1);
  if (found < 0 && FTypeAhead.Repeated()) found = find(prefix.substr(0, 1), current + 1);
  return found >= 0 && MoveCurrentTo(found, {});
}

}  // namespace quor
