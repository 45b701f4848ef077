#include "engine/EngineCore.h"

#include <optional>

#include "base/Text.h"
#include "engine/EngineNotify.h"
#include "engine/LeftoverScan.h"
#include "engine/Removal.h"
#include "inventory/EnumPrograms.h"
#include "inventory/ProgramSize.h"

namespace quor {
namespace {

// Sends or posts a step's end notification however the step is left: an
// exception must not leave the engine busy for ever.
class TEndNotice {
 public:
  enum TWay { Send, Post };
  TEndNotice(TEngineCore& core, WPARAM code, TWay way) : FCore(core), FCode(code), FWay(way) {}
  ~TEndNotice() {
    if (FWay == Send) {
      FCore.SendNotify(FCode);
    } else {
      FCore.PostNotify(FCode);
    }
  }
  TEndNotice(const TEndNotice&) = delete;
  TEndNotice& operator=(const TEndNotice&) = delete;

 private:
  TEngineCore& FCore;
  WPARAM FCode;
  TWay FWay;
};

}  // namespace

// A size that has become known is posted with the record's serial, which the
// dispatcher looks up among the records of that moment.
TEngineCore::TEngineCore(HWND window)
    : FWindow(window),
      FWindowThread(::GetWindowThreadProcessId(window, nullptr)),
      FPrograms([this](const std::shared_ptr<TUninstallObject>& record) {
        PostNotify(kNotifySizeReady, static_cast<LPARAM>(record->Serial));
      }) {}

void TEngineCore::SendNotify(WPARAM code) {
  if (!Closed()) ::SendMessageW(FWindow, EngineNotify, code, 0);
}

bool TEngineCore::PostNotify(WPARAM code, LPARAM param) {
  return !Closed() && ::PostMessageW(FWindow, EngineNotify, code, param);
}

void TEngineCore::Close() {
  FClosed = true;
  FCancelled = true;
  FWaiter.Abort();
  FPrograms.SizeWorkers().Abort();
}

void TEngineCore::ReportProgress() {
  if (::GetCurrentThreadId() == FWindowThread) {
    FProgressPending = true;
    SendNotify(kNotifyProgress);
  } else if (!FProgressPending.exchange(true) && !PostNotify(kNotifyProgress)) {
    FProgressPending = false;  // nothing will take it: let the next step try again
  }
}

void TEngineCore::ReportCurrentItem(const std::wstring& path) {
  SetCurrentItem(path);
  if (!FCurrentItemPending.exchange(true)) PostNotify(kNotifyCurrentItem);
}

std::wstring TEngineCore::CurrentItem() const {
  std::lock_guard lock(FCurrentItemLock);
  return FCurrentItem;
}

void TEngineCore::SetCurrentItem(const std::wstring& path) {
  std::lock_guard lock(FCurrentItemLock);
  FCurrentItem = path;
}

void TEngineCore::RunJob(const TJob& job, bool threaded) {
  const TEndNotice::TWay endWay = threaded ? TEndNotice::Post : TEndNotice::Send;
  switch (job.Kind) {
    case jkRefresh: {
      SendNotify(kNotifyRefreshBegin);
      TEndNotice end(*this, kNotifyRefreshEnd, endWay);
      EnumPrograms(FPrograms);
      break;
    }
    case jkScan: {
      SendNotify(kNotifyUninstallBegin);
      // A forced uninstall on the caller's thread ends with the scan's end:
      // it raises no uninstall end.
      std::optional<TEndNotice> end;
      if (threaded) end.emplace(*this, kNotifyUninstallEnd, TEndNotice::Post);
      ScanJob(job);
      break;
    }
    case jkUninstall: {
      SendNotify(kNotifyUninstallBegin);
      // An empty command still ends the job: otherwise the engine would stay
      // busy and every later command would be refused.
      TEndNotice end(*this, kNotifyUninstallEnd, TEndNotice::Post);
      RunCommand(job, job.Program ? job.Program->UninstallString : L"");
      break;
    }
    case jkModify: {
      SendNotify(kNotifyModifyBegin);
      TEndNotice end(*this, kNotifyModifyEnd, TEndNotice::Post);
      RunCommand(job, job.Program ? job.Program->ModifyPath : L"");
      break;
    }
    case jkRemove: {
      SendNotify(kNotifyRemoveBegin);
      TEndNotice end(*this, kNotifyRemoveEnd, TEndNotice::Send);
      if (job.Program) RemoveItems(*this, *job.Program, job.Backup);
      break;
    }
  }
}

void TEngineCore::ScanJob(const TJob& job) {
  SendNotify(kNotifyScanBegin);
  TEndNotice end(*this, kNotifyScanEnd, TEndNotice::Send);
  if (job.Program) ScanLeftovers(*this, *job.Program);
}

void TEngineCore::RunCommand(const TJob& job, const std::wstring& command) {
  const std::wstring trimmed = Trim(command);
  std::wstring error;
  std::optional<DWORD> exitCode;
  if (trimmed.empty()) {
    error = L"no command is registered";
  } else {
    FWaiter.QuietChildren = job.QuietChildren;
    if (!FWaiter.Run(trimmed)) error = FWaiter.Error();
    exitCode = FWaiter.ExitCode();
  }
  std::lock_guard lock(FCommandErrorLock);
  FCommandError = std::move(error);
  FCommandExitCode = exitCode;
}

std::optional<DWORD> TEngineCore::CommandExitCode() const {
  std::lock_guard lock(FCommandErrorLock);
  return FCommandExitCode;
}

std::wstring TEngineCore::CommandError() const {
  std::lock_guard lock(FCommandErrorLock);
  return FCommandError;
}

}  // namespace quor
