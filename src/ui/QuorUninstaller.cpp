// The program's entry: one instance per session; a second start brings the
// first forward and ends without a window of its own.

#include <windows.h>

#include <exception>

#include "app/RunOnce.h"
#include "toolkit/QuorMessageLoop.h"
#include "ui/MainWindow.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  quor::OpenInstanceSlot();
  int exitCode = 0;
  try {
    quor::TFrmMain main;
    if (quor::CheckPreviousInstance(main.Handle())) {
      quor::CloseInstanceSlot();
      return 0;
    }
    main.FormCreate();
    main.FormShow();
    exitCode = quor::TMessageLoop::Run();
  } catch (const std::exception& e) {
    ::MessageBoxA(nullptr, e.what(), "Quor Uninstaller", MB_ICONERROR | MB_OK);
    exitCode = 1;
  }
  quor::CloseInstanceSlot();
  return exitCode;
}
