#include "inventory/EnumPrograms.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "base/CanonicalPath.h"
#include "base/FindFile.h"
#include "base/Handles.h"
#include "base/Text.h"
#include "inventory/EnvironmentStrings.h"
#include "inventory/KnownFolders.h"
#include "inventory/Registry.h"

namespace quor {

const std::array<const wchar_t*, 79> GenericFolderNames = {
    L"windows", L"system32", L"system", L"program files", L"system volume information",
    L"documents and settings", L"programdata", L"program files(x86)", L"users",
    // Words that describe a part of a program, not the program.
    L"application", L"applications", L"app", L"apps", L"bin", L"lib", L"common",
    L"common files", L"data", L"files", L"install", L"installer", L"installers", L"setup",
    L"uninstall", L"uninstaller", L"uninst", L"update", L"updates", L"updater", L"program",
    L"programs", L"microsoft", L"microsoft shared", L"tools", L"tool", L"utilities", L"shared",
    L"client", L"server", L"launcher", L"service", L"services", L"runtime", L"plugins",
    L"plugin", L"addons", L"extensions", L"modules", L"components", L"resources", L"settings",
    L"config", L"cache", L"logs", L"log", L"temp", L"tmp", L"backup", L"x64", L"x86",
    L"win32", L"win64", L"amd64", L"documents", L"desktop", L"downloads", L"appdata",
    L"local", L"roaming", L"public", L"default", L"software", L"drivers", L"help",
    L"package cache", L"packages", L"start menu", L"startup", L"profile"};

namespace {

constexpr int32_t kMaxEstimatedSizeKiB = 10485760;  // 10 GiB

// Where a value exists with a type other than the expected one, the filter
// stops and the verdict reached so far stands.
enum class TCheck { Absent, WrongType, Hides, Shows };

TCheck CheckDefaultValue(const TRegValueSet& values) {
  const TRegValue* value = values.Find(L"");
  if (!value) return TCheck::Absent;
  if (value->Type != REG_SZ && value->Type != REG_EXPAND_SZ) return TCheck::WrongType;
  return RegBytesToText(value->Data).empty() ? TCheck::Shows : TCheck::Hides;
}

TCheck CheckFlagValue(const TRegValueSet& values, const wchar_t* name) {
  const TRegValue* value = values.Find(name);
  if (!value) return TCheck::Absent;
  if (value->Type != REG_DWORD || value->Data.size() != sizeof(DWORD)) return TCheck::WrongType;
  DWORD flag = 0;
  std::memcpy(&flag, value->Data.data(), sizeof(flag));
  return flag == 1 ? TCheck::Hides : TCheck::Shows;
}

// The folder fallbacks read their values only when the date is not eight
// characters long.
TDateTime InstallDateOf(const TRegValueSet& values) {
  const std::wstring date = Trim(values.String(L"InstallDate"));
  if (date.size() == 8) return ParseInstallDate(date);
  const std::wstring installLocation = values.String(L"InstallLocation");
  if (!installLocation.empty()) return GetFolderDate(installLocation);
  const std::wstring displayIcon = values.String(L"DisplayIcon");
  if (!displayIcon.empty()) return GetFolderDate(FolderPart(displayIcon));
  return TDateTime::Today();
}

int64_t EstimatedSizeOf(const TRegValueSet& values) {
  const int32_t size = values.DWord(L"EstimatedSize");
  return (size >= 1 && size <= kMaxEstimatedSizeKiB) ? size : 0;
}

// Built on the first registration that needs it, once per enumeration,
// whichever reading thread comes first.
class TLazyKnownFolders {
 public:
  const TKnownFolders& Get() {
    std::call_once(FOnce, [this] { FSet.emplace(TKnownFolders::ForMachine()); });
    return *FSet;
  }

 private:
  std::once_flag FOnce;
  std::optional<TKnownFolders> FSet;
};

// Under Wine each registry call is a round trip to the registry server, and
// a listing spends most of its time waiting for them: a few threads overlap
// the waits. For a handful of registrations starting them costs more than it
// saves.
constexpr size_t kThreadedFrom = 64;

unsigned ReadingThreads(size_t registrations) {
  if (registrations < kThreadedFrom) return 1;
  return std::clamp(std::thread::hardware_concurrency(), 2u, 4u);
}

// Calls read(i) for every i below count, spread over the threads; once all
// have ended, rethrows the first exception that one of them met.
template <typename Fn>
void ReadEach(size_t count, unsigned threads, const Fn& read) {
  std::atomic<size_t> next{0};
  std::mutex failureLock;
  std::exception_ptr failure;
  const auto work = [&] {
    try {
      for (size_t i; (i = next.fetch_add(1)) < count;) read(i);
    } catch (...) {
      const std::lock_guard lock(failureLock);
      if (!failure) failure = std::current_exception();
      next = count;
    }
  };
  {
    std::vector<std::jthread> helpers;
    try {
      for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
    } catch (const std::system_error&) {
      // Fewer threads read the same registrations.
    }
    work();
  }
  if (failure) std::rethrow_exception(failure);
}

// A full read takes every value with one enumeration; a listing asks only
// for the values it shows, usually fewer calls than the key has values.
std::optional<TUninstallItem> ReadRegistration(HKEY parent, HKEY root,
                                               const std::wstring& base, const std::wstring& name,
                                               TProgramDetail detail, TLazyKnownFolders& known) {
  auto key = OpenKeyForRead(parent, name);
  if (!key) return std::nullopt;  // an unreadable key has no display name
  const bool full = detail == TProgramDetail::Full;
  const TRegValueSet values =
      full ? TRegValueSet::Read(key.Get()) : TRegValueSet::Ask(key.Get());

  TUninstallItem item;
  item.RootKey = root;
  item.KeyPath = base + name;
  item.DisplayName = values.String(L"DisplayName");
  // Dropped without a name whatever its flags say: asked first, the name
  // spares a listing the flag queries of the many keys that have none.
  if (item.DisplayName.empty() || !IsVisibleEntry(values)) return std::nullopt;
  item.Publisher = values.String(L"Publisher");
  item.DisplayVersion = values.String(L"DisplayVersion");
  item.Size = EstimatedSizeOf(values);
  item.InstallDate = InstallDateOf(values);
  if (full) {
    item.DisplayIcon = values.String(L"DisplayIcon");
    item.InstallLocation = values.String(L"InstallLocation");
    item.UninstallString = values.String(L"UninstallString");
    item.HelpLink = values.String(L"HelpLink");
    item.ModifyPath = values.String(L"ModifyPath");
    item.ProductGuid = values.String(L"ProductGuid");
    if (item.InstallLocation.empty() && !item.UninstallString.empty()) {
      item.InstallLocation = GetUninstallFolder(item.UninstallString, known.Get());
    }
    if (!item.InstallLocation.empty()) {
      item.FolderName = GetFolderName(item.InstallLocation);
      if (IsGenericFolderName(item.FolderName)) item.FolderName.clear();
    }
  }
  return item;
}

}  // namespace

void EnumPrograms(TSoftwareList& list, TProgramDetail detail) {
  list.Clear();
  EnumUninstallKey(list, HKEY_CURRENT_USER, kUninstallKeyPath, detail);
  EnumUninstallKey(list, HKEY_LOCAL_MACHINE, kUninstallKeyPath, detail);
  if (IsWin64()) {
    EnumUninstallKey(list, HKEY_CURRENT_USER, kUninstallKeyPathWow, detail);
    EnumUninstallKey(list, HKEY_LOCAL_MACHINE, kUninstallKeyPathWow, detail);
  }
}

// Each registration is opened by its name under the open location, which
// the registry resolves in one step rather than from the root down. The
// records are added in the location's order, whichever thread read them.
void EnumUninstallKey(TSoftwareList& list, HKEY root, const std::wstring& basePath,
                      TProgramDetail detail) {
  UniqueRegKey location;
  if (::RegOpenKeyExW(root, basePath.c_str(), 0, RegAccessMask(TRegAccess::Read),
                      location.Put()) != ERROR_SUCCESS) {
    return;
  }
  std::vector<std::wstring> names;
  GetSubKeyNamesOf(location.Get(), names);
  const std::wstring base = IncludeBackslash(basePath);
  TLazyKnownFolders known;
  std::vector<std::optional<TUninstallItem>> items(names.size());
  ReadEach(names.size(), ReadingThreads(names.size()), [&](size_t i) {
    items[i] = ReadRegistration(location.Get(), root, base, names[i], detail, known);
  });
  for (const auto& item : items) {
    if (item) list.Add(-1, *item);
  }
}

bool IsVisibleEntry(HKEY openKey) { return IsVisibleEntry(TRegValueSet::Read(openKey)); }

bool IsVisibleEntry(const TRegValueSet& values) {
  const TCheck defaultValue = CheckDefaultValue(values);
  if (defaultValue == TCheck::WrongType) return true;
  if (defaultValue == TCheck::Hides) return false;
  for (const wchar_t* flag : {L"SystemComponent", L"NoRemove"}) {
    const TCheck check = CheckFlagValue(values, flag);
    if (check == TCheck::WrongType) return true;
    if (check == TCheck::Hides) return false;
  }
  return true;
}

bool IsVisibleEntry(HKEY root, const std::wstring& keyPath) {
  auto key = OpenKeyForRead(root, keyPath);
  return key ? IsVisibleEntry(key.Get()) : true;
}

TDateTime ParseInstallDate(const std::wstring& text) {
  const std::wstring date = Trim(text);
  if (date.size() != 8) return TDateTime::Today();
  int parts[3] = {0, 0, 0};
  const size_t starts[3] = {0, 4, 6};
  const size_t lengths[3] = {4, 2, 2};
  for (int p = 0; p < 3; ++p) {
    for (size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
      if (date[i] < L'0' || date[i] > L'9') return TDateTime::Today();
      parts[p] = parts[p] * 10 + (date[i] - L'0');
    }
  }
  TDateTime result;
  if (!TDateTime::TryEncodeDate(parts[0], parts[1], parts[2], result)) return TDateTime::Today();
  return result;
}

TDateTime GetFolderDate(const std::wstring& folder) {
  TFindFile find(folder);
  return find.Next() ? FileTimeToDate(find.Entry().ftCreationTime) : TDateTime::Today();
}

TDateTime FileTimeToDate(const FILETIME& utc) {
  FILETIME local{};
  SYSTEMTIME st{};
  if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &st)) {
    return TDateTime::Today();
  }
  return TDateTime::FromSystemTime(st);
}

std::wstring FolderPart(const std::wstring& path) {
  const size_t at = path.find_last_of(L"\\:");
  return at == std::wstring::npos ? std::wstring() : path.substr(0, at + 1);
}

std::wstring GetUninstallFolder(const std::wstring& command, const TKnownFolders& known) {
  if (command.empty()) return {};
  const std::wstring folder = FolderPart(command);
  // An uninstaller unpacked below Downloads or the like shares its folder
  // with whatever else landed there.
  if (!folder.empty() && IsNotKnownFolder(folder, known) && !known.InUserTree(folder))
    return folder;
  return {};
}

std::wstring GetUninstallFolder(const std::wstring& command) {
  if (command.empty()) return {};
  return GetUninstallFolder(command, TKnownFolders::ForMachine());
}

// Compared in canonical form, so that "..", quotes or "%NAME%" do not hide a
// well-known folder.
bool IsNotKnownFolder(const std::wstring& folder, const TEnvironmentStrings* table) {
  TPathExpander expand;
  if (table) expand = [table](const std::wstring& text) { return table->Expand(text); };
  const auto candidate = CanonicalFolderText(folder, expand);
  if (!candidate || IsRootFolder(*candidate)) return false;
  if (!table) return true;
  for (const auto& rec : table->Items()) {
    const auto known = CanonicalFolderText(rec.Value);
    if (known && SameTextUnicode(*known, *candidate)) return false;
  }
  return true;
}

bool IsNotKnownFolder(const std::wstring& folder, const TKnownFolders& known) {
  return !known.Protects(folder);
}

bool IsNotKnownFolder(const std::wstring& folder) {
  return IsNotKnownFolder(folder, TKnownFolders::ForMachine());
}

std::wstring GetFolderName(const std::wstring& folder) {
  std::wstring path = folder;
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  const size_t at = path.rfind(L'\\');
  if (at == std::wstring::npos || at == 0) return {};
  return path.substr(at + 1);
}

bool IsGenericWord(const std::wstring& text) {
  const std::wstring lower = LowerAscii(Trim(text));
  for (const wchar_t* generic : GenericFolderNames) {
    if (lower == generic) return true;
  }
  return false;
}

bool IsGenericFolderName(const std::wstring& name) {
  return LowerAscii(name).size() <= 3 || IsGenericWord(name);
}

}  // namespace quor
