#pragma once
// Backup sets: what a removal writes before it deletes anything, so that the
// removal can be undone. One folder per removal below the backup folder,
// named "<yyyy-mm-dd HHMMSS> <display name>" (its id), holding
//   registry.reg  every registry key and value the removal deletes, in the
//                 registry editor's export format;
//   files\<n>\    the files and folders of leftover item n, moved there;
//   backup.json   the program record, the time, and every item with its
//                 path, kind, size, place in the set and removal outcome,
//                 with the SHA-256 of registry.reg, sealed (BackupSeal.h).

#include <windows.h>

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "base/RegFile.h"
#include "engine/BackupSeal.h"
#include "inventory/UninstallObject.h"

namespace quor {

struct TBackupOptions {
  bool Enabled = true;
  std::wstring Folder;           // holds the sets; empty: DefaultBackupFolder()
  std::optional<FILETIME> Time;  // the set's time (UTC); now when unset
};

// "%LOCALAPPDATA%\Quor Uninstaller\Backups" (the environment's value, else
// the shell's local application-data folder); empty when neither is known.
std::wstring DefaultBackupFolder();
std::wstring BackupFolderOf(const TBackupOptions& options);

inline constexpr wchar_t kRegistryFileName[] = L"registry.reg";
inline constexpr wchar_t kRecordFileName[] = L"backup.json";
// Limits on what a set's files may hold before they are parsed.
inline constexpr size_t kMaxRecordBytes = 64u << 20;
inline constexpr int kMaxRecordNesting = 32;

struct TBackupItem {
  std::wstring Path;
  uint8_t Kind = lkFile;
  int64_t Size = 0;    // bytes: file contents, or registry value data
  std::wstring Place;  // relative to the set ("files\3\app", "registry.reg"); empty: nothing held
  std::string Outcome = "pending";  // "pending", "removed", "kept", "failed"
  std::wstring Error;
};

const char* BackupKindName(uint8_t kind);
// A display name made safe as part of a folder name.
std::wstring SafeFolderName(const std::wstring& name);

// The set a removal is writing.
class TBackupWriter {
 public:
  // Creates the set's folder; null with the reason in `error` when it cannot.
  static std::unique_ptr<TBackupWriter> Create(const TBackupOptions& options,
                                               const TUninstallObject& program,
                                               std::wstring& error);

  const std::wstring& Folder() const { return FFolder; }
  const std::wstring& Id() const { return FId; }

  TBackupItem& Item(int32_t index);
  // The full path an item's file or folder moves to (its folder is made);
  // empty with the reason in `error` when it cannot be made.
  std::wstring PrepareFilePlace(int32_t index, const std::wstring& path, std::wstring& error);
  bool WriteRegistry(const std::vector<TRegFileKey>& keys, std::wstring& error);
  // backup.json with the items as they stand now.
  bool WriteRecord(std::wstring& error);

 private:
  TBackupWriter() = default;

  std::wstring FFolder;  // with no trailing backslash
  std::wstring FId;
  nlohmann::ordered_json FProgram;
  std::string FTime, FTimeUtc;
  std::vector<TBackupItem> FItems;
  std::optional<TBackupSeal> FSeal;
  std::string FRegistryDigest;  // SHA-256 of registry.reg as written
};

// The record's file text: `record` with a "seal" member that covers all
// of the rest; empty when it cannot be sealed.
std::string SealedRecordText(nlohmann::ordered_json record, const TBackupSeal& seal);
// The record of a set's file text when its seal is this program's, without
// the seal; otherwise nothing, with the reason in `why`. Bounded: the size
// and the nesting are checked before anything is parsed.
std::optional<nlohmann::ordered_json> OpenSealedRecord(std::string_view text,
                                                       const TBackupSeal& seal, std::wstring& why);
// Whether no array or object in the JSON text nests deeper than `limit`.
bool JsonNestingWithin(std::string_view text, int limit);

// Writes bytes to a new file beside `path` and moves it over `path`.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes, std::wstring& error);

}  // namespace quor
