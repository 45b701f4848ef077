// Times the leftover scan on a lived-in machine (100,800 files under a
// folder root, 50,000 keys under HKCU\Software) against a bare walk of the
// same trees, and the listing of a 100,800-file install folder.
//
//   tools/dev bench
// The tree and the keys are made once and kept in the prefix.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "engine/LeftoverRules.h"
#include "engine/LeftoverScan.h"
#include "engine/UninstallHelper.h"
#include "inventory/EnvironmentStrings.h"
#include "inventory/Registry.h"

using namespace quor;

namespace {

constexpr int kFolders = 1200;
constexpr int kFilesPerFolder = 84;  // 100,800 files
constexpr int kKeyGroups = 100;
constexpr int kKeysPerGroup = 499;  // 100 + 100 * 499 = 50,000 keys
const std::wstring kKeyRoot = L"Software\\QuorBenchLivedIn";

std::wstring TreeRoot() { return ExpandEnvironment(L"%LOCAL_APPDATA%") + L"\\QuorBenchLivedIn"; }

void MakeTree() {
  const std::wstring done = TreeRoot() + L"\\complete";
  if (::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES) return;
  std::printf("creating the file tree (once)...\n");
  ::CreateDirectoryW(TreeRoot().c_str(), nullptr);
  for (int f = 0; f < kFolders; ++f) {
    const std::wstring group = TreeRoot() + L"\\vendor" + std::to_wstring(f / 40);
    ::CreateDirectoryW(group.c_str(), nullptr);
    const std::wstring folder = group + L"\\product" + std::to_wstring(f);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < kFilesPerFolder; ++i) {
      UniqueKernelHandle h(::CreateFileW((folder + L"\\f" + std::to_wstring(i) + L".dat").c_str(),
                                         GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
  }
  UniqueKernelHandle marker(::CreateFileW(done.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Other programs' registrations, each installed in one folder of the tree:
// the scan's guard reads and resolves every one of them.
const std::wstring kRegPrefix = L"QuorBenchOther";
std::wstring OtherRegistration(int f) {
  return std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kRegPrefix +
         std::to_wstring(f);
}

void MakeOtherRegistrations() {
  for (int f = 0; f < kFolders; ++f) {
    const std::wstring folder =
        TreeRoot() + L"\\vendor" + std::to_wstring(f / 40) + L"\\product" + std::to_wstring(f);
    UniqueRegKey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, OtherRegistration(f).c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
    SetText(key.Get(), L"DisplayName", L"Other " + std::to_wstring(f));
    SetText(key.Get(), L"InstallLocation", folder);
    SetText(key.Get(), L"UninstallString", L"\"" + folder + L"\\unins000.exe\" /S");
  }
}

void DeleteOtherRegistrations() {
  for (int f = 0; f < kFolders; ++f) ::RegDeleteKeyW(HKEY_CURRENT_USER, OtherRegistration(f).c_str());
}

void MakeKeys() {
  if (KeyExists(HKEY_CURRENT_USER, kKeyRoot + L"\\complete")) return;
  std::printf("creating the registry keys (once)...\n");
  for (int g = 0; g < kKeyGroups; ++g) {
    const std::wstring group = kKeyRoot + L"\\group" + std::to_wstring(g);
    for (int k = 0; k < kKeysPerGroup; ++k) {
      UniqueRegKey key;
      ::RegCreateKeyExW(HKEY_CURRENT_USER, (group + L"\\key" + std::to_wstring(k)).c_str(), 0,
                        nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.Put(), nullptr);
      SetText(key.Get(), L"Path", L"C:\\Program Files\\Vendor " + std::to_wstring(g) + L"\\app.exe");
      SetText(key.Get(), L"", L"Setting " + std::to_wstring(k));
    }
  }
  UniqueRegKey marker;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, (kKeyRoot + L"\\complete").c_str(), 0, nullptr, 0,
                    KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, marker.Put(), nullptr);
}

size_t BareFolderWalk(const std::wstring& folder) {
  size_t entries = 0;
  WIN32_FIND_DATAW data{};
  UniqueFindHandle find(::FindFirstFileExW((IncludeBackslash(folder) + L"*.*").c_str(), FindExInfoBasic,
                                           &data, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return 0;
  std::vector<std::wstring> subfolders;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    ++entries;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      subfolders.push_back(IncludeBackslash(folder) + name);
    }
  } while (::FindNextFileW(find.Get(), &data));
  find.Reset();
  for (const auto& sub : subfolders) entries += BareFolderWalk(sub);
  return entries;
}

size_t BareKeyWalk(HKEY key, int depth) {
  size_t values = 0;
  DWORD type = 0;
  BYTE buf[4096];
  wchar_t name[512];
  for (DWORD i = 0;; ++i) {
    DWORD nameLen = 512, size = sizeof buf;
    if (::RegEnumValueW(key, i, name, &nameLen, nullptr, &type, buf, &size) != ERROR_SUCCESS) break;
    ++values;
  }
  if (depth >= 3) return values;
  std::vector<std::wstring> names;
  GetSubKeyNamesOf(key, names);
  for (const auto& n : names) {
    UniqueRegKey sub;
    if (::RegOpenKeyExW(key, n.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, sub.Put()) == ERROR_SUCCESS) {
      values += BareKeyWalk(sub.Get(), depth + 1);
    }
  }
  return values;
}

void BareWalk() {
  for (const auto& root : FolderRoots) BareFolderWalk(root);
  for (const auto& rule : RegistryRules) {
    const std::wstring keyPart = rule.substr(0, rule.find(L'='));
    const size_t slash = keyPart.find(L'\\');
    UniqueRegKey key;
    if (::RegOpenKeyExW(RootKeyByName(keyPart.substr(0, slash)),
                        slash == std::wstring::npos ? L"" : keyPart.substr(slash + 1).c_str(), 0,
                        KEY_READ | KEY_WOW64_64KEY, key.Put()) == ERROR_SUCCESS) {
      BareKeyWalk(key.Get(), 0);
    }
  }
}

template <typename F>
double Median(int runs, F f) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int wmain() {
  InitEnvironmentStrings();
  LoadRuleLists();
  MakeTree();
  MakeKeys();
  TUninstallHelper engine;
  TSoftwareList list;
  TUninstallItem item;
  item.DisplayName = L"Nothing Installed Here";
  item.InstallLocation = L"C:\\Program Files\\Nothing Installed Here";
  item.FolderName = L"Nothing Installed Here";
  item.ProductGuid = L"{00000000-1111-2222-3333-444444444444}";
  auto program = list.Items(list.Add(-1, item));

  BareWalk();  // warm the caches
  const double scanMs = Median(3, [&] { engine.Uninstall(program, true); });
  const int found = program->LeftoverCount();
  const double bareMs = Median(3, [] { BareWalk(); });
  const double listMs = Median(3, [&] {
    TLeftoverScan scan(engine.Core(), *program);
    program->ClearLeftovers();
    scan.AddFolderTree(TreeRoot(), TMatch{TMatchedBy::InstallFolder}, TMatchedBy::InstallFolder);
  });
  std::printf("scan:                       %.0f ms (%d items)\n", scanMs, found);
  std::printf("bare walk:                  %.0f ms\n", bareMs);
  std::printf("ratio:                      %.2f (target: at most 1.3)\n", scanMs / bareMs);
  std::printf("list a %d-file folder: %.0f ms (%d items)\n", kFolders * kFilesPerFolder, listMs,
              program->LeftoverCount());

  MakeOtherRegistrations();
  const double guardMs = Median(3, [&] { TProtectedFolders::ForProgram(program.get()); });
  const double scanWithOthersMs = Median(3, [&] { engine.Uninstall(program, true); });
  DeleteOtherRegistrations();
  std::printf("guard with %d other registrations: %.0f ms\n", kFolders, guardMs);
  std::printf("scan with them:             %.0f ms (ratio %.2f)\n", scanWithOthersMs,
              scanWithOthersMs / bareMs);
  FreeRuleLists();
  DoneEnvironmentStrings();
  return 0;
}
