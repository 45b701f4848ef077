#include "support/ChildProcess.h"

#include <windows.h>

#include <tlhelp32.h>

#include <thread>

#include "base/Handles.h"

namespace quor::test {
namespace {

void Drain(HANDLE pipe, std::string& into) {
  char buf[4096];
  DWORD n = 0;
  while (::ReadFile(pipe, buf, sizeof buf, &n, nullptr) && n > 0) into.append(buf, n);
}

}  // namespace

ProcessResult RunProcess(const std::wstring& commandLine, unsigned long timeoutMs, void* job) {
  ProcessResult result;
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  UniqueKernelHandle inRead, inWrite, outRead, outWrite, errRead, errWrite;
  // Standard input is an empty pipe: a program that asks reads end of input.
  if (!::CreatePipe(inRead.Put(), inWrite.Put(), &sa, 0) ||
      !::CreatePipe(outRead.Put(), outWrite.Put(), &sa, 0) ||
      !::CreatePipe(errRead.Put(), errWrite.Put(), &sa, 0)) {
    return result;
  }
  ::SetHandleInformation(inWrite.Get(), HANDLE_FLAG_INHERIT, 0);
  ::SetHandleInformation(outRead.Get(), HANDLE_FLAG_INHERIT, 0);
  ::SetHandleInformation(errRead.Get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = inRead.Get();
  si.hStdOutput = outWrite.Get();
  si.hStdError = errWrite.Get();
  PROCESS_INFORMATION pi{};
  std::wstring cmd = commandLine;
  const DWORD flags = CREATE_NO_WINDOW | (job ? CREATE_SUSPENDED : 0);
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &si,
                        &pi)) {
    return result;
  }
  UniqueKernelHandle process(pi.hProcess);
  UniqueKernelHandle thread(pi.hThread);
  if (job) {
    if (!::AssignProcessToJobObject(job, process.Get())) ::TerminateProcess(process.Get(), 998);
    ::ResumeThread(thread.Get());
  }
  result.Started = true;
  inRead.Reset();
  inWrite.Reset();
  outWrite.Reset();
  errWrite.Reset();

  std::thread errReader([&] { Drain(errRead.Get(), result.Err); });
  Drain(outRead.Get(), result.Out);
  errReader.join();
  if (::WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.Get(), 999);
  }
  ::GetExitCodeProcess(process.Get(), &result.ExitCode);
  return result;
}

std::vector<UniqueKernelHandle> OpenChildProcesses(const std::wstring& exeName) {
  std::vector<UniqueKernelHandle> children;
  UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return children;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = ::Process32FirstW(snapshot.Get(), &entry); ok;
       ok = ::Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ParentProcessID != ::GetCurrentProcessId()) continue;
    if (::lstrcmpiW(entry.szExeFile, exeName.c_str()) != 0) continue;
    UniqueKernelHandle process(
        ::OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                      entry.th32ProcessID));
    if (process && ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
      children.push_back(std::move(process));
    }
  }
  return children;
}

TChildCleanup::~TChildCleanup() {
  for (auto& child : OpenChildProcesses(FExeName)) {
    ::TerminateProcess(child.Get(), 1);
    ::WaitForSingleObject(child.Get(), 5000);
  }
}

std::wstring ExeFolder() {
  wchar_t buf[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring path(buf);
  return path.substr(0, path.find_last_of(L'\\'));
}

}  // namespace quor::test
