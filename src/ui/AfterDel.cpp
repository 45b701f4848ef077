#include "ui/AfterDel.h"

#include <shellapi.h>

#include <algorithm>

#include "app/LangText.h"
#include "toolkit/QuorMessageLoop.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorSkinProps.h"
#include "toolkit/QuorUtils.h"
#include "ui/LeftoverReview.h"
#include "ui/RegistryEditor.h"
#include "ui/WebAddress.h"

namespace quor {
namespace {

constexpr TColor kText = RGB(56, 56, 56);
constexpr TColor kReason = 0xA0938A;  // lighter than the path
constexpr TColor kCount = RGB(228, 113, 0);
constexpr TColor kCaption = 0x453A33;
constexpr TColor kMuted = 0xA0938A;
const TQuorPadding kButtonSplit{6, 6, 74, 22};
constexpr int kGroupHeight = 32, kChildHeight = 22, kChildIndent = 20;
constexpr int kReasonGap = 12;

THostParams AfterDelHostParams(HWND owner) {
  return {.Caption = L"FrmAfterDel",
          .Left = 0,
          .Top = 0,
          .Width = TFrmAfterDel::kClientWidth,
          .Height = TFrmAfterDel::kClientHeight,
          .Owner = owner};
}

TFontSpec Font(TColor color, uint8_t style = 0) { return {L"Tahoma", DEFAULT_CHARSET, 8, style, color}; }

TQuorDirectStdButton::TProps ButtonProps(const wchar_t* name, TBounds bounds, int tabOrder,
                                         const wchar_t* caption) {
  return {.Control = {.Name = name, .Bounds = bounds, .TabStop = true, .TabOrder = tabOrder},
          .ImgBtn = SkinImage(L"std_button"),
          .BtnSplit = kButtonSplit,
          .Caption = caption,
          .FontNormal = Font(kText),
          .FontOver = Font(kText),
          .FontDown = Font(kText),
          .FontDisable = Font(kMuted),
          .FontFocus = Font(kText)};
}

std::wstring Translation(const std::wstring& key, const std::wstring& fallback) {
  return GetLangText(L"Translation", key, fallback);
}

}  // namespace

TFrmAfterDel::TFrmAfterDel(HWND owner) : THostWindow(AfterDelHostParams(owner)) {
  il1 = std::make_unique<TQuorImageList>(
      TQuorImageList::TProps{.Image = SkinImage(L"group_icons"), .ImgHeight = 24, .ImgWidth = 24});
  il2 = std::make_unique<TQuorImageList>(TQuorImageList::TProps{.Image = SkinImage(L"item_icons")});
  FGroupBack = SkinImage(L"group_back");
  TQuorFormProps frame = SkinnedFrameProps(L"FrmAfterDel");
  frame.ImgForm = SkinnedDialogImage(kClientWidth, kClientHeight);
  frame.CaptionFont = Font(kCaption, fsBold);
  frame.FormBtns = {};
  frame.SupportResize = false;
  FForm = std::make_unique<TQuorDirectForm>(*this, frame);
  DefineControls();
  FForm->Load();
  FCancelled = true;
  BuildGroups();
}

TFrmAfterDel::~TFrmAfterDel() { FForm.reset(); }

void TFrmAfterDel::DefineControls() {
  TQuorDirectForm& f = *FForm;
  lblinfo = &f.Add<TQuorDirectLabel>(
      {.Control = {.Name = L"lblinfo", .Bounds = {24, 36, 449, 23}},
       .Font = FFont,
       .Caption = L"Review the result and click \"Remove\" button to finish the uninstallation."});
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
      .Imagelist = il2.get()};
  lvlist = &f.Add<TQuorDirectTreeView>(tree);
  lvlist->OnMeasureItem = [](TQuorDTVItem& item, int, int& height) {
    height = item.Level() == 0 ? kGroupHeight : kChildHeight;
  };
  lvlist->OnItemLeftDraw = [](TQuorDTVItem& item, int, int& left) {
    if (item.Level() > 0) left = kChildIndent;
  };
  lvlist->OnItemOwnerDraw = [this](TQuorBitmap& canvas, int, TQuorDTVItem& item, bool& defaultDraw) {
    lvlistItemOwnerDraw(canvas, item, defaultDraw);
  };
  lvlist->OnAfterItemDraw = [this](TQuorBitmap& canvas, int, TQuorDTVItem& item) {
    lvlistAfterItemDraw(canvas, item);
  };
  // Read from outside as drawn: a group with its count, a child with its reason.
  lvlist->OnItemText = [](const TQuorDTVItem& item) {
    if (item.Level() == 0) return item.Caption() + GroupCountText(item, GetLangText(L"Uninstall", L"Items", L"Items"));
    return item.Text2.empty() ? item.Caption() : item.Caption() + L"\t" + item.Text2;
  };
  lvlist->OnItemDbClick = [this](TQuorControlBase&, TQuorDTVItem& item) { lvlistItemDbClick(item); };
  lvlist->OnItemCheck = [this](TQuorControlBase&, TQuorDTVItem& item) { lvlistItemCheck(item); };
  btnremove = &f.Add<TQuorDirectStdButton>(ButtonProps(L"btnremove", {263, 342, 90, 25}, 0, L"Remove"));
  btncancel = &f.Add<TQuorDirectStdButton>(ButtonProps(L"btncancel", {391, 342, 90, 25}, 1, L"Cancel"));
  btnremove->OnClick = [this](TQuorControlBase& s) { btnremoveClick(s); };
  btncancel->OnClick = [this](TQuorControlBase& s) { btncancelClick(s); };
}

void TFrmAfterDel::BuildGroups() {
  lvlist->BeginUpdate();
  FFilesGroup = &lvlist->AddRoot(GetLangText(L"Uninstall", L"Files", L"Files/Folders"));
  FFilesGroup->SetImageIndex(0);
  FRegGroup = &lvlist->AddRoot(GetLangText(L"Uninstall", L"RegEntries", L"Registry Entries"));
  FRegGroup->SetImageIndex(1);
  lvlist->EndUpdate();
}

int TFrmAfterDel::ShowModal() {
  FCancelled = true;
  FormShow();
  CenterOnOwner();
  const TMessageLoop::TFilterToken keys =
      TMessageLoop::AddFilter([this](MSG& msg) { return KeyFilter(msg); });
  SetTimer(1, 1, [this] {
    KillTimer(1);
    lvlist->SetFocus();
  });
  return THostWindow::ShowModal();
}

void TFrmAfterDel::FormShow() {
  TranslateAfterDel();
  if (FProgram) FillLeftovers();
}

void TFrmAfterDel::TranslateAfterDel() {
  TQuorDirectForm::TUpdateGuard update(*FForm);
  FFont.Charset = GetLangCharset();
  FFont.Name = GetLangFontName();
  FFont.Size = GetLangFontSize();
  TFontSpec caption = FForm->Props().CaptionFont;
  CopyFontFace(caption, FFont);
  FForm->SetCaptionFont(caption);
  FForm->SetCaption(Translation(L"Frmafterdel.caption", L"FrmAfterDel"));
  TFontSpec info = lblinfo->Font();
  CopyFontFace(info, FFont);
  lblinfo->SetFont(info);
  lblinfo->SetCaption(Translation(L"Frmafterdel.lblinfo.caption", lblinfo->Caption()));
  for (auto [button, key] : {std::pair{btnremove, L"Frmafterdel.btnremove.caption"},
                             std::pair{btncancel, L"Frmafterdel.btncancel.caption"}}) {
    auto fonts = button->Fonts();
    for (TFontSpec& font : fonts) CopyFontFace(font, FFont);
    button->SetFonts(fonts);
    button->SetCaption(Translation(key, button->Caption()));
  }
  FFilesGroup->SetCaption(GetLangText(L"Uninstall", L"Files", L"Files/Folders"));
  FRegGroup->SetCaption(GetLangText(L"Uninstall", L"RegEntries", L"Registry Entries"));
}

namespace {

// A group follows its children: all ticked, none, or some.
int GroupState(const TQuorDTVItem& group) {
  const int ticked = TickedChildren(group);
  if (ticked == 0) return kCheckClear;
  return ticked == group.ChildCount() ? kCheckTicked : kCheckPartial;
}

}  // namespace

void TFrmAfterDel::FillLeftovers() {
  lvlist->BeginUpdate();
  if (!FRows.empty()) {
    lvlist->EndUpdate();
    return;  // filled at an earlier show
  }
  const TQuorFont reasonFont(FFont);
  FReasonWidth = 0;
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
    FReasonWidth = std::max(FReasonWidth, int(MeasureText(row.Text2, reasonFont).cx));
    FRows.push_back({&row, i});
  }
  for (const TRow& r : FRows) r.Item->RightReserve = FReasonWidth + kReasonGap;
  for (TQuorDTVItem* group : {FFilesGroup, FRegGroup}) {
    group->SetCheckState(GroupState(*group));
    lvlist->SetExpanded(*group, true, true);
  }
  lvlist->EndUpdate();
}

int32_t TFrmAfterDel::LeftoverIndex(const TQuorDTVItem& row) const {
  for (const TRow& r : FRows)
    if (r.Item == &row) return r.Index;
  return -1;
}

void TFrmAfterDel::btnremoveClick(TQuorControlBase&) {
  if (FProgram)
    for (const TRow& r : FRows) FProgram->SetLeftoverKept(r.Index, r.Item->CheckState() != kCheckTicked);
  FCancelled = false;
  SetModalResult(IDOK);
  Close();
}

void TFrmAfterDel::btncancelClick(TQuorControlBase&) {
  FCancelled = true;
  Close();
}

void TFrmAfterDel::lvlistItemOwnerDraw(TQuorBitmap& canvas, TQuorDTVItem& item, bool& defaultDraw) {
  if (item.Level() != 0) return;
  const RECT row = item.RowRect;
  if (!FGroupBack.Empty()) FGroupBack.Draw(canvas, row);
  if (const TPngImage* icon = il1->Item(item.ImageIndex())) icon->Draw(canvas, row.left + 10, row.top + 4);
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

// The reason a child was found, in a lighter column right of its path.
void TFrmAfterDel::lvlistAfterItemDraw(TQuorBitmap& canvas, TQuorDTVItem& item) {
  if (item.Level() == 0 || item.Text2.empty() || item.TextRect.right <= item.TextRect.left) return;
  const TQuorFont reason(TFontSpec{FFont.Name, FFont.Charset, FFont.Size, 0, kReason});
  const RECT& t = item.TextRect;
  DrawSurfaceText(canvas, {t.right + kReasonGap, item.RowRect.top, t.right + 2 + item.RightReserve, item.RowRect.bottom},
                  item.Text2, reason, kTextLeft);
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

void TFrmAfterDel::lvlistItemDbClick(TQuorDTVItem& item) {
  if (item.Level() != 1 || !item.Data) return;
  const TLeftOverItem& leftover = *static_cast<const TLeftOverItem*>(item.Data);
  switch (leftover.Kind) {
    case lkFolder:
      OpenWebAddress(Handle(), leftover.Path);
      break;
    case lkFile:
      ::ShellExecuteW(Handle(), L"open", L"explorer", (L"/e, /select, " + leftover.Path).c_str(), nullptr,
                      SW_SHOWNORMAL);
      break;
    case lkRegKey:
    case lkRegValue: {
      const TRegistryTarget target = RegistryTargetOf(leftover);
      OpenRegistryKey(target.KeyText, target.ValueName);
      break;
    }
    default:
      break;
  }
}

// Escape anywhere in the dialog cancels.
bool TFrmAfterDel::KeyFilter(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || !Handle()) return false;
  if (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)) return false;
  btncancelClick(*btncancel);
  return true;
}

}  // namespace quor
