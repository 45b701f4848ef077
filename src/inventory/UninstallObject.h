#pragma once
// The installed-program record, its transfer record, the leftover item and
// the list that owns the records.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "inventory/DateTime.h"

namespace quor {

class TSizeWorkers;
class TUninstallObject;

// Told on the measuring thread that a record's size is known. It must not
// wait for the thread that clears or destroys the record list.
using TSizeReadySink = std::function<void(const std::shared_ptr<TUninstallObject>&)>;

// Kinds of leftover item.
enum : uint8_t { lkFile = 0, lkFolder = 1, lkRegKey = 2, lkRegValue = 3 };

// What found a leftover item.
enum class TMatchedBy : uint8_t {
  InstallFolder,  // inside the program's install folder
  Registration,   // the program's own uninstall registration key
  Location,       // bears the install location
  Name,           // bears the display name
  Folder,         // bears the install folder's name
  Guid,           // bears the product code
  RelatedFolder,  // inside a folder that was found related
};

// How sure the scan is that an item is the program's. Weak items start out
// kept: the user must choose to remove them.
enum class TConfidence : uint8_t { High, Low };

struct TLeftOverItem {
  TLeftOverItem() = default;
  TLeftOverItem(std::wstring path, uint8_t kind) : Path(std::move(path)), Kind(kind) {}

  std::wstring Path;  // the displayed path (kinds and forms: see lkFile...)
  uint8_t Kind = lkFile;
  // Registry items also keep the root, the key path below it and, for a
  // value, the value name apart, so that a value name that holds or ends in
  // a backslash is deleted exactly. Root is null for files and folders.
  HKEY Root = nullptr;
  std::wstring KeyPath;
  std::wstring ValueName;
  TMatchedBy MatchedBy = TMatchedBy::Name;
  TConfidence Confidence = TConfidence::High;
};

// What the last removal did with a leftover item.
enum class TRemovalState : uint8_t {
  NotTried,  // no removal has run since the scan
  Removed,   // gone
  Kept,      // stays by choice: kept by the user, or a folder or key holding kept items
  Failed,    // meant to go, but stays
};

// One uninstall registration as read from the registry; copied by value.
struct TUninstallItem {
  HKEY RootKey = nullptr;
  std::wstring KeyPath;
  std::wstring DisplayName;
  std::wstring FolderName;
  std::wstring DisplayIcon;
  std::wstring InstallLocation;
  std::wstring Publisher;
  std::wstring DisplayVersion;
  std::wstring ProductGuid;
  std::wstring ModifyPath;
  std::wstring HelpLink;
  std::wstring UninstallString;
  int64_t Size = 0;  // KiB; 0 or less: undetermined
  TDateTime InstallDate;
};

class TUninstallObject : public std::enable_shared_from_this<TUninstallObject> {
 public:
  TUninstallObject();
  virtual ~TUninstallObject();
  TUninstallObject(const TUninstallObject&) = delete;
  TUninstallObject& operator=(const TUninstallObject&) = delete;

  // Names this record and no other for the life of the process: numbered
  // from 1 as records are made, never reused (an index names whatever
  // record sits there after a refresh).
  const uint64_t Serial;
  void* ListItem = nullptr;  // the main window's row showing this record; not owned
  int32_t Index = -1;
  HKEY RootKey = nullptr;
  std::wstring KeyPath;
  std::wstring DisplayName;
  std::wstring FolderName;
  std::wstring DisplayIcon;
  std::wstring InstallLocation;
  std::wstring Publisher;
  std::wstring DisplayVersion;
  std::wstring ProductGuid;
  std::wstring ModifyPath;
  std::wstring HelpLink;
  std::wstring UninstallString;
  // Written by the size computation's thread, read by the user-interface thread.
  std::atomic<int64_t> Size{0};
  TDateTime InstallDate;
  std::atomic<bool> SizeComputing{false};
  std::atomic<bool> SizeDone{false};
  // Set when a refresh drops the record from its list: a computation still
  // running for it stops, and nobody is told of its size.
  std::atomic<bool> Detached{false};

  void AssignFrom(const TUninstallItem& item);

  // The known size in KiB, or -1 while it is computed; the first query of an
  // undetermined size starts the computation.
  // A record outside any list is measured at once; a record dropped from
  // its list is not measured any more.
  int64_t GetSize();

  int32_t AddLeftover(const TLeftOverItem& item);
  bool IsNewLeftover(const TLeftOverItem& item) const;
  void ClearLeftovers();
  int32_t LeftoverCount() const;
  const TLeftOverItem* GetLeftover(int32_t index) const;

  // Items the user chose to keep are spared by the removal; every item
  // starts out to be removed.
  void SetLeftoverKept(int32_t index, bool kept);
  bool IsLeftoverKept(int32_t index) const;

  // Paths below listed items that the removal spares as well (each with the
  // folders or keys above it), in the form the removal compares.
  void AddKeptBelow(std::wstring path) { FKeptBelow.push_back(std::move(path)); }
  const std::vector<std::wstring>& KeptBelow() const { return FKeptBelow; }

  // The outcome of the last removal for each item, and why an item stays
  // (the system's error text, "kept", "link left in place"...).
  void SetLeftoverResult(int32_t index, TRemovalState state, std::wstring reason = {});
  TRemovalState LeftoverState(int32_t index) const;
  const std::wstring& LeftoverError(int32_t index) const;
  // The name of the backup set the last removal wrote; empty when it wrote none.
  void SetBackupSet(std::wstring name) { FBackupSet = std::move(name); }
  const std::wstring& BackupSet() const { return FBackupSet; }

 private:
  friend class TSoftwareList;
  std::weak_ptr<TSizeWorkers> FSizeWorkers;  // those of the list that holds the record
  std::vector<TLeftOverItem> Leftovers;
  std::vector<bool> FLeftoverKept;
  struct TResult {
    TRemovalState State = TRemovalState::NotTried;
    std::wstring Reason;
  };
  std::vector<TResult> FLeftoverResults;
  std::vector<std::wstring> FKeptBelow;
  std::wstring FBackupSet;
  // Paths folded over A to Z, so that the duplicate test does not compare
  // each new item with every earlier one.
  std::unordered_set<std::wstring> FLeftoverIndex;
};

// Ordered list of records, and the size computations of its records.
// Records are held by shared ownership so that a computation running on
// another thread can keep its record alive across a Clear.
class TSoftwareList {
 public:
  explicit TSoftwareList(TSizeReadySink sink = {});
  // Clears the list, then stops and joins the size computations.
  ~TSoftwareList();
  TSoftwareList(const TSoftwareList&) = delete;
  TSoftwareList& operator=(const TSoftwareList&) = delete;

  int32_t Add(int32_t position, const TUninstallItem& item);
  // Drops every record; their running size computations stop untold.
  void Clear();
  std::shared_ptr<TUninstallObject> Items(int32_t index) const;
  int32_t Count() const;
  // The record with that serial while it is in the list, else none.
  std::shared_ptr<TUninstallObject> FindBySerial(uint64_t serial) const;

  TSizeWorkers& SizeWorkers() { return *FSizeWorkers; }

 private:
  std::vector<std::shared_ptr<TUninstallObject>> FItems;
  std::shared_ptr<TSizeWorkers> FSizeWorkers;  // records refer to it weakly
};

}  // namespace quor
