#pragma once
// Deleting a program's uninstall registration (Delete Entries) the way a
// removal deletes: a backup set that holds the registration key is written
// first, so that the restore can put it back like any other set, and nothing
// is deleted when that set cannot be written whole.

#include <string>

#include "engine/Backup.h"
#include "inventory/UninstallObject.h"

namespace quor {

struct TEntryDeletion {
  bool Deleted = false;   // the registration key is gone
  std::wstring BackupId;  // the set that holds it; empty when backups are off or none was made
  std::wstring Error;     // why the key stays (nothing deleted), or what failed while deleting
};

// Backs the record's registration key up into a set of its own (unless
// `options` disables backups), then deletes the key with everything below
// it. A key that cannot be exported whole (a registry link inside it, a
// name the export cannot hold) is not deleted.
TEntryDeletion DeleteRegistrationBackedUp(const TUninstallObject& program,
                                          const TBackupOptions& options);

}  // namespace quor
