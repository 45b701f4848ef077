#pragma once
// Runs a program and collects its standard output and exit code.

#include <string>

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

// The folder of the running test executable (where the build puts every program).
std::wstring ExeFolder();

}  // namespace quor::test
