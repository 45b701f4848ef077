// The keyboard of an open popup menu: the keys act on the level of the hot item, or on the
// deepest level while nothing is hot.
#include <cwctype>
#include <vector>

#include "toolkit/QuorMenuModel.h"

namespace quor {

int TQuorMenuModel::KeyLevel() const {
  const int level = LevelOf(FHot);
  return level >= 0 ? level : FLevelCount - 1;
}

void TQuorMenuModel::ScrollIntoView(int level, const TQuorMenuItem& item, TMenuResult& r) {
  TMenuLevel& lv = Lv(level);
  const int index = lv.IndexOf(&item);
  if (index < 0 || !lv.Scrolling) return;
  if (index < lv.ScrollPos) {
    lv.ScrollPos = index;
    LayoutLevel(lv, Metrics);
    r.RedrawLevel(level);
  }
  while (index > lv.LastShown && ScrollLevel(lv, Metrics, 1)) r.RedrawLevel(level);
}

void TQuorMenuModel::SetHotFromKey(TQuorMenuItem& item, int level, TMenuResult& r) {
  ClearHot(r);
  if (FPressed) r.RedrawLevel(LevelOf(FPressed));
  FPressed = nullptr;
  FHot = &item;
  // As in system menus, moving away from an item closes its submenu; keys open submenus.
  if (OpenItem(level + 1) != &item) CloseLevelsFrom(level + 1, r);
  ScrollIntoView(level, item, r);
  r.RedrawLevel(level);
}

void TQuorMenuModel::MoveHot(int level, int from, int step, TMenuResult& r) {
  const TMenuLevel& lv = Lv(level);
  const int count = lv.Count();
  int i = from;
  for (int tries = 0; tries < count; ++tries) {
    i = (i + step + count) % count;
    TQuorMenuItem* item = lv.Item(i);
    if (!item->Selectable()) continue;
    if (item != FHot) SetHotFromKey(*item, level, r);
    return;
  }
}

void TQuorMenuModel::EnterSubmenu(TMenuResult& r) {
  const int level = LevelOf(FHot);
  if (level < 0 || !FHot->HasChildren() || level + 1 >= kMaxLevels) return;
  if (OpenItem(level + 1) != FHot) OpenSubmenu(*FHot, level, r);
  if (OpenItem(level + 1) != FHot) return;  // nothing visible to show
  MoveHot(level + 1, -1, 1, r);
}

void TQuorMenuModel::CloseDeepest(TMenuResult& r) {
  const int deepest = FLevelCount - 1;
  if (deepest == 0) return;
  TQuorMenuItem* owner = Lv(deepest).Owner;
  CloseLevelsFrom(deepest, r);
  ClearHot(r);
  FHot = owner;
  r.RedrawLevel(deepest - 1);
}

TMenuResult TQuorMenuModel::KeyDown(UINT key, [[maybe_unused]] bool shift, bool ctrl,
                                    [[maybe_unused]] bool alt) {
  TMenuResult r;
  if (!FShowing) return r;
  const int level = KeyLevel();
  const TMenuLevel& lv = Lv(level);
  r.Handled = true;
  switch (key) {
    case VK_DOWN:
    case VK_UP: {
      const int step = key == VK_DOWN ? 1 : -1;
      const int at = lv.IndexOf(FHot);
      MoveHot(level, at >= 0 ? at : (step > 0 ? -1 : lv.Count()), step, r);
      break;
    }
    case VK_HOME:
      MoveHot(level, -1, 1, r);
      break;
    case VK_END:
      MoveHot(level, lv.Count(), -1, r);
      break;
    case VK_RIGHT:
      EnterSubmenu(r);
      break;
    case VK_RETURN:
      if (FHot && FHot->HasChildren())
        EnterSubmenu(r);
      else if (FHot)
        Click(*FHot, r);
      break;
    case VK_LEFT:
      CloseDeepest(r);
      break;
    case VK_ESCAPE:
      if (FLevelCount > 1)
        CloseDeepest(r);
      else
        r = CloseMenu();
      break;
    default:
      if (ctrl || !((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))) {
        r.Handled = false;  // perhaps a shortcut
        break;
      }
      return AccessKey(wchar_t(key));
  }
  return r;
}

TMenuResult TQuorMenuModel::AccessKey(wchar_t c) {
  TMenuResult r;
  if (!FShowing) return r;
  r.Handled = true;
  const int level = KeyLevel();
  const TMenuLevel& lv = Lv(level);
  const wchar_t key = wchar_t(std::towupper(c));
  std::vector<TQuorMenuItem*> matches;
  for (int i = 0; i < lv.Count(); ++i)
    if (lv.Item(i)->Selectable() && AccessChar(lv.Item(i)->Caption) == key)
      matches.push_back(lv.Item(i));
  if (matches.empty()) return r;
  if (matches.size() > 1) {
    // Several items share the letter: each press moves to the next of them.
    const int at = lv.IndexOf(FHot);
    TQuorMenuItem* next = matches.front();
    for (TQuorMenuItem* m : matches)
      if (lv.IndexOf(m) > at) {
        next = m;
        break;
      }
    SetHotFromKey(*next, level, r);
    return r;
  }
  TQuorMenuItem& item = *matches.front();
  SetHotFromKey(item, level, r);
  if (item.HasChildren())
    EnterSubmenu(r);
  else
    Click(item, r);
  return r;
}

}  // namespace quor
