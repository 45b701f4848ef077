#pragma once
// The backup settings in Config.ini, section "Backup":
//   Enabled=1        0 turns the backup before every removal off
//   KeepDays=30      sets older than this are deleted at start-up (0: kept)
//   MaxTotalMB=2048  beyond this total the oldest sets go first (0: no limit)

#include <string>

#include "engine/BackupSets.h"

namespace quor {

struct TBackupSettings {
  bool Enabled = true;
  TRetention Retention;
};

// Missing keys, or values that are no whole non-negative numbers, keep their
// defaults.
TBackupSettings ReadBackupSettings(const std::wstring& configFile);

// Config.ini as the program finds it for the executable in `exeDir`: beside
// it when there is one, else in the user's settings folder, which is not made.
std::wstring ConfigFileFor(const std::wstring& exeDir);

}  // namespace quor
