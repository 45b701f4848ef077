// The column list box: skin, layout parameters, scroll bars, updates and the
// operations that change rows.
#include "toolkit/QuorDirectListBox.h"

#include <algorithm>
#include <utility>

#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorImageList.h"
#include "toolkit/QuorRect.h"

namespace quor {
namespace {

bool SameBounds(const TBounds& a, const TBounds& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height;
}

}  // namespace

TQuorDirectListBox::TQuorDirectListBox(TQuorContainer& parent, const TProps& props)
    : TQuorDirectParentControl(parent, props.Control),
      FProps(props),
      FFont(props.Font),
      FHeaderFont(props.HeaderFont) {
  FModel.OnEvent = [this](const TQuorListEvent& e) { ModelEvent(e); };
  FModel.OnChange = [this] { Invalidate(); };
  FModel.MeasureItem = [this](TQuorLboxItem& item, int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(item, index, height);
  };
  CutImages();
  ApplyParams();
}

TQuorDirectListBox::~TQuorDirectListBox() {
  FModel.OnEvent = nullptr;
  FModel.OnChange = nullptr;
  FModel.MeasureItem = nullptr;
}

// ---- skin and layout --------------------------------------------------------

void TQuorDirectListBox::CutImages() {
  FCheckFrames.clear();
  if (FProps.CheckStateCount == 4) FCheckFrames = CutFrames(FProps.ImgCheck, 4);
  FItemFrames.clear();
  if (FProps.ItemStateCount == 1 || FProps.ItemStateCount == 2)
    FItemFrames = CutFrames(FProps.Imgitem, FProps.ItemStateCount);
  FHeaderFrames = CutFrames(FProps.ImgHeader, std::clamp(FProps.HeaderStateCount, 1, 4));
  FSplitFrames = CutFrames(FProps.ImgHeaderSplit, std::clamp(FProps.HeaderSplitStateCount, 1, 4));
  FArrowFrames = CutFrames(FProps.ImgHeaderArrow, 2);
  FButtonFrames.clear();
  if (FProps.SubBtnType == TQuorSubBtnType::QsbMenuBtn && FProps.MenuBtnSplitX >= 1) {
    for (TPngImage& frame :
         CutFrames(FProps.ThridBtnImage, std::clamp(FProps.ThridBtnStateCount, 1, 4)))
      if (auto parts = SplitImageHor(frame, FProps.MenuBtnSplitX))
        FButtonFrames.push_back({std::move(parts->first), std::move(parts->second)});
  }
  FLookWidth = -1;
  FBackgroundValid = false;
}

int TQuorDirectListBox::VerBarWidth() const {
  if (!FProps.VerScrollRes) return 0;
  if (FVerBar) return FVerBar->Width();
  const TQuorScrollBarRes& res = *FProps.VerScrollRes;
  const std::vector<TPngImage> buttons = CutFrames(res.ImgBtnLT, res.BtnStateCount);
  if (!buttons.empty()) return buttons[0].Width();
  return res.ImgBack.Empty() ? 12 : res.ImgBack.Width();
}

void TQuorDirectListBox::ApplyParams() {
  TQuorListParams p = FModel.Params();
  p.Width = Width();
  p.Height = Height();
  p.Border = FProps.BorderColor != clNone;
  p.HaveHeader = FProps.HaveHeader;
  p.HeaderHeight = FProps.HeaderHeight;
  p.HeaderSplitWidth = FProps.HeaderSplitWidth;
  // The selected look fixes the row height.
  p.ItemHeight = !FItemFrames.empty()    ? FItemFrames.back().Height()
                 : FProps.Itemheight > 0 ? FProps.Itemheight
                                         : p.ItemHeight;
  p.VerBarWidth = VerBarWidth();
  p.ShowCheckBox = FProps.ShowCheckBox;
  p.CheckSize =
      FCheckFrames.empty() ? SIZE{0, 0} : SIZE{FCheckFrames[0].Width(), FCheckFrames[0].Height()};
  p.ItemLeftFix = FProps.ItemLeftFix;
  p.MarginCheckBox = FProps.MarginCheckBox;
  p.MarginImageList = FProps.MarginImageList;
  p.MarginText = FProps.MarginText;
  const TPngImage* firstImage = FProps.Imagelist ? FProps.Imagelist->Item(0) : nullptr;
  p.ImageListWidth = firstImage ? firstImage->Width() : 0;
  p.TextHeight = std::max(1, int(MeasureText(L"Ag", FFont).cy));
  p.MenuButtons = !FButtonFrames.empty();
  p.MenuBtnSplitX = FProps.MenuBtnSplitX;
  p.MultiSelect = FProps.MultiSelect;
  p.RubberBand = !FProps.ImgSelBox.Empty();
  p.HotTrack = FProps.HotTrack;
  FModel.SetParams(p);
}

void TQuorDirectListBox::SetFonts(const TFontSpec& item, const TFontSpec& header) {
  FProps.Font = item;
  FProps.HeaderFont = header;
  const bool itemChanged = FFont.Assign(item);
  const bool headerChanged = FHeaderFont.Assign(header);
  if (!itemChanged && !headerChanged) return;
  for (auto& widths : FCharWidths) widths.clear();
  for (int i = 0; i < FModel.ItemCount(); ++i) {
    TQuorLboxItem& row = *FModel.GetItem(i);
    row.CaptionWidth = -1;
    for (int k = 0; k < row.SubItemCount(); ++k) row.SubItem(k)->TextWidth = -1;
  }
  ApplyParams();
  Invalidate();
}

void TQuorDirectListBox::BuildHighlights(int width) {
  if (width == FLookWidth) return;
  FLookWidth = width;
  FHotLook.reset();
  FSelLook.reset();
  auto stretch = [&](const TPngImage& frame) -> std::optional<TPngImage> {
    const TQuorPadding& s = FProps.itemsplit;
    if (s.Left() < s.Right() && width > 0)
      return StretchThreePartHor(frame, s.Left(), s.Right(), 255, clNone, width);
    return frame;
  };
  if (FItemFrames.size() == 1) {
    FSelLook = stretch(FItemFrames[0]);
  } else if (FItemFrames.size() == 2) {
    FHotLook = stretch(FItemFrames[0]);
    FSelLook = stretch(FItemFrames[1]);
  }
}

// ---- events ---------------------------------------------------------------------

void TQuorDirectListBox::ModelEvent(const TQuorListEvent& e) {
  switch (e.Kind) {
    case TQuorListEventKind::ItemClick:
      if (OnItemClick) OnItemClick(*this, e.Item);
      break;
    case TQuorListEventKind::ItemCheck:
      if (OnItemCheck) OnItemCheck(*this, e.Item);
      break;
    case TQuorListEventKind::HeadClick:
      if (OnHeadClickEvent && e.Column) OnHeadClickEvent(*this, *e.Column, e.Index);
      break;
    case TQuorListEventKind::HeadChecked:
      if (OnHeadCheckedEvent && e.Column) OnHeadCheckedEvent(*this, *e.Column, e.Index);
      break;
    case TQuorListEventKind::ThirdButtonClick:
      if (OnThirdButtonClick && e.Item) OnThirdButtonClick(*e.Item, e.Index);
      break;
    case TQuorListEventKind::ThirdMenuButtonClick: {
      TQuorlboxSubitem* sub = e.Item ? e.Item->SubItem(e.Index) : nullptr;
      if (!OnThirdMenuButtonClick || !sub) break;
      POINT p{sub->CellRect.left + FProps.MenuBtnSplitX,
              sub->CellRect.top + FProps.ThridBtnImage.Height()};
      if (Handle()) ::ClientToScreen(Handle(), &p);
      OnThirdMenuButtonClick(p.x, p.y, *e.Item);
      break;
    }
    case TQuorListEventKind::CurrentChange:
      if (OnCurrentChange) OnCurrentChange(*this, e.Item);
      break;
  }
}

// ---- scroll bars ------------------------------------------------------------------

TQuorDirectScrollBar& TQuorDirectListBox::MakeBar(const TQuorScrollBarRes& res,
                                                  TQuorScrollkind kind) {
  TQuorDirectScrollBar::TProps p;
  p.Control.Name = kind == TQuorScrollkind::skVer ? L"VerScrollBar" : L"HorScrollBar";
  p.Control.Bounds = {0, 0, 12, 12};
  p.ScrollRes = res;
  p.kind = kind;
  p.SmallChange = 1;
  auto& bar = Add<TQuorDirectScrollBar>(p);
  // The list draws its bars into its own buffer.
  bar.SetOwnerDrawn(true);
  bar.OnScroll = [this](TQuorControlBase& sender, int& position) {
    BarScrolled(static_cast<TQuorDirectScrollBar&>(sender), position);
  };
  bar.OnNeedRepaint = [this](TQuorControlBase&) {
    if (!FSyncingBars) Invalidate();
  };
  return bar;
}

void TQuorDirectListBox::BarScrolled(TQuorDirectScrollBar& bar, int position) {
  if (FSyncingBars) return;
  if (&bar == FVerBar)
    FModel.SetVerPosition(position);
  else
    FModel.SetHorPosition(position);
}

// Shows, hides and places the bars after the model's ranges; their own
// redraws fall inside the caller's update.
void TQuorDirectListBox::SyncScrollBars() {
  if (FSyncingBars || !Handle()) return;
  FSyncingBars = true;
  const int b = FModel.BorderWidth();
  const TQuorScrollRange v = FModel.VerScroll();
  if (v.Needed && FProps.VerScrollRes) {
    if (!FVerBar) FVerBar = &MakeBar(*FProps.VerScrollRes, TQuorScrollkind::skVer);
    const int top = b + std::max(0, int(FModel.HeaderRect().bottom));
    const TBounds bounds{Width() - FVerBar->Width() - b, top, FVerBar->Width(), Height() - top - b};
    if (!SameBounds(bounds, FVerBar->Bounds())) FVerBar->SetBounds(bounds);
    FVerBar->SetRange(0, v.Max, v.Page);
    if (FVerBar->Position() != v.Position) FVerBar->SetPosition(v.Position);
    if (!FVerBar->Visible()) FVerBar->SetVisible(true);
  } else if (FVerBar && FVerBar->Visible()) {
    FVerBar->SetVisible(false);
  }
  const TQuorScrollRange h = FModel.HorScroll();
  if (h.Needed && FProps.HorScrollRes) {
    if (!FHorBar) FHorBar = &MakeBar(*FProps.HorScrollRes, TQuorScrollkind::skHor);
    const TBounds bounds{b, Height() - FHorBar->Height() - b, h.Page, FHorBar->Height()};
    if (!SameBounds(bounds, FHorBar->Bounds())) FHorBar->SetBounds(bounds);
    FHorBar->SetRange(0, h.Max, h.Page);
    if (FHorBar->Position() != h.Position) FHorBar->SetPosition(h.Position);
    if (!FHorBar->Visible()) FHorBar->SetVisible(true);
  } else if (FHorBar && FHorBar->Visible()) {
    FHorBar->SetVisible(false);
  }
  FSyncingBars = false;
}

// ---- updates ------------------------------------------------------------------------

bool TQuorDirectListBox::CanDraw() const {
  return Frame() && Frame()->Loaded() && Handle() && FUpdateCount == 0;
}

void TQuorDirectListBox::BeginUpdate() {
  ++FUpdateCount;
  if (Frame()) Frame()->BeginUpdate();
}

void TQuorDirectListBox::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) {
    FDirty = false;
    Invalidate();
  }
  if (Frame()) Frame()->EndUpdate();
}

void TQuorDirectListBox::EndInputUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && std::exchange(FDirty, false)) Invalidate();
  if (Frame()) Frame()->EndUpdate();
}

void TQuorDirectListBox::Invalidate() {
  if (FPainting) return;
  if (FUpdateCount > 0) {
    FDirty = true;
    return;
  }
  if (!CanDraw()) return;
  TQuorDirectForm::TUpdateGuard batch(*Frame());
  SyncScrollBars();
  Frame()->RedrawControl(*this);
}

void TQuorDirectListBox::RedrawItem(TQuorLboxItem* item) { RepaintRows({item}); }

void TQuorDirectListBox::RepaintRows(std::initializer_list<TQuorLboxItem*> items) {
  if (!CanDraw() || !Visible() || !Showing() || FBuffer.Empty()) return;
  if (!Enabled()) {
    Invalidate();  // a disabled list is greyed as a whole
    return;
  }
  const std::vector<TQuorLboxItem*> rows = FModel.RowsInView();
  const std::vector<int> indexes = IndexesInView(rows);
  std::vector<RECT> rects;
  for (TQuorLboxItem* item : items) {
    auto at = std::find(rows.begin(), rows.end(), item);
    if (!item || at == rows.end()) continue;
    // Keep off the border, the focus mark and the header.
    const RECT inner{2, std::max(2, int(FModel.HeaderRect().bottom)), Width() - 2,
                     FHorBar && FHorBar->Visible() ? FHorBar->Bounds().Top : Height() - 2};
    const RECT r = RectIntersection(item->RowRect, inner);
    if (RectEmpty(r) || std::find_if(rects.begin(), rects.end(),
                                   [&](const RECT& o) { return EqualRect(&o, &r); }) != rects.end())
      continue;
    CopyBitmapRect(FBackground, r, FBuffer, {r.left, r.top});
    {
      TPaintGuard painting(FPainting);
      PaintRow(*item, indexes[size_t(at - rows.begin())]);
    }
    RestoreAlpha(false);
    if (HandlersDraw()) SetRectOpaque(FBuffer, r);
    rects.push_back(r);
  }
  if (rects.empty()) return;
  TQuorDirectForm& frame = *Frame();
  PaintClipped(frame.Surface(), [&](TPaintContext& ctx) {
    for (const RECT& r : rects) CopyToCanvas(ctx, r);
  });
  frame.Present();
}

// The rows in view follow each other from the top row, passing over hidden
// ones: their indexes come without a search through the whole list.
std::vector<int> TQuorDirectListBox::IndexesInView(const std::vector<TQuorLboxItem*>& rows) const {
  std::vector<int> indexes;
  int index = FModel.TopIndex();
  for (const TQuorLboxItem* row : rows) {
    while (index < FModel.ItemCount() && FModel.GetItem(index) != row) ++index;
    indexes.push_back(index++);
  }
  return indexes;
}

void TQuorDirectListBox::CopyToCanvas(TPaintContext& ctx, const RECT& local) const {
  const RECT onCanvas{ctx.Rect.left + local.left, ctx.Rect.top + local.top,
                      ctx.Rect.left + local.right, ctx.Rect.top + local.bottom};
  const RECT dest = RectIntersection(onCanvas, ctx.Clip);
  if (RectEmpty(dest)) return;
  const RECT from{dest.left - ctx.Rect.left, dest.top - ctx.Rect.top, dest.right - ctx.Rect.left,
                  dest.bottom - ctx.Rect.top};
  CopyBitmapRect(FBuffer, from, ctx.Canvas, {dest.left, dest.top});
}

// ---- operations ----------------------------------------------------------------------

TQuorLbHeadItem& TQuorDirectListBox::AddHeadItem(std::unique_ptr<TQuorLbHeadItem> column) {
  return FModel.AddHeadItem(std::move(column));
}

void TQuorDirectListBox::DeleteItem(TQuorLboxItem* item) {
  CancelRowHint();
  FModel.DeleteItem(item);
}

void TQuorDirectListBox::Clear() {
  CancelRowHint();
  FModel.Clear();
}

void TQuorDirectListBox::ClearHeader() { FModel.ClearHeader(); }

void TQuorDirectListBox::SortItems(
    const std::function<int(const TQuorLboxItem&, const TQuorLboxItem&)>& compare) {
  FModel.SortItems(compare);
}

void TQuorDirectListBox::ScrollToTop() { FModel.ScrollToTop(); }

void TQuorDirectListBox::SetMultiSelect(bool multiSelect) {
  if (FProps.MultiSelect == multiSelect) return;
  FProps.MultiSelect = multiSelect;
  ApplyParams();
  Invalidate();
}

void TQuorDirectListBox::SetShowCheckBox(bool show) {
  if (FProps.ShowCheckBox == show) return;
  FProps.ShowCheckBox = show;
  ApplyParams();
  Invalidate();
}

void TQuorDirectListBox::SetHotTrack(bool hotTrack) {
  if (FProps.HotTrack == hotTrack) return;
  FProps.HotTrack = hotTrack;
  ApplyParams();
  Invalidate();
}

void TQuorDirectListBox::SetColor(TColor color) {
  if (FProps.Color == color) return;
  FProps.Color = color;
  FBackgroundValid = false;
  Invalidate();
}

void TQuorDirectListBox::SetBounds(const TBounds& bounds) {
  const bool resized = bounds.Width != Width() || bounds.Height != Height();
  if (resized) {
    FModel.Resize(bounds.Width, bounds.Height);
    FLookWidth = -1;
    FBackgroundValid = false;
  }
  // Redraws, and the drawing places the bars anew.
  TQuorDirectParentControl::SetBounds(bounds);
}

}  // namespace quor
