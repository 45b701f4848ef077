#pragma once
// Runs a command line and returns when the process and every process it
// started, directly or not, have ended.

#include <string>

namespace quor {

class TwaitProcessTree {
 public:
  // Returns when the process tree has ended, or at once when the command
  // cannot be started or cannot be put into a job.
  void Run(const std::wstring& commandLine);

  const std::wstring& CommandLine() const { return FCommandLine; }

 private:
  void WaitForTree();

  std::wstring FCommandLine;
};

}  // namespace quor
