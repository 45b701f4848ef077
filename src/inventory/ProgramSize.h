#pragma once
// Program sizes measured on demand by a few worker threads. A size that
// becomes known is handed to the record list's sink; this layer knows no
// windows.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "inventory/UninstallObject.h"

namespace quor {

// Answers true once a measurement should stop; asked between folder entries.
using TAbortCheck = std::function<bool()>;

// The size computations of one record list. They queue for at most
// kMaxThreads workers, whose handles are kept here; destruction aborts them
// and joins them.
class TSizeWorkers {
 public:
  explicit TSizeWorkers(TSizeReadySink sink);
  // Aborts, then waits for the threads at most kJoinLimitMs: a walk stuck in
  // the file system beyond that ends on its own, and touches nothing but its
  // record and the state it co-owns.
  ~TSizeWorkers();
  TSizeWorkers(const TSizeWorkers&) = delete;
  TSizeWorkers& operator=(const TSizeWorkers&) = delete;

  static constexpr DWORD kJoinLimitMs = 5000;
  static constexpr int kMaxThreads = 4;

  // Queues the record for a worker, starting one when fewer than kMaxThreads
  // run (measuring on this thread when no thread can be had); false, doing
  // nothing, once aborted.
  bool Start(const std::shared_ptr<TUninstallObject>& record);
  // Stops every computation at its next folder entry and starts no more.
  // Once this returns the sink is not called again; a sink call under way
  // is waited for.
  void Abort();
  bool Aborted() const;
  // Waits until every computation has ended; false when the time ran out.
  bool Wait(DWORD timeoutMs);
  // Computations started so far.
  size_t Started() const;

  struct TShared;  // the abort flag and the sink, co-owned by the threads

 private:
  void PruneEnded();

  std::shared_ptr<TShared> FShared;
  mutable std::mutex FLock;
  std::vector<UniqueKernelHandle> FThreads;
  size_t FStarted = 0;
  size_t FPruneAt = 64;
};

int64_t CalcSize(const TUninstallObject& record, const TAbortCheck& aborted = {});
int64_t GetFolderSize(const std::wstring& folder, const TAbortCheck& aborted = {});
std::wstring FormatSize(int64_t bytes);

}  // namespace quor
