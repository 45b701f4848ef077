#pragma once
// The skinned check tree view: rows with expand buttons, tri-state check
// boxes that propagate to descendants and parents, images and captions,
// scrolled by pixels. It draws the rows in view into its own buffer from the
// window-free tree model and copies that buffer onto the frame's surface.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/QuorDirectControl.h"
#include "toolkit/QuorDirectScrollBar.h"
#include "toolkit/QuorTreeModel.h"

namespace quor {

class TQuorImageList;

class TQuorDirectTreeView : public TQuorDirectParentControl {
 public:
  struct TProps {
    TControlProps Control{.Bounds = {0, 0, 200, 150}, .TabStop = true};
    TColor Color = 0xFFFFFF;
    bool Transparent = false;
    bool MultiSelect = false;
    bool ShowButton = true;
    TFontSpec Font;
    TColor FontColorNormal = 0x000000, FontColorOver = 0xFF0000, FontColorDown = 0x800000,
           FontColorDisable = 0x808080;
    TPngImage ImgBack;
    TPngImage Imgitem;
    TQuorPadding itemsplit;
    int ItemStateCount = 2;
    int ItemMargin = 2;
    TPngImage ImgSelBox;
    TPngImage ImgCheck;
    int CheckStateCount = 4;
    bool ShowCheckBox = false;
    int Itemheight = 22;
    TPngImage ImgBtnPlus;
    int MarginBtnPlus = 2, MarginCheckBox = 2, MarginImageList = 2, MarginText = 2;
    std::optional<TQuorScrollBarRes> VerScrollRes, HorScrollRes;
    const TQuorImageList* Imagelist = nullptr;
    bool HotTrack = true;
    // Captions are paths: one too wide loses folders from its middle
    // (ShortenPathMiddle) rather than its end; its hint shows it whole.
    bool PathEllipsis = false;
  };
  TQuorDirectTreeView(TQuorContainer& parent, const TProps& props);
  ~TQuorDirectTreeView() override;

  TQuorTreeModel& Model() { return FModel; }
  TQuorDTVItem& AddRoot(const std::wstring& caption = {});
  TQuorDTVItem& AddChild(TQuorDTVItem& parent, const std::wstring& caption = {});
  void Clear();
  void SetExpanded(TQuorDTVItem& row, bool expanded, bool recursive);
  // Bulk changes draw once, at the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  // Redraws the whole tree through the frame (nothing while updating).
  void Invalidate();
  // Repaints one row in place, and presents when asked.
  void RedrawRow(TQuorDTVItem& row, bool present);
  int Itemheight() const { return FItemHeight; }
  TQuorDirectScrollBar* VerScrollBar() const { return FVerBar; }
  TQuorDirectScrollBar* HorScrollBar() const { return FHorBar; }

  void DirectPaint(TPaintContext& ctx) override;
  void StatePaint(TPaintContext&) override {}
  void SetBounds(const TBounds& bounds) override;

  using TItemEvent = std::function<void(TQuorControlBase& sender, TQuorDTVItem& item)>;
  using TDrawEvent = std::function<void(TQuorBitmap& canvas, int index, TQuorDTVItem& item)>;
  TItemEvent OnItemClick, OnItemDbClick, OnItemCheck, OnItemExpand;
  std::function<void(TQuorDTVItem& item, int index, int& height)> OnMeasureItem;
  TDrawEvent OnBeforeItemDraw, OnAfterItemDraw;
  std::function<void(TQuorBitmap& canvas, int index, TQuorDTVItem& item, bool& defaultDraw)>
      OnItemOwnerDraw;
  std::function<void(TQuorControlBase& sender, TQuorDTVItem& item, WPARAM keys, int x, int y)>
      OnItemMouseMove;
  std::function<void(TQuorControlBase& sender, TQuorDTVItem& item, int x, int y)> OnItemMouseUp,
      OnItemMouseDown;
  std::function<void(TQuorDTVItem& item, int index, int& left)> OnItemLeftDraw;
  // The text a row reads to WM_GETTEXT; its caption when unset (an owner
  // drawing that shows more than the caption says so here).
  std::function<std::wstring(const TQuorDTVItem& item)> OnItemText;
  TNotifyEvent OnMouseLeave;
  // Where a context menu belongs: a screen point and the row it is for (or
  // none). Told on the right button's release, after its press made the row
  // current, and on the Apps key or Shift+F10, for the current row.
  using TContextMenuEvent =
      std::function<void(TQuorControlBase& sender, POINT screen, TQuorDTVItem* item)>;
  TContextMenuEvent OnContextMenu;

  // What the window answers to WM_GETTEXT: one line per shown row, top to
  // bottom, separated by CR LF; each a tab per level below the roots, then
  // (with check boxes) "[x] ", "[ ] " or "[-] " for ticked, clear or
  // partial, then the row's text.
  std::wstring ShownText();

 protected:
  void CreateHandle() override;
  void MouseDown(int x, int y) override;
  void MouseUp(int x, int y) override;
  void MouseMove(int x, int y, WPARAM keys) override;
  void MouseLeave() override;
  void ButtonDown(TMouseButton button, int x, int y) override;
  void ButtonUp(TMouseButton button, int x, int y) override;
  bool MouseWheel(int delta, int x, int y) override;
  void CaptureLost() override;
  void FocusChanged(bool focused) override;
  void KeyDown(WPARAM key) override;
  void CharTyped(wchar_t c) override;
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void LoadImages();
  void BuildHighlights();
  void ApplyParams();
  void SyncScrollBars();
  void ModelEvent(const TQuorTreeEvent& e);
  void DrawBackground(const RECT& area);
  void DrawRow(TQuorDTVItem& row);
  void DrawCheck(const TQuorDTVItem& row);
  int CheckFrame(const TQuorDTVItem& row) const;
  void CopyToSurface(const RECT& area);
  void UpdateRowHint(TQuorDTVItem* hot);
  void FollowPointer();
  std::wstring ShownCaption(const TQuorDTVItem& row);
  void ContextMenuAt(POINT client, TQuorDTVItem* item);
  void ContextMenuFromKeyboard();
  TQuorModifiers Modifiers() const;

  TProps FProps;
  TQuorTreeModel FModel;
  TQuorBitmap FBuffer;
  TQuorFont FFont;
  std::vector<TPngImage> FChecks, FButtons, FHighlights;
  int FItemHeight = 22;
  int FUpdateCount = 0;
  bool FSyncing = false;
  bool FHintShown = false;
  std::optional<POINT> FPointer;  // where the pointer is over the tree, while it is
  TQuorDirectScrollBar* FVerBar = nullptr;
  TQuorDirectScrollBar* FHorBar = nullptr;
};

}  // namespace quor
