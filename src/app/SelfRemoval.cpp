#include "app/SelfRemoval.h"

#include <utility>

#include "base/FileDelete.h"
#include "base/Text.h"
#include "engine/ProtectedFolders.h"

namespace quor {
namespace {

constexpr wchar_t kCliName[] = L"quor.exe";
constexpr wchar_t kFileVariable[] = L"QUOR_DELETE_FILE";
constexpr wchar_t kFolderVariable[] = L"QUOR_DELETE_FOLDER";
constexpr int kTries = 60;  // one a second while a file is still in use

// Long names, no quotes, no trailing backslash, A to Z folded.
std::wstring ComparableFolder(std::wstring folder) {
  folder = Trim(folder);
  if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"')
    folder = Trim(folder.substr(1, folder.size() - 2));
  for (wchar_t& c : folder)
    if (c == L'/') c = L'\\';
  std::wstring buffer(32768, L'\0');
  const DWORD n = ::GetLongPathNameW(folder.c_str(), buffer.data(), DWORD(buffer.size()));
  if (n > 0 && n < buffer.size()) folder.assign(buffer.data(), n);
  return FoldFolder(folder);
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(folder, n) : std::wstring();
}

// This process's environment with the paths added, as a block for CreateProcessW.
std::wstring EnvironmentWith(const std::vector<std::pair<std::wstring, std::wstring>>& added) {
  std::wstring block;
  if (wchar_t* env = ::GetEnvironmentStringsW()) {
    for (const wchar_t* at = env; *at; at += wcslen(at) + 1) {
      const std::wstring entry = at;
      if (StartsWithAscii(entry, L"QUOR_DELETE_")) continue;
      block += entry;
      block += L'\0';
    }
    ::FreeEnvironmentStringsW(env);
  }
  for (const auto& [name, value] : added) {
    block += name + L"=" + value;
    block += L'\0';
  }
  block += L'\0';
  return block;
}

// Waits for the end of its standard input (the pipe whose writing end this
// process holds), then deletes; "ping" is the interpreter's only pause. The
// paths are read with delayed expansion ("!NAME!"), whose result the
// interpreter does not read again: "%", "&" or "^" in a path stay text. Wine's
// interpreter reads a "!" inside the result again, so such a path is refused.
std::wstring CleanupCommand(const std::wstring& cmd, size_t files) {
  std::vector<std::wstring> steps;
  for (size_t i = 1; i <= files; ++i) {
    const std::wstring file = L"\"!" + std::wstring(kFileVariable) + std::to_wstring(i) + L"!\"";
    steps.push_back(L"(if exist " + file + L" del /f /q " + file + L")");
  }
  for (size_t i = 1; i <= files; ++i) {
    const std::wstring file = L"\"!" + std::wstring(kFileVariable) + std::to_wstring(i) + L"!\"";
    steps.push_back(L"(if exist " + file + L" ping -n 2 127.0.0.1)");
  }
  std::wstring loop;
  for (const std::wstring& step : steps) loop += (loop.empty() ? L"" : L" & ") + step;
  const std::wstring folder = L"\"!" + std::wstring(kFolderVariable) + L"!\"";
  return L"\"" + cmd + L"\" /d /q /v:on /s /c \"set /p QUOR_WAIT= & for /l %i in (1,1," +
         std::to_wstring(kTries) + L") do (" + loop + L") & rd " + folder + L"\"";
}

// Lets the child inherit these handles and no other of ours.
class THandleList {
 public:
  explicit THandleList(std::vector<HANDLE> handles) : FHandles(std::move(handles)) {
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    FBuffer.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(FBuffer.data());
    if (!::InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    if (::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, FHandles.data(),
                                    FHandles.size() * sizeof(HANDLE), nullptr, nullptr)) {
      FList = list;
    } else {
      ::DeleteProcThreadAttributeList(list);
    }
  }
  ~THandleList() {
    if (FList) ::DeleteProcThreadAttributeList(FList);
  }
  THandleList(const THandleList&) = delete;
  THandleList& operator=(const THandleList&) = delete;
  LPPROC_THREAD_ATTRIBUTE_LIST Get() const { return FList; }

 private:
  std::vector<HANDLE> FHandles;
  std::vector<unsigned char> FBuffer;
  LPPROC_THREAD_ATTRIBUTE_LIST FList = nullptr;
};

}  // namespace

std::wstring OwnExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (n < path.size()) return path.substr(0, n);
    path.resize(path.size() * 2);
  }
}

std::wstring OwnExecutableFolder() {
  const std::wstring path = OwnExecutablePath();
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

// The install location decides when there is one: a program installed
// elsewhere is another, wherever its uninstaller lies.
bool IsOwnRegistration(const TUninstallObject& program, const std::wstring& ownFolder) {
  const std::wstring own = ComparableFolder(ownFolder);
  if (own.empty()) return false;
  const std::wstring folder = Trim(program.InstallLocation).empty()
                                  ? CommandFolder(program.UninstallString)
                                  : program.InstallLocation;
  return !Trim(folder).empty() && ComparableFolder(folder) == own;
}

std::vector<std::wstring> OwnExecutables(const std::wstring& runningExe) {
  const size_t cut = runningExe.find_last_of(L'\\');
  if (cut == std::wstring::npos) return {};
  std::vector<std::wstring> files;
  for (const std::wstring& file : {runningExe, runningExe.substr(0, cut + 1) + kCliName}) {
    const bool same = !files.empty() && SameTextAscii(files.front(), file);
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (!same && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
      files.push_back(file);
  }
  return files;
}

TScheduledDeletion ScheduleDeletionAfterExit(const std::vector<std::wstring>& files,
                                             const std::wstring& folder) {
  TScheduledDeletion result;
  const std::wstring system = SystemFolder();
  const std::wstring cmd = system + L"\\cmd.exe";
  if (system.empty() || ::GetFileAttributesW(cmd.c_str()) == INVALID_FILE_ATTRIBUTES) {
    result.Error = L"the command interpreter is missing from the system folder";
    return result;
  }
  for (const std::wstring& path : files) {
    if (path.find_first_of(L"!\"") != std::wstring::npos ||
        folder.find_first_of(L"!\"") != std::wstring::npos) {
      result.Error = L"a path holds \"!\", which the command interpreter would read: " + path;
      return result;
    }
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!::CreatePipe(&read, &write, &inherit, 0)) {
    result.Error = SystemErrorText(::GetLastError());
    return result;
  }
  UniqueKernelHandle readEnd(read), writeEnd(write);
  // Only the reading end goes to the child: the writing end stays ours alone.
  ::SetHandleInformation(writeEnd.Get(), HANDLE_FLAG_INHERIT, 0);
  UniqueKernelHandle nul(::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inherit, OPEN_EXISTING, 0, nullptr));
  if (!nul) {
    result.Error = SystemErrorText(::GetLastError());
    return result;
  }
  std::vector<std::pair<std::wstring, std::wstring>> paths;
  for (size_t i = 0; i < files.size(); ++i)
    paths.push_back({kFileVariable + std::to_wstring(i + 1), files[i]});
  paths.push_back({kFolderVariable, folder});
  std::wstring environment = EnvironmentWith(paths);
  std::wstring command = CleanupCommand(cmd, files.size());
  THandleList handles({readEnd.Get(), nul.Get()});
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = readEnd.Get();
  startup.StartupInfo.hStdOutput = nul.Get();
  startup.StartupInfo.hStdError = nul.Get();
  startup.lpAttributeList = handles.Get();
  DWORD flags = CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT |
                EXTENDED_STARTUPINFO_PRESENT;
  PROCESS_INFORMATION info{};
  // Out of any job this process sits in, so that closing the job ends it not;
  // a job that refuses that still lets it start.
  bool started = false;
  for (const DWORD extra : {DWORD(CREATE_BREAKAWAY_FROM_JOB), DWORD(0)}) {
    started = ::CreateProcessW(cmd.c_str(), command.data(), nullptr, nullptr, TRUE, flags | extra,
                               environment.data(), system.c_str(), &startup.StartupInfo, &info);
    if (started) break;
  }
  if (!started) {
    result.Error =
        L"the command interpreter could not be started: " + SystemErrorText(::GetLastError());
    return result;
  }
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  result.Scheduled = true;
  result.Hold = std::move(writeEnd);
  return result;
}

}  // namespace quor
