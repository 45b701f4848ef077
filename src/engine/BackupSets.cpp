#include "engine/BackupSets.h"

#include <algorithm>

#include "base/FindFile.h"
#include "base/Handles.h"
#include "base/RegFile.h"
#include "base/Text.h"
#include "engine/RegBackup.h"

namespace quor {
namespace {

constexpr size_t kMaxRecordBytes = 256u << 20;
constexpr uint64_t kTicksPerDay = 24ULL * 60 * 60 * 10'000'000;

uint64_t Ticks(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(ExactLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<uint64_t>(size.QuadPart) > kMaxRecordBytes) {
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!bytes.empty() && (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                         got != bytes.size())) {
    return std::nullopt;
  }
  return bytes;
}

std::optional<FILETIME> ParseUtc(const std::string& text) {
  SYSTEMTIME t{};
  unsigned y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (std::sscanf(text.c_str(), "%4u-%2u-%2uT%2u:%2u:%2uZ", &y, &mo, &d, &h, &mi, &s) != 6) return std::nullopt;
  t.wYear = static_cast<WORD>(y);
  t.wMonth = static_cast<WORD>(mo);
  t.wDay = static_cast<WORD>(d);
  t.wHour = static_cast<WORD>(h);
  t.wMinute = static_cast<WORD>(mi);
  t.wSecond = static_cast<WORD>(s);
  FILETIME out{};
  if (!::SystemTimeToFileTime(&t, &out)) return std::nullopt;
  return out;
}

uint8_t KindOf(const std::string& name) {
  if (name == "folder") return lkFolder;
  if (name == "regkey") return lkRegKey;
  if (name == "regvalue") return lkRegValue;
  return lkFile;
}

std::string Text(const nlohmann::json& j, const char* key) {
  const auto it = j.find(key);
  return it != j.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::optional<nlohmann::json> ReadRecord(const std::wstring& folder) {
  auto bytes = ReadWholeFile(folder + L"\\" + kRecordFileName);
  if (!bytes) return std::nullopt;
  auto j = nlohmann::json::parse(*bytes, nullptr, false);
  if (j.is_discarded() || !j.is_object()) return std::nullopt;
  return j;
}

std::optional<TBackupSetInfo> ReadSet(const std::wstring& root, const std::wstring& id) {
  TBackupSetInfo set;
  set.Id = id;
  set.Folder = root + L"\\" + id;
  const auto j = ReadRecord(set.Folder);
  if (!j) return std::nullopt;
  const auto utc = ParseUtc(Text(*j, "timeUtc"));
  if (!utc) return std::nullopt;
  set.TimeUtc = *utc;
  set.Time = Text(*j, "time");
  if (const auto p = j->find("program"); p != j->end() && p->is_object()) {
    set.Program = FromUtf8(Text(*p, "displayName"));
  }
  set.Size = j->value("size", int64_t{0});
  set.Restored = j->value("restored", false);
  if (const auto items = j->find("items"); items != j->end() && items->is_array()) {
    for (const auto& i : *items) {
      if (!i.is_object()) continue;
      TBackupItem item;
      item.Path = FromUtf8(Text(i, "path"));
      item.Kind = KindOf(Text(i, "kind"));
      item.Size = i.value("size", int64_t{0});
      item.Place = FromUtf8(Text(i, "place"));
      item.Outcome = Text(i, "outcome");
      item.Error = FromUtf8(Text(i, "error"));
      set.ItemList.push_back(std::move(item));
    }
  }
  for (const auto& item : set.ItemList) set.Items += item.Place.empty() ? 0 : 1;
  return set;
}

// A place inside the place of another item: it goes back with that item.
bool IsNested(const TBackupSetInfo& set, const TBackupItem& item) {
  for (const auto& other : set.ItemList) {
    if (&other == &item || other.Kind != lkFolder || other.Place.empty()) continue;
    if (item.Place.size() > other.Place.size() && item.Place[other.Place.size()] == L'\\' &&
        item.Place.compare(0, other.Place.size(), other.Place) == 0) {
      return true;
    }
  }
  return false;
}

bool IsAtOrBelowText(const std::wstring& path, const std::wstring& base) {
  return SameTextAscii(path, base) ||
         (path.size() > base.size() && path[base.size()] == L'\\' &&
          SameTextAscii(std::wstring_view(path).substr(0, base.size()), base));
}

void RestoreFiles(const TBackupSetInfo& set, bool overwrite, TRestoreReport& report) {
  for (const auto& item : set.ItemList) {
    if (item.Kind > lkFolder || item.Place.empty() || IsNested(set, item)) continue;
    const std::wstring from = set.Folder + L"\\" + item.Place;
    if (!ExactPathExists(from) && ExactPathExists(item.Path)) continue;  // put back before
    std::vector<TRestoreItemResult> left;
    const bool all = RestoreFromBackup(from, item.Path, overwrite,
                                       [&](const std::wstring& path, TRestoreState state, const std::wstring& why) {
                                         left.push_back({path, item.Kind, state, why});
                                       });
    report.Items.push_back({item.Path, item.Kind, all ? TRestoreState::Restored : left.front().State,
                            all ? std::wstring() : left.front().Reason});
    if (!all && !(left.size() == 1 && left.front().Path == item.Path)) {
      for (auto& l : left) report.Items.push_back(std::move(l));
    }
    (all ? report.Restored : report.NotRestored) += 1;
  }
}

void RestoreRegistry(const TBackupSetInfo& set, bool overwrite, TRestoreReport& report) {
  std::vector<const TBackupItem*> items;
  for (const auto& item : set.ItemList) {
    if (item.Kind >= lkRegKey && item.Place == kRegistryFileName) items.push_back(&item);
  }
  if (items.empty()) return;
  const auto bytes = ReadWholeFile(set.Folder + L"\\" + kRegistryFileName);
  const TRegFileParse file = bytes ? ParseRegFile(*bytes) : TRegFileParse{{}, L"cannot be read", 0};
  if (!file.Error.empty()) {
    for (const auto* item : items) {
      report.Items.push_back({item->Path, item->Kind, TRestoreState::Failed,
                              std::wstring(kRegistryFileName) + L" line " + std::to_wstring(file.ErrorLine) +
                                  L": " + file.Error});
      report.NotRestored += 1;
    }
    return;
  }
  std::vector<TRestoreItemResult> left;
  ImportRegFile(file.Keys, overwrite, [&](const std::wstring& path, TRestoreState state, const std::wstring& why) {
    left.push_back({path, lkRegValue, state, why});
  });
  for (const auto* item : items) {
    const TRestoreItemResult* first = nullptr;
    for (const auto& l : left) {
      if (IsAtOrBelowText(l.Path, item->Path)) {
        first = &l;
        break;
      }
    }
    report.Items.push_back({item->Path, item->Kind, first ? first->State : TRestoreState::Restored,
                            first ? first->Reason : std::wstring()});
    (first ? report.NotRestored : report.Restored) += 1;
  }
  for (auto& l : left) {
    if (!std::any_of(items.begin(), items.end(), [&](const TBackupItem* i) { return SameTextAscii(i->Path, l.Path); })) {
      report.Items.push_back(std::move(l));
    }
  }
}

void MarkRestored(const TBackupSetInfo& set, const TRestoreReport& report) {
  auto j = ReadRecord(set.Folder);
  if (!j) return;
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  char text[32] = {};
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  (*j)["restored"] = true;
  (*j)["restoredTime"] = text;
  (*j)["restoreLeft"] = report.NotRestored;
  std::wstring error;
  WriteWholeFile(set.Folder + L"\\" + kRecordFileName,
                 j->dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n", error);
}

}  // namespace

std::vector<TBackupSetInfo> ListBackupSets(const std::wstring& root) {
  std::vector<TBackupSetInfo> sets;
  if (root.empty()) return sets;
  for (const auto& entry : ListFolder(root)) {
    if (!IsFolderEntry(entry) || IsLinkEntry(entry)) continue;
    if (auto set = ReadSet(root, entry.cFileName)) sets.push_back(std::move(*set));
  }
  std::sort(sets.begin(), sets.end(), [](const TBackupSetInfo& a, const TBackupSetInfo& b) {
    return Ticks(a.TimeUtc) != Ticks(b.TimeUtc) ? Ticks(a.TimeUtc) < Ticks(b.TimeUtc) : a.Id < b.Id;
  });
  return sets;
}

std::optional<TBackupSetInfo> FindBackupSet(const std::wstring& root, const std::wstring& id, bool& ambiguous) {
  ambiguous = false;
  std::optional<TBackupSetInfo> found;
  int matches = 0;
  for (auto& set : ListBackupSets(root)) {
    if (set.Id == id) return std::move(set);
    if (!id.empty() && set.Id.compare(0, id.size(), id) == 0) {
      ++matches;
      found = std::move(set);
    }
  }
  ambiguous = matches > 1;
  return matches == 1 ? found : std::nullopt;
}

TRestoreReport RestoreBackupSet(const TBackupSetInfo& set, bool overwrite) {
  TRestoreReport report;
  RestoreFiles(set, overwrite, report);
  RestoreRegistry(set, overwrite, report);
  MarkRestored(set, report);
  return report;
}

bool DeleteBackupSet(const TBackupSetInfo& set) { return RemoveFolderTree(set.Folder, nullptr, nullptr).Removed(); }

std::vector<TBackupSetInfo> ApplyRetention(const std::wstring& root, const TRetention& retention,
                                           const FILETIME& now) {
  std::vector<TBackupSetInfo> deleted;
  std::vector<TBackupSetInfo> sets = ListBackupSets(root);
  std::vector<TBackupSetInfo> left;
  for (auto& set : sets) {
    const bool old = retention.MaxAgeDays > 0 &&
                     Ticks(now) > Ticks(set.TimeUtc) + static_cast<uint64_t>(retention.MaxAgeDays) * kTicksPerDay;
    if (old && DeleteBackupSet(set)) {
      deleted.push_back(std::move(set));
    } else {
      left.push_back(std::move(set));
    }
  }
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

std::vector<TBackupSetInfo> PurgeBackupSets(const std::wstring& root, std::optional<int32_t> olderThanDays,
                                            const FILETIME& now) {
  std::vector<TBackupSetInfo> deleted;
  for (auto& set : ListBackupSets(root)) {
    const bool old = !olderThanDays || *olderThanDays <= 0 ||
                     Ticks(now) > Ticks(set.TimeUtc) + static_cast<uint64_t>(*olderThanDays) * kTicksPerDay;
    if (old && DeleteBackupSet(set)) deleted.push_back(std::move(set));
  }
  return deleted;
}

}  // namespace quor
