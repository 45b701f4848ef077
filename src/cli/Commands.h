#pragma once

#include <string>
#include <vector>

#include "engine/Backup.h"

namespace quor::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoMatch = 3;
inline constexpr int kExitAmbiguous = 4;

using Args = std::vector<std::wstring>;

int RunList(const Args& args);
int RunSize(const Args& args);
int RunUninstall(const Args& args);
int RunModify(const Args& args);
int RunScan(const Args& args);
int RunRemove(const Args& args);
int RunDeleteEntry(const Args& args);
int RunBackups(const Args& args);
int RunRestore(const Args& args);

// The backup before a removal: on unless --no-backup or Config.ini says off.
TBackupOptions BackupOptions(bool noBackup);
// Deletes the backup sets beyond the age and size limits of Config.ini.
void ApplyStartupRetention();

}  // namespace quor::cli
