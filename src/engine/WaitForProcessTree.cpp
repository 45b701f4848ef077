#include "engine/WaitForProcessTree.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "base/Handles.h"
#include "base/Text.h"

namespace quor {
namespace {

constexpr DWORD kPollIntervalMs = 1000;
// Without a job, a process that starts a child and ends between two polls
// hides that child: poll often while the tree is changing (at the start and
// after a new process), less often once it has settled.
constexpr DWORD kSnapshotFastPollMs = 10;
constexpr DWORD kSnapshotSlowPollMs = 200;
constexpr DWORD kSnapshotSettleMs = 3000;

// The standard handles a quiet child gets, and the attribute list that lets
// it inherit those two and nothing else of ours.
class TQuietStdHandles {
 public:
  // False when NUL cannot be opened. Without the attribute list the child
  // inherits every inheritable handle of ours, still with NUL as its output.
  bool Open() {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    FNul.Reset(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &sa, OPEN_EXISTING, 0, nullptr));
    if (!FNul) return false;
    FHandles[0] = FNul.Get();
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    FBuffer.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(FBuffer.data());
    if (!::InitializeProcThreadAttributeList(list, 1, 0, &size)) return true;
    FList = list;
    if (!::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, FHandles,
                                     sizeof(HANDLE), nullptr, nullptr)) {
      ::DeleteProcThreadAttributeList(FList);
      FList = nullptr;
    }
    return true;
  }
  ~TQuietStdHandles() {
    if (FList) ::DeleteProcThreadAttributeList(FList);
  }

  void Fill(STARTUPINFOEXW& startup) const {
    startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = FNul.Get();
    startup.StartupInfo.hStdOutput = FNul.Get();
    startup.StartupInfo.hStdError = FNul.Get();
    startup.lpAttributeList = FList;
  }
  bool HasList() const { return FList != nullptr; }

 private:
  UniqueKernelHandle FNul;
  HANDLE FHandles[1] = {};
  std::vector<unsigned char> FBuffer;
  LPPROC_THREAD_ATTRIBUTE_LIST FList = nullptr;
};

struct TLaunched {
  UniqueKernelHandle Process;
  UniqueKernelHandle Thread;
};

// Starts the command suspended. Handle inheritance stays off unless the
// child gets NUL as its standard handles.
std::optional<TLaunched> LaunchSuspended(const TResolvedCommand& resolved, DWORD extraFlags,
                                         bool quiet, DWORD& error) {
  std::wstring command = resolved.CommandLine;
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup.StartupInfo;
  TQuietStdHandles nul;
  DWORD flags = CREATE_SUSPENDED | extraFlags;
  BOOL inherit = FALSE;
  if (quiet && nul.Open()) {
    nul.Fill(startup);
    if (nul.HasList()) {
      startup.StartupInfo.cb = sizeof startup;
      flags |= EXTENDED_STARTUPINFO_PRESENT;
    }
    inherit = TRUE;
  }
  PROCESS_INFORMATION info{};
  // The application name is a full path: the system searches nowhere for it.
  if (!::CreateProcessW(resolved.Application.c_str(), command.data(), nullptr, nullptr, inherit,
                        flags, nullptr, nullptr, &startup.StartupInfo, &info)) {
    error = ::GetLastError();
    return std::nullopt;
  }
  return TLaunched{UniqueKernelHandle(info.hProcess), UniqueKernelHandle(info.hThread)};
}

std::wstring SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n ? Trim(std::wstring(buffer, n)) : L"error " + std::to_wstring(error);
  if (buffer) ::LocalFree(buffer);
  return text;
}

uint64_t CreationTime(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

// A process of the tree, held open so that its id is not given to another
// process while it is watched.
struct TTracked {
  DWORD Id;
  uint64_t Created;
  UniqueKernelHandle Handle;
};

bool IsTracked(const std::vector<TTracked>& tree, DWORD id) {
  for (const auto& p : tree) {
    if (p.Id == id) return true;
  }
  return false;
}

// Adds every process in a snapshot whose parent is in the tree. An id in
// the tree may have belonged to an older process first, so a child counts
// only when it was created after its parent. Answers whether any was added.
bool AddChildren(std::vector<TTracked>& tree) {
  UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  std::vector<PROCESSENTRY32W> entries;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = ::Process32FirstW(snapshot.Get(), &entry); ok;
       ok = ::Process32NextW(snapshot.Get(), &entry)) {
    entries.push_back(entry);
  }
  bool added = false;
  // A grandchild may come before its parent in the snapshot: repeat until a
  // pass adds nothing.
  for (bool again = true; again;) {
    again = false;
    for (const auto& e : entries) {
      if (IsTracked(tree, e.th32ProcessID)) continue;
      const TTracked* parent = nullptr;
      for (const auto& p : tree) {
        if (p.Id == e.th32ParentProcessID) parent = &p;
      }
      if (!parent) continue;
      UniqueKernelHandle handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE,
                                              FALSE, e.th32ProcessID));
      if (!handle) continue;  // already gone
      const uint64_t created = CreationTime(handle.Get());
      if (created < parent->Created) continue;
      tree.push_back({e.th32ProcessID, created, std::move(handle)});
      added = again = true;
    }
  }
  return added;
}

bool AnyAlive(const std::vector<TTracked>& tree) {
  for (const auto& p : tree) {
    if (::WaitForSingleObject(p.Handle.Get(), 0) == WAIT_TIMEOUT) return true;
  }
  return false;
}

// Sleeps for the poll interval; false when the wait was aborted meanwhile.
bool PollPause(HANDLE abort, DWORD ms) {
  if (!abort) {
    ::Sleep(ms);  // no event could be made: the wait cannot be aborted
    return true;
  }
  return ::WaitForSingleObject(abort, ms) == WAIT_TIMEOUT;
}

// Follows the tree by parent ids. Done when every process seen has ended
// and a snapshot taken after that shows no new child.
// The exit code of a process that has ended; nothing while it runs.
std::optional<DWORD> EndedExitCode(HANDLE process) {
  DWORD code = 0;
  if (::WaitForSingleObject(process, 0) != WAIT_OBJECT_0 || !::GetExitCodeProcess(process, &code))
    return std::nullopt;
  return code;
}

std::optional<DWORD> WaitBySnapshots(TLaunched launched, HANDLE abort) {
  std::vector<TTracked> tree;
  const DWORD rootId = ::GetProcessId(launched.Process.Get());
  const uint64_t rootCreated = CreationTime(launched.Process.Get());
  tree.push_back({rootId, rootCreated, std::move(launched.Process)});
  ::ResumeThread(launched.Thread.Get());
  ULONGLONG lastChange = ::GetTickCount64();
  for (;;) {
    const bool alive = AnyAlive(tree);
    const bool added = AddChildren(tree);
    if (!alive && !added) return EndedExitCode(tree.front().Handle.Get());
    if (added) lastChange = ::GetTickCount64();
    const bool settled = ::GetTickCount64() - lastChange > kSnapshotSettleMs;
    if (!PollPause(abort, settled ? kSnapshotSlowPollMs : kSnapshotFastPollMs))
      return EndedExitCode(tree.front().Handle.Get());
  }
}

void WaitByJob(HANDLE job, const TLaunched& launched, HANDLE abort) {
  ::ResumeThread(launched.Thread.Get());
  // A failed query leaves the last count in place: only the count decides.
  // The system's layout with room for one id (ids are pointer-sized: 16 bytes
  // on x64; a 12-byte buffer is refused there with ERROR_BAD_LENGTH). Only
  // the count of ids is read.
  JOBOBJECT_BASIC_PROCESS_ID_LIST list{};
  for (;;) {
    DWORD returned = 0;
    ::QueryInformationJobObject(job, JobObjectBasicProcessIdList, &list, sizeof list, &returned);
    if (list.NumberOfProcessIdsInList == 0) break;
    if (!PollPause(abort, kPollIntervalMs)) break;
  }
}

}  // namespace

TwaitProcessTree::TwaitProcessTree() : FAbort(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

bool TwaitProcessTree::Run(const std::wstring& commandLine) {
  FCommandLine = commandLine;
  FError.clear();
  FExitCode.reset();
  if (Aborted()) return true;  // closing: nothing more starts, and that is no failure
  const TResolvedCommand resolved = ResolveRegisteredCommand(commandLine, Context);
  if (!resolved.Ok()) {
    FError = resolved.Error;
    return false;
  }
  return WaitForTree(resolved);
}

void TwaitProcessTree::Abort() {
  if (FAbort) ::SetEvent(FAbort.Get());
}

bool TwaitProcessTree::Aborted() const {
  return FAbort && ::WaitForSingleObject(FAbort.Get(), 0) == WAIT_OBJECT_0;
}

// Leaving the wait early closes the job, which ends none of its processes:
// nothing asks the job to kill them on close.
bool TwaitProcessTree::WaitForTree(const TResolvedCommand& command) {
  UniqueKernelHandle job(SimulateNoJob ? nullptr : ::CreateJobObjectA(nullptr, nullptr));
  std::optional<TLaunched> launched;
  DWORD error = 0;
  if (job) {
    // Breakaway lets the new process leave a job this process may sit in, so
    // that it can be put into ours; its children then stay in ours. A job
    // that refuses breakaway fails the call (access denied): start it anyway.
    launched = LaunchSuspended(command, CREATE_BREAKAWAY_FROM_JOB, QuietChildren, error);
  }
  if (!launched) launched = LaunchSuspended(command, 0, QuietChildren, error);
  if (!launched) {
    FError = L"\"" + command.Application + L"\" could not be started: " + SystemErrorText(error);
    return false;
  }
  // Without breakaway the process may already sit in our parent's job, and a
  // system without nested jobs then refuses to put it into ours.
  if (job && ::AssignProcessToJobObject(job.Get(), launched->Process.Get())) {
    WaitByJob(job.Get(), *launched, FAbort.Get());
    FExitCode = EndedExitCode(launched->Process.Get());
  } else {
    FExitCode = WaitBySnapshots(std::move(*launched), FAbort.Get());
  }
  return true;
}

}  // namespace quor
