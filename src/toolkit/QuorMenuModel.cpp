#include "toolkit/QuorMenuModel.h"

#include <algorithm>
#include <utility>

namespace quor {

TQuorMenuItem& TQuorMenuModel::AddMenuItem(std::unique_ptr<TQuorMenuItem> item) {
  item->FParent = nullptr;
  auto mark = [](auto&& self, TQuorMenuItem& i) -> void {
    i.FShortCutRegistered = true;
    for (const auto& child : i.Children()) self(self, *child);
  };
  mark(mark, *item);
  FItems.push_back(std::move(item));
  return *FItems.back();
}

TMenuResult TQuorMenuModel::ClearItems() {
  TMenuResult r = CloseMenu();
  for (auto& level : FLevels) level = TMenuLevel{};
  FItems.clear();
  return r;
}

TQuorMenuItem* TQuorMenuModel::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FItems[size_t(index)].get();
}

TQuorMenuItem* TQuorMenuModel::FindShortCut(TShortCut shortCut) const {
  if (shortCut == scNone) return nullptr;
  // Walking the tree in order visits registered items in the order they were registered;
  // items freed with their parent's submenu are simply no longer there.
  TQuorMenuItem* found = nullptr;
  auto visit = [&](auto&& self, TQuorMenuItem& item) -> void {
    if (found) return;
    if (item.FShortCutRegistered && item.Visible && item.Enabled && item.ShortCut == shortCut) {
      found = &item;
      return;
    }
    for (const auto& child : item.Children()) self(self, *child);
  };
  for (const auto& item : FItems) visit(visit, *item);
  return found;
}

TMenuResult TQuorMenuModel::ShortCut(TShortCut shortCut) {
  TQuorMenuItem* item = FindShortCut(shortCut);
  if (!item) return {};
  TMenuResult r = CloseMenu();
  r.Handled = true;
  r.Fire = item;
  return r;
}

bool TQuorMenuModel::MeasureAndPlace(int level, TQuorMenuItem* owner) {
  TMenuLevel& lv = Lv(level);
  lv = TMenuLevel{};
  lv.Owner = owner;
  lv.Items = owner ? &owner->Children() : &FItems;
  MeasureLevel(
      lv, Metrics, Measure, [this](const TQuorMenuItem& i) { return FontStateOf(i); }, WorkArea);
  return lv.Width > 0 && lv.Height > 0;
}

TMenuResult TQuorMenuModel::Popup(POINT at) {
  TMenuResult r = CloseMenu();
  if (!MeasureAndPlace(0, nullptr)) return r;
  TMenuLevel& root = Lv(0);
  const POINT p = PlaceRootLevel(at, {root.Width, root.Height}, WorkArea);
  root.Left = p.x;
  root.Top = p.y;
  FLevelCount = 1;
  FShowing = true;
  r.Handled = true;
  r.OpenLevel = 0;
  r.RedrawLevel(0);
  return r;
}

TMenuResult TQuorMenuModel::CloseMenu() {
  TMenuResult r;
  if (!FShowing) return r;
  if (FRepeatLevel >= 0) r.StopRepeat = true;
  FRepeatLevel = -1;
  FHot = FPressed = nullptr;
  FLevelCount = 0;
  FShowing = false;
  r.Handled = true;
  r.CloseFrom = 0;
  r.CloseMenu = true;
  return r;
}

int TQuorMenuModel::LevelOf(const TQuorMenuItem* item) const {
  if (!item) return -1;
  for (int k = 0; k < FLevelCount; ++k)
    if (FLevels[size_t(k)].Owner == item->Parent()) return k;
  return -1;
}

TQuorMenuItem* TQuorMenuModel::OpenItem(int level) const {
  if (level < 1 || level >= FLevelCount) return nullptr;
  return FLevels[size_t(level)].Owner;
}

TMenuFontState TQuorMenuModel::FontStateOf(const TQuorMenuItem& item) const {
  if (!item.Enabled) return TMenuFontState::Disable;
  if (&item == FHot) return TMenuFontState::Over;
  if (&item == FPressed) return TMenuFontState::Down;
  if (item.Highlighted) return TMenuFontState::Select;
  return TMenuFontState::Normal;
}

int TQuorMenuModel::HighlightFrameOf(const TQuorMenuItem& item) const {
  if (&item == FPressed) return 1;
  if (&item == FHot) return 0;
  if (item.Highlighted) return 2;
  for (int k = 1; k < FLevelCount; ++k)
    if (FLevels[size_t(k)].Owner == &item) return 0;
  return -1;
}

void TQuorMenuModel::CloseLevelsFrom(int level, TMenuResult& r) {
  if (level >= FLevelCount) return;
  if (FRepeatLevel >= level) {
    FRepeatLevel = -1;
    r.StopRepeat = true;
  }
  if (LevelOf(FHot) >= level) FHot = nullptr;
  if (LevelOf(FPressed) >= level) FPressed = nullptr;
  for (int k = level; k < FLevelCount; ++k) Lv(k) = TMenuLevel{};
  FLevelCount = level;
  r.CloseFrom = r.CloseFrom < 0 ? level : std::min(r.CloseFrom, level);
  r.RedrawLevel(level - 1);  // its open item loses its highlight
}

void TQuorMenuModel::OpenSubmenu(TQuorMenuItem& item, int level, TMenuResult& r) {
  const int sub = level + 1;
  if (sub >= kMaxLevels || !item.HasChildren()) return;
  CloseLevelsFrom(sub, r);
  if (!MeasureAndPlace(sub, &item)) {
    Lv(sub) = TMenuLevel{};
    return;
  }
  TMenuLevel& lv = Lv(sub);
  const POINT p =
      PlaceSubLevel(Lv(level), item, {lv.Width, lv.Height}, WorkArea, Metrics.AlphaWidth);
  lv.Left = p.x;
  lv.Top = p.y;
  FLevelCount = sub + 1;
  r.OpenLevel = sub;
  r.RedrawLevel(sub);
  r.RedrawLevel(level);
}

void TQuorMenuModel::ClearHot(TMenuResult& r) {
  if (!FHot) return;
  r.RedrawLevel(LevelOf(FHot));
  FHot = nullptr;
}

void TQuorMenuModel::Click(TQuorMenuItem& item, TMenuResult& r) {
  r.Handled = true;
  if (item.HasChildren()) {
    if (FPressed) r.RedrawLevel(LevelOf(FPressed));
    FPressed = nullptr;
    return;
  }
  if (item.AutoCheck) item.Checked = !item.Checked;
  if (item.Checked && item.RadioItem && item.GroupIndex != -1) {
    const auto& siblings = item.Parent() ? item.Parent()->Children() : FItems;
    for (const auto& s : siblings)
      if (s.get() != &item && s->RadioItem && s->GroupIndex == item.GroupIndex) s->Checked = false;
  }
  const TMenuResult closed = CloseMenu();
  r.CloseFrom = closed.CloseFrom;
  r.CloseMenu = closed.CloseMenu;
  r.StopRepeat = r.StopRepeat || closed.StopRepeat;
  r.Fire = &item;
}

}  // namespace quor
