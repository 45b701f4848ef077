// Times `quor list` over 2,000 registrations against Wine's own
// `uninstaller --list` over the same registrations, each as a whole process
// started from here in the same prefix, with its output sent to NUL.
//
//   tools/dev bench      (or: tools/wine-run build/debug/bench_list_command.exe [runs])

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "base/Handles.h"
#include "inventory/EnumPrograms.h"

using namespace quor;

namespace {

constexpr int kPrograms = 2000;
const std::wstring kPrefix = L"QuorListBench-";

void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring KeyPathOf(int i) {
  return std::wstring(kUninstallKeyPath) + L"\\" + kPrefix + std::to_wstring(i);
}

// Nine values each, as a typical installer writes them.
void CreateRegistrations() {
  for (int i = 0; i < kPrograms; ++i) {
    UniqueRegKey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, KeyPathOf(i).c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.Put(), nullptr);
    const std::wstring n = std::to_wstring(i);
    SetText(key.Get(), L"DisplayName", L"List Benchmark Program " + n);
    SetText(key.Get(), L"Publisher", L"Bench Publisher");
    SetText(key.Get(), L"DisplayVersion", L"1.0." + n);
    SetText(key.Get(), L"DisplayIcon", L"C:\\Program Files\\ListBench " + n + L"\\app.exe,0");
    SetText(key.Get(), L"InstallLocation", L"C:\\Program Files\\ListBench " + n);
    SetText(key.Get(), L"UninstallString",
            L"\"C:\\Program Files\\ListBench " + n + L"\\un.exe\"");
    SetText(key.Get(), L"HelpLink", L"https://example.invalid/" + n);
    SetText(key.Get(), L"InstallDate", L"20240101");
    DWORD size = 1000 + static_cast<DWORD>(i);
    ::RegSetValueExW(key.Get(), L"EstimatedSize", 0, REG_DWORD, reinterpret_cast<BYTE*>(&size),
                     sizeof size);
  }
}

void DeleteRegistrations() {
  for (int i = 0; i < kPrograms; ++i) {
    ::RegDeleteKeyExW(HKEY_CURRENT_USER, KeyPathOf(i).c_str(), KEY_WOW64_64KEY, 0);
  }
}

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text = path;
  return text.substr(0, text.find_last_of(L'\\') + 1);
}

std::wstring SystemFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetSystemDirectoryW(path, MAX_PATH);
  return std::wstring(path) + L"\\";
}

// Starts the command line with every standard handle on NUL and waits for it;
// false when it could not be started or did not exit with 0.
bool RunQuiet(const std::wstring& commandLine) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  UniqueKernelHandle nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0,
                                       nullptr));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdOutput = si.hStdError = nul.Get();
  PROCESS_INFORMATION pi{};
  std::wstring line = commandLine;
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi)) {
    return false;
  }
  UniqueKernelHandle process(pi.hProcess);
  UniqueKernelHandle thread(pi.hThread);
  ::WaitForSingleObject(process.Get(), INFINITE);
  DWORD code = 1;
  ::GetExitCodeProcess(process.Get(), &code);
  return code == 0;
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
  const std::wstring quor = L"\"" + OwnFolder() + L"quor.exe\" list";
  const std::wstring wine = L"\"" + SystemFolder() + L"uninstaller.exe\" --list";
  CreateRegistrations();
  // One untimed run each, so that neither pays for a first load.
  bool ok = RunQuiet(quor) && RunQuiet(wine);
  // Alternated, so that a change in the machine's load falls on both alike.
  std::vector<double> quorTimes, wineTimes;
  for (int i = 0; i < runs; ++i) {
    quorTimes.push_back(bench::MedianMs(1, [&](int) { ok = RunQuiet(quor) && ok; }));
    wineTimes.push_back(bench::MedianMs(1, [&](int) { ok = RunQuiet(wine) && ok; }));
  }
  const double quorMs = Median(quorTimes);
  const double wineMs = Median(wineTimes);
  DeleteRegistrations();
  if (!ok) {
    std::printf("a command failed to run or exited with an error\n");
    return 1;
  }
  std::printf("registrations added:         %d (median of %d runs each)\n", kPrograms, runs);
  std::printf("quor list:                   %.0f ms\n", quorMs);
  std::printf("uninstaller --list (Wine's): %.0f ms\n", wineMs);
  std::printf("ratio:                       %.2f (target: at most 1.3)\n", quorMs / wineMs);
  return 0;
}
