#include "engine/Backup.h"

#include <shlobj.h>

#include <cstdio>

#include "base/FileDelete.h"
#include "base/Handles.h"
#include "base/Text.h"
#include "engine/ProgramJson.h"

namespace quor {
namespace {

std::string IsoText(const SYSTEMTIME& t, bool utc) {
  char text[32] = {};
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u%s", t.wYear, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond, utc ? "Z" : "");
  return text;
}

std::wstring ShellLocalAppData() {
  PWSTR path = nullptr;
  std::wstring out;
  // KF_FLAG_DONT_VERIFY: never let the shell create (or re-link) the folder.
  if (SUCCEEDED(
          ::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DONT_VERIFY, nullptr, &path)) &&
      path) {
    out = path;
  }
  ::CoTaskMemFree(path);
  return out;
}

bool IsAbsoluteDrivePath(const std::wstring& path) { return !ExactLongPath(path).empty(); }

// Creates a folder and its missing parents.
DWORD MakeFolders(const std::wstring& folder) {
  const int status = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  return status == ERROR_SUCCESS || status == ERROR_ALREADY_EXISTS ? ERROR_SUCCESS
                                                                   : static_cast<DWORD>(status);
}

std::wstring LeafName(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

nlohmann::ordered_json ItemJson(const TBackupItem& item) {
  nlohmann::ordered_json j;
  j["path"] = ToUtf8(item.Path);
  j["kind"] = BackupKindName(item.Kind);
  j["size"] = item.Size;
  j["place"] = ToUtf8(item.Place);
  j["outcome"] = item.Outcome;
  if (!item.Error.empty()) j["error"] = ToUtf8(item.Error);
  return j;
}

}  // namespace

std::wstring DefaultBackupFolder() {
  wchar_t buffer[32768] = {};
  const DWORD n = ::GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, 32768);
  std::wstring base = n > 0 && n < 32768 ? std::wstring(buffer, n) : std::wstring();
  if (!IsAbsoluteDrivePath(base)) base = ShellLocalAppData();
  if (!IsAbsoluteDrivePath(base)) return {};
  return IncludeBackslash(base) + L"Quor Uninstaller\\Backups";
}

std::wstring BackupFolderOf(const TBackupOptions& options) {
  std::wstring folder = options.Folder.empty() ? DefaultBackupFolder() : options.Folder;
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  return folder;
}

const char* BackupKindName(uint8_t kind) {
  switch (kind) {
    case lkFile:
      return "file";
    case lkFolder:
      return "folder";
    case lkRegKey:
      return "regkey";
    case lkRegValue:
      return "regvalue";
    default:
      return "unknown";
  }
}

std::wstring SafeFolderName(const std::wstring& name) {
  std::wstring out;
  for (wchar_t c : Trim(name)) {
    const bool bad = c < 32 || c == 127 ||
                     std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos ||
                     (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    out += bad ? L'_' : c;
    if (out.size() >= 64) break;
  }
  while (!out.empty() && (out.back() == L'.' || out.back() == L' ')) out.pop_back();
  return out.empty() ? L"program" : out;
}

std::unique_ptr<TBackupWriter> TBackupWriter::Create(const TBackupOptions& options,
                                                     const TUninstallObject& program,
                                                     std::wstring& error) {
  const std::wstring root = BackupFolderOf(options);
  if (root.empty()) {
    error = L"no folder for backups is known";
    return nullptr;
  }
  if (const DWORD made = MakeFolders(root); made != ERROR_SUCCESS) {
    error = root + L": " + SystemErrorText(made);
    return nullptr;
  }
  std::wstring sealError;
  auto seal = TBackupSeal::ForRoot(root, true, sealError);
  if (!seal) {
    error = L"the backup cannot be sealed (" + sealError + L")";
    return nullptr;
  }
  FILETIME utcTime{};
  if (options.Time) {
    utcTime = *options.Time;
  } else {
    ::GetSystemTimeAsFileTime(&utcTime);
  }
  SYSTEMTIME utc{}, local{};
  ::FileTimeToSystemTime(&utcTime, &utc);
  ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
  wchar_t stamp[32] = {};
  swprintf(stamp, 32, L"%04u-%02u-%02u %02u%02u%02u", local.wYear, local.wMonth, local.wDay,
           local.wHour, local.wMinute, local.wSecond);
  const std::wstring base = std::wstring(stamp) + L" " + SafeFolderName(program.DisplayName);
  auto writer = std::unique_ptr<TBackupWriter>(new TBackupWriter());
  for (int n = 1; n < 1000; ++n) {
    const std::wstring id = n == 1 ? base : base + L" (" + std::to_wstring(n) + L")";
    const std::wstring folder = root + L"\\" + id;
    if (::CreateDirectoryW(ExactLongPath(folder).c_str(), nullptr)) {
      writer->FFolder = folder;
      writer->FId = id;
      break;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) {
      error = folder + L": " + SystemErrorText(::GetLastError());
      return nullptr;
    }
  }
  if (writer->FFolder.empty()) {
    error = L"too many backups with the same time and name";
    return nullptr;
  }
  writer->FSeal = std::move(seal);
  writer->FProgram = ProgramToJson(program);
  writer->FTime = IsoText(local, false);
  writer->FTimeUtc = IsoText(utc, true);
  writer->FItems.resize(static_cast<size_t>(std::max(program.LeftoverCount(), 0)));
  for (int32_t i = 0; i < program.LeftoverCount(); ++i) {
    writer->FItems[static_cast<size_t>(i)].Path = program.GetLeftover(i)->Path;
    writer->FItems[static_cast<size_t>(i)].Kind = program.GetLeftover(i)->Kind;
  }
  if (!writer->WriteRecord(error)) {
    ::RemoveDirectoryW(ExactLongPath(writer->FFolder).c_str());
    return nullptr;
  }
  return writer;
}

TBackupItem& TBackupWriter::Item(int32_t index) { return FItems.at(static_cast<size_t>(index)); }

std::wstring TBackupWriter::PrepareFilePlace(int32_t index, const std::wstring& path,
                                             std::wstring& error) {
  const std::wstring holder = L"files\\" + std::to_wstring(index);
  const std::wstring folder = FFolder + L"\\" + holder;
  for (const std::wstring& f : {FFolder + L"\\files", folder}) {
    if (!::CreateDirectoryW(ExactLongPath(f).c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS) {
      error = SystemErrorText(::GetLastError());
      return {};
    }
  }
  const std::wstring leaf = LeafName(path);
  Item(index).Place = holder + L"\\" + leaf;
  return folder + L"\\" + leaf;
}

bool TBackupWriter::WriteRegistry(const std::vector<TRegFileKey>& keys, std::wstring& error) {
  const std::string bytes = RegFileBytes(keys);
  FRegistryDigest = Sha256Hex(bytes);
  if (FRegistryDigest.empty()) {
    error = L"the registry part cannot be hashed";
    return false;
  }
  return WriteWholeFile(FFolder + L"\\" + kRegistryFileName, bytes, error);
}

bool TBackupWriter::WriteRecord(std::wstring& error) {
  nlohmann::ordered_json j;
  j["format"] = 1;
  j["id"] = ToUtf8(FId);
  j["time"] = FTime;
  j["timeUtc"] = FTimeUtc;
  j["program"] = FProgram;
  int64_t size = 0;
  auto items = nlohmann::ordered_json::array();
  for (const auto& item : FItems) {
    if (!item.Place.empty()) size += item.Size;
    items.push_back(ItemJson(item));
  }
  j["size"] = size;
  j["restored"] = false;
  if (!FRegistryDigest.empty()) j["registrySha256"] = FRegistryDigest;
  j["items"] = std::move(items);
  const std::string text = SealedRecordText(std::move(j), *FSeal);
  if (text.empty()) {
    error = L"the record cannot be sealed";
    return false;
  }
  return WriteWholeFile(FFolder + L"\\" + kRecordFileName, text, error);
}

namespace {
constexpr char kSealMember[] = "seal";

std::string CompactText(const nlohmann::ordered_json& j) {
  return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}
}  // namespace

std::string SealedRecordText(nlohmann::ordered_json record, const TBackupSeal& seal) {
  record.erase(kSealMember);
  // What is sealed is the text the record reads back as: strings that are
  // not UTF-8 are replaced before, not after.
  record = nlohmann::ordered_json::parse(CompactText(record));
  const std::string mac = seal.Sign(CompactText(record));
  if (mac.empty()) return {};
  record[kSealMember] = mac;
  return record.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::optional<nlohmann::ordered_json> OpenSealedRecord(std::string_view text,
                                                       const TBackupSeal& seal, std::wstring& why) {
  if (text.size() > kMaxRecordBytes) {
    why = L"backup.json is larger than any set's record";
    return std::nullopt;
  }
  if (!JsonNestingWithin(text, kMaxRecordNesting)) {
    why = L"backup.json nests deeper than any set's record";
    return std::nullopt;
  }
  auto j = nlohmann::ordered_json::parse(text, nullptr, false);
  if (j.is_discarded() || !j.is_object()) {
    why = L"backup.json is no JSON object";
    return std::nullopt;
  }
  const auto mac = j.find(kSealMember);
  if (mac == j.end() || !mac->is_string()) {
    why = L"backup.json carries no seal (written by an older version, or not by this program)";
    return std::nullopt;
  }
  const std::string given = mac->get<std::string>();
  j.erase(kSealMember);
  if (!seal.Verify(CompactText(j), given)) {
    why = L"backup.json was not written by this program for this user, or was changed since";
    return std::nullopt;
  }
  return j;
}

bool JsonNestingWithin(std::string_view text, int limit) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > limit) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes, std::wstring& error) {
  const std::wstring temporary = path + L".new";
  {
    UniqueKernelHandle file(::CreateFileW(ExactLongPath(temporary).c_str(), GENERIC_WRITE, 0,
                                          nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      error = path + L": " + SystemErrorText(::GetLastError());
      return false;
    }
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
        written != bytes.size() || !::FlushFileBuffers(file.Get())) {
      error = path + L": " + SystemErrorText(::GetLastError());
      file.Reset();
      ::DeleteFileW(ExactLongPath(temporary).c_str());
      return false;
    }
  }
  if (!::MoveFileExW(ExactLongPath(temporary).c_str(), ExactLongPath(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = path + L": " + SystemErrorText(::GetLastError());
    ::DeleteFileW(ExactLongPath(temporary).c_str());
    return false;
  }
  return true;
}

}  // namespace quor
