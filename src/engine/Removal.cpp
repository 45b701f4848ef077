#include "engine/Removal.h"

#include <winternl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "base/FileBackup.h"
#include "base/Handles.h"
#include "base/Text.h"
#include "engine/Backup.h"
#include "engine/EngineCore.h"
#include "engine/LeftoverScan.h"
#include "engine/ProtectedFolders.h"
#include "engine/RegBackup.h"
#include "inventory/Registry.h"

extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);

namespace quor {
namespace {

constexpr DWORD kOpenLink = REG_OPTION_OPEN_LINK;

bool HoldsNul(std::wstring_view text) { return text.find(L'\0') != std::wstring_view::npos; }

std::wstring WithoutTrailingBackslash(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

UniqueRegKey OpenLinkKey(HKEY parent, const std::wstring& name, DWORD access, LSTATUS& error) {
  UniqueRegKey key;
  error = ::RegOpenKeyExW(parent, name.c_str(), kOpenLink, access, key.Put());
  if (error != ERROR_SUCCESS) key.Reset();
  return key;
}

// Opens a key one level at a time, each level as itself: a registry link on
// the way stops the walk (ThroughLink). The key itself may be a link.
UniqueRegKey OpenKeyExact(HKEY root, const std::wstring& path, DWORD access, TDeleteResult& result) {
  if (!root || Trim(path).empty() || HoldsNul(path)) {
    result.Error = ERROR_INVALID_NAME;
    return {};
  }
  const DWORD wow = RegAccessMask(TRegAccess::Read) & (KEY_WOW64_64KEY | KEY_WOW64_32KEY);
  UniqueRegKey current;
  HKEY parent = root;
  size_t start = 0;
  for (;;) {
    const size_t end = std::min(path.find(L'\\', start), path.size());
    const std::wstring name = path.substr(start, end - start);
    if (name.empty()) {
      result.Error = ERROR_INVALID_NAME;
      return {};
    }
    const bool last = end == path.size();
    LSTATUS error = ERROR_SUCCESS;
    UniqueRegKey next = OpenLinkKey(parent, name, (last ? access : KEY_READ) | wow, error);
    if (!next) {
      result.Error = static_cast<DWORD>(error);
      return {};
    }
    if (last) return next;
    if (IsRegistryLink(next.Get())) {
      result.ThroughLink = true;
      return {};
    }
    current = std::move(next);
    parent = current.Get();
    start = end + 1;
  }
}

DWORD DeleteKeyHandle(HKEY key) {
  const NTSTATUS status = NtDeleteKey(key);
  return status < 0 ? ::RtlNtStatusToDosError(status) : ERROR_SUCCESS;
}

std::vector<std::wstring> ValueNamesOf(HKEY key) {
  std::vector<std::wstring> names;
  std::wstring buffer(16384, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD len = static_cast<DWORD>(buffer.size());
    if (::RegEnumValueW(key, i, buffer.data(), &len, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(buffer.data(), len);
  }
  return names;
}

struct TKeyFrame {
  UniqueRegKey Key;
  std::wstring Path;  // displayed form, for the keep test
  std::vector<std::wstring> Children;
  size_t Next = 0;
  bool Listed = false;
  bool Stays = false;
  bool HoldsKept = false;
};

// A key that holds kept entries loses its other values; the kept ones and
// the key stay.
void EmptyValuesAround(TKeyFrame& frame, const TKeepSet& keep) {
  for (const auto& name : ValueNamesOf(frame.Key.Get())) {
    if (HoldsNul(name) || keep.Keeps(frame.Path + L"\\" + name)) {
      frame.Stays |= HoldsNul(name);
      continue;
    }
    if (::RegDeleteValueW(frame.Key.Get(), name.c_str()) != ERROR_SUCCESS) frame.Stays = true;
  }
}

void StepIntoKey(std::vector<TKeyFrame>& stack, const TKeepSet& keep, DWORD access) {
  TKeyFrame& frame = stack.back();
  const std::wstring name = frame.Children[frame.Next++];
  const std::wstring path = frame.Path + L"\\" + name;
  // The system would open the name up to its NUL: another key.
  if (HoldsNul(name)) {
    frame.Stays = true;
    return;
  }
  if (keep.Keeps(path)) {
    frame.HoldsKept = true;
    return;
  }
  LSTATUS error = ERROR_SUCCESS;
  UniqueRegKey child = OpenLinkKey(frame.Key.Get(), name, access, error);
  if (!child) {
    frame.Stays |= error != ERROR_FILE_NOT_FOUND;
    return;
  }
  if (IsRegistryLink(child.Get())) {
    frame.Stays |= DeleteKeyHandle(child.Get()) != ERROR_SUCCESS;
    return;
  }
  TKeyFrame next;
  next.Key = std::move(child);
  next.Path = path;
  stack.push_back(std::move(next));
}

// Deletes an open key with everything below it, sub-keys before their
// parents, with a stack of its own (any depth). Links below go as
// themselves.
TDeleteResult DeleteKeyTree(UniqueRegKey top, const std::wstring& topPath, const TKeepSet& keep,
                            DWORD access) {
  std::vector<TKeyFrame> stack;
  TKeyFrame first;
  first.Key = std::move(top);
  first.Path = topPath;
  stack.push_back(std::move(first));
  TDeleteResult result;
  for (;;) {
    TKeyFrame& frame = stack.back();
    if (!frame.Listed) {
      frame.Listed = true;
      GetSubKeyNamesOf(frame.Key.Get(), frame.Children);
      if (keep.HoldsKept(frame.Path)) {
        frame.HoldsKept = true;
        EmptyValuesAround(frame, keep);
      }
      continue;
    }
    if (frame.Next < frame.Children.size()) {
      StepIntoKey(stack, keep, access);
      continue;
    }
    TKeyFrame done = std::move(stack.back());
    stack.pop_back();
    result = {};
    if (done.HoldsKept) {
      result.HoldsKept = true;
    } else if (done.Stays) {
      result.Error = ERROR_DIR_NOT_EMPTY;
    } else {
      result.Error = DeleteKeyHandle(done.Key.Get());
    }
    if (stack.empty()) return result;
    stack.back().HoldsKept |= result.HoldsKept;
    stack.back().Stays |= !result.HoldsKept && !result.Removed();
  }
}

TDeleteResult DeleteKeyExact(HKEY root, const std::wstring& path, const TKeepSet& keep) {
  const DWORD access = RegAccessMask(TRegAccess::Full);
  TDeleteResult result;
  UniqueRegKey key = OpenKeyExact(root, path, access, result);
  if (!key) {
    if (result.Error == ERROR_FILE_NOT_FOUND) result.Error = ERROR_SUCCESS;  // gone already
    return result;
  }
  if (IsRegistryLink(key.Get())) {
    result.Error = DeleteKeyHandle(key.Get());
    return result;
  }
  return DeleteKeyTree(std::move(key), RootKeyName(root) + L"\\" + path, keep, access);
}

TDeleteResult DeleteValueExact(HKEY root, const std::wstring& path, const std::wstring& name) {
  TDeleteResult result;
  if (HoldsNul(name)) {
    result.Error = ERROR_INVALID_NAME;
    return result;
  }
  UniqueRegKey key = OpenKeyExact(root, path, KEY_QUERY_VALUE | KEY_SET_VALUE, result);
  if (!key) {
    if (result.Error == ERROR_FILE_NOT_FOUND) result.Error = ERROR_SUCCESS;
    return result;
  }
  if (IsRegistryLink(key.Get())) {
    result.LinkLeft = true;
    return result;
  }
  const LSTATUS error = ::RegDeleteValueW(key.Get(), name.c_str());
  result.Error = error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<DWORD>(error);
  return result;
}

std::wstring ReasonOf(const TDeleteResult& result, bool registry) {
  if (result.HoldsKept) return L"kept: holds kept items";
  if (result.LinkLeft) return L"link left in place";
  if (result.ThroughLink) return registry ? L"a key on its path is a link" : L"a folder on its path is a link";
  if (result.Error == ERROR_DIR_NOT_EMPTY) return L"not empty: some of its contents could not be removed";
  if (result.Error == ERROR_INVALID_NAME) return L"the name cannot be used as it is (it holds a NUL character or is not a full path)";
  return SystemErrorText(result.Error);
}

class TRemoval {
 public:
  TRemoval(TEngineCore& engine, TUninstallObject& program, const TBackupOptions& backup)
      : FEngine(engine),
        FProgram(program),
        FBackupOptions(backup),
        FGuard(TProtectedFolders::ForProgram(&program)) {
    FHeldBy = KeepItemsInsideKept(program);
    for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
      if (program.IsLeftoverKept(i)) FKeep.Add(program.GetLeftover(i)->Path);
    }
    for (const auto& path : program.KeptBelow()) FKeep.Add(path);
  }

  void Run() {
    int32_t registration = -1;
    for (int32_t i = 0; i < FProgram.LeftoverCount(); ++i) {
      FProgram.SetLeftoverResult(i, TRemovalState::NotTried);
      if (FProgram.IsLeftoverKept(i)) {
        FProgram.SetLeftoverResult(i, TRemovalState::Kept, KeptReason(i));
      } else if (registration < 0 && IsRegistrationItem(*FProgram.GetLeftover(i), FProgram)) {
        registration = i;
      }
    }
    FRefused.assign(static_cast<size_t>(std::max(FProgram.LeftoverCount(), 0)), std::wstring());
    FEngine.SetProgress(0);
    FEngine.ReportProgress();
    FProgram.SetBackupSet({});
    if (FBackupOptions.Enabled && !StartBackup()) return;
    Pass([](uint8_t kind) { return kind == lkFile || kind == lkFolder; }, registration);
    Pass([](uint8_t kind) { return kind == lkRegValue; }, registration);
    Pass([](uint8_t kind) { return kind == lkRegKey; }, registration);
    if (registration >= 0) RemoveRegistration(registration);
    FinishBackup();
  }

 private:
  template <typename KindTest>
  void Pass(KindTest wanted, int32_t registration) {
    for (int32_t i = 0; i < FProgram.LeftoverCount(); ++i) {
      const TLeftOverItem* item = FProgram.GetLeftover(i);
      if (!item || i == registration || FProgram.IsLeftoverKept(i) || !wanted(item->Kind)) continue;
      FEngine.ReportCurrentItem(item->Path);
      if (FRefused[static_cast<size_t>(i)].empty()) {
        Record(i, Remove(i, *item), item->Kind == lkRegKey || item->Kind == lkRegValue);
      } else {
        FProgram.SetLeftoverResult(i, TRemovalState::Failed, FRefused[static_cast<size_t>(i)]);
      }
      Step();
    }
  }

  std::wstring KeptReason(int32_t index) const {
    const TLeftOverItem& item = *FProgram.GetLeftover(index);
    if (const int32_t holder = FHeldBy[static_cast<size_t>(index)]; holder >= 0) {
      return FProgram.GetLeftover(holder)->Kind == lkRegKey ? L"kept: inside a kept key"
                                                            : L"kept: inside a kept folder";
    }
    return item.Confidence == TConfidence::Low ? L"kept: weak match" : L"kept";
  }

  // One more item tried: the progress counts items, against LeftoverCount.
  void Step() {
    FEngine.SetProgress(FEngine.Progress() + 1);
    FEngine.ReportProgress();
  }

  bool Wanted(int32_t index) const {
    return FProgram.GetLeftover(index) && !FProgram.IsLeftoverKept(index);
  }

  // Opens the set and writes the registry part before anything is deleted.
  // Without a set nothing is deleted: every item fails with the reason.
  bool StartBackup() {
    std::wstring error;
    FBackup = TBackupWriter::Create(FBackupOptions, FProgram, error);
    if (!FBackup) {
      for (int32_t i = 0; i < FProgram.LeftoverCount(); ++i) {
        if (Wanted(i)) {
          FProgram.SetLeftoverResult(i, TRemovalState::Failed, L"not removed: the backup could not be written (" + error + L")");
        }
      }
      return false;
    }
    FProgram.SetBackupSet(FBackup->Id());
    TRegExport all;
    for (int32_t i = 0; i < FProgram.LeftoverCount(); ++i) {
      const TLeftOverItem* item = FProgram.GetLeftover(i);
      if (!Wanted(i) || (item->Kind != lkRegKey && item->Kind != lkRegValue) || !item->Root) continue;
      TRegExport one;
      if (item->Kind == lkRegKey) {
        ExportRegKey(item->Root, item->KeyPath, FKeep, one);
      } else {
        ExportRegValue(item->Root, item->KeyPath, item->ValueName, one);
      }
      TBackupItem& record = FBackup->Item(i);
      record.Size = one.Bytes;
      record.Place = one.Keys.empty() ? std::wstring() : kRegistryFileName;
      for (auto& key : one.Keys) all.Keys.push_back(std::move(key));
      NoteNotBackedUp(i, one.NotBackedUp);
    }
    if (!FBackup->WriteRegistry(all.Keys, error) || !FBackup->WriteRecord(error)) {
      for (int32_t i = 0; i < FProgram.LeftoverCount(); ++i) {
        const uint8_t kind = FProgram.GetLeftover(i)->Kind;
        if (Wanted(i) && (kind == lkRegKey || kind == lkRegValue)) {
          FRefused[static_cast<size_t>(i)] = L"not removed: the backup could not be written (" + error + L")";
        }
      }
    }
    return true;
  }

  // What the export or the move could not back up stays in place: kept
  // from the deletion, and the item is reported as failed.
  void NoteNotBackedUp(int32_t index, const std::vector<std::pair<std::wstring, std::wstring>>& paths) {
    for (const auto& [path, why] : paths) {
      FKeep.Add(path);
      std::wstring& reason = FNotBackedUp[index];
      if (reason.empty()) reason = path + L": " + why;
    }
  }

  void FinishBackup() {
    if (!FBackup) return;
    for (int32_t i = 0; i < FProgram.LeftoverCount(); ++i) {
      TBackupItem& record = FBackup->Item(i);
      switch (FProgram.LeftoverState(i)) {
        case TRemovalState::Removed: record.Outcome = "removed"; break;
        case TRemovalState::Kept: record.Outcome = "kept"; break;
        case TRemovalState::Failed: record.Outcome = "failed"; break;
        case TRemovalState::NotTried: record.Outcome = "pending"; break;
      }
      record.Error = FProgram.LeftoverError(i);
    }
    PlaceNestedItems();
    std::wstring error;
    FBackup->WriteRecord(error);
  }

  // An item that went with a listed folder above it lies in that folder's
  // place in the set.
  void PlaceNestedItems() {
    for (int32_t i = 0; i < FProgram.LeftoverCount(); ++i) {
      TBackupItem& record = FBackup->Item(i);
      if (!record.Place.empty() || record.Outcome != "removed" || record.Kind > lkFolder) continue;
      const std::wstring path = WithoutTrailingBackslash(record.Path);
      for (int32_t j = 0; j < FProgram.LeftoverCount(); ++j) {
        const TBackupItem& folder = FBackup->Item(j);
        const std::wstring base = WithoutTrailingBackslash(folder.Path);
        if (j == i || folder.Kind != lkFolder || folder.Place.empty() || path.size() <= base.size() + 1 ||
            path[base.size()] != L'\\' || !SameTextAscii(std::wstring_view(path).substr(0, base.size()), base)) {
          continue;
        }
        record.Place = folder.Place + path.substr(base.size());
        break;
      }
    }
  }

  TDeleteResult MoveToBackup(int32_t index, const TLeftOverItem& item) {
    std::wstring error;
    const std::wstring dest = FBackup->PrepareFilePlace(index, item.Path, error);
    if (dest.empty()) {
      FNotBackedUp[index] = L"the backup could not be written (" + error + L")";
      return TDeleteResult{ERROR_CANNOT_MAKE};
    }
    TBackupMove move;
    if (item.Kind == lkFile) {
      move = MoveFileToBackup(item.Path, dest);
    } else {
      move = MoveFolderToBackup(item.Path, dest, FolderKeepTest(), nullptr);
    }
    TBackupItem& record = FBackup->Item(index);
    record.Size = move.Bytes;
    if (!move.Renamed && move.Files == 0 && !ExactPathExists(dest)) record.Place.clear();
    NoteNotBackedUp(index, move.NotBackedUp);
    return move.Result;
  }

  TKeepTest FolderKeepTest() const {
    return [this](const std::wstring& path) { return FKeep.Keeps(path) || FGuard.ContainsPathText(path); };
  }

  // The registration goes only when nothing else that was meant to go stays,
  // so the program can be found and tried again.
  void RemoveRegistration(int32_t index) {
    for (int32_t i = 0; i < FProgram.LeftoverCount(); ++i) {
      if (FProgram.LeftoverState(i) == TRemovalState::Failed) {
        FProgram.SetLeftoverResult(index, TRemovalState::Failed,
                                   L"kept while other items stay, so the removal can be tried again");
        return;
      }
    }
    const TLeftOverItem& item = *FProgram.GetLeftover(index);
    FEngine.ReportCurrentItem(item.Path);
    if (FRefused[static_cast<size_t>(index)].empty()) {
      Record(index, Remove(index, item), true);
    } else {
      FProgram.SetLeftoverResult(index, TRemovalState::Failed, FRefused[static_cast<size_t>(index)]);
    }
    Step();
  }

  TDeleteResult Remove(int32_t index, const TLeftOverItem& item) {
    switch (item.Kind) {
      case lkFile: {
        if (FBackup && !ExactPathExists(item.Path)) return {};
        // A link holds nothing to back up: it goes as itself, or stays.
        if (FBackup && ExactPathIsLink(item.Path)) return DeleteFileExact(item.Path);
        TDeleteResult result = FBackup ? MoveToBackup(index, item) : DeleteFileExact(item.Path);
        if (!result.Removed() && !ExactPathExists(item.Path)) result = {};
        return result;
      }
      case lkFolder: {
        if (FGuard.Contains(item.Path)) return TDeleteResult{ERROR_ACCESS_DENIED};
        if (FBackup && !ExactPathExists(WithoutTrailingBackslash(item.Path))) return {};
        if (FBackup && ExactPathIsLink(item.Path))
          return RemoveFolderItem(item.Path, FKeep, FGuard);
        TDeleteResult result = FBackup ? MoveToBackup(index, item) : RemoveFolderItem(item.Path, FKeep, FGuard);
        if (!result.Removed() && !result.HoldsKept && !ExactPathExists(item.Path)) result = {};
        return result;
      }
      case lkRegKey:
        if (!item.Root) return TDeleteResult{ERROR_INVALID_NAME};
        return DeleteKeyExact(item.Root, item.KeyPath, FKeep);
      case lkRegValue:
        if (!item.Root) return TDeleteResult{ERROR_INVALID_NAME};
        return DeleteValueExact(item.Root, item.KeyPath, item.ValueName);
      default:
        return TDeleteResult{ERROR_INVALID_PARAMETER};
    }
  }

  void Record(int32_t index, const TDeleteResult& result, bool registry) {
    RecordResult(index, result, registry);
    if (auto found = FNotBackedUp.find(index); found != FNotBackedUp.end()) {
      FProgram.SetLeftoverResult(index, TRemovalState::Failed, L"not backed up, so left in place: " + found->second);
    }
  }

  void RecordResult(int32_t index, const TDeleteResult& result, bool registry) {
    if (result.Removed()) {
      FProgram.SetLeftoverResult(index, TRemovalState::Removed);
    } else if (result.HoldsKept) {
      FProgram.SetLeftoverResult(index, TRemovalState::Kept, ReasonOf(result, registry));
    } else if (result.LinkLeft && !registry) {
      // The link itself could not be told from its target here (Wine): it
      // stays, and nothing it points to is touched.
      FProgram.SetLeftoverResult(
          index, TRemovalState::Kept,
          L"kept: a link, left in place because this system cannot remove it "
          L"without reaching what it points to");
    } else if (result.Error == ERROR_ACCESS_DENIED && !registry &&
               FGuard.Contains(FProgram.GetLeftover(index)->Path) &&
               FProgram.GetLeftover(index)->Kind == lkFolder) {
      FProgram.SetLeftoverResult(index, TRemovalState::Failed, L"protected folder, left in place");
    } else {
      FProgram.SetLeftoverResult(index, TRemovalState::Failed, ReasonOf(result, registry));
    }
  }

  TEngineCore& FEngine;
  TUninstallObject& FProgram;
  const TBackupOptions& FBackupOptions;
  TProtectedFolders FGuard;
  TKeepSet FKeep;
  std::unique_ptr<TBackupWriter> FBackup;
  std::vector<std::wstring> FRefused;  // items not to be touched, with the reason
  std::map<int32_t, std::wstring> FNotBackedUp;  // items with parts left in place
  std::vector<int32_t> FHeldBy;  // per item, the kept folder or key that keeps it, or -1
};

void ReplacePrefix(std::wstring& path, std::wstring_view from, std::wstring_view to) {
  if (path.size() >= from.size() && std::wstring_view(path).substr(0, from.size()) == from &&
      (path.size() == from.size() || path[from.size()] == L'\\')) {
    path.replace(0, from.size(), to);
  }
}

}  // namespace

void RemoveItems(TEngineCore& engine, TUninstallObject& program, const TBackupOptions& backup) {
  TRemoval(engine, program, backup).Run();
}

std::wstring ComparableItemPath(std::wstring_view text) {
  std::wstring path = Trim(text);
  if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') {
    path = Trim(std::wstring_view(path).substr(1, path.size() - 2));
  }
  for (auto& c : path) {
    if (c == L'/') c = L'\\';
  }
  path = LowerAscii(path);
  if (path.rfind(L"\\\\?\\unc\\", 0) == 0) {
    path = L"\\\\" + path.substr(8);
  } else if (path.rfind(L"\\\\?\\", 0) == 0) {
    path = path.substr(4);
  }
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  ReplacePrefix(path, L"hkcr", L"hkey_classes_root");
  ReplacePrefix(path, L"hkcu", L"hkey_current_user");
  ReplacePrefix(path, L"hklm", L"hkey_local_machine");
  ReplacePrefix(path, L"hku", L"hkey_users");
  ReplacePrefix(path, L"hkey_local_machine\\software\\classes", L"hkey_classes_root");
  ReplacePrefix(path, L"hkey_current_user\\software\\classes", L"hkey_classes_root");
  return path;
}

namespace {

bool IsContainer(const TLeftOverItem* item) {
  return item && (item->Kind == lkFolder || item->Kind == lkRegKey);
}

// The kept containers that lie inside no other kept container, by index:
// the others keep nothing more. Shorter paths first, so that an outer one
// is met before what it holds.
std::vector<std::pair<std::wstring, int32_t>> OutermostKept(const std::vector<std::wstring>& paths,
                                                            const TUninstallObject& program,
                                                            const std::vector<bool>& kept) {
  std::vector<std::pair<std::wstring, int32_t>> candidates;
  for (int32_t i = 0; i < static_cast<int32_t>(paths.size()); ++i) {
    if (kept[i] && IsContainer(program.GetLeftover(i)) && !paths[i].empty())
      candidates.emplace_back(paths[i], i);
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const auto& a, const auto& b) { return a.first.size() < b.first.size(); });
  std::vector<std::pair<std::wstring, int32_t>> outermost;
  for (auto& candidate : candidates) {
    bool inside = false;
    for (const auto& outer : outermost)
      inside = inside || IsAtOrBelow(candidate.first, outer.first);
    if (!inside) outermost.push_back(std::move(candidate));
  }
  return outermost;
}

}  // namespace

std::vector<int32_t> KeepInsideKeptContainers(const TUninstallObject& program,
                                              std::vector<bool>& kept) {
  const int32_t count = std::min(program.LeftoverCount(), static_cast<int32_t>(kept.size()));
  std::vector<std::wstring> paths(static_cast<size_t>(std::max(count, 0)));
  for (int32_t i = 0; i < count; ++i) paths[i] = ComparableItemPath(program.GetLeftover(i)->Path);
  const auto outermost = OutermostKept(paths, program, kept);
  std::vector<int32_t> heldBy(paths.size(), -1);
  for (int32_t i = 0; !outermost.empty() && i < count; ++i) {
    if (kept[i]) continue;
    for (const auto& [path, index] : outermost) {
      if (IsAtOrBelow(paths[i], path)) {
        kept[i] = true;
        heldBy[i] = index;
        break;
      }
    }
  }
  return heldBy;
}

std::vector<int32_t> KeepItemsInsideKept(TUninstallObject& program) {
  std::vector<bool> kept(static_cast<size_t>(std::max(program.LeftoverCount(), 0)));
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) kept[i] = program.IsLeftoverKept(i);
  std::vector<int32_t> heldBy = KeepInsideKeptContainers(program, kept);
  for (int32_t i = 0; i < static_cast<int32_t>(heldBy.size()); ++i) {
    if (heldBy[i] >= 0) program.SetLeftoverKept(i, true);
  }
  return heldBy;
}

void TKeepSet::Add(std::wstring_view path) {
  std::wstring comparable = ComparableItemPath(path);
  if (!comparable.empty()) FPaths.push_back(std::move(comparable));
}

bool TKeepSet::Keeps(std::wstring_view path) const {
  if (FPaths.empty()) return false;
  const std::wstring comparable = ComparableItemPath(path);
  for (const auto& kept : FPaths) {
    if (IsAtOrBelow(comparable, kept)) return true;
  }
  return false;
}

bool TKeepSet::HoldsKept(std::wstring_view path) const {
  if (FPaths.empty()) return false;
  const std::wstring comparable = ComparableItemPath(path);
  for (const auto& kept : FPaths) {
    if (kept != comparable && IsAtOrBelow(kept, comparable)) return true;
  }
  return false;
}

TDeleteResult RemoveFolderItem(const std::wstring& folder, const TKeepSet& keep,
                               const TProtectedFolders& guard) {
  if (guard.Contains(folder)) return TDeleteResult{ERROR_ACCESS_DENIED};
  return RemoveFolderTree(
      folder,
      [&](const std::wstring& path) { return keep.Keeps(path) || guard.ContainsPathText(path); },
      nullptr);
}

bool ForceDeleteFile(const std::wstring& path) { return DeleteFileExact(path).Removed(); }

bool DeleteRegKeyItem(const std::wstring& itemPath) {
  const size_t slash = itemPath.find(L'\\');
  if (slash == std::wstring::npos) return false;
  return DeleteRegKey(RootKeyByName(itemPath.substr(0, slash)), itemPath.substr(slash + 1));
}

// Without a backslash after the root the rest is a key path and the value is
// the key's default value; a trailing backslash says the same.
bool DeleteRegValueItem(const std::wstring& itemPath) {
  const size_t slash = itemPath.find(L'\\');
  if (slash == std::wstring::npos) return false;
  const std::wstring rest = itemPath.substr(slash + 1);
  const size_t last = rest.rfind(L'\\');
  const std::wstring key = last == std::wstring::npos ? rest : rest.substr(0, last);
  const std::wstring value = last == std::wstring::npos ? L"" : rest.substr(last + 1);
  return DeleteRegValue(RootKeyByName(itemPath.substr(0, slash)), key, value);
}

bool DeleteRegKey(HKEY root, const std::wstring& path) {
  if (!root || Trim(path).empty() || !KeyExists(root, path)) return false;
  return DeleteKeyExact(root, path, TKeepSet{}).Removed();
}

bool DeleteRegValue(HKEY root, const std::wstring& path, const std::wstring& name) {
  TDeleteResult result;
  UniqueRegKey key = OpenKeyExact(root, path, KEY_QUERY_VALUE, result);
  if (!key || ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) !=
                  ERROR_SUCCESS) {
    return false;
  }
  return DeleteValueExact(root, path, name).Removed();
}

UniqueRegKey OpenRegKeyExact(HKEY root, const std::wstring& path, DWORD access, TDeleteResult& result) {
  return OpenKeyExact(root, path, access, result);
}

bool LeftoverExists(const TLeftOverItem& item) {
  switch (item.Kind) {
    case lkFile:
    case lkFolder:
      return ExactPathExists(WithoutTrailingBackslash(item.Path));
    case lkRegKey: {
      TDeleteResult result;
      return item.Root && (OpenKeyExact(item.Root, item.KeyPath, KEY_QUERY_VALUE, result) ||
                           result.ThroughLink || result.Error == ERROR_ACCESS_DENIED);
    }
    case lkRegValue: {
      TDeleteResult result;
      UniqueRegKey key = item.Root ? OpenKeyExact(item.Root, item.KeyPath, KEY_QUERY_VALUE, result)
                                   : UniqueRegKey();
      return key && !HoldsNul(item.ValueName) && QueryRegValue(key.Get(), item.ValueName);
    }
    default:
      return false;
  }
}

bool IsRegistrationItem(const TLeftOverItem& item, const TUninstallObject& program) {
  if (item.Kind != lkRegKey) return false;
  if (item.MatchedBy == TMatchedBy::Registration) return true;
  return item.Root && item.Root == program.RootKey && !program.KeyPath.empty() &&
         SameTextAscii(item.KeyPath, program.KeyPath);
}

}  // namespace quor
