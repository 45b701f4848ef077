// Drawing of the column list box into its own buffer. The buffer is opaque
// (filled with the list's colour first), so text goes straight onto it with
// GDI, and only the rectangles that GDI wrote get their alpha back.
#include <algorithm>
#include <iterator>

#include "base/Text.h"
#include "toolkit/QuorDirectListBox.h"
#include "toolkit/QuorImageList.h"

namespace quor {
namespace {

void FillRect32(TQuorBitmap& bitmap, const RECT& rect, TColor color) {
  const RECT r{std::max(rect.left, LONG(0)), std::max(rect.top, LONG(0)),
               std::min(rect.right, LONG(bitmap.Width())),
               std::min(rect.bottom, LONG(bitmap.Height()))};
  if (r.right <= r.left || r.bottom <= r.top) return;
  const uint32_t pixel = 0xFF000000u | (uint32_t(ColorRed(color)) << 16) |
                         (uint32_t(ColorGreen(color)) << 8) | ColorBlue(color);
  for (int y = r.top; y < r.bottom; ++y)
    std::fill_n(reinterpret_cast<uint32_t*>(bitmap.Pixel(r.left, y)), r.right - r.left, pixel);
}

int CentredTop(const RECT& r, int height) {
  return int(r.top) + (int(r.bottom - r.top) - height) / 2;
}

}  // namespace

void TQuorDirectListBox::DirectPaint(TPaintContext& ctx) {
  SyncScrollBars();
  {
    TPaintGuard painting(FPainting);
    PaintBuffer();
  }
  CopyToCanvas(ctx, {0, 0, Width(), Height()});
}

void TQuorDirectListBox::PaintBuffer() {
  if (FBuffer.Width() != Width() || FBuffer.Height() != Height()) {
    if (!FBuffer.SetSize(Width(), Height())) return;
    ::SetBkMode(FBuffer.Dc(), TRANSPARENT);
    FBackgroundValid = false;
  }
  if (FBuffer.Empty()) return;
  const bool barShown = FModel.VerBarShown();
  BuildHighlights(Width() - 4 - (barShown ? FModel.Params().VerBarWidth : 0));
  PaintBackground();
  // A copy: a handler of the row events may ask for a new layout.
  const std::vector<TQuorLboxItem*> rows = FModel.RowsInView();
  const std::vector<int> indexes = IndexesInView(rows);
  for (size_t i = 0; i < rows.size(); ++i) PaintRow(*rows[i], indexes[i]);
  PaintHeader();
  ::GdiFlush();
  PaintBorder();
  if (auto band = FModel.BandRect(); band && !FProps.ImgSelBox.Empty())
    FProps.ImgSelBox.Draw(FBuffer, *band);
  PaintBars();
  if (!Enabled())
    GrayBitmap(FBuffer);  // opaque as a whole
  else
    RestoreAlpha(HandlersDraw());
}

// The application's drawing handlers may put text anywhere.
bool TQuorDirectListBox::HandlersDraw() const {
  return OnDrawBackGround || OnItemOwnerDraw || OnBeforeItemDraw || OnAfterItemDraw ||
         OnSubItemDraw;
}

void TQuorDirectListBox::RestoreAlpha(bool whole) {
  ::GdiFlush();
  if (whole)
    SetBitmapOpaque(FBuffer);
  else
    for (const RECT& r : FTextRects) SetRectOpaque(FBuffer, r);
  FTextRects.clear();
}

// Colour, the application's background drawing and ImgBack at the bottom-right
// corner; kept aside so that one row can be repainted over its own background.
void TQuorDirectListBox::PaintBackground() {
  if (FBackgroundValid && !OnDrawBackGround) {
    FBuffer.CopyFrom(FBackground);
    return;
  }
  const RECT all{0, 0, Width(), Height()};
  FillRect32(FBuffer, all, FProps.Color);
  bool defaultDraw = true;
  if (OnDrawBackGround) {
    OnDrawBackGround(FBuffer, all, defaultDraw);
    ::GdiFlush();
  }
  if (defaultDraw && !FProps.ImgBack.Empty())
    FProps.ImgBack.Draw(FBuffer, Width() - FProps.ImgBack.Width(),
                        Height() - FProps.ImgBack.Height());
  FBackground.CopyFrom(FBuffer);
  FBackgroundValid = true;
}

const TPngImage* TQuorDirectListBox::CheckFrame(bool checked, bool hot) const {
  if (FCheckFrames.size() != 4) return nullptr;
  return &FCheckFrames[size_t(checked ? (hot ? 3 : 1) : (hot ? 2 : 0))];
}

// With the font selected: a text that fits goes out in one call, one that does
// not is cut with an end ellipsis. `width` caches the measured width.
void TQuorDirectListBox::DrawText(HDC dc, const std::wstring& cell, int& width, RECT rect,
                                  TColor color, UINT format) {
  if (cell.empty() || rect.right <= rect.left) return;
  const std::wstring text = WithoutDirectionOverrides(cell);
  if (width < 0) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    width = int(size.cx);
  }
  ::SetTextColor(dc, color & 0xFFFFFF);
  const int height = FModel.Params().TextHeight;
  const int y = int(rect.top) + (int(rect.bottom - rect.top) - height) / 2;
  RECT written = rect;
  if (width <= rect.right - rect.left && !(format & DT_CENTER)) {
    ::ExtTextOutW(dc, rect.left, y, ETO_CLIPPED, &rect, text.c_str(), UINT(text.size()), nullptr);
    written.right = std::min(rect.right, LONG(rect.left + width + 1));
  } else {
    ::DrawTextW(dc, text.c_str(), int(text.size()), &rect, format);
  }
  // The single line GDI wrote, with a pixel to spare for antialiased edges.
  written.top = std::max(rect.top, LONG(y - 1));
  written.bottom = std::min(rect.bottom, LONG(y + height + 1));
  FTextRects.push_back(written);
}

// Advance widths of the row font, 256 characters at a time, so that rows shown
// for the first time are measured without a call per text; a text with
// surrogates is measured whole. With the row font selected.
int TQuorDirectListBox::RowTextWidth(HDC dc, const std::wstring& text) {
  int width = 0;
  for (wchar_t c : text) {
    if (c >= 0xD800 && c <= 0xDFFF) {
      SIZE size{};
      ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
      return int(size.cx);
    }
    std::vector<uint16_t>& block = FCharWidths[size_t(c >> 8)];
    if (block.empty()) {
      INT widths[256] = {};
      const UINT first = UINT(c) & ~0xFFu;
      ::GetCharWidth32W(dc, first, first + 255, widths);
      block.assign(std::begin(widths), std::end(widths));
    }
    width += block[size_t(c & 0xFF)];
  }
  return width;
}

TColor TQuorDirectListBox::RowTextColor(const TQuorLboxItem& item) const {
  if (!item.Enabled) return FProps.FontColorDisable;
  if (&item == FModel.PressedItem() || item.Selected) return FProps.FontColorDown;
  if (&item == FModel.HotItem() && FProps.HotTrack) return FProps.FontColorOver;
  return FProps.FontColorNormal;
}

void TQuorDirectListBox::PaintRow(TQuorLboxItem& item, int index) {
  ::GdiFlush();
  if (OnBeforeItemDraw) OnBeforeItemDraw(FBuffer, index, item);
  const RECT& r = item.RowRect;
  const TPngImage* look = nullptr;
  if (&item == FModel.PressedItem() || item.Selected)
    look = FSelLook ? &*FSelLook : nullptr;
  else if ((&item == FModel.HotItem() && FProps.HotTrack) || &item == FModel.CurrentItem())
    look = FHotLook ? &*FHotLook : nullptr;
  if (look) look->Draw(FBuffer, RECT{r.left, r.top, r.left + look->Width(), r.bottom});
  bool defaultDraw = true;
  if (OnItemOwnerDraw) OnItemOwnerDraw(FBuffer, index, item, defaultDraw);
  if (defaultDraw) {
    SelectGuard font(FBuffer.Dc(), FFont.Handle());
    PaintRowContent(item);
  }
  if (OnAfterItemDraw) OnAfterItemDraw(FBuffer, index, item);
}

void TQuorDirectListBox::PaintRowContent(TQuorLboxItem& item) {
  const RECT& r = item.RowRect;
  const int height = int(r.bottom - r.top);
  if (const TPngImage* check =
          item.CheckRect.left >= 0 ? CheckFrame(item.Checked, FModel.RowCheckHot(&item)) : nullptr)
    check->Draw(FBuffer, item.CheckRect.left, item.CheckRect.top);
  if (FProps.Imagelist && item.ImageLeft >= 0) {
    if (OnGetImgindex) OnGetImgindex(*this, &item);
    if (const TPngImage* image = FProps.Imagelist->Item(item.ImageIndex()))
      image->Draw(FBuffer, item.ImageLeft, int(r.top) + (height - image->Height()) / 2);
  }
  HDC dc = FBuffer.Dc();
  if (item.CaptionWidth < 0) item.CaptionWidth = RowTextWidth(dc, item.Caption());
  DrawText(dc, item.Caption(), item.CaptionWidth, item.TextRect, RowTextColor(item), kTextLeft);
  PaintCells(item);
}

void TQuorDirectListBox::PaintCells(TQuorLboxItem& item) {
  if (!FProps.HaveHeader || HeadCount() < 2 || item.SubItemCount() == 0) return;
  const RECT& row = item.RowRect;
  HDC dc = FBuffer.Dc();
  const TColor color = RowTextColor(item);
  const int cells = std::min(item.SubItemCount(), HeadCount() - 1);
  for (int i = 0; i < cells; ++i) {
    TQuorlboxSubitem& sub = *item.SubItem(i);
    const RECT cell = sub.CellRect;
    if (!FModel.GetHeadItem(i + 1)->Visible() || cell.left < 0 || cell.left >= row.right) continue;
    if (sub.IsButton() || sub.Text().empty()) {
      PaintButton(sub, i);
      continue;
    }
    int x = int(cell.left);
    if (const TPngImage* image =
            FProps.Imagelist ? FProps.Imagelist->Item(sub.ImageIndex) : nullptr) {
      ::GdiFlush();
      image->Draw(FBuffer, x, CentredTop(cell, image->Height()));
      x += image->Width();
    }
    const RECT text{x + FProps.MarginText, cell.top, cell.right, cell.bottom};
    if (OnSubItemDraw) OnSubItemDraw(FBuffer, item, i);
    if (sub.TextWidth < 0) sub.TextWidth = RowTextWidth(dc, sub.Text());
    DrawText(dc, sub.Text(), sub.TextWidth, text, color, kTextLeft);
    if (sub.TextWidth > text.right - text.left) sub.Truncated = true;
  }
}

// A split button: a left part with the text and a right part that opens a menu.
void TQuorDirectListBox::PaintButton(TQuorlboxSubitem& sub, int subIndex) {
  if (FButtonFrames.empty()) return;
  const TQuorLboxItem& item = sub.Owner();
  const TButtonFrame& normal = FButtonFrames[0];
  const int w = normal.Left.Width() + normal.Right.Width(), h = normal.Left.Height();
  const RECT& cell = sub.CellRect;
  const int x = int(cell.left) + (int(cell.right - cell.left) - w) / 2, y = CentredTop(cell, h);
  const RECT& row = item.RowRect;
  if (x < row.left || x + w > row.right || y < row.top || y + h > row.bottom) return;
  auto on = [&](const TQuorListHit& hit) {
    return hit.Part == TQuorListPart::RowButton && hit.Item == &item && hit.Subitem == subIndex;
  };
  const TQuorListHit& hot = FModel.Hot();
  const bool rightHot = on(hot) && hot.RightPart;
  const int state = on(FModel.PressedButton()) ? 2 : on(hot) ? 1 : 0;
  auto frame = [&](int index) -> const TButtonFrame& {
    return FButtonFrames[size_t(std::min(index, int(FButtonFrames.size()) - 1))];
  };
  ::GdiFlush();
  const TPngImage& left = frame(rightHot ? 0 : state).Left;
  const TPngImage& right = frame(rightHot ? state : 0).Right;
  left.Draw(FBuffer, x, y);
  right.Draw(FBuffer, x + left.Width(), y);
  DrawText(FBuffer.Dc(), sub.Text(), sub.TextWidth, {x, y, x + left.Width(), y + h},
           RowTextColor(item), kTextCenter);
}

void TQuorDirectListBox::PaintHeader() {
  if (!FProps.HaveHeader || HeadCount() == 0) return;
  ::GdiFlush();
  const RECT header = FModel.HeaderRect();
  HDC dc = FBuffer.Dc();
  SelectGuard font(dc, FHeaderFont.Handle());
  const int splitCount = std::clamp(FProps.HeaderSplitStateCount, 1, 4);
  int x = int(header.left) + FModel.HorOffset();
  for (int i = 0; i < HeadCount(); ++i) {
    const TQuorLbHeadItem& column = *FModel.GetHeadItem(i);
    const RECT& cell = column.CellRect;
    if (!column.Visible() || cell.left < 0) continue;
    x = int(cell.left) + column.Width() + FProps.HeaderSplitWidth;
    const int state = !column.Enabled               ? 3
                      : FModel.PressedColumn() == i ? 2
                      : FModel.HotColumn() == i     ? 1
                                                    : 0;
    if (const TPngImage* frame = StateFrame(FHeaderFrames, state)) frame->Draw(FBuffer, cell);
    int content = int(cell.left);
    if (column.CheckRect.left >= 0) {
      const bool hot = FModel.Hot().Part == TQuorListPart::HeaderCheck && FModel.Hot().Column == i;
      if (const TPngImage* check = CheckFrame(column.Checked, hot)) {
        check->Draw(FBuffer, column.CheckRect.left, column.CheckRect.top);
        content = int(column.CheckRect.right);
      }
    }
    if (const TPngImage* image =
            FProps.HeadImglist ? FProps.HeadImglist->Item(column.ImageIndex) : nullptr) {
      image->Draw(FBuffer, content + 2, CentredTop(cell, image->Height()));
      content += 2 + image->Width();
    }
    const int left = content + 8;
    int right = int(cell.right) - 2;
    if (!column.Caption().empty()) {
      int width = -1;
      DrawText(dc, column.Caption(), width, {left, cell.top, right, cell.bottom},
               column.Enabled ? FHeaderFont.Color() : FProps.FontColorDisable, kTextLeft);
      right = std::min(right, left + width);
      ::GdiFlush();
    } else {
      right = left;
    }
    if (column.Sortable && (column.SortState == 1 || column.SortState == 2) &&
        FArrowFrames.size() == 2) {
      const TPngImage& arrow = FArrowFrames[size_t(column.SortState - 1)];
      if (right + 2 + arrow.Width() <= cell.right)
        arrow.Draw(FBuffer, right + 2, CentredTop(cell, arrow.Height()));
    }
    const RECT& split = column.SplitRect;
    if (split.left < 0) continue;
    int splitState = 0;
    if (!column.Enabled)
      splitState = splitCount == 4 ? 3 : 0;
    else if (FModel.PressedSeparator() == i && splitCount > 2)
      splitState = 2;
    else if (FModel.HotSeparator() == i && splitCount > 1)
      splitState = 1;
    if (const TPngImage* frame = StateFrame(FSplitFrames, splitState)) frame->Draw(FBuffer, split);
  }
  // The rest of the header row, right of the last column.
  const int end = Width() - FModel.BorderWidth();
  if (x < end && !FHeaderFrames.empty())
    FHeaderFrames[0].Draw(FBuffer, RECT{x, header.top, end, header.bottom});
}

void TQuorDirectListBox::PaintBorder() {
  if (FProps.BorderColor == clNone) return;
  const int w = Width(), h = Height();
  FillRect32(FBuffer, {0, 0, w, 1}, FProps.BorderColor);
  FillRect32(FBuffer, {0, h - 1, w, h}, FProps.BorderColor);
  FillRect32(FBuffer, {0, 0, 1, h}, FProps.BorderColor);
  FillRect32(FBuffer, {w - 1, 0, w, h}, FProps.BorderColor);
}

void TQuorDirectListBox::PaintBars() {
  for (TQuorDirectScrollBar* bar : {FVerBar, FHorBar}) {
    if (!bar || !bar->Visible()) continue;
    const TBounds& b = bar->Bounds();
    const RECT r{b.Left, b.Top, b.Left + b.Width, b.Top + b.Height};
    TPaintContext ctx{FBuffer, r, r};
    bar->DirectPaint(ctx);
  }
}

}  // namespace quor
