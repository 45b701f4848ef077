// Times the removal of one folder of many files with a backup (moved into
// the backup set on the same volume) against without (deleted), and prints
// the medians and their ratio.
//
//   tools/dev bench                        100,000 files, one round
//   tools/wine-run build/debug/bench_backup_removal.exe 5000 [rounds]

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/FileDelete.h"
#include "base/Handles.h"
#include "engine/LeftoverRules.h"
#include "engine/Removal.h"
#include "engine/UninstallHelper.h"
#include "inventory/EnvironmentStrings.h"

using namespace quor;

namespace {

constexpr int kFilesPerFolder = 1000;

std::wstring BenchRoot() {
  wchar_t buf[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, buf);
  return std::wstring(buf) + L"QuorBackupBench";
}

void MakeTree(const std::wstring& folder, int files) {
  ::CreateDirectoryW(folder.c_str(), nullptr);
  char data[512] = {};
  for (int i = 0; i < files; ++i) {
    const std::wstring sub = folder + L"\\part" + std::to_wstring(i / kFilesPerFolder);
    if (i % kFilesPerFolder == 0) ::CreateDirectoryW(sub.c_str(), nullptr);
    UniqueKernelHandle h(::CreateFileW((sub + L"\\file" + std::to_wstring(i) + L".dat").c_str(), GENERIC_WRITE, 0,
                                       nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(h.Get(), data, 64 + i % 448, &written, nullptr);
  }
}

// One removal of a fresh tree; answers its seconds (the tree's making and
// the backup's clean-up are not timed).
double TimeRemoval(bool backup, int files, const std::wstring& root) {
  const std::wstring tree = root + L"\\Program Folder";
  const std::wstring backups = root + L"\\Backups";
  MakeTree(tree, files);
  TUninstallHelper engine;
  engine.Backup.Enabled = backup;
  engine.Backup.Folder = backups;
  TSoftwareList list;
  TUninstallItem record;
  record.DisplayName = L"Bench Program";
  auto program = list.Items(list.Add(-1, record));
  program->AddLeftover({tree + L"\\", lkFolder});
  const auto start = std::chrono::steady_clock::now();
  RemoveItems(engine.Core(), *program, engine.Backup);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (program->LeftoverState(0) != TRemovalState::Removed) {
    std::printf("  the removal failed: %ls\n", program->LeftoverError(0).c_str());
  }
  RemoveFolderTree(backups, nullptr, nullptr);
  return seconds;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int files = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 100000;
  const int rounds = argc > 2 ? std::max(1, static_cast<int>(std::wcstol(argv[2], nullptr, 10))) : 1;
  InitEnvironmentStrings();
  LoadRuleLists();
  const std::wstring root = BenchRoot();
  RemoveFolderTree(root, nullptr, nullptr);
  ::CreateDirectoryW(root.c_str(), nullptr);
  std::printf("removing a folder of %d files, %d rounds each\n", files, rounds);
  std::vector<double> with, without;
  for (int r = 0; r < rounds; ++r) {
    without.push_back(TimeRemoval(false, files, root));
    with.push_back(TimeRemoval(true, files, root));
    std::printf("  round %d: without backup %.3f s, with backup %.3f s\n", r + 1, without.back(), with.back());
  }
  const double a = Median(without), b = Median(with);
  std::printf("median without backup: %.3f s\nmedian with backup:    %.3f s\nratio with/without:    %.3f (target <= 1.2)\n",
              a, b, b / a);
  RemoveFolderTree(root, nullptr, nullptr);
  FreeRuleLists();
  DoneEnvironmentStrings();
  return 0;
}
