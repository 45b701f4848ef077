#include "toolkit/QuorDirectTreeView.h"

#include <algorithm>
#include <cstdlib>

#include "base/PathEllipsis.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorImageList.h"
#include "toolkit/QuorUtils.h"
#include "toolkit/WindowDispatch.h"

namespace quor {
namespace {

bool IsNoRect(const RECT& r) { return r.left == -1 && r.top == -1 && r.right == -1 && r.bottom == -1; }

TFontSpec WithColour(TFontSpec font, TColor colour) {
  font.Color = colour;
  return font;
}

}  // namespace

TQuorDirectTreeView::TQuorDirectTreeView(TQuorContainer& parent, const TProps& props)
    : TQuorDirectParentControl(parent, props.Control), FProps(props), FFont(props.Font) {
  FStateRepaint = false;
  FItemHeight = props.Itemheight > 0 ? props.Itemheight : 22;
  LoadImages();
  FModel.OnEvent = [this](const TQuorTreeEvent& e) { ModelEvent(e); };
  FModel.OnChange = [this] { Invalidate(); };
  FModel.MeasureItem = [this](TQuorDTVItem& item, int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(item, index, height);
  };
  FModel.ItemLeft = [this](TQuorDTVItem& item, int index, int& left) {
    if (OnItemLeftDraw) OnItemLeftDraw(item, index, left);
  };
  FModel.TextWidth = [this](const TQuorDTVItem& item) {
    return item.Caption().empty() ? 0 : int(MeasureText(item.Caption(), FFont).cx);
  };
  ApplyParams();
}

TQuorDirectTreeView::~TQuorDirectTreeView() {
  // The model's callbacks point here; rows go before the control does.
  FModel.OnChange = nullptr;
  FModel.OnEvent = nullptr;
  FModel.Clear();
}

void TQuorDirectTreeView::LoadImages() {
  const int count = FProps.CheckStateCount;
  FChecks = count == 4 || count == 6 || count == 9 ? CutFrames(FProps.ImgCheck, count)
                                                   : std::vector<TPngImage>{};
  FButtons = CutFrames(FProps.ImgBtnPlus, 4);
  std::vector<TPngImage> looks = CutFrames(FProps.Imgitem, FProps.ItemStateCount);
  // The row height follows the hot look (the first frame).
  if (!looks.empty() && FProps.ItemStateCount == 2) FItemHeight = looks[0].Height();
  BuildHighlights();
}

void TQuorDirectTreeView::BuildHighlights() {
  FHighlights.clear();
  if (FProps.ItemStateCount != 2) return;
  const TQuorPadding& s = FProps.itemsplit;
  const bool bar = FModel.VerBarShown() && FVerBar;
  const int width = s.Left() == s.Right() ? Width() : Width() - 4 - (bar ? FVerBar->Width() : 0);
  for (const TPngImage& look : CutFrames(FProps.Imgitem, 2)) {
    auto stretched = s.Left() < s.Right()
                         ? StretchThreePartHor(look, s.Left(), s.Right(), 255, clNone, width)
                         : std::nullopt;
    FHighlights.push_back(stretched ? std::move(*stretched) : look);
  }
}

void TQuorDirectTreeView::ApplyParams() {
  TQuorTreeParams p;
  p.Width = Width();
  p.Height = Height();
  p.ItemHeight = FItemHeight;
  p.ItemMargin = FProps.ItemMargin;
  p.VerBarWidth = FVerBar ? FVerBar->Width() : 0;
  p.HorBarHeight = FHorBar ? FHorBar->Height() : 0;
  p.ShowButton = FProps.ShowButton;
  if (!FButtons.empty()) p.ButtonSize = {FButtons[0].Width(), FButtons[0].Height()};
  p.ShowCheckBox = FProps.ShowCheckBox && !FChecks.empty();
  if (!FChecks.empty()) p.CheckSize = {FChecks[0].Width(), FChecks[0].Height()};
  p.MarginBtnPlus = FProps.MarginBtnPlus;
  p.MarginCheckBox = FProps.MarginCheckBox;
  p.MarginImageList = FProps.MarginImageList;
  p.MarginText = FProps.MarginText;
  if (FProps.Imagelist && FProps.Imagelist->Item(0)) p.ImageListWidth = FProps.Imagelist->Item(0)->Width();
  p.TextHeight = int(MeasureText(L"", FFont).cy);
  p.MultiSelect = FProps.MultiSelect;
  p.RubberBand = FProps.MultiSelect && !FProps.ImgSelBox.Empty();
  p.HotTrack = FProps.HotTrack;
  FModel.SetParams(p);
}

void TQuorDirectTreeView::CreateHandle() {
  TQuorDirectParentControl::CreateHandle();
  auto makeBar = [&](const std::optional<TQuorScrollBarRes>& res, TQuorScrollkind kind,
                     const wchar_t* name) -> TQuorDirectScrollBar* {
    if (!res) return nullptr;
    auto& bar = Add<TQuorDirectScrollBar>({
        .Control = {.Name = name, .Bounds = {0, 0, 16, 16}, .Visible = false},
        .ScrollRes = *res,
        .SmallChange = FItemHeight + FProps.ItemMargin,
        .kind = kind,
    });
    bar.OnScroll = [this, kind](TQuorControlBase&, int& position) {
      if (FSyncing) return;
      if (kind == TQuorScrollkind::skVer) FModel.SetVerPosition(position);
      else FModel.SetHorPosition(position);
      FollowPointer();
      Invalidate();
    };
    return &bar;
  };
  if (!FVerBar) FVerBar = makeBar(FProps.VerScrollRes, TQuorScrollkind::skVer, L"VerScrollBar");
  if (!FHorBar) FHorBar = makeBar(FProps.HorScrollRes, TQuorScrollkind::skHor, L"HorScrollBar");
  ApplyParams();
}

TQuorDTVItem& TQuorDirectTreeView::AddRoot(const std::wstring& caption) {
  return FModel.AddRoot(caption);
}

TQuorDTVItem& TQuorDirectTreeView::AddChild(TQuorDTVItem& parent, const std::wstring& caption) {
  return FModel.AddChild(parent, caption);
}

void TQuorDirectTreeView::Clear() { FModel.Clear(); }

void TQuorDirectTreeView::SetExpanded(TQuorDTVItem& row, bool expanded, bool recursive) {
  BeginUpdate();
  FModel.SetExpanded(row, expanded, recursive);
  EndUpdate();
}

void TQuorDirectTreeView::BeginUpdate() {
  ++FUpdateCount;
  if (Frame()) Frame()->BeginUpdate();
}

void TQuorDirectTreeView::EndUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0) Invalidate();
  if (Frame()) Frame()->EndUpdate();
}

void TQuorDirectTreeView::Invalidate() {
  if (FUpdateCount > 0 || FSyncing || !Frame() || !Frame()->Loaded()) return;
  TQuorDirectForm::TUpdateGuard batch(*Frame());
  SyncScrollBars();
  Frame()->RedrawControl(*this);
}

void TQuorDirectTreeView::SyncScrollBars() {
  FSyncing = true;
  const bool verBefore = FVerBar && FVerBar->Visible();
  // Each bar changes only what differs: a bar's setters repaint it.
  auto sync = [](TQuorDirectScrollBar& bar, const TQuorScrollRange& r, const TBounds& place) {
    if (r.Needed) {
      const TBounds& b = bar.Bounds();
      if (b.Left != place.Left || b.Top != place.Top || b.Width != place.Width || b.Height != place.Height)
        bar.SetBounds(place);
      if (bar.Max() != r.Max || bar.PageSize() != r.Page) bar.SetRange(0, r.Max, r.Page);
      if (bar.Position() != r.Position) bar.SetPosition(r.Position);
    }
    if (bar.Visible() != r.Needed) bar.SetVisible(r.Needed);
  };
  if (FVerBar) {
    const int w = FVerBar->Width();
    const int bottom = FHorBar && FModel.HorScroll().Needed ? Height() - FHorBar->Height() : Height();
    sync(*FVerBar, FModel.VerScroll(), {Width() - w, 0, w, bottom});
  }
  if (FHorBar) {
    const int h = FHorBar->Height();
    const int right = FVerBar && FVerBar->Visible() ? Width() - FVerBar->Width() : Width();
    sync(*FHorBar, FModel.HorScroll(), {0, Height() - h, right, h});
  }
  // The highlight images follow the width left by the vertical bar.
  if ((FVerBar && FVerBar->Visible()) != verBefore || FHighlights.empty()) BuildHighlights();
  FSyncing = false;
}

void TQuorDirectTreeView::SetBounds(const TBounds& bounds) {
  TQuorDirectParentControl::SetBounds(bounds);
  FModel.Resize(bounds.Width, bounds.Height);
  BuildHighlights();
  Invalidate();
}

void TQuorDirectTreeView::ModelEvent(const TQuorTreeEvent& e) {
  if (!e.Item) return;
  TQuorDTVItem& item = *e.Item;
  switch (e.Kind) {
    case TQuorTreeEventKind::ItemClick:
      if (OnItemClick) OnItemClick(*this, item);
      break;
    case TQuorTreeEventKind::ItemCheck:
      if (OnItemCheck) OnItemCheck(*this, item);
      break;
    case TQuorTreeEventKind::ItemExpand:
      if (OnItemExpand) OnItemExpand(*this, item);
      break;
    case TQuorTreeEventKind::ItemMouseDown:
      if (OnItemMouseDown) OnItemMouseDown(*this, item, e.At.x, e.At.y);
      break;
    case TQuorTreeEventKind::ItemMouseUp:
      if (OnItemMouseUp) OnItemMouseUp(*this, item, e.At.x, e.At.y);
      break;
    case TQuorTreeEventKind::CurrentChange:
      break;
  }
}

// ---- drawing ------------------------------------------------------------------

void TQuorDirectTreeView::DrawBackground(const RECT& area) {
  const RECT buffer{0, 0, FBuffer.Width(), FBuffer.Height()};
  const RECT r{std::max(area.left, buffer.left), std::max(area.top, buffer.top),
               std::min(area.right, buffer.right), std::min(area.bottom, buffer.bottom)};
  if (r.right <= r.left || r.bottom <= r.top) return;
  if (FProps.Transparent && Frame()) {
    const RECT s = SurfaceRect();
    CopyBitmapRect(Frame()->CleanSkin(), {s.left + r.left, s.top + r.top, s.left + r.right, s.top + r.bottom},
                   FBuffer, {r.left, r.top});
  } else {
    FillRectOpaque(FBuffer, r, FProps.Color);
  }
  if (!FProps.ImgBack.Empty()) {
    // Scaled over the whole tree; a part is redrawn by drawing it whole into a scratch.
    if (r.left == 0 && r.top == 0 && r.right == buffer.right && r.bottom == buffer.bottom) {
      FProps.ImgBack.Draw(FBuffer, buffer);
    } else {
      TQuorBitmap whole(FBuffer.Width(), FBuffer.Height());
      CopyBitmapRect(FBuffer, buffer, whole, {0, 0});
      FProps.ImgBack.Draw(whole, buffer);
      CopyBitmapRect(whole, r, FBuffer, {r.left, r.top});
    }
  }
}

int TQuorDirectTreeView::CheckFrame(const TQuorDTVItem& row) const {
  const bool hot = FModel.Hot().Part == TQuorTreePart::Check && FModel.Hot().Item == &row;
  const int state = row.CheckState();
  switch (FProps.CheckStateCount) {
    case 4:
      if (state == kCheckPartial) return -1;  // no partial look in a four-frame strip
      return (state == kCheckTicked ? 1 : 0) + (hot ? 2 : 0);
    case 6:
    case 9: {
      const int mark = state == kCheckTicked ? 1 : state == kCheckPartial ? 2 : 0;
      if (!row.Enabled) return FProps.CheckStateCount == 9 ? 6 + mark : -1;
      return mark + (hot ? 3 : 0);
    }
  }
  return -1;
}

void TQuorDirectTreeView::DrawCheck(const TQuorDTVItem& row) {
  if (!FProps.ShowCheckBox || IsNoRect(row.CheckRect)) return;
  const int frame = CheckFrame(row);
  if (frame >= 0 && frame < int(FChecks.size()))
    FChecks[size_t(frame)].Draw(FBuffer, row.CheckRect.left, row.CheckRect.top);
}

void TQuorDirectTreeView::DrawRow(TQuorDTVItem& row) {
  const int index = row.IndexInParent();
  if (OnBeforeItemDraw) OnBeforeItemDraw(FBuffer, index, row);
  const bool hot = FModel.HotItem() == &row;
  const bool pressed = FModel.PressedItem() == &row;
  if (row.HighlightEnabled && FHighlights.size() == 2) {
    const TPngImage* look = nullptr;
    if (pressed || row.Selected) look = &FHighlights[1];
    else if ((hot && FProps.HotTrack) || FModel.CurrentItem() == &row) look = &FHighlights[0];
    if (look) look->Draw(FBuffer, row.RowRect.left, row.RowRect.top + (row.RowRect.bottom - row.RowRect.top - look->Height()) / 2);
  }
  bool defaultDraw = true;
  if (OnItemOwnerDraw) OnItemOwnerDraw(FBuffer, index, row, defaultDraw);
  if (defaultDraw) {
    if (FProps.ShowButton && row.ChildCount() > 0 && !IsNoRect(row.ButtonRect) && FButtons.size() == 4) {
      const bool hotButton = FModel.Hot().Part == TQuorTreePart::Button && FModel.Hot().Item == &row;
      FButtons[size_t((row.Expanded() ? 2 : 0) + (hotButton ? 1 : 0))].Draw(FBuffer, row.ButtonRect.left,
                                                                          row.ButtonRect.top);
    }
    DrawCheck(row);
    if (FProps.Imagelist && row.ImageLeft >= 0) {
      const int imageIndex =
          row.Expanded() && row.ExpandedImageIndex >= 0 ? row.ExpandedImageIndex : row.ImageIndex();
      if (const TPngImage* image = FProps.Imagelist->Item(imageIndex)) {
        const int top = row.RowRect.top + (row.RowRect.bottom - row.RowRect.top - image->Height()) / 2;
        image->Draw(FBuffer, row.ImageLeft, top);
      }
    }
    if (!row.Caption().empty() && row.TextRect.right > row.TextRect.left) {
      TColor colour = FProps.FontColorNormal;
      if (!row.Enabled) colour = FProps.FontColorDisable;
      else if (pressed || row.Selected) colour = FProps.FontColorDown;
      else if (hot && FProps.HotTrack) colour = FProps.FontColorOver;
      FFont.Assign(WithColour(FProps.Font, colour));
      DrawSurfaceText(FBuffer, row.TextRect, ShownCaption(row), FFont,
                      DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
  }
  if (OnAfterItemDraw) OnAfterItemDraw(FBuffer, index, row);
}

std::wstring TQuorDirectTreeView::ShownCaption(const TQuorDTVItem& row) {
  if (!FProps.PathEllipsis) return row.Caption();
  return ShortenPathMiddle(
      row.Caption(), row.TextRect.right - row.TextRect.left,
      [this](std::wstring_view text) { return int(MeasureText(std::wstring(text), FFont).cx); });
}

void TQuorDirectTreeView::DirectPaint(TPaintContext& ctx) {
  if (FBuffer.Width() != Width() || FBuffer.Height() != Height()) FBuffer.SetSize(Width(), Height());
  if (FBuffer.Empty()) return;
  FModel.Resize(Width(), Height());
  // The bars follow the content; their own repaints come after this drawing.
  if (!FSyncing) SyncScrollBars();
  DrawBackground({0, 0, Width(), Height()});
  for (TQuorDTVItem* row : FModel.RowsInView()) DrawRow(*row);
  if (auto band = FModel.BandRect(); band && !FProps.ImgSelBox.Empty()) FProps.ImgSelBox.Draw(FBuffer, *band);
  if (!Enabled()) GrayBitmap(FBuffer);
  if (!FProps.Transparent) SetBitmapOpaque(FBuffer);
  CopyBitmapRect(FBuffer, {0, 0, Width(), Height()}, ctx.Canvas, {ctx.Rect.left, ctx.Rect.top});
}

void TQuorDirectTreeView::CopyToSurface(const RECT& area) {
  TQuorDirectForm* frame = Frame();
  if (!frame) return;
  const RECT s = SurfaceRect(), clip = ClipRect();
  RECT onSurface{s.left + area.left, s.top + area.top, s.left + area.right, s.top + area.bottom};
  onSurface = {std::max(onSurface.left, clip.left), std::max(onSurface.top, clip.top),
               std::min(onSurface.right, clip.right), std::min(onSurface.bottom, clip.bottom)};
  if (onSurface.right <= onSurface.left || onSurface.bottom <= onSurface.top) return;
  CopyBitmapRect(FBuffer,
                 {onSurface.left - s.left, onSurface.top - s.top, onSurface.right - s.left,
                  onSurface.bottom - s.top},
                 frame->Surface(), {onSurface.left, onSurface.top});
}

void TQuorDirectTreeView::RedrawRow(TQuorDTVItem& row, bool present) {
  if (!Frame() || !Frame()->Loaded() || FUpdateCount > 0 || !row.HighlightEnabled ||
      FBuffer.Width() != Width() || FBuffer.Height() != Height())
    return;
  const auto& inView = FModel.RowsInView();
  if (std::find(inView.begin(), inView.end(), &row) == inView.end()) return;
  const bool fullWidth = FProps.itemsplit.Left() == FProps.itemsplit.Right();
  RECT area = row.RowRect;
  area.left = fullWidth ? 0 : 2;
  if (fullWidth) area.right += 2;
  area.top = std::max<LONG>(area.top, 0);
  area.bottom = std::min<LONG>(area.bottom, Height());
  DrawBackground(area);
  DrawRow(row);
  if (!Enabled()) GrayBitmap(FBuffer);
  if (!FProps.Transparent) SetRectOpaque(FBuffer, area);
  CopyToSurface(area);
  if (present) Frame()->Present();
}

// ---- input --------------------------------------------------------------------

TQuorModifiers TQuorDirectTreeView::Modifiers() const {
  return {::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_SHIFT) < 0};
}

// Each row its own hint: the one shown before goes first, so that the
// tooltip starts afresh for the row now under the pointer.
void TQuorDirectTreeView::UpdateRowHint(TQuorDTVItem* hot) {
  if (!Frame()) return;
  if (FHintShown) {
    Frame()->CancelControlHint(*this);
    FHintShown = false;
  }
  const bool cut = hot && !hot->Caption().empty() &&
                   MeasureText(hot->Caption(), FFont).cx > hot->TextRect.right - hot->TextRect.left;
  if (!cut) return;
  Frame()->ShowControlHint(*this, hot->Caption());
  FHintShown = true;
}

// A scroll moves the rows under a pointer that stays: the hot row and its
// hint follow the row now under it.
void TQuorDirectTreeView::FollowPointer() {
  if (!FPointer) return;
  TQuorDTVItem* before = FModel.HotItem();
  FModel.MouseMove(*FPointer, false);
  if (FModel.HotItem() != before) UpdateRowHint(FModel.HotItem());
}

void TQuorDirectTreeView::MouseMove(int x, int y, WPARAM keys) {
  FPointer = POINT{x, y};
  if (FUpdateCount > 0) return;
  TQuorDTVItem* before = FModel.HotItem();
  const bool band = (keys & MK_LBUTTON) && FProps.MultiSelect;
  if (!FModel.MouseMove({x, y}, (keys & MK_LBUTTON) != 0)) {
    if (TQuorDTVItem* hot = FModel.HotItem(); hot && OnItemMouseMove) OnItemMouseMove(*this, *hot, keys, x, y);
    return;
  }
  TQuorDTVItem* after = FModel.HotItem();
  if (after != before) UpdateRowHint(after);
  if (after && OnItemMouseMove) OnItemMouseMove(*this, *after, keys, x, y);
  if (band) {
    Invalidate();
    return;
  }
  // A hover repaints the rows it leaves and enters, and presents once.
  TQuorDirectForm::TUpdateGuard batch(*Frame());
  if (before && before != after) RedrawRow(*before, true);
  if (after) RedrawRow(*after, true);
}

void TQuorDirectTreeView::MouseDown(int x, int y) {
  FPressed = true;
  if (TabStop()) SetFocus();
  if (FModel.MouseDown({x, y}, Modifiers())) Invalidate();
}

void TQuorDirectTreeView::MouseUp(int x, int y) {
  FPressed = false;
  if (FModel.MouseUp({x, y})) Invalidate();
}

void TQuorDirectTreeView::CaptureLost() {
  FPressed = false;
  if (FModel.MouseLeave()) Invalidate();
}

void TQuorDirectTreeView::MouseLeave() {
  FPointer.reset();
  if (OnMouseLeave) OnMouseLeave(*this);
  UpdateRowHint(nullptr);
  if (FModel.MouseLeave()) Invalidate();
}

bool TQuorDirectTreeView::MouseWheel(int delta, int, int) {
  const TQuorScrollRange r = FModel.VerScroll();
  if (!r.Needed) return false;
  const int step = (FItemHeight + FProps.ItemMargin) * std::max(1, std::abs(delta) / WHEEL_DELTA);
  FModel.SetVerPosition(r.Position + (delta < 0 ? step : -step));
  FollowPointer();
  Invalidate();
  return true;
}

void TQuorDirectTreeView::ButtonDown(TMouseButton button, int x, int y) {
  if (button != TMouseButton::Right) return;
  if (TabStop()) SetFocus();
  const TQuorTreeHit hit = FModel.HitTest({x, y});
  if (hit.Item && FModel.SetCurrent(*hit.Item)) Invalidate();
}

void TQuorDirectTreeView::ButtonUp(TMouseButton button, int x, int y) {
  if (button == TMouseButton::Right) ContextMenuAt({x, y}, FModel.HitTest({x, y}).Item);
}

void TQuorDirectTreeView::ContextMenuAt(POINT client, TQuorDTVItem* item) {
  if (!OnContextMenu) return;
  if (Handle()) ::ClientToScreen(Handle(), &client);
  OnContextMenu(*this, client, item);
}

// Below the current row's text, scrolled into view first; the tree's
// top-left corner without a current row.
void TQuorDirectTreeView::ContextMenuFromKeyboard() {
  TQuorDTVItem* item = FModel.CurrentItem();
  POINT at{2, 2};
  if (item) {
    FModel.EnsureVisible(item);
    Invalidate();
    const auto& rows = FModel.RowsInView();
    if (std::find(rows.begin(), rows.end(), item) != rows.end())
      at = {std::max(item->TextRect.left, item->RowRect.left), item->RowRect.bottom};
  }
  ContextMenuAt(at, item);
}

void TQuorDirectTreeView::FocusChanged(bool focused) {
  if (!focused && FModel.FocusLost()) {
    Invalidate();
    return;
  }
  TQuorDirectParentControl::FocusChanged(focused);
}

void TQuorDirectTreeView::KeyDown(WPARAM key) {
  if (key == VK_APPS) {
    ContextMenuFromKeyboard();
    return;
  }
  if (FModel.KeyDown(int(key), Modifiers())) Invalidate();
}

void TQuorDirectTreeView::CharTyped(wchar_t c) {
  if (c < L' ') return;
  if (FModel.KeyChar(c, ::GetTickCount())) Invalidate();
}

std::wstring TQuorDirectTreeView::ShownText() {
  std::wstring text;
  for (int i = 0; i < FModel.ShownCount(); ++i) {
    const TQuorDTVItem& row = *FModel.Shown(i);
    if (i > 0) text += L"\r\n";
    text.append(size_t(row.Level()), L'\t');
    if (FProps.ShowCheckBox) {
      const int state = row.CheckState();
      text += state == kCheckTicked ? L"[x] " : state == kCheckPartial ? L"[-] " : L"[ ] ";
    }
    text += OnItemText ? OnItemText(row) : row.Caption();
  }
  return text;
}

LRESULT TQuorDirectTreeView::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH) return AnswerGetText(msg, w, l, ShownText());
  if (msg == WM_SYSKEYDOWN && w == VK_F10 && ::GetKeyState(VK_SHIFT) < 0) {
    ContextMenuFromKeyboard();
    return 0;
  }
  if (msg == WM_LBUTTONDBLCLK) {
    if (TQuorDTVItem* hot = FModel.HotItem(); hot && OnItemDbClick) OnItemDbClick(*this, *hot);
    return TQuorDirectParentControl::HandleMessage(WM_LBUTTONDOWN, w, l);
  }
  return TQuorDirectParentControl::HandleMessage(msg, w, l);
}

}  // namespace quor
