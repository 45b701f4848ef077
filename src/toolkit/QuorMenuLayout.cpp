#include "toolkit/QuorMenuLayout.h"

#include <algorithm>

namespace quor {
namespace {

SIZE Measure(const TMenuTextMeasure& measure, const std::wstring& text, TMenuFontState font) {
  if (text.empty() || !measure.TextSize) return {0, 0};
  return measure.TextSize(text, font);
}

std::wstring ShortCutTextOf(const TMenuTextMeasure& measure, TShortCut shortCut) {
  if (shortCut == scNone) return L"";
  return measure.ShortCutText ? measure.ShortCutText(shortCut) : ShortCutToText(shortCut);
}

void ResetLevel(TMenuLevel& level) {
  level.Width = level.Height = 0;
  level.Scrolling = false;
  level.UpButton = level.DownButton = RECT{};
  level.UpHot = level.UpPressed = level.DownHot = level.DownPressed = false;
  level.Shown.clear();
  level.LastShown = -1;
}

void PlaceScrollButtons(TMenuLevel& level, const TQuorMenuMetrics& m) {
  const SIZE b = m.ScrollButton;
  const int left = (level.Width - b.cx) / 2;
  const int upTop = m.AlphaWidth + 2;
  level.UpButton = {left, upTop, left + b.cx, upTop + b.cy};
  const int downBottom = level.Height - m.AlphaWidth - 2;
  level.DownButton = {left, downBottom - b.cy, left + b.cx, downBottom};
}

}  // namespace

int TMenuLevel::IndexOf(const TQuorMenuItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (Item(i) == item) return i;
  return -1;
}

int MenuItemHeight(const TQuorMenuItem& item, const TQuorMenuMetrics& m) {
  if (item.IsSeparator()) return m.LineHeight;
  return item.Height >= 0 ? item.Height : m.ItemHeight;
}

void MeasureLevel(TMenuLevel& level, const TQuorMenuMetrics& m, const TMenuTextMeasure& measure,
                  const std::function<TMenuFontState(const TQuorMenuItem&)>& fontOf,
                  const RECT& workArea) {
  ResetLevel(level);
  level.CheckColumn = m.CheckWidth > 0 ? m.CheckWidth + 2 : m.MenuBarWidth;
  level.ImageColumn = m.HaveImages ? m.ImageWidth + 2 : 0;
  level.ArrowColumn = m.SubArrowWidth + 2;

  int height = 0;
  int widest = 0;
  bool anyVisible = false;
  for (int i = 0; i < level.Count(); ++i) {
    TQuorMenuItem& item = *level.Item(i);
    item.ItemRect = RECT{};
    if (!item.Visible) continue;
    anyVisible = true;
    height += MenuItemHeight(item, m) + 2;
    const TMenuFontState font = fontOf ? fontOf(item) : TMenuFontState::Normal;
    item.CaptionSize = Measure(measure, item.Caption, font);
    item.ShortCutSize = Measure(measure, ShortCutTextOf(measure, item.ShortCut), font);
    int width =
        level.CheckColumn + level.ImageColumn + item.CaptionSize.cx + item.ShortCutSize.cx + 2;
    if (item.HasChildren()) width += level.ArrowColumn;
    widest = std::max(widest, width);
  }
  if (!anyVisible || !m.HaveBack) return;

  level.Width = std::max(widest + 2 * m.AlphaWidth + (m.HaveBar ? m.BarWidth : 0), m.MinWidth);
  level.Height = height + 2 * m.AlphaWidth + 4;
  const int areaHeight = workArea.bottom - workArea.top;
  if (level.Height > areaHeight && m.ScrollButton.cx > 0 && m.ScrollButton.cy > 0) {
    // Never taller than the work area, even with scroll buttons higher than 10 pixels.
    level.Height = std::min(areaHeight, areaHeight - 20 + 2 * int(m.ScrollButton.cy));
    level.Scrolling = true;
    PlaceScrollButtons(level, m);
  }
  level.ScrollPos = std::clamp(level.ScrollPos, 0, std::max(0, level.Count() - 1));
  LayoutLevel(level, m);
}

void LayoutLevel(TMenuLevel& level, const TQuorMenuMetrics& m) {
  level.Shown.clear();
  level.LastShown = -1;
  for (int i = 0; i < level.Count(); ++i) level.Item(i)->ItemRect = RECT{};
  if (level.Width <= 0 || level.Height <= 0) return;

  const int left = m.AlphaWidth + 2 + (m.HaveBar ? m.BarWidth + 2 : 0);
  const int right = level.Width - m.AlphaWidth - 2;
  int y = m.AlphaWidth + 2 + (level.Scrolling ? int(m.ScrollButton.cy) : 0);
  // Items end above the down button, never under it.
  const int limit = level.Scrolling ? level.DownButton.top : level.Height - m.AlphaWidth - 2;
  for (int i = level.ScrollPos; i < level.Count(); ++i) {
    TQuorMenuItem& item = *level.Item(i);
    if (!item.Visible) continue;
    const RECT r{left, y, right, y + MenuItemHeight(item, m)};
    if (r.bottom > limit) break;
    item.ItemRect = r;
    level.Shown.push_back(&item);
    level.LastShown = i;
    y = r.bottom + 2;
  }
}

bool CanScrollUp(const TMenuLevel& level) {
  if (!level.Scrolling) return false;
  for (int i = std::min(level.ScrollPos, level.Count()) - 1; i >= 0; --i)
    if (level.Item(i)->Visible) return true;
  return false;
}

bool CanScrollDown(const TMenuLevel& level) {
  if (!level.Scrolling) return false;
  const int from = level.LastShown >= 0 ? level.LastShown + 1 : level.ScrollPos + 1;
  for (int i = from; i < level.Count(); ++i)
    if (level.Item(i)->Visible) return true;
  return false;
}

bool ScrollLevel(TMenuLevel& level, const TQuorMenuMetrics& m, int delta) {
  if (delta < 0) {
    if (!CanScrollUp(level)) return false;
    int i = level.ScrollPos - 1;
    while (!level.Item(i)->Visible) --i;
    level.ScrollPos = i;
  } else {
    if (!CanScrollDown(level)) return false;
    int i = level.ScrollPos + 1;
    while (i < level.Count() - 1 && !level.Item(i)->Visible) ++i;
    level.ScrollPos = i;
  }
  LayoutLevel(level, m);
  return true;
}

POINT PlaceRootLevel(POINT at, SIZE size, const RECT& workArea) {
  LONG left = at.x + size.cx > workArea.right ? at.x - size.cx : at.x;
  LONG top = at.y + size.cy > workArea.bottom ? workArea.bottom - size.cy : at.y;
  return {std::max(left, workArea.left), std::max(top, workArea.top)};
}

POINT PlaceSubLevel(const TMenuLevel& parent, const TQuorMenuItem& item, SIZE size,
                    const RECT& workArea, int alphaWidth) {
  LONG top = parent.Top + item.ItemRect.top;
  // Kept beside its parent item: moved up just enough to end at the work area's bottom.
  if (top + size.cy > workArea.bottom) top = workArea.bottom - size.cy;
  LONG left = parent.Left + parent.Width - alphaWidth;
  if (left + size.cx > workArea.right) left = parent.Left + alphaWidth - size.cx;
  return {std::max(left, workArea.left), std::max(top, workArea.top)};
}

}  // namespace quor
