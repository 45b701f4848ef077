#pragma once
// The state of a popup menu of up to three levels: its items and registered shortcuts, which
// levels are open and where, the hot and pressed items, scrolling, clicks and the keyboard.
// Free of windows: each input returns what the menu's windows must do.

#include <windows.h>

#include <array>
#include <memory>

#include "toolkit/QuorMenuItem.h"
#include "toolkit/QuorMenuLayout.h"

namespace quor {

// What the windows do after an input, in this order: hide the windows of the levels from
// CloseFrom on; if CloseMenu, raise OnMenuClose and free every menu window; show the window
// of OpenLevel at its Left/Top and size; draw and present the levels in Redraw; start or stop
// the scroll auto-repeat timer; last, FireClick(*Fire).
struct TMenuResult {
  bool Handled = false;  // the input belonged to the menu (a key to swallow)
  unsigned Redraw = 0;   // bit n: level n
  int OpenLevel = -1;
  int CloseFrom = -1;
  bool CloseMenu = false;
  bool StartRepeat = false;  // first tick after the key-repeat delay, then the repeat interval
  bool StopRepeat = false;
  TQuorMenuItem* Fire = nullptr;

  void RedrawLevel(int level) {
    if (level >= 0) Redraw |= 1u << level;
  }
  bool Redraws(int level) const { return (Redraw >> level) & 1u; }
};

class TQuorMenuModel {
 public:
  static constexpr int kMaxLevels = 3;

  TQuorMenuMetrics Metrics;
  TMenuTextMeasure Measure;
  RECT WorkArea{0, 0, 1024, 768};  // of the monitor the menu opens on

  // Items. Shortcuts of the item and its descendants at this moment are registered.
  TQuorMenuItem& AddMenuItem(std::unique_ptr<TQuorMenuItem> item);
  // Frees every item and forgets the shortcuts; closes the menu when it shows.
  TMenuResult ClearItems();
  int Count() const { return int(FItems.size()); }
  TQuorMenuItem* Items(int index) const;

  // The first registered, visible and enabled item with this shortcut.
  TQuorMenuItem* FindShortCut(TShortCut shortCut) const;
  // Closes the menu (when it shows) and fires the item of the shortcut, if any.
  TMenuResult ShortCut(TShortCut shortCut);

  // Opens the root level at a screen point; nothing when it has no size.
  TMenuResult Popup(POINT at);
  TMenuResult CloseMenu();
  bool Showing() const { return FShowing; }
  int LevelCount() const { return FLevelCount; }
  const TMenuLevel& Level(int level) const { return FLevels[size_t(level)]; }
  // The level an open item is listed in, or -1.
  int LevelOf(const TQuorMenuItem* item) const;

  // Mouse input on a level, in that level's coordinates.
  TMenuResult MouseMove(int level, POINT p);
  TMenuResult MouseLeave(int level);
  TMenuResult MouseDown(int level, POINT p);
  TMenuResult MouseUp(int level, POINT p);
  // Scrolls the deepest open scrollable level, one item per notch; down for a negative delta.
  TMenuResult Wheel(int delta);
  // A tick of the scroll auto-repeat timer.
  TMenuResult RepeatTick();

  // Keys while the menu shows: arrows, Home, End, Enter, Escape and access letters.
  TMenuResult KeyDown(UINT key, bool shift, bool ctrl, bool alt);
  // The access letter typed: clicks or opens its item, or cycles among items sharing it.
  TMenuResult AccessKey(wchar_t c);

  TQuorMenuItem* HotItem() const { return FHot; }
  TQuorMenuItem* PressedItem() const { return FPressed; }
  // The item whose submenu is open at level 1 or 2, else nullptr.
  TQuorMenuItem* OpenItem(int level) const;
  TMenuFontState FontStateOf(const TQuorMenuItem& item) const;
  // Highlight strip frame: 1 pressed, 0 hot or submenu open, 2 highlighted, -1 none.
  int HighlightFrameOf(const TQuorMenuItem& item) const;

 private:
  TMenuLevel& Lv(int level) { return FLevels[size_t(level)]; }
  bool MeasureAndPlace(int level, TQuorMenuItem* owner);
  void CloseLevelsFrom(int level, TMenuResult& r);
  void OpenSubmenu(TQuorMenuItem& item, int level, TMenuResult& r);
  void SetHotFromMouse(TQuorMenuItem* item, int level, TMenuResult& r);
  void SetHotFromKey(TQuorMenuItem& item, int level, TMenuResult& r);
  void ClearHot(TMenuResult& r);
  void Click(TQuorMenuItem& item, TMenuResult& r);
  void ScrollBy(int level, int delta, TMenuResult& r);
  void ScrollIntoView(int level, const TQuorMenuItem& item, TMenuResult& r);
  int KeyLevel() const;
  void MoveHot(int level, int from, int step, TMenuResult& r);
  void EnterSubmenu(TMenuResult& r);
  void CloseDeepest(TMenuResult& r);
  TQuorMenuItem* ItemAt(int level, POINT p) const;

  TQuorMenuItem::TItems FItems;
  std::array<TMenuLevel, kMaxLevels> FLevels;
  int FLevelCount = 0;
  bool FShowing = false;
  TQuorMenuItem* FHot = nullptr;
  TQuorMenuItem* FPressed = nullptr;
  int FRepeatLevel = -1;
  int FRepeatDelta = 0;
};

}  // namespace quor
