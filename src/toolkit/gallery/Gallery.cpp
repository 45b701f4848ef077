// Opens the toolkit gallery, with the busy window below it, and runs until it is closed;
// with --list, the column list window instead.
#include <windows.h>

#include <string_view>

#include "GalleryListWindow.h"
#include "GalleryWindow.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorWindowHint.h"

namespace {

int RunLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  // --list opens the column list window instead.
  if (commandLine && std::wstring_view(commandLine).find(L"--list") != std::wstring_view::npos) {
    quor::TGalleryListWindow window;
    window.Show(SW_SHOW);
    return RunLoop();
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
  return RunLoop();
}
