// Times the main window from its process start to a list holding 500
// registrations, against `quor list` over the same registrations, both as
// whole processes started from here in the same prefix. Then, with 5,000
// registrations, how long the window keeps its user waiting once the list is
// full: the longest answer to a sent message over the next seconds.
//
//   tools/dev bench   (or: tools/wine-run build/debug/bench_main_window_start.exe [runs])

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

constexpr int kPrograms = 500;
constexpr int kManyPrograms = 5000;
const std::wstring kPrefix = L"QuorStartBench-";
const wchar_t kRowName[] = L"Start Benchmark Program ";

void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring KeyPathOf(int i) {
  return std::wstring(kUninstallKeyPath) + L"\\" + kPrefix + std::to_wstring(i);
}

void CreateRegistrations(int count) {
  for (int i = 0; i < count; ++i) {
    UniqueRegKey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, KeyPathOf(i).c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.Put(), nullptr);
    const std::wstring n = std::to_wstring(i);
    SetText(key.Get(), L"DisplayName", kRowName + n);
    SetText(key.Get(), L"Publisher", L"Bench Publisher");
    SetText(key.Get(), L"DisplayVersion", L"1.0." + n);
    SetText(key.Get(), L"UninstallString", L"\"C:\\Program Files\\StartBench " + n + L"\\un.exe\"");
    SetText(key.Get(), L"InstallDate", L"20240101");
  }
}

void DeleteRegistrations(int count) {
  for (int i = 0; i < count; ++i)
    ::RegDeleteKeyExW(HKEY_CURRENT_USER, KeyPathOf(i).c_str(), KEY_WOW64_64KEY, 0);
}

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text = path;
  return text.substr(0, text.find_last_of(L'\\') + 1);
}

struct TProcess {
  UniqueKernelHandle Process, Thread;
  DWORD Id = 0;
};

bool Start(const std::wstring& commandLine, TProcess& out, bool quiet) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  UniqueKernelHandle nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0,
                                       nullptr));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (quiet) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul.Get();
  }
  PROCESS_INFORMATION pi{};
  std::wstring line = commandLine;
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, quiet, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi))
    return false;
  out.Process.Reset(pi.hProcess);
  out.Thread.Reset(pi.hThread);
  out.Id = pi.dwProcessId;
  return true;
}

bool WaitExit(const TProcess& p, DWORD ms) {
  if (::WaitForSingleObject(p.Process.Get(), ms) != WAIT_OBJECT_0) return false;
  DWORD code = 1;
  ::GetExitCodeProcess(p.Process.Get(), &code);
  return code == 0;
}

struct TFind {
  DWORD Pid;
  HWND Main = nullptr;
  HWND List = nullptr;
};

BOOL CALLBACK FindList(HWND child, LPARAM data) {
  auto& f = *reinterpret_cast<TFind*>(data);
  RECT r{};
  ::GetClientRect(child, &r);
  if (r.right == 634 && r.bottom == 350) {
    f.List = child;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindMain(HWND top, LPARAM data) {
  auto& f = *reinterpret_cast<TFind*>(data);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(top, &pid);
  if (pid != f.Pid || !::IsWindowVisible(top)) return TRUE;
  ::EnumChildWindows(top, FindList, data);
  if (!f.List) return TRUE;
  f.Main = top;
  return FALSE;
}

// The number of benchmark rows the list shows, read through its window text.
int ShownRows(HWND list) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(list, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length)) return 0;
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(list, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, 5000, &copied);
  int rows = 0;
  for (size_t at = text.find(kRowName); at != std::wstring::npos; at = text.find(kRowName, at + 1))
    ++rows;
  return rows;
}

double Ms(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER freq;
  ::QueryPerformanceFrequency(&freq);
  return double(to.QuadPart - from.QuadPart) * 1000.0 / double(freq.QuadPart);
}

// How long a sent message waits for the window: it is answered only when the
// window reads its queue, as it does for the user's input.
double AnswerMs(HWND window) {
  LARGE_INTEGER a, b;
  ::QueryPerformanceCounter(&a);
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result)) return 120000;
  ::QueryPerformanceCounter(&b);
  return Ms(a, b);
}

// From the process start to a list that holds every benchmark row; the window
// is then closed and the process waited for (outside the time).
double TimeWindowStart(const std::wstring& commandLine, bool& ok) {
  LARGE_INTEGER freq, a, b;
  ::QueryPerformanceFrequency(&freq);
  ::QueryPerformanceCounter(&a);
  TProcess p;
  if (!Start(commandLine, p, false)) {
    ok = false;
    return 0;
  }
  TFind find{p.Id};
  for (int i = 0; i < 4000; ++i) {
    if (!find.List) ::EnumWindows(FindMain, reinterpret_cast<LPARAM>(&find));
    if (find.List && ShownRows(find.List) >= kPrograms) break;
    // Asking much more often than this starves the window's timers under Wine.
    if (::WaitForSingleObject(p.Process.Get(), 25) == WAIT_OBJECT_0) break;
  }
  ::QueryPerformanceCounter(&b);
  if (!find.List || ShownRows(find.List) < kPrograms) {
    std::printf("the main window did not show every registration (%d shown)\n",
                find.List ? ShownRows(find.List) : -1);
    ok = false;
  }
  if (find.Main) ::PostMessageW(find.Main, WM_CLOSE, 0, 0);
  if (!WaitExit(p, 30000)) {
    std::printf("the main window did not exit with 0 after its close\n");
    ::TerminateProcess(p.Process.Get(), 1);
    ok = false;
  }
  return double(b.QuadPart - a.QuadPart) * 1000.0 / double(freq.QuadPart);
}

struct TManyRows {
  double FullListMs = 0;       // process start to every row shown
  double LongestAnswerMs = 0;  // from the window's first show to 5 s after the full list
};

// With many rows, the window is asked without a pause from its first show on;
// the rows are counted (a costly question) only twice a second.
TManyRows TimeManyRows(const std::wstring& commandLine, int rows, bool& ok) {
  TManyRows out;
  LARGE_INTEGER start, now, lastCount, full{};
  ::QueryPerformanceCounter(&start);
  TProcess p;
  if (!Start(commandLine, p, false)) {
    ok = false;
    return out;
  }
  TFind find{p.Id};
  lastCount = start;
  for (;;) {
    if (::WaitForSingleObject(p.Process.Get(), find.List ? 20 : 25) == WAIT_OBJECT_0) break;
    ::QueryPerformanceCounter(&now);
    if (Ms(start, now) > 300000) break;
    if (!find.List) {
      ::EnumWindows(FindMain, reinterpret_cast<LPARAM>(&find));
      continue;
    }
    out.LongestAnswerMs = std::max(out.LongestAnswerMs, AnswerMs(find.Main));
    ::QueryPerformanceCounter(&now);
    if (full.QuadPart) {
      if (Ms(full, now) > 5000) break;
    } else if (Ms(lastCount, now) > 500) {
      lastCount = now;
      if (ShownRows(find.List) >= rows) {
        ::QueryPerformanceCounter(&full);
        out.FullListMs = Ms(start, full);
      }
    }
  }
  if (!full.QuadPart) {
    std::printf("the main window did not show every one of %d registrations\n", rows);
    ok = false;
  }
  if (find.Main) ::PostMessageW(find.Main, WM_CLOSE, 0, 0);
  if (!WaitExit(p, 60000)) {
    std::printf("the main window with %d rows did not exit with 0 after its close\n", rows);
    ::TerminateProcess(p.Process.Get(), 1);
    ok = false;
  }
  return out;
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  const std::wstring list = L"\"" + OwnFolder() + L"quor.exe\" list";
  const std::wstring window = L"\"" + OwnFolder() + L"QuorUninstaller.exe\"";
  CreateRegistrations(kPrograms);
  bool ok = true;
  // One untimed run each, so that neither pays for a first load.
  TProcess warm;
  ok = Start(list, warm, true) && WaitExit(warm, 60000);
  TimeWindowStart(window, ok);
  std::vector<double> listTimes, windowTimes;
  for (int i = 0; i < runs; ++i) {
    listTimes.push_back(bench::MedianMs(1, [&](int) {
      TProcess p;
      ok = Start(list, p, true) && WaitExit(p, 60000) && ok;
    }));
    windowTimes.push_back(TimeWindowStart(window, ok));
  }
  DeleteRegistrations(kPrograms);
  CreateRegistrations(kManyPrograms);
  const TManyRows many = TimeManyRows(window, kManyPrograms, ok);
  DeleteRegistrations(kManyPrograms);
  const double listMs = Median(listTimes), windowMs = Median(windowTimes);
  std::printf("registrations added:            %d (median of %d runs each)\n", kPrograms, runs);
  std::printf("quor list:                      %.0f ms\n", listMs);
  std::printf("main window, start to full list: %.0f ms\n", windowMs);
  std::printf("ratio:                          %.2f (target: at most 1.5)\n", windowMs / listMs);
  std::printf("%d registrations, start to full list: %.0f ms\n", kManyPrograms, many.FullListMs);
  std::printf(
      "the longest the window kept a message waiting, from its show to 5 s after: %.0f ms "
      "(target: under 1000)\n",
      many.LongestAnswerMs);
  if (!ok) {
    std::printf(
        "a program failed to run, to fill its list or to exit: the figures above are not valid\n");
    return 1;
  }
  return 0;
}
