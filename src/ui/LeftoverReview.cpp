#include "ui/LeftoverReview.h"

#include <algorithm>

#include "app/LangText.h"
#include "base/CanonicalPath.h"
#include "base/LongPath.h"
#include "engine/Removal.h"
#include "inventory/ProgramSize.h"
#include "inventory/Registry.h"
#include "toolkit/QuorTreeItems.h"
#include "ui/RegistryEditor.h"

namespace quor {

TReviewGroup ReviewGroupOf(uint8_t kind) {
  switch (kind) {
    case lkFile:
    case lkFolder: return TReviewGroup::Files;
    case lkRegKey:
    case lkRegValue: return TReviewGroup::Registry;
    default: return TReviewGroup::None;
  }
}

int ReviewIconOf(uint8_t kind) {
  switch (kind) {
    case lkFolder: return 0;
    case lkFile: return 1;
    case lkRegKey:
    case lkRegValue: return 2;
    default: return -1;
  }
}

bool StartsTicked(const TUninstallObject& program, int32_t index) {
  const TLeftOverItem* item = program.GetLeftover(index);
  return item && item->Confidence != TConfidence::Low && !program.IsLeftoverKept(index);
}

std::vector<bool> StartTicks(const TUninstallObject& program) {
  std::vector<bool> ticked(static_cast<size_t>(std::max(program.LeftoverCount(), 0)));
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) ticked[i] = StartsTicked(program, i);
  FollowFolderTicks(program, ticked, -1);
  return ticked;
}

void FollowFolderTicks(const TUninstallObject& program, std::vector<bool>& ticked,
                       int32_t changed) {
  const int32_t count = std::min(program.LeftoverCount(), static_cast<int32_t>(ticked.size()));
  const TLeftOverItem* folder =
      changed >= 0 && changed < count ? program.GetLeftover(changed) : nullptr;
  if (folder && (folder->Kind == lkFolder || folder->Kind == lkRegKey)) {
    const std::wstring base = ComparableItemPath(folder->Path);
    for (int32_t i = 0; i < count && !base.empty(); ++i) {
      if (IsAtOrBelow(ComparableItemPath(program.GetLeftover(i)->Path), base))
        ticked[i] = ticked[changed];
    }
  }
  std::vector<bool> kept(ticked.size());
  for (size_t i = 0; i < ticked.size(); ++i) kept[i] = !ticked[i];
  KeepInsideKeptContainers(program, kept);
  for (size_t i = 0; i < ticked.size(); ++i) ticked[i] = !kept[i];
}

TLangText FoundReason(const TLeftOverItem& item) {
  if (item.Confidence == TConfidence::Low)
    return {L"FoundWeak", L"weak: name inside a longer word"};
  switch (item.MatchedBy) {
    case TMatchedBy::Name:
    case TMatchedBy::Folder: return {L"FoundByName", L"named after the program"};
    case TMatchedBy::InstallFolder:
    case TMatchedBy::RelatedFolder: return {L"FoundInFolder", L"inside the install folder"};
    case TMatchedBy::Location: return {L"FoundByLocation", L"points into the install folder"};
    case TMatchedBy::Guid: return {L"FoundByGuid", L"product code"};
    case TMatchedBy::Registration: return {L"FoundRegistration", L"the program's registration"};
  }
  return {L"FoundByName", L"named after the program"};
}

std::wstring FoundReasonText(const TLeftOverItem& item) {
  const TLangText reason = FoundReason(item);
  return GetLangText(L"Uninstall", reason.Key, reason.Default);
}

int TickedChildren(const TQuorDTVItem& group) {
  int ticked = 0;
  for (int i = 0; i < group.ChildCount(); ++i) ticked += group.Child(i)->CheckState() == kCheckTicked;
  return ticked;
}

std::wstring GroupCountText(const TQuorDTVItem& group, const std::wstring& itemsWord) {
  if (group.ChildCount() == 0) return {};
  return L" (" + std::to_wstring(TickedChildren(group)) + L" " + itemsWord + L")";
}

TRegistryTarget RegistryTargetOf(const TLeftOverItem& item) {
  if (item.Kind == lkRegKey) return {item.Root ? RootKeyName(item.Root) + L"\\" + item.KeyPath : item.Path, {}};
  if (item.Root) return {RootKeyName(item.Root) + L"\\" + item.KeyPath, item.ValueName};
  auto [key, value] = SplitValuePath(item.Path);
  return {std::move(key), std::move(value)};
}

TItemSize MeasureLeftover(const TLeftOverItem& item, const std::function<bool()>& stop) {
  if (item.Kind != lkFile && item.Kind != lkFolder) return {};
  std::wstring path = item.Path;
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data)) return {};
  if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return {TItemSize::TKind::Link};
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return {TItemSize::TKind::Bytes,
            int64_t((uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow)};
  int64_t entries = 0;
  const int64_t bytes =
      GetFolderSize(path, [&] { return (stop && stop()) || ++entries > kMaxSizeEntries; });
  return {TItemSize::TKind::Bytes, bytes, entries > kMaxSizeEntries};
}

std::wstring ItemSizeText(const TItemSize& size, const std::wstring& linkWord) {
  switch (size.Kind) {
    case TItemSize::TKind::Bytes:
      return (size.Partial ? L"\u2265 " : L"") + FormatSize(size.Bytes);
    case TItemSize::TKind::Link:
      return linkWord;
    case TItemSize::TKind::Unknown:
      break;
  }
  return {};
}

}  // namespace quor
