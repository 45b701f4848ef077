#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "base/LongPath.h"
#include "engine/LeftoverScan.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

// Releases a COM interface pointer.
template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
};

bool PathExists(const std::wstring& path) {
  if (::PathFileExistsW(path.c_str())) return true;
  if (path.size() >= MAX_PATH && ::PathFileExistsW(LongPath(path).c_str())) return true;
  return false;
}

// Tests the path also with the 32-bit process's file-system redirection
// turned off (no redirection applies to a 64-bit process).
bool ExistsAnyView(const std::wstring& path) {
  if (PathExists(path)) return true;
  if (!IsWin64()) return false;
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

std::wstring ReadLinkPath(const std::wstring& path) {
  ComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link.p)))) {
    return {};
  }
  ComPtr<IPersistFile> file;
  if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
      FAILED(file.p->Load(path.c_str(), 0))) {
    return {};
  }
  wchar_t target[MAX_PATH] = {};
  WIN32_FIND_DATAW data{};
  if (FAILED(link.p->GetPath(target, MAX_PATH, &data, SLGP_UNCPRIORITY))) return {};
  return target;
}

}  // namespace

std::wstring GetLinkTarget(const std::wstring& path) {
  const HRESULT init = ::CoInitialize(nullptr);
  std::wstring target = ReadLinkPath(path);
  if (!FileExistsEx(target) && target.find(L" (x86)") != std::wstring::npos) {
    std::wstring corrected = target;
    for (size_t at; (at = corrected.find(L" (x86)")) != std::wstring::npos;) corrected.erase(at, 6);
    if (FileExistsEx(corrected)) target = corrected;
  }
  if (target.size() < 4) target.clear();
  if (SUCCEEDED(init)) ::CoUninitialize();
  return target;
}

bool FileExistsEx(const std::wstring& path) {
  if (path.empty()) return false;
  if (ExistsAnyView(path)) return true;
  if (HasExtension(path)) return false;
  for (const wchar_t* ext : {L".exe", L".com", L".bat", L".cmd", L".dll"}) {
    if (ExistsAnyView(path + ext)) return true;
  }
  return false;
}

}  // namespace quor
