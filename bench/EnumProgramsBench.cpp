// Times EnumPrograms over 2,000 registrations against a bare pass that only
// enumerates the same keys and reads the same values once each.
//
//   tools/dev bench      (or: tools/wine-run build/debug/bench_enum_programs.exe)

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "inventory/EnumPrograms.h"
#include "inventory/EnvironmentStrings.h"
#include "inventory/Registry.h"

using namespace quor;

namespace {

constexpr int kPrograms = 2000;
const std::wstring kPrefix = L"QuorBench-";

void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void CreateRegistrations() {
  for (int i = 0; i < kPrograms; ++i) {
    const std::wstring path = std::wstring(kUninstallKeyPath) + L"\\" + kPrefix + std::to_wstring(i);
    UniqueRegKey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.Put(), nullptr);
    const std::wstring n = std::to_wstring(i);
    SetText(key.Get(), L"DisplayName", L"Benchmark Program " + n);
    SetText(key.Get(), L"Publisher", L"Bench Publisher");
    SetText(key.Get(), L"DisplayVersion", L"1.0." + n);
    SetText(key.Get(), L"DisplayIcon", L"C:\\Program Files\\Bench " + n + L"\\app.exe,0");
    SetText(key.Get(), L"InstallLocation", L"C:\\Program Files\\Bench " + n);
    SetText(key.Get(), L"UninstallString", L"\"C:\\Program Files\\Bench " + n + L"\\un.exe\"");
    SetText(key.Get(), L"HelpLink", L"https://example.invalid/" + n);
    SetText(key.Get(), L"InstallDate", L"20240101");
    DWORD size = 1000 + static_cast<DWORD>(i);
    ::RegSetValueExW(key.Get(), L"EstimatedSize", 0, REG_DWORD, reinterpret_cast<BYTE*>(&size),
                     sizeof size);
  }
}

void DeleteRegistrations() {
  for (int i = 0; i < kPrograms; ++i) {
    const std::wstring path = std::wstring(kUninstallKeyPath) + L"\\" + kPrefix + std::to_wstring(i);
    ::RegDeleteKeyExW(HKEY_CURRENT_USER, path.c_str(), KEY_WOW64_64KEY, 0);
  }
}

// Enumerates the same four locations and reads every value that EnumPrograms
// reads, once each, with no interpretation.
size_t BarePass() {
  static const wchar_t* values[] = {L"",          L"SystemComponent", L"NoRemove",
                                    L"DisplayName", L"Publisher",     L"DisplayVersion",
                                    L"DisplayIcon", L"InstallLocation", L"UninstallString",
                                    L"HelpLink",  L"ModifyPath",      L"EstimatedSize",
                                    L"ProductGuid", L"InstallDate"};
  size_t bytes = 0;
  const std::pair<HKEY, const wchar_t*> locations[] = {
      {HKEY_CURRENT_USER, kUninstallKeyPath},
      {HKEY_LOCAL_MACHINE, kUninstallKeyPath},
      {HKEY_CURRENT_USER, kUninstallKeyPathWow},
      {HKEY_LOCAL_MACHINE, kUninstallKeyPathWow}};
  for (const auto& [root, base] : locations) {
    std::vector<std::wstring> names;
    if (!GetSubKeyNames(root, base, names)) continue;
    for (const auto& name : names) {
      UniqueRegKey key;
      if (::RegOpenKeyExW(root, (std::wstring(base) + L"\\" + name).c_str(), 0,
                          KEY_READ | KEY_WOW64_64KEY, key.Put()) != ERROR_SUCCESS) {
        continue;
      }
      for (const wchar_t* v : values) {
        BYTE buf[1024];
        DWORD size = sizeof buf;
        DWORD type = 0;
        if (::RegQueryValueExW(key.Get(), v, nullptr, &type, buf, &size) == ERROR_SUCCESS) {
          bytes += size;
        }
      }
    }
  }
  return bytes;
}

template <typename F>
double BestOf(int runs, F f) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  return best;
}

}  // namespace

int wmain() {
  InitEnvironmentStrings();
  CreateRegistrations();
  TSoftwareList list;
  const double enumMs = BestOf(5, [&] { EnumPrograms(list); });
  const double bareMs = BestOf(5, [] { BarePass(); });
  std::printf("registrations listed: %d\n", list.Count());
  std::printf("EnumPrograms: %.1f ms\n", enumMs);
  std::printf("bare pass:    %.1f ms\n", bareMs);
  std::printf("ratio:        %.2f (target: at most 1.3)\n", enumMs / bareMs);
  DeleteRegistrations();
  DoneEnvironmentStrings();
  return 0;
}
