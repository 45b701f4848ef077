// The review's rows: the two groups and their items, what each row draws
// (group count; path, size and reason), the ticks, and the sizes measured on
// a thread of their own.
#include <algorithm>

#include "app/LangText.h"
#include "inventory/ProgramSize.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorSkinProps.h"
#include "toolkit/QuorText.h"
#include "ui/AfterDel.h"
#include "ui/Anchors.h"

namespace quor {
namespace {

constexpr TColor kText = RGB(56, 56, 56);
constexpr TColor kReason = 0xA0938A;  // lighter than the path
constexpr TColor kCount = RGB(228, 113, 0);
constexpr TColor kMuted = 0xA0938A;
constexpr int kGroupHeight = 32, kChildHeight = 22, kChildIndent = 20;
constexpr int kColumnGap = 12;

// A group follows its children: all ticked, none, or some.
int GroupState(const TQuorDTVItem& group) {
  const int ticked = TickedChildren(group);
  if (ticked == 0) return kCheckClear;
  return ticked == group.ChildCount() ? kCheckTicked : kCheckPartial;
}

std::wstring LinkWord() { return GetLangText(L"Uninstall", L"SizeLink", L"link"); }

// The sizes of the file and folder items, one after another, each handed to
// `done` on the dialog's thread; stops at the next entry once asked to.
void MeasureSizes(std::stop_token stop, std::vector<std::pair<size_t, TLeftOverItem>> items,
                  std::shared_ptr<const TUiCallLink> link,
                  std::function<void(size_t, const TItemSize&)> done) noexcept {
  try {
    for (const auto& [row, item] : items) {
      if (stop.stop_requested()) return;
      const TItemSize size = MeasureLeftover(item, [&] { return stop.stop_requested(); });
      if (stop.stop_requested() || !link->Post([done, row, size] { done(row, size); })) return;
    }
  } catch (...) {
    // A size that cannot be measured is left blank.
  }
}

}  // namespace

void TFrmAfterDel::DefineTree() {
  TQuorDirectTreeView::TProps tree{
      .Control = {.Name = L"lvlist", .Bounds = {10, 61, 481, 266}, .TabStop = true, .TabOrder = 2},
      .Color = 0xFFFFFF,
      .ShowButton = false,
      .Font = FFont,
      .FontColorNormal = kText,
      .FontColorOver = kText,
      .FontColorDown = kText,
      .FontColorDisable = kMuted,
      .Imgitem = SkinImage(L"row_highlight"),
      .itemsplit = {4, 0, 16, 0},
      .ItemMargin = 2,
      .ImgCheck = SkinImage(L"check6"),
      .CheckStateCount = 6,
      .ShowCheckBox = true,
      .Itemheight = kChildHeight,
      .VerScrollRes = SkinnedScrollRes(true),
      .Imagelist = il2.get(),
      .PathEllipsis = true};
  lvlist = &FForm->Add<TQuorDirectTreeView>(tree);
  Anchor(*lvlist, akAll);
  lvlist->OnMeasureItem = [](TQuorDTVItem& item, int, int& height) {
    height = item.Level() == 0 ? kGroupHeight : kChildHeight;
  };
  lvlist->OnItemLeftDraw = [](TQuorDTVItem& item, int, int& left) {
    if (item.Level() > 0) left = kChildIndent;
  };
  lvlist->OnItemOwnerDraw = [this](TQuorBitmap& canvas, int, TQuorDTVItem& item,
                                   bool& defaultDraw) {
    lvlistItemOwnerDraw(canvas, item, defaultDraw);
  };
  lvlist->OnAfterItemDraw = [this](TQuorBitmap& canvas, int, TQuorDTVItem& item) {
    lvlistAfterItemDraw(canvas, item);
  };
  lvlist->OnItemText = [this](const TQuorDTVItem& item) { return RowText(item); };
  lvlist->OnItemDbClick = [this](TQuorControlBase&, TQuorDTVItem& item) {
    lvlistItemDbClick(item);
  };
  lvlist->OnItemCheck = [this](TQuorControlBase&, TQuorDTVItem& item) { lvlistItemCheck(item); };
  lvlist->OnContextMenu = [this](TQuorControlBase&, POINT screen, TQuorDTVItem* item) {
    lvlistContextMenu(screen, item);
  };
}

void TFrmAfterDel::BuildGroups() {
  lvlist->BeginUpdate();
  FFilesGroup = &lvlist->AddRoot(GetLangText(L"Uninstall", L"Files", L"Files/Folders"));
  FFilesGroup->SetImageIndex(0);
  FRegGroup = &lvlist->AddRoot(GetLangText(L"Uninstall", L"RegEntries", L"Registry Entries"));
  FRegGroup->SetImageIndex(1);
  lvlist->EndUpdate();
}

void TFrmAfterDel::FillLeftovers() {
  if (!FRows.empty()) return;  // filled at an earlier show
  lvlist->BeginUpdate();
  const std::vector<bool> ticked = StartTicks(*FProgram);
  for (int32_t i = 0; i < FProgram->LeftoverCount(); ++i) {
    const TLeftOverItem* leftover = FProgram->GetLeftover(i);
    if (!leftover) continue;
    const TReviewGroup group = ReviewGroupOf(leftover->Kind);
    if (group == TReviewGroup::None) continue;
    TQuorDTVItem& row =
        lvlist->AddChild(group == TReviewGroup::Files ? *FFilesGroup : *FRegGroup, leftover->Path);
    row.SetImageIndex(ReviewIconOf(leftover->Kind));
    row.SetCheckState(ticked[i] ? kCheckTicked : kCheckClear);
    row.Data = const_cast<TLeftOverItem*>(leftover);
    row.Text2 = FoundReasonText(*leftover);
    FRowOf[&row] = FRows.size();
    FRows.push_back({&row, i, {}});
  }
  MeasureColumns();
  for (TQuorDTVItem* group : {FFilesGroup, FRegGroup}) {
    group->SetCheckState(GroupState(*group));
    lvlist->SetExpanded(*group, true, true);
  }
  lvlist->EndUpdate();
  StartSizes();
}

// The size column is as wide as the widest size can be, so that sizes coming
// in do not move the columns; the reason column as the widest reason.
void TFrmAfterDel::MeasureColumns() {
  const TQuorFont font(FFont);
  FSizeWidth = std::max(
      int(MeasureText(ItemSizeText({TItemSize::TKind::Bytes, 1023LL << 30, true}, {}), font).cx),
      int(MeasureText(LinkWord(), font).cx));
  FReasonWidth = 0;
  for (const TRow& r : FRows)
    FReasonWidth = std::max(FReasonWidth, int(MeasureText(r.Item->Text2, font).cx));
  // A registry item has no size: its path may take the size column's room.
  for (const TRow& r : FRows) {
    const auto* leftover = static_cast<const TLeftOverItem*>(r.Item->Data);
    const bool sized = ReviewGroupOf(leftover->Kind) == TReviewGroup::Files;
    r.Item->RightReserve = FReasonWidth + kColumnGap + (sized ? FSizeWidth + kColumnGap : 0);
  }
}

const TFrmAfterDel::TRow* TFrmAfterDel::RowOf(const TQuorDTVItem& item) const {
  const auto it = FRowOf.find(&item);
  return it == FRowOf.end() ? nullptr : &FRows[it->second];
}

int32_t TFrmAfterDel::LeftoverIndex(const TQuorDTVItem& row) const {
  const TRow* r = RowOf(row);
  return r ? r->Index : -1;
}

std::wstring TFrmAfterDel::SizeText(const TQuorDTVItem& row) const {
  const TRow* r = RowOf(row);
  return r ? r->Size : std::wstring();
}

// Read from outside as drawn: a group with its count; an item with its
// path, size and reason, parted by tabs.
std::wstring TFrmAfterDel::RowText(const TQuorDTVItem& item) const {
  if (item.Level() == 0)
    return item.Caption() + GroupCountText(item, GetLangText(L"Uninstall", L"Items", L"Items"));
  return item.Caption() + L"\t" + SizeText(item) + L"\t" + item.Text2;
}

void TFrmAfterDel::lvlistItemOwnerDraw(TQuorBitmap& canvas, TQuorDTVItem& item, bool& defaultDraw) {
  if (item.Level() != 0) return;
  const RECT row = item.RowRect;
  if (!FGroupBack.Empty()) FGroupBack.Draw(canvas, row);
  if (const TPngImage* icon = il1->Item(item.ImageIndex()))
    icon->Draw(canvas, row.left + 10, row.top + 4);
  const TQuorFont text(TFontSpec{FFont.Name, FFont.Charset, FFont.Size, 0, kText});
  const std::wstring& caption = item.Caption();
  const int left = row.left + 38, top = row.top + 10;
  const UINT format = DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
  DrawSurfaceText(canvas, {left, top, row.right, row.bottom}, caption, text, format);
  const std::wstring count = GroupCountText(item, GetLangText(L"Uninstall", L"Items", L"Items"));
  if (!count.empty()) {
    const TQuorFont bold(TFontSpec{FFont.Name, FFont.Charset, FFont.Size, fsBold, kCount});
    const int after = left + int(MeasureText(caption, text).cx);
    DrawSurfaceText(canvas, {after, top, row.right, row.bottom}, count, bold, format);
  }
  defaultDraw = false;
}

// Right of a child's path: its size, right-aligned, then the reason it was
// found, lighter; both columns counted from the row's right edge.
void TFrmAfterDel::lvlistAfterItemDraw(TQuorBitmap& canvas, TQuorDTVItem& item) {
  if (item.Level() == 0 || item.TextRect.right <= item.TextRect.left) return;
  const TQuorFont font(TFontSpec{FFont.Name, FFont.Charset, FFont.Size, 0, kText});
  const TQuorFont reason(TFontSpec{FFont.Name, FFont.Charset, FFont.Size, 0, kReason});
  const int reasonLeft = item.TextRect.right + item.RightReserve - FReasonWidth;
  const int sizeLeft = reasonLeft - kColumnGap - FSizeWidth;
  const LONG top = item.RowRect.top, bottom = item.RowRect.bottom;
  const std::wstring size = SizeText(item);
  if (!size.empty())
    DrawSurfaceText(canvas, {sizeLeft, top, sizeLeft + FSizeWidth, bottom}, size, font,
                    DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (!item.Text2.empty())
    DrawSurfaceText(canvas, {reasonLeft, top, reasonLeft + FReasonWidth, bottom}, item.Text2,
                    reason, kTextLeft);
}

// A folder or key row carries its tick to the rows inside it, and an
// unticked one keeps them unticked. Told before the tree recomputes the
// group's own box, once per row that a click changes.
void TFrmAfterDel::lvlistItemCheck(TQuorDTVItem& item) {
  if (!FProgram || item.Level() != 1) return;
  std::vector<bool> ticked(static_cast<size_t>(std::max(FProgram->LeftoverCount(), 0)));
  int32_t changed = -1;
  for (const TRow& r : FRows) {
    ticked[r.Index] = r.Item->CheckState() == kCheckTicked;
    if (r.Item == &item) changed = r.Index;
  }
  FollowFolderTicks(*FProgram, ticked, changed);
  ApplyTicks(ticked);
}

void TFrmAfterDel::ApplyTicks(const std::vector<bool>& ticked) {
  bool any = false;
  for (const TRow& r : FRows) {
    const int state = ticked[r.Index] ? kCheckTicked : kCheckClear;
    if (r.Item->CheckState() == state) continue;
    r.Item->SetCheckState(state);
    any = true;
  }
  if (!any) return;
  for (TQuorDTVItem* group : {FFilesGroup, FRegGroup}) group->SetCheckState(GroupState(*group));
  lvlist->Invalidate();
}

void TFrmAfterDel::TickAll(bool ticked) {
  if (!FProgram) return;
  std::vector<bool> all(static_cast<size_t>(std::max(FProgram->LeftoverCount(), 0)), ticked);
  ApplyTicks(all);
}

void TFrmAfterDel::StartSizes() {
  std::vector<std::pair<size_t, TLeftOverItem>> items;
  for (size_t i = 0; i < FRows.size(); ++i) {
    const auto* leftover = static_cast<const TLeftOverItem*>(FRows[i].Item->Data);
    if (leftover && ReviewGroupOf(leftover->Kind) == TReviewGroup::Files)
      items.emplace_back(i, *leftover);
  }
  if (items.empty()) return;
  try {
    FUiCalls = std::make_unique<TUiCalls>();
    FSizer = std::jthread(MeasureSizes, std::move(items), FUiCalls->Link(),
                          [this](size_t row, const TItemSize& size) { SizeMeasured(row, size); });
  } catch (...) {
    FUiCalls.reset();  // no sizes then: the column stays blank
  }
}

void TFrmAfterDel::SizeMeasured(size_t row, const TItemSize& size) {
  if (row >= FRows.size()) return;
  FRows[row].Size = ItemSizeText(size, LinkWord());
  lvlist->RedrawRow(*FRows[row].Item, true);
}

}  // namespace quor
