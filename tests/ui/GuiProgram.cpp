#include "ui/GuiProgram.h"

#include <algorithm>

#include "support/ChildProcess.h"

namespace quor::test {
namespace {

constexpr int kListWidth = 634, kListHeight = 350;
// The search box takes the height of its skin image: told apart by its width.
constexpr int kSearchWidth = 160;
// The totals line's panel under the list.
constexpr int kTotalsWidth = 634, kTotalsHeight = 24;
constexpr UINT kTextTimeoutMs = 5000;

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  ::EnumWindows(
      [](HWND hwnd, LPARAM l) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(l)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> windows;
  ::EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM l) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(l)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

// The program's top-level windows that no other window owns: only the main
// window (dialogs, menus and the busy window have it as their owner).
bool IsUnownedHost(HWND window) {
  return ClassOf(window) == kHostWindowClass && !::GetWindow(window, GW_OWNER);
}

}  // namespace

std::wstring ProgramPath() { return ExeFolder() + L"\\QuorUninstaller.exe"; }

TGuiProgram::TGuiProgram() : TGuiProgram(ProgramPath()) {}

TGuiProgram::TGuiProgram(const std::wstring& path) {
  std::wstring cmd = L"\"" + path + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
    return;
  UniqueKernelHandle thread(pi.hThread);
  FProcess.Reset(pi.hProcess);
  FProcessId = pi.dwProcessId;
}

TGuiProgram::~TGuiProgram() { Kill(); }

bool TGuiProgram::Running() const {
  return FProcess && ::WaitForSingleObject(FProcess.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> TGuiProgram::WaitForExit(DWORD timeoutMs) {
  if (!FProcess || ::WaitForSingleObject(FProcess.Get(), timeoutMs) != WAIT_OBJECT_0) return {};
  DWORD code = 0;
  ::GetExitCodeProcess(FProcess.Get(), &code);
  return code;
}

void TGuiProgram::Kill() {
  if (!Running()) return;
  ::TerminateProcess(FProcess.Get(), 1);
  ::WaitForSingleObject(FProcess.Get(), 30000);
}

HWND TGuiProgram::MainWindow() const {
  for (HWND window : TopLevelWindows())
    if (ProcessOf(window) == FProcessId && IsUnownedHost(window)) return window;
  return nullptr;
}

HWND TGuiProgram::FrameWindow() const {
  const HWND main = MainWindow();
  return main ? ::FindWindowExW(main, nullptr, L"QuorDirectForm", nullptr) : nullptr;
}

HWND TGuiProgram::ControlOfSize(int width, int height) const {
  const HWND main = MainWindow();
  if (!main) return nullptr;
  for (HWND window : Descendants(main)) {
    RECT r{};
    ::GetClientRect(window, &r);
    if (r.right == width && (height < 0 || r.bottom == height)) return window;
  }
  return nullptr;
}

HWND TGuiProgram::ListWindow() const { return ControlOfSize(kListWidth, kListHeight); }

HWND TGuiProgram::SearchWindow() const { return ControlOfSize(kSearchWidth, -1); }

HWND TGuiProgram::TotalsWindow() const { return ControlOfSize(kTotalsWidth, kTotalsHeight); }

std::vector<HWND> TGuiProgram::MenuLevels() const {
  std::vector<HWND> levels;
  for (HWND window : TopLevelWindows()) {
    if (ProcessOf(window) != FProcessId || !::IsWindowVisible(window)) continue;
    if (ClassOf(window) == kHostWindowClass &&
        (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST))
      levels.push_back(window);
  }
  std::sort(levels.begin(), levels.end(),
            [](HWND a, HWND b) { return ScreenRect(a).left < ScreenRect(b).left; });
  return levels;
}

std::vector<HWND> TGuiProgram::Dialogs() const {
  std::vector<HWND> dialogs;
  const HWND main = MainWindow();
  if (!main) return dialogs;
  for (HWND window : TopLevelWindows()) {
    if (window == main || ProcessOf(window) != FProcessId || !::IsWindowVisible(window)) continue;
    const LONG_PTR ex = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (ex & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)) continue;  // menus, hints, the busy window
    if (::GetWindow(window, GW_OWNER) == main) dialogs.push_back(window);
  }
  return dialogs;
}

std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!window || !::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                                        kTextTimeoutMs, &length))
    return L"";
  // The text may grow between the two questions: ask again with more room.
  for (size_t room = size_t(length) + 64;; room *= 2) {
    std::wstring text(room, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, room, reinterpret_cast<LPARAM>(text.data()),
                               SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied))
      return L"";
    if (size_t(copied) + 1 < room) {
      text.resize(size_t(copied));
      return text;
    }
  }
}

std::vector<HWND> AllMainWindows() {
  std::vector<HWND> mains;
  for (HWND window : TopLevelWindows())
    if (IsUnownedHost(window)) mains.push_back(window);
  return mains;
}

RECT ScreenRect(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

}  // namespace quor::test
