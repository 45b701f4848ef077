// Mouse and wheel input of an open popup menu, and scrolling its levels.
#include <algorithm>
#include <cstdlib>

#include "toolkit/QuorMenuModel.h"

namespace quor {
TQuorMenuItem* TQuorMenuModel::ItemAt(int level, POINT p) const {
  for (TQuorMenuItem* item : FLevels[size_t(level)].Shown)
    if (item->Selectable() && PtInRect(&item->ItemRect, p)) return item;
  return nullptr;
}

void TQuorMenuModel::SetHotFromMouse(TQuorMenuItem* item, int level, TMenuResult& r) {
  ClearHot(r);
  if (FPressed && FPressed != item) {
    r.RedrawLevel(LevelOf(FPressed));
    FPressed = nullptr;
  }
  FHot = item;
  r.RedrawLevel(level);
  if (OpenItem(level + 1) == item) {
    CloseLevelsFrom(level + 2, r);  // its submenu stays open
    return;
  }
  CloseLevelsFrom(level + 1, r);
  OpenSubmenu(*item, level, r);
}

TMenuResult TQuorMenuModel::MouseMove(int level, POINT p) {
  TMenuResult r;
  if (level < 0 || level >= FLevelCount) return r;
  r.Handled = true;
  TMenuLevel& lv = Lv(level);
  if (lv.Scrolling) {
    const bool up = PtInRect(&lv.UpButton, p);
    const bool down = PtInRect(&lv.DownButton, p);
    if (up != lv.UpHot || down != lv.DownHot) r.RedrawLevel(level);
    lv.UpHot = up;
    lv.DownHot = down;
    if (up || down) return r;
  }
  TQuorMenuItem* item = ItemAt(level, p);
  if (item == FHot) return r;
  if (!item)
    ClearHot(r);
  else
    SetHotFromMouse(item, level, r);
  return r;
}

TMenuResult TQuorMenuModel::MouseLeave(int level) {
  TMenuResult r;
  if (level < 0 || level >= FLevelCount) return r;
  r.Handled = true;
  TMenuLevel& lv = Lv(level);
  if (lv.UpHot || lv.DownHot) r.RedrawLevel(level);
  lv.UpHot = lv.DownHot = false;
  if (LevelOf(FHot) == level) ClearHot(r);
  return r;
}

TMenuResult TQuorMenuModel::MouseDown(int level, POINT p) {
  TMenuResult r = MouseMove(level, p);
  if (!r.Handled) return r;
  TMenuLevel& lv = Lv(level);
  if (lv.UpHot || lv.DownHot) {
    lv.UpPressed = lv.UpHot;
    lv.DownPressed = lv.DownHot;
    FRepeatLevel = level;
    FRepeatDelta = lv.UpHot ? -1 : 1;
    ScrollBy(level, FRepeatDelta, r);
    r.StartRepeat = true;
    r.RedrawLevel(level);
  } else if (FHot && LevelOf(FHot) == level) {
    FPressed = FHot;
    r.RedrawLevel(level);
  }
  return r;
}

TMenuResult TQuorMenuModel::MouseUp(int level, POINT p) {
  TMenuResult r;
  if (level < 0 || level >= FLevelCount) return r;
  r.Handled = true;
  if (FRepeatLevel >= 0) {
    TMenuLevel& lv = Lv(FRepeatLevel);
    lv.UpPressed = lv.DownPressed = false;
    r.RedrawLevel(FRepeatLevel);
    r.StopRepeat = true;
    FRepeatLevel = -1;
    return r;
  }
  if (!FPressed) return r;
  if (ItemAt(level, p) == FPressed) {
    Click(*FPressed, r);
    return r;
  }
  r.RedrawLevel(LevelOf(FPressed));
  FPressed = nullptr;
  return r;
}

void TQuorMenuModel::ScrollBy(int level, int delta, TMenuResult& r) {
  TMenuLevel& lv = Lv(level);
  if (!ScrollLevel(lv, Metrics, delta)) return;
  // The submenus hang on items that have just moved.
  CloseLevelsFrom(level + 1, r);
  auto shown = [&lv](const TQuorMenuItem* i) {
    return std::find(lv.Shown.begin(), lv.Shown.end(), i) != lv.Shown.end();
  };
  if (LevelOf(FHot) == level && !shown(FHot)) FHot = nullptr;
  if (LevelOf(FPressed) == level && !shown(FPressed)) FPressed = nullptr;
  r.RedrawLevel(level);
}

TMenuResult TQuorMenuModel::Wheel(int delta) {
  TMenuResult r;
  if (!FShowing || delta == 0) return r;
  r.Handled = true;
  for (int k = FLevelCount - 1; k >= 0; --k) {
    if (!Lv(k).Scrolling) continue;
    const int notches = std::max(1, std::abs(delta) / WHEEL_DELTA);
    for (int n = 0; n < notches; ++n) ScrollBy(k, delta < 0 ? 1 : -1, r);
    break;
  }
  return r;
}

TMenuResult TQuorMenuModel::RepeatTick() {
  TMenuResult r;
  if (FRepeatLevel < 0 || FRepeatLevel >= FLevelCount) {
    r.StopRepeat = true;
    return r;
  }
  r.Handled = true;
  const int level = FRepeatLevel;
  const unsigned before = r.Redraw;
  ScrollBy(level, FRepeatDelta, r);
  if (r.Redraw == before) r.StopRepeat = true;  // no items remain that way
  return r;
}

}  // namespace quor
