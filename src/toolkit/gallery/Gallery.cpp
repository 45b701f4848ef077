// Opens the toolkit gallery, with the busy window below it, and runs until it is closed.
#include <windows.h>

#include "GalleryWindow.h"
#include "toolkit/QuorSkin.h"
#include "toolkit/QuorWindowHint.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
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
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
