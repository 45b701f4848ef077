// quor_test_helper: behaves like the uninstallers the product meets.
//
//   --relaunch            start a copy of itself with the other options, exit at once
//   --children N          start N children that each sleep --sleep ms and write <marker>.N
//   --sleep MS            sleep before finishing
//   --delete-key ROOT\P   delete a registry key (an uninstaller that succeeded)
//   --marker PATH         write PATH when finished
//   --exit CODE           exit with CODE
//   --args-out PATH       write the command line as received to PATH (UTF-8)
//   --print TEXT          write TEXT to standard output and standard error (each copy)
//   --second-instance N   start as a second instance would, against the instance slot named N:
//                         exit 1 when another instance was brought forward, else 0
//   --windows-version     write the Windows version the program is told ("10.0") to standard output
//
// With QUOR_TEST_RAN_LOG set, each start first appends a line to that file:
// its own path, a tab and its command line (UTF-8), so that a test sees which
// copy ran and with what.

#include <windows.h>

#include <string>
#include <vector>

#include "app/RunOnce.h"
#include "base/Handles.h"
#include "base/Text.h"

namespace {

struct Options {
  bool relaunch = false;
  int children = 0;
  DWORD sleepMs = 0;
  std::wstring deleteKey, marker, argsOut, print;
  int exitCode = 0;
};

std::wstring Quote(const std::wstring& s) { return L"\"" + s + L"\""; }

std::wstring SelfPath() {
  wchar_t buf[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
  return buf;
}

void WriteFileText(const std::wstring& path, const std::string& text) {
  quor::UniqueKernelHandle h(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (h) ::WriteFile(h.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void Start(const std::wstring& commandLine) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring cmd = commandLine;
  if (::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
  }
}

void WriteOut(const std::string& text) {
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

void LogStart() {
  wchar_t log[MAX_PATH] = {};
  if (!::GetEnvironmentVariableW(L"QUOR_TEST_RAN_LOG", log, MAX_PATH)) return;
  quor::UniqueKernelHandle h(::CreateFileW(log, FILE_APPEND_DATA,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::string line = quor::ToUtf8(SelfPath() + L"\t" + ::GetCommandLineW()) + "\n";
  DWORD written = 0;
  if (h) ::WriteFile(h.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

int RunAsSecondInstance(const std::wstring& slotName) {
  auto slot = quor::TInstanceSlot::Open(slotName.c_str());
  if (!slot) return 2;
  quor::TSystemInstanceWindows windows;
  return slot->CheckPreviousInstance(nullptr, windows) ? 1 : 0;
}

// GetVersionExW reports what the manifest lets the program see.
int PrintWindowsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL ok = ::GetVersionExW(&info);
#pragma GCC diagnostic pop
  if (!ok) return 1;
  WriteOut(std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion));
  return 0;
}

void DeleteTree(HKEY root, const std::wstring& path) {
  ::RegDeleteTreeW(root, path.c_str());
  ::RegDeleteKeyExW(root, path.c_str(), KEY_WOW64_64KEY, 0);
}

void DeleteKey(const std::wstring& spec) {
  const size_t slash = spec.find(L'\\');
  if (slash == std::wstring::npos) return;
  const std::wstring root = spec.substr(0, slash);
  HKEY h = quor::SameTextAscii(root, L"HKEY_LOCAL_MACHINE") ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  DeleteTree(h, spec.substr(slash + 1));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  LogStart();
  Options o;
  std::wstring forwarded;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    const std::wstring next = i + 1 < argc ? argv[i + 1] : L"";
    if (a == L"--second-instance") return RunAsSecondInstance(next);
    if (a == L"--windows-version") return PrintWindowsVersion();
    if (a == L"--relaunch") {
      o.relaunch = true;
      continue;
    }
    if (a == L"--children") o.children = _wtoi(next.c_str());
    else if (a == L"--sleep") o.sleepMs = static_cast<DWORD>(_wtoi(next.c_str()));
    else if (a == L"--delete-key") o.deleteKey = next;
    else if (a == L"--marker") o.marker = next;
    else if (a == L"--exit") o.exitCode = _wtoi(next.c_str());
    else if (a == L"--args-out") o.argsOut = next;
    else if (a == L"--print") o.print = next;
    else continue;
    forwarded += L" " + a + L" " + Quote(next);
    ++i;
  }
  if (!o.print.empty()) {
    const std::string line = quor::ToUtf8(o.print) + "\r\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()),
                &written, nullptr);
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()),
                &written, nullptr);
  }
  if (!o.argsOut.empty()) WriteFileText(o.argsOut, quor::ToUtf8(::GetCommandLineW()));
  if (o.relaunch) {
    // As common uninstallers do: run a copy elsewhere and leave at once.
    Start(Quote(SelfPath()) + forwarded);
    return 0;
  }
  for (int c = 0; c < o.children; ++c) {
    std::wstring child = Quote(SelfPath()) + L" --sleep " + std::to_wstring(o.sleepMs);
    if (!o.marker.empty()) child += L" --marker " + Quote(o.marker + L"." + std::to_wstring(c));
    Start(child);
  }
  if (o.children == 0) ::Sleep(o.sleepMs);
  if (!o.deleteKey.empty()) DeleteKey(o.deleteKey);
  if (!o.marker.empty()) WriteFileText(o.marker, "done");
  return o.exitCode;
}
