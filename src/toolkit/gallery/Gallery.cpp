// Opens the toolkit gallery, with the busy window below it, and runs until it is closed.
// With --menu or --message it opens the menu gallery instead, with the menu (two submenus
// open) or the message box showing, as in the screenshots; --tree and --list open the tree
// view's and the column list's windows.
#include <windows.h>

#include <string>

#include "GalleryListWindow.h"
#include "GalleryTreeWindow.h"
#include "GalleryWindow.h"
#include "MenuGallery.h"
#include "toolkit/QuorMessageLoop.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorWindowHint.h"

namespace {

// Hovers the item of an open level, as the mouse would.
void Hover(quor::TQuorPopupMenu& menu, int level, const wchar_t* name) {
  quor::TQuorMenuForm* form = menu.LevelForm(level);
  if (!form) return;
  for (const quor::TQuorMenuItem* item : menu.Model().Level(level).Shown)
    if (item->Name == name) {
      const RECT& r = item->ItemRect;
      ::SendMessageW(form->Handle(), WM_MOUSEMOVE, 0,
                     MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
      return;
    }
}

int RunMenuGallery(bool message) {
  quor::TMenuGalleryWindow window;
  window.Show(SW_SHOW);
  window.SetTimer(1, 300, [&window, message] {
    window.KillTimer(1);
    quor::TQuorControlBase& button =
        *window.Form().FindChild(message ? L"btnMessage" : L"btnMenu");
    if (message) {
      window.BtnMessageClick(button);
      return;
    }
    window.BtnMenuClick(button);
    Hover(window.Menu(), 0, L"pmView");
    Hover(window.Menu(), 1, L"pmSort");
    Hover(window.Menu(), 2, L"pmSortBy");
  });
  return quor::TMessageLoop::Run();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  const std::wstring args = commandLine ? commandLine : L"";
  if (args.find(L"--menu") != std::wstring::npos) return RunMenuGallery(false);
  if (args.find(L"--message") != std::wstring::npos) return RunMenuGallery(true);
  if (args.find(L"--list") != std::wstring::npos) {
    quor::TGalleryListWindow list;
    list.Show(SW_SHOW);
    return quor::TMessageLoop::Run();
  }
  if (args.find(L"--tree") != std::wstring::npos) {
    quor::TGalleryTreeWindow tree;
    tree.Show(SW_SHOW);
    return quor::TMessageLoop::Run();
  }
  quor::TGalleryWindow window;
  window.Show(SW_SHOW);
  quor::TQuorWindowHint::TProps busyProps;
  busyProps.ImgForm = quor::SkinImage(L"busy_back");
  busyProps.ImgAni = quor::SkinImage(L"busy_ani");
  busyProps.NewHint = L"Searching for leftovers...";
  quor::TQuorWindowHint busy(busyProps);
  busy.PrepareBusy(window.Handle());
  const RECT r = window.WindowRect();
  busy.ShowBusy(true, r.left + 8, false, r.bottom + 12);
  return quor::TMessageLoop::Run();
}
