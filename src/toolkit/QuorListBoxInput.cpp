// Mouse, keyboard, focus, row hints and the context menu of the column list box.
#include <windowsx.h>

#include <algorithm>

#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectListBox.h"
#include "toolkit/WindowDispatch.h"

namespace quor {
namespace {

bool HeaderPart(TQuorListPart part) {
  return part == TQuorListPart::Header || part == TQuorListPart::HeaderCell ||
         part == TQuorListPart::HeaderCheck || part == TQuorListPart::Separator;
}

}  // namespace

TQuorModifiers TQuorDirectListBox::Modifiers() const {
  return {(FMouseKeys & MK_CONTROL) != 0, (FMouseKeys & MK_SHIFT) != 0};
}

// An input step changes the model, fires its events (whose handlers may change
// the list again) and redraws once at the end.
void TQuorDirectListBox::BeginInputUpdate() {
  ++FUpdateCount;
  if (Frame()) Frame()->BeginUpdate();
}

void TQuorDirectListBox::AfterHotChange(TQuorLboxItem* oldHot, const TQuorListHit& oldHit,
                                        bool leftButton) {
  if (leftButton || HeaderPart(oldHit.Part) || HeaderPart(FModel.Hot().Part)) {
    Invalidate();
    return;
  }
  // Only the rows that lose or gain the hot look change.
  RepaintRows({oldHot, FModel.HotItem()});
}

void TQuorDirectListBox::MouseMove(int x, int y, WPARAM keys) {
  if (!FHovered) {
    FHovered = true;
    UpdateHintTool();  // the list's own hint, until a row shows one
  }
  const POINT p{x, y};
  TQuorLboxItem* oldHot = FModel.HotItem();
  const TQuorListHit oldHit = FModel.Hot();
  const bool leftButton = (keys & MK_LBUTTON) != 0;
  if (FModel.MouseMove(p, leftButton)) AfterHotChange(oldHot, oldHit, leftButton);
  UpdateRowHint(p);
}

void TQuorDirectListBox::MouseLeave() {
  FHovered = false;
  CancelRowHint();
  TQuorLboxItem* oldHot = FModel.HotItem();
  const TQuorListHit oldHit = FModel.Hot();
  if (FModel.MouseLeave()) AfterHotChange(oldHot, oldHit, false);
}

void TQuorDirectListBox::MouseDown(int x, int y) {
  FPressed = true;
  CancelRowHint();
  BeginInputUpdate();
  if (FModel.MouseDown({x, y}, Modifiers())) Invalidate();
  EndInputUpdate();
}

void TQuorDirectListBox::MouseUp(int x, int y) {
  FPressed = false;
  BeginInputUpdate();
  if (FModel.MouseUp({x, y})) Invalidate();
  EndInputUpdate();
  if (x >= 0 && y >= 0 && x < Width() && y < Height() && Enabled()) Click();
}

void TQuorDirectListBox::CaptureLost() {
  FPressed = false;
  if (FModel.EndPress()) Invalidate();
}

void TQuorDirectListBox::ButtonDown(TMouseButton button, int x, int y) {
  if (button != TMouseButton::Right || !FProps.SupportRightSelect || SelectedCount() > 1) return;
  // Selects like a left press, without starting a drag or a click.
  if (TabStop()) SetFocus();
  BeginInputUpdate();
  FModel.MouseDown({x, y}, {});
  FModel.EndPress();
  Invalidate();
  EndInputUpdate();
}

void TQuorDirectListBox::ButtonUp(TMouseButton button, int x, int y) {
  if (button != TMouseButton::Right) return;
  ContextMenuAt({x, y}, FModel.HitTest({x, y}).Item);
}

bool TQuorDirectListBox::MouseWheel(int delta, int, int) {
  UINT lines = 3;
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  if (lines == WHEEL_PAGESCROLL) lines = UINT(std::max(1, FModel.RowsThatFit() - 1));
  const int notches = delta / WHEEL_DELTA != 0 ? delta / WHEEL_DELTA : (delta < 0 ? -1 : 1);
  const int steps = -notches * int(lines);
  if (const TQuorScrollRange v = FModel.VerScroll(); v.Needed) {
    FModel.SetVerPosition(v.Position + steps);
    if (FModel.VerScroll().Position != v.Position) Invalidate();
  } else if (const TQuorScrollRange h = FModel.HorScroll(); h.Needed) {
    FModel.SetHorPosition(h.Position + steps * FModel.Params().TextHeight);
    if (FModel.HorScroll().Position != h.Position) Invalidate();
  }
  return true;
}

void TQuorDirectListBox::FocusChanged(bool focused) {
  // The current row loses its hot look; selected rows stay highlighted.
  if (!focused) FModel.FocusLost();
  Invalidate();
}

void TQuorDirectListBox::KeyDown(WPARAM key) {
  if (key == VK_APPS) {
    ContextMenuFromKeyboard();
    return;
  }
  const TQuorModifiers keys{::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_SHIFT) < 0};
  BeginInputUpdate();
  if (FModel.KeyDown(int(key), keys)) Invalidate();
  EndInputUpdate();
}

void TQuorDirectListBox::CharTyped(wchar_t c) {
  BeginInputUpdate();
  if (FModel.KeyChar(c, ::GetTickCount())) Invalidate();
  EndInputUpdate();
}

// ---- context menu ---------------------------------------------------------------

void TQuorDirectListBox::ContextMenuAt(POINT client, TQuorLboxItem* item) {
  if (!OnContextMenu) return;
  if (Handle()) ::ClientToScreen(Handle(), &client);
  OnContextMenu(*this, client, item);
}

// At the current (or first selected) row, scrolled into view, else at the top left.
void TQuorDirectListBox::ContextMenuFromKeyboard() {
  TQuorLboxItem* item = FModel.CurrentItem() ? FModel.CurrentItem() : FModel.GetSelectedItem();
  POINT at{2, std::max(2, int(FModel.HeaderRect().bottom))};
  if (item && item->Visible()) {
    const TQuorLboxItem* top = FModel.TopItem();
    FModel.EnsureVisible(item);
    if (FModel.TopItem() != top) Invalidate();
    const std::vector<TQuorLboxItem*>& rows = FModel.RowsInView();
    if (std::find(rows.begin(), rows.end(), item) != rows.end())
      at = {std::max(item->TextRect.left, item->RowRect.left), item->RowRect.bottom};
  }
  ContextMenuAt(at, item);
}

// ---- row hints --------------------------------------------------------------------

void TQuorDirectListBox::UpdateRowHint(POINT p) {
  std::wstring text;
  TQuorLboxItem* row = FModel.HotItem();
  const TQuorListPart part = FModel.Hot().Part;
  if (row && (part == TQuorListPart::Row || part == TQuorListPart::RowCheck)) {
    const RECT& r = row->RowRect;
    const TQuorLbHeadItem* first = FModel.GetHeadItem(0);
    const RECT captionArea =
        FProps.HaveHeader && first ? RECT{0, r.top, first->Width(), r.bottom} : r;
    const int room = int(row->TextRect.right - row->TextRect.left);
    const int width =
        row->CaptionWidth >= 0 ? row->CaptionWidth : int(MeasureText(row->Caption(), FFont).cx);
    if (RectHolds(captionArea, p) && !row->Caption().empty() && width > room) {
      text = row->Caption();
    } else if (FProps.HaveHeader) {
      for (int i = 0; i < row->SubItemCount(); ++i) {
        const TQuorlboxSubitem& sub = *row->SubItem(i);
        if (sub.Truncated && RectHolds(sub.CellRect, p)) text = sub.Text();
      }
    }
  }
  if (text == FRowHint) return;
  CancelRowHint();
  if (text.empty() || !Frame()) return;
  FRowHint = text;
  Frame()->ShowControlHint(*this, text);
}

void TQuorDirectListBox::CancelRowHint() {
  if (FRowHint.empty()) return;
  FRowHint.clear();
  if (Frame()) Frame()->CancelControlHint(*this);
}

// ---- messages ------------------------------------------------------------------------

std::wstring TQuorDirectListBox::ShownText() const {
  std::wstring text;
  for (int c = 0; c < FModel.HeadCount(); ++c) {
    if (c > 0) text += L'\t';
    text += FModel.GetHeadItem(c)->Caption();
  }
  for (int i = 0; i < FModel.ItemCount(); ++i) {
    const TQuorLboxItem* row = FModel.GetItem(i);
    if (!row->Visible()) continue;
    text += L"\r\n";
    text += row->Caption();
    for (int k = 0; k < row->SubItemCount(); ++k) {
      text += L'\t';
      text += row->SubItem(k)->Text();
    }
  }
  return text;
}

LRESULT TQuorDirectListBox::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) FMouseKeys = w;
  switch (msg) {
    case WM_LBUTTONDBLCLK: {
      // The second press of a double click presses like the first, then reports the row.
      if (TabStop()) SetFocus();
      ::SetCapture(Handle());
      MouseDown(GET_X_LPARAM(l), GET_Y_LPARAM(l));
      TQuorLboxItem* row = FModel.HotItem();
      if (row && FModel.HotColumn() < 0 && OnItemDbClick) OnItemDbClick(*this, row);
      return 0;
    }
    case WM_SYSKEYDOWN:
      if (w == VK_F10 && ::GetKeyState(VK_SHIFT) < 0) {
        ContextMenuFromKeyboard();
        return 0;
      }
      break;
    case WM_GETTEXTLENGTH:
    case WM_GETTEXT:
      return AnswerGetText(msg, w, l, ShownText());
    case WM_CONTEXTMENU:
      // Already reported on the key press or the right button's release.
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(l) == HTCLIENT && (FModel.HotSeparator() >= 0 || FModel.PressedSeparator() >= 0)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
        return TRUE;
      }
      break;
  }
  return TQuorDirectParentControl::HandleMessage(msg, w, l);
}

}  // namespace quor
