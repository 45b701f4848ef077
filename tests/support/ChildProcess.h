#pragma once
// Runs a program and collects its standard output and exit code.

#include <string>
#include <vector>

#include "base/Handles.h"

namespace quor::test {

struct ProcessResult {
  bool Started = false;
  unsigned long ExitCode = 0;
  std::string Out;  // raw bytes
  std::string Err;
};

// With a job, the program is put into it before it runs an instruction.
ProcessResult RunProcess(const std::wstring& commandLine, unsigned long timeoutMs = 60000,
                         void* job = nullptr);

// The running processes that this process started, with the given program
// file name (e.g. "quor_test_helper.exe"), opened so that a test can see
// whether they still run and end them.
std::vector<UniqueKernelHandle> OpenChildProcesses(const std::wstring& exeName);

// Ends, when it goes, every process with that program file name that this
// process started and that still runs: the clean-up of a test that leaves a
// child running on purpose.
class TChildCleanup {
 public:
  explicit TChildCleanup(std::wstring exeName) : FExeName(std::move(exeName)) {}
  ~TChildCleanup();
  TChildCleanup(const TChildCleanup&) = delete;
  TChildCleanup& operator=(const TChildCleanup&) = delete;

 private:
  std::wstring FExeName;
};

// The folder of the running test executable (where the build puts every program).
std::wstring ExeFolder();

}  // namespace quor::test
