#pragma once
// Runs a command line and returns when the process and every process it
// started, directly or not, have ended.

#include <string>

#include "base/Handles.h"

namespace quor {

class TwaitProcessTree {
 public:
  TwaitProcessTree();

  // Returns when the process tree has ended, or at once when the command
  // cannot be started. The tree is watched through a job object; without
  // one (none can be made, this process sits in a job that refuses
  // breakaway, or the new process cannot join ours) it is followed through
  // process snapshots by parent id instead, so the command always runs and
  // is waited for. Snapshots cannot see a child whose parent started it and
  // ended between two polls; they are taken often while the tree changes.
  void Run(const std::wstring& commandLine);

  // From any thread: a running wait returns at once, and no later Run starts
  // anything. The processes themselves go on: they are other programs.
  void Abort();
  bool Aborted() const;

  const std::wstring& CommandLine() const { return FCommandLine; }

  // The started process writes its standard output and error to NUL instead
  // of this process's own (whose output may be machine-read).
  bool QuietChildren = false;

  // For tests: behave as if no job object could be created.
  bool SimulateNoJob = false;

 private:
  void WaitForTree();

  std::wstring FCommandLine;
  UniqueKernelHandle FAbort;  // manual-reset event
};

}  // namespace quor
