#pragma once
// The uninstall engine: runs each long job on a worker thread and reports its
// begin and end, a size that has become known and the scan's progress to the
// user-interface thread, all through one hidden message window.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "engine/Backup.h"
#include "engine/BackupEntry.h"
#include "engine/EngineCore.h"
#include "engine/EngineNotify.h"
#include "inventory/UninstallObject.h"

namespace quor {

enum TEngineState : uint8_t {
  esRefreshing = 0,
  esScanning = 1,
  esWorking = 2,
  esIdle = 3,
  esScanCancelled = 5,
  esModifying = 6,
};

enum class TThreadPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

class TUninstallHelper;

using TEngineEvent = std::function<void(TUninstallHelper& sender)>;
using TProgramEvent = std::function<void(TUninstallHelper& sender, TUninstallObject* program)>;
using TUninstallEvent =
    std::function<void(TUninstallHelper& sender, TUninstallObject* program, bool force)>;
using TItemEvent = std::function<void(TUninstallHelper& sender, const std::wstring& path)>;

class TUninstallHelper {
 public:
  // Throws std::runtime_error when the window class or the hidden window
  // cannot be created.
  TUninstallHelper();
  // Never waits without limit, and raises no event once it has begun. It
  // cancels the scan, stops waiting for a running uninstaller or modify
  // command (which goes on: it is another program), stops size
  // computations, then waits for running workers at most CloseWaitMs while
  // handling their notifications silently. A worker still running after
  // that ends on its own, holding what it uses (see TEngineCore).
  ~TUninstallHelper();
  TUninstallHelper(const TUninstallHelper&) = delete;
  TUninstallHelper& operator=(const TUninstallHelper&) = delete;

  void Refresh();
  void Uninstall(const std::shared_ptr<TUninstallObject>& program, bool force);
  void Modify(const std::shared_ptr<TUninstallObject>& program);
  void RemoveLeftovers(const std::shared_ptr<TUninstallObject>& program);
  // Deletes the registration at once, on the calling thread, after a
  // backup set of it (see BackupEntry.h) unless Backup is disabled.
  TEntryDeletion DeleteEntry(const TUninstallObject& program);
  void Cancel();

  std::shared_ptr<TUninstallObject> Programs(int32_t index) const {
    return FCore->Programs().Items(index);
  }
  int32_t ProgramCount() const { return FCore->Programs().Count(); }
  TSoftwareList& ProgramList() { return FCore->Programs(); }

  HWND MessageWindow() const { return FWindow.Get(); }
  bool Busy() const { return FBusy; }
  TEngineState State() const { return FState; }
  bool Cancelled() const { return FCore->Cancelled(); }
  int32_t Progress() const { return FCore->Progress(); }
  TUninstallObject* CurrentProgram() const { return FCurrentProgram.get(); }
  bool Force() const { return FForce; }
  std::wstring CurrentItem() const { return FCore->CurrentItem(); }
  // Why the last uninstall or modify command was not run (refused as
  // ambiguous or unsafe, missing, or not startable); empty when it ran.
  // Read it in OnUninstallEnd or OnModifyEnd.
  std::wstring CommandError() const { return FCore->CommandError(); }
  // The exit code of that command when it ran to its end; read it there too.
  std::optional<DWORD> CommandExitCode() const { return FCore->CommandExitCode(); }
  // Whether a worker started by this engine still runs (its end notification
  // may still be on its way). A window asks before it closes.
  bool JobRunning() const;

  bool Threaded = false;
  TThreadPriority Priority = TThreadPriority::Idle;
  // The uninstall and modify commands write their standard output and error
  // to NUL, not to this process's.
  bool QuietChildren = false;
  // Every removal first writes a backup set (see Backup.h) unless disabled;
  // an item whose backup cannot be written is not deleted.
  TBackupOptions Backup;
  // How long destruction waits for running workers.
  DWORD CloseWaitMs = 3000;

  // Every event is raised on the thread that owns the engine's window.
  TEngineEvent OnRefreshBegin;
  TEngineEvent OnRefreshEnd;
  TProgramEvent OnScanBegin;
  TProgramEvent OnScanEnd;
  TUninstallEvent OnUninstallBegin;
  TUninstallEvent OnUninstallEnd;
  TUninstallEvent OnModifyBegin;
  TUninstallEvent OnModifyEnd;
  TEngineEvent OnRemoveBegin;
  TEngineEvent OnRemoveEnd;
  TItemEvent OnCurrentItem;
  // After scan steps and after each item a removal tried; Progress() is the
  // number of steps done. Steps that end while the window's thread is busy
  // are reported together, and all of them before OnScanEnd or OnRemoveEnd.
  TEngineEvent OnProgress;
  // A record of the current list whose size has become known (GetSize
  // answers it now). Never raised for a record that a refresh has replaced,
  // nor while a refresh runs.
  TProgramEvent OnSizeReady;

  // What the jobs work with; for benchmarks that run a job's steps directly.
  TEngineCore& Core() { return *FCore; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  bool ApplyNotification(WPARAM code);
  void RaiseEvent(WPARAM code);
  LRESULT DispatchSizeReady(LPARAM serial);
  LRESULT DispatchProgress();
  void FlushProgress();
  void Run(TJobKind kind);
  void StartWorker(TJob job);
  void WaitForWorkers(DWORD timeoutMs);

  UniqueWindow FWindow;
  std::shared_ptr<TEngineCore> FCore;  // co-owned by running workers
  bool FBusy = false;
  TEngineState FState = esIdle;
  std::shared_ptr<TUninstallObject> FCurrentProgram;
  bool FForce = false;
  std::vector<UniqueKernelHandle> FWorkers;
  bool FDestroying = false;
};

// The thread body of one job.
class TWorkThread {
 public:
  TWorkThread(std::shared_ptr<TEngineCore> core, TJob job)
      : FCore(std::move(core)), FJob(std::move(job)) {}
  void Execute();
  TJobKind JobKind() const { return FJob.Kind; }

 private:
  std::shared_ptr<TEngineCore> FCore;
  TJob FJob;
};

int ThreadPriorityValue(TThreadPriority priority);

}  // namespace quor
