// Opens the toolkit gallery, with the busy window below it, and runs until it is
// closed; `--tree` opens the tree view's window instead.
#include <windows.h>

#include <cwchar>

#include "GalleryTreeWindow.h"
#include "GalleryWindow.h"
#include "toolkit/QuorMessageLoop.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorWindowHint.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  if (commandLine && std::wcsstr(commandLine, L"--tree")) {
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
