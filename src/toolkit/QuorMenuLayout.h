#pragma once
// Size, item rectangles, scroll buttons and screen position of one popup-menu level.
// Text sizes, skin sizes and the work area come in, so the arithmetic can be tested directly.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/QuorMenuItem.h"

namespace quor {

// Which caption font an item is measured and drawn with.
enum class TMenuFontState : uint8_t { Normal, Over, Down, Disable, Select };

// Sizes of the menu's skin pieces and its published sizes.
struct TQuorMenuMetrics {
  int AlphaWidth = 8;
  int MenuBarWidth = 16;  // check column when there is no check mark
  int ItemHeight = 22;
  int MinWidth = 0;
  bool HaveBack = true;  // without a background the menu has no size and is not shown
  int CheckWidth = 0;    // one check-mark frame; 0 without the mark
  bool HaveImages = false;
  int ImageWidth = 0;     // of the image list
  int SubArrowWidth = 0;  // one submenu-arrow frame
  int LineHeight = 0;     // separator image
  bool HaveBar = false;
  int BarWidth = 0;
  SIZE ScrollButton{};  // one frame of the up/down strip; empty without the strip
};

struct TMenuTextMeasure {
  // Captions come as written, '&' marks included: measure them as they are drawn.
  std::function<SIZE(const std::wstring& text, TMenuFontState font)> TextSize;
  // Defaults to ShortCutToText.
  std::function<std::wstring(TShortCut)> ShortCutText;
};

struct TMenuLevel {
  TQuorMenuItem* Owner = nullptr;  // whose submenu this is; nullptr for the root
  const TQuorMenuItem::TItems* Items = nullptr;
  int Left = 0, Top = 0;  // screen position
  int Width = 0, Height = 0;
  int CheckColumn = 0, ImageColumn = 0, ArrowColumn = 0;
  bool Scrolling = false;
  RECT UpButton{}, DownButton{};  // level coordinates, only while scrolling
  bool UpHot = false, UpPressed = false, DownHot = false, DownPressed = false;
  int ScrollPos = 0;                  // index in Items of the first item laid out
  std::vector<TQuorMenuItem*> Shown;  // items laid out, top to bottom
  int LastShown = -1;                 // index in Items of the last item laid out

  int Count() const { return Items ? int(Items->size()) : 0; }
  TQuorMenuItem* Item(int index) const { return (*Items)[size_t(index)].get(); }
  int IndexOf(const TQuorMenuItem* item) const;
  bool Contains(const TQuorMenuItem* item) const { return IndexOf(item) >= 0; }
  // Level coordinates to screen and back.
  POINT ToScreen(POINT p) const { return {p.x + Left, p.y + Top}; }
};

int MenuItemHeight(const TQuorMenuItem& item, const TQuorMenuMetrics& m);

// Measures the items (their CaptionSize and ShortCutSize too), sets the level's size, columns
// and scroll buttons. A level without visible items or without background gets size 0.
void MeasureLevel(TMenuLevel& level, const TQuorMenuMetrics& m, const TMenuTextMeasure& measure,
                  const std::function<TMenuFontState(const TQuorMenuItem&)>& fontOf,
                  const RECT& workArea);

// Gives each visible item from ScrollPos on its rectangle until one would end below the item
// area; the other items get an empty rectangle.
void LayoutLevel(TMenuLevel& level, const TQuorMenuMetrics& m);

bool CanScrollUp(const TMenuLevel& level);
bool CanScrollDown(const TMenuLevel& level);
// Moves ScrollPos to the previous (delta < 0) or next visible item and lays the level out
// again; false when already at that end.
bool ScrollLevel(TMenuLevel& level, const TQuorMenuMetrics& m, int delta);

// Top-left corner of the root level opened at a screen point.
POINT PlaceRootLevel(POINT at, SIZE size, const RECT& workArea);
// Top-left corner of a submenu opened from `item` (laid out in `parent`).
POINT PlaceSubLevel(const TMenuLevel& parent, const TQuorMenuItem& item, SIZE size,
                    const RECT& workArea, int alphaWidth);

}  // namespace quor
