// Looking at an item before deciding: its context menu, opening its
// location in Explorer or the registry editor, and copying its path.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "app/LangText.h"
#include "base/Clipboard.h"
#include "ui/AfterDel.h"
#include "ui/RegistryEditor.h"
#include "ui/WebAddress.h"

namespace quor {
namespace {

enum TRowMenuItem { miOpen, miCopy, miSeparator, miAll, miNone };

std::wstring MenuText(const wchar_t* control, const wchar_t* english) {
  return GetLangText(L"Translation", std::wstring(L"Frmafterdel.") + control + L".caption",
                     english);
}

bool IsRegistryItem(const TLeftOverItem& item) {
  return item.Kind == lkRegKey || item.Kind == lkRegValue;
}

void OpenInRegistryEditor(const TLeftOverItem& item) {
  const TRegistryTarget target = RegistryTargetOf(item);
  OpenRegistryKey(target.KeyText, target.ValueName);
}

}  // namespace

void TFrmAfterDel::BuildRowMenu() {
  pmrow->ClearItems();
  auto add = [&](const wchar_t* name, std::wstring caption, std::function<void()> action) {
    auto item = std::make_unique<TQuorMenuItem>(name, std::move(caption));
    if (action) item->OnClick = [action](TQuorMenuItem&) { action(); };
    pmrow->AddMenuItem(std::move(item));
  };
  add(L"pmopen", MenuText(L"pmopen", L"Open Location"), [this] {
    if (const TLeftOverItem* leftover = LeftoverOf(FMenuRow)) OpenLocation(*leftover);
  });
  add(L"pmcopy", MenuText(L"pmcopy", L"Copy Path"), [this] {
    if (const TLeftOverItem* leftover = LeftoverOf(FMenuRow)) CopyPath(*leftover);
  });
  add(L"N1", L"-", nullptr);
  add(L"pmall", btnall->Caption(), [this] { TickAll(true); });
  add(L"pmnone", btnnone->Caption(), [this] { TickAll(false); });
}

const TLeftOverItem* TFrmAfterDel::LeftoverOf(const TQuorDTVItem* item) const {
  return item && RowOf(*item) ? static_cast<const TLeftOverItem*>(item->Data) : nullptr;
}

// An item row offers to open and copy it; a registry item opens in the
// registry editor, and the item says so.
void TFrmAfterDel::lvlistContextMenu(POINT screen, TQuorDTVItem* item) {
  FMenuRow = item;
  const TLeftOverItem* leftover = LeftoverOf(item);
  TQuorMenuItem& open = *pmrow->Items(miOpen);
  open.Caption = leftover && IsRegistryItem(*leftover)
                     ? MenuText(L"pmregedit", L"Open in Registry Editor")
                     : MenuText(L"pmopen", L"Open Location");
  open.CaptionSize = {-1, -1};
  open.Enabled = pmrow->Items(miCopy)->Enabled = leftover != nullptr;
  pmrow->Items(miAll)->Enabled = pmrow->Items(miNone)->Enabled = !FRows.empty();
  pmrow->Popup(screen.x, screen.y);
}

// Explorer at the item's folder with the item selected; a registry item in
// the registry editor, its value selected.
void TFrmAfterDel::OpenLocation(const TLeftOverItem& leftover) {
  if (IsRegistryItem(leftover)) {
    OpenInRegistryEditor(leftover);
    return;
  }
  std::wstring path = leftover.Path;
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  ::ShellExecuteW(Handle(), L"open", L"explorer.exe", (L"/select,\"" + path + L"\"").c_str(),
                  nullptr, SW_SHOWNORMAL);
}

void TFrmAfterDel::CopyPath(const TLeftOverItem& leftover) {
  WriteClipboardText(Handle(), leftover.Path);
}

void TFrmAfterDel::lvlistItemDbClick(TQuorDTVItem& item) {
  const TLeftOverItem* leftover = LeftoverOf(&item);
  if (!leftover) return;
  switch (leftover->Kind) {
    case lkFolder:
      OpenWebAddress(Handle(), leftover->Path);
      break;
    case lkFile:
      OpenLocation(*leftover);
      break;
    case lkRegKey:
    case lkRegValue:
      OpenInRegistryEditor(*leftover);
      break;
    default:
      break;
  }
}

}  // namespace quor
