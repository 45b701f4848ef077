// The program's entry: one instance per session; a second start brings the
// first forward and ends without a window of its own.

#include <windows.h>

#include <exception>

#include "app/RunOnce.h"
#include "engine/LeftoverRules.h"
#include "inventory/EnvironmentStrings.h"
#include "toolkit/QuorMessageLoop.h"
#include "ui/MainWindow.h"

namespace {

// The folders and registry keys the leftover scan searches, for the
// program's whole run: without them a scan sees only the install folder and
// the registration.
class TScanRules {
 public:
  TScanRules() {
    quor::InitEnvironmentStrings();
    quor::LoadRuleLists();
  }
  ~TScanRules() {
    quor::FreeRuleLists();
    quor::DoneEnvironmentStrings();
  }
  TScanRules(const TScanRules&) = delete;
  TScanRules& operator=(const TScanRules&) = delete;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  quor::OpenInstanceSlot();
  int exitCode = 0;
  try {
    const TScanRules rules;  // outlives the window and its scans
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
