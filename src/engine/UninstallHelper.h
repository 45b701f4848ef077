#pragma once
// The uninstall engine: runs each long job on a worker thread and reports its
// begin and end to the user-interface thread through a hidden message window.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "engine/Backup.h"
#include "engine/WaitForProcessTree.h"
#include "inventory/ProgramSize.h"
#include "inventory/UninstallObject.h"

namespace quor {

// Notification codes carried in the first parameter of EngineNotify.
enum : WPARAM {
  kNotifyRefreshBegin = 0,
  kNotifyRefreshEnd = 1,
  kNotifyScanBegin = 2,
  kNotifyScanEnd = 3,
  kNotifyUninstallBegin = 4,
  kNotifyUninstallEnd = 5,
  kNotifyModifyBegin = 7,
  kNotifyModifyEnd = 8,
  kNotifyCurrentItem = 10,
  kNotifyRemoveBegin = 11,
  kNotifyRemoveEnd = 12,
};

enum TEngineState : uint8_t {
  esRefreshing = 0,
  esScanning = 1,
  esWorking = 2,
  esIdle = 3,
  esScanCancelled = 5,
  esModifying = 6,
};

enum TJobKind : uint8_t { jkRefresh = 0, jkScan = 1, jkUninstall = 2, jkModify = 3, jkRemove = 4 };

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
  explicit TUninstallHelper(HWND ownerWindow);
  // Waits for running workers (handling their notifications meanwhile, with
  // the events silenced), then releases the records and the window.
  ~TUninstallHelper();
  TUninstallHelper(const TUninstallHelper&) = delete;
  TUninstallHelper& operator=(const TUninstallHelper&) = delete;

  void Refresh();
  void Uninstall(const std::shared_ptr<TUninstallObject>& program, bool force);
  void Modify(const std::shared_ptr<TUninstallObject>& program);
  void RemoveLeftovers(const std::shared_ptr<TUninstallObject>& program);
  bool DeleteEntry(const TUninstallObject& program);
  void Cancel();

  std::shared_ptr<TUninstallObject> Programs(int32_t index) const { return FPrograms.Items(index); }
  int32_t ProgramCount() const { return FPrograms.Count(); }
  TSoftwareList& ProgramList() { return FPrograms; }

  HWND OwnerWindow() const { return FOwnerWindow; }
  HWND MessageWindow() const { return FWindow; }
  bool Busy() const { return FBusy; }
  TEngineState State() const { return FState; }
  bool Cancelled() const { return FCancelled.load(); }
  int32_t Progress() const { return FProgress.load(); }
  void SetProgress(int32_t value) { FProgress = value; }
  TUninstallObject* CurrentProgram() const { return FCurrentProgram.get(); }
  bool Force() const { return FForce; }
  std::wstring CurrentItem() const;
  void SetCurrentItem(const std::wstring& path);

  bool Threaded = false;
  TThreadPriority Priority = TThreadPriority::Idle;
  // The uninstall and modify commands write their standard output and error
  // to NUL, not to this process's.
  bool QuietChildren = false;
  // Every removal first writes a backup set (see Backup.h) unless disabled;
  // an item whose backup cannot be written is not deleted.
  TBackupOptions Backup;

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

  // Raised on the thread that runs the scan, not through the window; set and
  // cleared on the user-interface thread while a scan may run.
  void SetOnProgress(TEngineEvent handler);
  void RaiseProgress();

  // Sets CurrentItem and lets the user-interface thread know (code 10),
  // posting no new notification while one is still waiting.
  void ReportCurrentItem(const std::wstring& path);

  // Job steps; run on the worker (or on the caller's thread when not threaded).
  void RunJob(TJobKind kind);
  void SendNotify(WPARAM code);
  void PostNotify(WPARAM code);

 private:
  friend class TWorkThread;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  bool ApplyNotification(WPARAM code);
  void RaiseEvent(WPARAM code);
  void StartWorker(TJobKind kind);
  void WaitForWorkers();
  void ScanJob();
  void RunUninstaller();
  void RunModifier();
  void RunCommand(const std::wstring& command);
  void RemoveJob();

  HWND FOwnerWindow;
  TwaitProcessTree FWaiter;
  std::atomic<int32_t> FProgress{0};
  bool FBusy = false;
  TEngineState FState = esIdle;
  std::atomic<bool> FCancelled{false};
  HWND FWindow = nullptr;
  TSoftwareList FPrograms;
  std::shared_ptr<TUninstallObject> FCurrentProgram;
  bool FForce = false;
  std::vector<UniqueKernelHandle> FWorkers;
  mutable std::mutex FCurrentItemLock;
  std::wstring FCurrentItem;
  std::atomic<bool> FCurrentItemPending{false};
  mutable std::mutex FProgressLock;
  TEngineEvent FOnProgress;
  bool FDestroying = false;
};

// The thread body of one job.
class TWorkThread {
 public:
  TWorkThread(TUninstallHelper* engine, TJobKind kind) : FEngine(engine), JobKind(kind) {}
  void Execute();

 private:
  TUninstallHelper* FEngine;

 public:
  const TJobKind JobKind;
};

int ThreadPriorityValue(TThreadPriority priority);

}  // namespace quor
