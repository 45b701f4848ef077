#include "engine/UninstallHelper.h"

#include <process.h>

#include <stdexcept>

#include "base/Text.h"
#include "engine/LeftoverScan.h"
#include "engine/Removal.h"
#include "inventory/EnumPrograms.h"

namespace quor {
namespace {

constexpr const wchar_t* kWindowClass = L"TDefrag";

std::string LastErrorText() {
  const DWORD error = ::GetLastError();
  wchar_t* buffer = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n ? std::wstring(buffer, n) : L"error " + std::to_wstring(error);
  if (buffer) ::LocalFree(buffer);
  return ToUtf8(Trim(text));
}

unsigned __stdcall WorkThreadProc(void* param) {
  std::unique_ptr<TWorkThread> self(static_cast<TWorkThread*>(param));
  try {
    self->Execute();
  } catch (...) {
    // Jobs report no failures; each step's end notification has gone out
    // while the exception left it (TEndNotice).
  }
  return 0;
}

// Sends or posts a step's end notification however the step is left: an
// exception must not leave the engine busy for ever.
class TEndNotice {
 public:
  enum TWay { Send, Post };
  TEndNotice(TUninstallHelper& engine, WPARAM code, TWay way)
      : FEngine(engine), FCode(code), FWay(way) {}
  ~TEndNotice() {
    if (FWay == Send) {
      FEngine.SendNotify(FCode);
    } else {
      FEngine.PostNotify(FCode);
    }
  }
  TEndNotice(const TEndNotice&) = delete;
  TEndNotice& operator=(const TEndNotice&) = delete;

 private:
  TUninstallHelper& FEngine;
  WPARAM FCode;
  TWay FWay;
};

}  // namespace

int ThreadPriorityValue(TThreadPriority priority) {
  switch (priority) {
    case TThreadPriority::Idle: return THREAD_PRIORITY_IDLE;
    case TThreadPriority::Lowest: return THREAD_PRIORITY_LOWEST;
    case TThreadPriority::Lower: return THREAD_PRIORITY_BELOW_NORMAL;
    case TThreadPriority::Normal: return THREAD_PRIORITY_NORMAL;
    case TThreadPriority::Higher: return THREAD_PRIORITY_ABOVE_NORMAL;
    case TThreadPriority::Highest: return THREAD_PRIORITY_HIGHEST;
    case TThreadPriority::TimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
  }
  return THREAD_PRIORITY_NORMAL;
}

TUninstallHelper::TUninstallHelper(HWND ownerWindow) : FOwnerWindow(ownerWindow) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (!::GetClassInfoW(instance, kWindowClass, &wc)) {
    wc = WNDCLASSW{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (!::RegisterClassW(&wc)) throw std::runtime_error("Error creating window class");
  }
  FWindow = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                              nullptr);
  if (!FWindow) throw std::runtime_error(LastErrorText());
  ::SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
}

TUninstallHelper::~TUninstallHelper() {
  FCancelled = true;
  FDestroying = true;
  WaitForWorkers();
  FPrograms.Clear();
  ::DestroyWindow(FWindow);
}

// A worker may be blocked in a send to this thread: keep handling sent
// messages while waiting, or neither side could go on.
void TUninstallHelper::WaitForWorkers() {
  for (auto& worker : FWorkers) {
    HANDLE h = worker.Get();
    while (::MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
      MSG msg;
      ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  FWorkers.clear();
}

LRESULT CALLBACK TUninstallHelper::WindowProc(HWND hwnd, UINT msg, WPARAM wParam,
                                              LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<TUninstallHelper*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    return self->Dispatch(msg, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT TUninstallHelper::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != EngineNotify) return ::DefWindowProcW(FWindow, msg, wParam, lParam);
  if (!ApplyNotification(wParam)) return 0;
  if (!FDestroying) RaiseEvent(wParam);
  return 1;
}

bool TUninstallHelper::ApplyNotification(WPARAM code) {
  switch (code) {
    case kNotifyRefreshBegin: FBusy = true; FState = esRefreshing; return true;
    case kNotifyRefreshEnd: FBusy = false; FState = esIdle; return true;
    case kNotifyScanBegin: FBusy = true; FState = esScanning; return true;
    case kNotifyScanEnd:
      FBusy = false;
      FState = FCancelled ? esScanCancelled : esIdle;
      return true;
    case kNotifyUninstallBegin: FBusy = true; FState = esWorking; return true;
    case kNotifyUninstallEnd: FBusy = false; FState = esIdle; return true;
    case kNotifyModifyBegin: FBusy = true; FState = esModifying; return true;
    case kNotifyModifyEnd: FBusy = false; FState = esIdle; return true;
    case kNotifyCurrentItem: FCurrentItemPending = false; return true;
    case kNotifyRemoveBegin: FBusy = true; FState = esWorking; return true;
    case kNotifyRemoveEnd: FBusy = false; FState = esIdle; return true;
    default: return false;
  }
}

void TUninstallHelper::RaiseEvent(WPARAM code) {
  TUninstallObject* program = FCurrentProgram.get();
  // Copies: a handler may clear or replace the event it runs in.
  switch (code) {
    case kNotifyRefreshBegin: if (auto e = OnRefreshBegin) e(*this); break;
    case kNotifyRefreshEnd: if (auto e = OnRefreshEnd) e(*this); break;
    case kNotifyScanBegin: if (auto e = OnScanBegin) e(*this, program); break;
    case kNotifyScanEnd: if (auto e = OnScanEnd) e(*this, program); break;
    case kNotifyUninstallBegin: if (auto e = OnUninstallBegin) e(*this, program, FForce); break;
    case kNotifyUninstallEnd: if (auto e = OnUninstallEnd) e(*this, program, FForce); break;
    case kNotifyModifyBegin: if (auto e = OnModifyBegin) e(*this, program, false); break;
    case kNotifyModifyEnd: if (auto e = OnModifyEnd) e(*this, program, false); break;
    case kNotifyCurrentItem: if (auto e = OnCurrentItem) e(*this, CurrentItem()); break;
    case kNotifyRemoveBegin: if (auto e = OnRemoveBegin) e(*this); break;
    case kNotifyRemoveEnd: if (auto e = OnRemoveEnd) e(*this); break;
    default: break;
  }
}

void TUninstallHelper::SendNotify(WPARAM code) { ::SendMessageW(FWindow, EngineNotify, code, 0); }
void TUninstallHelper::PostNotify(WPARAM code) { ::PostMessageW(FWindow, EngineNotify, code, 0); }

std::wstring TUninstallHelper::CurrentItem() const {
  std::lock_guard lock(FCurrentItemLock);
  return FCurrentItem;
}

void TUninstallHelper::SetCurrentItem(const std::wstring& path) {
  std::lock_guard lock(FCurrentItemLock);
  FCurrentItem = path;
}

void TUninstallHelper::SetOnProgress(TEngineEvent handler) {
  std::lock_guard lock(FProgressLock);
  FOnProgress = std::move(handler);
}

void TUninstallHelper::RaiseProgress() {
  TEngineEvent handler;
  {
    std::lock_guard lock(FProgressLock);
    handler = FOnProgress;
  }
  if (handler) handler(*this);
}

void TUninstallHelper::ReportCurrentItem(const std::wstring& path) {
  SetCurrentItem(path);
  if (!FCurrentItemPending.exchange(true)) PostNotify(kNotifyCurrentItem);
}

void TUninstallHelper::Refresh() {
  if (Threaded) {
    StartWorker(jkRefresh);
    return;
  }
  SendNotify(kNotifyRefreshBegin);
  TEndNotice end(*this, kNotifyRefreshEnd, TEndNotice::Send);
  EnumPrograms(FPrograms, FOwnerWindow);
}

void TUninstallHelper::Uninstall(const std::shared_ptr<TUninstallObject>& program, bool force) {
  FCurrentProgram = program;
  FCancelled = false;
  FForce = force;
  if (Threaded) {
    StartWorker(force ? jkScan : jkUninstall);
    return;
  }
  SendNotify(kNotifyUninstallBegin);
  if (force) {
    ScanJob();
  } else {
    RunUninstaller();
  }
}

void TUninstallHelper::Modify(const std::shared_ptr<TUninstallObject>& program) {
  FCurrentProgram = program;
  FCancelled = false;
  if (Threaded) {
    StartWorker(jkModify);
    return;
  }
  SendNotify(kNotifyModifyBegin);
  RunModifier();
}

void TUninstallHelper::RemoveLeftovers(const std::shared_ptr<TUninstallObject>& program) {
  FCurrentProgram = program;
  FCancelled = false;
  if (Threaded) {
    StartWorker(jkRemove);
    return;
  }
  SendNotify(kNotifyRemoveBegin);
  TEndNotice end(*this, kNotifyRemoveEnd, TEndNotice::Send);
  RemoveJob();
}

bool TUninstallHelper::DeleteEntry(const TUninstallObject& program) {
  return DeleteRegKey(program.RootKey, program.KeyPath);
}

void TUninstallHelper::Cancel() {
  if (FState == esScanning) FCancelled = true;
}

void TUninstallHelper::StartWorker(TJobKind kind) {
  std::erase_if(FWorkers, [](const UniqueKernelHandle& h) {
    return ::WaitForSingleObject(h.Get(), 0) == WAIT_OBJECT_0;
  });
  auto thread = std::make_unique<TWorkThread>(this, kind);
  const uintptr_t h =
      ::_beginthreadex(nullptr, 0, WorkThreadProc, thread.get(), CREATE_SUSPENDED, nullptr);
  if (h == 0) return;
  thread.release();  // the thread owns its body from here
  UniqueKernelHandle handle(reinterpret_cast<HANDLE>(h));
  ::SetThreadPriority(handle.Get(), ThreadPriorityValue(Priority));
  ::ResumeThread(handle.Get());
  FWorkers.push_back(std::move(handle));
}

void TUninstallHelper::RunJob(TJobKind kind) {
  switch (kind) {
    case jkRefresh: {
      SendNotify(kNotifyRefreshBegin);
      TEndNotice end(*this, kNotifyRefreshEnd, TEndNotice::Post);
      EnumPrograms(FPrograms, FOwnerWindow);
      break;
    }
    case jkScan: {
      SendNotify(kNotifyUninstallBegin);
      TEndNotice end(*this, kNotifyUninstallEnd, TEndNotice::Post);
      ScanJob();
      break;
    }
    case jkUninstall:
      SendNotify(kNotifyUninstallBegin);
      RunUninstaller();
      break;
    case jkModify:
      SendNotify(kNotifyModifyBegin);
      RunModifier();
      break;
    case jkRemove: {
      SendNotify(kNotifyRemoveBegin);
      TEndNotice end(*this, kNotifyRemoveEnd, TEndNotice::Send);
      RemoveJob();
      break;
    }
  }
}

void TUninstallHelper::ScanJob() {
  SendNotify(kNotifyScanBegin);
  TEndNotice end(*this, kNotifyScanEnd, TEndNotice::Send);
  if (FCurrentProgram) ScanLeftovers(*this, *FCurrentProgram);
}

// An empty command still ends the job: otherwise the engine would stay busy
// and every later command would be refused.
void TUninstallHelper::RunUninstaller() {
  TEndNotice end(*this, kNotifyUninstallEnd, TEndNotice::Post);
  RunCommand(FCurrentProgram ? FCurrentProgram->UninstallString : L"");
}

void TUninstallHelper::RunModifier() {
  TEndNotice end(*this, kNotifyModifyEnd, TEndNotice::Post);
  RunCommand(FCurrentProgram ? FCurrentProgram->ModifyPath : L"");
}

void TUninstallHelper::RunCommand(const std::wstring& command) {
  const std::wstring trimmed = Trim(command);
  if (trimmed.empty()) return;
  FWaiter.QuietChildren = QuietChildren;
  FWaiter.Run(trimmed);
}

void TUninstallHelper::RemoveJob() {
  if (FCurrentProgram) RemoveItems(*this, *FCurrentProgram);
}

void TWorkThread::Execute() {
  if (FEngine) FEngine->RunJob(JobKind);
}

}  // namespace quor
