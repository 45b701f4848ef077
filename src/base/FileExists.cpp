#include "base/FileExists.h"

#include <windows.h>
#include <shlwapi.h>

#include "base/LongPath.h"

namespace quor {
namespace {

bool PathExists(const std::wstring& path) {
  if (::PathFileExistsW(path.c_str())) return true;
  return path.size() >= MAX_PATH && ::PathFileExistsW(LongPath(path).c_str());
}

bool IsWow64Process() {
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

// Redirection applies to a 32-bit process on 64-bit Windows only.
bool ExistsAnyView(const std::wstring& path) {
  if (PathExists(path)) return true;
  static const bool wow64 = IsWow64Process();
  if (!wow64) return false;
  using DisableFn = BOOL(WINAPI*)(PVOID*);
  using RevertFn = BOOL(WINAPI*)(PVOID);
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  auto disable = reinterpret_cast<DisableFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
  auto revert = reinterpret_cast<RevertFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
  PVOID old = nullptr;
  if (!disable || !revert || !disable(&old)) return false;
  const bool exists = PathExists(path);
  revert(old);
  return exists;
}

bool HasExtension(const std::wstring& path) {
  const size_t dot = path.rfind(L'.');
  const size_t sep = path.find_last_of(L"\\/:");
  return dot != std::wstring::npos && (sep == std::wstring::npos || dot > sep);
}

}  // namespace

bool FileExistsEx(const std::wstring& path) {
  if (path.empty()) return false;
  if (ExistsAnyView(path)) return true;
  if (HasExtension(path)) return false;
  for (const wchar_t* ext : {L".exe", L".com", L".bat", L".cmd", L".dll"}) {
    if (ExistsAnyView(path + ext)) return true;
  }
  return false;
}

bool IsNetworkPathText(const std::wstring& path) {
  std::wstring p = path;
  while (!p.empty() && (p.front() == L'"' || p.front() == L' ')) p.erase(0, 1);
  if (p.size() < 2) return false;
  const bool slash0 = p[0] == L'\\' || p[0] == L'/';
  const bool slash1 = p[1] == L'\\' || p[1] == L'/';
  if (!slash0 || !slash1) return false;
  // "\\?\C:\..." and "\\.\C:\..." are local.
  if (p.size() >= 7 && (p[2] == L'?' || p[2] == L'.') && p[5] == L':') return false;
  return true;
}

}  // namespace quor
