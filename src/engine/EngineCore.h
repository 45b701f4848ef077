#pragma once
// What the uninstall engine's jobs work with: the record list, the
// process-tree waiter, the job flags and the way to the engine's window. The
// engine and every running worker hold it together, so that a worker still
// running when the engine is destroyed touches nothing freed.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "engine/Backup.h"
#include "engine/WaitForProcessTree.h"
#include "inventory/UninstallObject.h"

namespace quor {

enum TJobKind : uint8_t { jkRefresh = 0, jkScan = 1, jkUninstall = 2, jkModify = 3, jkRemove = 4 };

// What one job works on, fixed when it starts.
struct TJob {
  TJobKind Kind = jkRefresh;
  std::shared_ptr<TUninstallObject> Program;
  bool QuietChildren = false;
  TBackupOptions Backup;
};

class TEngineCore {
 public:
  // `window` is the engine's hidden window; the calling thread owns it.
  explicit TEngineCore(HWND window);
  TEngineCore(const TEngineCore&) = delete;
  TEngineCore& operator=(const TEngineCore&) = delete;

  // A job's steps with their notifications: on a worker (`threaded`), or on
  // the window's thread.
  void RunJob(const TJob& job, bool threaded);

  // Sent: returns when the window's thread has handled it. Posted: queued.
  // Once closed, neither goes out.
  void SendNotify(WPARAM code);
  bool PostNotify(WPARAM code, LPARAM param = 0);

  // The engine is going: the scan is cancelled, a wait for an uninstaller
  // ends at once (the uninstaller goes on), size computations stop, and no
  // notification goes out any more.
  void Close();
  bool Closed() const { return FClosed.load(); }

  bool Cancelled() const { return FCancelled.load(); }
  void SetCancelled(bool value) { FCancelled = value; }
  int32_t Progress() const { return FProgress.load(); }
  void SetProgress(int32_t value) { FProgress = value; }

  // After each scan step. On the window's thread the progress notification
  // is handled at once; from a worker it is posted, one waiting at a time
  // however many steps end before it is handled.
  void ReportProgress();
  // For the dispatcher: whether a progress notification waits; clears it.
  bool TakeProgress() { return FProgressPending.exchange(false); }

  // Sets CurrentItem and posts code 10, no new one while one waits.
  void ReportCurrentItem(const std::wstring& path);
  void CurrentItemHandled() { FCurrentItemPending = false; }
  std::wstring CurrentItem() const;
  void SetCurrentItem(const std::wstring& path);

  // Why the last uninstall or modify job ran nothing (refused or not
  // started); empty when its command ran. Set before the job's end goes out.
  std::wstring CommandError() const;
  // The exit code of the last uninstall or modify command, when it ran to its end.
  std::optional<DWORD> CommandExitCode() const;

  TSoftwareList& Programs() { return FPrograms; }
  const TSoftwareList& Programs() const { return FPrograms; }

 private:
  void ScanJob(const TJob& job);
  void RunCommand(const TJob& job, const std::wstring& command);

  const HWND FWindow;
  const DWORD FWindowThread;
  std::atomic<bool> FClosed{false};
  TwaitProcessTree FWaiter;
  std::atomic<int32_t> FProgress{0};
  std::atomic<bool> FCancelled{false};
  std::atomic<bool> FProgressPending{false};
  mutable std::mutex FCurrentItemLock;
  std::wstring FCurrentItem;
  std::atomic<bool> FCurrentItemPending{false};
  mutable std::mutex FCommandErrorLock;
  std::wstring FCommandError;
  std::optional<DWORD> FCommandExitCode;
  // Last, so that it goes first: its size computations are stopped before
  // anything their sink uses.
  TSoftwareList FPrograms;
};

}  // namespace quor
