#include "inventory/UninstallObject.h"

#include "base/Text.h"
#include "inventory/ProgramSize.h"

namespace quor {
namespace {

std::atomic<uint64_t> gLastSerial{0};

}  // namespace

TUninstallObject::TUninstallObject() : Serial(++gLastSerial) {}

TUninstallObject::~TUninstallObject() { ClearLeftovers(); }

void TUninstallObject::AssignFrom(const TUninstallItem& item) {
  RootKey = item.RootKey;
  KeyPath = item.KeyPath;
  DisplayName = item.DisplayName;
  FolderName = item.FolderName;
  DisplayIcon = item.DisplayIcon;
  InstallLocation = item.InstallLocation;
  Publisher = item.Publisher;
  DisplayVersion = item.DisplayVersion;
  ProductGuid = item.ProductGuid;
  ModifyPath = item.ModifyPath;
  HelpLink = item.HelpLink;
  UninstallString = item.UninstallString;
  Size = item.Size;
  InstallDate = item.InstallDate;
}

int32_t TUninstallObject::AddLeftover(const TLeftOverItem& item) {
  if (!FLeftoverIndex.insert(LowerAscii(item.Path)).second) return -1;
  Leftovers.push_back(item);
  FLeftoverKept.push_back(false);
  FLeftoverResults.emplace_back();
  return static_cast<int32_t>(Leftovers.size() - 1);
}

bool TUninstallObject::IsNewLeftover(const TLeftOverItem& item) const {
  return FLeftoverIndex.find(LowerAscii(item.Path)) == FLeftoverIndex.end();
}

void TUninstallObject::ClearLeftovers() {
  Leftovers.clear();
  FLeftoverKept.clear();
  FLeftoverResults.clear();
  FLeftoverIndex.clear();
  FKeptBelow.clear();
  FBackupSet.clear();
}

void TUninstallObject::SetLeftoverKept(int32_t index, bool kept) {
  if (index >= 0 && index < LeftoverCount()) FLeftoverKept[static_cast<size_t>(index)] = kept;
}

bool TUninstallObject::IsLeftoverKept(int32_t index) const {
  return index >= 0 && index < LeftoverCount() && FLeftoverKept[static_cast<size_t>(index)];
}

void TUninstallObject::SetLeftoverResult(int32_t index, TRemovalState state, std::wstring reason) {
  if (index < 0 || index >= LeftoverCount()) return;
  FLeftoverResults[static_cast<size_t>(index)] = {state, std::move(reason)};
}

TRemovalState TUninstallObject::LeftoverState(int32_t index) const {
  if (index < 0 || index >= LeftoverCount()) return TRemovalState::NotTried;
  return FLeftoverResults[static_cast<size_t>(index)].State;
}

const std::wstring& TUninstallObject::LeftoverError(int32_t index) const {
  static const std::wstring kNone;
  if (index < 0 || index >= LeftoverCount()) return kNone;
  return FLeftoverResults[static_cast<size_t>(index)].Reason;
}

int32_t TUninstallObject::LeftoverCount() const { return static_cast<int32_t>(Leftovers.size()); }

const TLeftOverItem* TUninstallObject::GetLeftover(int32_t index) const {
  if (index < 0 || index >= LeftoverCount()) return nullptr;
  return &Leftovers[static_cast<size_t>(index)];
}

TSoftwareList::TSoftwareList(TSizeReadySink sink)
    : FSizeWorkers(std::make_shared<TSizeWorkers>(std::move(sink))) {}

TSoftwareList::~TSoftwareList() { Clear(); }

int32_t TSoftwareList::Add(int32_t position, const TUninstallItem& item) {
  auto record = std::make_shared<TUninstallObject>();
  record->AssignFrom(item);
  record->FSizeWorkers = FSizeWorkers;
  if (position < 0 || position > Count()) {
    position = Count();
    FItems.push_back(record);
  } else {
    FItems.insert(FItems.begin() + position, record);
  }
  record->Index = position;
  return position;
}

// A record whose size computation still runs is only released from the
// list here; the computation's own reference keeps it alive until it has
// seen the record detached and stopped.
void TSoftwareList::Clear() {
  for (auto& record : FItems) record->Detached = true;
  FItems.clear();
}

std::shared_ptr<TUninstallObject> TSoftwareList::Items(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FItems[static_cast<size_t>(index)];
}

int32_t TSoftwareList::Count() const { return static_cast<int32_t>(FItems.size()); }

std::shared_ptr<TUninstallObject> TSoftwareList::FindBySerial(uint64_t serial) const {
  for (const auto& record : FItems) {
    if (record->Serial == serial) return record;
  }
  return nullptr;
}

}  // namespace quor
