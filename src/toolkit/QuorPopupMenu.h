#pragma once
// The skinned popup menu: up to three levels, each in its own TQuorMenuForm, drawn from the
// skin into a per-pixel-alpha bitmap. The menu's rules live in TQuorMenuModel; this component
// draws what the model decides and feeds it the windows' input. While the menu is open a
// message-loop filter gives it the keyboard and the wheel and closes it on a click elsewhere;
// while it has items another filter fires their shortcuts.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "toolkit/QuorImageList.h"
#include "toolkit/QuorMenuForm.h"
#include "toolkit/QuorMenuModel.h"
#include "toolkit/QuorMessageLoop.h"
#include "toolkit/QuorText.h"

namespace quor {

class TQuorPopupMenu {
 public:
  struct TProps {
    HWND Owner = nullptr;  // owner of the menu windows; the frame sets its host when empty
    int Alpha = 255;
    int AlphaWidth = 8;
    int MenuBarWidth = 16;
    TFontSpec FontNormal, FontOver, FontDown, FontDisable, FontSelect;
    TPngImage ImgBack;
    TQuorPadding ImgSplit;
    TPngImage ImgItem;  // frames: hot, pressed, highlighted
    TQuorPadding ItemSplit;
    int ItemStateCount = 4;
    TPngImage ImgBtnUpDown;  // frames: up normal, hot, pressed; down normal, hot, pressed
    int ItemHeight = 22;
    TPngImage ImgLine;
    int MinWidth = 0;
    TPngImage ImgSubArrow;  // frames: normal, hot, disabled
    int SubArrowStateCount = 3;
    TPngImage ImgCheck, ImgRadio;  // frames: enabled, disabled
    bool HaveBar = false;
    TPngImage ImgBar, ImgBarLogo, ImgBarCaption;
    const TQuorImageList* ImageList = nullptr;  // not owned
  };
  using TMenuEvent = std::function<void(TQuorPopupMenu& sender)>;
  using TMenuPopupEvent = std::function<void(TQuorPopupMenu& sender, bool& canShow)>;

  explicit TQuorPopupMenu(TProps props);
  ~TQuorPopupMenu();
  TQuorPopupMenu(const TQuorPopupMenu&) = delete;
  TQuorPopupMenu& operator=(const TQuorPopupMenu&) = delete;

  // Appends a root item; the shortcuts of the item and its descendants work from now on.
  TQuorMenuItem& AddMenuItem(std::unique_ptr<TQuorMenuItem> item);
  void ClearItems();
  // The fonts by item state: normal, hot, pressed, disabled, selected.
  void SetFonts(const TFontSpec& normal, const TFontSpec& over, const TFontSpec& down,
                const TFontSpec& disable, const TFontSpec& select);
  int Count() const { return FModel.Count(); }
  TQuorMenuItem* Items(int index) const { return FModel.Items(index); }

  // Opens the root menu at a screen point.
  void Popup(int x, int y);
  void CloseMenu();
  bool Showing() const { return FModel.Showing(); }

  HWND Owner() const { return FProps.Owner; }
  void SetOwner(HWND owner);
  const TProps& Props() const { return FProps; }
  const TQuorMenuModel& Model() const { return FModel; }
  // The window of an open level, or nullptr.
  TQuorMenuForm* LevelForm(int level) const;

  TMenuPopupEvent OnBeforPopup;
  TMenuEvent OnPopup, OnMenuClose;

 private:
  struct TStrips {
    std::vector<TPngImage> Item, SubArrow, Check, Radio, UpDown;
    std::optional<TNineParts> Back;
  };
  void CutStrips();
  void SetMetrics();
  SIZE TextSize(const std::wstring& text, TMenuFontState state) const;
  const TQuorFont& FontOf(TMenuFontState state) const;

  // Carries out what the model decided.
  void Apply(const TMenuResult& r);
  void OpenLevelWindow(int level);
  void DrawLevel(int level);
  void DrawItem(TQuorBitmap& canvas, const TQuorMenuItem& item);
  void DrawScrollButtons(TQuorBitmap& canvas, const TMenuLevel& lv);
  void DrawText(TQuorBitmap& canvas, const RECT& rect, const std::wstring& text,
                const TQuorFont& font, UINT format);
  void StartRepeat();
  void StopRepeat();
  void Opened();
  void Closed();
  // Message-loop filters.
  bool OpenFilter(MSG& msg);
  bool ShortCutFilter(MSG& msg);
  bool IsMenuWindow(HWND hwnd) const;

  TProps FProps;
  TQuorFont FFontNormal, FFontOver, FFontDown, FFontDisable, FFontSelect;
  TStrips FStrips;
  TQuorMenuModel FModel;
  std::array<std::unique_ptr<TQuorMenuForm>, TQuorMenuModel::kMaxLevels> FForms;
  UniqueMemoryDc FMeasureDc;
  TMessageLoop::TFilterToken FOpenFilter, FShortCutFilter;
  bool FShortCutInstalled = false;
  bool FRepeating = false;
  bool FFirstTick = false;
};

}  // namespace quor
