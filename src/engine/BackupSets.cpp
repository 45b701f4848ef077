#include "engine/BackupSets.h"

#include <algorithm>
#include <cstdio>

#include "base/CanonicalPath.h"
#include "base/FindFile.h"
#include "base/Handles.h"
#include "base/RegFile.h"
#include "base/Text.h"
#include "engine/ProtectedFolders.h"
#include "engine/RegBackup.h"
#include "inventory/Registry.h"
#include "inventory/UninstallObject.h"

namespace quor {
namespace {

using TJson = nlohmann::ordered_json;

constexpr uint64_t kTicksPerDay = 24ULL * 60 * 60 * 10'000'000;
// No set holds more than this (1 PiB): a larger size is no size.
constexpr int64_t kMaxSetBytes = int64_t{1} << 50;
constexpr size_t kMaxItems = 1'000'000;

uint64_t Ticks(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path, size_t limit,
                                         std::wstring& why) {
  UniqueKernelHandle file(::CreateFileW(ExactLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.Get(), &size)) {
    why = SystemErrorText(::GetLastError());
    return std::nullopt;
  }
  if (size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > limit) {
    why = L"larger than any set writes";
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!bytes.empty() &&
      (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
       got != bytes.size())) {
    why = L"cannot be read whole";
    return std::nullopt;
  }
  return bytes;
}

std::optional<FILETIME> ParseUtc(const std::string& text) {
  unsigned y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  char z = 0;
  if (text.size() != 20 ||
      std::sscanf(text.c_str(), "%4u-%2u-%2uT%2u:%2u:%2u%c", &y, &mo, &d, &h, &mi, &s, &z) != 7 ||
      z != 'Z' || y < 1601 || y > 30827) {
    return std::nullopt;
  }
  const SYSTEMTIME t{
      static_cast<WORD>(y),  static_cast<WORD>(mo), 0, static_cast<WORD>(d), static_cast<WORD>(h),
      static_cast<WORD>(mi), static_cast<WORD>(s),  0};
  FILETIME out{};
  if (!::SystemTimeToFileTime(&t, &out)) return std::nullopt;
  return out;
}

std::optional<uint8_t> KindOf(const std::string& name) {
  for (uint8_t kind : {lkFile, lkFolder, lkRegKey, lkRegValue}) {
    if (name == BackupKindName(kind)) return kind;
  }
  return std::nullopt;
}

const std::string* TextMember(const TJson& j, const char* key) {
  const auto it = j.find(key);
  return it != j.end() && it->is_string() ? it->get_ptr<const std::string*>() : nullptr;
}

// A byte count as this program writes one: a whole number from 0 to the limit.
std::optional<int64_t> SizeMember(const TJson& j, const char* key) {
  const auto it = j.find(key);
  if (it == j.end()) return std::nullopt;
  if (it->is_number_unsigned()) {
    const uint64_t v = it->get<uint64_t>();
    if (v <= static_cast<uint64_t>(kMaxSetBytes)) return static_cast<int64_t>(v);
  } else if (it->is_number_integer() && it->get<int64_t>() == 0) {
    return 0;
  }
  return std::nullopt;
}

bool ReadItem(const TJson& i, TBackupItem& item, std::wstring& why) {
  const std::string* path = i.is_object() ? TextMember(i, "path") : nullptr;
  const std::string* kind = path ? TextMember(i, "kind") : nullptr;
  const std::string* place = kind ? TextMember(i, "place") : nullptr;
  const auto size = place ? SizeMember(i, "size") : std::nullopt;
  const auto known = kind ? KindOf(*kind) : std::nullopt;
  if (!path || path->empty() || !known || !place || !size) {
    why = L"an item without a path, a known kind, a place or a size in range";
    return false;
  }
  item.Path = FromUtf8(*path);
  item.Kind = *known;
  item.Size = *size;
  item.Place = FromUtf8(*place);
  if (const auto* outcome = TextMember(i, "outcome")) item.Outcome = *outcome;
  if (const auto* error = TextMember(i, "error")) item.Error = FromUtf8(*error);
  return true;
}

bool ReadItems(const TJson& j, TBackupSetInfo& set, std::wstring& why) {
  const auto items = j.find("items");
  if (items == j.end() || !items->is_array() || items->size() > kMaxItems) {
    why = L"no list of items";
    return false;
  }
  int64_t held = 0;
  for (const auto& i : *items) {
    TBackupItem item;
    if (!ReadItem(i, item, why)) return false;
    if (!item.Place.empty()) {
      held += item.Size;
      set.Items += 1;
    }
    if (held > kMaxSetBytes) {
      why = L"the items' sizes add up beyond any set";
      return false;
    }
    set.ItemList.push_back(std::move(item));
  }
  return true;
}

// The set a sealed record describes; nothing, with the reason, when a field
// is missing or out of range.
std::optional<TBackupSetInfo> SetOfRecord(const TJson& j, const std::wstring& id,
                                          std::wstring& why) {
  TBackupSetInfo set;
  set.Id = id;
  const std::string* recordId = TextMember(j, "id");
  if (!recordId || FromUtf8(*recordId) != id) {
    why = L"the record belongs to another set";
    return std::nullopt;
  }
  const std::string* utc = TextMember(j, "timeUtc");
  const auto time = utc ? ParseUtc(*utc) : std::nullopt;
  const auto size = SizeMember(j, "size");
  if (!time || !size) {
    why = !time ? L"no valid time" : L"no size in range";
    return std::nullopt;
  }
  set.TimeUtc = *time;
  set.Size = *size;
  if (const auto* local = TextMember(j, "time")) set.Time = *local;
  if (const auto p = j.find("program"); p != j.end() && p->is_object()) {
    if (const auto* name = TextMember(*p, "displayName")) set.Program = FromUtf8(*name);
  }
  if (const auto r = j.find("restored"); r != j.end()) {
    if (!r->is_boolean()) {
      why = L"\"restored\" is no true or false";
      return std::nullopt;
    }
    set.Restored = r->get<bool>();
  }
  if (const auto* when = TextMember(j, "restoredTime")) set.RestoredTime = *when;
  if (!ReadItems(j, set, why)) return std::nullopt;
  return set;
}

std::optional<TJson> ReadRecordOf(const std::wstring& folder,
                                  const std::optional<TBackupSeal>& seal,
                                  const std::wstring& noSeal, std::wstring& why) {
  const auto bytes = ReadWholeFile(folder + L"\\" + kRecordFileName, kMaxRecordBytes, why);
  if (!bytes) {
    why = std::wstring(kRecordFileName) + L": " + why;
    return std::nullopt;
  }
  if (!seal) {
    why = noSeal;
    return std::nullopt;
  }
  return OpenSealedRecord(*bytes, *seal, why);
}

// One folder below the root, read whole: a set or the reason it is none.
// Never throws: one bad folder must not stop the others.
std::optional<TBackupSetInfo> ReadSetFolder(const std::wstring& folder, const std::wstring& id,
                                            const std::optional<TBackupSeal>& seal,
                                            const std::wstring& noSeal, std::wstring& why) {
  try {
    const auto record = ReadRecordOf(folder, seal, noSeal, why);
    if (!record) return std::nullopt;
    auto set = SetOfRecord(*record, id, why);
    if (set) set->Folder = folder;
    return set;
  } catch (const std::exception&) {
    why = L"backup.json cannot be read";
  }
  return std::nullopt;
}

std::optional<TBackupSeal> SealOf(const std::wstring& root, std::wstring& why) {
  std::wstring error;
  auto seal = TBackupSeal::ForRoot(root, false, error);
  if (!seal) why = L"no set can be checked: " + error;
  return seal;
}

std::wstring ParentFolder(const std::wstring& folder) {
  const size_t slash = folder.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

void SortOldestFirst(std::vector<TBackupSetInfo>& sets) {
  std::sort(sets.begin(), sets.end(), [](const TBackupSetInfo& a, const TBackupSetInfo& b) {
    return Ticks(a.TimeUtc) != Ticks(b.TimeUtc) ? Ticks(a.TimeUtc) < Ticks(b.TimeUtc) : a.Id < b.Id;
  });
}

// ---- restoring ----

// A place inside the place of another item: it goes back with that item.
// Whether `item` is held inside the folder item `folder`'s place in the set.
bool HeldInside(const TBackupItem& item, const TBackupItem& folder) {
  return &item != &folder && folder.Kind == lkFolder && !folder.Place.empty() &&
         item.Place.size() > folder.Place.size() && item.Place[folder.Place.size()] == L'\\' &&
         item.Place.compare(0, folder.Place.size(), folder.Place) == 0;
}

bool IsNested(const TBackupSetInfo& set, const TBackupItem& item) {
  return std::any_of(set.ItemList.begin(), set.ItemList.end(),
                     [&](const TBackupItem& other) { return HeldInside(item, other); });
}

bool IsAtOrBelowText(const std::wstring& path, const std::wstring& base) {
  return SameTextAscii(path, base) ||
         (path.size() > base.size() && path[base.size()] == L'\\' &&
          SameTextAscii(std::wstring_view(path).substr(0, base.size()), base));
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

// "files\<n>\name..." with plain names only: nothing that leaves the set.
bool IsPlainPlace(const std::wstring& place) {
  if (place.rfind(L"files\\", 0) != 0) return false;
  size_t start = 0;
  while (start <= place.size()) {
    const size_t end = std::min(place.find(L'\\', start), place.size());
    const std::wstring_view name = std::wstring_view(place).substr(start, end - start);
    if (name.empty() || name == L"." || name == L".." ||
        name.find_first_of(L":/") != std::wstring_view::npos) {
      return false;
    }
    start = end + 1;
  }
  return true;
}

// Why an item's files may not go back to its recorded path; empty when they may.
std::wstring TargetRefusal(const TBackupItem& item, const TProtectedFolders& guard) {
  const std::wstring path = WithoutTrailingBackslash(item.Path);
  const auto plain = CanonicalFolderText(path);
  if (!plain || *plain != path) return L"the recorded path is not a plain full path: not written";
  if (!IsPlainPlace(item.Place))
    return L"its place in the set is not a plain name below files: not read";
  const bool isProtected =
      item.Kind == lkFolder ? guard.Contains(path) : guard.ContainsPathText(path);
  if (isProtected) return L"a protected place (system, program or known folder): not written";
  return {};
}

struct TRestoreRun {
  const TBackupSetInfo& Set;
  const TRestoreOptions& Options;
  TRestoreReport& Report;

  void Refuse(const TBackupItem& item, const std::wstring& why) {
    Line(item, TRestoreState::Failed, why);
  }

  // The item's line, counted once.
  void Line(const TBackupItem& item, TRestoreState state, const std::wstring& why,
            bool inPlace = false) {
    Report.Items.push_back({item.Path, item.Kind, state, why});
    (inPlace                            ? Report.InPlace
     : state == TRestoreState::Restored ? Report.Restored
                                        : Report.NotRestored) += 1;
  }

  // The items held inside the folder item `folder` in the set, each on its
  // own line with what `outcome` says of it.
  template <typename Outcome>
  void ForEachHeldInside(const TBackupItem& folder, Outcome outcome) {
    for (const auto& item : Set.ItemList) {
      if (item.Kind <= lkFolder && HeldInside(item, folder)) outcome(item);
    }
  }
};

constexpr wchar_t kPutBackBefore[] = L"in place: put back before";

// Puts one file or folder item back; answers what was not put back, each
// path with its state and reason.
std::vector<TRestoreItemResult> RestoreOne(TRestoreRun& run, const TBackupItem& item,
                                           const std::wstring& from) {
  std::vector<TRestoreItemResult> left;
  const bool all = RestoreFromBackup(
      run.Set.Folder, from, item.Path, run.Options.Overwrite,
      [&](const std::wstring& path, TRestoreState state, const std::wstring& why) {
        left.push_back({path, item.Kind, state, why});
      });
  if (all) left.clear();
  run.Line(item, all ? TRestoreState::Restored : left.front().State,
           all ? std::wstring() : left.front().Reason);
  if (!(left.size() == 1 && left.front().Path == item.Path)) {
    for (auto l : left) {
      l.Below = true;
      run.Report.Items.push_back(std::move(l));
    }
  }
  return left;
}

void RestoreFiles(TRestoreRun& run, const TProtectedFolders& guard) {
  const TBackupSetInfo& set = run.Set;
  for (const auto& item : set.ItemList) {
    if (item.Kind > lkFolder || item.Place.empty() || IsNested(set, item)) continue;
    if (const std::wstring why = TargetRefusal(item, guard); !why.empty()) {
      run.Refuse(item, why);
      run.ForEachHeldInside(item, [&](const TBackupItem& inner) {
        run.Line(inner, TRestoreState::Failed, L"inside " + item.Path + L": " + why);
      });
      continue;
    }
    const std::wstring from = set.Folder + L"\\" + item.Place;
    if (!ExactPathExists(from) && ExactPathExists(item.Path)) {
      run.Line(item, TRestoreState::Exists, kPutBackBefore, true);
      run.ForEachHeldInside(item, [&](const TBackupItem& inner) {
        run.Line(inner, TRestoreState::Exists, kPutBackBefore, true);
      });
      continue;
    }
    const auto left = RestoreOne(run, item, from);
    run.ForEachHeldInside(item, [&](const TBackupItem& inner) {
      const auto first = std::find_if(left.begin(), left.end(), [&](const TRestoreItemResult& l) {
        return IsAtOrBelowText(l.Path, inner.Path);
      });
      const bool ok = first == left.end();
      run.Line(inner, ok ? TRestoreState::Restored : first->State, ok ? L"" : first->Reason);
    });
  }
}

// The keys and values of the file that the set lists as items: a key at or
// below a key item with all its values, and a value item's own value. The
// rest is left out and reported.
std::vector<TRegFileKey> ListedOnly(const std::vector<TRegFileKey>& keys,
                                    const std::vector<const TBackupItem*>& items,
                                    std::vector<TRestoreItemResult>& refused) {
  std::vector<TRegFileKey> out;
  const std::wstring why = L"not one of the set's items: not written";
  for (const auto& key : keys) {
    if (key.Delete) continue;
    const bool wholeKey = std::any_of(items.begin(), items.end(), [&](const TBackupItem* i) {
      return i->Kind == lkRegKey && IsAtOrBelowText(key.Path, i->Path);
    });
    if (wholeKey) {
      out.push_back(key);
      continue;
    }
    TRegFileKey listed{key.Path, false, {}};
    for (const auto& value : key.Values) {
      const std::wstring path = key.Path + L"\\" + value.Name;
      const bool isItem = std::any_of(items.begin(), items.end(), [&](const TBackupItem* i) {
        return i->Kind == lkRegValue && SameTextAscii(i->Path, path);
      });
      if (isItem) {
        listed.Values.push_back(value);
      } else if (!value.Delete) {
        refused.push_back({path, lkRegValue, TRestoreState::Failed, why});
      }
    }
    if (!listed.Values.empty()) {
      out.push_back(std::move(listed));
    } else if (key.Values.empty()) {
      refused.push_back({key.Path, lkRegKey, TRestoreState::Failed, why});
    }
  }
  return out;
}

// The registry part as written: its bytes must be the ones the record's
// seal covers. Nothing, with the reason, otherwise.
std::optional<TRegFileParse> ReadRegistryPart(const TBackupSetInfo& set, const std::string& digest,
                                              std::wstring& why) {
  const auto bytes = ReadWholeFile(set.Folder + L"\\" + kRegistryFileName, kMaxRegFileBytes, why);
  if (!bytes) return std::nullopt;
  if (digest.empty() || Sha256Hex(*bytes) != digest) {
    why = L"changed since the removal wrote it: nothing imported";
    return std::nullopt;
  }
  TRegFileParse file = ParseRegFile(*bytes);
  if (!file.Error.empty()) {
    why = L"line " + std::to_wstring(file.ErrorLine) + L": " + file.Error;
    return std::nullopt;
  }
  return file;
}

void RestoreRegistry(TRestoreRun& run, const std::string& digest) {
  std::vector<const TBackupItem*> items;
  for (const auto& item : run.Set.ItemList) {
    if (item.Kind >= lkRegKey && item.Place == kRegistryFileName) items.push_back(&item);
  }
  if (items.empty()) return;
  std::wstring why;
  const auto file = ReadRegistryPart(run.Set, digest, why);
  if (!file) {
    for (const auto* item : items) run.Refuse(*item, std::wstring(kRegistryFileName) + L": " + why);
    return;
  }
  std::vector<TRestoreItemResult> left;
  const std::vector<TRegFileKey> listed = ListedOnly(file->Keys, items, left);
  const size_t refused = left.size();
  ImportRegFile(listed, run.Options.Overwrite,
                [&](const std::wstring& path, TRestoreState state, const std::wstring& why) {
                  left.push_back({path, lkRegValue, state, why});
                });
  const auto isItem = [&](const std::wstring& path) {
    return std::any_of(items.begin(), items.end(),
                       [&](const TBackupItem* i) { return SameTextAscii(i->Path, path); });
  };
  std::vector<bool> told(left.size(), false);
  for (const auto* item : items) {
    const auto first = std::find_if(
        left.begin() + static_cast<ptrdiff_t>(refused), left.end(),
        [&](const TRestoreItemResult& l) { return IsAtOrBelowText(l.Path, item->Path); });
    const bool ok = first == left.end();
    run.Report.Items.push_back({item->Path, item->Kind, ok ? TRestoreState::Restored : first->State,
                                ok ? std::wstring() : first->Reason});
    (ok ? run.Report.Restored : run.Report.NotRestored) += 1;
    // The values below the item that the import could not write, under it.
    for (size_t i = refused; i < left.size(); ++i) {
      if (told[i] || !IsAtOrBelowText(left[i].Path, item->Path)) continue;
      told[i] = true;
      if (isItem(left[i].Path)) continue;  // told on that item's own line
      left[i].Below = true;
      run.Report.Items.push_back(left[i]);
    }
  }
  run.Report.NotRestored += static_cast<int32_t>(refused);
  for (size_t i = 0; i < refused; ++i) run.Report.Items.push_back(std::move(left[i]));
}

std::string LocalNowText() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  char text[32] = {};
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  return text;
}

void MarkRestored(const TBackupSetInfo& set, TJson record, const TBackupSeal& seal,
                  const TRestoreReport& report) {
  record["restored"] = true;
  record["restoredTime"] = LocalNowText();
  record["restoreLeft"] = report.NotRestored;
  const std::string text = SealedRecordText(std::move(record), seal);
  std::wstring error;
  if (!text.empty()) WriteWholeFile(set.Folder + L"\\" + kRecordFileName, text, error);
}

// The guard for a restore: every other registration's folders are
// protected, but not those of the registration the set itself removed.
TProtectedFolders GuardFor(const TJson& record) {
  TUninstallObject self;
  if (const auto p = record.find("program"); p != record.end() && p->is_object()) {
    const std::string* root = TextMember(*p, "root");
    const std::string* key = TextMember(*p, "keyPath");
    if (root && key && !key->empty()) {
      self.RootKey = RootKeyByName(FromUtf8(*root));
      self.KeyPath = FromUtf8(*key);
    }
  }
  return TProtectedFolders::ForProgram(&self);
}

}  // namespace

TBackupListing ReadBackupSets(const std::wstring& root) {
  TBackupListing listing;
  if (root.empty()) return listing;
  std::wstring noSeal;
  const auto seal = SealOf(root, noSeal);
  for (const auto& entry : ListFolder(root)) {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    const std::wstring id = entry.cFileName;
    const std::wstring folder = root + L"\\" + id;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      listing.Refused.push_back(
          {id, folder, L"a link, not a set: not followed", entry.ftCreationTime, true});
      continue;
    }
    std::wstring why;
    if (auto set = ReadSetFolder(folder, id, seal, noSeal, why)) {
      listing.Sets.push_back(std::move(*set));
    } else {
      listing.Refused.push_back({id, folder, why, entry.ftCreationTime});
    }
  }
  SortOldestFirst(listing.Sets);
  return listing;
}

std::vector<TBackupSetInfo> ListBackupSets(const std::wstring& root) {
  return ReadBackupSets(root).Sets;
}

TBackupMatch MatchBackupSet(const std::wstring& root, const std::wstring& id) {
  const TBackupListing listing = ReadBackupSets(root);
  TBackupMatch match;
  // An exact id first; else the sets whose ids start with it.
  for (const bool exact : {true, false}) {
    auto matches = [&](const std::wstring& other) {
      return exact ? other == id : !id.empty() && other.compare(0, id.size(), id) == 0;
    };
    for (const auto& set : listing.Sets) {
      if (!matches(set.Id)) continue;
      match.Candidates.push_back(set.Id);
      match.Set = set;
    }
    for (const auto& refused : listing.Refused) {
      if (!matches(refused.Id)) continue;
      match.Candidates.push_back(refused.Id);
      match.Refused = refused;
    }
    if (!match.Candidates.empty()) break;
  }
  if (match.Candidates.size() == 1) {
    match.Candidates.clear();
  } else {
    match.Set.reset();
    match.Refused.reset();
  }
  return match;
}

TRestoreReport RestoreBackupSet(const TBackupSetInfo& given, const TRestoreOptions& options) {
  TRestoreReport report;
  const std::wstring root = ParentFolder(given.Folder);
  std::wstring why, noSeal;
  const auto seal = SealOf(root, noSeal);
  const auto record = ReadRecordOf(given.Folder, seal, noSeal, why);
  auto set = record ? SetOfRecord(*record, given.Id, why) : std::nullopt;
  if (!set) {
    report.Error = given.Id + L": " + why;
    return report;
  }
  set->Folder = given.Folder;
  if (set->Restored && !options.Again) {
    report.RestoredBefore = true;
    report.Error = given.Id + L" was restored before (" + FromUtf8(set->RestoredTime) +
                   L"): restoring it again could put old files and values over changes made since";
    return report;
  }
  TRestoreRun run{*set, options, report};
  RestoreFiles(run, GuardFor(*record));
  const std::string* digest = TextMember(*record, "registrySha256");
  RestoreRegistry(run, digest ? *digest : std::string());
  MarkRestored(*set, *record, *seal, report);
  return report;
}

bool DeleteBackupSet(const TBackupSetInfo& set) {
  return RemoveFolderTree(set.Folder, nullptr, nullptr).Removed();
}

namespace {

bool OlderThan(const FILETIME& time, int32_t days, const FILETIME& now) {
  return Ticks(now) > Ticks(time) + static_cast<uint64_t>(days) * kTicksPerDay;
}

// Refused folders that go by age, as sets for the caller's list.
void DeleteRefusedOlderThan(const std::vector<TRefusedBackupSet>& refused,
                            std::optional<int32_t> days, const FILETIME& now,
                            std::vector<TBackupSetInfo>& deleted) {
  for (const auto& r : refused) {
    if (r.IsLink || (days && !OlderThan(r.FolderTime, *days, now))) continue;
    TBackupSetInfo set;
    set.Id = r.Id;
    set.Folder = r.Folder;
    set.TimeUtc = r.FolderTime;
    if (DeleteBackupSet(set)) deleted.push_back(std::move(set));
  }
}

}  // namespace

std::vector<TBackupSetInfo> ApplyRetention(const std::wstring& root, const TRetention& retention,
                                           const FILETIME& now) {
  std::vector<TBackupSetInfo> deleted;
  TBackupListing listing = ReadBackupSets(root);
  std::vector<TBackupSetInfo> left;
  for (auto& set : listing.Sets) {
    const bool old = retention.MaxAgeDays > 0 && OlderThan(set.TimeUtc, retention.MaxAgeDays, now);
    if (old && DeleteBackupSet(set)) {
      deleted.push_back(std::move(set));
    } else {
      left.push_back(std::move(set));
    }
  }
  if (retention.MaxAgeDays > 0)
    DeleteRefusedOlderThan(listing.Refused, retention.MaxAgeDays, now, deleted);
  int64_t total = 0;
  for (const auto& set : left) total += set.Size;
  for (auto& set : left) {
    if (retention.MaxTotalBytes <= 0 || total <= retention.MaxTotalBytes) break;
    if (DeleteBackupSet(set)) {
      total -= set.Size;
      deleted.push_back(std::move(set));
    }
  }
  return deleted;
}

std::vector<TBackupSetInfo> PurgeBackupSets(const std::wstring& root,
                                            std::optional<int32_t> olderThanDays,
                                            const FILETIME& now) {
  std::vector<TBackupSetInfo> deleted;
  if (olderThanDays && *olderThanDays <= 0) olderThanDays.reset();
  TBackupListing listing = ReadBackupSets(root);
  for (auto& set : listing.Sets) {
    const bool old = !olderThanDays || OlderThan(set.TimeUtc, *olderThanDays, now);
    if (old && DeleteBackupSet(set)) deleted.push_back(std::move(set));
  }
  DeleteRefusedOlderThan(listing.Refused, olderThanDays, now, deleted);
  return deleted;
}

}  // namespace quor
