#pragma once
// Uninstalling this program from its own list: telling its registration
// apart, and deleting its executables, which cannot go while they run, once
// this process has ended. No deletion waits for a restart (that needs an
// administrator); a hidden command interpreter waits for this process instead.

#include <windows.h>

#include <string>
#include <vector>

#include "base/Handles.h"
#include "inventory/UninstallObject.h"

namespace quor {

// The folder of the running executable, without a trailing backslash.
std::wstring OwnExecutableFolder();
// The full path of the running executable.
std::wstring OwnExecutablePath();

// Whether the registration is this program's: its install location, or
// without one the folder of its uninstaller, is `ownFolder` (compared
// without case, trailing backslashes, quotes or short names).
bool IsOwnRegistration(const TUninstallObject& program, const std::wstring& ownFolder);

// Of the running executable and quor.exe beside it, those that exist.
std::vector<std::wstring> OwnExecutables(const std::wstring& runningExe);

struct TScheduledDeletion {
  bool Scheduled = false;
  std::wstring Error;  // why nothing was scheduled
  // The waiting side: once every copy of this handle is closed (at the end
  // of this process, or when a test closes it) the files are deleted.
  UniqueKernelHandle Hold;
};

// Starts a hidden command interpreter that waits until `Hold` is closed,
// then deletes each file (trying again for about a minute while one is still
// in use) and removes `folder` when it is empty. The paths reach it through
// its environment, so no character of a path is read as a command; a path
// with "!" is refused (some interpreters read it again).
TScheduledDeletion ScheduleDeletionAfterExit(const std::vector<std::wstring>& files,
                                             const std::wstring& folder);

}  // namespace quor
