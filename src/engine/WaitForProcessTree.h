#pragma once
// Runs a command line and returns when the process and every process it
// started, directly or not, have ended.

#include <windows.h>

#include <optional>
#include <string>

#include "base/CommandLine.h"
#include "base/Handles.h"

namespace quor {

class TwaitProcessTree {
 public:
  TwaitProcessTree();

  // Runs a registered command as ResolveRegisteredCommand reads it, never
  // anything else. Returns when the process tree has ended, or at once when
  // the command is refused or cannot be started: false then, with the reason
  // in Error(). The tree is watched through a job object; without
  // one (none can be made, this process sits in a job that refuses
  // breakaway, or the new process cannot join ours) it is followed through
  // process snapshots by parent id instead, so the command always runs and
  // is waited for. Snapshots cannot see a child whose parent started it and
  // ended between two polls; they are taken often while the tree changes.
  bool Run(const std::wstring& commandLine);
  // Why the last Run started nothing; empty when it started the command.
  const std::wstring& Error() const { return FError; }
  // The exit code of the process the last Run started, once it has ended;
  // nothing when it started none, or the wait was aborted while it ran.
  std::optional<DWORD> ExitCode() const { return FExitCode; }

  // From any thread: a running wait returns at once, and no later Run starts
  // anything. The processes themselves go on: they are other programs.
  void Abort();
  bool Aborted() const;

  const std::wstring& CommandLine() const { return FCommandLine; }

  // The started process writes its standard output and error to NUL instead
  // of this process's own (whose output may be machine-read).
  bool QuietChildren = false;

  // Where bare program names, the Windows Installer and the command
  // interpreter are taken from.
  TCommandContext Context = TCommandContext::ForSystem();

  // For tests: behave as if no job object could be created.
  bool SimulateNoJob = false;

 private:
  bool WaitForTree(const TResolvedCommand& command);

  std::wstring FCommandLine;
  std::wstring FError;
  std::optional<DWORD> FExitCode;
  UniqueKernelHandle FAbort;  // manual-reset event
};

}  // namespace quor
