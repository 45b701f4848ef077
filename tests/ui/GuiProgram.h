#pragma once
// The program's executable run as a child process, and its windows found
// from outside, as a script or a screen reader finds them.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/Handles.h"

namespace quor::test {

// The class of the program's top-level windows.
inline constexpr wchar_t kHostWindowClass[] = L"QuorHostWindow";

// QuorUninstaller.exe beside the test executable.
std::wstring ProgramPath();

class TGuiProgram {
 public:
  // Starts the program (or a copy of it at `path`); Started() tells whether it runs.
  TGuiProgram();
  explicit TGuiProgram(const std::wstring& path);
  // A program still running then is ended by force.
  ~TGuiProgram();
  TGuiProgram(const TGuiProgram&) = delete;
  TGuiProgram& operator=(const TGuiProgram&) = delete;

  bool Started() const { return bool(FProcess); }
  bool Running() const;
  // The exit code once the program has ended within the time, else nothing.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs);
  void Kill();

  // The program's main window (visible or not), or null: its top-level
  // window that no other window owns.
  HWND MainWindow() const;
  // The frame that carries the controls, a child of the main window.
  HWND FrameWindow() const;
  // Controls, told apart by their client size at the window's normal size.
  HWND ListWindow() const;
  HWND SearchWindow() const;
  // The totals line, whose window text is the line as shown.
  HWND TotalsWindow() const;
  // The open levels of a popup menu, from left to right.
  std::vector<HWND> MenuLevels() const;
  // Its visible top-level windows other than the main window that the main
  // window owns and that can be activated: the dialogs it shows.
  std::vector<HWND> Dialogs() const;

 private:
  HWND ControlOfSize(int width, int height) const;

  UniqueKernelHandle FProcess;
  DWORD FProcessId = 0;
};

// The text a window answers to WM_GETTEXT; empty when it does not answer in time.
std::wstring WindowText(HWND window);
// Every main window of the program, in any process, shown or not.
std::vector<HWND> AllMainWindows();
RECT ScreenRect(HWND window);

}  // namespace quor::test
