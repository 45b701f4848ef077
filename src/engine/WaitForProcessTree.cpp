#include "engine/WaitForProcessTree.h"

#include <windows.h>

#include "base/Handles.h"

namespace quor {
namespace {

constexpr DWORD kPollIntervalMs = 1000;

}  // namespace

void TwaitProcessTree::Run(const std::wstring& commandLine) {
  FCommandLine = commandLine;
  WaitForTree();
}

void TwaitProcessTree::WaitForTree() {
  UniqueKernelHandle job(::CreateJobObjectA(nullptr, nullptr));
  if (!job) return;

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring command = FCommandLine;  // CreateProcessW may write into it
  // Breakaway lets the new process leave a job this process may sit in, so
  // that it can be put into ours; its children then stay in ours.
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED | CREATE_BREAKAWAY_FROM_JOB, nullptr, nullptr, &startup,
                        &info)) {
    return;
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);

  if (!::AssignProcessToJobObject(job.Get(), process.Get())) {
    ::ResumeThread(thread.Get());
    return;
  }
  ::ResumeThread(thread.Get());
  // A failed query leaves the last count in place: only the count decides.
  // The system's layout with room for one id (ids are pointer-sized: 16 bytes
  // on x64; a 12-byte buffer is refused there with ERROR_BAD_LENGTH). Only
  // the count of ids is read.
  JOBOBJECT_BASIC_PROCESS_ID_LIST list{};
  for (;;) {
    DWORD returned = 0;
    ::QueryInformationJobObject(job.Get(), JobObjectBasicProcessIdList, &list, sizeof list,
                                &returned);
    if (list.NumberOfProcessIdsInList == 0) break;
    ::Sleep(kPollIntervalMs);
  }
}

}  // namespace quor
