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

constexpr ULONGLONG kFillSliceMs = 40;
constexpr UINT_PTR kTimerSizes = 2;
constexpr UINT_PTR kTimerFill = 3;
constexpr UINT kSizesDelayMs = 150;

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
    auto column =
        std::make_unique<TQuorLbHeadItem>(GetLangText(L"Uninstall", c.Key, c.Title), c.Width);
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

// Also ends a fill still under way: its records are about to go.
void TFrmMain::ClearRows() {
  KillTimer(kTimerFill);
  FFilling = false;
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

// Rows are added in slices of a few dozen milliseconds, each shown when it is
// complete; the next slice waits for a timer, which comes only when the queue
// holds nothing else, so the user's input always goes first. Commands wait
// until the list is complete (EngineIdle), a close does not.
void TFrmMain::FillProgramList() {
  ClearRows();
  FFilling = true;
  FFillNext = 0;
  il2->Clear();
  FIconCache.clear();
  if (const TPngImage* fallback = il3->Item(0)) il2->Add(*fallback);
  lstFile->Clear();
  FillNextRows();
}

void TFrmMain::FillNextRows() {
  KillTimer(kTimerFill);
  if (!FFilling) return;
  const ULONGLONG end = ::GetTickCount64() + kFillSliceMs;
  lstFile->BeginUpdate();
  for (; FFillNext < FHelper->ProgramCount() && ::GetTickCount64() < end; ++FFillNext)
    if (const auto record = FHelper->Programs(FFillNext)) AddProgramRow(*record);
  lstFile->EndUpdate();
  if (FFillNext < FHelper->ProgramCount()) {
    SetTimer(kTimerFill, 1, [this] { FillNextRows(); });
    return;
  }
  FFilling = false;
  ShowSizes();
  ShowTotals();
  UpdateButtons();
}

void TFrmMain::AddProgramRow(TUninstallObject& record) {
  TQuorLboxItem& row = lstFile->AddItem();
  row.SetCaption(record.DisplayName);
  row.SetImageIndex(RowIcon(record));
  row.Data = &record;
  record.ListItem = &row;
  row.AddSubItem(record.Publisher);
  row.AddSubItem(L"-");
  row.AddSubItem(ShortDateText(record.InstallDate));
  row.AddSubItem(record.DisplayVersion);
  // The user may have typed a search while earlier slices were shown.
  if (!FilterMatches(edtserach->Text(), record.DisplayName, record.Publisher))
    row.SetVisible(false);
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

// Sizes come in one message each, thousands of them on a full machine: the
// cells are written together a moment after the first, with one redraw for
// all, so that the window keeps answering its user meanwhile.
void TFrmMain::SizeReady(TUninstallObject&) {
  if (FSizesPending) return;
  FSizesPending = true;
  SetTimer(kTimerSizes, kSizesDelayMs, [this] { ShowReadySizes(); });
}

// Only cells whose record has a size change; one still being measured keeps
// its text. Rows rebuilt meanwhile have their sizes written by the fill.
void TFrmMain::ShowReadySizes() {
  KillTimer(kTimerSizes);
  FSizesPending = false;
  if (FFilling) return;
  lstFile->BeginUpdate();
  for (int i = 0; i < lstFile->ItemCount(); ++i) {
    TQuorLboxItem* row = lstFile->GetItem(i);
    TUninstallObject* record = row ? RecordOf(*row) : nullptr;
    if (!record || row->SubItemCount() < 2) continue;
    const int64_t size = record->GetSize();
    if (size != -1) row->SubItem(1)->SetText(SizeText(size));
  }
  lstFile->EndUpdate();
  ShowTotals();
}

// The rows the list holds now (a program uninstalled or deleted has none);
// while the search hides some, how many of them are shown.
void TFrmMain::ShowTotals() {
  int64_t total = 0;
  int32_t shown = 0;
  const int32_t rows = lstFile->ItemCount();
  for (int32_t i = 0; i < rows; ++i) {
    const TQuorLboxItem* row = lstFile->GetItem(i);
    if (!row->Visible()) continue;
    ++shown;
    if (TUninstallObject* record = RecordOf(*row)) {
      const int64_t size = record->GetSize();
      if (size > 0) total += size;
    }
  }
  const std::wstring sizeText = FormatSize(total * 1024);
  const auto segments =
      shown < rows ? ShownSegments(GetLangText(L"Uninstall", L"ShownStat",
                                               L"%d of %d programs shown, %s size in total"),
                                   shown, rows, sizeText)
                   : TotalsSegments(GetLangText(L"Uninstall", L"TotalStat",
                                                L"%d programs of %s size in total"),
                                    rows, sizeText);
  lblinfoex->BeginUpdate();
  lblinfoex->ClearText();
  std::wstring line;
  for (const TTotalsSegment& s : segments) {
    lblinfoex->AddText(s.Text, {s.Color, FFont.Name, FFont.Size + s.SizeDelta, 0});
    line += s.Text;
  }
  lblinfoex->EndUpdate();
  // The line is drawn, not a window's text: its panel's name tells it to a screen reader.
  if (HWND panel = QuorDirectPanel1->WindowHandle()) ::SetWindowTextW(panel, line.c_str());
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
  if (FFilling) return;  // the fill ends with both
  ShowTotals();
  UpdateButtons();
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
  ShowTotals();
  UpdateButtons();
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
