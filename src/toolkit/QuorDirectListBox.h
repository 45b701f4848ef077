#pragma once
// The skinned column list box: a windowed control that draws the rows in view
// and its header into a buffer of its own size and copies that buffer, opaque,
// into the frame's surface. Rows, layout, scrolling, hit-testing, selection
// and the keyboard live in TQuorListModel; this class draws, owns the scroll
// bars and turns window input and model events into its events.

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/QuorDirectControl.h"
#include "toolkit/QuorDirectScrollBar.h"
#include "toolkit/QuorListModel.h"

namespace quor {

class TQuorImageList;

enum class TQuorSubBtnType : uint8_t { QsbCommBtn, QsbMenuBtn };

class TQuorDirectListBox : public TQuorDirectParentControl {
 public:
  struct TProps {
    TControlProps Control{.Bounds = {0, 0, 200, 150}, .TabStop = true};
    TFontSpec Font;
    TColor Color = 0xFFFFFF;
    bool MultiSelect = false;
    TColor FontColorNormal = 0x000000, FontColorOver = 0xFF0000, FontColorDown = 0x800000,
           FontColorDisable = 0x808080;
    TPngImage ImgBack;
    TPngImage Imgitem;
    TQuorPadding itemsplit;
    int ItemStateCount = 2;
    TPngImage ImgCheck;
    int CheckStateCount = 4;
    TPngImage ImgSelBox;
    bool ShowCheckBox = false;
    int Itemheight = 22;
    int ItemLeftFix = 0;
    int MarginCheckBox = 2, MarginImageList = 2, MarginText = 2;
    TQuorSubBtnType SubBtnType = TQuorSubBtnType::QsbCommBtn;
    int MenuBtnSplitX = 0;
    TPngImage ThridBtnImage;
    int ThridBtnStateCount = 3;
    TColor BorderColor = 0xF0CAA6;
    std::optional<TQuorScrollBarRes> VerScrollRes, HorScrollRes;
    const TQuorImageList* Imagelist = nullptr;
    bool HotTrack = true;
    const TQuorImageList* HeadImglist = nullptr;
    bool HaveHeader = false;
    TFontSpec HeaderFont;
    int HeaderHeight = 22, HeaderSplitWidth = 3;
    TPngImage ImgHeader;
    int HeaderStateCount = 4;
    TPngImage ImgHeaderSplit;
    int HeaderSplitStateCount = 4;
    TPngImage ImgHeaderArrow;  // two frames: SortState 1 and 2
    bool SupportRightSelect = false;
  };

  using TItemEvent = std::function<void(TQuorControlBase& sender, TQuorLboxItem* item)>;
  using THeaderEvent =
      std::function<void(TQuorControlBase& sender, TQuorLbHeadItem& column, int index)>;
  using TMeasureItemEvent = std::function<void(TQuorLboxItem& item, int index, int& height)>;
  using TDrawItemEvent = std::function<void(TQuorBitmap& canvas, int index, TQuorLboxItem& item)>;
  using TOwnerDrawItemEvent =
      std::function<void(TQuorBitmap& canvas, int index, TQuorLboxItem& item, bool& defaultDraw)>;
  using TDrawSubItemEvent =
      std::function<void(TQuorBitmap& canvas, TQuorLboxItem& item, int subIndex)>;
  using TDrawBackEvent =
      std::function<void(TQuorBitmap& canvas, const RECT& workRect, bool& defaultDraw)>;
  using TSubItemBtnClick = std::function<void(TQuorLboxItem& item, int subIndex)>;
  using TSubItemMenuBtnClick = std::function<void(int x, int y, TQuorLboxItem& item)>;
  // Where a context menu belongs: a screen point and the row it is for (or none).
  using TContextMenuEvent =
      std::function<void(TQuorControlBase& sender, POINT screen, TQuorLboxItem* item)>;

  TQuorDirectListBox(TQuorContainer& parent, const TProps& props);
  ~TQuorDirectListBox() override;

  const TProps& Props() const { return FProps; }
  TQuorListModel& Model() { return FModel; }

  // Rows and columns.
  TQuorLboxItem& AddItem() { return FModel.AddItem(); }
  TQuorLbHeadItem& AddHeadItem(std::unique_ptr<TQuorLbHeadItem> column);
  void DeleteItem(TQuorLboxItem* item);
  void Clear();
  void ClearHeader();
  TQuorLboxItem* GetItem(int index) const { return FModel.GetItem(index); }
  TQuorLbHeadItem* GetHeadItem(int index) const { return FModel.GetHeadItem(index); }
  TQuorLboxItem* GetSelectedItem() const { return FModel.GetSelectedItem(); }
  int SelectedCount() const { return FModel.SelectedCount(); }
  int ItemCount() const { return FModel.ItemCount(); }
  int HeadCount() const { return FModel.HeadCount(); }
  int VisibleCount() const { return FModel.VisibleCount(); }
  TQuorLboxItem* TopItem() const { return FModel.TopItem(); }
  TQuorLboxItem* CurrentItem() const { return FModel.CurrentItem(); }
  TQuorLboxItem* HotItem() const { return FModel.HotItem(); }
  int Itemheight() const { return FModel.Params().ItemHeight; }

  // Updates nest; the outermost EndUpdate redraws, and the frame presents once for all of it.
  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return FUpdateCount > 0; }
  // Redraws the list and presents, unless an update is open.
  void Invalidate();
  // Repaints one row in the buffer, copies it to the surface and presents.
  void RedrawItem(TQuorLboxItem* item);
  void SortItems(const std::function<int(const TQuorLboxItem&, const TQuorLboxItem&)>& compare);
  // Back to the first row, without a redraw.
  void ScrollToTop();

  void SetMultiSelect(bool multiSelect);
  void SetShowCheckBox(bool show);
  void SetHotTrack(bool hotTrack);
  void SetColor(TColor color);
  // The rows' font and the header's; row measures follow the new font.
  void SetFonts(const TFontSpec& item, const TFontSpec& header);
  void SetBounds(const TBounds& bounds) override;

  // The scroll bars, once they were needed.
  TQuorDirectScrollBar* VerBar() const { return FVerBar; }
  TQuorDirectScrollBar* HorBar() const { return FHorBar; }
  // What the list shows as text, for screen readers and scripts (the window's
  // WM_GETTEXT): the column titles, then each visible row in view order, the
  // row's caption and cells separated by tabs, lines by CR LF.
  std::wstring ShownText() const;
  // The hint shown for a cut row text or cell, empty when none.
  const std::wstring& RowHint() const { return FRowHint; }

  void DirectPaint(TPaintContext& ctx) override;
  void StatePaint(TPaintContext& ctx) override { DirectPaint(ctx); }
  // The buffer covers the list's rectangle, always opaque.
  bool Opaque() const override { return true; }

  TItemEvent OnItemClick, OnItemDbClick, OnItemCheck, OnItemDataChange, OnGetImgindex;
  // The keyboard moved the current row.
  TItemEvent OnCurrentChange;
  THeaderEvent OnHeadCheckedEvent, OnHeadClickEvent;
  TMeasureItemEvent OnMeasureItem;
  TDrawItemEvent OnBeforeItemDraw, OnAfterItemDraw;
  TOwnerDrawItemEvent OnItemOwnerDraw;
  TDrawSubItemEvent OnSubItemDraw;
  TDrawBackEvent OnDrawBackGround;
  TSubItemBtnClick OnThirdButtonClick;
  TSubItemMenuBtnClick OnThirdMenuButtonClick;
  // Right button released over the list, the context-menu key or Shift+F10.
  TContextMenuEvent OnContextMenu;

 protected:
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
  struct TButtonFrame {
    TPngImage Left, Right;
  };
  // Marks the buffer as being drawn, so that handlers of the drawing events
  // cannot start a redraw from inside one.
  class TPaintGuard {
   public:
    explicit TPaintGuard(bool& flag) : FFlag(flag), FWas(flag) { FFlag = true; }
    ~TPaintGuard() { FFlag = FWas; }
    TPaintGuard(const TPaintGuard&) = delete;
    TPaintGuard& operator=(const TPaintGuard&) = delete;

   private:
    bool& FFlag;
    bool FWas;
  };

  // Skin, layout, bars and updates (QuorDirectListBox.cpp).
  void CutImages();
  void ApplyParams();
  int VerBarWidth() const;
  void BuildHighlights(int width);
  void ModelEvent(const TQuorListEvent& e);
  bool CanDraw() const;
  void SyncScrollBars();
  TQuorDirectScrollBar& MakeBar(const TQuorScrollBarRes& res, TQuorScrollkind kind);
  void BarScrolled(TQuorDirectScrollBar& bar, int position);
  // Repaints rows in the buffer over their background, copies just them and presents.
  void RepaintRows(std::initializer_list<TQuorLboxItem*> items);
  // Copies a rectangle of the buffer to the canvas, within the clip.
  void CopyToCanvas(TPaintContext& ctx, const RECT& local) const;
  std::vector<int> IndexesInView(const std::vector<TQuorLboxItem*>& rows) const;

  // Drawing into the buffer (QuorListPaint.cpp).
  void PaintBuffer();
  void PaintBackground();
  void PaintRow(TQuorLboxItem& item, int index);
  void PaintRowContent(TQuorLboxItem& item);
  void PaintCells(TQuorLboxItem& item);
  void PaintButton(TQuorlboxSubitem& sub, int subIndex);
  void PaintHeader();
  void PaintBorder();
  void PaintBars();
  void DrawText(HDC dc, const std::wstring& text, int& width, RECT rect, TColor color, UINT format);
  bool HandlersDraw() const;
  // Alpha 255 again where GDI wrote text (or over the whole buffer).
  void RestoreAlpha(bool whole);
  TColor RowTextColor(const TQuorLboxItem& item) const;
  int RowTextWidth(HDC dc, const std::wstring& text);
  const TPngImage* CheckFrame(bool checked, bool hot) const;

  // Input (QuorListBoxInput.cpp).
  TQuorModifiers Modifiers() const;
  // An input step redraws once at its end, after the handlers of its events.
  void BeginInputUpdate();
  void EndInputUpdate();
  // Redraws after a hot change: only the two rows when nothing else changed.
  void AfterHotChange(TQuorLboxItem* oldHot, const TQuorListHit& oldHit, bool leftButton);
  void UpdateRowHint(POINT p);
  void CancelRowHint();
  void ContextMenuAt(POINT client, TQuorLboxItem* item);
  void ContextMenuFromKeyboard();

  TProps FProps;
  TQuorListModel FModel;
  TQuorFont FFont, FHeaderFont;
  TQuorBitmap FBuffer, FBackground;
  std::vector<TPngImage> FCheckFrames, FHeaderFrames, FSplitFrames, FArrowFrames;
  std::vector<TButtonFrame> FButtonFrames;
  std::vector<TPngImage> FItemFrames;           // the strip's frames as cut
  std::optional<TPngImage> FHotLook, FSelLook;  // stretched to the row width
  std::vector<RECT> FTextRects;                 // where GDI wrote since the last alpha repair
  std::array<std::vector<uint16_t>, 256> FCharWidths;  // of the row font, by blocks of 256
  int FLookWidth = -1;
  TQuorDirectScrollBar* FVerBar = nullptr;
  TQuorDirectScrollBar* FHorBar = nullptr;
  bool FSyncingBars = false;
  bool FBackgroundValid = false;
  bool FPainting = false;
  int FUpdateCount = 0;
  bool FDirty = false;  // asked to redraw while an update was open
  std::wstring FRowHint;
  WPARAM FMouseKeys = 0;
};

}  // namespace quor
