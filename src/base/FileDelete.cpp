#include "base/FileDelete.h"

#include <winternl.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "base/ExactFiles.h"
#include "base/Handles.h"

extern "C" {
NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PVOID apcRoutine, PVOID apcContext,
                                    PIO_STATUS_BLOCK io, PVOID buffer, ULONG length,
                                    FILE_INFORMATION_CLASS infoClass, BOOLEAN singleEntry,
                                    PUNICODE_STRING fileName, BOOLEAN restartScan);
}

namespace quor {
namespace exact {

// Newer than the headers' target version; the values are fixed by the system.
constexpr FILE_INFO_BY_HANDLE_CLASS kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;
constexpr DWORD kDispositionIgnoreReadOnly = 0x10;
constexpr FILE_INFORMATION_CLASS kFileIdBothDirectoryInformation =
    static_cast<FILE_INFORMATION_CLASS>(37);


std::function<void(const std::wstring&)>& FolderListedHook() {
  static std::function<void(const std::wstring&)> hook;
  return hook;
}

DWORD ErrorOf(NTSTATUS status) { return ::RtlNtStatusToDosError(status); }

bool IsUnsupported(DWORD error) {
  return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
         error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED;
}

TEntry EntryOf(const FILE_ID_BOTH_DIR_INFO& info) {
  TEntry entry;
  entry.Name.assign(info.FileName, info.FileNameLength / sizeof(wchar_t));
  entry.Attributes = info.FileAttributes;
  entry.FileId = info.FileId.QuadPart;
  entry.Size = info.EndOfFile.QuadPart;
  return entry;
}

bool IsDotName(const std::wstring& name) { return name == L"." || name == L".."; }

// Every entry of an open folder but "." and "..".
DWORD ListEntries(HANDLE folder, std::vector<TEntry>& entries) {
  std::vector<uint64_t> buffer(64 * 1024 / sizeof(uint64_t));
  bool restart = true;
  for (;;) {
    IO_STATUS_BLOCK io{};
    const NTSTATUS status =
        NtQueryDirectoryFile(folder, nullptr, nullptr, nullptr, &io, buffer.data(),
                             static_cast<ULONG>(buffer.size() * sizeof(uint64_t)),
                             kFileIdBothDirectoryInformation, FALSE, nullptr, restart);
    restart = false;
    if (status == static_cast<NTSTATUS>(0x80000006L)) return ERROR_SUCCESS;  // no more files
    if (status < 0) return ErrorOf(status);
    const auto* bytes = reinterpret_cast<const BYTE*>(buffer.data());
    for (;;) {
      const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes);
      TEntry entry = EntryOf(info);
      if (!IsDotName(entry.Name)) entries.push_back(std::move(entry));
      if (info.NextEntryOffset == 0) break;
      bytes += info.NextEntryOffset;
    }
  }
}

// The entry of exactly this name in an open folder (the match ignores case,
// as the file system does; "data." and "data" stay apart).
DWORD FindEntry(HANDLE folder, const std::wstring& name, TEntry& entry) {
  std::vector<uint64_t> buffer((sizeof(FILE_ID_BOTH_DIR_INFO) + 2 * 32768) / sizeof(uint64_t) + 1);
  UNICODE_STRING mask{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                      static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                      const_cast<PWSTR>(name.c_str())};
  IO_STATUS_BLOCK io{};
  const NTSTATUS status = NtQueryDirectoryFile(
      folder, nullptr, nullptr, nullptr, &io, buffer.data(),
      static_cast<ULONG>(buffer.size() * sizeof(uint64_t)), kFileIdBothDirectoryInformation, TRUE,
      &mask, TRUE);
  if (status < 0 || status == static_cast<NTSTATUS>(0x80000006L)) return ERROR_FILE_NOT_FOUND;
  entry = EntryOf(*reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data()));
  return entry.Name.size() == name.size() ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

UniqueKernelHandle OpenRelative(HANDLE folder, const std::wstring& name, ACCESS_MASK access,
                                ULONG options, DWORD& error) {
  if (name.size() > 32767) {
    error = ERROR_FILENAME_EXCED_RANGE;
    return {};
  }
  UNICODE_STRING text{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                      static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                      const_cast<PWSTR>(name.c_str())};
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE h = nullptr;
  const NTSTATUS status =
      ::NtOpenFile(&h, access, &attributes, &io, kShareAll,
                   options | FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT |
                       FILE_SYNCHRONOUS_IO_NONALERT);
  error = status < 0 ? ErrorOf(status) : ERROR_SUCCESS;
  return UniqueKernelHandle(status < 0 ? nullptr : h);
}

bool QueryFacts(HANDLE h, THandleFacts& facts) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) ||
      !::GetFileInformationByHandle(h, &info)) {
    return false;
  }
  facts.Attributes = tag.FileAttributes;
  facts.FileId = static_cast<int64_t>((static_cast<uint64_t>(info.nFileIndexHigh) << 32) |
                                      info.nFileIndexLow);
  return true;
}

// Marks the object for deletion; it goes when its last handle closes. The
// read-only attribute is cleared only where the system cannot ignore it,
// and put back when the deletion fails.
DWORD DeleteThroughHandle(HANDLE h, DWORD attributes) {
  DWORD flags = kDispositionDelete | kDispositionPosixSemantics | kDispositionIgnoreReadOnly;
  if (::SetFileInformationByHandle(h, kFileDispositionInfoEx, &flags, sizeof flags)) {
    return ERROR_SUCCESS;
  }
  DWORD error = ::GetLastError();
  const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (!IsUnsupported(error) && !readOnly) return error;
  FILE_BASIC_INFO basic{};
  if (readOnly) {
    basic.FileAttributes = attributes & ~FILE_ATTRIBUTE_READONLY &
                           ~(FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY);
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic)) return ::GetLastError();
  }
  FILE_DISPOSITION_INFO disposition{TRUE};
  if (::SetFileInformationByHandle(h, FileDispositionInfo, &disposition, sizeof disposition)) {
    return ERROR_SUCCESS;
  }
  error = ::GetLastError();
  if (readOnly) {
    basic.FileAttributes = attributes & ~(FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY);
    ::SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic);
  }
  return error;
}

// A link is deleted only through a handle that is verifiably the link
// itself; some systems open the target instead, whatever was asked.
TDeleteResult RemoveLink(HANDLE folder, const TEntry& entry) {
  TDeleteResult result;
  DWORD error = ERROR_SUCCESS;
  UniqueKernelHandle link = OpenRelative(folder, entry.Name, kDeleteAccess, 0, error);
  THandleFacts facts;
  if (!link) {
    result.Error = error;
  } else if (!QueryFacts(link.Get(), facts) || !(facts.Attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    result.LinkLeft = true;
  } else {
    result.Error = DeleteThroughHandle(link.Get(), facts.Attributes);
  }
  return result;
}

// The object's own name as the system keeps it (no length limit, no
// conversion to a drive path).
std::wstring ObjectNameOf(HANDLE h) {
  std::vector<uint64_t> buffer(8192);
  ULONG size = 0;
  const NTSTATUS status =
      ::NtQueryObject(h, static_cast<OBJECT_INFORMATION_CLASS>(1) /* ObjectNameInformation */,
                      buffer.data(), static_cast<ULONG>(buffer.size() * sizeof(uint64_t)), &size);
  if (status < 0) return {};
  const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
  return std::wstring(name->Buffer, name->Length / sizeof(wchar_t));
}

bool SameNameAscii(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x + 32);
    if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::wstring_view WithoutTrailingDots(std::wstring_view name) {
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
  return name;
}

// Some systems (Wine) open a link's target whatever was asked and list the
// link as a plain entry; the handle's name then is the target's, not the
// entry's below its folder. (Wine also drops a trailing dot from the name it
// reports, so the last component is compared without trailing dots.)
bool HoldsTheEntry(HANDLE folder, HANDLE h, const TEntry& entry) {
  const std::wstring parent = ObjectNameOf(folder);
  const std::wstring self = ObjectNameOf(h);
  if (parent.empty() || self.empty()) return false;
  const size_t slash = self.rfind(L'\\');
  if (slash == std::wstring::npos) return false;
  const std::wstring_view selfParent = std::wstring_view(self).substr(0, slash);
  const std::wstring_view parentName =
      parent.back() == L'\\' ? std::wstring_view(parent).substr(0, parent.size() - 1) : parent;
  return SameNameAscii(selfParent, parentName) &&
         SameNameAscii(WithoutTrailingDots(std::wstring_view(self).substr(slash + 1)),
                       WithoutTrailingDots(entry.Name));
}

// Opens a listed entry and checks that the handle holds what was listed: a
// folder swapped for a link since the listing fails the check, and so does a
// link that the system opened through.
UniqueKernelHandle OpenListed(HANDLE folder, const TEntry& entry, THandleFacts& facts,
                              TDeleteResult& result, ACCESS_MASK extra) {
  DWORD error = ERROR_SUCCESS;
  UniqueKernelHandle h =
      OpenRelative(folder, entry.Name, (entry.IsFolder() ? kFolderAccess : kDeleteAccess) | extra,
                   entry.IsFolder() ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE, error);
  if (!h) {
    result.Error = error;
    return {};
  }
  if (!QueryFacts(h.Get(), facts)) {
    result.Error = ::GetLastError();
    return {};
  }
  if ((facts.Attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      (entry.FileId != 0 && facts.FileId != 0 && facts.FileId != entry.FileId) ||
      !HoldsTheEntry(folder, h.Get(), entry)) {
    result.LinkLeft = true;
    return {};
  }
  return h;
}

// "C:\a\b" → root "\\?\C:\" and components {"a", "b"}; UNC alike. Empty
// components, "." and ".." make the path unusable.
bool SplitExact(const std::wstring& path, std::wstring& root, std::vector<std::wstring>& parts) {
  const std::wstring exact = ExactLongPath(path);
  if (exact.empty()) return false;
  size_t start = 0;
  if (exact.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    const size_t server = exact.find(L'\\', 8);
    if (server == std::wstring::npos) return false;
    const size_t share = exact.find(L'\\', server + 1);
    root = (share == std::wstring::npos ? exact : exact.substr(0, share)) + L"\\";
    start = share == std::wstring::npos ? exact.size() : share + 1;
  } else {
    root = exact.substr(0, 7);  // "\\?\C:\"
    start = 7;
  }
  parts.clear();
  while (start < exact.size()) {
    const size_t end = std::min(exact.find(L'\\', start), exact.size());
    std::wstring part = exact.substr(start, end - start);
    if (part.empty() || IsDotName(part)) return false;
    parts.push_back(std::move(part));
    start = end + 1;
  }
  return true;
}

// Opens the folder that holds the path's last component, one folder at a
// time from the root, and finds that component's entry in it. Any folder on
// the way that is a link, or is not what its parent lists, stops the walk.
UniqueKernelHandle OpenParentOf(const std::wstring& path, TEntry& last, TDeleteResult& result) {
  std::wstring root;
  std::vector<std::wstring> parts;
  if (!SplitExact(path, root, parts) || parts.empty()) {
    result.Error = ERROR_INVALID_NAME;
    return {};
  }
  UniqueKernelHandle folder(::CreateFileW(root.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE, kShareAll,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder) {
    result.Error = ::GetLastError();
    return {};
  }
  for (size_t i = 0; i < parts.size(); ++i) {
    TEntry entry;
    if (const DWORD error = FindEntry(folder.Get(), parts[i], entry); error != ERROR_SUCCESS) {
      result.Error = i + 1 < parts.size() ? ERROR_PATH_NOT_FOUND : error;
      return {};
    }
    if (i + 1 == parts.size()) {
      last = std::move(entry);
      return folder;
    }
    if (entry.IsLink()) {
      result.ThroughLink = true;
      return {};
    }
    if (!entry.IsFolder()) {
      result.Error = ERROR_PATH_NOT_FOUND;
      return {};
    }
    THandleFacts facts;
    DWORD error = ERROR_SUCCESS;
    UniqueKernelHandle next = OpenRelative(folder.Get(), entry.Name, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                           FILE_DIRECTORY_FILE, error);
    if (!next) {
      result.Error = error;
      return {};
    }
    if (!QueryFacts(next.Get(), facts) || (facts.Attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        (entry.FileId != 0 && facts.FileId != 0 && facts.FileId != entry.FileId) ||
        !HoldsTheEntry(folder.Get(), next.Get(), entry)) {
      result.ThroughLink = true;
      return {};
    }
    folder = std::move(next);
  }
  return {};
}

}  // namespace exact

namespace {

using namespace exact;

struct TFrame {
  UniqueKernelHandle Handle;
  std::wstring Path;  // without trailing backslash
  DWORD Attributes = 0;
  std::vector<TEntry> Entries;
  size_t Next = 0;
  bool Listed = false;
  DWORD ListError = ERROR_SUCCESS;
  bool Stays = false;      // something below could not be removed
  bool HoldsKept = false;  // something below is kept
};

// Works through one entry of the folder on top of the stack; a folder entry
// becomes the new top.
void StepInto(std::vector<TFrame>& stack, const TKeepTest& keep, const TFailureSink& failed) {
  TFrame& frame = stack.back();
  const TEntry entry = frame.Entries[frame.Next++];
  const std::wstring path = frame.Path + L"\\" + entry.Name;
  if (keep && keep(path)) {
    frame.HoldsKept = true;
    return;
  }
  TDeleteResult result;
  if (entry.IsLink()) {
    result = RemoveLink(frame.Handle.Get(), entry);
  } else {
    THandleFacts facts;
    UniqueKernelHandle h = OpenListed(frame.Handle.Get(), entry, facts, result);
    if (h && entry.IsFolder()) {
      TFrame child;
      child.Handle = std::move(h);
      child.Path = path;
      child.Attributes = facts.Attributes;
      stack.push_back(std::move(child));
      return;
    }
    if (h) result.Error = DeleteThroughHandle(h.Get(), facts.Attributes);
  }
  if (!result.Removed()) {
    frame.Stays = true;
    if (failed) failed(path, result);
  }
}

// The folder on top of the stack is done: delete it unless something in it
// stays, and tell its parent.
TDeleteResult Finish(std::vector<TFrame>& stack, const TFailureSink& failed) {
  TFrame done = std::move(stack.back());
  stack.pop_back();
  TDeleteResult result;
  if (done.HoldsKept) {
    result.HoldsKept = true;
  } else if (done.ListError != ERROR_SUCCESS) {
    result.Error = done.ListError;
  } else if (done.Stays) {
    result.Error = ERROR_DIR_NOT_EMPTY;
  } else {
    result.Error = DeleteThroughHandle(done.Handle.Get(), done.Attributes);
  }
  done.Handle.Reset();
  if (!stack.empty()) {
    TFrame& parent = stack.back();
    parent.HoldsKept |= result.HoldsKept;
    if (!result.HoldsKept && !result.Removed()) {
      parent.Stays = true;
      if (failed) failed(done.Path, result);
    }
  }
  return result;
}

}  // namespace

using namespace exact;

std::wstring ExactLongPath(std::wstring_view path) {
  if (path.rfind(L"\\\\?\\", 0) == 0) return std::wstring(path);
  const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
                     ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
  if (drive) return L"\\\\?\\" + std::wstring(path);
  const bool unc = path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\' &&
                   path[2] != L'.' && path[2] != L'?';
  if (unc) return L"\\\\?\\UNC\\" + std::wstring(path.substr(2));
  return {};
}

bool ExactPathExists(const std::wstring& path) {
  std::wstring exact = ExactLongPath(path);
  while (exact.size() > 7 && exact.back() == L'\\') exact.pop_back();
  if (exact.empty()) return false;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (::GetFileAttributesExW(exact.c_str(), GetFileExInfoStandard, &data)) return true;
  // A dangling link answers "not found" to a query that follows it.
  TEntry entry;
  TDeleteResult result;
  return static_cast<bool>(OpenParentOf(exact, entry, result));
}

bool ExactPathIsLink(const std::wstring& path) {
  std::wstring exact = path;
  while (exact.size() > 3 && exact.back() == L'\\') exact.pop_back();
  TEntry entry;
  TDeleteResult result;
  return OpenParentOf(exact, entry, result) && entry.IsLink();
}

TDeleteResult DeleteFileExact(const std::wstring& path) {
  TDeleteResult result;
  TEntry entry;
  UniqueKernelHandle folder = OpenParentOf(path, entry, result);
  if (!folder) return result;
  if (entry.IsLink()) return RemoveLink(folder.Get(), entry);
  if (entry.IsFolder()) {
    result.Error = ERROR_ACCESS_DENIED;
    return result;
  }
  THandleFacts facts;
  UniqueKernelHandle h = OpenListed(folder.Get(), entry, facts, result);
  if (h) result.Error = DeleteThroughHandle(h.Get(), facts.Attributes);
  return result;
}

TDeleteResult RemoveFolderTree(const std::wstring& folder, const TKeepTest& keep,
                               const TFailureSink& failed) {
  std::wstring path = folder;
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  TDeleteResult result;
  TEntry entry;
  UniqueKernelHandle parent = OpenParentOf(path, entry, result);
  if (!parent) return result;
  if (entry.IsLink()) return RemoveLink(parent.Get(), entry);
  if (!entry.IsFolder()) {
    result.Error = ERROR_DIRECTORY;
    return result;
  }
  TFrame top;
  top.Path = path;
  THandleFacts facts;
  top.Handle = OpenListed(parent.Get(), entry, facts, result);
  if (!top.Handle) return result;
  top.Attributes = facts.Attributes;
  parent.Reset();

  std::vector<TFrame> stack;
  stack.push_back(std::move(top));
  for (;;) {
    TFrame& frame = stack.back();
    if (!frame.Listed) {
      frame.Listed = true;
      frame.ListError = ListEntries(frame.Handle.Get(), frame.Entries);
      if (frame.ListError != ERROR_SUCCESS) frame.Entries.clear();
      if (auto& hook = FolderListedHook()) hook(frame.Path);
    } else if (frame.Next < frame.Entries.size()) {
      StepInto(stack, keep, failed);
    } else {
      result = Finish(stack, failed);
      if (stack.empty()) return result;
    }
  }
}

void SetFolderListedHook(std::function<void(const std::wstring& folder)> hook) {
  FolderListedHook() = std::move(hook);
}

std::wstring SystemErrorText(DWORD error) {
  wchar_t buffer[1024] = {};
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, buffer, 1024, nullptr);
  std::wstring text(buffer, n < 1024 ? n : 0);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                           text.back() == L'.')) {
    text.pop_back();
  }
  return text.empty() ? L"error " + std::to_wstring(error) : text;
}

}  // namespace quor
