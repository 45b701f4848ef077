#include "base/FileBackup.h"

#include <unordered_set>

#include "base/ExactFiles.h"
#include "base/FindFile.h"
#include "base/Handles.h"

namespace quor {
namespace {

using namespace exact;

constexpr ACCESS_MASK kReadAccess = FILE_READ_DATA | FILE_READ_ATTRIBUTES | FILE_READ_EA;

// A drive or UNC path in the form the native calls take.
std::wstring NativePath(const std::wstring& path) {
  const std::wstring exact = ExactLongPath(path);
  return exact.empty() ? std::wstring() : L"\\??\\" + exact.substr(4);
}

// Renames the object behind `h` to `dest`; never replaces anything.
DWORD RenameThroughHandle(HANDLE h, const std::wstring& dest) {
  const std::wstring native = NativePath(dest);
  if (native.empty()) return ERROR_INVALID_NAME;
  std::vector<uint64_t> buffer((sizeof(FILE_RENAME_INFO) + native.size() * sizeof(wchar_t)) / 8 +
                               1);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = FALSE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(native.size() * sizeof(wchar_t));
  native.copy(info->FileName, native.size());
  if (::SetFileInformationByHandle(h, FileRenameInfo, info,
                                   static_cast<DWORD>(buffer.size() * sizeof(uint64_t)))) {
    return ERROR_SUCCESS;
  }
  return ::GetLastError();
}

bool ReadBasicInfo(HANDLE h, FILE_BASIC_INFO& basic) {
  return ::GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// Times and attributes of the source on a written copy.
bool ApplyBasicInfo(HANDLE h, FILE_BASIC_INFO basic, bool folder) {
  basic.FileAttributes &= ~(FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY);
  if (basic.FileAttributes == 0 && !folder) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  basic.ChangeTime.QuadPart = 0;  // the system keeps its own
  return ::SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

UniqueKernelHandle CreateCopyTarget(const std::wstring& dest, bool folder, DWORD& error) {
  const std::wstring exact = ExactLongPath(dest);
  if (folder && !::CreateDirectoryW(exact.c_str(), nullptr)) {
    error = ::GetLastError();
    return {};
  }
  UniqueKernelHandle h(::CreateFileW(
      exact.c_str(), GENERIC_WRITE | FILE_WRITE_ATTRIBUTES, 0, nullptr,
      folder ? OPEN_EXISTING : CREATE_NEW,
      folder ? FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT : FILE_ATTRIBUTE_NORMAL,
      nullptr));
  error = h ? ERROR_SUCCESS : ::GetLastError();
  return h;
}

// Copies an open file's contents, attributes and times to a new file.
DWORD CopyFromHandle(HANDLE source, const std::wstring& dest, int64_t& bytes) {
  FILE_BASIC_INFO basic{};
  if (!ReadBasicInfo(source, basic)) return ::GetLastError();
  DWORD error = ERROR_SUCCESS;
  UniqueKernelHandle target = CreateCopyTarget(dest, false, error);
  if (!target) return error;
  std::vector<char> buffer(1 << 20);
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(source, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      error = ::GetLastError();
      break;
    }
    if (got == 0) break;
    DWORD written = 0;
    if (!::WriteFile(target.Get(), buffer.data(), got, &written, nullptr) || written != got) {
      error = written != got && ::GetLastError() == ERROR_SUCCESS ? ERROR_WRITE_FAULT
                                                                  : ::GetLastError();
      break;
    }
    bytes += got;
  }
  if (error == ERROR_SUCCESS && !ApplyBasicInfo(target.Get(), basic, false))
    error = ::GetLastError();
  if (error != ERROR_SUCCESS) {
    target.Reset();
    ::DeleteFileW(ExactLongPath(dest).c_str());
  }
  return error;
}

int64_t FileSizeOf(HANDLE h) {
  LARGE_INTEGER size{};
  return ::GetFileSizeEx(h, &size) ? size.QuadPart : 0;
}

struct TWalkFrame {
  UniqueKernelHandle Handle;
  std::wstring Path;  // source, without trailing backslash
  std::wstring Dest;  // in the backup; empty while measuring
  std::vector<TEntry> Entries;
  size_t Next = 0;
  FILE_BASIC_INFO Basic{};
};

// Lists a tree through handles, never entering a link; asks `visit` about
// each entry (with its path) and descends into folders it answers true for.
template <typename Visit>
void WalkTree(UniqueKernelHandle top, const std::wstring& path, const std::wstring& dest,
              Visit visit, const std::function<void(TWalkFrame&)>& finished = nullptr) {
  std::vector<TWalkFrame> stack;
  TWalkFrame first;
  first.Handle = std::move(top);
  first.Path = path;
  first.Dest = dest;
  stack.push_back(std::move(first));
  ListEntries(stack.back().Handle.Get(), stack.back().Entries);
  ReadBasicInfo(stack.back().Handle.Get(), stack.back().Basic);
  while (!stack.empty()) {
    TWalkFrame& frame = stack.back();
    if (frame.Next == frame.Entries.size()) {
      if (finished) finished(frame);
      stack.pop_back();
      continue;
    }
    const TEntry entry = frame.Entries[frame.Next++];
    TWalkFrame child;
    child.Path = frame.Path + L"\\" + entry.Name;
    child.Dest = frame.Dest.empty() ? std::wstring() : frame.Dest + L"\\" + entry.Name;
    if (!visit(frame, entry, child)) continue;
    ListEntries(child.Handle.Get(), child.Entries);
    ReadBasicInfo(child.Handle.Get(), child.Basic);
    stack.push_back(std::move(child));
  }
}

// Opens a listed folder for listing only, verified as FileDelete verifies.
UniqueKernelHandle OpenFolderEntry(HANDLE parent, const TEntry& entry) {
  THandleFacts facts;
  TDeleteResult ignored;
  return OpenListed(parent, entry, facts, ignored);
}

struct TTreeFacts {
  TTreeSize Size;
  bool HoldsKept = false;
};

TTreeFacts SurveyTree(const std::wstring& path, const TKeepTest& keep) {
  TTreeFacts facts;
  UniqueKernelHandle top;
  // The walk owns its handles: list through a handle of its own.
  TEntry self;
  TDeleteResult result;
  UniqueKernelHandle parent = OpenParentOf(path, self, result);
  if (!parent) return facts;
  top = OpenFolderEntry(parent.Get(), self);
  if (!top) return facts;
  WalkTree(std::move(top), path, {},
           [&](TWalkFrame& frame, const TEntry& entry, TWalkFrame& child) {
             if (keep && keep(child.Path)) {
               facts.HoldsKept = true;
               return false;
             }
             if (!entry.IsFolder()) {
               facts.Size.Files += 1;
               facts.Size.Bytes += entry.Size;
               return false;
             }
             if (entry.IsLink()) return false;
             child.Handle = OpenFolderEntry(frame.Handle.Get(), entry);
             return static_cast<bool>(child.Handle);
           });
  return facts;
}

// Copies every entry that is not kept and is no link into the backup;
// answers the source paths whose copies are complete.
std::unordered_set<std::wstring> CopyTree(UniqueKernelHandle top, const std::wstring& path,
                                          const std::wstring& dest, const TKeepTest& keep,
                                          TBackupMove& move) {
  std::unordered_set<std::wstring> copied;
  DWORD error = ERROR_SUCCESS;
  if (!CreateCopyTarget(dest, true, error)) {
    move.NotBackedUp.emplace_back(path, SystemErrorText(error));
    return copied;
  }
  WalkTree(
      std::move(top), path, dest,
      [&](TWalkFrame& frame, const TEntry& entry, TWalkFrame& child) {
        if (keep && keep(child.Path)) return false;
        if (entry.IsLink()) {
          move.NotBackedUp.emplace_back(child.Path, L"a link: not backed up, left in place");
          return false;
        }
        THandleFacts facts;
        TDeleteResult result;
        UniqueKernelHandle h = OpenListed(frame.Handle.Get(), entry, facts, result,
                                          entry.IsFolder() ? 0 : kReadAccess);
        if (!h) {
          move.NotBackedUp.emplace_back(child.Path, result.LinkLeft
                                                        ? L"a link: not backed up, left in place"
                                                        : SystemErrorText(result.Error));
          return false;
        }
        if (!entry.IsFolder()) {
          int64_t bytes = 0;
          const DWORD copyError = CopyFromHandle(h.Get(), child.Dest, bytes);
          if (copyError != ERROR_SUCCESS) {
            move.NotBackedUp.emplace_back(child.Path,
                                          L"backup not written: " + SystemErrorText(copyError));
            return false;
          }
          move.Bytes += bytes;
          move.Files += 1;
          copied.insert(child.Path);
          return false;
        }
        DWORD folderError = ERROR_SUCCESS;
        if (!CreateCopyTarget(child.Dest, true, folderError)) {
          move.NotBackedUp.emplace_back(child.Path,
                                        L"backup not written: " + SystemErrorText(folderError));
          return false;
        }
        copied.insert(child.Path);
        child.Handle = std::move(h);
        return true;
      },
      [](TWalkFrame& frame) {
        UniqueKernelHandle h(::CreateFileW(
            ExactLongPath(frame.Dest).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (h) ApplyBasicInfo(h.Get(), frame.Basic, true);
      });
  return copied;
}

}  // namespace

TTreeSize MeasureTree(const std::wstring& folder) { return SurveyTree(folder, nullptr).Size; }

TBackupMove MoveFileToBackup(const std::wstring& path, const std::wstring& dest) {
  TBackupMove move;
  TEntry entry;
  UniqueKernelHandle folder = OpenParentOf(path, entry, move.Result);
  if (!folder) return move;
  if (entry.IsLink()) {
    move.Result.LinkLeft = true;
    move.NotBackedUp.emplace_back(path, L"a link: not backed up, left in place");
    return move;
  }
  if (entry.IsFolder()) {
    move.Result.Error = ERROR_ACCESS_DENIED;
    return move;
  }
  THandleFacts facts;
  UniqueKernelHandle h = OpenListed(folder.Get(), entry, facts, move.Result, kReadAccess);
  if (!h) {
    if (move.Result.LinkLeft)
      move.NotBackedUp.emplace_back(path, L"a link: not backed up, left in place");
    return move;
  }
  const int64_t size = FileSizeOf(h.Get());
  if (RenameThroughHandle(h.Get(), dest) == ERROR_SUCCESS) {
    move.Renamed = true;
    move.Bytes = size;
    move.Files = 1;
    return move;
  }
  int64_t bytes = 0;
  if (const DWORD error = CopyFromHandle(h.Get(), dest, bytes); error != ERROR_SUCCESS) {
    move.Result.Error = error;
    move.NotBackedUp.emplace_back(path, L"backup not written: " + SystemErrorText(error));
    return move;
  }
  move.Bytes = bytes;
  move.Files = 1;
  move.Result.Error = DeleteThroughHandle(h.Get(), facts.Attributes);
  return move;
}

TBackupMove MoveFolderToBackup(const std::wstring& folder, const std::wstring& dest,
                               const TKeepTest& keep, const TFailureSink& failed) {
  std::wstring path = folder;
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  TBackupMove move;
  TEntry entry;
  UniqueKernelHandle parent = OpenParentOf(path, entry, move.Result);
  if (!parent) return move;
  if (entry.IsLink()) {
    move.Result.LinkLeft = true;
    move.NotBackedUp.emplace_back(path, L"a link: not backed up, left in place");
    return move;
  }
  if (!entry.IsFolder()) {
    move.Result.Error = ERROR_DIRECTORY;
    return move;
  }
  THandleFacts facts;
  UniqueKernelHandle top = OpenListed(parent.Get(), entry, facts, move.Result);
  if (!top) {
    if (move.Result.LinkLeft)
      move.NotBackedUp.emplace_back(path, L"a link: not backed up, left in place");
    return move;
  }
  const TTreeFacts survey = SurveyTree(path, keep);
  if (!survey.HoldsKept && RenameThroughHandle(top.Get(), dest) == ERROR_SUCCESS) {
    move.Renamed = true;
    move.Bytes = survey.Size.Bytes;
    move.Files = survey.Size.Files;
    return move;
  }
  // Another volume, kept entries inside, or something that will not move
  // (a file in use): copy what can be copied, then delete only that.
  const std::unordered_set<std::wstring> copied = CopyTree(std::move(top), path, dest, keep, move);
  parent.Reset();
  if (!move.NotBackedUp.empty() && move.NotBackedUp.front().first == path) {
    move.Result.Error = ERROR_CANNOT_MAKE;
    return move;
  }
  move.Result = RemoveFolderTree(
      path, [&](const std::wstring& p) { return (keep && keep(p)) || !copied.count(p); }, failed);
  if (move.Result.HoldsKept && !move.NotBackedUp.empty() && !survey.HoldsKept) {
    move.Result = TDeleteResult{ERROR_DIR_NOT_EMPTY};
  }
  return move;
}

// ---- putting back ----

namespace {

constexpr wchar_t kLinkOnPath[] = L"a folder on its path is a link: nothing written there";

DWORD AttributesOf(const std::wstring& path) {
  return ::GetFileAttributesW(ExactLongPath(path).c_str());
}

std::wstring ParentOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos || slash < 3 ? std::wstring() : path.substr(0, slash);
}

// Creates the missing folders above `path`, one at a time, each checked to
// be no link; answers the reason when that cannot be done.
std::wstring PrepareParent(const std::wstring& path) {
  const std::wstring parent = ParentOf(path);
  if (parent.empty()) return {};
  TEntry entry;
  TDeleteResult result;
  UniqueKernelHandle holder = OpenParentOf(parent, entry, result);
  if (result.ThroughLink || (holder && entry.IsLink())) return kLinkOnPath;
  if (holder) return entry.IsFolder() ? std::wstring() : L"a file stands where its folder belongs";
  if (std::wstring why = PrepareParent(parent); !why.empty()) return why;
  if (!::CreateDirectoryW(ExactLongPath(parent).c_str(), nullptr) &&
      ::GetLastError() != ERROR_ALREADY_EXISTS) {
    return SystemErrorText(::GetLastError());
  }
  holder = OpenParentOf(parent, entry, result);
  if (result.ThroughLink || (holder && entry.IsLink())) return kLinkOnPath;
  return holder ? std::wstring() : SystemErrorText(result.Error);
}

void CopyTimes(const std::wstring& from, const std::wstring& to) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
  UniqueKernelHandle source(::CreateFileW(ExactLongPath(from).c_str(), FILE_READ_ATTRIBUTES,
                                          kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
  UniqueKernelHandle target(::CreateFileW(ExactLongPath(to).c_str(), FILE_WRITE_ATTRIBUTES,
                                          kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
  FILE_BASIC_INFO basic{};
  if (source && target && ReadBasicInfo(source.Get(), basic)) {
    ApplyBasicInfo(target.Get(), basic, (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  }
}

bool RestoreEntry(const std::wstring& from, const std::wstring& to, bool overwrite,
                  const TRestoreSink& sink);

// Why `from` may not be read: the backup's folder, a folder on the way down
// from it, or the object itself is a link (or is missing from the listing);
// empty when none is. Each is looked up in its parent's listing, which
// shows a link as itself.
std::wstring LinkInBackup(const std::wstring& within, const std::wstring& from) {
  if (from.size() <= within.size() + 1 || from[within.size()] != L'\\' ||
      from.compare(0, within.size(), within) != 0) {
    return L"not inside the backup";
  }
  size_t end = within.size();
  for (;;) {
    const std::wstring path = from.substr(0, end);
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(::FindFirstFileExW(ExactLongPath(path).c_str(), FindExInfoBasic, &data,
                                             FindExSearchNameMatch, nullptr, 0));
    if (!find) return L"missing from the backup";
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      return L"the backup holds a link at " + path + L": not followed";
    }
    if (end == from.size()) return {};
    end = std::min(from.find(L'\\', end + 1), from.size());
  }
}

// Every entry of a backup folder into an existing folder; the backup folder
// goes when it is empty afterwards.
bool MergeFolder(const std::wstring& from, const std::wstring& to, bool overwrite,
                 const TRestoreSink& sink) {
  bool all = true;
  for (const auto& entry : ListFolder(from)) {
    all &=
        RestoreEntry(from + L"\\" + entry.cFileName, to + L"\\" + entry.cFileName, overwrite, sink);
  }
  if (all) {
    CopyTimes(from, to);
    ::RemoveDirectoryW(ExactLongPath(from).c_str());
  }
  return all;
}

bool Report(const TRestoreSink& sink, const std::wstring& path, TRestoreState state,
            const std::wstring& reason) {
  if (sink) sink(path, state, reason);
  return false;
}

bool RestoreEntry(const std::wstring& from, const std::wstring& to, bool overwrite,
                  const TRestoreSink& sink) {
  const DWORD source = AttributesOf(from);
  if (source == INVALID_FILE_ATTRIBUTES) {
    return Report(sink, to, TRestoreState::Failed, L"missing from the backup");
  }
  if (std::wstring why = PrepareParent(to); !why.empty()) {
    return Report(sink, to, TRestoreState::Failed, why);
  }
  const bool sourceFolder = (source & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const bool sourceLink = (source & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if (ExactPathExists(to)) {
    const DWORD target = AttributesOf(to);
    const bool targetFolder =
        target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_DIRECTORY);
    const bool targetLink =
        target == INVALID_FILE_ATTRIBUTES || (target & FILE_ATTRIBUTE_REPARSE_POINT);
    if (sourceFolder && !sourceLink && targetFolder && !targetLink) {
      return MergeFolder(from, to, overwrite, sink);
    }
    if (!overwrite || sourceFolder || targetFolder || targetLink) {
      return Report(sink, to, TRestoreState::Exists, L"exists: left as it is");
    }
    ::SetFileAttributesW(ExactLongPath(to).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::DeleteFileW(ExactLongPath(to).c_str())) {
      return Report(sink, to, TRestoreState::Failed, SystemErrorText(::GetLastError()));
    }
  }
  if (::MoveFileExW(ExactLongPath(from).c_str(), ExactLongPath(to).c_str(), 0)) return true;
  const DWORD error = ::GetLastError();
  if (error != ERROR_NOT_SAME_DEVICE)
    return Report(sink, to, TRestoreState::Failed, SystemErrorText(error));
  if (sourceLink)
    return Report(sink, to, TRestoreState::Failed, L"a link cannot be copied to another volume");
  if (sourceFolder) {
    if (!::CreateDirectoryW(ExactLongPath(to).c_str(), nullptr)) {
      return Report(sink, to, TRestoreState::Failed, SystemErrorText(::GetLastError()));
    }
    return MergeFolder(from, to, overwrite, sink);
  }
  UniqueKernelHandle h(::CreateFileW(ExactLongPath(from).c_str(),
                                     GENERIC_READ | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
  int64_t bytes = 0;
  const DWORD copyError = h ? CopyFromHandle(h.Get(), to, bytes) : ::GetLastError();
  if (copyError != ERROR_SUCCESS)
    return Report(sink, to, TRestoreState::Failed, SystemErrorText(copyError));
  h.Reset();
  ::SetFileAttributesW(ExactLongPath(from).c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(ExactLongPath(from).c_str());
  return true;
}

}  // namespace

bool RestoreFromBackup(const std::wstring& within, const std::wstring& from, const std::wstring& to,
                       bool overwrite, const TRestoreSink& sink) {
  std::wstring target = to;
  while (target.size() > 3 && target.back() == L'\\') target.pop_back();
  if (std::wstring why = LinkInBackup(within, from); !why.empty()) {
    return Report(sink, target, TRestoreState::Failed, why);
  }
  return RestoreEntry(from, target, overwrite, sink);
}

}  // namespace quor
