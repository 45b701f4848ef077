#include "GalleryListWindow.h"

#include "GalleryWindow.h"
#include "toolkit/QuorSkin.h"

namespace quor {
namespace {

constexpr TColor kInk = 0x453A33;
constexpr TColor kMuted = 0xA0938A;
constexpr TColor kAccentDark = 0xB8551F;
constexpr TColor kLine = 0xE1DAD5;
constexpr int kWidth = 720, kHeight = 500;

TFontSpec Font(int size, TColor color, uint8_t style = 0) {
  return {L"Tahoma", DEFAULT_CHARSET, size, style, color};
}

const wchar_t* const kPublishers[] = {L"Northwind Software", L"Contoso Ltd.", L"Fabrikam",
                                      L"Tailspin Toys",      L"Litware Inc.", L"Adventure Works"};
const wchar_t* const kWords[] = {L"Photo",  L"Studio",   L"Backup",   L"Player",
                                 L"Notes",  L"Mail",     L"Archiver", L"Sync",
                                 L"Viewer", L"Designer", L"Runtime",  L"Tools"};

}  // namespace



TGalleryListWindow::TGalleryListWindow(bool mainForm, int rows)
    : THostWindow({.Caption = L"Toolkit gallery: list",
                   .Left = 80,
                   .Top = 60,
                   .Width = kWidth,
                   .Height = kHeight,
                   .MainForm = mainForm}) {
  FItemIcons =
      std::make_unique<TQuorImageList>(TQuorImageList::TProps{.Image = SkinImage(L"item_icons")});
  FForm = std::make_unique<TQuorDirectForm>(
      *this, SkinnedFrameProps(L"Quor toolkit gallery: column list"));
  DefineControls();
  Fill(rows);
  FForm->Load();
}

TGalleryListWindow::~TGalleryListWindow() { FForm.reset(); }

void TGalleryListWindow::DefineControls() {
  TQuorDirectForm& f = *FForm;
  TQuorDirectListBox::TProps list = SkinnedListProps();
  list.Control.Name = L"lstPrograms";
  list.Control.Bounds = {24, 50, kWidth - 48, kHeight - 50 - 64};
  list.ShowCheckBox = true;
  list.MultiSelect = true;
  list.SupportRightSelect = true;
  list.Imagelist = FItemIcons.get();
  FList = &f.Add<TQuorDirectListBox>(list);
  FList->OnHeadClickEvent = [this](TQuorControlBase& s, TQuorLbHeadItem& c, int i) {
    lstProgramsHeadClickEvent(s, c, i);
  };
  FList->OnItemClick = [this](TQuorControlBase& s, TQuorLboxItem* item) {
    lstProgramsItemClick(s, item);
  };
  FList->OnCurrentChange = FList->OnItemClick;
  FList->OnContextMenu = [this](TQuorControlBase& s, POINT p, TQuorLboxItem* item) {
    lstProgramsContextMenu(s, p, item);
  };

  TQuorDirectLabel::TProps status;
  status.Control.Name = L"lblStatus";
  status.Control.Bounds = {24, kHeight - 8 - 44, kWidth - 48, 24};
  status.Font = Font(9, kMuted);
  status.Caption = L"Click a header to sort; right-click a row for its menu.";
  FStatus = &f.Add<TQuorDirectLabel>(status);
}

// Programs with a name, publisher, size, date and version; every seventh is checked, the fourth
// selected.
void TGalleryListWindow::Fill(int rows) {
  TQuorDirectListBox& l = *FList;
  l.BeginUpdate();
  const struct {
    const wchar_t* caption;
    int width;
  } columns[] = {
      {L"Name", 230}, {L"Publisher", 160}, {L"Size", 80}, {L"Installed", 100}, {L"Version", 110}};
  for (const auto& c : columns) {
    auto& column = l.AddHeadItem(std::make_unique<TQuorLbHeadItem>(c.caption, c.width));
    column.Sortable = true;
  }
  l.GetHeadItem(0)->SortState = 1;
  for (int i = 0; i < rows; ++i) {
    TQuorLboxItem& row = l.AddItem();
    row.SetCaption(std::wstring(kWords[i % 12]) + L" " + kWords[(i / 12 + 5) % 12] + L" " +
                   std::to_wstring(2000 + i % 25) +
                   (i % 5 == 2 ? L" Professional Edition with Extras" : L""));
    row.SetImageIndex((i / 12) % 3);
    row.Checked = i % 7 == 0;
    row.AddSubItem(kPublishers[(i / 12 + i / 3) % 6]);
    row.AddSubItem(std::to_wstring((i * 7919) % 900 + 1) + L" MB");
    row.AddSubItem(L"2024-" + std::wstring(i % 12 < 9 ? L"0" : L"") + std::to_wstring(i % 12 + 1) +
                   L"-" + std::to_wstring(10 + i % 18));
    row.AddSubItem(std::to_wstring(1 + i % 9) + L"." + std::to_wstring(i % 20) + L"." +
                   std::to_wstring(1000 + i * 3));
  }
  l.SortItems([](const TQuorLboxItem& a, const TQuorLboxItem& b) {
    return a.Caption().compare(b.Caption());
  });
  if (TQuorLboxItem* shown = l.GetItem(3)) shown->Selected = true;
  l.EndUpdate();
}

// Sorts by the clicked column; the header shows the new direction after this handler.
void TGalleryListWindow::lstProgramsHeadClickEvent(TQuorControlBase&, TQuorLbHeadItem& column,
                                                   int index) {
  const bool descending = column.SortState == 1;
  FList->SortItems([index, descending](const TQuorLboxItem& a, const TQuorLboxItem& b) {
    auto text = [index](const TQuorLboxItem& r) -> const std::wstring& {
      const TQuorlboxSubitem* sub = index > 0 ? r.SubItem(index - 1) : nullptr;
      return sub ? sub->Text() : r.Caption();
    };
    const int order = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text(a).c_str(), -1,
                                       text(b).c_str(), -1) -
                      CSTR_EQUAL;
    return descending ? -order : order;
  });
  FStatus->SetCaption(L"Sorted by " + column.Caption() +
                      (descending ? L", descending" : L", ascending"));
}

void TGalleryListWindow::lstProgramsItemClick(TQuorControlBase&, TQuorLboxItem* item) {
  FStatus->SetCaption(item ? L"Selected: " + item->Caption() : L"Nothing selected");
}

void TGalleryListWindow::lstProgramsContextMenu(TQuorControlBase&, POINT screen,
                                                TQuorLboxItem* item) {
  FStatus->SetCaption(L"Context menu at " + std::to_wstring(screen.x) + L"," +
                      std::to_wstring(screen.y) + L" for " +
                      (item ? item->Caption() : std::wstring(L"no row")));
}

}  // namespace quor
