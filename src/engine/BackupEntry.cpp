#include "engine/BackupEntry.h"

#include <memory>

#include "base/FileDelete.h"
#include "base/Text.h"
#include "engine/RegBackup.h"
#include "engine/Removal.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

// A record like `program` whose only leftover is its registration key: what
// the backup set records as the program and its one item.
std::shared_ptr<TUninstallObject> RegistrationRecord(const TUninstallObject& program) {
  TUninstallItem fields;
  fields.RootKey = program.RootKey;
  fields.KeyPath = program.KeyPath;
  fields.DisplayName = program.DisplayName;
  fields.FolderName = program.FolderName;
  fields.DisplayIcon = program.DisplayIcon;
  fields.InstallLocation = program.InstallLocation;
  fields.Publisher = program.Publisher;
  fields.DisplayVersion = program.DisplayVersion;
  fields.ProductGuid = program.ProductGuid;
  fields.ModifyPath = program.ModifyPath;
  fields.HelpLink = program.HelpLink;
  fields.UninstallString = program.UninstallString;
  fields.Size = program.Size.load();
  fields.InstallDate = program.InstallDate;
  auto record = std::make_shared<TUninstallObject>();
  record->AssignFrom(fields);
  record->Index = program.Index;
  TLeftOverItem key(RootKeyName(program.RootKey) + L"\\" + program.KeyPath, lkRegKey);
  key.Root = program.RootKey;
  key.KeyPath = program.KeyPath;
  key.MatchedBy = TMatchedBy::Registration;
  record->AddLeftover(key);
  return record;
}

// The set with the key exported, or null with the reason. A set that could
// not be completed is taken away again: it holds nothing to restore.
std::unique_ptr<TBackupWriter> WriteEntrySet(const TUninstallObject& record,
                                             const TBackupOptions& options, std::wstring& error) {
  auto set = TBackupWriter::Create(options, record, error);
  if (!set) return nullptr;
  TRegExport exported;
  ExportRegKey(record.RootKey, record.KeyPath, TKeepSet{}, exported);
  if (!exported.NotBackedUp.empty()) {
    error = exported.NotBackedUp.front().first + L": " + exported.NotBackedUp.front().second;
  } else if (exported.Keys.empty()) {
    error = L"the registration key cannot be read";
  } else {
    TBackupItem& item = set->Item(0);
    item.Size = exported.Bytes;
    item.Place = kRegistryFileName;
    if (set->WriteRegistry(exported.Keys, error) && set->WriteRecord(error)) return set;
  }
  RemoveFolderTree(set->Folder(), nullptr, nullptr);
  return nullptr;
}

}  // namespace

TEntryDeletion DeleteRegistrationBackedUp(const TUninstallObject& program,
                                          const TBackupOptions& options) {
  TEntryDeletion result;
  if (!program.RootKey || Trim(program.KeyPath).empty()) {
    result.Error = L"the program has no registration key";
    return result;
  }
  if (!options.Enabled) {
    result.Deleted = DeleteRegKey(program.RootKey, program.KeyPath);
    if (!result.Deleted) result.Error = L"the registration key could not be deleted";
    return result;
  }
  const auto record = RegistrationRecord(program);
  std::wstring error;
  auto set = WriteEntrySet(*record, options, error);
  if (!set) {
    result.Error = L"the backup could not be written (" + error + L")";
    return result;
  }
  result.BackupId = set->Id();
  result.Deleted = DeleteRegKey(program.RootKey, program.KeyPath);
  TBackupItem& item = set->Item(0);
  item.Outcome = result.Deleted ? "removed" : "failed";
  if (!result.Deleted) {
    item.Error = L"the registration key could not be deleted";
    result.Error = item.Error;
  }
  if (!set->WriteRecord(error) && result.Error.empty())
    result.Error = L"the backup's record could not be completed (" + error + L")";
  return result;
}

}  // namespace quor
