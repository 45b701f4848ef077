#include "engine/UninstallHelper.h"

#include <process.h>

#include <stdexcept>

#include "base/Text.h"
#include "engine/Removal.h"

namespace quor {
namespace {

// A fixed class name, shared by every engine in the process; keep it.
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
    // while the exception left it.
  }
  return 0;
}

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

TUninstallHelper::TUninstallHelper() {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (!::GetClassInfoW(instance, kWindowClass, &wc)) {
    wc = WNDCLASSW{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (!::RegisterClassW(&wc)) throw std::runtime_error("Error creating window class");
  }
  FWindow.Reset(::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  instance, nullptr));
  if (!FWindow) throw std::runtime_error(LastErrorText());
  FCore = std::make_shared<TEngineCore>(FWindow.Get());
  ::SetWindowLongPtrW(FWindow.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(FWindow.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
}

TUninstallHelper::~TUninstallHelper() {
  FDestroying = true;
  FCore->Close();
  WaitForWorkers(CloseWaitMs);
  FWindow.Reset();
  // A worker that was sending as the window went is answered now.
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// A worker may be blocked in a send to this thread: keep handling sent
// messages while waiting, or neither side could go on.
void TUninstallHelper::WaitForWorkers(DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (auto& worker : FWorkers) {
    HANDLE h = worker.Get();
    for (;;) {
      const ULONGLONG now = ::GetTickCount64();
      const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
      if (::MsgWaitForMultipleObjects(1, &h, FALSE, left, QS_SENDMESSAGE) != WAIT_OBJECT_0 + 1) {
        break;
      }
      MSG msg;
      ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  FWorkers.clear();
}

bool TUninstallHelper::JobRunning() const {
  for (const auto& worker : FWorkers) {
    if (::WaitForSingleObject(worker.Get(), 0) == WAIT_TIMEOUT) return true;
  }
  return false;
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
  if (msg != EngineNotify) return ::DefWindowProcW(FWindow.Get(), msg, wParam, lParam);
  if (wParam == kNotifySizeReady) return DispatchSizeReady(lParam);
  if (wParam == kNotifyProgress) return DispatchProgress();
  // Progress is posted and the ends of the scan and the removal are sent,
  // and a sent message overtakes posted ones: the last progress is raised
  // before the end.
  if (wParam == kNotifyScanEnd || wParam == kNotifyRemoveEnd) FlushProgress();
  if (!ApplyNotification(wParam)) return 0;
  if (!FDestroying) RaiseEvent(wParam);
  return 1;
}

// Posted with the record's serial, not sent with its index: a refresh may have replaced it since.
LRESULT TUninstallHelper::DispatchSizeReady(LPARAM serial) {
  if (FState == esRefreshing) return 0;  // the worker is rewriting the list
  const auto record = FCore->Programs().FindBySerial(static_cast<uint64_t>(serial));
  if (!record) return 0;
  if (!FDestroying) {
    if (auto e = OnSizeReady) e(*this, record.get());
  }
  return 1;
}

// Raised through the window, not by the scan itself, so that it runs on this thread.
LRESULT TUninstallHelper::DispatchProgress() {
  if (!FCore->TakeProgress()) return 0;  // raised already, before the scan's end
  if (!FDestroying) {
    if (auto e = OnProgress) e(*this);
  }
  return 1;
}

void TUninstallHelper::FlushProgress() {
  if (!FCore->TakeProgress() || FDestroying) return;
  try {
    if (auto e = OnProgress) e(*this);
  } catch (...) {
    // The scan's end must still be applied.
  }
}

bool TUninstallHelper::ApplyNotification(WPARAM code) {
  switch (code) {
    case kNotifyRefreshBegin: FBusy = true; FState = esRefreshing; return true;
    case kNotifyRefreshEnd: FBusy = false; FState = esIdle; return true;
    case kNotifyScanBegin: FBusy = true; FState = esScanning; return true;
    case kNotifyScanEnd:
      FBusy = false;
      FState = FCore->Cancelled() ? esScanCancelled : esIdle;
      return true;
    case kNotifyUninstallBegin: FBusy = true; FState = esWorking; return true;
    case kNotifyUninstallEnd: FBusy = false; FState = esIdle; return true;
    case kNotifyModifyBegin: FBusy = true; FState = esModifying; return true;
    case kNotifyModifyEnd: FBusy = false; FState = esIdle; return true;
    case kNotifyCurrentItem: FCore->CurrentItemHandled(); return true;
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

void TUninstallHelper::Refresh() { Run(jkRefresh); }

void TUninstallHelper::Uninstall(const std::shared_ptr<TUninstallObject>& program, bool force) {
  FCurrentProgram = program;
  FCore->SetCancelled(false);
  FForce = force;
  Run(force ? jkScan : jkUninstall);
}

void TUninstallHelper::Modify(const std::shared_ptr<TUninstallObject>& program) {
  FCurrentProgram = program;
  FCore->SetCancelled(false);
  Run(jkModify);
}

void TUninstallHelper::RemoveLeftovers(const std::shared_ptr<TUninstallObject>& program) {
  FCurrentProgram = program;
  FCore->SetCancelled(false);
  Run(jkRemove);
}

TEntryDeletion TUninstallHelper::DeleteEntry(const TUninstallObject& program) {
  return DeleteRegistrationBackedUp(program, Backup);
}

void TUninstallHelper::Cancel() {
  if (FState == esScanning) FCore->SetCancelled(true);
}

void TUninstallHelper::Run(TJobKind kind) {
  TJob job{kind, FCurrentProgram, QuietChildren, Backup};
  if (kind == jkRefresh) job.Program.reset();  // a refresh works on no record
  if (Threaded) {
    StartWorker(std::move(job));
  } else {
    FCore->RunJob(job, false);
  }
}

void TUninstallHelper::StartWorker(TJob job) {
  std::erase_if(FWorkers, [](const UniqueKernelHandle& h) {
    return ::WaitForSingleObject(h.Get(), 0) == WAIT_OBJECT_0;
  });
  auto thread = std::make_unique<TWorkThread>(FCore, std::move(job));
  const uintptr_t h =
      ::_beginthreadex(nullptr, 0, WorkThreadProc, thread.get(), CREATE_SUSPENDED, nullptr);
  if (h == 0) return;
  thread.release();  // the thread owns its body from here
  UniqueKernelHandle handle(reinterpret_cast<HANDLE>(h));
  ::SetThreadPriority(handle.Get(), ThreadPriorityValue(Priority));
  ::ResumeThread(handle.Get());
  FWorkers.push_back(std::move(handle));
}

void TWorkThread::Execute() {
  if (FCore) FCore->RunJob(FJob, true);
}

}  // namespace quor
