// The program list: filling it from the engine's records, sizes that come in
// later, the totals line, sorting, the search box and removing a row.

#include <algorithm>

#include "app/LangText.h"
#include "app/ProgramFilter.h"
#include "app/ProgramIcons.h"
#include "app/ProgramSort.h"
#include "app/TotalsLine.h"
#include "inventory/ProgramSize.h"
#include "toolkit/QuorIcon.h"
#include "ui/MainWindow.h"

namespace quor {
namespace {

struct TColumnDef {
  const wchar_t* Key;
  const wchar_t* Title;
  int Width;
  bool Sortable;
  bool Resizable;
};

constexpr TColumnDef kColumns[] = {
    {L"ItemName", L"Product Name", 200, true, true},
    {L"Publisher", L"Publisher", 140, true, true},
    {L"Size", L"Size", 90, true, false},
    {L"SetupDate", L"Setup Date", 90, true, true},
    {L"Version", L"Version", 90, false, true},
};

constexpr ULONGLONG kPumpIntervalMs = 30;

TUninstallObject* RecordOf(const TQuorLboxItem& row) {
  return static_cast<TUninstallObject*>(row.Data);
}

// The date in the user's short date format, without the time.
std::wstring ShortDateText(const TDateTime& date) {
  if (date.Year <= 0) return L"";
  SYSTEMTIME st{};
  st.wYear = WORD(date.Year);
  st.wMonth = WORD(date.Month);
  st.wDay = WORD(date.Day);
  wchar_t text[80];
  const int n = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, 80);
  return n > 0 ? std::wstring(text, size_t(n - 1)) : L"";
}

TProgramRowKeys KeysOf(const TQuorLboxItem& row) {
  const TQuorlboxSubitem* publisher = row.SubItem(0);
  return {row.Caption(), publisher ? std::wstring_view(publisher->Text()) : std::wstring_view(),
          RecordOf(row)};
}

}  // namespace

void TFrmMain::CreateColumns() {
  lstFile->ClearHeader();
  for (const TColumnDef& c : kColumns) {
    auto column = std::make_unique<TQuorLbHeadItem>(GetLangText(L"Uninstall", c.Key, c.Title), c.Width);
    column->Sortable = c.Sortable;
    column->Resizable = c.Resizable;
    column->AutoSize = &c == &kColumns[0];
    lstFile->AddHeadItem(std::move(column));
  }
}

// Busy mode: the enumeration behind the modal busy window, centred on the list.
void TFrmMain::RunWithProgress(const std::wstring& text, int mode, TUninstallObject* record) {
  if (mode == kModeLeftovers) {
    // Held here: a refresh or the engine's next job must not free the record
    // while the flow's dialogs are open.
    if (record) RunLeftoverFlow(text, record->shared_from_this());
    return;
  }
  ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  // The refresh frees the records the rows point to: the rows go first.
  ClearRows();
  for (TQuorDirectButton* b : {BtnNormal, btnmodify, btnforce, btnremove}) b->SetEnabled(false);
  whintwin1->SetNewHint(text);
  whintwin1->PrepareBusy(Handle());
  FHelper->Refresh();
  int left = 0, top = 0;
  const TPngImage& back = whintwin1->Props().ImgForm;
  if (!back.Empty()) {
    POINT p{(lstFile->Width() - back.Width()) / 2, (lstFile->Height() - back.Height()) / 2};
    ::ClientToScreen(lstFile->Handle(), &p);
    left = p.x;
    top = p.y;
  }
  whintwin1->ShowBusy(true, left, true, top);
}

void TFrmMain::ClearRows() {
  for (int i = 0; i < lstFile->ItemCount(); ++i)
    if (TUninstallObject* record = RecordOf(*lstFile->GetItem(i))) record->ListItem = nullptr;
  FCurItem = nullptr;
  lstFile->Clear();
}

void TFrmMain::OnRefreshEnd(TUninstallHelper&) {
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  if (HWND busy = whintwin1 ? whintwin1->BusyHandle() : nullptr)
    ::PostMessageW(busy, WM_CLOSE, 0, TQuorHintForm::kCloseCode);
  FillProgramList();
}

// Pending messages run while rows are added, every few dozen milliseconds
// (a round of them after every row costs Wine milliseconds per row); a close
// asked for meanwhile waits until the list is complete.
void TFrmMain::FillProgramList() {
  FFilling = true;
  FDeferClose = true;
  ClearRows();
  il2->Clear();
  FIconCache.clear();
  if (const TPngImage* fallback = il3->Item(0)) il2->Add(*fallback);
  lstFile->BeginUpdate();
  lstFile->Clear();
  ULONGLONG nextPump = ::GetTickCount64() + kPumpIntervalMs;
  for (int i = 0; i < FHelper->ProgramCount(); ++i) {
    const auto record = FHelper->Programs(i);
    if (!record) continue;
    TQuorLboxItem& row = lstFile->AddItem();
    row.SetCaption(record->DisplayName);
    row.SetImageIndex(RowIcon(*record));
    row.Data = record.get();
    record->ListItem = &row;
    row.AddSubItem(record->Publisher);
    row.AddSubItem(L"-");
    row.AddSubItem(ShortDateText(record->InstallDate));
    row.AddSubItem(record->DisplayVersion);
    if (::GetTickCount64() >= nextPump) {
      if (!TMessageLoop::ProcessPending()) break;
      nextPump = ::GetTickCount64() + kPumpIntervalMs;
    }
  }
  lstFile->EndUpdate();
  FFilling = false;
  ShowSizes();
  ShowTotals();
  FDeferClose = false;
  if (FCloseAfterFill) ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

// The row's icon in il2: from DisplayIcon, else from the uninstaller; the
// default icon (0) when neither gives one. Icons are extracted once per file.
int TFrmMain::RowIcon(const TUninstallObject& record) {
  const std::wstring& source =
      !record.DisplayIcon.empty() ? record.DisplayIcon : record.UninstallString;
  if (source.empty()) return 0;
  const TIconSource icon = SplitIconIndex(IconPathOf(source));
  if (icon.File.empty()) return 0;
  const auto key = std::make_pair(icon.File, icon.Index);
  if (auto it = FIconCache.find(key); it != FIconCache.end()) return it->second;
  int index = 0;
  if (auto image = SmallIconOfFile(icon.File, icon.Index)) index = il2->Add(std::move(*image));
  FIconCache.emplace(key, index);
  return index;
}

std::wstring TFrmMain::SizeText(int64_t size) const {
  if (size == -1) return GetLangText(L"Uninstall", L"Calculating", L"Calculating..");
  if (size <= 0) return L"-";
  return FormatSize(size * 1024);
}

// Every cell first, then one redraw: a present per row would cost the
// window's whole surface each time.
void TFrmMain::ShowSizes() {
  lstFile->BeginUpdate();
  for (int i = 0; i < lstFile->ItemCount(); ++i) {
    TQuorLboxItem* row = lstFile->GetItem(i);
    TUninstallObject* record = row ? RecordOf(*row) : nullptr;
    if (!record || row->SubItemCount() < 2) continue;
    row->SubItem(1)->SetText(SizeText(record->GetSize()));
  }
  lstFile->EndUpdate();
}

// Only the record's own row changes; a record without a row (replaced by a
// refresh, or its row removed) is passed over.
void TFrmMain::SizeReady(TUninstallObject& record) {
  auto* row = static_cast<TQuorLboxItem*>(record.ListItem);
  if (!row || FFilling || RecordOf(*row) != &record || row->SubItemCount() < 2) return;
  const int64_t size = record.GetSize();
  if (size == -1) return;
  row->SubItem(1)->SetText(SizeText(size));
  lstFile->RedrawItem(row);
}

void TFrmMain::ShowTotals() {
  int64_t total = 0;
  for (int i = 0; i < FHelper->ProgramCount(); ++i)
    if (auto record = FHelper->Programs(i)) {
      const int64_t size = record->GetSize();
      if (size > 0) total += size;
    }
  const auto segments =
      TotalsSegments(GetLangText(L"Uninstall", L"TotalStat", L"%d programs of %s size in total"),
                     FHelper->ProgramCount(), FormatSize(total * 1024));
  lblinfoex->BeginUpdate();
  lblinfoex->ClearText();
  for (const TTotalsSegment& s : segments)
    lblinfoex->AddText(s.Text, {s.Color, FFont.Name, FFont.Size + s.SizeDelta, 0});
  lblinfoex->EndUpdate();
}

void TFrmMain::FilterList(const std::wstring& text) {
  lstFile->BeginUpdate();
  lstFile->ScrollToTop();
  for (int i = 0; i < lstFile->ItemCount(); ++i) {
    TQuorLboxItem* row = lstFile->GetItem(i);
    const TQuorlboxSubitem* publisher = row->SubItem(0);
    row->SetVisible(FilterMatches(text, row->Caption(), publisher ? publisher->Text() : L""));
  }
  lstFile->EndUpdate();
}

void TFrmMain::RemoveProgramRow(TUninstallObject* record) {
  if (!record) return;
  lstFile->BeginUpdate();
  for (int i = lstFile->ItemCount() - 1; i >= 0; --i) {
    TQuorLboxItem* row = lstFile->GetItem(i);
    if (RecordOf(*row) != record) continue;
    if (FCurItem == row) FCurItem = nullptr;
    record->ListItem = nullptr;
    lstFile->DeleteItem(row);
    break;
  }
  lstFile->EndUpdate();
}

// Runs before the list changes the column's sort state.
void TFrmMain::lstFileHeadClickEvent(TQuorControlBase&, TQuorLbHeadItem& column, int index) {
  if (!column.Sortable) return;
  const TRowCompare compare = SortCompareFor(index, column.SortState);
  if (!compare || lstFile->ItemCount() < 2) return;
  lstFile->SortItems([compare](const TQuorLboxItem& a, const TQuorLboxItem& b) {
    return compare(KeysOf(a), KeysOf(b));
  });
  lstFile->ScrollToTop();
  lstFile->Invalidate();
}

void TFrmMain::lstFileItemClick(TQuorControlBase&, TQuorLboxItem* item) {
  FCurItem = item;
  UpdateButtons();
}

void TFrmMain::edtserachChange(TQuorControlBase&) { FilterList(edtserach->Text()); }

}  // namespace quor
