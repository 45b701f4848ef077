#include "inventory/ProgramSize.h"

#include <process.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <cstdio>
#include <vector>

#include "base/FindFile.h"
#include "base/Handles.h"
#include "base/LongPath.h"
#include "inventory/EnumPrograms.h"
#include "inventory/Registry.h"

namespace quor {

struct TSizeWorkers::TShared {
  std::mutex SinkLock;  // held while the sink runs, and by Abort
  std::atomic<bool> Aborted{false};
  TSizeReadySink Sink;
  // Records waiting for a worker, and the workers running; under QueueLock.
  std::mutex QueueLock;
  std::deque<std::shared_ptr<TUninstallObject>> Queue;
  int Running = 0;

  // The next record to measure, or null once the queue is empty or the
  // computations were aborted; then the calling worker counts itself out.
  std::shared_ptr<TUninstallObject> Next() {
    std::lock_guard lock(QueueLock);
    if (Aborted.load()) {
      for (auto& record : Queue) record->SizeComputing = false;
      Queue.clear();
    }
    if (Queue.empty()) {
      --Running;
      return nullptr;
    }
    auto record = std::move(Queue.front());
    Queue.pop_front();
    return record;
  }

  void Deliver(const std::shared_ptr<TUninstallObject>& record) {
    std::lock_guard lock(SinkLock);
    if (Aborted.load() || record->Detached.load() || !Sink) return;
    Sink(record);
  }
};

namespace {

// The body of one computation: it keeps its record and the list's shared
// state alive until it has finished, and its thread frees it.
class TGetSizeThread {
 public:
  TGetSizeThread(std::shared_ptr<TUninstallObject> record,
                 std::shared_ptr<TSizeWorkers::TShared> shared)
      : FRecord(std::move(record)), FShared(std::move(shared)) {}

  void Execute() {
    TUninstallObject& record = *FRecord;
    const TAbortCheck aborted = [this] {
      return FShared->Aborted.load() || FRecord->Detached.load();
    };
    if (record.Size.load() <= 0) {
      const int64_t size = CalcSize(record, aborted);
      if (aborted()) {
        // A walk cut short has counted part of the folder: keep none of it.
        record.SizeComputing = false;
        return;
      }
      record.Size = size;
    }
    // Done before computing cleared: a reader that sees the computation over
    // also sees it finished.
    record.SizeDone = true;
    record.SizeComputing = false;
    FShared->Deliver(FRecord);
  }

 private:
  std::shared_ptr<TUninstallObject> FRecord;
  std::shared_ptr<TSizeWorkers::TShared> FShared;
};

void Measure(std::shared_ptr<TUninstallObject> record,
             const std::shared_ptr<TSizeWorkers::TShared>& shared) {
  TGetSizeThread body(std::move(record), shared);
  try {
    body.Execute();
  } catch (...) {
    // A failed measurement leaves the size undetermined; nothing to report.
  }
}

// A worker measures queued records until none is left.
unsigned __stdcall SizeThreadProc(void* param) {
  std::unique_ptr<std::shared_ptr<TSizeWorkers::TShared>> shared(
      static_cast<std::shared_ptr<TSizeWorkers::TShared>*>(param));
  while (auto record = (*shared)->Next()) Measure(std::move(record), *shared);
  return 0;
}

std::wstring LocaleInfo(LCTYPE type, const wchar_t* fallback) {
  wchar_t buf[16] = {};
  return ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 16) > 0 ? buf : fallback;
}

// Grouping "3;0" means groups of three; "3;2;0" (Indian) is given as 32.
UINT Grouping(const std::wstring& text) {
  UINT value = 0;
  for (wchar_t c : text) {
    if (c >= L'0' && c <= L'9') value = value * 10 + (c - L'0');
  }
  return (value % 10 == 0) ? value / 10 : value;
}

std::wstring FormatNumber(double value, int decimals) {
  wchar_t digits[64];
  std::swprintf(digits, 64, L"%.*f", decimals, value);
  const std::wstring decimal = LocaleInfo(LOCALE_SDECIMAL, L".");
  const std::wstring thousand = LocaleInfo(LOCALE_STHOUSAND, L",");
  NUMBERFMTW fmt{};
  fmt.NumDigits = static_cast<UINT>(decimals);
  fmt.LeadingZero = 1;
  fmt.Grouping = Grouping(LocaleInfo(LOCALE_SGROUPING, L"3;0"));
  fmt.lpDecimalSep = const_cast<wchar_t*>(decimal.c_str());
  fmt.lpThousandSep = const_cast<wchar_t*>(thousand.c_str());
  fmt.NegativeOrder = 1;
  wchar_t out[96] = {};
  if (::GetNumberFormatW(LOCALE_USER_DEFAULT, 0, digits, &fmt, out, 96) == 0) return digits;
  return out;
}

}  // namespace

int64_t TUninstallObject::GetSize() {
  const int64_t size = Size.load();
  if (size > 0) return size;
  if (SizeComputing.load()) return -1;
  if (SizeDone.load()) return Size.load();
  if (Detached.load()) return -1;  // dropped from its list: nobody waits for its size
  std::shared_ptr<TSizeWorkers> workers = FSizeWorkers.lock();
  std::shared_ptr<TUninstallObject> self = weak_from_this().lock();
  if (!workers || !self) {
    // Outside any list nobody would be told of a size later: measure at once.
    Size = CalcSize(*this);
    SizeDone = true;
    return Size.load();
  }
  SizeComputing = true;
  if (!workers->Start(self)) SizeComputing = false;
  return -1;
}

TSizeWorkers::TSizeWorkers(TSizeReadySink sink) : FShared(std::make_shared<TShared>()) {
  FShared->Sink = std::move(sink);
}

TSizeWorkers::~TSizeWorkers() {
  Abort();
  Wait(kJoinLimitMs);
}

// Records queue for a few workers: a thread per record costs more to start
// under Wine than most measurements take, and hundreds of walks at once only
// compete for the disk.
bool TSizeWorkers::Start(const std::shared_ptr<TUninstallObject>& record) {
  std::lock_guard lock(FLock);
  if (FShared->Aborted.load()) return false;
  ++FStarted;
  {
    std::lock_guard queue(FShared->QueueLock);
    FShared->Queue.push_back(record);
    if (FShared->Running >= kMaxThreads) return true;
    ++FShared->Running;
  }
  auto param = std::make_unique<std::shared_ptr<TShared>>(FShared);
  const uintptr_t h = ::_beginthreadex(nullptr, 0, SizeThreadProc, param.get(), 0, nullptr);
  if (h != 0) {
    param.release();  // the thread frees it
    PruneEnded();
    FThreads.emplace_back(reinterpret_cast<HANDLE>(h));
    return true;
  }
  // No thread to be had: measure here rather than stay "computing" for good.
  while (auto next = FShared->Next()) Measure(std::move(next), FShared);
  return true;
}

// Amortised: the handles of ended threads are dropped each time the list has
// doubled, not on every start.
void TSizeWorkers::PruneEnded() {
  if (FThreads.size() < FPruneAt) return;
  std::erase_if(FThreads, [](const UniqueKernelHandle& h) {
    return ::WaitForSingleObject(h.Get(), 0) == WAIT_OBJECT_0;
  });
  FPruneAt = std::max<size_t>(64, FThreads.size() * 2);
}

void TSizeWorkers::Abort() {
  std::lock_guard lock(FShared->SinkLock);
  FShared->Aborted = true;
}

bool TSizeWorkers::Aborted() const { return FShared->Aborted.load(); }

bool TSizeWorkers::Wait(DWORD timeoutMs) {
  std::lock_guard lock(FLock);
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (const auto& thread : FThreads) {
    const ULONGLONG now = ::GetTickCount64();
    const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    if (::WaitForSingleObject(thread.Get(), left) == WAIT_TIMEOUT) return false;
  }
  return true;
}

size_t TSizeWorkers::Started() const {
  std::lock_guard lock(FLock);
  return FStarted;
}

int64_t CalcSize(const TUninstallObject& record, const TAbortCheck& aborted) {
  int64_t bytes = 0;
  if (!record.InstallLocation.empty()) {
    bytes = GetFolderSize(record.InstallLocation, aborted);
  } else if (!record.DisplayIcon.empty()) {
    bytes = GetFolderSize(FolderPart(record.DisplayIcon), aborted);
  }
  const int64_t kib = bytes / 1024;
  return kib < 0 ? 0 : kib;
}

// Folder links (junctions, symbolic links) are not followed: a link can
// loop, and what it points at belongs to another folder's size. An explicit
// stack: a tree thousands of levels deep must not exhaust the thread's. An
// aborted walk answers what it has counted so far.
int64_t GetFolderSize(const std::wstring& folder, const TAbortCheck& aborted) {
  int64_t total = 0;
  std::vector<std::wstring> pending{IncludeBackslash(folder)};
  while (!pending.empty()) {
    const std::wstring base = std::move(pending.back());
    pending.pop_back();
    for (TFindFile find(base); find.Next();) {
      if (aborted && aborted()) return total;
      if (find.IsFolder()) {
        if (!find.IsLink()) pending.push_back(base + find.Name() + L"\\");
      } else {
        const auto& data = find.Entry();
        total += static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) |
                                      data.nFileSizeLow);
      }
    }
  }
  return total;
}

std::wstring FormatSize(int64_t bytes) {
  if (bytes < 1024) return FormatNumber(static_cast<double>(bytes), 0) + L" Bytes";
  if (bytes < 1048576) return FormatNumber(bytes / 1024.0, 1) + L" KB";
  if (bytes < 1073741824) return FormatNumber(bytes / 1048576.0, 1) + L" MB";
  return FormatNumber(bytes / 1073741824.0, 1) + L" GB";
}

}  // namespace quor
