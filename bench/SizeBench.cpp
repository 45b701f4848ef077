// Times program-size computation for 300 records without stated sizes over
// a synthetic tree of 100,200 files: until every size has reached the
// list's sink, with one thread per record (what the product does), and with
// a bounded pool of workers for comparison.
//
//   tools/dev bench

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "base/Handles.h"
#include "inventory/ProgramSize.h"

using namespace quor;

namespace {

constexpr int kRecords = 300;
constexpr int kFoldersPerRecord = 4;
constexpr int kFilesPerFolder = 84;  // 300 * 4 * 84 = 100,800 files

std::wstring TreeRoot() {
  wchar_t buf[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, buf);
  return std::wstring(buf) + L"QuorSizeBenchTree";
}

std::wstring RecordFolder(int r) { return TreeRoot() + L"\\program" + std::to_wstring(r); }

// Kept between runs: making 100,000 files takes longer than measuring them.
void EnsureTree() {
  const std::wstring done = TreeRoot() + L"\\complete";
  if (::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES) return;
  std::printf("creating the tree (once)...\n");
  ::CreateDirectoryW(TreeRoot().c_str(), nullptr);
  for (int r = 0; r < kRecords; ++r) {
    ::CreateDirectoryW(RecordFolder(r).c_str(), nullptr);
    for (int f = 0; f < kFoldersPerRecord; ++f) {
      const std::wstring folder = RecordFolder(r) + L"\\sub" + std::to_wstring(f);
      ::CreateDirectoryW(folder.c_str(), nullptr);
      for (int i = 0; i < kFilesPerFolder; ++i) {
        const std::wstring file = folder + L"\\file" + std::to_wstring(i) + L".dat";
        UniqueKernelHandle h(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           0, nullptr));
        DWORD written = 0;
        char data[700] = {};
        ::WriteFile(h.Get(), data, 100 + (i * 7) % 600, &written, nullptr);
      }
    }
  }
  UniqueKernelHandle marker(
      ::CreateFileW(done.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

std::atomic<int> gReady{0};

void CountReady(const std::shared_ptr<TUninstallObject>&) { ++gReady; }

void FillList(TSoftwareList& list) {
  list.Clear();
  for (int r = 0; r < kRecords; ++r) {
    TUninstallItem item;
    item.DisplayName = L"program " + std::to_wstring(r);
    item.InstallLocation = RecordFolder(r);
    list.Add(-1, item);
  }
}

void WaitUntilAllReady() {
  while (gReady.load() < kRecords) ::Sleep(1);
}

double ThreadPerRecord() {
  TSoftwareList list(CountReady);
  FillList(list);
  gReady = 0;
  const auto t0 = std::chrono::steady_clock::now();
  for (int r = 0; r < kRecords; ++r) list.Items(r)->GetSize();
  WaitUntilAllReady();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double BoundedPool(unsigned workers) {
  TSoftwareList list;
  FillList(list);
  gReady = 0;
  const auto t0 = std::chrono::steady_clock::now();
  std::atomic<int> next{0};
  std::vector<std::thread> pool;
  for (unsigned w = 0; w < workers; ++w) {
    pool.emplace_back([&] {
      for (int r; (r = next++) < kRecords;) {
        auto record = list.Items(r);
        record->Size = CalcSize(*record);
        CountReady(record);
      }
    });
  }
  WaitUntilAllReady();
  for (auto& t : pool) t.join();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int wmain() {
  EnsureTree();
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  ThreadPerRecord();  // warm the file system cache
  std::vector<double> perRecord, pool, pool4;
  for (int i = 0; i < 5; ++i) {
    perRecord.push_back(ThreadPerRecord());
    pool.push_back(BoundedPool(cores));
    pool4.push_back(BoundedPool(cores * 4));
  }
  std::printf("records: %d, files: %d, cores: %u\n", kRecords,
              kRecords * kFoldersPerRecord * kFilesPerFolder, cores);
  std::printf("one thread per record:      %.1f ms (median of 5)\n", Median(perRecord));
  std::printf("pool of %2u workers:          %.1f ms (median of 5)\n", cores, Median(pool));
  std::printf("pool of %2u workers:          %.1f ms (median of 5)\n", cores * 4, Median(pool4));
  return 0;
}
