#include "support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/Handles.h"
#include "support/TestNames.h"

namespace quor::test {
namespace {

std::wstring TempPath() {
  wchar_t buf[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, buf);
  std::wstring path(buf, n);
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring Long(const std::wstring& path) {
  return path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path;
}

void MakeParents(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
    ::CreateDirectoryW(Long(path.substr(0, at)).c_str(), nullptr);
  }
}

}  // namespace

TempFolder::TempFolder(const std::wstring& prefix) : path_(TempPath() + L"\\" + UniqueName(prefix)) {
  if (!::CreateDirectoryW(path_.c_str(), nullptr)) ADD_FAILURE() << "cannot create temp folder";
}

TempFolder::TempFolder(const At& at) : path_(at.Parent) {
  while (!path_.empty() && path_.back() == L'\\') path_.pop_back();
  path_ += L"\\" + at.Name;
  MakeParents(path_ + L"\\");
  if (!PathExists(path_)) ADD_FAILURE() << "cannot create test folder";
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::wstring TempFolder::MakeFile(const std::wstring& relative, const std::string& content) const {
  const std::wstring full = *this / relative;
  MakeParents(full);
  UniqueKernelHandle h(::CreateFileW(Long(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) {
    ADD_FAILURE() << "cannot create test file";
    return full;
  }
  DWORD written = 0;
  ::WriteFile(h.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  return full;
}

std::wstring TempFolder::MakeFolder(const std::wstring& relative) const {
  const std::wstring full = *this / relative;
  MakeParents(full + L"\\");
  return full;
}

bool RunUnixCommand(const std::wstring& commandLine) {
  std::wstring cmd = commandLine;  // CreateProcessW may write into it
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi)) {
    return false;
  }
  UniqueKernelHandle process(pi.hProcess);
  UniqueKernelHandle thread(pi.hThread);
  ::WaitForSingleObject(process.Get(), 10000);
  return true;
}

// Under Wine, RemoveDirectoryW on a folder link reaches the target (and
// deletes it when it is empty): the link is unlinked on the Unix side.
static bool RemoveUnixLink(const std::wstring& path) {
  const std::wstring unixPath = UnixPathOf(path);
  if (unixPath.empty() || !RunUnixCommand(L"Z:\\bin\\rm -f \"" + unixPath + L"\"")) return false;
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (::GetFileAttributesW(Long(path).c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    ::Sleep(20);
  }
  return false;
}

void RemoveTree(const std::wstring& path) {
  const DWORD attrs = ::GetFileAttributesW(Long(path).c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return;
  if ((attrs & FILE_ATTRIBUTE_REPARSE_POINT) && RemoveUnixLink(path)) return;
  if ((attrs & FILE_ATTRIBUTE_DIRECTORY) && !(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(::FindFirstFileW(Long(path + L"\\*").c_str(), &data));
    if (find) {
      do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
      } while (::FindNextFileW(find.Get(), &data));
    }
  }
  ::SetFileAttributesW(Long(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
    ::RemoveDirectoryW(Long(path).c_str());
  } else {
    ::DeleteFileW(Long(path).c_str());
  }
}

bool PathExists(const std::wstring& path) {
  return ::GetFileAttributesW(Long(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::wstring& path) {
  UniqueKernelHandle h(::CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
  std::string out;
  if (!h) return out;
  char buf[4096];
  DWORD n = 0;
  while (::ReadFile(h.Get(), buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  return out;
}

std::wstring UnixPathOf(const std::wstring& windowsPath) {
  using GetUnixFileNameFn = char*(CDECL*)(const wchar_t*);
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  auto fn = reinterpret_cast<GetUnixFileNameFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name")));
  if (!fn) return {};
  char* unix = fn(windowsPath.c_str());
  if (!unix) return {};
  std::wstring out;
  for (const char* p = unix; *p; ++p) out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
  ::HeapFree(::GetProcessHeap(), 0, unix);
  return out;
}

}  // namespace quor::test

namespace quor::test {

bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
  const std::wstring unixLink = UnixPathOf(link);
  if (!unixLink.empty()) {
    // A target outside the prefix (a missing one, say) is named as a Unix path.
    std::wstring unixTarget = UnixPathOf(target);
    if (unixTarget.empty()) unixTarget = target;
    if (!RunUnixCommand(L"Z:\\bin\\ln -s \"" + unixTarget + L"\" \"" + unixLink + L"\"")) return false;
  } else {
    ::CreateSymbolicLinkW(link.c_str(), target.c_str(),
                          SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* allow unprivileged */);
  }
  // Wine does not always wait for a Unix program to finish: poll for the link.
  for (int attempt = 0; attempt < 100; ++attempt) {
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW(link.c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      ::FindClose(find);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
    }
    ::Sleep(20);
  }
  return false;
}

}  // namespace quor::test
